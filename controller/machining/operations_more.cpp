// Return to origin, fast roll and the toggles of the Control menu (Reverse, Ignore D, Segment
// Stop). Like the starts and stops, each is one sequence on the card worker; the PC's flags
// change on the UI thread once the card took the command.
#include "controller/machining/operations.h"

#include <algorithm>

#include "controller/machining/start_payload.h"

namespace korvex {
namespace {

constexpr int kSoundNotice = 2;

bool allZero(const std::array<int32_t, kAxisCount>& v) {
    return std::all_of(v.begin(), v.end(), [](int32_t d) { return d == 0; });
}

}  // namespace

void MachiningOperations::setPendingReturn(int32_t segment, const std::array<int32_t, kAxisCount>& distances) {
    pendingReturn_ = std::pair{segment, distances};
    recovering_ = true;
}

void MachiningOperations::clearRecovery() {
    restored_.reset();
    pendingReturn_.reset();
    recovering_ = false;
}

void MachiningOperations::pressReturn() {
    if (busy_)
        return;
    if (returning_) {
        if (host_.ask("61526", OperationsHost::Icon::Exclamation, true))
            stopReturn(false);
        return;
    }
    if (!host_.ask("61527", OperationsHost::Icon::Question, false))
        return;
    if (!program_ || program_->segments.empty()) {
        host_.message("machining.no_program", OperationsHost::Icon::Exclamation);
        return;
    }
    const bool workStartedBefore = host_.workStarted();
    busy_ = true;
    idle_ = false;
    host_.setWorkStarted(true);
    auto status = std::make_shared<StatusBlock>();
    worker_.post(CardSequence("return status")
                     .then([status](MachiningCard& c) { return c.getStatus(*status) == 0; })
                     .finally([this, status, workStartedBefore](bool ok) {
                         host_.runOnUi([this, status, workStartedBefore, ok] {
                             if (ok)
                                 startReturn(*status, workStartedBefore);
                             else
                                 failStart(workStartedBefore);
                         });
                     }));
}

void MachiningOperations::startReturn(const StatusBlock& status, bool workStartedBefore) {
    ReturnTarget target;
    bool reset = false;
    bool usesPending = false;
    if (status.runState == 12) {
        target.segment = status.work.segment;
        target.distances = status.remainingSteps;
    } else if (pendingReturn_) {
        target.segment = pendingReturn_->first;
        target.distances = pendingReturn_->second;
        usesPending = true;
    } else {
        const int32_t count = static_cast<int32_t>(program_->segments.size());
        const auto segment = host_.chooseReturnSegment(count);
        if (!segment || *segment < 0 || *segment >= count) {
            failStart(workStartedBefore);
            return;
        }
        // A finished work is told first that the return follows it. Cancelling the dialog leaves
        // the card untouched.
        reset = status.runState == 11;
        WorkParams origin;
        if (!guidesForStart(*segment, false, origin, workStartedBefore))
            return;
        // A restored cut stands at its restored point, whatever the card shows before a start.
        const WorkParams& here = restored_ ? *restored_ : status.work;
        target.segment = *segment;
        if (!returnDistances(origin, here, target.distances)) {
            host_.message("tp-guides-range", OperationsHost::Icon::Exclamation);
            failStart(workStartedBefore);
            return;
        }
    }
    auto started = std::make_shared<bool>(false);
    CardSequence seq("return");
    if (reset)
        seq.then([](MachiningCard& c) { return c.resetRunState(1) == 0; });
    seq.then([this](MachiningCard& c) { return switchMotor(c, true); });
    seq.then([this](MachiningCard& c) { return switchHf(c, false); });
    seq.then([this, target, started, usesPending](MachiningCard& c) {
        if (c.startReturn(target) != 0)
            return false;
        *started = true;
        returnFinishing_ = false;
        worker_.startTimer(kTimerReturn, kReturnPollMs, [this](MachiningCard& card) { returnPoll(card); });
        startUsedTime();
        host_.runOnUi([this, usesPending, segment = target.segment] {
            busy_ = false;
            returning_ = true;
            returnSegment_ = segment;
            if (usesPending) {
                pendingReturn_.reset();
                recovering_ = false;
                if (recoveryUsed)
                    recoveryUsed();
            }
            host_.statusText("61576");
            host_.stateChanged();
            refresh();
        });
        return true;
    });
    seq.finally([this, started, workStartedBefore](bool) {
        if (!*started)
            host_.runOnUi([this, workStartedBefore] { failStart(workStartedBefore); });
    });
    worker_.post(std::move(seq));
}

void MachiningOperations::returnPoll(MachiningCard& card) {
    StatusBlock status;
    if (card.getStatus(status) != 0)
        return;
    host_.runOnUi([this, status] { host_.showStatus(status); });
    if (allZero(status.remainingSteps) && !returnFinishing_.exchange(true)) {
        worker_.stopTimer(kTimerReturn);
        host_.runOnUi([this] { stopReturn(true); });
    }
}

void MachiningOperations::stopReturn(bool finished) {
    busy_ = true;
    auto status = std::make_shared<StatusBlock>();
    auto stopped = std::make_shared<bool>(false);
    CardSequence seq("stop return");
    seq.then([status, stopped](MachiningCard& c) { return *stopped = c.stop(*status) == 0; });
    seq.then([this](MachiningCard& c) {
        stopTimers({kTimerReturn, kTimerUsedTime});
        switchHf(c, false);
        return true;
    });
    if (finished)
        seq.then([](MachiningCard& c) {
            c.resetRunState(0);
            return true;
        });
    seq.finally([this, status, stopped, finished](bool) {
        host_.runOnUi([this, status, stopped, finished] {
            busy_ = false;
            refresh();
            if (!*stopped) {
                returnFinishing_ = false;
                if (finished)  // keep watching: the card has not confirmed the end
                    worker_.startTimer(kTimerReturn, kReturnPollMs, [this](MachiningCard& card) { returnPoll(card); });
                host_.message("machining.stop_refused", OperationsHost::Icon::Stop);
                return;
            }
            returning_ = false;
            idle_ = true;
            host_.showStatus(*status);
            host_.statusText("61577");
            host_.stateChanged();
            if (finished)
                host_.alarm("61514", OperationsHost::Icon::Exclamation, kSoundNotice);
        });
    });
    worker_.post(std::move(seq));
}

void MachiningOperations::pressFastRoll() {
    if (busy_)
        return;
    if (!rolling_) {
        if (!host_.ask("61723", OperationsHost::Icon::Question, false))
            return;
        busy_ = true;
        idle_ = false;
        auto started = std::make_shared<bool>(false);
        CardSequence seq("fast roll");
        seq.then([this](MachiningCard& c) { return switchMotor(c, false); });
        seq.then([this](MachiningCard& c) { return switchHf(c, false); });
        seq.then([this, started](MachiningCard& c) {
            if (c.startFastRoll() != 0)
                return false;
            *started = true;
            worker_.startTimer(kTimerRoll, kRollPollMs, [this](MachiningCard& card) {
                PositionBlock position;
                RollBlock roll;
                if (card.getPosition(position) == 0 && card.getRollInfo(roll) == 0)
                    host_.runOnUi([this, position, roll] {
                        host_.showPosition(position);
                        host_.showRollInfo(roll);
                    });
            });
            return true;
        });
        seq.finally([this, started](bool) {
            host_.runOnUi([this, started] {
                busy_ = false;
                if (*started) {
                    rolling_ = true;
                    host_.statusText("61721");
                } else {
                    idle_ = true;
                }
                refresh();
            });
        });
        worker_.post(std::move(seq));
        return;
    }
    busy_ = true;
    auto roll = std::make_shared<RollBlock>();
    auto position = std::make_shared<PositionBlock>();
    auto stopped = std::make_shared<bool>(false);
    CardSequence seq("stop fast roll");
    seq.then([roll, stopped](MachiningCard& c) { return *stopped = c.stopFastRoll(*roll) == 0; });
    seq.then([this](MachiningCard&) {
        worker_.stopTimer(kTimerRoll);
        return true;
    });
    seq.then([position](MachiningCard& c) { return c.getPosition(*position) == 0; });
    seq.then([this](MachiningCard& c) { return switchMotor(c, true); });
    seq.finally([this, roll, position, stopped](bool completed) {
        host_.runOnUi([this, roll, position, stopped, completed] {
            busy_ = false;
            if (!*stopped) {
                host_.message("machining.stop_refused", OperationsHost::Icon::Stop);
                return;
            }
            rolling_ = false;
            idle_ = true;
            if (completed) {
                host_.statusText("61722");
                host_.showRollInfo(*roll);
                host_.showPosition(*position);
            }
            refresh();
        });
    });
    worker_.post(std::move(seq));
}

void MachiningOperations::toggleReverse() {
    const bool next = !reverseQueued_;
    reverseQueued_ = next;
    auto ok = std::make_shared<bool>(false);
    worker_.post(CardSequence("reverse")
                     .then([next, ok](MachiningCard& c) { return *ok = c.setDirection(next ? 1 : 0) == 0; })
                     .finally([this, next, ok](bool) {
                         host_.runOnUi([this, next, ok] {
                             if (*ok)
                                 reverse_ = next;
                             else
                                 reverseQueued_ = reverse_;
                             host_.stateChanged();
                         });
                     }));
}

void MachiningOperations::toggleIgnorePause() {
    const bool next = !ignoreQueued_;
    ignoreQueued_ = next;
    auto ok = std::make_shared<bool>(false);
    worker_.post(CardSequence("ignore pause")
                     .then([next, ok](MachiningCard& c) { return *ok = c.setIgnorePause(next) == 0; })
                     .finally([this, next, ok](bool) {
                         host_.runOnUi([this, next, ok] {
                             if (*ok)
                                 ignorePause_ = next;
                             else
                                 ignoreQueued_ = ignorePause_;
                             host_.stateChanged();
                         });
                     }));
}

void MachiningOperations::toggleSegmentStop(int32_t segment) {
    if (segment == 0)
        return;
    std::vector<int32_t> next = stopsQueued_;
    if (const auto it = std::find(next.begin(), next.end(), segment); it != next.end()) {
        next.erase(it);
    } else if (next.size() >= MAX_SEG_STOP_COUNT) {
        host_.message("61648", OperationsHost::Icon::Exclamation);
    } else {
        next.push_back(segment);
    }
    std::sort(next.begin(), next.end());
    stopsQueued_ = next;
    auto ok = std::make_shared<bool>(false);
    worker_.post(CardSequence("segment stops")
                     .then([next, ok](MachiningCard& c) { return *ok = c.setSegmentStops(next) == 0; })
                     .finally([this, next, ok](bool) {
                         host_.runOnUi([this, next, ok] {
                             if (*ok)
                                 stops_ = next;
                             else
                                 stopsQueued_ = stops_;
                             host_.stateChanged();
                         });
                     }));
}

}  // namespace korvex
