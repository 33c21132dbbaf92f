// The machining operations inside the controller's window: the card worker on the link, the
// operations with their dialogs and boxes through the operator-interaction interface, the card's
// reports (segment reports straight to the worker, run events through the UI thread), and the
// lost-link path. No operation logic lives here: it is in controller/machining/.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include "controller/machining/card_worker.h"
#include "controller/machining/link_machining_card.h"
#include "controller/machining/operations.h"

class QLabel;
class QWidget;

namespace korvex {

class CardEventRouter;
class MachineSession;
class OperatorInteraction;
class PulseTable;

// The alarm sound of the alarm boxes; silent until the notifications exist.
class AlarmSound {
public:
    virtual ~AlarmSound() = default;
    virtual void start(int kind) { (void)kind; }
    virtual void stop() {}
};

// "Notice Message": counts the seconds before a group switch down once a second and closes
// itself at 0; OK closes it earlier.
class CSwitchDelayDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000;
    explicit CSwitchDelayDialog(int seconds, QWidget* parent = nullptr);
    int remaining() const { return remaining_; }
    // One second passed (the dialog's own timer calls it).
    void tick();

private:
    int remaining_;
    QLabel* count_;
    QTimer timer_;
};

class MachineControl : public QObject, public OperationsHost {
    Q_OBJECT
public:
    MachineControl(MachineSession& session, CardLink& link, OperatorInteraction& operatorUi, CardEventRouter& events,
                   PulseTable& pulseTable, QWidget* window);
    ~MachineControl() override;

    MachiningOperations& operations() { return operations_; }
    CardWorker& worker() { return worker_; }
    AlarmSound& sound() { return *sound_; }
    void setSound(std::unique_ptr<AlarmSound> sound) { sound_ = std::move(sound); }

    // What the window around provides; unset ones do nothing.
    std::function<void(const QString&)> showText;      // message pane
    std::function<void(const char* textId)> showTextId;  // message pane and mini status window
    std::function<bool()> isWorkStarted;
    std::function<void(bool)> markWorkStarted;
    std::function<void()> stopHeartbeat;
    std::function<void()> quit;                        // ends the program after a lost link
    std::function<void()> changed;                     // labels and enables follow
    std::function<void(int seconds)> showUsedTime;     // the "Used Time" pane
    std::function<void(const char* textId)> sendNotice;  // the mobile notice of a card event
    std::function<void(int kind)> runFinishAction;        // 1 after a pause, 2 after a finished cut
    // Polled positions and the status blocks of stops, for the graph view and status panel.
    std::function<void(const PositionBlock&)> positionShown;
    std::function<void(const StatusBlock&)> statusShown;
    std::function<void(const WorkParams&, int32_t speed)> showWork;  // a poll's position and speed
    std::function<void(int32_t level)> showLevel;      // the HF level meter

    // CMD_SET_FEED on the card worker, behind whatever it has queued.
    void sendFeed(const FeedBytes& entry, int feedValue);

    // Presses the operation's button with the range dialog, should this start ask it, answered
    // with `range` (none: the dialog's own whole-program choice) as if the operator had typed it
    // and pressed OK. A range the program cannot hold gets its box and leaves the dialog to the
    // operator. The answer ends with this start.
    void pressAnswering(Operation op, std::optional<std::pair<int, int>> range);

    // Seconds of the running or last work, for the Statistics dialog.
    int usedSeconds() const { return usedSeconds_; }

    // The lost link: runs once, ends every timer and the worker, closes the link, logs and shows
    // 61507, then quits.
    void onLinkLost(int failedCommand);
    bool linkLost() const { return linkLost_; }

    // ---- OperationsHost ----
    void runOnUi(std::function<void()> call) override;
    std::optional<std::pair<int32_t, int32_t>> chooseRange(int32_t segmentCount, bool reverse) override;
    bool ask(const char* textId, Icon icon, bool okCancel) override;
    std::optional<int32_t> chooseReturnSegment(int32_t segmentCount) override;
    void message(const char* textId, Icon icon) override;
    void statusText(const char* textId) override;
    bool workStarted() const override;
    void setWorkStarted(bool started) override;
    PulseGroupImage pulseGroup(int index) const override;
    int defaultGroup() const override;
    void alarm(const char* textId, Icon icon, int soundKind) override;
    void alarmSound(int kind, bool on) override;
    void sms(const char* textId) override;
    void finishAction(int kind) override;
    void switchDelay(int seconds) override;
    EventSettings eventSettings() const override;
    void stateChanged() override;
    void usedTime(int seconds) override;
    void showPosition(const PositionBlock& position) override;
    void showStatus(const StatusBlock& status) override;
    void showHfLevel(int32_t level) override;

    // The alarm message: the title line, 21 blanks, an empty line, the text.
    QString alarmText(const QString& text) const;

signals:
    // A segment to show in the code list (a click into a range field).
    void segmentFocused(int segment);
    // The link is lost: the worker has ended, nothing more reaches the card (open dialogs that
    // wait for it give up).
    void linkWentDown();
    // The link was lost and is about to be closed: a motion that must not run on unwatched (a
    // jog) gets its stop command tried here, on this thread, before nothing more can be sent.
    void linkLosing();

private:
    void showAlarm(const QString& text, Icon icon, int soundKind);

    MachineSession& session_;
    CardLink& link_;
    OperatorInteraction& operatorUi_;
    CardEventRouter& events_;
    PulseTable& pulseTable_;
    QPointer<QWidget> window_;
    LinkMachiningCard card_;
    SteadyWorkerClock clock_;
    CardWorker worker_;
    MachiningOperations operations_;
    std::unique_ptr<AlarmSound> sound_;
    struct RangeAnswer {
        Operation op;
        std::optional<std::pair<int, int>> range;
    };
    std::optional<RangeAnswer> rangeAnswer_;
    bool workStarted_ = false;
    bool linkLost_ = false;
    int usedSeconds_ = 0;
};

}  // namespace korvex
