#include "controller/machining/operations.h"

#include "controller/machining/start_payload.h"

namespace korvex {
namespace {

struct OperationTraits {
    StartKind kind;
    int timer;
    bool setsWorkStarted;
    bool motorOn;        // before the start
    bool hfOffBefore;    // HF off before the start
    bool hfOnAfter;      // HF on kHfOnDelayMs after the start
    const char* runningText;
    const char* stoppedText;
};

const OperationTraits& traits(Operation op) {
    static const OperationTraits table[] = {
        {StartKind::Simulate, kTimerSimulate, false, false, true, false, "61573", "61574"},
        {StartKind::Walk, kTimerWalk, true, true, true, false, "61575", "61614"},
        {StartKind::Cut, kTimerCut, true, true, false, true, "61494", "61495"},
        {StartKind::Back, kTimerBack, true, true, false, true, "61578", "61497"},
    };
    return table[static_cast<std::size_t>(op)];
}

// Which run states start a new work over the range the card holds.
bool restartsCardRange(Operation op, const StatusBlock& s) {
    if (op == Operation::Simulate)
        return s.runState == 11 && s.subState == 5;
    if (op == Operation::Back)
        return false;
    return s.runState == 10 || s.runState == 11;
}

}  // namespace

MachiningOperations::MachiningOperations(CardWorker& worker, OperationsHost& host) : worker_(worker), host_(host) {
    labels_.fill(ButtonLabel::Start);
}

void MachiningOperations::setProgram(std::shared_ptr<const LoadedProgram> program) {
    program_ = std::move(program);
    worker_.setProgram(program_);
}

void MachiningOperations::resetWork() {
    chosenRange_.reset();
    reverse_ = false;
    ignorePause_ = false;
    restored_.reset();
    stops_.clear();
    stopsQueued_.clear();
    reverseQueued_ = ignoreQueued_ = false;
}

WorkFlags MachiningOperations::flags() const {
    WorkFlags f;
    f.recovering = recovering_;
    f.rolling = rolling_;
    f.reverse = reverse_;
    f.ignorePause = ignorePause_;
    f.cardType = cardType_;
    return f;
}

void MachiningOperations::press(Operation op) {
    if (busy_)
        return;
    if (label(op) == ButtonLabel::Start)
        start(op);
    else
        stop(op);
}

bool MachiningOperations::switchHf(MachiningCard& card, bool on) {
    if (card.setHf(on) != 0)
        return false;
    hf_ = on;
    if (on)
        worker_.startTimer(kTimerHfLevel, kPositionPollMs, [this](MachiningCard& c) {
            int32_t level = 0;
            if (c.getHfLevel(level) == 0)
                host_.runOnUi([this, level] { host_.showHfLevel(level); });
        });
    else
        worker_.stopTimer(kTimerHfLevel);
    return true;
}

bool MachiningOperations::switchMotor(MachiningCard& card, bool on) {
    if (card.setMotor(on) != 0)
        return false;
    motor_ = on;
    return true;
}

void MachiningOperations::toggleMotor() {
    worker_.post(CardSequence("motor")
                     .then([this, on = !motor_](MachiningCard& c) { return switchMotor(c, on); })
                     .finally([this](bool) { host_.runOnUi([this] { host_.stateChanged(); }); }));
}

void MachiningOperations::motorOff(std::function<void()> done) {
    worker_.post(CardSequence("motor off")
                     .then([this](MachiningCard& c) { return switchMotor(c, false); })
                     .finally([this, done = std::move(done)](bool) {
                         host_.runOnUi([this, done] {
                             host_.stateChanged();
                             if (done)
                                 done();
                         });
                     }));
}

void MachiningOperations::motorSwitched(bool on) {
    motor_ = on;
    host_.runOnUi([this] { host_.stateChanged(); });
}

void MachiningOperations::toggleHf() {
    worker_.post(CardSequence("hf")
                     .then([this, on = !hf_](MachiningCard& c) { return switchHf(c, on); })
                     .finally([this](bool) { host_.runOnUi([this] { host_.stateChanged(); }); }));
}

void MachiningOperations::start(Operation op) {
    const bool workStartedBefore = host_.workStarted();
    if (!program_ || program_->segments.empty()) {
        host_.message("machining.no_program", OperationsHost::Icon::Exclamation);
        return;
    }
    busy_ = true;
    idle_ = false;
    host_.setWorkStarted(traits(op).setsWorkStarted);
    auto state = std::make_shared<StateBlock>();
    worker_.post(CardSequence("read state")
                     .then([state](MachiningCard& c) { return c.getState(*state) == 0; })
                     .finally([this, op, state, workStartedBefore](bool ok) {
                         host_.runOnUi([this, op, state, workStartedBefore, ok] {
                             if (ok)
                                 continueStart(op, *state, workStartedBefore);
                             else
                                 failStart(workStartedBefore);
                         });
                     }));
}

bool MachiningOperations::guidesForStart(int32_t segment, bool reverse, WorkParams& work, bool workStartedBefore) {
    if (freshWorkParams(*program_, segment, reverse, work) == kGuidesOk)
        return true;
    // A guide position outside 32 bits would put the upper guide anywhere: nothing is sent.
    host_.message("tp-guides-range", OperationsHost::Icon::Exclamation);
    failStart(workStartedBefore);
    return false;
}

void MachiningOperations::failStart(bool workStartedBefore) {
    busy_ = false;
    idle_ = true;
    host_.setWorkStarted(workStartedBefore);
    host_.stateChanged();
    refresh();  // whatever the card got as far as, the controls follow its run state
}

void MachiningOperations::continueStart(Operation op, const StateBlock& state, bool workStartedBefore) {
    const OperationTraits& t = traits(op);
    const int32_t count = static_cast<int32_t>(program_->segments.size());
    const bool cardReverse = state.reverse == 1;
    std::optional<std::pair<int32_t, int32_t>> rangeToSend;
    bool reset = false;
    bool usesRestored = false;  // the restored position is used up only by a start the card took
    WorkParams work;
    std::pair<int32_t, int32_t> range{state.rangeFirst, state.rangeLast};
    if (state.status.runState == 1 && op != Operation::Back) {
        const auto chosen = host_.chooseRange(count, reverse_);
        if (!chosen) {
            failStart(workStartedBefore);
            return;
        }
        chosenRange_ = chosen;
        rangeToSend = chosen;
        range = *chosen;
        // The chosen start is where the work begins, in whichever direction it runs.
        if (!guidesForStart(chosen->first, reverse_, work, workStartedBefore))
            return;
    } else if (restartsCardRange(op, state.status)) {
        reset = true;
        if (chosenRange_)
            range = *chosenRange_;
        if (!guidesForStart(range.first, cardReverse, work, workStartedBefore))
            return;
    } else {
        if (chosenRange_)
            range = *chosenRange_;
        work = restored_ ? *restored_ : state.status.work;
        usesRestored = restored_.has_value();
    }
    const WorkRange workRange = WorkRange::between(range.first, range.second);
    if (workRange.lo < 0 || workRange.hi >= count || !workRange.contains(work.segment)) {
        host_.message("machining.range_outside_program", OperationsHost::Icon::Exclamation);
        failStart(workStartedBefore);
        return;
    }
    worker_.setRange(workRange);
    const int32_t current = work.segment;
    const GroupChoice groups = lookupGroups(program_->switches, current, host_.defaultGroup());
    StartPayload payload;
    payload.work = work;
    payload.groupHere = host_.pulseGroup(groups.current);
    payload.groupNext = host_.pulseGroup(groups.next);
    SegmentWindow window;
    buildWindow(program_->segments.data(), count, workRange, current, window);

    auto started = std::make_shared<bool>(false);
    CardSequence seq(std::string("start ") + std::to_string(static_cast<int>(op)));
    if (rangeToSend)
        seq.then([r = *rangeToSend](MachiningCard& c) { return c.setRange(r.first, r.second) == 0; });
    if (reset)
        seq.then([](MachiningCard& c) { return c.resetRunState(0) == 0; });
    seq.then([this, on = t.motorOn](MachiningCard& c) { return switchMotor(c, on); });
    if (t.hfOffBefore)
        seq.then([this](MachiningCard& c) { return switchHf(c, false); });
    seq.then([this, op, kind = t.kind, window, payload, started, usesRestored](MachiningCard& c) {
        if (c.start(kind, window, payload) != 0)
            return false;
        *started = true;
        startTimers(op);
        host_.runOnUi([this, op, usesRestored] {
            busy_ = false;
            if (usesRestored) {
                restored_.reset();
                if (recoveryUsed)
                    recoveryUsed();
            }
            setLabel(op, ButtonLabel::Pause);
            host_.statusText(traits(op).runningText);
            host_.stateChanged();
            refresh();
        });
        return true;
    });
    if (t.hfOnAfter)
        seq.after(kHfOnDelayMs, [this](MachiningCard& c) { return switchHf(c, true); });
    seq.finally([this, started, workStartedBefore](bool) {
        if (!*started)
            host_.runOnUi([this, workStartedBefore] { failStart(workStartedBefore); });
    });
    worker_.post(std::move(seq));
}

void MachiningOperations::startTimers(Operation op) {
    startPoll(traits(op).timer);
    startUsedTime();
}

void MachiningOperations::startPoll(int timer) {
    worker_.startTimer(timer, kPositionPollMs, [this](MachiningCard& c) {
        PositionBlock p;
        if (c.getPosition(p) == 0)
            host_.runOnUi([this, p] { host_.showPosition(p); });
    });
}

void MachiningOperations::startUsedTime() {
    usedSeconds_ = 0;
    worker_.startTimer(kTimerUsedTime, kUsedTimeTickMs, [this](MachiningCard&) {
        const int seconds = ++usedSeconds_;
        host_.runOnUi([this, seconds] { host_.usedTime(seconds); });
    });
}

void MachiningOperations::stopTimers(std::initializer_list<int> ids) {
    for (int id : ids)
        worker_.stopTimer(id);
}

void MachiningOperations::stop(Operation op) {
    busy_ = true;
    auto status = std::make_shared<StatusBlock>();
    auto stopped = std::make_shared<bool>(false);
    CardSequence seq("stop");
    seq.then([status, stopped](MachiningCard& c) { return *stopped = c.stop(*status) == 0; });
    seq.then([this, op](MachiningCard&) {
        // Stopped: no more polls of this operation. A cut may stand in a short-circuit back, whose
        // timer is the back's.
        if (op == Operation::Cut)
            stopTimers({kTimerCut, kTimerBack, kTimerUsedTime});
        else
            stopTimers({traits(op).timer, kTimerUsedTime});
        return true;
    });
    if (op == Operation::Cut || op == Operation::Back)
        seq.then([this](MachiningCard& c) { return switchHf(c, false); });
    seq.finally([this, op, status, stopped](bool) {
        host_.runOnUi([this, op, status, stopped] {
            busy_ = false;
            refresh();  // queued behind this handling: the run state read after the stop
            if (!*stopped) {
                host_.message("machining.stop_refused", OperationsHost::Icon::Stop);
                return;
            }
            idle_ = true;
            setLabel(op, ButtonLabel::Start);
            host_.showStatus(*status);
            const char* text = traits(op).stoppedText;
            if (op == Operation::Cut && status->subState == 6)
                text = "61496";
            host_.statusText(text);
            host_.stateChanged();
        });
    });
    worker_.post(std::move(seq));
}

void MachiningOperations::refresh() {
    auto run = std::make_shared<RunState>();
    worker_.post(CardSequence("run state")
                     .then([run](MachiningCard& c) { return c.getRunState(*run) == 0; })
                     .finally([this, run](bool ok) {
                         if (ok)
                             host_.runOnUi([this, run] { applyRunState(*run); });
                     }));
}

void MachiningOperations::applyRunState(const RunState& run) {
    runState_ = run;
    if (run.state == 0)
        ignorePause_ = ignoreQueued_ = false;
    const PanelState panel = panelState(run, flags());
    for (std::size_t i = 0; i < labels_.size(); ++i)
        if (panel.labels[i])
            labels_[i] = *panel.labels[i];
    host_.stateChanged();
}

}  // namespace korvex
