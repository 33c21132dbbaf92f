#include "controller/edit/taper_rows_model.h"

#include <algorithm>

namespace korvex {

void TaperRowsModel::setLines(std::vector<std::string> lines, const std::string& degreeCell) {
    beginResetModel();
    lines_ = std::move(lines);
    degrees_.assign(lines_.size(), degreeCell);
    flags_.assign(lines_.size(), std::string());
    endResetModel();
}

void TaperRowsModel::fillDegree(const std::string& cell) {
    if (lines_.empty()) return;
    std::fill(degrees_.begin(), degrees_.end(), cell);
    emit dataChanged(index(0, kColumnDegree), index(rowCount() - 1, kColumnDegree));
}

std::vector<TaperRow> TaperRowsModel::rows() const {
    std::vector<TaperRow> out;
    out.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string& f = flags_[i];
        out.push_back({degrees_[i], f == "ER" ? kTaperFlagEr : f == "NER" ? kTaperFlagNer : kTaperFlagNone});
    }
    return out;
}

int TaperRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int TaperRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant TaperRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (index.column()) {
    case kColumnCode: return QString::fromStdString(lines_[row]);
    case kColumnDegree: return QString::fromStdString(degrees_[row]);
    case kColumnFlag: return QString::fromStdString(flags_[row]);
    default: return {};
    }
}

bool TaperRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() == kColumnCode) return false;
    // Cells are read as the generation reads them: surrounding blanks mean nothing.
    const std::string text = value.toString().trimmed().toStdString();
    (index.column() == kColumnDegree ? degrees_ : flags_)[static_cast<std::size_t>(index.row())] = text;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TaperRowsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() != kColumnCode) f |= Qt::ItemIsEditable;
    return f;
}

QVariant TaperRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section;  // the line's index, as the code list counts
    switch (section) {
    case kColumnCode: return qtTrId("tp-column-code");
    case kColumnDegree: return qtTrId("tp-column-degree");
    case kColumnFlag: return qtTrId("tp-column-flag");
    default: return {};
    }
}

}  // namespace korvex
