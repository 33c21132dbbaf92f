#include "controller/views/button_view.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace korvex {

CButtonView::CButtonView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ButtonView"));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](const char* id) {
        auto* b = new QPushButton(qtTrId(id), this);
        b->setMinimumHeight(44);
        b->setEnabled(false);  // enabled by the run state once the operations exist
        layout->addWidget(b);
        return b;
    };
    simulate_ = add("button.simulate");
    walk_ = add("button.walk");
    cut_ = add("button.cut");
    back_ = add("button.back");
    layout->addSpacing(16);
    motor_ = add("button.motor_off");
    freq_ = add("button.freq_off");
    layout->addStretch(1);
    setMinimumWidth(140);
}

void CButtonView::refresh() { ++refreshCount_; }

}  // namespace korvex
