#include "controller/edit/taper_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>

#include "code/loader.h"
#include "controller/edit/taper_rows_model.h"

namespace korvex {
namespace {

QDoubleSpinBox* valueField(const char* name, TaperFieldRange range, double value) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QLatin1String(name));
    // Three decimals: what the header keeps.
    box->setDecimals(CTaperDialog::kDecimals);
    box->setRange(range.min, range.max);
    box->setValue(value);
    return box;
}

std::string cellText(double degree) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", degree);
    return text;
}

}  // namespace

bool taperListableName(const QString& path) {
    for (const char* ext : {".3b", ".iso", ".H3B", ".h3b"})
        if (path.contains(QLatin1String(ext))) return true;
    return false;
}

bool loadTaperLines(const QString& path, std::vector<std::string>& lines, int& kind) {
    LoadedProgram program;
    LoadFailure failure;
    if (path.isEmpty() ||
        loadProgram(QFile::encodeName(path).constData(), LoadOptions{}, program, failure) != 0)
        return false;
    lines.clear();
    lines.reserve(static_cast<std::size_t>(program.lines.count));
    for (int i = 0; i < program.lines.count; ++i) lines.emplace_back(program.lines.line(i));
    kind = program.kind;
    return true;
}

CTaperDialog::CTaperDialog(const TaperSettings& initial, TaperDialogServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("tp-title"));

    oneGraph_ = new QRadioButton(qtTrId("tp-one-graph"));
    oneGraph_->setObjectName(QStringLiteral("oneGraph"));
    oneGraph_->setChecked(true);
    twoGraphs_ = new QRadioButton(qtTrId("tp-two-graphs"));
    twoGraphs_->setObjectName(QStringLiteral("twoGraphs"));
    auto* modes = new QHBoxLayout;
    modes->addWidget(oneGraph_);
    modes->addWidget(twoGraphs_);
    modes->addStretch();

    below_ = new QLineEdit;
    below_->setObjectName(QStringLiteral("below"));
    upper_ = new QLineEdit;
    upper_->setObjectName(QStringLiteral("upper"));
    auto* browseBelow = new QPushButton(qtTrId("tp-browse"));
    browseBelow->setObjectName(QStringLiteral("browseBelow"));
    auto* browseUpper = new QPushButton(qtTrId("tp-browse"));
    browseUpper->setObjectName(QStringLiteral("browseUpper"));
    connect(browseBelow, &QPushButton::clicked, this, [this] { browse(true); });
    connect(browseUpper, &QPushButton::clicked, this, [this] { browse(false); });
    auto* files = new QGridLayout;
    files->addWidget(new QLabel(qtTrId("tp-below")), 0, 0);
    files->addWidget(below_, 0, 1);
    files->addWidget(browseBelow, 0, 2);
    files->addWidget(new QLabel(qtTrId("tp-upper")), 1, 0);
    files->addWidget(upper_, 1, 1);
    files->addWidget(browseUpper, 1, 2);

    height_ = valueField("height", kTaperHeightRange, initial.height);
    width_ = valueField("width", kTaperWidthRange, initial.width);
    width_->setToolTip(qtTrId("tp-thickness-tip"));
    base_ = valueField("base", kTaperBaseRange, initial.base);
    r_ = valueField("r", kTaperRRange, initial.r);
    degree_ = valueField("degree", kTaperDegreeRange, initial.degree);
    rmin_ = valueField("rmin", kTaperRminRange, initial.rmin);
    machineType_ = new QComboBox;
    machineType_->setObjectName(QStringLiteral("machineType"));
    machineType_->addItems({qtTrId("tp-slide"), qtTrId("tp-swing"), qtTrId("tp-lever")});
    machineType_->setCurrentIndex(initial.type >= 0 && initial.type <= kTaperMachineTypeMax ? initial.type : 0);
    auto* values = new QFormLayout;
    values->addRow(qtTrId("tp-height"), height_);
    values->addRow(qtTrId("tp-width"), width_);
    values->addRow(qtTrId("tp-base"), base_);
    values->addRow(qtTrId("tp-r"), r_);
    values->addRow(qtTrId("tp-degree") + QLatin1Char(' ') + qtTrId("tp-one-side"), degree_);
    values->addRow(qtTrId("tp-rmin"), rmin_);
    values->addRow(qtTrId("tp-machine-type"), machineType_);

    rows_ = new TaperRowsModel(this);
    list_ = new QTableView;
    list_->setObjectName(QStringLiteral("list"));
    list_->setModel(rows_);
    list_->horizontalHeader()->setSectionResizeMode(TaperRowsModel::kColumnCode, QHeaderView::Stretch);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMinimumWidth(380);

    auto* notice = new QLabel(qtTrId("tp-notice-heading") + QLatin1Char('\n') + qtTrId("tp-notice"));
    notice->setObjectName(QStringLiteral("notice"));
    notice->setWordWrap(true);

    auto* how = new QPushButton(qtTrId("tp-how"));
    how->setObjectName(QStringLiteral("howToSet"));
    connect(how, &QPushButton::clicked, this, [this] {
        if (services_.howToSet) services_.howToSet();
    });
    auto* buttons = new QDialogButtonBox;
    ok_ = buttons->addButton(qtTrId("tp-ok"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setToolTip(qtTrId("tp-thickness-tip"));
    QPushButton* cancel = buttons->addButton(qtTrId("tp-cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addButton(how, QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addLayout(modes);
    left->addLayout(files);
    left->addLayout(values);
    left->addWidget(notice);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(list_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    // The Degree field sets every row's angle; a cell typed afterwards overrides its row.
    connect(degree_, &QDoubleSpinBox::valueChanged, this, &CTaperDialog::fillDegreeColumn);
}

void CTaperDialog::browse(bool below) {
    if (!services_.browse) return;
    const std::optional<QString> chosen = services_.browse();
    if (!chosen || chosen->isEmpty()) return;
    setGraph(below, *chosen);
}

bool CTaperDialog::setGraph(bool below, const QString& path) {
    (below ? below_ : upper_)->setText(path);
    if (!taperListableName(path)) return true;
    if (listLines(path)) return true;
    if (services_.tell) services_.tell(qtTrId("tp-show-failed"));
    return false;
}

bool CTaperDialog::listLines(const QString& path) {
    std::vector<std::string> lines;
    int kind = 0;
    if (!loadTaperLines(path, lines, kind)) {
        rows_->clear();
        listedPath_.clear();
        return false;
    }
    rows_->setLines(std::move(lines), cellText(degree_->value()));
    listedPath_ = path;
    return true;
}

void CTaperDialog::fillDegreeColumn() { rows_->fillDegree(cellText(degree_->value())); }

TaperRequest CTaperDialog::request() const {
    TaperRequest r;
    r.twoGraphs = twoGraphs_->isChecked();
    r.below = below_->text().trimmed();
    r.upper = upper_->text().trimmed();
    r.values.type = machineType_->currentIndex();
    r.values.height = height_->value();
    r.values.width = width_->value();
    r.values.base = base_->value();
    r.values.r = r_->value();
    r.values.degree = degree_->value();
    r.values.rmin = rmin_->value();
    r.rows = rows_->rows();
    return r;
}

void CTaperDialog::accept() {
    // One Graph takes its angles from the list of the given program: a file typed rather than
    // browsed is listed first.
    const QString below = below_->text().trimmed(), upper = upper_->text().trimmed();
    if (oneGraph_->isChecked() && below.isEmpty() != upper.isEmpty()) {
        const QString given = below.isEmpty() ? upper : below;
        if (given != listedPath_) listLines(given);
    }
    TaperRequest r = request();
    if (r.twoGraphs || listedPath_ != (r.below.isEmpty() ? r.upper : r.below)) r.rows.clear();
    int badRow = -1;
    if (services_.generate && !services_.generate(r, badRow)) {
        if (badRow >= 0 && badRow < rows_->rowCount()) {
            list_->selectRow(badRow);
            list_->scrollTo(rows_->index(badRow, TaperRowsModel::kColumnDegree));
        }
        return;
    }
    QDialog::accept();
}

}  // namespace korvex
