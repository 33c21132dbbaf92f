// The Loop, Speed, Back, Planing-Stop and Track dialogs. Each shows what the controller's copy
// of the card's settings holds (a value outside its field's range as it is, refused at OK like
// typed text), checks its fields with machine_settings.h, sends its commands on the card worker
// with its buttons disabled, and changes the copy, the panes and the keys only once the card
// took them; otherwise "Setup failed" and the dialog stays open.
#pragma once

#include "controller/config/machine_settings.h"
#include "controller/config/small_dialogs.h"

#include <array>
#include <functional>
#include <memory>

class QLineEdit;
class QRadioButton;

namespace korvex {

struct LoadedProgram;

class LoopDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Loop";
    // `stored` gets the loop count the card took.
    LoopDialog(int loopTotal, CardAccess access, std::function<void(int)> stored, QWidget* parent = nullptr);
    QLineEdit* loopsField() const { return loops_; }
    QPushButton* okButton() const { return ok_; }
    void accept() override;

private:
    std::function<void(int)> stored_;
    QLineEdit* loops_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class SpeedDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Speed";
    // `shown` puts the new maximum X/Y speed in the status bar.
    SpeedDialog(SettingsBlock& settings, CardAccess access, std::function<void()> shown, QWidget* parent = nullptr);
    QLineEdit* field(SpeedField f) const { return fields_[f]; }
    QPushButton* saveButton() const { return save_; }
    void accept() override;

private:
    SettingsBlock& settings_;
    std::function<void()> shown_;
    std::array<QLineEdit*, kSpeedFieldCount> fields_{};
    QPushButton* save_ = nullptr;
};

class BackDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Back";
    // The sensitivity is Others/ShortSensitivity of `cardSettingsPath`.
    BackDialog(SettingsBlock& settings, CardAccess access, QString cardSettingsPath, QWidget* parent = nullptr);
    QLineEdit* field(BackField f) const { return fields_[f]; }
    QPushButton* okButton() const { return ok_; }
    void accept() override;

private:
    void storeSensitivity(int sensitivity);
    SettingsBlock& settings_;
    QString cardSettingsPath_;
    std::array<QLineEdit*, 3> fields_{};
    QPushButton* ok_ = nullptr;
};

class PlanPauseDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "PlanPause";
    // `marked` gets the pause point once the card took it (the graph view marks it).
    PlanPauseDialog(std::shared_ptr<const LoadedProgram> program, CardAccess access,
                    std::function<void(const PlanPause&)> marked, QWidget* parent = nullptr);
    QLineEdit* segmentField() const { return segment_; }
    QLineEdit* percentField() const { return percent_; }
    QPushButton* okButton() const { return ok_; }
    void accept() override;

private:
    std::shared_ptr<const LoadedProgram> program_;
    std::function<void(const PlanPause&)> marked_;
    QLineEdit* segment_ = nullptr;
    QLineEdit* percent_ = nullptr;
    QPushButton* ok_ = nullptr;
};

class TrackDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Track";
    // `changed` gets the mode the card took: the groups' feed entries, the status panel's table
    // and the feed follow it.
    TrackDialog(SettingsBlock& settings, CardAccess access, std::function<void(int)> changed, QWidget* parent = nullptr);
    QRadioButton* modeButton(int mode) const { return modes_.at(static_cast<std::size_t>(mode)); }
    QPushButton* okButton() const { return ok_; }
    void accept() override;

private:
    SettingsBlock& settings_;
    std::function<void(int)> changed_;
    std::array<QRadioButton*, 2> modes_{};
    QPushButton* ok_ = nullptr;
};

}  // namespace korvex
