// CDCSView: the code list, one row per segment, drawn from the document's model on demand. It
// follows the segment the card reached with a coloured row, marks the stop segments, and asks
// for a stop toggle on a double click; the stop list itself belongs to the machining work.
#pragma once

#include <QColor>
#include <QTableView>

#include <cstdint>
#include <vector>

namespace korvex {

class CDCSView : public QTableView {
    Q_OBJECT
public:
    // The reached segment's text colour, and the stop segments' row background.
    static inline const QColor kReachedColor{0xD0, 0x00, 0x00};
    static inline const QColor kFocusColor{0x00, 0x00, 0xD0};
    static inline const QColor kStopBackground{0xFF, 0xE0, 0x80};

    explicit CDCSView(QWidget* parent = nullptr);

    // Sets the model and the column widths of the list.
    void attachModel(QAbstractItemModel* model, int indexWidth, int commandWidth);

    int lastReportedSegment() const { return lastSegment_; }
    // The whole statement of the row at `pos` (viewport coordinates) and the double-click
    // hint, shown as the row's tool tip: the column cuts long statements. Empty outside rows.
    QString toolTipAt(const QPoint& pos) const;

    // Scrolls the segment's row into view, makes it the current row and draws its text in
    // `color`; a segment outside the list changes nothing.
    void highlight(int segment, const QColor& color);
    int highlightedSegment() const { return highlighted_; }
    QColor highlightColor() const { return highlightColor_; }
    // The stop segments to mark (after every change of the list, and after a load).
    void setStopSegments(std::vector<int32_t> stops);
    const std::vector<int32_t>& stopSegments() const { return stops_; }
    // The text colour and background a row is drawn with (tests, the delegate).
    QColor rowTextColor(int row) const;
    QColor rowBackground(int row) const;

signals:
    // A double click on a row: the machining work toggles it in its stop list.
    void stopToggleRequested(int segment);

public slots:
    // The card reached a segment (message 10 of the card's reports); the segment window is
    // answered by the machining work, the list follows the segment.
    void onSegmentReached(int segment);
    // A range field of the segment-range dialog was clicked: its row is shown.
    void onSegmentFocused(int segment) { highlight(segment, kFocusColor); }
    // A new program or none: no row is highlighted or marked.
    void clearMarks();

protected:
    bool viewportEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int lastSegment_ = -1;
    int highlighted_ = -1;
    QColor highlightColor_ = kReachedColor;
    std::vector<int32_t> stops_;  // ascending
};

}  // namespace korvex
