#include "controller/views/code_list_view.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

namespace korvex {

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
    setMinimumWidth(190);
}

void CDCSView::attachModel(QAbstractItemModel* model, int indexWidth, int commandWidth) {
    setModel(model);
    setColumnWidth(0, indexWidth);
    setColumnWidth(1, commandWidth);
}

void CDCSView::onSegmentReached(int segment) {
    lastSegment_ = segment;
    if (model() && segment >= 0 && segment < model()->rowCount())
        scrollTo(model()->index(segment, 0));
}

QString CDCSView::toolTipAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || !model())
        return {};
    // The statement is the last column, whichever column the pointer is over.
    return model()->index(index.row(), model()->columnCount() - 1).data().toString();
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

}  // namespace korvex
