#include "controller/views/code_list_view.h"

#include <QHeaderView>

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

}  // namespace korvex
