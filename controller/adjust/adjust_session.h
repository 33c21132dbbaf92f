// Wire centering and edge finding: the state of the "Adjust" dialog without its widgets.
//
// The card moves the wire and senses the contact by itself; the PC starts a procedure, polls the
// status block every kAdjustPollMs and stops the card at every end. All of it runs on the card
// worker; the UI thread only queues and shows.
//
//   Idle --press--> Starting --card took motor on, HF off, CMD_ADJUST_*--> Running
//                       \--refused--> Idle (box)
//   Running --poll: byte 2 read 0, later 1--> Stopping(finished)
//   Running --Cancel, Escape, close box------> Stopping(canceled)
//   Stopping --CMD_STOP taken--> Idle (result text)
//            \--refused-------> Running (box; the poll goes on)
//
// Byte 2 of the status block may still hold the 1 of the procedure before: it counts only once
// a poll of this procedure has read 0. Each start numbers its run, and answers of an older run
// arriving late are dropped. A lost link ends everything at once: the worker is gone.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

#include "controller/machining/card_worker.h"

namespace korvex {

class CardControl;
class OperatorInteraction;

inline constexpr int64_t kAdjustPollMs = 500;
// The card worker's timers of the two procedures (the dialog's timers 1 and 2), numbered apart
// from the running machine's polls, which share the worker.
inline constexpr int kTimerAdjustCenter = 21;
inline constexpr int kTimerAdjustBorder = 22;
inline constexpr int kAdjustDirections = 4;
inline constexpr int kAdjustSpeeds = 4;

// The edge-finding direction byte of radio button L1..L4 (index 0..3): X+, Y+, X-, Y-.
uint8_t borderDirectionByte(int index);

enum class AdjustProcedure : uint8_t { None, Center, Border };
enum class AdjustPhase : uint8_t { Idle, Starting, Running, Stopping };

// What a session needs of the running machine.
struct AdjustMachine {
    CardControl* card = nullptr;
    CardWorker* worker = nullptr;
    OperatorInteraction* operatorUi = nullptr;
    // The button panel's Motor and Freq switches as steps (their flags follow the card).
    std::function<CardSequence::Step(bool on)> motorStep;
    std::function<CardSequence::Step(bool on)> hfStep;
    // The panel reads the card's state again after a start or stop.
    std::function<void()> panelChanged;
};

class AdjustSession : public QObject {
    Q_OBJECT
public:
    explicit AdjustSession(AdjustMachine machine, QObject* parent = nullptr);
    // A procedure still running is stopped (CMD_STOP queued) and its timer ended.
    ~AdjustSession() override;

    void setDirection(int index);  // 0..3, others ignored
    int direction() const { return direction_; }
    // "Speed:" is kept with the dialog; neither command carries it.
    void setSpeed(int index);
    int speed() const { return speed_; }

    // The two buttons: start a procedure, or cancel the one running.
    void pressCenter();
    void pressBorder();
    // Escape or the close box. True when the dialog may close now; otherwise the running
    // procedure is being stopped and closeReady() follows once the card took CMD_STOP.
    bool requestClose();
    // The link went down: timers and waits end, nothing more is sent.
    void linkLost();

    AdjustProcedure procedure() const { return procedure_; }
    AdjustPhase phase() const { return phase_; }
    bool linkDown() const { return linkDown_; }
    QString centerText() const;
    QString borderText() const;
    bool centerEnabled() const;
    bool borderEnabled() const;
    QString statusText() const { return status_; }
    // Steps of the last finished edge finding.
    int32_t lastSteps() const { return lastSteps_; }

signals:
    void changed();
    void closeReady();

private:
    enum class End : uint8_t { Canceled, Finished };
    void press(AdjustProcedure procedure);
    void start(AdjustProcedure procedure);
    void startPolling();
    void stop(End end, int32_t steps);
    void startAnswered(uint64_t run, bool started);
    void pollAnswered(uint64_t run, const StatusBlock& status);
    void stopAnswered(uint64_t run, bool stopped, End end, int32_t steps);
    void warn(const char* textId);
    int timerId() const;

    AdjustMachine machine_;
    int direction_ = 0;
    int speed_ = 0;
    AdjustProcedure procedure_ = AdjustProcedure::None;
    AdjustPhase phase_ = AdjustPhase::Idle;
    uint64_t run_ = 0;
    bool seenZero_ = false;
    bool blinkShown_ = false;
    bool closeWanted_ = false;
    bool linkDown_ = false;
    QString status_;
    int32_t lastSteps_ = 0;
};

}  // namespace korvex
