#include "controller/machining/card_worker.h"

#include <algorithm>
#include <chrono>

namespace korvex {

CardWorker::CardWorker(MachiningCard& card, WorkerClock& clock) : card_(card), clock_(clock) {
    clock_.setMovedHook([this] {
        std::lock_guard lock(mutex_);
        wakeLocked();
    });
}

CardWorker::~CardWorker() {
    stop();
    clock_.setMovedHook({});
}

void CardWorker::start() {
    std::lock_guard lock(mutex_);
    if (started_)
        return;
    started_ = true;
    stopping_ = false;
    thread_ = std::thread([this] { loop(); });
}

void CardWorker::requestStop() {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    windows_.clear();
    sequences_.clear();
    timers_.clear();
    wakeLocked();
}

void CardWorker::stop() {
    requestStop();
    if (thread_.joinable())
        thread_.join();
    std::lock_guard lock(mutex_);
    current_.reset();
    started_ = false;
    idle_.notify_all();
}

bool CardWorker::running() const {
    std::lock_guard lock(mutex_);
    return started_ && !stopping_;
}

void CardWorker::setProgram(std::shared_ptr<const LoadedProgram> program) {
    std::lock_guard lock(mutex_);
    program_ = std::move(program);
}

void CardWorker::setRange(const WorkRange& range) {
    std::lock_guard lock(mutex_);
    range_ = range;
}

WorkRange CardWorker::range() const {
    std::lock_guard lock(mutex_);
    return range_;
}

void CardWorker::setWindowHook(std::function<void(int32_t, int)> hook) {
    std::lock_guard lock(mutex_);
    windowHook_ = std::move(hook);
}

void CardWorker::segmentReached(int32_t i) {
    std::lock_guard lock(mutex_);
    if (stopping_)
        return;
    windows_.push_back(i);
    wakeLocked();
}

void CardWorker::post(CardSequence sequence) {
    std::lock_guard lock(mutex_);
    if (stopping_)
        return;
    sequences_.push_back(std::move(sequence));
    wakeLocked();
}

void CardWorker::startTimer(int id, int64_t periodMs, std::function<void(MachiningCard&)> tick) {
    std::lock_guard lock(mutex_);
    if (stopping_)
        return;
    timers_[id] = Timer{periodMs, clock_.nowMs() + periodMs, std::move(tick)};
    wakeLocked();
}

void CardWorker::stopTimer(int id) {
    std::lock_guard lock(mutex_);
    timers_.erase(id);
    wakeLocked();
}

bool CardWorker::timerRunning(int id) const {
    std::lock_guard lock(mutex_);
    return timers_.count(id) != 0;
}

CardWorkerFigures CardWorker::figures() const {
    std::lock_guard lock(mutex_);
    return figures_;
}

void CardWorker::wakeLocked() {
    ++generation_;
    wake_.notify_all();
}

bool CardWorker::waitUntilIdle(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !started_ || (sleptAt_ == generation_ && windows_.empty()); });
}

bool CardWorker::nextDueLocked(int64_t& due) const {
    bool any = false;
    if (current_) {
        due = current_->dueMs;
        any = true;
    }
    for (const auto& [id, timer] : timers_) {
        if (!any || timer.dueMs < due)
            due = timer.dueMs;
        any = true;
    }
    return any;
}

void CardWorker::answerWindow(int32_t i) {
    std::shared_ptr<const LoadedProgram> program;
    WorkRange range;
    std::function<void(int32_t, int)> hook;
    {
        std::lock_guard lock(mutex_);
        program = program_;
        range = range_;
        hook = windowHook_;
    }
    SegmentWindow window;
    int result = 1;
    if (program && buildWindow(program->segments.data(), static_cast<int32_t>(program->segments.size()), range, i,
                               window))
        result = card_.sendSegments(window) == 0 ? 0 : -1;
    {
        std::lock_guard lock(mutex_);
        if (result == 0)
            ++figures_.windowsSent;
        else if (result < 0)
            ++figures_.windowsFailed;
        else
            ++figures_.reportsIgnored;
    }
    if (hook)
        hook(i, result);
}

void CardWorker::loop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!windows_.empty()) {
            const int32_t i = windows_.front();
            windows_.pop_front();
            lock.unlock();
            answerWindow(i);
            lock.lock();
            continue;
        }
        const int64_t now = clock_.nowMs();
        if (!current_ && !sequences_.empty()) {
            current_ = std::make_unique<Running>();
            current_->sequence = std::move(sequences_.front());
            sequences_.pop_front();
            current_->dueMs = now + (current_->sequence.steps_.empty() ? 0 : current_->sequence.steps_[0].delayMs);
        }
        if (current_ && current_->dueMs <= now) {
            Running& run = *current_;
            bool ok = true;
            if (run.next < run.sequence.steps_.size()) {
                CardSequence::Timed timed = run.sequence.steps_[run.next];
                ++run.next;
                lock.unlock();
                std::optional<CardSequence> more;
                if (timed.branch) {
                    more = timed.branch(card_);
                    ok = more.has_value();
                } else {
                    ok = timed.step(card_);
                }
                lock.lock();
                if (stopping_)
                    break;
                if (more) {
                    auto& steps = run.sequence.steps_;
                    steps.insert(steps.begin() + static_cast<std::ptrdiff_t>(run.next), more->steps_.begin(),
                                 more->steps_.end());
                }
            }
            if (!ok || run.next >= run.sequence.steps_.size()) {
                std::unique_ptr<Running> finished = std::move(current_);
                ++figures_.sequencesRun;
                const bool completed = ok;
                lock.unlock();
                if (finished->sequence.done_)
                    finished->sequence.done_(completed);
                lock.lock();
            } else {
                run.dueMs = clock_.nowMs() + run.sequence.steps_[run.next].delayMs;
            }
            continue;
        }
        auto dueTimer = std::find_if(timers_.begin(), timers_.end(),
                                     [now](const auto& entry) { return entry.second.dueMs <= now; });
        if (dueTimer != timers_.end()) {
            Timer& timer = dueTimer->second;
            // Ticks missed while the worker was busy are skipped, not run in a burst.
            int64_t next = timer.dueMs + timer.periodMs;
            while (timer.periodMs > 0 && next <= now) {
                next += timer.periodMs;
                ++figures_.ticksSkipped;
            }
            timer.dueMs = timer.periodMs > 0 ? next : now + 1;
            std::function<void(MachiningCard&)> tick = timer.tick;
            ++figures_.ticksRun;
            lock.unlock();
            tick(card_);
            lock.lock();
            continue;
        }
        // Nothing due: sleep until the next due time or a wake-up.
        sleptAt_ = generation_;
        idle_.notify_all();
        const uint64_t seen = generation_;
        int64_t due = 0;
        const bool timed = nextDueLocked(due);
        if (timed && clock_.passesByItself())
            wake_.wait_for(lock, std::chrono::milliseconds(std::max<int64_t>(due - now, 0)),
                           [this, seen] { return stopping_ || generation_ != seen; });
        else
            wake_.wait(lock, [this, seen] { return stopping_ || generation_ != seen; });
        sleptAt_ = ~0ull;
    }
    idle_.notify_all();
}

}  // namespace korvex
