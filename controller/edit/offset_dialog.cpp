#include "controller/edit/offset_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvex {

COffsetDialog::COffsetDialog(const OffsetRequest& initial, QWidget* parent) : QDialog(parent) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("ed-offset-title"));

    offset_ = new QDoubleSpinBox;
    offset_->setObjectName(QStringLiteral("offset"));
    offset_->setDecimals(kDecimals);
    offset_->setRange(-kOffsetLimitMm, kOffsetLimitMm);
    offset_->setSingleStep(kStepMm);
    offset_->setSuffix(QStringLiteral(" mm"));
    offset_->setValue(initial.offsetMm);
    auto* field = new QFormLayout;
    field->addRow(qtTrId("ed-offset-field"), offset_);

    auto* note = new QLabel(qtTrId("ed-offset-note"));
    note->setWordWrap(true);

    sharp_ = new QRadioButton(qtTrId("ed-offset-sharp"));
    sharp_->setObjectName(QStringLiteral("sharp"));
    round_ = new QRadioButton(qtTrId("ed-offset-round"));
    round_->setObjectName(QStringLiteral("round"));
    (initial.corner == CornerType::Round ? round_ : sharp_)->setChecked(true);
    auto* corners = new QGroupBox(qtTrId("ed-offset-corner"));
    auto* cornerLayout = new QVBoxLayout(corners);
    cornerLayout->addWidget(sharp_);
    cornerLayout->addWidget(round_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(note);
    layout->addWidget(corners);
    layout->addWidget(buttons);
    offset_->setFocus();
    offset_->selectAll();
}

OffsetRequest COffsetDialog::request() const {
    OffsetRequest r;
    r.offsetMm = offset_->value();
    r.corner = round_->isChecked() ? CornerType::Round : CornerType::Sharp;
    return r;
}

}  // namespace korvex
