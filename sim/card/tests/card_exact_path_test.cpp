// The virtual card, driven through the real link, cuts exactly the path of the program: every
// step code moves the wire as the stepper's cursor moves, so a closed program brings the wire
// back onto its start forward and in reverse, and where the wire ends does not depend on how
// the card's time cuts the stepping into batches (late windows, longer ticks).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "code/step.h"
#include "code/threeb.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

// Cutting speed for these tests: fast enough that a tick of the card runs several steps, so
// batches of different sizes meet the elements' ends.
constexpr int32_t kFastCutStepsPerSecond = 40000;

struct Point {
    int64_t x, y;
};

// Millimetres with three decimals, as ISO programs write them.
std::string mm(int64_t microns) {
    char buf[32];
    const int64_t a = std::llabs(microns);
    std::snprintf(buf, sizeof buf, "%s%lld.%03lld", microns < 0 ? "-" : "", static_cast<long long>(a / 1000),
                  static_cast<long long>(a % 1000));
    return buf;
}

// A closed ISO program: a lead-in from (0, 0) to the contour's start, a contour of lines and
// arcs in both directions (one of them the long way round) whose points are rounded to microns
// on their own, so the arcs end wherever ISO rounding puts them, and a lead-out back to (0, 0).
std::string closedIsoProgram() {
    const Point contour[] = {{6000, -2000}, {13123, -1517}, {17891, 4237}, {15432, 7010},
                             {12345, 9876}, {4321, 8765},  {2109, 6543},  {1234, 3210}};
    // Edge k runs from contour[k] to contour[k + 1]: 0 is a line; otherwise an arc whose centre
    // lies `bulge` microns off the middle of the chord (positive: left of the travel). With the
    // earlier approach rule 4 of these arcs ended beside their end forward and 5 backward.
    const double bulge[] = {0, 3725.4, -4021.0, 0, -3446.9, -1839.6, 4105.3, 3131.3};
    // The arc of this edge goes the long way round.
    const int longWay = 5;
    const int n = static_cast<int>(std::size(contour));

    std::string text = "N0 G92 X0.000 Y0.000;\n";
    int line = 1;
    auto add = [&](const std::string& statement) {
        text += "N" + std::to_string(line++) + " " + statement + ";\n";
    };
    add("G01 X" + mm(contour[0].x) + " Y" + mm(contour[0].y));
    for (int k = 0; k < n; ++k) {
        const Point a = contour[k];
        const Point b = contour[(k + 1) % n];
        const std::string to = "X" + mm(b.x - a.x) + " Y" + mm(b.y - a.y);
        if (bulge[k] == 0) {
            add("G01 " + to);
            continue;
        }
        const double cx = (a.x + b.x) / 2.0, cy = (a.y + b.y) / 2.0;
        const double len = std::hypot(double(b.x - a.x), double(b.y - a.y));
        const double nx = -(b.y - a.y) / len, ny = (b.x - a.x) / len;  // left of the travel
        const int64_t ox = std::llround(cx + bulge[k] * nx), oy = std::llround(cy + bulge[k] * ny);
        // With the centre on the left the short way is counter-clockwise.
        const bool ccw = (bulge[k] > 0) != (k == longWay);
        add(std::string(ccw ? "G03 " : "G02 ") + to + " I" + mm(ox - a.x) + " J" + mm(oy - a.y));
    }
    add("G01 X" + mm(-contour[0].x) + " Y" + mm(-contour[0].y));
    add("M02");
    return text;
}

// One 3B statement in the layout of the sample programs.
std::string threeB(int number, int64_t x, int64_t y, int64_t j, bool countAlongY, const char* code) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "N%5d: B %8lld B %8lld B %8lld G%c  %s;\n", number,
                  static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(j),
                  countAlongY ? 'Y' : 'X', code);
    return buf;
}

// The quadrant (1..4) of a point as the 3B codes name it.
int quadrantOf(int64_t x, int64_t y) {
    if (x >= 0 && y >= 0) return 1;
    if (x < 0 && y >= 0) return 2;
    if (x < 0) return 3;
    return 4;
}

// A long closed 3B program: 257 statements of short lines, arcs of 1 to 4 µm radius (a few
// steps each, many ending within 2 µm of where they start) and arcs of a few millimetres, then
// a lead-out back to (0, 0).
std::string tinyArcProgram(uint32_t seed) {
    std::mt19937 rng(seed);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string text;
    int number = 1;
    int64_t x = 0, y = 0;
    while (number <= 257) {
        std::string statement;
        const int pick = uniform(0, 9);
        if (pick < 4) {
            const int64_t dx = uniform(-300, 300), dy = uniform(-300, 300);
            const bool alongY = std::llabs(dy) > std::llabs(dx);
            const int64_t j = alongY ? std::llabs(dy) : std::llabs(dx);
            statement = threeB(number, std::llabs(dx), std::llabs(dy), j, alongY,
                               ("L" + std::to_string(quadrantOf(dx, dy))).c_str());
        } else {
            const bool tiny = pick < 8;
            int64_t sx, sy;
            do {
                sx = tiny ? uniform(-4, 4) : uniform(-3000, 3000);
                sy = tiny ? uniform(-4, 4) : uniform(-3000, 3000);
            } while (sx == 0 && sy == 0);
            const int64_t reach = std::max(std::llabs(sx), std::llabs(sy));
            const int64_t j = tiny ? uniform(1, 3) : uniform(1, static_cast<int>(3 * reach));
            const std::string code =
                std::string(uniform(0, 1) ? "NR" : "SR") + std::to_string(quadrantOf(sx, sy));
            statement = threeB(number, std::llabs(sx), std::llabs(sy), j, uniform(0, 1) == 1, code.c_str());
        }
        ThreeBStatement s;
        if (parse3BStatement(statement.c_str(), s) != 0) continue;
        const PathElement e = threeBToElement(s);
        if (e.kind == kElementPause || (e.isArc() && countSteps(e) <= 0)) continue;
        x += e.dx();
        y += e.dy();
        text += statement;
        ++number;
    }
    const bool alongY = std::llabs(y) > std::llabs(x);
    text += threeB(number++, std::llabs(x), std::llabs(y), alongY ? std::llabs(y) : std::llabs(x), alongY,
                   ("L" + std::to_string(quadrantOf(-x, -y))).c_str());
    text += "N" + std::to_string(number) + ": DD\n";
    return text;
}

class CardExactPath : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(server.start(), 0) << server.error();
        ASSERT_EQ(pc.connect(), 0);
        const SpeedLimits speeds = {3000, 3000, 8000, 400, kFastCutStepsPerSecond, kFastCutStepsPerSecond};
        ASSERT_EQ(CMD_SET_SPEED_LIMITS(pc.link(), speeds), 0);
    }

    void startCut(const Program& program, bool reverse) {
        const int32_t last = program.count() - 1;
        const int32_t first = reverse ? last : 0;
        pc.segmentsReached.clear();
        pc.load(program, first, reverse ? 0 : last, reverse);
        EXPECT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(first), pc.freshStart(first)), 0);
    }

    // Runs the cut to its end and returns where the card's X, Y are then.
    std::pair<int32_t, int32_t> finishCut(const Program& program) {
        const Event finished = pc.run({kEventFinished});
        EXPECT_EQ(finished.kind(), kEventFinished);
        EXPECT_EQ(pc.segmentsReached.size(), static_cast<std::size_t>(program.count() - 1));
        PositionBlock p;
        EXPECT_EQ(CMD_GET_POSITION(pc.link(), &p), 0);
        return {p.work.guideX, p.work.guideY};
    }

    std::pair<int32_t, int32_t> cut(const Program& program, bool reverse) {
        startCut(program, reverse);
        return finishCut(program);
    }

    CardServer server{virtualCardOptions()};
    PcSide pc{server};
};

class ClosedProgram : public CardExactPath, public ::testing::WithParamInterface<bool> {};

TEST_P(ClosedProgram, CutEndsOnTheProgramsStart) {
    const Program program = loadThreeB(closedIsoProgram());
    ASSERT_EQ(program.count(), 12);
    ASSERT_EQ(program.endPoint(), (std::pair<int32_t, int32_t>{0, 0}));
    EXPECT_EQ(cut(program, GetParam()), (std::pair<int32_t, int32_t>{0, 0}));
}

TEST_P(ClosedProgram, ShortCircuitInsideAnArcBacksOffAndTheCutStillEndsOnTheStart) {
    // Backing off runs the arc the other way and cutting then resumes from there: the steps
    // taken need not match the count, and the card must still end the arc on its end.
    const Program program = loadThreeB(closedIsoProgram());
    const int32_t arc = 6;
    ASSERT_TRUE(program.loaded.segments.at(arc).lower.isArc());
    pc.sliceMicros = 20000;
    startCut(program, GetParam());
    for (int slice = 0; slice < 5000 && !::testing::Test::HasFailure(); ++slice) {
        if (!pc.segmentsReached.empty() && pc.segmentsReached.back() == arc) break;
        pc.runFor(pc.sliceMicros);
    }
    ASSERT_EQ(pc.segmentsReached.back(), arc);
    pc.runFor(3 * pc.sliceMicros);  // well into the arc
    ASSERT_EQ(server.shortCircuit(), 0);
    EXPECT_EQ(finishCut(program), (std::pair<int32_t, int32_t>{0, 0}));
    EXPECT_EQ(server.withEngine([](CardEngine& e) { return e.figures().shortCircuits; }), 1u);
}

INSTANTIATE_TEST_SUITE_P(Directions, ClosedProgram, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Reverse" : "Forward"); });

TEST_F(CardExactPath, LongProgramOfTinyArcsEndsOnTheSamePointWhateverTheTiming) {
    const std::string text = tinyArcProgram(259);
    const Program program = loadThreeB(text);
    ASSERT_EQ(program.count(), 260);
    ASSERT_EQ(program.endPoint(), (std::pair<int32_t, int32_t>{0, 0}));

    // Each cut runs on ticks of another length and holds back another set of windows, so the
    // card's batches meet the elements' ends at other steps; forward and reverse alternate.
    struct Timing {
        int64_t sliceMicros;
        bool lateWindows;
    };
    const Timing timings[] = {{250000, false}, {1700000, true}, {4100000, true}, {9300000, true}};
    int cutNumber = 0;
    int held = 0;
    for (const Timing& t : timings) {
        for (bool reverse : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "cut " << cutNumber << (reverse ? " reverse" : " forward"));
            pc.sliceMicros = t.sliceMicros;
            const uint32_t seed = static_cast<uint32_t>(cutNumber) + 1;
            pc.windowDelay = [late = t.lateWindows, seed, &held](int32_t segment) {
                const uint32_t h = (static_cast<uint32_t>(segment) + 1) * 2654435761u ^ seed * 40503u;
                if (!late || (h >> 7) % 4 != 0) return 0;
                ++held;
                return static_cast<int>(1 + (h >> 13) % 3);  // slices
            };
            EXPECT_EQ(cut(program, reverse), (std::pair<int32_t, int32_t>{0, 0}));
            ++cutNumber;
        }
    }
    EXPECT_GT(held, 6 * 259 / 8) << "about a quarter of the windows of six cuts came late";
}

}  // namespace
}  // namespace korvex::sim::testing
