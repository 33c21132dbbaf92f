// CGraphView: the loaded program's path on a black background, fitted to the window. The
// polling timers, the position and the card's graph events arrive with the machining work;
// until then the view draws the program and counts the events handed to it.
//
// The program's picture is drawn by a thread of its own (graph_picture.h): setting a program
// or resizing returns at once, the view shows the grid until the picture is ready, and then
// the newest picture of the current program.
#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace korvex {

class GraphPictureThread;
struct LoadedProgram;

class CGraphView : public QWidget {
    Q_OBJECT
public:
    explicit CGraphView(QWidget* parent = nullptr);
    ~CGraphView() override;

    // Shows `program` (nothing when null), fitted to the window. The view keeps the program
    // alive while its picture is drawn.
    void setProgram(std::shared_ptr<const LoadedProgram> program);
    void clearProgram() { setProgram(nullptr); }

    // Microns per grid square at the current fit, for the status bar's grid pane.
    int micronsPerGrid() const;

    // True when the picture on screen is the current program's at the current size.
    bool pictureCurrent() const { return pictureGeneration_ == generation_ && hasPicture_; }

    // Card events of kinds 1 to 8 (short-circuit back, resumed, paused, finished, back
    // finished, link lost, wire break, group switch point).
    int eventsReceived() const { return eventsReceived_; }

public slots:
    void onCardEvent(int kind, int argument);

signals:
    void linkLost(int failedCommand);
    // A finished picture was taken over (tests and the benchmark wait for it).
    void pictureUpdated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF fitRect() const;
    // Asks the picture thread for the current program at the current size.
    void requestPicture();
    void takePicture(uint64_t generation, const QImage& picture);

    std::shared_ptr<const LoadedProgram> program_;
    QRectF bounds_;
    uint64_t generation_ = 0;         // of the newest request
    uint64_t programGeneration_ = 0;  // of the first request for the current program
    uint64_t pictureGeneration_ = 0;
    bool hasPicture_ = false;
    QImage picture_;
    int eventsReceived_ = 0;
    std::unique_ptr<GraphPictureThread> pictures_;
};

}  // namespace korvex
