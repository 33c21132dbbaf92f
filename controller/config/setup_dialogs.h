// The machine set-up dialogs: Phase (drive types, pulse rates and widths, lock levels, roll gap),
// Stop-Machine (the total-stop output's test pulse) and Option ("Korvex Setup": machine name,
// programming tool, power-off, the PC-side switches). Each sends its commands on the card worker
// with its buttons disabled and keeps a value on the PC only once the card took it.
#pragma once

#include "controller/config/machine_setup.h"
#include "controller/config/small_dialogs.h"
#include "controller/machining/card_worker.h"

#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;

namespace korvex {

// A dialog whose OK sends a few commands in order. Each step that the card took runs its
// `taken` here before the next result is looked at, so the PC's copy always holds what the
// card holds, even when a later step fails ("Setup failed", the dialog stays).
class CardStepsDialog : public CardCommandDialog {
    Q_OBJECT
public:
    struct Step {
        std::function<bool(CardControl&)> command;  // on the card worker
        std::function<void()> taken;                // here, once the card took it
    };

protected:
    using CardCommandDialog::CardCommandDialog;
    // `done` runs when every step was taken; `answered` (if any) first, whatever the outcome.
    void sendSteps(std::vector<Step> steps, std::function<void()> done, std::function<void()> answered = {});
};

// Switches the motor on the card and tells the button panel (on the worker).
using MotorStep = std::function<bool(CardControl&, bool on)>;

class PhaseDialog : public CardStepsDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Phase";
    // `settings` is the controller's copy; `shown` refreshes the status bar's panes.
    PhaseDialog(SettingsBlock& settings, CardAccess access, MotorStep motor, std::function<void()> shown,
                QWidget* parent = nullptr);

    PhaseForm form() const;
    void setForm(const PhaseForm& form);
    QButtonGroup* xyTypes() const { return xyType_; }
    QButtonGroup* uvTypes() const { return uvType_; }
    QLineEdit* rollGapField() const { return rollGap_; }
    QPushButton* okButton() const { return ok_; }
    void accept() override;

private:
    struct PairWidgets {
        QButtonGroup* type;
        QLineEdit* rate;
        QLineEdit* width;
        QComboBox* lock;
    };
    QWidget* buildPair(const QString& title, bool uv, PairWidgets& out);
    static void showPair(const PairWidgets& w, const AxisPairForm& f);
    static AxisPairForm readPair(const PairWidgets& w);

    SettingsBlock& settings_;
    MotorStep motor_;
    std::function<void()> shown_;
    PairWidgets xy_{};
    PairWidgets uv_{};
    QButtonGroup* xyType_ = nullptr;
    QButtonGroup* uvType_ = nullptr;
    QLineEdit* rollGap_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "Stop-Machine Test": the total-stop output on, and off again one second later from a timer
// that outlives the dialog, so closing it within the second still sends the off.
class StopMachineDialog : public CardStepsDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "StopMachine";
    static constexpr int kPulseMs = 1000;
    // `noStopAll`: the output is never used (Others/NoStopAll), the button stays disabled.
    // `later` runs a call kPulseMs from now on an object that outlives the dialog.
    StopMachineDialog(CardAccess access, bool noStopAll, std::function<void(int ms, std::function<void()>)> later,
                      QWidget* parent = nullptr);
    QPushButton* testButton() const { return test_; }

private:
    void test();
    std::function<void(int, std::function<void()>)> later_;
    QPushButton* test_ = nullptr;
};

// "Korvex Setup".
class OptionDialog : public CardStepsDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Option";
    static constexpr const char* kBrowseName = "ChooseProgram";
    // `store` writes the keys (0, or -1 when a file could not be written); `named` runs once the
    // card took the machine name.
    OptionDialog(OptionValues values, CardAccess access, std::function<int(const OptionValues&)> store,
                 std::function<void(const std::string& name)> named, QWidget* parent = nullptr);

    OptionValues values() const;
    QLineEdit* nameField() const { return name_; }
    QComboBox* taperDefault() const { return taper_; }
    QCheckBox* noStopAll() const { return noStopAll_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* browseButton() const { return browse_; }
    void accept() override;

private:
    void browse();
    OptionValues initial_;
    std::function<int(const OptionValues&)> store_;
    std::function<void(const std::string&)> named_;
    QLineEdit* name_ = nullptr;
    QLineEdit* program_ = nullptr;
    QString folder_;
    QString file_;
    QCheckBox* shutEnd_ = nullptr;
    QCheckBox* shutPause_ = nullptr;
    QCheckBox* noStopAll_ = nullptr;
    QCheckBox* shutMusic_ = nullptr;
    QCheckBox* noVkf_ = nullptr;
    QCheckBox* noForceZero_ = nullptr;
    QComboBox* taper_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace korvex
