#include "controller/views/button_view.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace korvex {

CButtonView::CButtonView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ButtonView"));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](PanelButton which, const char* id) {
        auto* b = new QPushButton(qtTrId(id), this);
        b->setMinimumHeight(44);
        b->setEnabled(false);  // enabled by the run state once the operations exist
        // The function keys belong to the window; a button never takes the focus from them.
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, which] { emit pressed(which); });
        buttons_[static_cast<std::size_t>(which)] = b;
    };
    add(PanelButton::Simulate, "button.simulate");
    add(PanelButton::Walk, "button.walk");
    add(PanelButton::Cut, "button.cut");
    add(PanelButton::Back, "button.back");
    layout->addSpacing(16);
    add(PanelButton::Motor, "button.motor_off");
    add(PanelButton::Freq, "button.freq_off");
    layout->addStretch(1);
    setMinimumWidth(140);
}

void CButtonView::show(const PanelState& state, const std::array<ButtonLabel, 4>& labels, bool motorOn, bool hfOn) {
    for (std::size_t i = 0; i < kPanelButtonCount; ++i)
        if (state.enabled[i])
            buttons_[i]->setEnabled(*state.enabled[i]);
    for (PanelButton b : {PanelButton::Simulate, PanelButton::Walk, PanelButton::Cut, PanelButton::Back})
        button(b)->setText(qtTrId(buttonLabelId(b, labels[static_cast<std::size_t>(b)])));
    button(PanelButton::Motor)->setText(qtTrId(motorOn ? "button.motor_on" : "button.motor_off"));
    button(PanelButton::Freq)->setText(qtTrId(hfOn ? "button.freq_on" : "button.freq_off"));
}

void CButtonView::refresh() { ++refreshCount_; }

}  // namespace korvex
