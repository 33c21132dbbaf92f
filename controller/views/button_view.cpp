#include "controller/views/button_view.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "controller/views/twinkle_button.h"

namespace korvex {

CButtonView::CButtonView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ButtonView"));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](PanelButton which, const char* id, CLamp** lamp) {
        auto* b = new CTwinkleButton(qtTrId(id), this);
        b->setEnabled(false);  // enabled by the run state once the operations exist
        connect(b, &QPushButton::clicked, this, [this, which] { emit pressed(which); });
        buttons_[static_cast<std::size_t>(which)] = b;
        if (!lamp) {
            layout->addWidget(b);
            return;
        }
        auto* row = new QHBoxLayout;
        row->addWidget(b, 1);
        *lamp = new CLamp(this);
        row->addWidget(*lamp);
        layout->addLayout(row);
    };
    add(PanelButton::Simulate, "button.simulate", nullptr);
    add(PanelButton::Walk, "button.walk", nullptr);
    add(PanelButton::Cut, "button.cut", nullptr);
    add(PanelButton::Back, "button.back", nullptr);
    layout->addSpacing(16);
    add(PanelButton::Motor, "button.motor_off", &motorLamp_);
    add(PanelButton::Freq, "button.freq_off", &freqLamp_);
    motorLamp_->setObjectName(QStringLiteral("MotorLamp"));
    freqLamp_->setObjectName(QStringLiteral("FreqLamp"));
    layout->addStretch(1);
    setMinimumWidth(150);
    blink_.setInterval(kBlinkPeriodMs);
    connect(&blink_, &QTimer::timeout, this, &CButtonView::blink);
}

void CButtonView::show(const PanelState& state, const std::array<ButtonLabel, 4>& labels, bool motorOn, bool hfOn) {
    for (std::size_t i = 0; i < kPanelButtonCount; ++i)
        if (state.enabled[i])
            buttons_[i]->setEnabled(*state.enabled[i]);
    bool anyRunning = false;
    for (PanelButton b : {PanelButton::Simulate, PanelButton::Walk, PanelButton::Cut, PanelButton::Back}) {
        const ButtonLabel label = labels[static_cast<std::size_t>(b)];
        button(b)->setText(qtTrId(buttonLabelId(b, label)));
        button(b)->setTwinkling(label == ButtonLabel::Pause);
        anyRunning = anyRunning || label == ButtonLabel::Pause;
    }
    button(PanelButton::Motor)->setText(qtTrId(motorOn ? "button.motor_on" : "button.motor_off"));
    button(PanelButton::Freq)->setText(qtTrId(hfOn ? "button.freq_on" : "button.freq_off"));
    motorLamp_->setLit(motorOn);
    freqLamp_->setLit(hfOn);
    // The timer runs only while something blinks.
    if (anyRunning && !blink_.isActive())
        blink_.start();
    else if (!anyRunning)
        blink_.stop();
}

void CButtonView::blink() {
    for (CTwinkleButton* b : buttons_)
        b->blink();
}

void CButtonView::refresh() { ++refreshCount_; }

}  // namespace korvex
