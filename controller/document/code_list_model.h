// The code list's rows: one per segment of the loaded program, "Index" ("%4d") and "Command"
// (the code text the segment was parsed from). Rows are produced when the view asks for them,
// so a million-segment program fills the list at once.
#pragma once

#include <QAbstractTableModel>

namespace korvex {

class CDCSDoc;
struct LoadedProgram;

class CodeListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kIndexColumn = 0, kCommandColumn = 1, kColumnCount = 2 };
    static constexpr int kIndexWidthPx = 36;
    static constexpr int kCommandWidthPx = 134;

    explicit CodeListModel(CDCSDoc* document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The code text of a segment ("" outside the program), for the graph view's readout.
    QString commandText(int segment) const;

private:
    void fill();
    void clear();

    CDCSDoc* document_;
    // Valid from programParsed until programCleared, which the document emits before it lets
    // the program go.
    const LoadedProgram* program_ = nullptr;
};

}  // namespace korvex
