#include "controller/tips_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace korvex {

TipsDialog::TipsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("tips.title"));
    auto* text = new QLabel(qtTrId("tips.text"), this);
    text->setWordWrap(true);
    dontShow_ = new QCheckBox(qtTrId("tips.dont_show"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(dontShow_);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

bool TipsDialog::dontShowAgain() const { return dontShow_->isChecked(); }

void TipsDialog::setDontShowAgain(bool on) { dontShow_->setChecked(on); }

}  // namespace korvex
