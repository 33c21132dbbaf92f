// The card worker: the one thread that talks to the card while the machine runs.
//
// Everything the running machine sends goes through here, one transaction at a time (the link's
// transaction lock keeps other senders, such as the heartbeat, off the wire meanwhile), in this
// order of precedence:
//
//   1. window answers: a "segment reached" report handed over by the reader thread is answered
//      before anything else queued (see segment_window.h for the rule and why);
//   2. sequences: each routine or event handling is one sequence of steps in its fixed order;
//      sequences run one after another as they were posted. A step may be due some time after
//      the step before it (the waits before HF on, at a group switch, the total-stop pulse):
//      that is a due time, and windows and polls keep running while it passes;
//   3. polls: periodic ticks (position, status, HF level, roll). A tick that falls due while
//      the worker is busy runs once when it gets to it; the ticks missed meanwhile are skipped.
//
// Between two transactions the worker looks at the window queue again, so a window waits at
// most for the one transaction already on the wire. The worker never shows anything: results
// go out through the callbacks the steps carry, which hand them to the user interface.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "code/loader.h"
#include "controller/machining/machining_card.h"
#include "controller/machining/segment_window.h"
#include "controller/machining/worker_clock.h"

namespace korvex {

// One routine or event handling: steps in order, each due delayMs after the step before it ran
// (the first after the sequence was taken up). A step returns false to end its sequence there.
class CardSequence {
public:
    using Step = std::function<bool(MachiningCard&)>;
    // A step that decides what follows from what the card answered: the steps of the returned
    // sequence run next (its finally is not used); nothing ends the sequence as a failed step.
    using Branch = std::function<std::optional<CardSequence>(MachiningCard&)>;
    explicit CardSequence(std::string name = {}) : name_(std::move(name)) {}

    CardSequence& then(Step step) { return after(0, std::move(step)); }
    CardSequence& after(int64_t delayMs, Step step) {
        steps_.push_back({delayMs, std::move(step), {}});
        return *this;
    }
    CardSequence& branch(Branch decide) {
        steps_.push_back({0, {}, std::move(decide)});
        return *this;
    }
    // Runs on the worker once the sequence ended: true when every step ran and returned true.
    CardSequence& finally(std::function<void(bool completed)> done) {
        done_ = std::move(done);
        return *this;
    }
    const std::string& name() const { return name_; }
    std::size_t size() const { return steps_.size(); }

private:
    friend class CardWorker;
    struct Timed {
        int64_t delayMs;
        Step step;
        Branch branch;
    };
    std::string name_;
    std::vector<Timed> steps_;
    std::function<void(bool)> done_;
};

struct CardWorkerFigures {
    uint64_t windowsSent = 0;       // window answers the card took
    uint64_t windowsFailed = 0;     // window answers the card refused or did not answer
    uint64_t reportsIgnored = 0;    // segment reports outside the range or the program
    uint64_t sequencesRun = 0;
    uint64_t ticksRun = 0;
    uint64_t ticksSkipped = 0;      // ticks that fell due while the worker was busy
};

class CardWorker {
public:
    CardWorker(MachiningCard& card, WorkerClock& clock);
    ~CardWorker();
    CardWorker(const CardWorker&) = delete;
    CardWorker& operator=(const CardWorker&) = delete;

    void start();
    // Drops every queued window, sequence and timer and lets the thread end after the transaction
    // under way, without waiting for it: nothing new starts from now on.
    void requestStop();
    // requestStop() and waits for the thread; nothing is sent after it returns. Safe to call twice.
    void stop();
    bool running() const;

    // The program and the work range the windows are built from (set by every start).
    void setProgram(std::shared_ptr<const LoadedProgram> program);
    void setRange(const WorkRange& range);
    WorkRange range() const;

    // From the reader thread: the card entered segment i. Returns at once.
    void segmentReached(int32_t i);
    // Called on the worker after each window answer (or ignored report): the segment, and the
    // card's result (0 taken, negative refused or lost, 1 ignored: outside the range or program).
    void setWindowHook(std::function<void(int32_t segment, int result)> hook);

    void post(CardSequence sequence);
    // A periodic tick every periodMs, the first one period from now. Restarting a running timer
    // moves it to the new period.
    void startTimer(int id, int64_t periodMs, std::function<void(MachiningCard&)> tick);
    void stopTimer(int id);
    bool timerRunning(int id) const;

    // Waits until nothing is due and nothing queued (tests). False on time-out.
    bool waitUntilIdle(int timeoutMs);
    CardWorkerFigures figures() const;

private:
    struct Timer {
        int64_t periodMs = 0;
        int64_t dueMs = 0;
        std::function<void(MachiningCard&)> tick;
    };
    struct Running {
        CardSequence sequence;
        std::size_t next = 0;
        int64_t dueMs = 0;
    };

    void loop();
    void wakeLocked();
    void answerWindow(int32_t i);
    // Earliest due time of a sequence step or a timer; false when none.
    bool nextDueLocked(int64_t& due) const;

    MachiningCard& card_;
    WorkerClock& clock_;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    bool stopping_ = false;
    bool started_ = false;
    uint64_t generation_ = 0;      // bumped by every wake-up
    uint64_t sleptAt_ = ~0ull;     // generation at which the worker found nothing to do
    std::deque<int32_t> windows_;
    std::deque<CardSequence> sequences_;
    std::unique_ptr<Running> current_;
    std::map<int, Timer> timers_;
    std::shared_ptr<const LoadedProgram> program_;
    WorkRange range_;
    std::function<void(int32_t, int)> windowHook_;
    CardWorkerFigures figures_;
};

}  // namespace korvex
