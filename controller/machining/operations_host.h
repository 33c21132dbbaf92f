// What the machining operations need from the program around them: the user-interface thread,
// the operator, the panels and the work-started flag. The operations themselves have no widget;
// the controller's window implements this with the operator-interaction interface, a test with
// a script.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "controller/link/records.h"

namespace korvex {

class OperationsHost {
public:
    enum class Icon { Information, Exclamation, Stop, Question };
    virtual ~OperationsHost() = default;

    // Hands a call to the user-interface thread; callable from any thread, never blocks.
    virtual void runOnUi(std::function<void()> call) = 0;

    // The segment-range dialog: (start, end) in the operator's order, nothing on Cancel.
    virtual std::optional<std::pair<int32_t, int32_t>> chooseRange(int32_t segmentCount, bool reverse) = 0;
    // A message box with a text of the string table; returns when the operator closed it.
    virtual void message(const char* textId, Icon icon) = 0;
    // The message pane of the status bar and the mini status window.
    virtual void statusText(const char* textId) = 0;

    virtual bool workStarted() const = 0;
    virtual void setWorkStarted(bool started) = 0;

    // The pulse parameter group of that index (0..7) as the card takes it, and the default group.
    virtual PulseGroupImage pulseGroup(int index) const = 0;
    virtual int defaultGroup() const = 0;

    // Results to show.
    virtual void showStatus(const StatusBlock& status) { (void)status; }
    virtual void showPosition(const PositionBlock& position) { (void)position; }
    // Labels, enables or flags changed: the panels and the action table follow.
    virtual void stateChanged() {}
};

}  // namespace korvex
