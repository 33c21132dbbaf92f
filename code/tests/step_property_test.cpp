// Properties of the steppers over many generated elements: the codes move the wire exactly as
// the element moves it, and they do not depend on how the caller cuts the stepping into calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "code/iso.h"
#include "code/loader.h"
#include "code/step.h"
#include "code/threeb.h"

namespace korvex {
namespace {

struct Sum {
    int64_t dx = 0, dy = 0;
    int64_t count = 0;
};

void add(Sum& s, const uint8_t* codes, int n) {
    for (int i = 0; i < n; ++i) {
        const uint8_t c = codes[i];
        s.dx += ((c & kStepPosX) ? 1 : 0) - ((c & kStepNegX) ? 1 : 0);
        s.dy += ((c & kStepPosY) ? 1 : 0) - ((c & kStepNegY) ? 1 : 0);
    }
    s.count += n;
}

// Steps from `cursor` until a call comes short (or `limit` steps), adding up the moves.
Sum stepToTheEnd(const PathElement& e, StepState& cursor, bool backward, int64_t limit) {
    constexpr int kBatch = 4096;
    uint8_t codes[kBatch];
    Sum s;
    while (s.count <= limit) {
        const int n = stepElement(e, cursor, kBatch, codes, backward);
        add(s, codes, n);
        if (n < kBatch) break;
    }
    return s;
}

// The quadrant (1..4) of a point as the 3B codes name it.
int quadrantOf(int64_t x, int64_t y) {
    if (x >= 0 && y >= 0) return 1;
    if (x < 0 && y >= 0) return 2;
    if (x < 0) return 3;
    return 4;
}

int32_t rounded(double v) { return static_cast<int32_t>(std::lround(v)); }

// An arc as a 3B statement gives it: the start on the circle at angle a0 (rounded), the end
// found by the 3B end-point rule after travelling along the count axis toward angle a1.
PathElement threeBArc(bool clockwise, double r, double a0, double a1, bool countAlongY) {
    ThreeBStatement s;
    s.family = clockwise ? ThreeBFamily::kClockwise : ThreeBFamily::kCounterClockwise;
    const int32_t sx = rounded(r * std::cos(a0)), sy = rounded(r * std::sin(a0));
    s.x = std::abs(sx);
    s.y = std::abs(sy);
    s.quadrant = quadrantOf(sx, sy);
    s.countAlongY = countAlongY;
    // The travel along the count axis from a0 to a1 in the direction of travel.
    double sweep = clockwise ? a0 - a1 : a1 - a0;
    sweep = std::fmod(sweep + 4 * std::numbers::pi, 2 * std::numbers::pi);
    double travel = 0;
    const int pieces = 64;
    double prev = countAlongY ? std::sin(a0) : std::cos(a0);
    for (int k = 1; k <= pieces; ++k) {
        const double a = a0 + (clockwise ? -1 : 1) * sweep * k / pieces;
        const double c = countAlongY ? std::sin(a) : std::cos(a);
        travel += std::fabs(c - prev) * r;
        prev = c;
    }
    s.j = std::max<int32_t>(1, rounded(travel));
    return threeBToElement(s);
}

// An arc as an ISO statement gives it: start and end rounded on their own, the radius from the
// start.
PathElement isoArc(bool clockwise, double r, double a0, double a1) {
    IsoStatement s;
    s.code = clockwise ? IsoCode::kG02 : IsoCode::kG03;
    const int32_t sx = rounded(r * std::cos(a0)), sy = rounded(r * std::sin(a0));
    const int32_t ex = rounded(r * std::cos(a1)), ey = rounded(r * std::sin(a1));
    s.i = -sx;
    s.j = -sy;
    s.x = ex - sx;
    s.y = ey - sy;
    return isoStatementToElement(s);
}

TEST(StepProperty, ArcCodesAddUpToTheEndOffsetForwardAndBackward) {
    // Every direction, start quarter and end quarter, for 3B and ISO end points, three times:
    // with radii of 1 to 4 µm, spread evenly on a log scale up to 1 mm, and up to 100 mm.
    std::mt19937_64 rng(22);
    std::uniform_real_distribution<double> within(0.02, 0.98);
    std::uniform_real_distribution<double> logRadius[] = {
        std::uniform_real_distribution<double>(0, std::log(4.0)),
        std::uniform_real_distribution<double>(0, std::log(1000.0)),
        std::uniform_real_distribution<double>(0, std::log(100000.0))};
    const double quarter = std::numbers::pi / 2;
    int checked = 0;
    for (int sample = 0; sample < 3; ++sample) {
        for (bool clockwise : {false, true}) {
            for (int from = 0; from < 4; ++from) {
                for (int to = 0; to < 4; ++to) {
                    for (bool threeB : {false, true}) {
                        const double r = std::exp(logRadius[sample](rng));
                        const double a0 = (from + within(rng)) * quarter;
                        const double a1 = (to + within(rng)) * quarter;
                        PathElement e = threeB ? threeBArc(clockwise, r, a0, a1, rng() & 1)
                                               : isoArc(clockwise, r, a0, a1);
                        if (e.radius == 0) continue;
                        SCOPED_TRACE(testing::Message()
                                     << (threeB ? "3B" : "ISO") << " kind " << e.kind << " start "
                                     << e.startX << "," << e.startY << " end " << e.endX << ","
                                     << e.endY << " radius " << e.radius);
                        e.steps = countSteps(e);
                        ASSERT_GT(e.steps, 0);

                        StepState forward = freshCursor(e);
                        const Sum f = stepToTheEnd(e, forward, false, 8LL * e.radius + 64);
                        ASSERT_EQ(f.count, e.steps) << "the count is what stepping gives";
                        ASSERT_EQ(f.dx, int64_t{e.endX} - e.startX);
                        ASSERT_EQ(f.dy, int64_t{e.endY} - e.startY);
                        ASSERT_EQ(forward, (StepState{e.steps, e.endX, e.endY}));

                        StepState backward = endCursor(e);
                        const Sum b = stepToTheEnd(e, backward, true, 8LL * e.radius + 64);
                        ASSERT_EQ(b.dx, int64_t{e.startX} - e.endX);
                        ASSERT_EQ(b.dy, int64_t{e.startY} - e.endY);
                        ASSERT_EQ(backward.x, e.startX);
                        ASSERT_EQ(backward.y, e.startY);
                        // The backward run follows the same arc: it neither goes round where the
                        // forward run did not nor the other way, only its steps differ here and there.
                        ASSERT_LE(std::abs(b.count - f.count), 4);
                        ++checked;
                    }
                }
            }
        }
    }
    EXPECT_GT(checked, 180);
}

// Random programs of lines, arcs of 1 to 4 µm radius and arcs of up to half a millimetre, as
// 3B and as ISO text.
std::string random3BProgram(std::mt19937& rng, int statements) {
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string text;
    for (int n = 1; n <= statements; ++n) {
        char buf[96];
        const int pick = uniform(0, 9);
        if (pick < 3) {
            const int dx = uniform(-200, 200), dy = uniform(-200, 200);
            const bool alongY = std::abs(dy) > std::abs(dx);
            std::snprintf(buf, sizeof buf, "N%5d: B %8d B %8d B %8d G%c  L%d;\n", n, std::abs(dx),
                          std::abs(dy), std::max(std::abs(dx), std::abs(dy)), alongY ? 'Y' : 'X',
                          quadrantOf(dx, dy));
        } else {
            const bool tiny = pick < 8;
            int sx, sy;
            do {
                sx = tiny ? uniform(-4, 4) : uniform(-500, 500);
                sy = tiny ? uniform(-4, 4) : uniform(-500, 500);
            } while (sx == 0 && sy == 0);
            const int reach = std::max(std::abs(sx), std::abs(sy));
            const int j = tiny ? uniform(1, 3 * reach) : uniform(1, 4 * reach);
            std::snprintf(buf, sizeof buf, "N%5d: B %8d B %8d B %8d G%c  %s%d;\n", n, std::abs(sx),
                          std::abs(sy), j, uniform(0, 1) ? 'Y' : 'X', uniform(0, 1) ? "NR" : "SR",
                          quadrantOf(sx, sy));
        }
        text += buf;
    }
    return text + "N" + std::to_string(statements + 1) + ": DD\n";
}

std::string mm(int v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d.%03d", v < 0 ? "-" : "", std::abs(v) / 1000, std::abs(v) % 1000);
    return buf;
}

std::string randomIsoProgram(std::mt19937& rng, int statements) {
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::uniform_real_distribution<double> angle(0, 2 * std::numbers::pi);
    std::string text = "N0 G92 X0.000 Y0.000;\n";
    for (int n = 1; n <= statements; ++n) {
        const int pick = uniform(0, 9);
        std::string s;
        if (pick < 3) {
            s = "G01 X" + mm(uniform(-200, 200)) + " Y" + mm(uniform(-200, 200));
        } else {
            const double r = pick < 8 ? uniform(10, 45) / 10.0 : uniform(5, 500);
            const double a0 = angle(rng);
            // Short arcs mostly (a few steps), some of any length.
            const double a1 = a0 + (uniform(0, 3) ? (uniform(-30, 30) / 10.0) / r : angle(rng));
            const int sx = rounded(r * std::cos(a0)), sy = rounded(r * std::sin(a0));
            const int ex = rounded(r * std::cos(a1)), ey = rounded(r * std::sin(a1));
            if ((sx == 0 && sy == 0) || (ex == 0 && ey == 0)) continue;
            s = std::string(uniform(0, 1) ? "G02" : "G03") + " X" + mm(ex - sx) + " Y" + mm(ey - sy) +
                " I" + mm(-sx) + " J" + mm(-sy);
        }
        text += "N" + std::to_string(n) + " " + s + ";\n";
    }
    return text + "N" + std::to_string(statements + 1) + " M02;\n";
}

// Steps the element in calls of `batch()` codes each until a call comes short.
std::vector<uint8_t> stepInBatches(const PathElement& e, StepState& cursor, bool backward,
                                   const std::function<int()>& batch) {
    std::vector<uint8_t> codes;
    uint8_t buf[64];
    for (int calls = 0; calls < 1'000'000; ++calls) {
        const int want = batch();
        const int n = stepElement(e, cursor, want, buf, backward);
        codes.insert(codes.end(), buf, buf + n);
        if (n < want) break;
    }
    return codes;
}

TEST(StepProperty, CodesDoNotDependOnHowTheCallsAreBatched) {
    // Every element of random programs, stepped in one call, in calls of 1 to 64 codes at
    // random and in calls of its own count, forward and backward: the same codes, and the same
    // displacement as the element's.
    std::mt19937 rng(1959);
    std::uniform_int_distribution<int> batchSize(1, 64);
    int elements = 0, programsLoaded = 0;
    for (int program = 0; program < 6; ++program) {
        const bool threeB = program % 2 == 0;
        const std::string text = threeB ? random3BProgram(rng, 300) : randomIsoProgram(rng, 300);
        LoadOptions options;
        options.threads = 1;
        LoadedProgram loaded;
        LoadFailure failure;
        // A random statement may give an arc whose end the stepper never reaches; such a
        // program fails to load and the next one is tried.
        const char* name = threeB ? "random.3b" : "random.iso";
        if (loadProgramText(text, name, options, loaded, failure) != 0) continue;
        ++programsLoaded;
        for (std::size_t i = 0; i < loaded.segments.size(); ++i) {
            const PathElement& e = loaded.segments[i].lower;
            SCOPED_TRACE(testing::Message() << "program " << program << " segment " << i << " kind " << e.kind
                                            << " start " << e.startX << "," << e.startY << " end " << e.endX
                                            << "," << e.endY << " steps " << e.steps);
            for (bool backward : {false, true}) {
                const StepState from = backward ? endCursor(e) : freshCursor(e);
                StepState whole = from;
                std::vector<uint8_t> once(static_cast<std::size_t>(e.steps) + 64);
                once.resize(static_cast<std::size_t>(
                    stepElement(e, whole, static_cast<int>(once.size()), once.data(), backward)));
                uint8_t more[8];
                StepState after = whole;
                ASSERT_EQ(stepElement(e, after, 8, more, backward), 0) << "an ended element gives no more";
                ASSERT_EQ(after, whole);
                if (!backward) {
                    ASSERT_EQ(static_cast<int64_t>(once.size()), e.steps);
                }
                if (e.isArc() || e.kind == kElementLine) {
                    Sum moved;
                    add(moved, once.data(), static_cast<int>(once.size()));
                    ASSERT_EQ(moved.dx, backward ? -int64_t{e.dx()} : e.dx());
                    ASSERT_EQ(moved.dy, backward ? -int64_t{e.dy()} : e.dy());
                }

                StepState batched = from;
                const auto pieces = stepInBatches(e, batched, backward, [&] { return batchSize(rng); });
                ASSERT_EQ(pieces, once) << (backward ? "backward" : "forward");
                ASSERT_EQ(batched, whole);
                // Batches of exactly the element's count end on its last step: one more call
                // must give nothing.
                StepState exact = from;
                const int n = static_cast<int>(once.size());
                const auto exactPieces =
                    stepInBatches(e, exact, backward, [n] { return std::clamp(n, 1, 64); });
                ASSERT_EQ(exactPieces, once);
            }
            ++elements;
        }
    }
    EXPECT_GE(programsLoaded, 5);
    EXPECT_GT(elements, 1500);
}

}  // namespace
}  // namespace korvex
