// The nearest-segment search of the graph view, on a thread of its own so that a mouse move only
// stores a position and wakes it. The thread reads an immutable copy of the segment end points
// that the interface thread publishes after each parse; it never touches the document.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/document/tavrel_doc.h"

namespace tavrel {

class HoverSearch {
public:
    using Ends = std::shared_ptr<const std::vector<Point64>>;
    // `found` runs on the search thread with the segment found; it must only post onward.
    explicit HoverSearch(std::function<void(int segment)> found);
    ~HoverSearch();  // stops and joins the thread
    HoverSearch(const HoverSearch&) = delete;
    HoverSearch& operator=(const HoverSearch&) = delete;

    void publish(Ends ends);
    // Stores the position and wakes the thread (an auto-reset event: wakes while busy coalesce).
    void wake(int64_t x, int64_t y);
    // Blocks until every wake so far has been searched (tests; never the interface thread's
    // normal path).
    void waitIdle();

private:
    void run();

    std::function<void(int)> found_;
    std::mutex mutex_;
    std::condition_variable cv_;
    Ends ends_;
    int64_t x_ = 0, y_ = 0;
    uint64_t requested_ = 0, done_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace tavrel
