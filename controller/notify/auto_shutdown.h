// The finish action: the PC switches itself off after the next finished cut (AutoShut/End) or
// the next pause (AutoShut/Pause), once, when the Option dialog armed it.
//
//   1 read the key and write 0 at once (one-shot, whether or not it shuts down)
//   2 not 1: nothing more
//   3 the motor off, as the panel's Motor button sends it (CMD_SET_MOTOR 0)
//   4 the pulse table written to dao.tbl, and at most 60 s for the notices still queued or
//     under way (the "Cut finished!" message must leave before the modem loses power)
//   5 "Please Wait..." counts 5 seconds down; no buttons, Escape does nothing
//   6 power off (logind, or KORVEX_POWER_OFF_COMMAND); a refusal shows nothing, the program
//     carries on
#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

class QLabel;

namespace korvex {

class MachineSession;
class OperatorInteraction;

inline constexpr int kFinishAfterPause = 1;
inline constexpr int kFinishAfterEnd = 2;

// "Please Wait...": the first line, then "%d seconds later will shut down the computer", the
// count falling by one a second; at 0 it closes itself.
class CShutdownCountdownDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "ShutdownCountdown";
    static constexpr int kTickMs = 1000;
    static constexpr int kStartSeconds = 5;
    static constexpr int kMinimumWidthPx = 320;
    static constexpr int kMarginPx = 24;

    explicit CShutdownCountdownDialog(const QString& firstLine, QWidget* parent = nullptr);
    int remaining() const { return remaining_; }
    QString countText() const;
    // One second passed (the dialog's own timer calls it).
    void tick();

public slots:
    void reject() override;  // Escape and the close box do nothing

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int remaining_ = kStartSeconds;
    QLabel* count_;
    QTimer timer_;
};

class AutoShutdown {
public:
    static constexpr int kNoticeWaitMs = 60000;
    static constexpr int kWaitPollMs = 50;

    struct Steps {
        // The panel's motor off; `done` runs on the interface thread once the card answered.
        std::function<void(std::function<void()> done)> motorOff;
        std::function<int()> writePulseTable;
        std::function<bool()> noticesPending;
        // The power-off itself (tests record it).
        std::function<void()> powerOff;
    };

    AutoShutdown(MachineSession& session, OperatorInteraction& operatorUi, Steps steps, QWidget* dialogParent);

    // Kind 1 after a pause, 2 after a finished cut; others do nothing. True when the countdown
    // ran and the power-off was asked for.
    bool run(int kind);

private:
    // Runs this thread's events until done() holds or ms passed.
    static void waitUntil(const std::function<bool()>& done, int ms);

    MachineSession& session_;
    OperatorInteraction& operatorUi_;
    Steps steps_;
    QWidget* dialogParent_;
};

}  // namespace korvex
