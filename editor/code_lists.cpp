#include "editor/code_lists.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

#include "editor/document/tavrel_doc.h"
#include "editor/graph_view.h"

namespace tavrel {
namespace {

constexpr int kCodeNumberWidth = 70;
constexpr int kFoundNumberWidth = 90;
constexpr int kCodeTextWidth = 950;
constexpr int kListFontPoints = 20;

QString lineText(const CTavrelDoc& doc, int row) {
    const char* s = doc.sourceLine(row);
    const char* nl = std::strchr(s, '\n');
    if (!nl) return decodeLine(s, doc.textIsUtf8());
    return decodeLine(std::string(s, static_cast<std::size_t>(nl - s)).c_str(), doc.textIsUtf8());
}

QVariant columnHeader(int section, Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    //: Column of the line (segment) numbers
    return section == 0 ? qtTrId("tavrel.column.number") : qtTrId("tavrel.column.code");
}

}  // namespace

QString decodeLine(const char* line, bool utf8) {
    if (utf8) return QString::fromUtf8(line);
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid()) return QString::fromLatin1(line);
    return decoder(QByteArray(line));
}

std::string encodeLine(const QString& text, bool utf8) {
    if (utf8) return text.toStdString();
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid()) return text.toStdString();
    const QByteArray bytes = encoder(text);
    return bytes.toStdString();
}

int CodeListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : doc_.count(); }

QVariant CodeListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row >= doc_.count()) return {};
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? QString::asprintf("%4d", row) : lineText(doc_, row);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return groupColour(doc_.groupForColour(row));
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    default:
        return {};
    }
}

QVariant CodeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return columnHeader(section, orientation, role);
}

void CodeListModel::rebuild() {
    beginResetModel();
    endResetModel();
}

int RecognisedListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(doc_.recognised().size());
}

int RecognisedListModel::segmentAt(int row) const {
    if (row < 0 || row >= rowCount()) return -1;
    return doc_.recognised()[static_cast<std::size_t>(row)].segment;
}

int RecognisedListModel::rowOf(int segment) const {
    const auto& list = doc_.recognised();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].segment == segment) return static_cast<int>(i);
    }
    return -1;
}

QVariant RecognisedListModel::data(const QModelIndex& index, int role) const {
    const int segment = segmentAt(index.row());
    if (!index.isValid() || segment < 0 || segment >= doc_.count()) return {};
    const bool jump = doc_.recognised()[static_cast<std::size_t>(index.row())].jump != 0;
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? QString::asprintf("%4d%s", segment, jump ? "@" : "")
                                   : lineText(doc_, segment);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return groupColour(doc_.groupForColour(segment));
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    default:
        return {};
    }
}

QVariant RecognisedListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return columnHeader(section, orientation, role);
}

void RecognisedListModel::rebuild() {
    beginResetModel();
    endResetModel();
}

ReportList::ReportList(QWidget* parent) : QTableView(parent) {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(false);
    QFont f("Arial");
    f.setPointSize(kListFontPoints);
    setFont(f);
    // Rows of one height, so the view never measures a million of them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& i) { emit rowActivated(i.row()); });
}

void ReportList::showRow(int row) {
    if (row < 0 || row >= model()->rowCount()) return;
    const QModelIndex index = model()->index(row, 0);
    scrollTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void ReportList::keyReleaseEvent(QKeyEvent* ev) {
    QTableView::keyReleaseEvent(ev);
    if (currentIndex().isValid()) emit rowChosen(currentIndex().row());
}

void ReportList::mouseReleaseEvent(QMouseEvent* ev) {
    QTableView::mouseReleaseEvent(ev);
    if (currentIndex().isValid()) emit rowChosen(currentIndex().row());
}

CTavrelView::CTavrelView(const CTavrelDoc& doc, QWidget* parent) : ReportList(parent), model_(doc) {
    setObjectName("CodeList");
    setModel(&model_);
    setColumnWidth(0, kCodeNumberWidth);
    setColumnWidth(1, kCodeTextWidth);
}

std::vector<int> CTavrelView::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CTavrelView::selectRow(int row) {
    if (row < 0 || row >= model_.rowCount()) {
        clearSelection();
        return;
    }
    const QModelIndex index = model_.index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

CFindListView::CFindListView(const CTavrelDoc& doc, QWidget* parent) : ReportList(parent), model_(doc) {
    setObjectName("RecognisedList");
    setModel(&model_);
    setColumnWidth(0, kFoundNumberWidth);
    setColumnWidth(1, kCodeTextWidth);
}

}  // namespace tavrel
