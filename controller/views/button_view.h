// CButtonView: the six operation buttons and the lamps of Motor and Freq. A press goes out as
// `pressed`; what each button offers and says comes back from the work state through show().
// The button of a running operation (the one showing its pause label) blinks.
#pragma once

#include <QTimer>
#include <QWidget>

#include <array>

#include "controller/machining/work_state.h"

class QPushButton;

namespace korvex {

class CLamp;
class CTwinkleButton;

class CButtonView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBlinkPeriodMs = 500;

    explicit CButtonView(QWidget* parent = nullptr);

    int refreshCount() const { return refreshCount_; }
    CTwinkleButton* button(PanelButton b) const { return buttons_[static_cast<std::size_t>(b)]; }
    CLamp* motorLamp() const { return motorLamp_; }
    CLamp* freqLamp() const { return freqLamp_; }
    bool blinking() const { return blink_.isActive(); }

    // Enables the buttons the state names (the others keep what they had) and labels them:
    // `labels` for Simulate, Walk, Cut and Back, the on/off label for Motor and Freq.
    void show(const PanelState& state, const std::array<ButtonLabel, 4>& labels, bool motorOn, bool hfOn);

signals:
    void pressed(PanelButton button);

public slots:
    // Counts the refresh requests of the card's run events (message 9); the state read they
    // ask for is the machining operations'.
    void refresh();
    // One blink of every twinkling button (the panel's timer calls it).
    void blink();

private:
    std::array<CTwinkleButton*, kPanelButtonCount> buttons_{};
    CLamp* motorLamp_ = nullptr;
    CLamp* freqLamp_ = nullptr;
    QTimer blink_;
    int refreshCount_ = 0;
};

}  // namespace korvex
