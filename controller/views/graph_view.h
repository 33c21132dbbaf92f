// CGraphView: the loaded program's path with the cut's progress on it, the origin, axes and grid,
// the texts and the large readout; fit, zoom and drag. Drawing is graph_renderer.h's; this widget
// keeps the scene and three cached pictures:
//
//   static_    the static layer, redrawn when its key changes (size, scale, origin, grid, program,
//              range, direction, Ignore D, stops); a drag shifts it and draws the uncovered strips
//   machined_  static_ plus the machined segments drawn so far; a forward tick adds the new
//              ones, a back restores from static_ only the region the unmachined ones covered
//              and redraws the machined segments inside it
//   frame_     machined_ plus the overlay (current part, selection, points, texts), per paint
//
// The layers keep one order, so frame_ always equals renderGraph(scene()) pixel for pixel.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "controller/link/records.h"
#include "controller/views/graph_renderer.h"

namespace korvex {

struct LoadedProgram;

class CGraphView : public QWidget {
    Q_OBJECT
public:
    explicit CGraphView(QWidget* parent = nullptr);
    ~CGraphView() override;

    // Takes the program (null: none) and fits it. False, with the view cleared, when a segment
    // cannot be drawn; drawFailed tells which.
    bool setProgram(std::shared_ptr<const LoadedProgram> program);
    void clearProgram() { setProgram(nullptr); }
    const GraphProgram* program() const { return scene_.program.get(); }
    // Close: scale 125, level 0, progress, positions, texts and displays cleared.
    void clear();
    // Reset: cleared and fitted to the program again.
    void clearAndFit();

    // ---- View commands ----
    void fit();
    void zoomIn();
    void zoomOut();
    bool moveMode() const { return moveMode_; }
    void setMoveMode(bool on);
    void leaveMoveMode() { setMoveMode(false); }
    bool gridShown() const { return scene_.grid; }
    void setGrid(bool on);
    bool largeReadout() const { return scene_.largeReadout; }
    void setLargeReadout(bool on);

    // ---- what the machining hands over ----
    // A polled position or a stop's status block: current segment, cursors and positions; a
    // block naming a segment outside the program is ignored.
    void showPosition(const PositionBlock& position);
    void showStatus(const StatusBlock& status);
    void setRange(int32_t first, int32_t last, bool reverse);
    void clearRange();
    void setStops(std::vector<int32_t> stops);
    void setIgnorePause(bool on);
    void setSelectedSegment(int32_t segment);
    void setCodeText(const QString& text);
    void setTableName(const QString& name);
    void setHfLevel(int level);
    void setDefaultGroup(int group) { defaultGroup_ = group; }
    void setReturnPoint(std::optional<GraphPoint> point);
    void setRolling(bool rolling, std::optional<GraphPoint> point = std::nullopt);
    // The Plan-Pause point the card took: `percent` along `segment`; a new program drops it.
    void setPlanPause(int32_t segment, int percent);

    // ---- state for the panes, the status panel and the tests ----
    const GraphScene& scene() const { return scene_; }
    const GraphMapping& mapping() const { return scene_.mapping; }
    int64_t micronsPerGrid() const { return scene_.program ? scene_.mapping.micronsPerGrid() : 0; }
    std::optional<GraphProgress> progress() const { return scene_.progress; }
    // The picture as the next paint shows it (the cached layers brought up to date).
    const QImage& picture();
    // True when a picture of the current program is ready (at once: drawing is synchronous).
    bool pictureCurrent() const { return scene_.program != nullptr; }
    // Bytes of the cached pictures and the per-program tables.
    std::size_t memoryBytes() const;

public slots:
    void onCardEvent(int kind, int argument);

signals:
    void linkLost(int failedCommand);
    void pictureUpdated();
    // A segment the view cannot draw; the program is not taken.
    void drawFailed(int segment);
    // After a load, a fit and each zoom: microns per grid square.
    void gridChanged(qint64 micronsPerGrid);
    // The program point under the mouse.
    void cursorMoved(qint64 x, qint64 y);
    void moveModeChanged(bool on);
    void largeReadoutChanged(bool on);
    void progressChanged(const GraphProgress& progress);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void applyWork(const WorkParams& work, int32_t speed);
    void changed();
    // Brings static_, machined_ and frame_ up to the scene.
    void compose();
    void redrawStatic();
    // Origin moved by (dx, dy) only: shifts the pictures and draws what was uncovered.
    void shiftPictures(int64_t dx, int64_t dy);
    QPoint zoomCentre() const;

    GraphScene scene_;
    int defaultGroup_ = 0;
    QImage static_, machined_, frame_;
    std::optional<StaticKey> staticKey_;
    int32_t machinedDrawn_ = 0;
    bool frameCurrent_ = false;

    bool moveMode_ = false;
    bool dragging_ = false;
    QPoint dragAnchor_;
    std::optional<QPoint> lastClick_;
    int eventsReceived_ = 0;
};

}  // namespace korvex
