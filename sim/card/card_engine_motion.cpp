// The card engine's time: the motion of a work, its segment changes and events, the return,
// jog and adjust procedures, and the faults injected into them.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "sim/card/card_engine.h"

namespace korvex::sim {
namespace {

// Rounds a speed to something the motion engine can use.
int32_t atLeastOne(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, 1, INT32_MAX)); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Time and motion

bool CardEngine::busy() const {
    if (activity_ == Activity::None) return false;
    return !(activity_ == Activity::Work && waiting_);
}

void CardEngine::advance(int64_t micros) {
    if (micros <= 0) return;
    if (!busy()) {
        now_ += micros;
        return;
    }
    // Long steps (a large speed scale on a real clock) use longer ticks, so one call never
    // runs more than kMaxTicksPerAdvance of them; motion stays step-exact within a tick.
    const int64_t tickMicros = std::max(kTickMicros, micros / kMaxTicksPerAdvance);
    tickCarry_ += micros;
    while (tickCarry_ >= tickMicros) {
        tickCarry_ -= tickMicros;
        now_ += tickMicros;
        tick(tickMicros);
        if (!busy()) {
            now_ += tickCarry_;
            tickCarry_ = 0;
            break;
        }
    }
}

int CardEngine::stepBudget(int64_t micros, int32_t rate) {
    stepCarry_ += int64_t{rate} * micros;
    const int64_t steps = stepCarry_ / kMicrosPerSecond;
    stepCarry_ %= kMicrosPerSecond;
    return static_cast<int>(std::min<int64_t>(steps, kMaxStepsPerTick));
}

int32_t CardEngine::currentRate() const {
    const auto& sp = settings_.speeds;
    switch (activity_) {
        case Activity::Work:
            switch (mode_) {
                // Feed 1..200 scales the cut-limited speed linearly: 200 is the limit itself.
                case kRunCutting: return atLeastOne(int64_t{sp[kSpeedCutXY]} * feed_ / kMaxFeed);
                case kRunWalking: return atLeastOne(sp[kSpeedMaxXY]);
                case kRunSimulating: return atLeastOne(sp[kSpeedSimulate]);
                default: return atLeastOne(sp[kSpeedBack]);
            }
        case Activity::ShortBack:
        case Activity::Center:
        case Activity::Border:
            return atLeastOne(sp[kSpeedBack]);
        case Activity::Return:
        case Activity::Jog:
            return atLeastOne(sp[kSpeedMaxXY]);
        default:
            return 0;
    }
}

void CardEngine::moveMotors(const ContourPoint& from, const ContourPoint& to) {
    const int64_t moved[kAxisCount] = {to.lx - from.lx, to.ly - from.ly, to.ux - from.ux, to.uy - from.uy};
    for (std::size_t i = 0; i < kAxisCount; ++i)
        motorSteps_[i] += settings_.axisInvert[i] != 0 ? -moved[i] : moved[i];
}

void CardEngine::tick(int64_t micros) {
    // Every step of this tick's motion leaves through the motors.
    const ContourPoint from = point_;
    tickMotion(micros);
    moveMotors(from, point_);
}

void CardEngine::tickMotion(int64_t micros) {
    switch (activity_) {
        case Activity::Work:
            if (clearanceLeft_ > 0) {
                // Standing at a corner for the clearance wait: no step is made meanwhile.
                figures_.clearanceMicros += std::min(micros, clearanceLeft_);
                clearanceLeft_ -= micros;
                break;
            }
            runWork(stepBudget(micros, currentRate()));
            break;
        case Activity::ShortSensed:
            shortSenseLeft_ -= micros;
            if (shortOver(micros)) {
                shortCleared();  // gone before the back delay passed: cutting goes on, no back
                break;
            }
            if (shortSenseLeft_ <= 0) startShortBack();
            break;
        case Activity::ShortBack:
            shortBackMicros_ += micros;
            if (shortBackMicros_ > int64_t{settings_.backStopSeconds} * kMicrosPerSecond) {
                // Backed off for longer than the back stop time: the short will not clear by
                // itself, the machine stops and waits for the operator.
                ++figures_.backStops;
                shortLeft_ = -1;
                haltWork(kRunPaused, kRunShortBack);
                runEvent(kRunShortBack, kEventPause);
                note("back stop after " + std::to_string(shortBackMicros_ / 1000) + " ms of backing");
                break;
            }
            if (shortOver(micros)) {
                activity_ = Activity::ShortDwell;
                shortDwellLeft_ = kShortDwellMicros;
                break;
            }
            runShortBack(stepBudget(micros, currentRate()));
            break;
        case Activity::ShortDwell:
            shortDwellLeft_ -= micros;
            if (shortDwellLeft_ <= 0) {
                shortLeft_ = -1;
                activity_ = Activity::Work;
                state_ = kRunCutting;
                runEvent(kRunShortBack, kEventCutResumed);
            }
            break;
        case Activity::Return:
        case Activity::Jog:
            runReturnOrJog(stepBudget(micros, currentRate()));
            break;
        case Activity::Center:
        case Activity::Border:
            runAdjust(stepBudget(micros, currentRate()));
            break;
        case Activity::None:
            break;
    }
}

void CardEngine::runWork(int budget) {
    // Motionless segments (pauses, switches, the G92 line) are passed without using a step.
    // The loop ends when the budget is spent, the window runs dry, or the work stops; loops
    // over a one-segment range are bounded by the loop count.
    while (activity_ == Activity::Work && !waiting_) {
        const bool back = stepsBackward();
        if (motion_.finished(back)) {
            segmentDone();
            continue;
        }
        if (budget <= 0) return;
        // Near a plan-pause point the motion goes step by step so the pause lands exactly.
        const bool planHere = planPause_ && planPause_->first == segmentIndex_ && mode_ != kRunManualBack;
        const int n = motion_.step(planHere ? 1 : budget, back, point_);
        budget -= n;
        figures_.stepsRun += static_cast<uint64_t>(n);
        if (planHere) checkPlanPause();
        if (n == 0) return;
    }
}

void CardEngine::checkPlanPause() {
    if (!planPause_ || planPause_->first != segmentIndex_ || activity_ != Activity::Work) return;
    const int64_t total = motion_.stepsTotal();
    const int64_t done = stepsBackward() ? total - motion_.stepsDone() : motion_.stepsDone();
    if (done * 100 < int64_t{planPause_->second} * total) return;
    planPause_.reset();
    const uint8_t mode = mode_;
    haltWork(kRunPaused, mode);
    runEvent(mode, kEventPause);
}

void CardEngine::segmentDone() {
    int32_t next = 0;
    if (mode_ != kRunManualBack) {
        if (segmentIndex_ == rangeEnd()) {
            if (loopIndex_ + 1 >= loopTotal_) {
                const uint8_t mode = mode_;
                haltWork(kRunFinished, mode);
                runEvent(mode, kEventFinished);
                return;
            }
            loopStepPending_ = 1;
            next = rangeStart();
        } else {
            next = segmentIndex_ + travelStep();
        }
    } else {
        if (segmentIndex_ == rangeStart()) {
            if (loopIndex_ == 0) {
                haltWork(kRunBackFinished, kRunManualBack);
                runEvent(kRunManualBack, kEventBackFinished);
                return;
            }
            loopStepPending_ = -1;
            next = rangeEnd();
        } else {
            next = segmentIndex_ - travelStep();
        }
    }
    enterSegment(next);
}

const CardEngine::WindowEntry* CardEngine::findInWindow(int32_t index) const {
    for (const WindowEntry& e : window_)
        if (e.valid && e.index == index) return &e;
    return nullptr;
}

void CardEngine::enterSegment(int32_t index) {
    const WindowEntry* entry = findInWindow(index);
    if (entry == nullptr) {
        if (!waiting_) {
            waiting_ = true;
            waitStart_ = now_;
            ++figures_.starvations;
        }
        wantedSegment_ = index;
        return;
    }
    if (waiting_) {
        figures_.starvedMicros += now_ - waitStart_;
        waiting_ = false;
    }
    loopIndex_ += loopStepPending_;
    loopStepPending_ = 0;
    segmentIndex_ = index;
    motion_.loadAtEnd(entry->segment, stepsBackward());
    std::array<uint8_t, kReportDataBytes> data{};
    PutLe32(data.data() + 4, index);
    report(reportcode::kSegmentReached, data);
    ++figures_.segmentsEntered;
    syncRecord();
    if (mode_ == kRunManualBack) return;

    const PathElement& lower = entry->segment.lower;
    const bool marked = index != 0 && std::find(stops_.begin(), stops_.end(), index) != stops_.end();
    const uint8_t mode = mode_;
    if ((lower.kind == kElementPause && !ignorePause_) || marked) {
        haltWork(kRunPaused, mode);
        runEvent(mode, kEventPause);
    } else if (mode == kRunCutting && isGroupSwitch(lower)) {
        haltWork(kRunPaused, mode);
        runEvent(mode, kEventGroupSwitch);
    } else {
        checkPlanPause();
    }
    // A corner of the cut: the wire stands the clearance wait before it cuts on, so the gap
    // can clear. Motionless records (G92, M02) are no corner.
    const bool cuts = lower.kind == kElementLine || lower.kind == kElementArcCw || lower.kind == kElementArcCcw;
    if (activity_ == Activity::Work && mode_ == kRunCutting && cuts && settings_.clearanceSeconds > 0) {
        clearanceLeft_ = int64_t{settings_.clearanceSeconds} * kMicrosPerSecond;
        ++figures_.clearanceWaits;
    }
}

void CardEngine::runShortBack(int budget) {
    if (budget <= 0) return;
    const bool back = !stepsBackward();  // against the cutting direction
    if (shortLeft_ >= 0) {
        // A lasting short: the card backs on along what it cut and, at the segment's start,
        // stands until the short clears or the back stop time is up.
        motion_.step(budget, back, point_);
        return;
    }
    const int n = motion_.step(std::min(budget, shortBackLeft_), back, point_);
    shortBackLeft_ -= n;
    if (shortBackLeft_ <= 0 || n == 0) {
        activity_ = Activity::ShortDwell;
        shortDwellLeft_ = kShortDwellMicros;
    }
}

bool CardEngine::shortOver(int64_t micros) {
    if (shortLeft_ < 0) return false;
    shortLeft_ = std::max<int64_t>(shortLeft_ - micros, 0);
    return shortLeft_ == 0;
}

void CardEngine::shortCleared() {
    shortLeft_ = -1;
    activity_ = Activity::Work;
}

void CardEngine::runReturnOrJog(int budget) {
    // The axes move together on a straight line: the longest distance leads and every other
    // axis keeps its share of the distance done, as a multi-axis Bresenham would.
    int64_t lead = 0;
    for (int32_t t : moveTotal_) lead = std::max<int64_t>(lead, t);
    int64_t* axes[kAxisCount] = {&point_.lx, &point_.ly, &point_.ux, &point_.uy};
    for (int s = 0; s < budget; ++s) {
        int64_t leadLeft = 0;
        for (int32_t r : remaining_) leadLeft = std::max<int64_t>(leadLeft, std::abs(r));
        if (leadLeft == 0) break;
        const int64_t done = lead - leadLeft + 1;
        for (std::size_t i = 0; i < kAxisCount; ++i) {
            const int64_t shouldLeft = moveTotal_[i] - done * moveTotal_[i] / lead;
            while (std::abs(remaining_[i]) > shouldLeft) {
                const int dir = remaining_[i] > 0 ? 1 : -1;
                *axes[i] += dir;
                remaining_[i] -= dir;
            }
        }
    }
    if (remaining_ != std::array<int32_t, kAxisCount>{}) {
        if (activity_ == Activity::Return) record_.returnDistances = remaining_;
        return;
    }
    if (activity_ == Activity::Return) {
        // Arrived at the start of the target segment; the run state stays 12 until the PC
        // stops the return or resets the run state.
        record_.returnDistances = remaining_;
        segmentIndex_ = returnSegment_;
        if (const WindowEntry* e = findInWindow(returnSegment_)) motion_.loadAtEnd(e->segment, false);
        else motion_.load(CodeSegment{}, {}, {});
        markMemoryChanged();
    }
    activity_ = Activity::None;
}

void CardEngine::runAdjust(int budget) {
    const bool ended = adjust_.step(budget, point_.lx, point_.ly);
    if (activity_ == Activity::Border) edgeSteps_ = adjust_.edgeSteps();
    if (!ended) return;
    adjustFinished_ = 1;
    note(activity_ == Activity::Center ? "adjust center finished"
                                        : "adjust border finished steps " + std::to_string(edgeSteps_));
    activity_ = Activity::None;
}

void CardEngine::haltWork(uint8_t state, uint8_t subState) {
    if (waiting_) {
        figures_.starvedMicros += now_ - waitStart_;
        waiting_ = false;
    }
    activity_ = Activity::None;
    state_ = state;
    subState_ = subState;
    clearanceLeft_ = 0;
    syncRecord();
}

void CardEngine::syncRecord() {
    if (workLive_ && record_.kind == kWorkRecordCut && mode_ != kRunSimulating && mode_ != kRunReturning)
        record_.work = position();
    markMemoryChanged();
}

void CardEngine::report(uint8_t code, const std::array<uint8_t, kReportDataBytes>& data) {
    outbox_.push_back(CardReport{code, data});
}

void CardEngine::runEvent(uint8_t mode, uint8_t event) {
    std::array<uint8_t, kReportDataBytes> data{};
    data[0] = mode;
    data[1] = event;
    report(reportcode::kRunEvent, data);
}

std::vector<std::string> CardEngine::takeNotes() {
    std::vector<std::string> out;
    out.swap(notes_);
    return out;
}

std::vector<CardReport> CardEngine::takeReports() {
    std::vector<CardReport> out;
    out.swap(outbox_);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Faults

int CardEngine::injectShortCircuit(int64_t durationMicros) {
    if (activity_ != Activity::Work || state_ != kRunCutting) return -1;
    shortLeft_ = durationMicros < 0 ? -1 : durationMicros;
    clearanceLeft_ = 0;
    if (waiting_) {
        figures_.starvedMicros += now_ - waitStart_;
        waiting_ = false;
    }
    ++figures_.shortCircuits;
    // The wire stands shorted for the back delay of the settings before the card backs off.
    shortSenseLeft_ = int64_t{settings_.backDelaySeconds} * kMicrosPerSecond;
    activity_ = Activity::ShortSensed;
    if (shortSenseLeft_ <= 0) startShortBack();
    return 0;
}

void CardEngine::startShortBack() {
    // Back along the path already cut in this segment, at most kShortBackSteps.
    const int32_t cut = stepsBackward() ? motion_.stepsTotal() - motion_.stepsDone() : motion_.stepsDone();
    shortBackLeft_ = std::min(kShortBackSteps, cut);
    shortBackMicros_ = 0;
    activity_ = Activity::ShortBack;
    state_ = kRunShortBack;
    stepCarry_ = 0;
    runEvent(kRunCutting, kEventShortBack);
}

int CardEngine::injectWireBreak() {
    const bool wired = state_ == kRunCutting || state_ == kRunWalking || state_ == kRunShortBack ||
                       state_ == kRunManualBack;
    if (!wired || activity_ == Activity::None) return -1;
    const uint8_t mode = state_;
    haltWork(kRunStoppedByCard, mode);
    hfOn_ = false;
    runEvent(mode, kEventBreak);
    return 0;
}

void CardEngine::stopForLostPc() {
    rolling_ = false;
    hfOn_ = false;
    switch (activity_) {
        case Activity::Work:
        case Activity::ShortSensed:
        case Activity::ShortBack:
        case Activity::ShortDwell:
        case Activity::Return:
            haltWork(kRunStoppedByCard, state_);
            break;
        case Activity::Jog:
            remaining_ = {};
            [[fallthrough]];
        default:
            activity_ = Activity::None;
            break;
    }
    markMemoryChanged();
}

}  // namespace korvex::sim
