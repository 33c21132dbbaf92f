// CGraphView: the loaded program's path on a black background, fitted to the window. The
// polling timers, the position and the card's graph events arrive with the machining work;
// until then the view draws the program and counts the events handed to it.
#pragma once

#include <QPainterPath>
#include <QWidget>

#include <memory>

namespace korvex {

struct LoadedProgram;

class CGraphView : public QWidget {
    Q_OBJECT
public:
    explicit CGraphView(QWidget* parent = nullptr);

    // Builds the drawn path from the program (nothing when null) and fits it to the window.
    void setProgram(const LoadedProgram* program);
    void clearProgram() { setProgram(nullptr); }

    // Microns per grid square at the current fit, for the status bar's grid pane.
    int micronsPerGrid() const;

    // Card events of kinds 1 to 8 (short-circuit back, resumed, paused, finished, back
    // finished, link lost, wire break, group switch point).
    int eventsReceived() const { return eventsReceived_; }

public slots:
    void onCardEvent(int kind, int argument);

signals:
    void linkLost(int failedCommand);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF fitRect() const;

    QPainterPath path_;
    QPainterPath rapids_;
    QRectF bounds_;
    bool hasProgram_ = false;
    int eventsReceived_ = 0;
};

}  // namespace korvex
