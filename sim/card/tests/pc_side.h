// The controller's part in the end-to-end tests: a real card link on the virtual card's device,
// the program loaded with the code library, and the segment-window feeding that the controller
// does on every "segment reached" report. Time is virtual: the card moves only when run() calls
// CardServer::advance, and after each step the test waits (on a condition, with a generous
// time-out) until every report the card sent has come through the link.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "code/loader.h"
#include "controller/link/card_link.h"
#include "controller/link/commands.h"
#include "sim/card/card_server.h"

namespace korvex::sim::testing {

inline constexpr int kReportWaitMs = 10000;        // generous: only a broken link takes this long
inline constexpr int64_t kSliceMicros = 250000;    // virtual time per step of run()
inline constexpr int kMaxSlices = 20000;

struct Event {
    uint8_t code = 0;
    std::array<uint8_t, kReportDataBytes> data{};
    uint8_t mode() const { return data[0]; }
    uint8_t kind() const { return data[1]; }
    int32_t segment() const { return GetLe32(data.data() + 4); }
};

// A program loaded from 3B text, with the positions the controller's geometry would give.
struct Program {
    LoadedProgram loaded;
    int count() const { return static_cast<int>(loaded.segments.size()); }
    // Lower-contour position at the start of segment i (sum of the displacements before it).
    std::pair<int32_t, int32_t> startOf(int i) const;
    std::pair<int32_t, int32_t> endPoint() const { return startOf(count()); }
};
Program loadThreeB(const std::string& text);

ServerOptions virtualCardOptions(const std::string& statePath = {});

class PcSide {
public:
    explicit PcSide(CardServer& server, int responseTimeoutMs = 300);
    ~PcSide();

    int connect();  // opens the link on the server's device and sends CMD_CONNECT
    CardLink& link() { return link_; }

    // Load the program, set the range (first, last in the operator's order) and direction.
    void load(const Program& program, int32_t first, int32_t last, bool reverse);
    // The window (previous, current, next) around segment i in the direction of travel.
    SegmentWindow windowAround(int32_t i) const;
    // The start payload the controller builds for a fresh start at segment i.
    StartPayload freshStart(int32_t i) const;
    StartPayload startFrom(const WorkParams& work) const;

    // Runs virtual time, answering every segment-reached report with its window, until a run
    // event whose kind is in `until` arrives. Returns that event (code 0 when none came).
    Event run(std::initializer_list<uint8_t> until);
    // Moves virtual time on and collects the reports, without waiting for a particular event.
    void runFor(int64_t micros);
    // The same as run() against a card on the real clock: waits for reports as they come.
    Event runLive(std::initializer_list<uint8_t> until);

    std::vector<int32_t> segmentsReached;  // type-2 reports, in order
    std::vector<Event> events;             // type-1 and type-4 reports, in order
    std::vector<uint8_t> linkFailures;     // code-0 calls of the event hook: failed commands

    // Virtual time of one step of run() and runFor().
    int64_t sliceMicros = kSliceMicros;
    // How many steps of run() the answer to a "segment reached" report is held back (0: at
    // once, the default). Held answers go out in the order of their reports, as the
    // controller's do, so a late one also holds back those behind it.
    std::function<int(int32_t segment)> windowDelay;

private:
    bool waitForReports(uint64_t count);
    void drain(std::vector<Event>& out);
    Event step(std::initializer_list<uint8_t> until, bool* found);
    Event handleBatch(std::initializer_list<uint8_t> until, bool* found);

    CardServer& server_;
    CardLink link_;
    const Program* program_ = nullptr;
    int32_t first_ = 0, last_ = 0;
    bool reverse_ = false;

    struct HeldWindow {
        int32_t segment;
        int slicesLeft;
    };
    void answer(int32_t segment);
    void releaseHeldWindows();
    std::deque<HeldWindow> held_;

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Event> inbox_;
    uint64_t received_ = 0;
};

}  // namespace korvex::sim::testing
