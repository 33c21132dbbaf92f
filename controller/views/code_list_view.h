// CDCSView: the code list, one row per segment, drawn from the document's model on demand.
#pragma once

#include <QTableView>

namespace korvex {

class CDCSView : public QTableView {
    Q_OBJECT
public:
    explicit CDCSView(QWidget* parent = nullptr);

    // Sets the model and the column widths of the list.
    void attachModel(QAbstractItemModel* model, int indexWidth, int commandWidth);

    int lastReportedSegment() const { return lastSegment_; }
    // The whole statement of the row at `pos` (viewport coordinates), shown as the row's tool
    // tip: the column cuts long statements. Empty outside the rows.
    QString toolTipAt(const QPoint& pos) const;

public slots:
    // The card reached a segment (message 10 of the card's reports); the segment window is
    // answered by the machining work, the list follows the segment.
    void onSegmentReached(int segment);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    int lastSegment_ = -1;
};

}  // namespace korvex
