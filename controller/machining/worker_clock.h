// The card worker's time. The fixed waits of the routines (1000 ms before HF on, 2000 ms at a
// group switch, the halves of the total-stop pulse) and the poll periods are due times on this
// clock, never sleeps; tests move a manual clock on and the worker runs exactly what fell due.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace korvex {

class WorkerClock {
public:
    virtual ~WorkerClock() = default;
    virtual int64_t nowMs() const = 0;
    // True when time passes by itself: the worker sleeps until the next due time. False for a
    // clock that only moves when told: the worker sleeps until it is woken.
    virtual bool passesByItself() const = 0;
    // Called whenever the clock moved on by itself being told so.
    virtual void setMovedHook(std::function<void()> hook) { (void)hook; }
};

class SteadyWorkerClock : public WorkerClock {
public:
    int64_t nowMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    bool passesByItself() const override { return true; }
};

class ManualWorkerClock : public WorkerClock {
public:
    int64_t nowMs() const override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    bool passesByItself() const override { return false; }
    void setMovedHook(std::function<void()> hook) override {
        std::lock_guard lock(mutex_);
        moved_ = std::move(hook);
    }
    void advance(int64_t ms) {
        std::function<void()> moved;
        {
            std::lock_guard lock(mutex_);
            now_ += ms;
            moved = moved_;
        }
        if (moved)
            moved();
    }

private:
    mutable std::mutex mutex_;
    int64_t now_ = 0;
    std::function<void()> moved_;
};

}  // namespace korvex
