#include "controller/views/statistics_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controller/machining/statistics.h"

namespace korvex {
namespace {

constexpr double kDefaultHeightMm = 10;
constexpr double kDefaultCurrentA = 1;

}  // namespace

CStatisticsDialog::CStatisticsDialog(double pathLengthMm, int usedSeconds, QWidget* parent)
    : QDialog(parent), pathLengthMm_(pathLengthMm), usedSeconds_(usedSeconds) {
    setObjectName(QStringLiteral("Statistics"));
    setWindowTitle(qtTrId("statistics.title"));
    auto* layout = new QVBoxLayout(this);
    auto* inputs = new QFormLayout;
    height_ = new QDoubleSpinBox(this);
    height_->setObjectName(QStringLiteral("height"));
    height_->setRange(kMinHeightMm, kMaxHeightMm);
    height_->setDecimals(3);
    height_->setSuffix(QStringLiteral(" mm"));
    height_->setValue(kDefaultHeightMm);
    current_ = new QDoubleSpinBox(this);
    current_->setObjectName(QStringLiteral("current"));
    current_->setRange(kMinCurrentA, kMaxCurrentA);
    current_->setDecimals(2);
    current_->setSuffix(QStringLiteral(" A"));
    current_->setValue(kDefaultCurrentA);
    inputs->addRow(qtTrId("statistics.height"), height_);
    inputs->addRow(qtTrId("statistics.current"), current_);
    layout->addLayout(inputs);

    auto* calculate = new QPushButton(qtTrId("statistics.calculate"), this);
    calculate->setObjectName(QStringLiteral("calculate"));
    connect(calculate, &QPushButton::clicked, this, &CStatisticsDialog::calculate);
    layout->addWidget(calculate);

    auto* result = new QGroupBox(qtTrId("statistics.result"), this);
    auto* lines = new QFormLayout(result);
    length_ = new QLabel(result);
    area_ = new QLabel(result);
    efficiency_ = new QLabel(result);
    lines->addRow(qtTrId("statistics.length"), length_);
    lines->addRow(qtTrId("statistics.area"), area_);
    lines->addRow(qtTrId("status.efficiency"), efficiency_);
    layout->addWidget(result);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CStatisticsDialog::calculate() {
    const WorkStatistics s = workStatistics(pathLengthMm_, height_->value(), current_->value(), usedSeconds_);
    length_->setText(qtTrId("statistics.length_value").arg(s.lengthMm, 0, 'f', 3));
    area_->setText(qtTrId("statistics.area_value").arg(s.areaMm2, 0, 'f', 3));
    efficiency_->setText(qtTrId("statistics.efficiency_value").arg(s.efficiencyMm2PerMinA, 0, 'f', 3));
}

QString CStatisticsDialog::lengthText() const { return length_->text(); }
QString CStatisticsDialog::areaText() const { return area_->text(); }
QString CStatisticsDialog::efficiencyText() const { return efficiency_->text(); }

}  // namespace korvex
