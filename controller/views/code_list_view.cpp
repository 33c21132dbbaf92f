#include "controller/views/code_list_view.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace korvex {
namespace {

// Draws the reached row's text in its colour and the stop rows on their background; the model
// stays the document's, which knows nothing of the running work.
class RowMarkDelegate : public QStyledItemDelegate {
public:
    explicit RowMarkDelegate(CDCSView* view) : QStyledItemDelegate(view), view_(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor text = view_->rowTextColor(index.row());
        if (text.isValid()) {
            option->palette.setColor(QPalette::Text, text);
            option->palette.setColor(QPalette::HighlightedText, text);
            option->font.setBold(true);
        }
        const QColor background = view_->rowBackground(index.row());
        if (background.isValid())
            option->backgroundBrush = background;
    }

private:
    CDCSView* view_;
};

}  // namespace

CDCSView::CDCSView(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("CodeListView"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    // Every row has the same height, so a million rows need no measuring.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
    setItemDelegate(new RowMarkDelegate(this));
    setMinimumWidth(190);
}

void CDCSView::attachModel(QAbstractItemModel* model, int indexWidth, int commandWidth) {
    setModel(model);
    setColumnWidth(0, indexWidth);
    setColumnWidth(1, commandWidth);
}

void CDCSView::onSegmentReached(int segment) {
    lastSegment_ = segment;
    highlight(segment, kReachedColor);
}

void CDCSView::highlight(int segment, const QColor& color) {
    if (!model() || segment < 0 || segment >= model()->rowCount())
        return;
    highlighted_ = segment;
    highlightColor_ = color;
    const QModelIndex index = model()->index(segment, 0);
    scrollTo(index);
    setCurrentIndex(index);
    viewport()->update();
}

void CDCSView::setStopSegments(std::vector<int32_t> stops) {
    std::sort(stops.begin(), stops.end());
    if (stops == stops_)
        return;
    stops_ = std::move(stops);
    viewport()->update();
}

void CDCSView::clearMarks() {
    lastSegment_ = -1;
    highlighted_ = -1;
    stops_.clear();
    viewport()->update();
}

QColor CDCSView::rowTextColor(int row) const { return row == highlighted_ ? highlightColor_ : QColor(); }

QColor CDCSView::rowBackground(int row) const {
    return std::binary_search(stops_.begin(), stops_.end(), row) ? kStopBackground : QColor();
}

QString CDCSView::toolTipAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || !model())
        return {};
    // The statement is the last column, whichever column the pointer is over.
    const QString statement = model()->index(index.row(), model()->columnCount() - 1).data().toString();
    return statement + QLatin1Char('\n') + qtTrId("codelist.stop_hint");
}

bool CDCSView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = toolTipAt(help->pos());
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(indexAt(help->pos())));
    }
    return true;
}

void CDCSView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit stopToggleRequested(index.row());
    QTableView::mouseDoubleClickEvent(event);
}

}  // namespace korvex
