#include "editor/hover_search.h"

namespace tavrel {

HoverSearch::HoverSearch(std::function<void(int)> found)
    : found_(std::move(found)), thread_([this] { run(); }) {}

HoverSearch::~HoverSearch() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void HoverSearch::publish(Ends ends) {
    std::lock_guard lock(mutex_);
    ends_ = std::move(ends);
}

void HoverSearch::wake(int64_t x, int64_t y) {
    {
        std::lock_guard lock(mutex_);
        x_ = x;
        y_ = y;
        ++requested_;
    }
    cv_.notify_all();
}

void HoverSearch::waitIdle() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return done_ >= requested_ || stop_; });
}

void HoverSearch::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        cv_.wait(lock, [&] { return stop_ || requested_ > done_; });
        if (stop_) return;
        const uint64_t serving = requested_;
        const Ends ends = ends_;
        const int64_t x = x_, y = y_;
        lock.unlock();
        const int segment = ends ? nearestSegment(*ends, x, y) : -1;
        if (segment >= 0) found_(segment);
        lock.lock();
        done_ = serving;
        cv_.notify_all();
    }
}

}  // namespace tavrel
