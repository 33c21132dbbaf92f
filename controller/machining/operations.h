// The machining operations: Simulate, Walk, Cut and Back, their start and stop routines, and the
// PC's work flags. Every card command goes to the card worker as one sequence in the routine's
// order; the routine's user-interface part (the range dialog, labels, texts) runs on the UI
// thread when the worker hands the results back. The UI thread never waits for the card.
//
// Start (Simulate, Walk, Cut): clear idle, set or clear work-started; read the state block; then
//   state 1            the range dialog; a fresh work block at the chosen start segment
//   10 or 11 (Simulate: 11 with sub-state 5)
//                      CMD_RESET_RUN_STATE 0, a fresh work block at the card's range start
//   otherwise          the card's own work block (or a restored one, used once)
// then motor and HF as the operation needs, the start window and the start command, and for a
// cut HF on 1000 ms later. Only a start the card accepted changes the label, the timers and the
// status text; a start that fails or is cancelled restores idle and work-started.
//
// Stop: CMD_STOP first. A card that refuses it has not stopped, so nothing changes on the PC
// (the operator is told and may press again); once it has stopped: idle, timers, HF off where
// the operation ran with HF, label and text.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "code/loader.h"
#include "controller/machining/card_worker.h"
#include "controller/machining/operations_host.h"
#include "controller/machining/work_state.h"

namespace korvex {

// Timers of the running machine (ids shared with the event handling).
inline constexpr int kTimerSimulate = 0;
inline constexpr int kTimerCut = 1;
inline constexpr int kTimerWalk = 2;
inline constexpr int kTimerBack = 3;
inline constexpr int kTimerReturn = 4;
inline constexpr int kTimerUsedTime = 5;
inline constexpr int kTimerHfLevel = 6;
inline constexpr int kTimerRoll = 7;
inline constexpr int64_t kPositionPollMs = 700;
inline constexpr int64_t kReturnPollMs = 100;
inline constexpr int64_t kRollPollMs = 500;
inline constexpr int64_t kHfOnDelayMs = 1000;  // a cut's HF goes on this long after its start
inline constexpr int64_t kUsedTimeTickMs = 1000;
// The total-stop pulse: HF off, then the stop-all output on this long after, off this long later.
inline constexpr int64_t kTotalStopOnDelayMs = 1000;
inline constexpr int64_t kTotalStopOffDelayMs = 2000;
// At a group switch HF goes back on this long after the adjusted start.
inline constexpr int64_t kSwitchHfDelayMs = 2000;

enum class Operation : uint8_t { Simulate, Walk, Cut, Back };

class MachiningOperations {
public:
    MachiningOperations(CardWorker& worker, OperationsHost& host);

    // The loaded program; nothing (or an empty program) refuses every start.
    void setProgram(std::shared_ptr<const LoadedProgram> program);
    const std::shared_ptr<const LoadedProgram>& program() const { return program_; }
    // Load, close and reset start the work afresh: range, reverse, Ignore D, restored position.
    void resetWork();

    // A panel button (and its key and menu entry): the start routine under the start label,
    // the stop routine under the pause label.
    void press(Operation op);
    ButtonLabel label(Operation op) const { return labels_[static_cast<std::size_t>(op)]; }

    // A card event of kind 1..8 (not 6: the lost link is the window's), on the UI thread. Kinds
    // 1, 2 and 8 act only while a work runs.
    void onCardEvent(int kind, int argument);
    // The parameter group switch, with or without the operator check.
    void groupSwitch(bool operatorCheck);
    // The link is lost: every timer and everything queued is dropped and the worker ends after
    // the transaction under way (close the link, then CardWorker::stop() to wait for it). True
    // the first time only.
    bool linkLost();

    // Motor F1 and Freq F2: send the opposite of what the card has; the flag changes only when
    // the card took it.
    void toggleMotor();
    void toggleHf();
    // The Motor button's off, whatever the flag says (before the PC powers off); `done` runs on
    // the UI thread once the card answered.
    void motorOff(std::function<void()> done);
    // The Motor and Freq switches as steps of another routine's sequence (the adjust
    // procedures): the flags the panel shows follow what the card took, as after a press.
    CardSequence::Step motorStep(bool on) {
        return [this, on](MachiningCard& c) { return switchMotor(c, on); };
    }
    CardSequence::Step hfStep(bool on) {
        return [this, on](MachiningCard& c) { return switchHf(c, on); };
    }
    // Another routine (a settings or test dialog) switched the motor and the card took it: the
    // flag and the panel follow. Any thread.
    void motorSwitched(bool on);

    // Return Origin (F12): the start under the return label, the stop while a return runs.
    void pressReturn();
    bool returning() const { return returning_; }
    // The segment the running return goes back to: the card reports only the distance left to
    // its start point.
    int32_t returnSegment() const { return returnSegment_; }
    // A return-to-origin recovery waits: its segment and distances replace the dialog once.
    void setPendingReturn(int32_t segment, const std::array<int32_t, kAxisCount>& distances);
    // Fast roll (F9): starts or stops it.
    void pressFastRoll();
    bool rolling() const { return rolling_; }
    // Reverse (F6) and Ignore D toggle their flag once the card took the new value.
    void toggleReverse();
    void toggleIgnorePause();
    bool reverse() const { return reverse_; }
    bool ignorePause() const { return ignorePause_; }
    // Segment Stop (F10): adds or removes the segment in the stop list (at most 10, never 0).
    void toggleSegmentStop(int32_t segment);
    const std::vector<int32_t>& segmentStops() const { return stops_; }

    // Reads the run state on the worker; the labels and enables follow on the UI thread.
    void refresh();
    const RunState& runState() const { return runState_; }
    WorkFlags flags() const;
    bool idle() const { return idle_; }
    bool hfOn() const { return hf_; }
    bool motorOn() const { return motor_; }
    // The range chosen in the dialog (operator's order), if any since the last reset.
    std::optional<std::pair<int32_t, int32_t>> chosenRange() const { return chosenRange_; }
    // A cut recovery's restored position, used once by the next start that continues.
    void setRestoredWork(const WorkParams& work) { restored_ = work; }
    // Drops the restored position and the pending return (their mark was cleared).
    void clearRecovery();
    // Called on the UI thread when a start the card took used the restored position or the
    // pending return.
    std::function<void()> recoveryUsed;
    void setReverse(bool reverse) { reverse_ = reverseQueued_ = reverse; }
    // Ignore D and the stop list a restored work holds on the card (nothing is sent).
    void setRestoredFlags(bool ignorePause, std::vector<int32_t> stops) {
        ignorePause_ = ignoreQueued_ = ignorePause;
        stopsQueued_ = stops;
        stops_ = std::move(stops);
    }
    void setCardType(int type) { cardType_ = type; }

private:
    struct StartPlan;
    void start(Operation op);
    void continueStart(Operation op, const StateBlock& state, bool workStartedBefore);
    void failStart(bool workStartedBefore);
    // The work block of a fresh start at `segment` with its guide positions; when they do not fit
    // the operator is told, the start is undone and false is returned.
    bool guidesForStart(int32_t segment, bool reverse, WorkParams& work, bool workStartedBefore);
    void stop(Operation op);
    void applyRunState(const RunState& run);
    void startTimers(Operation op);
    void startPoll(int timer);
    void startUsedTime();
    void pulseFirstHalf(CardSequence& seq, bool noStopAll);
    void pulseSecondHalf(CardSequence& seq, bool noStopAll);
    // Sends CMD_STOP into *status; the step never ends its sequence.
    static CardSequence::Step stopInto(std::shared_ptr<StatusBlock> status, std::shared_ptr<bool> ok);
    void pausedOrStopped(int kind, int activity);
    void startReturn(const StatusBlock& status, bool workStartedBefore);
    void stopReturn(bool finished);
    void returnPoll(MachiningCard& card);
    void stopTimers(std::initializer_list<int> ids);
    void setLabel(Operation op, ButtonLabel l) { labels_[static_cast<std::size_t>(op)] = l; }
    // Sends HF and keeps the flag when the card took it (worker thread).
    bool switchHf(MachiningCard& card, bool on);
    bool switchMotor(MachiningCard& card, bool on);

    CardWorker& worker_;
    OperationsHost& host_;
    std::shared_ptr<const LoadedProgram> program_;

    // UI-thread state.
    bool idle_ = true;
    std::array<ButtonLabel, 4> labels_{};
    RunState runState_;
    bool reverse_ = false;
    bool ignorePause_ = false;
    bool rolling_ = false;
    bool recovering_ = false;
    int cardType_ = 0;
    std::optional<std::pair<int32_t, int32_t>> chosenRange_;
    std::optional<WorkParams> restored_;
    bool busy_ = false;  // a start or stop waits for the card: further presses are ignored

    // Written by the worker when the card took the switch.
    std::atomic<bool> hf_{false};
    std::atomic<bool> motor_{false};
    std::atomic<int> usedSeconds_{0};
    bool linkLost_ = false;
    bool returning_ = false;
    int32_t returnSegment_ = 0;
    std::atomic<bool> returnFinishing_{false};
    std::optional<std::pair<int32_t, std::array<int32_t, kAxisCount>>> pendingReturn_;
    std::vector<int32_t> stops_;
    // What the commands already queued will have set, so quick presses toggle from there; back
    // to the confirmed value when the card refuses.
    std::vector<int32_t> stopsQueued_;
    bool reverseQueued_ = false;
    bool ignoreQueued_ = false;
};

}  // namespace korvex
