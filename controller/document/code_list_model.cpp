#include "controller/document/code_list_model.h"

#include <QSize>

#include "controller/document/dcs_doc.h"

namespace korvex {

CodeListModel::CodeListModel(CDCSDoc* document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
    connect(document_, &CDCSDoc::programParsed, this, &CodeListModel::fill);
    connect(document_, &CDCSDoc::programCleared, this, &CodeListModel::clear);
    if (document_->program()) program_ = document_->program().get();
}

void CodeListModel::fill() {
    beginResetModel();
    program_ = document_->program().get();
    endResetModel();
}

void CodeListModel::clear() {
    if (!program_) return;
    beginResetModel();
    program_ = nullptr;
    endResetModel();
}

int CodeListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !program_) return 0;
    return static_cast<int>(program_->segments.size());
}

int CodeListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString CodeListModel::commandText(int segment) const {
    if (!program_ || segment < 0 || segment >= static_cast<int>(program_->segments.size()) ||
        segment >= program_->lines.count)
        return {};
    return QString::fromUtf8(program_->lines.line(segment));
}

QVariant CodeListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !program_ || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) {
        if (index.column() == kIndexColumn) return QStringLiteral("%1").arg(index.row(), 4);
        if (index.column() == kCommandColumn) return commandText(index.row());
    }
    return {};
}

QVariant CodeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal) {
        if (section == kIndexColumn) return qtTrId("view.code_index");
        if (section == kCommandColumn) return qtTrId("view.code_command");
    }
    if (role == Qt::SizeHintRole && orientation == Qt::Horizontal)
        return QSize(section == kIndexColumn ? kIndexWidthPx : kCommandWidthPx, 0);
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace korvex
