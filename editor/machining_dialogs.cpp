#include "editor/machining_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "editor/document/group_changes.h"
#include "platform/operator_interaction.h"

namespace tavrel {
namespace {

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(qtTrId("tavrel.ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(qtTrId("tavrel.cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

std::optional<int> wholeNumber(const QLineEdit* field) {
    bool ok = false;
    const int v = field->text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

void refuseField(korvex::OperatorInteraction& ui, QLineEdit* field, const QString& text) {
    ui.message(qtTrId("tavrel.app"), text, korvex::OperatorInteraction::Icon::Warning);
    field->setFocus();
    field->selectAll();
}

}  // namespace

HfGroupDialog::HfGroupDialog(QWidget* parent) : QDialog(parent), list_(new QComboBox(this)) {
    setObjectName("132");
    setWindowTitle(qtTrId("tavrel.hf.title"));
    list_->setObjectName("1001");
    for (int g = 0; g <= kHighestHfGroup; ++g) list_->addItem(QString::number(g));
    list_->setCurrentIndex(0);  // "0" whatever group is in force
    auto* label = new QLabel(qtTrId("tavrel.hf.label"), this);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(list_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(okCancel(this));
}

int HfGroupDialog::group() const { return list_->currentIndex(); }

ThresholdDialog::ThresholdDialog(int preset, korvex::OperatorInteraction& ui, QWidget* parent)
    : QDialog(parent), field_(new QLineEdit(QString::number(preset), this)), ui_(ui) {
    setObjectName("151");
    setWindowTitle(qtTrId("tavrel.threshold.title"));
    field_->setObjectName("1003");
    auto* row = new QHBoxLayout;
    row->addWidget(field_);
    row->addWidget(new QLabel(qtTrId("tavrel.threshold.unit"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qtTrId("tavrel.threshold.text"), this));
    layout->addLayout(row);
    layout->addWidget(okCancel(this));
}

int ThresholdDialog::threshold() const { return wholeNumber(field_).value_or(-1); }

void ThresholdDialog::accept() {
    const std::optional<int> v = wholeNumber(field_);
    if (!v || *v < 0 || *v > kMaxThresholdUm) {
        refuseField(ui_, field_, qtTrId("tavrel.range").arg(0).arg(kMaxThresholdUm));
        return;
    }
    QDialog::accept();
}

JoinOffsetDialog::JoinOffsetDialog(korvex::OperatorInteraction& ui, QWidget* parent)
    : QDialog(parent), x_(new QLineEdit(QStringLiteral("0"), this)), y_(new QLineEdit(QStringLiteral("0"), this)), ui_(ui) {
    setObjectName("150");
    setWindowTitle(qtTrId("tavrel.join.title"));
    x_->setObjectName("1002");
    y_->setObjectName("1003");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("X:"), x_);
    form->addRow(QStringLiteral("Y:"), y_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qtTrId("tavrel.join.text"), this));
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

std::pair<int, int> JoinOffsetDialog::offset() const {
    return {wholeNumber(x_).value_or(0), wholeNumber(y_).value_or(0)};
}

void JoinOffsetDialog::accept() {
    for (QLineEdit* field : {x_, y_}) {
        if (!wholeNumber(field)) {
            refuseField(ui_, field, qtTrId("tavrel.integer"));
            return;
        }
    }
    QDialog::accept();
}

}  // namespace tavrel
