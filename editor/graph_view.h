// CGraphView: the drawing of the document's path. It draws into an image of the client size and
// shows it in one step; it fits, zooms and moves the drawing, highlights the segment under the
// mouse (found by HoverSearch) and the segment selected in the lists.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "editor/graph_geometry.h"
#include "editor/hover_search.h"

namespace tavrel {

class CTavrelDoc;

class CGraphView : public QWidget {
    Q_OBJECT
public:
    explicit CGraphView(const CTavrelDoc& doc, QWidget* parent = nullptr);
    ~CGraphView() override;

    // Document update hints: 0 after open and new (fit), 1 after a selection change, 2 after
    // an edit. Hints 0 and 2 publish the new segment end points to the hover search.
    void documentUpdated(int hint);

    void fitToWindow();   // the Fit command (also reports the grid scale)
    void zoomIn();        // around the zoom centre
    void zoomOut();
    void setMoveMode(bool on);
    bool moveMode() const { return moveMode_; }
    void setGridShown(bool on);
    bool gridShown() const { return grid_; }
    void setCaption(const QString& caption);

    void setSelectedSegment(int segment);
    int selectedSegment() const { return selected_; }
    int hoverSegment() const { return hover_; }
    const GraphGeometry& geometryState() const { return geo_; }

    // The whole drawing as it would be shown now.
    QImage render() const;
    // Hover search at a world point, waiting for its answer (tests).
    void searchHoverAndWait(int64_t x, int64_t y);

signals:
    void gridScaleChanged(qint64 micronsPerCell);
    void positionChanged(qint64 x, qint64 y);
    // A left click: the list should scroll to the segment under the mouse.
    void hoverClicked(int segment);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;

private:
    void drawPath(class QPainter& p, QRgb* pixels, int stride) const;
    void reportGrid();

    const CTavrelDoc& doc_;
    GraphGeometry geo_;
    std::unique_ptr<HoverSearch> hoverSearch_;
    QString caption_;
    int selected_ = 0;
    int hover_ = 0;
    bool grid_ = false;
    bool moveMode_ = false;
    bool dragging_ = false;
    QPoint dragFrom_;
    QPoint zoomCentre_;
};

// The colour of an HF group in the views.
QColor groupColour(int group);

}  // namespace tavrel
