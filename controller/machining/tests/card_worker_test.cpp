// The card worker's order of precedence and its due times, against a card that records what it
// is sent. The clock is manual: a wait passes only when the test moves the clock on.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "controller/machining/card_worker.h"

namespace korvex {
namespace {

constexpr int kIdleWaitMs = 10000;  // generous: only a stuck worker takes this long

// Records every command; a command named in `blockOn` waits until release() is called.
class RecordingMachiningCard : public MachiningCard {
public:
    std::vector<std::string> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void blockOn(const std::string& name) {
        std::lock_guard lock(mutex_);
        blockOn_ = name;
    }
    void waitUntilBlocked() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return blocked_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        blockOn_.clear();
        changed_.notify_all();
    }
    int refuse = 0;  // results of setMotor

    int sendSegments(const SegmentWindow& w) override { return note("window " + std::to_string(w.indices[1])); }
    int start(StartKind, const SegmentWindow& w, const StartPayload&) override {
        return note("start " + std::to_string(w.indices[1]));
    }
    int startReturn(const ReturnTarget&) override { return note("startReturn"); }
    int startFastRoll() override { return note("startFastRoll"); }
    int stopFastRoll(RollBlock&) override { return note("stopFastRoll"); }
    int stop(StatusBlock&) override { return note("stop"); }
    int resetRunState(int a) override { return note("resetRunState " + std::to_string(a)); }
    int stopAll(bool s) override { return note(std::string("stopAll ") + (s ? "1" : "0")); }
    int setMotor(bool on) override {
        const int r = note(std::string("motor ") + (on ? "1" : "0"));
        return refuse != 0 ? refuse : r;
    }
    int setHf(bool on) override { return note(std::string("hf ") + (on ? "1" : "0")); }
    int setRange(int32_t, int32_t) override { return note("range"); }
    int setDirection(int) override { return note("direction"); }
    int setIgnorePause(bool) override { return note("ignore"); }
    int setSegmentStops(std::span<const int32_t>) override { return note("stops"); }
    int setFeed(const FeedBytes&, int) override { return note("feed"); }
    int getState(StateBlock&) override { return note("state"); }
    int getStatus(StatusBlock&) override { return note("status"); }
    int getRunState(RunState&) override { return note("runState"); }
    int getPosition(PositionBlock&) override { return note("position"); }
    int getHfLevel(int32_t&) override { return note("hfLevel"); }
    int getRollInfo(RollBlock&) override { return note("roll"); }

private:
    int note(const std::string& call) {
        std::unique_lock lock(mutex_);
        calls_.push_back(call);
        if (!blockOn_.empty() && call.rfind(blockOn_, 0) == 0) {
            blocked_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return blockOn_.empty(); });
            blocked_ = false;
        }
        return 0;
    }
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls_;
    std::string blockOn_;
    bool blocked_ = false;
};

std::shared_ptr<LoadedProgram> programOf(int segments) {
    auto p = std::make_shared<LoadedProgram>();
    p->segments.resize(static_cast<std::size_t>(segments));
    return p;
}

class CardWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        worker.setProgram(programOf(10));
        worker.setRange(WorkRange::between(0, 9));
        worker.start();
    }
    void idle() { ASSERT_TRUE(worker.waitUntilIdle(kIdleWaitMs)); }

    RecordingMachiningCard card;
    ManualWorkerClock clock;
    CardWorker worker{card, clock};
};

TEST_F(CardWorkerTest, WindowsGoAheadOfQueuedRoutinesAndRoutinesAheadOfPolls) {
    worker.startTimer(1, 100, [](MachiningCard& c) {
        PositionBlock p;
        c.getPosition(p);
    });
    card.blockOn("motor");
    worker.post(CardSequence("first").then([](MachiningCard& c) { return c.setMotor(true) == 0; }));
    card.waitUntilBlocked();
    // While the motor command is on the wire: a routine, a due poll and two reports queue up.
    worker.post(CardSequence("second").then([](MachiningCard& c) { return c.setHf(true) == 0; }));
    clock.advance(100);
    worker.segmentReached(4);
    worker.segmentReached(5);
    card.release();
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"motor 1", "window 4", "window 5", "hf 1", "position"}));
}

TEST_F(CardWorkerTest, WaitsAreDueTimesThatLetWindowsThrough) {
    bool completed = false;
    worker.post(CardSequence("pulse")
                    .then([](MachiningCard& c) { return c.setHf(false) == 0; })
                    .after(1000, [](MachiningCard& c) { return c.stopAll(true) == 0; })
                    .after(2000, [](MachiningCard& c) { return c.stopAll(false) == 0; })
                    .finally([&completed](bool done) { completed = done; }));
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"hf 0"}));
    clock.advance(999);
    worker.segmentReached(3);
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"hf 0", "window 3"})) << "a window during a wait goes at once";
    clock.advance(1);
    idle();
    EXPECT_EQ(card.calls().back(), "stopAll 1");
    clock.advance(1999);
    idle();
    EXPECT_EQ(card.calls().size(), 3u);
    EXPECT_FALSE(completed);
    clock.advance(1);
    idle();
    EXPECT_EQ(card.calls().back(), "stopAll 0");
    EXPECT_TRUE(completed);
}

TEST_F(CardWorkerTest, AFailedStepEndsItsRoutineAndTheNextRoutineRuns) {
    card.refuse = -1;
    std::vector<int> finished;
    worker.post(CardSequence("start")
                    .then([](MachiningCard& c) { return c.setMotor(true) == 0; })
                    .then([](MachiningCard& c) { return c.setHf(true) == 0; })
                    .finally([&finished](bool done) { finished.push_back(done ? 1 : 0); }));
    worker.post(CardSequence("next")
                    .then([](MachiningCard& c) { return c.resetRunState(0) == 0; })
                    .finally([&finished](bool done) { finished.push_back(done ? 1 : 0); }));
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"motor 1", "resetRunState 0"}));
    EXPECT_EQ(finished, (std::vector<int>{0, 1}));
}

TEST_F(CardWorkerTest, ABranchDecidesTheStepsThatFollowFromTheCardsAnswer) {
    bool completed = false;
    auto decide = [](bool hfWasOn) {
        return [hfWasOn](MachiningCard& c) -> std::optional<CardSequence> {
            if (c.resetRunState(hfWasOn ? 1 : 0) != 0)
                return std::nullopt;
            CardSequence more;
            if (hfWasOn)
                more.after(2000, [](MachiningCard& card) { return card.setHf(true) == 0; });
            return more;
        };
    };
    worker.post(CardSequence("on").branch(decide(true)).then([](MachiningCard& c) { return c.stopAll(false) == 0; })
                    .finally([&completed](bool done) { completed = done; }));
    worker.post(CardSequence("off").branch(decide(false)).then([](MachiningCard& c) { return c.stopAll(true) == 0; }));
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"resetRunState 1"}));
    clock.advance(2000);
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"resetRunState 1", "hf 1", "stopAll 0", "resetRunState 0",
                                                      "stopAll 1"}))
        << "the branch's steps run before the rest, and no wait where the branch added none";
    EXPECT_TRUE(completed);
}

TEST_F(CardWorkerTest, TicksMissedWhileBusyAreSkippedNotRunInABurst) {
    int ticks = 0;
    worker.startTimer(1, 100, [&ticks](MachiningCard&) { ++ticks; });
    card.blockOn("motor");
    worker.post(CardSequence("slow").then([](MachiningCard& c) { return c.setMotor(true) == 0; }));
    card.waitUntilBlocked();
    clock.advance(350);
    card.release();
    idle();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(worker.figures().ticksSkipped, 2u);
    clock.advance(49);
    idle();
    EXPECT_EQ(ticks, 1);
    clock.advance(1);
    idle();
    EXPECT_EQ(ticks, 2) << "the period keeps its phase: the next tick falls at 400";
    worker.stopTimer(1);
    clock.advance(1000);
    idle();
    EXPECT_EQ(ticks, 2);
}

TEST_F(CardWorkerTest, ReportsOutsideTheRangeAreIgnored) {
    worker.setRange(WorkRange::between(7, 2));
    std::vector<std::pair<int32_t, int>> answered;
    worker.setWindowHook([&answered](int32_t i, int r) { answered.emplace_back(i, r); });
    for (int32_t i : {1, 2, 7, 8, 10})
        worker.segmentReached(i);
    idle();
    EXPECT_EQ(card.calls(), (std::vector<std::string>{"window 2", "window 7"}));
    EXPECT_EQ(answered, (std::vector<std::pair<int32_t, int>>{{1, 1}, {2, 0}, {7, 0}, {8, 1}, {10, 1}}));
    EXPECT_EQ(worker.figures().reportsIgnored, 3u);
}

}  // namespace
}  // namespace korvex
