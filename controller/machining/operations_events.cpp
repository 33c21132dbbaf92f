// The card's run events (kinds 1..8) and the parameter group switch. Each handling is one
// sequence on the card worker in its fixed order; what it shows follows on the UI thread when the
// sequence is done. The waits of the total-stop pulse are due times: windows and polls go on
// while they pass.
#include "controller/machining/operations.h"

#include "controller/machining/start_payload.h"

namespace korvex {
namespace {

// The activity a pause or finish reports: 0 simulating, 1 walking, 2 cutting, 3 backing.
constexpr int kActivityCutting = 2;
constexpr int kFinishAfterPause = 1;
constexpr int kFinishAfterEnd = 2;
constexpr int kSoundAlarm = 1;
constexpr int kSoundNotice = 2;
constexpr int kGroupCount = 8;

}  // namespace

void MachiningOperations::pulseFirstHalf(CardSequence& seq, bool noStopAll) {
    // The pulse goes on whatever the card answers: the machine must be told to stop even when
    // one command of it is refused.
    seq.then([this](MachiningCard& c) {
        switchHf(c, false);
        return true;
    });
    seq.after(kTotalStopOnDelayMs, [noStopAll](MachiningCard& c) {
        if (!noStopAll)
            c.stopAll(true);
        return true;
    });
}

void MachiningOperations::pulseSecondHalf(CardSequence& seq, bool noStopAll) {
    seq.after(kTotalStopOffDelayMs, [noStopAll](MachiningCard& c) {
        if (!noStopAll)
            c.stopAll(false);
        return true;
    });
}

CardSequence::Step MachiningOperations::stopInto(std::shared_ptr<StatusBlock> status, std::shared_ptr<bool> ok) {
    return [status, ok](MachiningCard& c) {
        *ok = c.stop(*status) == 0;
        return true;
    };
}

bool MachiningOperations::linkLost() {
    if (linkLost_)
        return false;
    linkLost_ = true;
    // Not waited for here: a transaction under way ends when the link is closed.
    worker_.requestStop();
    idle_ = true;
    return true;
}

void MachiningOperations::onCardEvent(int kind, int argument) {
    if (linkLost_)
        return;
    const bool running = !idle_;
    switch (kind) {
    case 1:  // short-circuit back started
        if (!running)
            return;
        host_.alarmSound(kSoundAlarm, true);
        worker_.stopTimer(kTimerCut);
        startPoll(kTimerBack);
        host_.statusText("61493");
        return;
    case 2:  // cutting resumed
        if (!running)
            return;
        host_.alarmSound(kSoundAlarm, false);
        worker_.stopTimer(kTimerBack);
        startPoll(kTimerCut);
        host_.statusText("61494");
        return;
    case 3:  // paused
    case 4:  // finished
    case 5:  // back finished
    case 7:  // wire break or no HF
        pausedOrStopped(kind, argument);
        return;
    case 8: {  // group switch point
        if (!running)
            return;
        const EventSettings settings = host_.eventSettings();
        switch (settings.switchType) {
        case 0: groupSwitch(false); return;
        case 1:
            host_.switchDelay(settings.switchTimeSeconds);
            groupSwitch(false);
            return;
        case 2: pausedOrStopped(kind, argument); return;
        case 3: groupSwitch(true); return;
        default: return;
        }
    }
    default:
        return;
    }
}

void MachiningOperations::pausedOrStopped(int kind, int activity) {
    const bool noStopAll = host_.eventSettings().noStopAll;
    // Kinds 3 and 4 pulse the total-stop output only for a work with the wire running; the back
    // finished, a break and a pause for switching always do.
    const bool pulse = (kind == 3 || kind == 4) ? activity != 0 : true;
    idle_ = true;
    if (kind == 4)
        host_.setWorkStarted(true);
    else if (kind == 5)
        host_.setWorkStarted(false);
    auto status = std::make_shared<StatusBlock>();
    auto statusOk = std::make_shared<bool>(false);
    CardSequence seq("event " + std::to_string(kind));
    if (pulse)
        pulseFirstHalf(seq, noStopAll);
    seq.then([this](MachiningCard&) {
        stopTimers({kTimerSimulate, kTimerCut, kTimerWalk, kTimerBack, kTimerUsedTime});
        return true;
    });
    if (kind == 8) {  // pause for switching: the status is read between the halves
        seq.then(stopInto(status, statusOk));
        pulseSecondHalf(seq, noStopAll);
    } else {
        if (pulse)
            pulseSecondHalf(seq, noStopAll);
        if (kind == 5)
            seq.then([](MachiningCard& c) {
                c.resetRunState(0);
                return true;
            });
        if (kind == 4 || kind == 5)
            seq.then([status, statusOk](MachiningCard& c) {
                *statusOk = c.getStatus(*status) == 0;
                return true;
            });
        else
            seq.then(stopInto(status, statusOk));
    }
    seq.finally([this, kind, activity, status, statusOk](bool) {
        host_.runOnUi([this, kind, activity, status, statusOk] {
            if (*statusOk)
                host_.showStatus(*status);
            const bool cut = activity == kActivityCutting;
            switch (kind) {
            case 3:
                host_.statusText("61572");
                if (cut)
                    host_.finishAction(kFinishAfterPause);
                host_.alarm("61572", OperationsHost::Icon::Exclamation, kSoundNotice);
                break;
            case 4:
                if (cut)
                    host_.sms("61502");
                host_.statusText("61622");
                if (cut)
                    host_.finishAction(kFinishAfterEnd);
                host_.alarm("61622", OperationsHost::Icon::Exclamation, kSoundNotice);
                break;
            case 5:
                host_.statusText("61504");
                host_.alarm("61504", OperationsHost::Icon::Exclamation, kSoundNotice);
                break;
            case 7:
                host_.sms("61512");
                host_.statusText("61512");
                host_.alarm("61513", OperationsHost::Icon::Exclamation, kSoundAlarm);
                break;
            case 8:
                host_.statusText("61638");
                host_.alarm("61638", OperationsHost::Icon::Exclamation, kSoundNotice);
                break;
            default: break;
            }
            host_.stateChanged();
        });
    });
    worker_.post(std::move(seq));
}

void MachiningOperations::groupSwitch(bool operatorCheck) {
    if (!program_ || program_->segments.empty())
        return;
    const bool workStartedBefore = host_.workStarted();
    idle_ = false;
    host_.setWorkStarted(true);
    const bool hfWasOn = hf_;
    const bool noStopAll = host_.eventSettings().noStopAll;
    const int defaultGroup = host_.defaultGroup();
    // The groups are read here, on the UI thread that owns the table; the worker only picks.
    std::array<PulseGroupImage, kGroupCount> images{};
    for (int g = 0; g < kGroupCount; ++g)
        images[static_cast<std::size_t>(g)] = host_.pulseGroup(g);
    const std::shared_ptr<const LoadedProgram> program = program_;
    auto status = std::make_shared<StatusBlock>();
    auto statusOk = std::make_shared<bool>(false);
    auto intervened = std::make_shared<bool>(false);
    auto started = std::make_shared<bool>(false);
    CardSequence seq("group switch");
    seq.branch([=, this](MachiningCard& c) -> std::optional<CardSequence> {
        StateBlock state;
        if (c.getState(state) != 0)
            return std::nullopt;
        const int32_t segment = state.status.work.segment;
        const int32_t count = static_cast<int32_t>(program->segments.size());
        const WorkRange range = worker_.range();
        SegmentWindow window;
        if (!buildWindow(program->segments.data(), count, range, segment, window))
            return std::nullopt;
        CardSequence more;
        if (operatorCheck && operatorMustIntervene(program->switches, segment, state.reverse == 1)) {
            *intervened = true;
            more.then([this](MachiningCard&) {
                stopTimers({kTimerSimulate, kTimerWalk, kTimerCut, kTimerBack, kTimerUsedTime});
                return true;
            });
            more.then(stopInto(status, statusOk));
            pulseFirstHalf(more, noStopAll);
            pulseSecondHalf(more, noStopAll);
            return more;
        }
        const GroupChoice groups = lookupGroups(program->switches, segment, defaultGroup);
        StartPayload payload;
        payload.work = state.status.work;
        payload.groupHere = images[static_cast<std::size_t>(groups.current)];
        payload.groupNext = images[static_cast<std::size_t>(groups.next)];
        if (hfWasOn)
            more.then([this](MachiningCard& card) { return switchHf(card, false); });
        more.then([window, payload, started](MachiningCard& card) {
            return *started = card.start(StartKind::Adjusted, window, payload) == 0;
        });
        if (hfWasOn)
            more.after(kSwitchHfDelayMs, [this](MachiningCard& card) { return switchHf(card, true); });
        return more;
    });
    seq.finally([=, this](bool) {
        host_.runOnUi([=, this] {
            if (*intervened) {
                idle_ = true;
                if (*statusOk)
                    host_.showStatus(*status);
                host_.statusText("61719");
                host_.alarm("61719", OperationsHost::Icon::Exclamation, kSoundNotice);
            } else if (!*started) {
                idle_ = true;
                host_.setWorkStarted(workStartedBefore);
            }
            host_.stateChanged();
            refresh();
        });
    });
    worker_.post(std::move(seq));
}

}  // namespace korvex
