#include "sim/card/tests/pc_side.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "code/step.h"

namespace korvex::sim::testing {

Program loadThreeB(const std::string& text) {
    Program p;
    LoadOptions options;
    options.threads = 1;
    LoadFailure failure;
    EXPECT_EQ(loadProgramText(text, "test.3b", options, p.loaded, failure), 0) << failure.message;
    return p;
}

std::pair<int32_t, int32_t> Program::startOf(int i) const {
    int32_t x = 0, y = 0;
    for (int j = 0; j < i && j < count(); ++j) {
        const PathElement& e = loaded.segments[static_cast<std::size_t>(j)].lower;
        if (e.kind == kElementLine || e.isArc() || e.kind == kElementSwitch) {
            x += e.dx();
            y += e.dy();
        }
    }
    return {x, y};
}

ServerOptions virtualCardOptions(const std::string& statePath) {
    ServerOptions o;
    o.manualClock = true;
    o.pcSilenceMs = 0;
    o.statePath = statePath;
    return o;
}

PcSide::PcSide(CardServer& server, int responseTimeoutMs)
    : server_(server), link_(LinkOptions{responseTimeoutMs, responseTimeoutMs, 0, {}}) {
    link_.SetEventHook([this](uint8_t code, const uint8_t* record) {
        std::lock_guard lock(mutex_);
        if (code == reportcode::kLinkFailure) {
            linkFailures.push_back(record[1]);
        } else {
            Event e;
            e.code = code;
            std::copy(record, record + kReportDataBytes, e.data.begin());
            inbox_.push_back(e);
            ++received_;
        }
        arrived_.notify_all();
    });
}

PcSide::~PcSide() { link_.Close(); }

int PcSide::connect() {
    if (link_.Open(server_.devicePath()) != 0) return -1;
    return CMD_CONNECT(link_);
}

void PcSide::load(const Program& program, int32_t first, int32_t last, bool reverse) {
    program_ = &program;
    held_.clear();
    first_ = first;
    last_ = last;
    reverse_ = reverse;
    LoadDescriptor d;
    d.setTitle("test.3b");
    d.rangeFirst = first;
    d.rangeLast = last;
    d.loopTotal = 1;
    ASSERT_EQ(CMD_LOAD_MODEL(link_, d, false), 0);
    ASSERT_EQ(CMD_SET_DIRECTION(link_, reverse ? 1 : 0), 0);
    ASSERT_EQ(CMD_SET_RANGE(link_, first, last), 0);
}

SegmentWindow PcSide::windowAround(int32_t i) const {
    const int32_t step = first_ <= last_ ? 1 : -1;
    const int32_t indices[3] = {i == first_ ? last_ : i - step, i, i == last_ ? first_ : i + step};
    SegmentWindow w;
    for (int k = 0; k < 3; ++k) {
        w.indices[k] = indices[k];
        w.segments[k] = program_->loaded.segments.at(static_cast<std::size_t>(indices[k]));
    }
    return w;
}

StartPayload PcSide::freshStart(int32_t i) const {
    const CodeSegment& s = program_->loaded.segments.at(static_cast<std::size_t>(i));
    auto cursor = [this](const PathElement& e) {
        const StepState c = reverse_ ? endCursor(e) : freshCursor(e);
        return StepCursor{c.steps, c.x, c.y};
    };
    StartPayload p;
    p.work.segment = i;
    p.work.upper = cursor(s.upper);
    p.work.lower = cursor(s.lower);
    const auto [x, y] = program_->startOf(reverse_ ? i + 1 : i);
    p.work.guideX = x;
    p.work.guideY = y;
    return p;
}

StartPayload PcSide::startFrom(const WorkParams& work) const {
    StartPayload p;
    p.work = work;
    return p;
}

bool PcSide::waitForReports(uint64_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(kReportWaitMs),
                             [&] { return received_ >= count; });
}

void PcSide::drain(std::vector<Event>& out) {
    std::lock_guard lock(mutex_);
    out.assign(inbox_.begin(), inbox_.end());
    inbox_.clear();
}

Event PcSide::step(std::initializer_list<uint8_t> until, bool* found) {
    const uint64_t sent = server_.advance(sliceMicros);
    EXPECT_TRUE(waitForReports(sent)) << "the card sent " << sent << " reports, the link delivered fewer";
    releaseHeldWindows();
    return handleBatch(until, found);
}

void PcSide::answer(int32_t segment) {
    const int delay = windowDelay ? windowDelay(segment) : 0;
    if (delay <= 0 && held_.empty()) {
        EXPECT_EQ(CMD_SEND_SEGMENTS(link_, windowAround(segment)), 0);
        return;
    }
    held_.push_back({segment, std::max(delay, 0)});
}

void PcSide::releaseHeldWindows() {
    for (HeldWindow& h : held_) --h.slicesLeft;
    while (!held_.empty() && held_.front().slicesLeft <= 0) {
        EXPECT_EQ(CMD_SEND_SEGMENTS(link_, windowAround(held_.front().segment)), 0);
        held_.pop_front();
    }
}

Event PcSide::handleBatch(std::initializer_list<uint8_t> until, bool* found) {
    *found = false;
    std::vector<Event> batch;
    drain(batch);
    Event hit;
    for (const Event& e : batch) {
        if (e.code == reportcode::kSegmentReached) {
            segmentsReached.push_back(e.segment());
            answer(e.segment());
            continue;
        }
        events.push_back(e);
        if (e.code == reportcode::kRunEvent && !*found &&
            std::find(until.begin(), until.end(), e.kind()) != until.end()) {
            hit = e;
            *found = true;
        }
    }
    return hit;
}

Event PcSide::runLive(std::initializer_list<uint8_t> until) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!arrived_.wait_for(lock, std::chrono::milliseconds(kReportWaitMs), [&] { return !inbox_.empty(); })) {
                ADD_FAILURE() << "no report from the card within " << kReportWaitMs << " ms";
                return {};
            }
        }
        bool found = false;
        const Event e = handleBatch(until, &found);
        if (found || ::testing::Test::HasFailure()) return e;
    }
}

Event PcSide::run(std::initializer_list<uint8_t> until) {
    for (int slice = 0; slice < kMaxSlices; ++slice) {
        bool found = false;
        const Event e = step(until, &found);
        if (found || ::testing::Test::HasFailure()) return e;
    }
    ADD_FAILURE() << "no awaited event within " << kMaxSlices << " slices of virtual time";
    return {};
}

void PcSide::runFor(int64_t micros) {
    for (int64_t t = 0; t < micros && !::testing::Test::HasFailure(); t += sliceMicros) {
        bool found = false;
        step({}, &found);
    }
}

}  // namespace korvex::sim::testing
