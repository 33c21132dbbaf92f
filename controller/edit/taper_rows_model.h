// The Taper dialog's list: one row per line of the given program with its code, its Degree cell
// and its Flag cell. Rows are produced as the view asks for them, so a program of a million
// lines is listed without a widget per cell.
#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "geometry/taper.h"

namespace korvex {

class TaperRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kColumnCode = 0, kColumnDegree = 1, kColumnFlag = 2, kColumnCount = 3 };

    explicit TaperRowsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // New lines, every Degree cell `degreeCell`, no flags.
    void setLines(std::vector<std::string> lines, const std::string& degreeCell);
    void clear() { setLines({}, {}); }
    // Writes `cell` into every row's Degree column.
    void fillDegree(const std::string& cell);
    // The rows as the generation takes them ("ER" and "NER" flags; anything else is none).
    std::vector<TaperRow> rows() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<std::string> lines_;
    std::vector<std::string> degrees_;
    std::vector<std::string> flags_;
};

}  // namespace korvex
