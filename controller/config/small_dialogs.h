// The one-field configuration dialogs: Mult-Test (send one pulse group to try it) and
// Clearence (the wait at each corner of a cut). Each checks its field, sends its command on the
// card worker with its buttons disabled, and changes nothing on the PC unless the card took it.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace korvex {

class CardControl;
class CardSequence;
class OperatorInteraction;
class PulseTable;
struct SettingsBlock;

// An integer field's text in [low, high], or nothing.
std::optional<int> integerInRange(const QString& text, int low, int high);

// What the small dialogs need to reach the card.
struct CardAccess {
    CardControl* card = nullptr;
    OperatorInteraction* operatorUi = nullptr;
    // Queues a sequence on the card worker; empty when no worker runs.
    std::function<void(CardSequence)> post;
};

// Base of the small dialogs: one command on the worker, then done(ok) back on this thread.
class CardCommandDialog : public QDialog {
    Q_OBJECT
protected:
    CardCommandDialog(CardAccess access, QWidget* parent);
    // Sends `command` on the worker with the buttons disabled; `done` runs here afterwards
    // with whether the card took it ("Setup failed" is shown when it did not).
    void send(std::function<int(CardControl&)> command, std::function<void()> done);
    void warn(const QString& text);
    CardAccess access_;
    QList<QPushButton*> buttons_;
};

class MultTestDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "MultTest";
    static constexpr int kChangeParam = 2;  // the result when CHANGE PARAM closed it
    MultTestDialog(const PulseTable& table, CardAccess access, QWidget* parent = nullptr);
    QLineEdit* indexField() const { return index_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* changeButton() const { return change_; }
    // The group the card took last (-1 none yet).
    int lastSent() const { return lastSent_; }

private:
    void test();
    const PulseTable& table_;
    QLineEdit* index_ = nullptr;
    QPushButton* test_ = nullptr;
    QPushButton* change_ = nullptr;
    int lastSent_ = -1;
};

class ClearanceDialog : public CardCommandDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "Clearance";
    static constexpr int kMinSeconds = 0;
    static constexpr int kMaxSeconds = 15;
    // `settings` is the controller's copy of the card's block; changed only once the card took it.
    ClearanceDialog(SettingsBlock& settings, CardAccess access, QWidget* parent = nullptr);
    QLineEdit* secondsField() const { return seconds_; }
    QPushButton* okButton() const { return ok_; }
    void accept() override;

private:
    SettingsBlock& settings_;
    QLineEdit* seconds_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace korvex
