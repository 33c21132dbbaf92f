// "Adjust": wire centering and edge finding (Control menu, F11). The dialog shows and steers an
// AdjustSession; Escape and the close box stop a running procedure first and close once the card
// took the stop.
#pragma once

#include <QDialog>

#include <array>

#include "controller/adjust/adjust_session.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

namespace korvex {

class CardControl;
class MachineControl;
class OperatorInteraction;

class AdjustDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Adjust";
    explicit AdjustDialog(AdjustMachine machine, QWidget* parent = nullptr);

    AdjustSession& session() { return session_; }
    QRadioButton* directionButton(int index) const { return directions_[static_cast<std::size_t>(index)]; }
    QComboBox* speedChoice() const { return speed_; }
    QPushButton* centerButton() const { return center_; }
    QPushButton* borderButton() const { return border_; }
    QLabel* statusLine() const { return status_; }

    void reject() override;

private:
    void showSession();

    AdjustSession session_;
    std::array<QRadioButton*, kAdjustDirections> directions_{};
    QComboBox* speed_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* center_ = nullptr;
    QPushButton* border_ = nullptr;
};

// What opening the dialog needs from the main window.
struct AdjustContext {
    CardControl* card = nullptr;
    OperatorInteraction* operatorUi = nullptr;
    MachineControl* machine = nullptr;  // the card worker and the button panel
};

// Opens "Adjust" modally through the operator interaction. -1 (nothing shown) without a running
// machine or after the link was lost; otherwise the dialog's result.
int runAdjust(const AdjustContext& context, QWidget* parent = nullptr);

}  // namespace korvex
