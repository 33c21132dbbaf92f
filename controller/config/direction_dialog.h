// "Direction" (the Debug dialog): the axes' invert flags, single steps with a counter per axis,
// and jogs of many steps watched by the "Debugging..." dialog.
//
// A jog never runs unwatched. From the moment its CMD_JOG is queued until its steps are done,
// the Debugging... dialog sends CMD_STOP when it is left in any way (its stop button, Escape, the
// close box), when a status poll fails (the stop is tried at once, on the worker, before anything
// else is sent) and when the link is reported lost (tried once more before the link closes).
#pragma once

#include "controller/config/setup_dialogs.h"

#include <QTimer>

#include <array>

namespace korvex {

class MachineControl;

class DirectionDialog : public CardStepsDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Direction";
    // `machine` (may be null) tells a running jog that the link is being lost.
    DirectionDialog(SettingsBlock& settings, CardAccess access, MotorStep motor, MachineControl* machine = nullptr,
                    QWidget* parent = nullptr);

    QCheckBox* invertBox(std::size_t axis) const { return invert_.at(axis); }
    QPushButton* stepButton(AxisDirection d) const { return step_.at(index(d)); }
    QPushButton* jogButton(AxisDirection d) const { return jog_.at(index(d)); }
    QLineEdit* stepsField() const { return steps_; }
    // The single steps counted per axis since the dialog opened (plus steps up, minus down).
    int counter(std::size_t axis) const { return counters_.at(axis); }
    QString counterText(std::size_t axis) const;

private:
    static std::size_t index(AxisDirection d) { return static_cast<std::size_t>(d) - 1; }
    void toggleInvert(std::size_t axis);
    void singleStep(AxisDirection d);
    void multiSteps(AxisDirection d);
    void setBusy(bool busy);

    SettingsBlock& settings_;
    MotorStep motor_;
    MachineControl* machine_;
    std::array<QCheckBox*, kAxisCount> invert_{};
    std::array<QPushButton*, 8> step_{};
    std::array<QPushButton*, 8> jog_{};
    std::array<QLabel*, kAxisCount> counterLabels_{};
    std::array<int, kAxisCount> counters_{};
    QLineEdit* steps_ = nullptr;
};

class DebuggingDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Debugging";
    static constexpr int kPollMs = 1000;
    // Switches the motor on and starts the jog at once; the polls follow once the card took it.
    DebuggingDialog(AxisDirection direction, int steps, CardAccess access, MotorStep motor,
                    MachineControl* machine = nullptr, QWidget* parent = nullptr);
    ~DebuggingDialog() override;

    QPushButton* stopButton() const { return stop_; }
    QString progressText() const;
    int stepsDone() const { return done_; }
    // True from the jog's request until its steps are done or it was stopped.
    bool jogRunning() const { return running_; }
    void reject() override;  // Escape and the close box

private:
    void poll();
    void showDone(int done);
    // Stops the polls, sends CMD_STOP when a jog may still run, and closes.
    void stopAndClose();

    AxisDirection direction_;
    int total_;
    CardAccess access_;
    QLabel* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    QTimer poll_;
    int done_ = 0;
    bool running_ = false;
    bool polling_ = false;  // a poll is on its way: the next tick waits for it
};

}  // namespace korvex
