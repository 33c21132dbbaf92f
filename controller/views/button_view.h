// CButtonView: the six operation buttons. A press goes out as `pressed`; what each button
// offers and says comes back from the work state through show().
#pragma once

#include <QWidget>

#include <array>

#include "controller/machining/work_state.h"

class QPushButton;

namespace korvex {

class CButtonView : public QWidget {
    Q_OBJECT
public:
    explicit CButtonView(QWidget* parent = nullptr);

    int refreshCount() const { return refreshCount_; }
    QPushButton* button(PanelButton b) const { return buttons_[static_cast<std::size_t>(b)]; }

    // Enables the buttons the state names (the others keep what they had) and labels them:
    // `labels` for Simulate, Walk, Cut and Back, the on/off label for Motor and Freq.
    void show(const PanelState& state, const std::array<ButtonLabel, 4>& labels, bool motorOn, bool hfOn);

signals:
    void pressed(PanelButton button);

public slots:
    // Counts the refresh requests of the card's run events (message 9); the state read they
    // ask for is the machining operations'.
    void refresh();

private:
    std::array<QPushButton*, kPanelButtonCount> buttons_{};
    int refreshCount_ = 0;
};

}  // namespace korvex
