// The two lists of the editor, as models over the document (a million lines open without one
// row object each): CTavrelView, the code list of the source lines, and CFindListView, the
// recognised segments. Each row's background is its segment's HF group colour.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

namespace tavrel {

class CTavrelDoc;

// A line's bytes as text: UTF-8 when the file is, else GB18030.
QString decodeLine(const char* line, bool utf8);
// Text typed by the operator in the file's encoding.
std::string encodeLine(const QString& text, bool utf8);

class CodeListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CodeListModel(const CTavrelDoc& doc, QObject* parent = nullptr) : QAbstractTableModel(parent), doc_(doc) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& = {}) const override { return 2; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void rebuild();

private:
    const CTavrelDoc& doc_;
};

class RecognisedListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecognisedListModel(const CTavrelDoc& doc, QObject* parent = nullptr) : QAbstractTableModel(parent), doc_(doc) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& = {}) const override { return 2; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void rebuild();
    int segmentAt(int row) const;
    int rowOf(int segment) const;  // -1 when the segment is not listed

private:
    const CTavrelDoc& doc_;
};

// Report-style list: grid lines, full-row selection, Arial 20 points.
class ReportList : public QTableView {
    Q_OBJECT
public:
    explicit ReportList(QWidget* parent = nullptr);
    // Scrolls to the row and makes it the hot (current) item without selecting it.
    void showRow(int row);

signals:
    void rowChosen(int row);   // click or key release
    void rowActivated(int row);  // double click

protected:
    void keyReleaseEvent(QKeyEvent* ev) override;
    void mouseReleaseEvent(QMouseEvent* ev) override;
};

class CTavrelView : public ReportList {
    Q_OBJECT
public:
    explicit CTavrelView(const CTavrelDoc& doc, QWidget* parent = nullptr);
    CodeListModel& model() { return model_; }
    // Selected rows in ascending order.
    std::vector<int> selectedRows() const;
    void selectRow(int row);

private:
    CodeListModel model_;
};

class CFindListView : public ReportList {
    Q_OBJECT
public:
    explicit CFindListView(const CTavrelDoc& doc, QWidget* parent = nullptr);
    RecognisedListModel& model() { return model_; }

private:
    RecognisedListModel model_;
};

}  // namespace tavrel
