#include "controller/edit/multipass_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace korvex {
namespace {

constexpr int kDecimals = 3;
constexpr double kLengthStepMm = 0.01;
// The reserved and lead lengths the fields take, mm.
constexpr double kMaxLengthMm = 100000.0;

QSpinBox* groupField(const QString& name, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(0, kMultipassMaxGroup);
    box->setValue(value);
    return box;
}

QDoubleSpinBox* lengthField(const QString& name, double min, double max, double value) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setDecimals(kDecimals);
    box->setRange(min, max);
    box->setSingleStep(kLengthStepMm);
    box->setValue(value);
    return box;
}

QComboBox* countField(int value) {
    auto* box = new QComboBox;
    box->setObjectName(QStringLiteral("count"));
    for (int n = kMultipassMinCount; n <= kMultipassMaxCount; ++n) box->addItem(QString::number(n));
    box->setCurrentIndex(value - kMultipassMinCount);
    return box;
}

// The grid of passes: "Index(0-7)" and "Gap(mm)" for each of the eight.
QGroupBox* passGrid(PassFields& fields, const std::array<int, kMultipassMaxCount>& dao,
                    const std::array<double, kMultipassMaxCount>& offset) {
    auto* box = new QGroupBox;
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(qtTrId("mp-index")), 0, 1);
    grid->addWidget(new QLabel(qtTrId("mp-gap")), 0, 2);
    for (int p = 0; p < kMultipassMaxCount; ++p) {
        const auto i = static_cast<size_t>(p);
        grid->addWidget(new QLabel(qtTrId("mp-pass").arg(p + 1)), p + 1, 0);
        fields.dao[i] = groupField(QStringLiteral("dao%1").arg(p + 1), dao[i]);
        fields.offset[i] = lengthField(QStringLiteral("offset%1").arg(p + 1), -kMultipassGapLimitMm,
                                       kMultipassGapLimitMm, offset[i]);
        grid->addWidget(fields.dao[i], p + 1, 1);
        grid->addWidget(fields.offset[i], p + 1, 2);
    }
    return box;
}

void enablePasses(PassFields& fields, int count) {
    for (int p = 0; p < kMultipassMaxCount; ++p) {
        fields.dao[static_cast<size_t>(p)]->setEnabled(p < count);
        fields.offset[static_cast<size_t>(p)]->setEnabled(p < count);
    }
}

template <typename Settings>
void readPasses(const PassFields& fields, Settings& s) {
    for (size_t i = 0; i < kMultipassMaxCount; ++i) {
        s.dao[i] = fields.dao[i]->value();
        s.offset[i] = fields.offset[i]->value();
    }
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

CMultipleDialog::CMultipleDialog(const MultipassSettings& initial, Generate generate, QWidget* parent)
    : QDialog(parent), generate_(std::move(generate)) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("mp-multiple-title"));

    mode_ = new QComboBox;
    mode_->setObjectName(QStringLiteral("mode"));
    mode_->addItems({qtTrId("mp-matrix"), qtTrId("mp-punch")});
    mode_->setCurrentIndex(initial.mode == 1 ? 1 : 0);
    count_ = countField(initial.count);
    len_ = lengthField(QStringLiteral("len"), 0, kMaxLengthMm, initial.len);
    lastLen_ = lengthField(QStringLiteral("lastLen"), -kMultipassGapLimitMm, kMultipassGapLimitMm, initial.lastLen);
    once_ = new QCheckBox(qtTrId("mp-once"));
    once_->setObjectName(QStringLiteral("once"));
    once_->setChecked(initial.once);
    firstGap_ = new QCheckBox(qtTrId("mp-first-gap"));
    firstGap_->setObjectName(QStringLiteral("firstGap"));
    firstGap_->setChecked(initial.firstGap);

    auto* top = new QFormLayout;
    top->addRow(qtTrId("mp-mode"), mode_);
    top->addRow(qtTrId("mp-loops"), count_);
    top->addRow(qtTrId("mp-reserved"), len_);
    top->addRow(qtTrId("mp-last-gap"), lastLen_);
    top->addRow(once_);
    top->addRow(firstGap_);

    inDao_ = groupField(QStringLiteral("inDao"), initial.inDao);
    outDao_ = groupField(QStringLiteral("outDao"), initial.outDao);
    firstDao_ = groupField(QStringLiteral("firstDao"), initial.firstDao);
    lastDao_ = groupField(QStringLiteral("lastDao"), initial.lastDao);
    auto* groups = new QFormLayout;
    groups->addRow(qtTrId("mp-lead-in-index"), inDao_);
    groups->addRow(qtTrId("mp-lead-out-index"), outDao_);
    groups->addRow(qtTrId("mp-first-reserved-index"), firstDao_);
    groups->addRow(qtTrId("mp-last-reserved-index"), lastDao_);

    auto* note = new QLabel(qtTrId("mp-sign-note"));
    note->setWordWrap(true);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addLayout(groups);
    left->addStretch();
    columns->addLayout(left);
    columns->addWidget(passGrid(passes_, initial.dao, initial.offset));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(note);
    layout->addWidget(okCancel(this));

    connect(mode_, &QComboBox::currentIndexChanged, this, &CMultipleDialog::updateEnabled);
    connect(count_, &QComboBox::currentIndexChanged, this, &CMultipleDialog::updateEnabled);
    updateEnabled();
}

void CMultipleDialog::updateEnabled() {
    // A matrix keeps no step: the distance is 0 and cannot be typed.
    const bool punch = mode_->currentIndex() == 1;
    if (!punch) len_->setValue(0);
    len_->setEnabled(punch);
    enablePasses(passes_, count_->currentIndex() + kMultipassMinCount);
}

MultipassSettings CMultipleDialog::settings() const {
    MultipassSettings s;
    s.mode = mode_->currentIndex() == 1 ? 1 : 0;
    s.count = count_->currentIndex() + kMultipassMinCount;
    s.len = len_->value();
    s.lastLen = lastLen_->value();
    s.once = once_->isChecked();
    s.firstGap = firstGap_->isChecked();
    readPasses(passes_, s);
    s.inDao = inDao_->value();
    s.outDao = outDao_->value();
    s.firstDao = firstDao_->value();
    s.lastDao = lastDao_->value();
    return s;
}

void CMultipleDialog::accept() {
    if (generate_ && !generate_(settings())) return;  // told why; the values stay for a retry
    QDialog::accept();
}

CSegmentMultipleDialog::CSegmentMultipleDialog(const SegmentMultipleSettings& initial, Generate generate,
                                               QWidget* parent)
    : QDialog(parent), generate_(std::move(generate)) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("mp-segment-title"));

    len_ = lengthField(QStringLiteral("len"), -kMaxLengthMm, kMaxLengthMm, initial.len);
    count_ = countField(initial.count);
    auto* lenNote = new QLabel(qtTrId("mp-lead-note"));
    lenNote->setWordWrap(true);
    inDao_ = groupField(QStringLiteral("inDao"), initial.inDao);
    outDao_ = groupField(QStringLiteral("outDao"), initial.outDao);

    auto* top = new QFormLayout;
    top->addRow(qtTrId("mp-lead-length"), len_);
    top->addRow(lenNote);
    top->addRow(qtTrId("mp-loops"), count_);
    top->addRow(qtTrId("mp-in-index"), inDao_);
    top->addRow(qtTrId("mp-out-index"), outDao_);

    auto* note = new QLabel(qtTrId("mp-sign-note"));
    note->setWordWrap(true);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addStretch();
    columns->addLayout(left);
    columns->addWidget(passGrid(passes_, initial.dao, initial.offset));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(note);
    layout->addWidget(okCancel(this));

    connect(count_, &QComboBox::currentIndexChanged, this, &CSegmentMultipleDialog::updateEnabled);
    updateEnabled();
}

void CSegmentMultipleDialog::updateEnabled() { enablePasses(passes_, count_->currentIndex() + kMultipassMinCount); }

SegmentMultipleSettings CSegmentMultipleDialog::settings() const {
    SegmentMultipleSettings s;
    s.len = len_->value();
    s.count = count_->currentIndex() + kMultipassMinCount;
    readPasses(passes_, s);
    s.inDao = inDao_->value();
    s.outDao = outDao_->value();
    return s;
}

void CSegmentMultipleDialog::accept() {
    if (generate_ && !generate_(settings())) return;
    QDialog::accept();
}

}  // namespace korvex
