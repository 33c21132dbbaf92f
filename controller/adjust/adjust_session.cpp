#include "controller/adjust/adjust_session.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>
#include <optional>
#include <utility>

#include "controller/card_control.h"
#include "platform/operator_interaction.h"

namespace korvex {
namespace {

using Self = QPointer<AdjustSession>;

// Hands `call` to the UI thread; it runs only if the session still exists there.
template <class F>
void toUi(const Self& self, F call) {
    QMetaObject::invokeMethod(
        qApp,
        [self, call = std::move(call)] {
            if (self)
                call(*self);
        },
        Qt::QueuedConnection);
}

}  // namespace

uint8_t borderDirectionByte(int index) {
    static constexpr uint8_t kBytes[kAdjustDirections] = {1, 2, 4, 8};
    return index >= 0 && index < kAdjustDirections ? kBytes[index] : 0;
}

AdjustSession::AdjustSession(AdjustMachine machine, QObject* parent) : QObject(parent), machine_(std::move(machine)) {}

AdjustSession::~AdjustSession() {
    if (linkDown_ || machine_.worker == nullptr)
        return;
    machine_.worker->stopTimer(kTimerAdjustCenter);
    machine_.worker->stopTimer(kTimerAdjustBorder);
    // The dialog stops a procedure before it closes; should anything end it otherwise, the card
    // must not be left moving the wire with nobody watching.
    if (phase_ == AdjustPhase::Running || phase_ == AdjustPhase::Starting) {
        CardControl* card = machine_.card;
        machine_.worker->post(CardSequence("adjust stop").then([card](MachiningCard&) {
            card->stopWork();
            return true;
        }));
    }
}

void AdjustSession::setDirection(int index) {
    if (index >= 0 && index < kAdjustDirections)
        direction_ = index;
}

void AdjustSession::setSpeed(int index) {
    if (index >= 0 && index < kAdjustSpeeds)
        speed_ = index;
}

QString AdjustSession::centerText() const {
    return procedure_ == AdjustProcedure::Center ? qtTrId("adjust.cancel") : qtTrId("adjust.center");
}

QString AdjustSession::borderText() const {
    return procedure_ == AdjustProcedure::Border ? qtTrId("adjust.cancel") : qtTrId("adjust.border");
}

bool AdjustSession::centerEnabled() const {
    if (linkDown_)
        return false;
    if (phase_ == AdjustPhase::Idle)
        return true;
    return phase_ == AdjustPhase::Running && procedure_ == AdjustProcedure::Center;
}

bool AdjustSession::borderEnabled() const {
    if (linkDown_)
        return false;
    if (phase_ == AdjustPhase::Idle)
        return true;
    return phase_ == AdjustPhase::Running && procedure_ == AdjustProcedure::Border;
}

int AdjustSession::timerId() const {
    return procedure_ == AdjustProcedure::Border ? kTimerAdjustBorder : kTimerAdjustCenter;
}

void AdjustSession::pressCenter() { press(AdjustProcedure::Center); }

void AdjustSession::pressBorder() { press(AdjustProcedure::Border); }

void AdjustSession::press(AdjustProcedure procedure) {
    if (linkDown_)
        return;
    if (phase_ == AdjustPhase::Idle)
        start(procedure);
    else if (phase_ == AdjustPhase::Running && procedure_ == procedure)
        stop(End::Canceled, 0);
    // Otherwise the button is disabled: a start or stop waits for the card, or the other
    // procedure runs.
}

bool AdjustSession::requestClose() {
    if (linkDown_ || phase_ == AdjustPhase::Idle)
        return true;
    closeWanted_ = true;
    if (phase_ == AdjustPhase::Running)
        stop(End::Canceled, 0);
    return false;
}

void AdjustSession::linkLost() {
    if (linkDown_)
        return;
    linkDown_ = true;
    ++run_;  // whatever was under way will never answer, and a late answer is not this run's
    if (machine_.worker) {
        machine_.worker->stopTimer(kTimerAdjustCenter);
        machine_.worker->stopTimer(kTimerAdjustBorder);
    }
    procedure_ = AdjustProcedure::None;
    phase_ = AdjustPhase::Idle;
    status_ = qtTrId("adjust.link_lost");
    emit changed();
    if (std::exchange(closeWanted_, false))
        emit closeReady();
}

void AdjustSession::start(AdjustProcedure procedure) {
    if (machine_.worker == nullptr || !machine_.worker->running()) {
        linkLost();
        return;
    }
    procedure_ = procedure;
    phase_ = AdjustPhase::Starting;
    const uint64_t run = ++run_;
    seenZero_ = false;
    blinkShown_ = false;
    status_.clear();
    emit changed();

    CardControl* card = machine_.card;
    const uint8_t direction = borderDirectionByte(direction_);
    auto started = std::make_shared<bool>(false);
    CardSequence seq(procedure == AdjustProcedure::Center ? "adjust center" : "adjust border");
    // The wire senses the work piece by contact: the motor holds the axes, and a spark would
    // both spoil the contact and mark the piece.
    if (machine_.motorStep)
        seq.then(machine_.motorStep(true));
    if (machine_.hfStep)
        seq.then(machine_.hfStep(false));
    seq.then([card, procedure, direction, started](MachiningCard&) {
        const int r = procedure == AdjustProcedure::Center ? card->adjustCenter() : card->adjustBorder(direction);
        *started = r == 0;
        return *started;
    });
    // The first status read follows the start at once: a short procedure may end before the
    // first tick, and its finished flag counts only after a 0 was read.
    auto first = std::make_shared<std::optional<StatusBlock>>();
    seq.then([card, first](MachiningCard&) {
        StatusBlock status;
        if (card->getStatus(status) == 0)
            *first = status;
        return true;
    });
    seq.finally([self = Self(this), run, started, first](bool) {
        toUi(self, [run, started, first](AdjustSession& s) {
            s.startAnswered(run, *started);
            if (*first)
                s.pollAnswered(run, **first);
        });
    });
    machine_.worker->post(std::move(seq));
}

void AdjustSession::startAnswered(uint64_t run, bool started) {
    if (run != run_ || phase_ != AdjustPhase::Starting)
        return;
    if (machine_.panelChanged)
        machine_.panelChanged();
    if (!started) {
        phase_ = AdjustPhase::Idle;
        procedure_ = AdjustProcedure::None;
        status_ = qtTrId("adjust.start_refused");
        emit changed();
        if (std::exchange(closeWanted_, false)) {
            emit closeReady();
            return;
        }
        warn("adjust.start_refused");
        return;
    }
    phase_ = AdjustPhase::Running;
    startPolling();
    emit changed();
    if (closeWanted_)
        stop(End::Canceled, 0);
}

void AdjustSession::startPolling() {
    CardControl* card = machine_.card;
    machine_.worker->startTimer(timerId(), kAdjustPollMs, [card, self = Self(this), run = run_](MachiningCard&) {
        StatusBlock status;
        // A refused read is tried again at the next tick; a lost link ends the worker.
        if (card->getStatus(status) == 0)
            toUi(self, [run, status](AdjustSession& s) { s.pollAnswered(run, status); });
    });
}

void AdjustSession::pollAnswered(uint64_t run, const StatusBlock& status) {
    if (run != run_ || phase_ != AdjustPhase::Running)
        return;
    blinkShown_ = !blinkShown_;
    status_ = blinkShown_ ? qtTrId(procedure_ == AdjustProcedure::Center ? "adjust.wait_center" : "adjust.wait_border")
                          : QString();
    if (status.adjustFinished == 0) {
        seenZero_ = true;
    } else if (status.adjustFinished == 1 && seenZero_) {
        stop(End::Finished, status.edgeSteps);
        return;
    }
    emit changed();
}

void AdjustSession::stop(End end, int32_t steps) {
    machine_.worker->stopTimer(timerId());
    if (!machine_.worker->running()) {
        linkLost();
        return;
    }
    phase_ = AdjustPhase::Stopping;
    emit changed();
    CardControl* card = machine_.card;
    auto stopped = std::make_shared<bool>(false);
    machine_.worker->post(CardSequence("adjust stop")
                              .then([card, stopped](MachiningCard&) {
                                  *stopped = card->stopWork() == 0;
                                  return *stopped;
                              })
                              .finally([self = Self(this), run = run_, stopped, end, steps](bool) {
                                  toUi(self, [run, stopped, end, steps](AdjustSession& s) {
                                      s.stopAnswered(run, *stopped, end, steps);
                                  });
                              }));
}

void AdjustSession::stopAnswered(uint64_t run, bool stopped, End end, int32_t steps) {
    if (run != run_ || phase_ != AdjustPhase::Stopping)
        return;
    if (machine_.panelChanged)
        machine_.panelChanged();
    if (!stopped) {
        // The card still moves the wire: the procedure stays under watch and can be cancelled
        // again; the dialog does not close over it.
        phase_ = AdjustPhase::Running;
        closeWanted_ = false;
        startPolling();
        status_ = qtTrId("adjust.stop_refused");
        emit changed();
        warn("adjust.stop_refused");
        return;
    }
    const bool center = procedure_ == AdjustProcedure::Center;
    if (end == End::Finished) {
        status_ = center ? qtTrId("adjust.center_finished") : qtTrId("adjust.border_finished").arg(steps);
        if (!center)
            lastSteps_ = steps;
    } else {
        status_ = qtTrId(center ? "adjust.center_canceled" : "adjust.border_canceled");
    }
    phase_ = AdjustPhase::Idle;
    procedure_ = AdjustProcedure::None;
    emit changed();
    if (std::exchange(closeWanted_, false))
        emit closeReady();
}

void AdjustSession::warn(const char* textId) {
    if (machine_.operatorUi)
        machine_.operatorUi->message(qtTrId("adjust.title"), qtTrId(textId), OperatorInteraction::Icon::Warning);
}

}  // namespace korvex
