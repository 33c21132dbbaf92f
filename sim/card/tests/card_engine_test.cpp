// The card engine in-process: requests in, answers and reports out, time advanced explicitly.
#include "sim/card/card_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace korvex::sim {
namespace {

using namespace cmdcode;
using Bytes = std::vector<uint8_t>;

constexpr int64_t kSecond = 1000000;

CodeSegment line(int32_t dx, int32_t dy) {
    CodeSegment s;
    s.lower.kind = kElementLine;
    s.lower.endX = dx;
    s.lower.endY = dy;
    s.lower.steps = std::max(std::abs(dx), std::abs(dy));
    return s;
}

CodeSegment motionless(int32_t kind) {
    CodeSegment s;
    s.lower.kind = kind;
    return s;
}

Bytes le32s(std::initializer_list<int32_t> values) {
    Bytes b(values.size() * 4);
    std::size_t i = 0;
    for (int32_t v : values) PutLe32(b.data() + 4 * i++, v);
    return b;
}

// A card with a program of the given segments and the controller's feeding of windows.
class Card {
public:
    explicit Card(std::vector<CodeSegment> program) : program_(std::move(program)) {}

    CardAnswer send(uint8_t type, const Bytes& payload = {}) {
        return engine.handle(type, payload.data(), payload.size());
    }
    void load(int32_t first, int32_t last) {
        LoadDescriptor d;
        d.setTitle("part.3b");
        d.rangeFirst = first;
        d.rangeLast = last;
        d.loopTotal = 1;
        Bytes p(kLoadDescriptorBytes + 1);
        encodeLoadDescriptor(d, std::span<uint8_t, kLoadDescriptorBytes>(p.data(), kLoadDescriptorBytes));
        ASSERT_EQ(send(CMD_LOAD_MODEL, p).status, 0);
        first_ = first;
        last_ = last;
    }
    Bytes window(int32_t i) const {
        SegmentWindow w;
        const int32_t idx[3] = {i == first_ ? last_ : i - 1, i, i == last_ ? first_ : i + 1};
        for (int k = 0; k < 3; ++k) {
            w.indices[k] = idx[k];
            w.segments[k] = program_.at(static_cast<std::size_t>(idx[k]));
        }
        Bytes b(kSegmentWindowBytes);
        encodeSegmentWindow(w, std::span<uint8_t, kSegmentWindowBytes>(b.data(), b.size()));
        return b;
    }
    Bytes startAt(const WorkParams& work) const {
        StartPayload s;
        s.work = work;
        Bytes b(kStartPayloadBytes);
        encodeStartPayload(s, std::span<uint8_t, kStartPayloadBytes>(b.data(), b.size()));
        return b;
    }
    void start(uint8_t type, int32_t segment) {
        WorkParams w;
        w.segment = segment;
        ASSERT_EQ(send(CMD_SEND_SEGMENTS, window(segment)).status, 0);
        ASSERT_EQ(send(type, startAt(w)).status, 0);
    }
    // Advances in 100 ms steps, answering segment reports with windows when `feed` is set,
    // until a run event arrives or `limit` of card time has passed.
    CardReport runToEvent(int64_t limit = 600 * kSecond, bool feed = true) {
        for (int64_t t = 0; t < limit; t += kSecond / 10) {
            engine.advance(kSecond / 10);
            for (const CardReport& r : engine.takeReports()) {
                if (r.code == reportcode::kSegmentReached) {
                    reached.push_back(GetLe32(r.data.data() + 4));
                    if (feed) {
                        EXPECT_EQ(send(CMD_SEND_SEGMENTS, window(reached.back())).status, 0);
                    }
                } else if (r.code == reportcode::kRunEvent) {
                    return r;
                } else {
                    others.push_back(r);
                }
            }
        }
        return {};
    }
    StatusBlock status() {
        const CardAnswer a = send(CMD_GET_STATUS);
        EXPECT_EQ(a.payload.size(), kStatusBlockBytes);
        return decodeStatusBlock(std::span<const uint8_t, kStatusBlockBytes>(a.payload.data(), kStatusBlockBytes));
    }

    CardEngine engine;
    std::vector<int32_t> reached;
    std::vector<CardReport> others;

private:
    std::vector<CodeSegment> program_;
    int32_t first_ = 0, last_ = 0;
};

std::vector<CodeSegment> square() {
    return {motionless(kElementNoMotion), line(300, 0), line(0, 300), line(-300, 0), line(0, -300),
            motionless(kElementNoMotion)};
}

TEST(CardEngine, RefusesWhatTheCardCannotDo) {
    struct Case {
        const char* what;
        bool loaded;
        uint8_t type;
        Bytes payload;
    };
    Bytes start(kStartPayloadBytes);
    Bytes feed0(kFeedRequestBytes), feed201(kFeedRequestBytes);
    feed201[kFeedEntryBytes] = 201;
    Bytes restore(kLoadDescriptorBytes + 1);
    restore.back() = 1;
    const Case cases[] = {
        {"start without a program", false, CMD_START_CUT, start},
        {"start without a window", true, CMD_START_WALK, start},
        {"restore load without a record", false, CMD_LOAD_MODEL, restore},
        {"feed 0", false, CMD_SET_FEED, feed0},
        {"feed 201", false, CMD_SET_FEED, feed201},
        {"direction 2", false, CMD_SET_DIRECTION, {2}},
        {"edge finding direction 3", false, CMD_ADJUST_BORDER, {3}},
        {"a speed of zero", false, CMD_SET_SPEED_LIMITS, le32s({100, 100, 100, 0, 100, 100})},
        {"zero loops", false, CMD_SET_LOOP, {0}},
        {"plan pause past 100 percent", false, CMD_SET_PLAN_PAUSE, le32s({3, 101})},
        {"half a segment stop", false, CMD_SET_SEGMENT_STOPS, {1, 0, 0, 0, 2, 0}},
        {"payload on a command without one", false, CMD_GET_STATUS, {0}},
        {"window one byte short", false, CMD_SEND_SEGMENTS, Bytes(kSegmentWindowBytes - 1)},
        {"tracking mode 2", false, CMD_SET_TRACK, {2}},
        {"a negative segment in the range", false, CMD_SET_RANGE, le32s({-1, 5})},
        {"unknown command", false, 0x01, {}},
    };
    for (const Case& c : cases) {
        Card card(square());
        if (c.loaded) card.load(0, 5);
        const CardAnswer a = card.send(c.type, c.payload);
        EXPECT_NE(a.status, 0) << c.what;
        EXPECT_TRUE(a.payload.empty()) << c.what;
    }
}

TEST(CardEngine, AnswersHaveTheSizesOfTheCommandTable) {
    Card card(square());
    for (const CommandInfo& info : CommandTable()) {
        if (info.requestMin != 0) continue;  // commands without arguments can be sent bare
        const CardAnswer a = card.send(info.code);
        if (a.status == 0) {
            EXPECT_EQ(a.payload.size(), info.responseBytes) << info.name;
        }
    }
}

TEST(CardEngine, SettingsChangeAndRestoreDefaults) {
    Card card(square());
    auto settings = [&card] {
        const CardAnswer a = card.send(CMD_GET_SETTINGS);
        return decodeSettingsBlock(std::span<const uint8_t, kSettingsBlockBytes>(a.payload.data(), kSettingsBlockBytes));
    };
    EXPECT_EQ(settings().speeds, defaultSettings().speeds);
    EXPECT_EQ(settings().name(), "");
    ASSERT_EQ(card.send(CMD_SET_SPEED_LIMITS, le32s({10, 20, 30, 40, 50, 60})).status, 0);
    ASSERT_EQ(card.send(CMD_SET_MACHINE_NAME, {'W', '1'}).status, 0);
    ASSERT_EQ(card.send(CMD_SET_BACK_DELAY, {7}).status, 0);
    ASSERT_EQ(card.send(CMD_SET_ROLL_GAP, le32s({900})).status, 0);
    const SettingsBlock changed = settings();
    EXPECT_EQ(changed.speeds, (std::array<int32_t, kSpeedCount>{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(changed.name(), "W1");
    EXPECT_EQ(changed.backDelaySeconds, 7);
    EXPECT_EQ(changed.rollGapMicroseconds, 900);
    EXPECT_TRUE(card.engine.takeMemoryChanged());
    ASSERT_EQ(card.send(CMD_RESTORE_DEFAULTS).status, 0);
    EXPECT_EQ(settings().speeds, defaultSettings().speeds);
    EXPECT_EQ(settings().name(), "");
}

TEST(CardEngine, ManualMovesNeedTheMotorAndCountOnTheMotorsWithInversion) {
    Card card(square());
    // Without motor power a step or a jog would be lost: refused, nothing moves.
    EXPECT_NE(card.send(CMD_STEP_AXIS, {0x01}).status, 0);
    EXPECT_NE(card.send(CMD_JOG, le32s({100, 0, 0, 0})).status, 0);
    EXPECT_EQ(card.engine.motorPositions(), (std::array<int64_t, kAxisCount>{}));
    ASSERT_EQ(card.send(CMD_SET_MOTOR, {1}).status, 0);
    ASSERT_EQ(card.send(CMD_SET_AXIS_INVERT, {1, 0, 0, 1}).status, 0);
    ASSERT_EQ(card.send(CMD_STEP_AXIS, {0x01}).status, 0);  // X+ on an inverted X
    ASSERT_EQ(card.send(CMD_STEP_AXIS, {0x02}).status, 0);  // Y+
    ASSERT_EQ(card.send(CMD_STEP_AXIS, {0x80}).status, 0);  // V- on an inverted V
    EXPECT_EQ(card.engine.motorPositions(), (std::array<int64_t, kAxisCount>{-1, 1, 0, 1}));
    ASSERT_EQ(card.send(CMD_JOG, le32s({0, 0, -250, 0})).status, 0);
    EXPECT_TRUE(card.engine.jogging());
    card.engine.advance(kSecond);
    EXPECT_FALSE(card.engine.jogging());
    EXPECT_EQ(card.engine.motorPositions(), (std::array<int64_t, kAxisCount>{-1, 1, -250, 1}));
    // A roll gap of 0 suits a servo drive.
    EXPECT_EQ(card.send(CMD_SET_ROLL_GAP, le32s({0})).status, 0);
}

TEST(CardEngine, ReturnToOriginCountsTheDistancesDownToZero) {
    Card card(square());
    card.load(0, 5);
    ASSERT_EQ(card.send(CMD_START_RETURN, le32s({2, 600, -300, 40, 0})).status, 0);
    EXPECT_EQ(card.status().runState, kRunReturning);
    card.engine.advance(kSecond / 10);  // 300 of 600 steps at the default 3000 steps/s
    const StatusBlock half = card.status();
    EXPECT_EQ(half.remainingSteps[0], 300);
    EXPECT_EQ(half.remainingSteps[1], -150) << "the axes move together on a straight line";
    const CardAnswer rec = card.send(CMD_GET_WORK_RECORD);
    const WorkRecord record = decodeWorkRecord(std::span<const uint8_t, kWorkRecordBytes>(rec.payload.data(), kWorkRecordBytes));
    EXPECT_EQ(record.kind, kWorkRecordReturn);
    EXPECT_EQ(record.returnSegment, 2);
    EXPECT_EQ(record.returnDistances, half.remainingSteps);

    card.engine.advance(kSecond);
    const StatusBlock done = card.status();
    EXPECT_EQ(done.remainingSteps, (std::array<int32_t, kAxisCount>{}));
    EXPECT_EQ(done.runState, kRunReturning) << "stays until the PC stops it";
    EXPECT_EQ(done.work.guideX, 600);
    EXPECT_EQ(done.work.guideY, -300);
    EXPECT_EQ(done.work.guideU, 40);
    ASSERT_EQ(card.send(CMD_STOP).status, 0);
    ASSERT_EQ(card.send(CMD_RESET_RUN_STATE, {0}).status, 0);
    EXPECT_EQ(card.status().runState, kRunLoaded);
    EXPECT_EQ(card.send(CMD_GET_WORK_RECORD).payload[0], 0) << "an arrived return leaves nothing to restore";
}

TEST(CardEngine, LoopsRunTheRangeAsOftenAsAsked) {
    Card card(square());
    card.load(1, 4);
    ASSERT_EQ(card.send(CMD_SET_LOOP, {2}).status, 0);
    card.start(CMD_START_WALK, 1);
    const CardReport finished = card.runToEvent();
    EXPECT_EQ(finished.data[1], kEventFinished);
    EXPECT_EQ(finished.data[0], kRunWalking);
    EXPECT_EQ(card.reached, (std::vector<int32_t>{2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(card.engine.position().loopIndex, 1);
    EXPECT_EQ(card.engine.position().guideX, 0);
    EXPECT_EQ(card.engine.position().guideY, 0);
}

TEST(CardEngine, WaitingForAWindowIsCountedAsStarvation) {
    Card card(square());
    card.load(0, 5);
    card.start(CMD_START_SIMULATE, 1);
    // 300 steps at 8000 steps/s: segment 1 is done in 40 ms; the card enters 2 and then waits.
    card.runToEvent(2 * kSecond, false);
    EXPECT_EQ(card.reached, std::vector<int32_t>{2});
    EXPECT_EQ(card.engine.figures().starvations, 1u);
    EXPECT_FALSE(card.engine.busy());
    EXPECT_EQ(card.status().speed, 0);
    ASSERT_EQ(card.send(CMD_SEND_SEGMENTS, card.window(2)).status, 0);
    EXPECT_GE(card.engine.figures().starvedMicros, 1900000);
    EXPECT_EQ(card.runToEvent().data[1], kEventFinished);
    EXPECT_EQ(card.send(CMD_GET_WORK_RECORD).payload[0], 0) << "a simulation keeps no work record";
}

TEST(CardEngine, SegmentStopMarkAndPlanPausePauseTheWork) {
    Card card(square());
    card.load(0, 5);
    ASSERT_EQ(card.send(CMD_SET_SEGMENT_STOPS, le32s({2})).status, 0);
    ASSERT_EQ(card.send(CMD_SET_PLAN_PAUSE, le32s({3, 50})).status, 0);
    card.start(CMD_START_CUT, 1);
    const CardReport stopMark = card.runToEvent();
    EXPECT_EQ(stopMark.data[1], kEventPause);
    EXPECT_EQ(card.status().work.segment, 2);
    EXPECT_EQ(card.status().work.lower.steps, 0) << "paused on entering the marked segment";

    card.start(CMD_START_CUT, 2);
    card.send(CMD_STOP);  // a start at the marked segment does not pause there again
    WorkParams at = card.status().work;
    ASSERT_EQ(card.send(CMD_START_CUT, card.startAt(at)).status, 0);
    const CardReport plan = card.runToEvent();
    EXPECT_EQ(plan.data[1], kEventPause);
    const StatusBlock s = card.status();
    EXPECT_EQ(s.work.segment, 3);
    EXPECT_EQ(s.work.lower.steps, 150);
    EXPECT_EQ(s.subState, kRunCutting) << "the sub-state names what was paused";
}

TEST(CardEngine, GroupSwitchPointStopsAndTheAdjustedStartReportsTheNewGroup) {
    CodeSegment t17 = motionless(kElementSwitch);
    t17.lower.groupE = 1;
    t17.lower.groupF = 5;
    Card card({motionless(kElementNoMotion), line(200, 0), t17, line(0, 200), motionless(kElementNoMotion)});
    card.load(0, 4);
    card.start(CMD_START_CUT, 0);
    const CardReport sw = card.runToEvent();
    EXPECT_EQ(sw.data[0], kRunCutting);
    EXPECT_EQ(sw.data[1], kEventGroupSwitch);
    EXPECT_EQ(card.status().work.segment, 2);

    WorkParams at = card.status().work;
    ASSERT_EQ(card.send(CMD_START_ADJUSTED, card.startAt(at)).status, 0);
    const std::vector<CardReport> now = card.engine.takeReports();
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].code, reportcode::kPulseGroupSwitched);
    EXPECT_EQ(now[0].data[2], 5);
    EXPECT_EQ(card.runToEvent().data[1], kEventFinished);
}

TEST(CardEngine, ManualBackRunsThePathBackToTheRangeStart) {
    Card card(square());
    card.load(0, 5);
    card.start(CMD_START_CUT, 0);
    card.engine.advance(5 * kSecond);  // 750 steps at 150 steps/s
    for (const CardReport& r : card.engine.takeReports())
        if (r.code == reportcode::kSegmentReached) card.send(CMD_SEND_SEGMENTS, card.window(GetLe32(r.data.data() + 4)));
    card.engine.advance(kSecond);
    const StatusBlock paused = decodeStatusBlock(
        std::span<const uint8_t, kStatusBlockBytes>(card.send(CMD_STOP).payload.data(), kStatusBlockBytes));
    EXPECT_EQ(paused.runState, kRunPaused);
    ASSERT_GE(paused.work.segment, 2);

    ASSERT_EQ(card.send(CMD_START_BACK, card.startAt(paused.work)).status, 0);
    const CardReport back = card.runToEvent();
    EXPECT_EQ(back.data[0], kRunManualBack);
    EXPECT_EQ(back.data[1], kEventBackFinished);
    EXPECT_EQ(card.status().runState, kRunBackFinished);
    EXPECT_EQ(card.status().work.guideX, 0);
    EXPECT_EQ(card.status().work.guideY, 0);
    EXPECT_EQ(card.reached.back(), 0);
}

TEST(CardEngine, ShortCircuitHoldsForTheBackDelayThenBacksOffAndResumes) {
    Card card(square());
    card.load(0, 5);
    ASSERT_EQ(card.send(CMD_SET_BACK_DELAY, {2}).status, 0);
    card.start(CMD_START_CUT, 1);
    card.engine.advance(kSecond);  // 150 steps into segment 1
    ASSERT_EQ(card.engine.injectShortCircuit(), 0);
    card.engine.advance(kSecond * 19 / 10);
    EXPECT_TRUE(card.engine.takeReports().empty()) << "no backing before the back delay";
    EXPECT_EQ(card.status().runState, kRunCutting);
    EXPECT_EQ(card.status().work.lower.steps, 150) << "a shorted wire does not advance";

    const CardReport back = card.runToEvent(kSecond);
    EXPECT_EQ(back.data[0], kRunCutting);
    EXPECT_EQ(back.data[1], kEventShortBack);
    card.engine.advance(kSecond / 4);
    EXPECT_EQ(card.status().runState, kRunShortBack);
    EXPECT_LT(card.status().work.lower.steps, 150);
    const CardReport resumed = card.runToEvent(2 * kSecond);
    EXPECT_EQ(resumed.data[0], kRunShortBack);
    EXPECT_EQ(resumed.data[1], kEventCutResumed);
    EXPECT_EQ(card.runToEvent().data[1], kEventFinished);
    EXPECT_EQ(card.status().work.guideX, 0);
    EXPECT_EQ(card.status().work.guideY, 0);
}

TEST(CardEngine, AdjustProceduresSetTheFinishedFlag) {
    Card card(square());
    ASSERT_EQ(card.send(CMD_ADJUST_BORDER, {4}).status, 0);
    EXPECT_EQ(card.status().adjustFinished, 0);
    card.engine.advance(60 * kSecond);
    const StatusBlock s = card.status();
    EXPECT_EQ(s.adjustFinished, 1);
    EXPECT_EQ(s.edgeSteps, 1080) << "the simulated hole's wall";
    EXPECT_EQ(s.work.guideX, -s.edgeSteps) << "direction 4 is X-";
    ASSERT_EQ(card.send(CMD_STOP).status, 0);
    EXPECT_EQ(card.status().adjustFinished, 0);

    ASSERT_EQ(card.send(CMD_ADJUST_CENTER).status, 0);
    card.engine.advance(kSecond);
    EXPECT_EQ(card.status().adjustFinished, 0);
    card.engine.advance(60 * kSecond);
    EXPECT_EQ(card.status().adjustFinished, 1);
}

TEST(CardEngine, LostPcStopsTheCutAndKeepsTheRecord) {
    Card card(square());
    card.load(0, 5);
    ASSERT_EQ(card.send(CMD_SET_HF, {1}).status, 0);
    card.start(CMD_START_CUT, 1);
    card.engine.advance(kSecond);
    card.engine.stopForLostPc();
    const StatusBlock s = card.status();
    EXPECT_EQ(s.runState, kRunStoppedByCard);
    EXPECT_EQ(s.subState, kRunCutting);
    const CardMemory m = card.engine.memory();
    const WorkRecord r = decodeWorkRecord(m.record);
    EXPECT_EQ(r.kind, kWorkRecordCut);
    EXPECT_EQ(r.work.lower.steps, 150);
    EXPECT_EQ(r.load.title(), "part.3b");

    // A controller that starts again while the card still cuts loads afresh: the motion stops
    // and the record keeps the point for the restore.
    Card running(square());
    running.load(0, 5);
    running.start(CMD_START_CUT, 1);
    running.engine.advance(kSecond);
    running.load(0, 5);
    EXPECT_EQ(running.status().runState, kRunLoaded);
    EXPECT_FALSE(running.engine.busy());
    EXPECT_EQ(decodeWorkRecord(running.engine.memory().record).work.lower.steps, 150);

    CardEngine restarted;
    restarted.restoreMemory(m);
    const CardAnswer a = restarted.handle(CMD_GET_WORK_RECORD, nullptr, 0);
    EXPECT_TRUE(std::equal(a.payload.begin(), a.payload.end(), m.record.begin()));
    EXPECT_EQ(restarted.runState(), kRunNoProgram);
}

}  // namespace
}  // namespace korvex::sim
