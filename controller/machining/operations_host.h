// What the machining operations need from the program around them: the user-interface thread,
// the operator, the panels and the work-started flag. The operations themselves have no widget;
// the controller's window implements this with the operator-interaction interface, a test with
// a script.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "controller/link/records.h"

namespace korvex {

using RollInfoBytes = std::array<uint8_t, kRollInfoBytes>;

// The settings the event handling reads at each event (Others/NoStopAll, Multiple/SwitchType,
// Multiple/SwitchTime).
struct EventSettings {
    bool noStopAll = false;
    int switchType = 0;
    int switchTimeSeconds = 0;
};

class OperationsHost {
public:
    enum class Icon { Information, Exclamation, Stop, Question };
    virtual ~OperationsHost() = default;

    // Hands a call to the user-interface thread; callable from any thread, never blocks.
    virtual void runOnUi(std::function<void()> call) = 0;

    // The segment-range dialog: (start, end) in the operator's order, nothing on Cancel.
    virtual std::optional<std::pair<int32_t, int32_t>> chooseRange(int32_t segmentCount, bool reverse) = 0;
    // A question: Yes/No (okCancel false) or OK/Cancel; true for Yes or OK.
    virtual bool ask(const char* textId, Icon icon, bool okCancel) = 0;
    // The "User Input" dialog for the segment a return goes back to: 0..segmentCount-1,
    // default 0; nothing on Cancel.
    virtual std::optional<int32_t> chooseReturnSegment(int32_t segmentCount) = 0;
    // A message box with a text of the string table; returns when the operator closed it.
    virtual void message(const char* textId, Icon icon) = 0;
    // The message pane of the status bar and the mini status window.
    virtual void statusText(const char* textId) = 0;

    virtual bool workStarted() const = 0;
    virtual void setWorkStarted(bool started) = 0;

    // The pulse parameter group of that index (0..7) as the card takes it, and the default group.
    virtual PulseGroupImage pulseGroup(int index) const = 0;
    virtual int defaultGroup() const = 0;

    // An alarm message: the alarm sound of that kind (1 alarm, 2 notice) while the box is open.
    virtual void alarm(const char* textId, Icon icon, int soundKind) {
        static_cast<void>(soundKind);
        message(textId, icon);
    }
    // The alarm sound alone (a short-circuit back sounds until cutting resumes).
    virtual void alarmSound(int kind, bool on) {
        static_cast<void>(kind);
        static_cast<void>(on);
    }
    // The SMS notice and the finish action (1 after a pause, 2 after a finished cut).
    virtual void sms(const char* textId) { (void)textId; }
    virtual void finishAction(int kind) { (void)kind; }
    // The "Notice Message" delay before a group switch; returns when it closed.
    virtual void switchDelay(int seconds) { (void)seconds; }
    virtual EventSettings eventSettings() const { return {}; }
    // Seconds of the running work ("Used Time").
    virtual void usedTime(int seconds) { (void)seconds; }

    // Results to show.
    virtual void showStatus(const StatusBlock& status) { (void)status; }
    virtual void showPosition(const PositionBlock& position) { (void)position; }
    virtual void showRollInfo(const RollInfoBytes& info) { (void)info; }
    virtual void showHfLevel(int32_t level) { (void)level; }
    // Labels, enables or flags changed: the panels and the action table follow.
    virtual void stateChanged() {}
};

}  // namespace korvex
