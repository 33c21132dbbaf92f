// Generated closed contours of lines and arcs, either way round, with random multi-pass settings.
// The written file is read back through the loader and measured against the drawn contour alone:
// every block closes exactly, every "T17" line is a switch of the loaded program, and each
// pass's moves, after a switch to that pass's group, lie at that pass's gap from the drawing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "code/loader.h"
#include "geometry/multipass.h"

namespace korvex {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Rounding of both ends to whole microns and of an arc's centre.
constexpr double kTolerance = 0.002;

struct Pt { double x = 0, y = 0; };
double dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }

struct Drawn {
    bool arc = false;
    bool ccw = false;
    Pt start, end, centre;
};

struct Contour {
    std::string text;
    std::vector<Drawn> drawn;  // the cutting elements
};

std::string mm(int64_t microns) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(microns) / 1000.0);
    return text;
}

// A star round (0, 0), some sides bulging arcs, entered from 4 mm outside at its first corner or
// in the middle of its first side (split there into two straight halves).
Contour generate(std::mt19937& rng, bool clockwise) {
    std::uniform_real_distribution<double> unit(0, 1);
    const int corners = std::uniform_int_distribution<int>(3, 9)(rng);
    const bool concave = unit(rng) < 0.5;
    std::vector<std::pair<int64_t, int64_t>> v;
    for (int k = 0; k < corners; ++k) {
        const double a = (clockwise ? -1 : 1) * 2 * kPi * (k + 0.3 * unit(rng)) / corners;
        const double r = concave && k % 2 ? 7 + unit(rng) : 11 + unit(rng);
        v.emplace_back(std::llround(r * std::cos(a) * 1000), std::llround(r * std::sin(a) * 1000));
    }
    const bool midSide = unit(rng) < 0.5;
    if (midSide) {
        // Split on an even micron so both halves lie on the drawn side.
        const int64_t mx = (v[0].first + v[1].first) / 2, my = (v[0].second + v[1].second) / 2;
        v[0] = {2 * mx - v[1].first, 2 * my - v[1].second};
        v.insert(v.begin(), std::pair<int64_t, int64_t>{mx, my});
        std::rotate(v.begin() + 1, v.begin() + 2, v.end());
    }
    const int n = static_cast<int>(v.size());
    const double r0 = std::hypot(static_cast<double>(v[0].first), static_cast<double>(v[0].second));
    const int64_t ox = v[0].first + std::llround(4000 * v[0].first / r0);
    const int64_t oy = v[0].second + std::llround(4000 * v[0].second / r0);
    Contour c;
    int line = 0;
    const auto add = [&](const std::string& s) { c.text += "N" + std::to_string(line++) + " " + s + ";\n"; };
    add("G92 X0.000 Y0.000");
    add("G01 X" + mm(v[0].first - ox) + " Y" + mm(v[0].second - oy));
    for (int k = 0; k < n; ++k) {
        const auto a = v[static_cast<size_t>(k)], b = v[static_cast<size_t>((k + 1) % n)];
        const int64_t dx = b.first - a.first, dy = b.second - a.second;
        Drawn d;
        d.start = {(a.first - ox) / 1000.0, (a.second - oy) / 1000.0};
        d.end = {(b.first - ox) / 1000.0, (b.second - oy) / 1000.0};
        const bool straight = midSide && (k == 0 || k == n - 1);
        if (!straight && unit(rng) < 0.4) {
            // Centre on the star's side of the chord, so the arc bulges outward.
            const double side = clockwise ? -1 : 1;
            const double h = 0.6 + 2 * unit(rng);
            const int64_t ii = std::llround(dx / 2.0 - side * h * 1000 * dy / std::hypot(dx, dy));
            const int64_t jj = std::llround(dy / 2.0 + side * h * 1000 * dx / std::hypot(dx, dy));
            d.arc = true;
            d.ccw = !clockwise;
            d.centre = {d.start.x + ii / 1000.0, d.start.y + jj / 1000.0};
            add(std::string(clockwise ? "G02" : "G03") + " X" + mm(dx) + " Y" + mm(dy) + " I" + mm(ii) + " J" + mm(jj));
        } else {
            add("G01 X" + mm(dx) + " Y" + mm(dy));
        }
        c.drawn.push_back(d);
    }
    add("G01 X" + mm(ox - v[0].first) + " Y" + mm(oy - v[0].second));
    add("M02");
    return c;
}

double rightOf(const Drawn& d, Pt p) {
    const double dx = d.end.x - d.start.x, dy = d.end.y - d.start.y;
    return ((p.x - d.start.x) * dy - (p.y - d.start.y) * dx) / std::hypot(dx, dy);
}

struct Move {
    bool arc = false;
    Pt start, end, centre;
};

// Does the written move lie on some drawn element moved `gap` to the right of its travel?
bool atGap(const Move& m, const std::vector<Drawn>& drawn, double gap) {
    for (const Drawn& d : drawn) {
        if (d.arc != m.arc) continue;
        if (d.arc) {
            const double r = dist(d.start, d.centre) + (d.ccw ? gap : -gap);
            if (dist(m.centre, d.centre) < kTolerance && std::fabs(dist(m.start, d.centre) - r) < kTolerance &&
                std::fabs(dist(m.end, d.centre) - r) < kTolerance)
                return true;
        } else if (std::fabs(rightOf(d, m.start) - gap) < kTolerance && std::fabs(rightOf(d, m.end) - gap) < kTolerance) {
            return true;
        }
    }
    return false;
}

struct Block {
    int e = 0, f = 0, l = 0, q = 0;
    std::vector<Move> moves;  // up to the next switch
};

TEST(MultipassProperty, PassesLieAtTheirGapsAndEveryBlockCloses) {
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> unit(0, 1);
    int generated = 0;
    for (int round = 0; round < 300; ++round) {
        const bool clockwise = round % 2 == 1;
        const Contour c = generate(rng, clockwise);
        MultipassSettings s;
        s.mode = unit(rng) < 0.7 ? 1 : 0;
        s.count = std::uniform_int_distribution<int>(2, 8)(rng);
        s.len = unit(rng) < 0.2 ? 0 : 20 * unit(rng);
        s.once = unit(rng) < 0.5;
        s.firstGap = unit(rng) < 0.5;
        // Outside a star cut counter-clockwise is to the right of travel; mostly cut outside.
        const double outside = (clockwise ? -1 : 1) * (unit(rng) < 0.8 ? 1 : -1);
        double gap = 0.2 + 0.5 * unit(rng);
        for (double& o : s.offset) {
            o = outside * gap;
            gap *= 0.5 + 0.5 * unit(rng);
        }
        s.lastLen = outside * 0.01 * std::floor(10 * unit(rng));
        for (int& g : s.dao) g = std::uniform_int_distribution<int>(0, 7)(rng);
        s.inDao = std::uniform_int_distribution<int>(0, 7)(rng);
        s.outDao = std::uniform_int_distribution<int>(0, 7)(rng);
        s.firstDao = std::uniform_int_distribution<int>(0, 7)(rng);
        s.lastDao = std::uniform_int_distribution<int>(0, 7)(rng);

        LoadedProgram source;
        LoadFailure failure;
        ASSERT_EQ(loadProgramText(c.text, "star.iso", LoadOptions{}, source, failure), 0) << failure.message << c.text;
        std::string text, error;
        if (multipassFileText(source, s, text, error) != 0) continue;  // an inside gap too large, a step too long
        ++generated;
        SCOPED_TRACE(c.text);
        SCOPED_TRACE(text);

        LoadedProgram back;
        ASSERT_EQ(loadProgramText(text, "star.iso.4nb", LoadOptions{}, back, failure), 0) << failure.message;
        EXPECT_EQ(back.kind, kKindIsoSwitches);
        EXPECT_EQ(static_cast<int>(back.switches.size()), countSwitchLines(text));
        EXPECT_EQ(text.find("G02 X0.000 Y0.000"), std::string::npos);
        EXPECT_EQ(text.find("G03 X0.000 Y0.000"), std::string::npos);

        // Read back into blocks of moves between switches.
        std::vector<Block> blocks(1);
        int64_t x = 0, y = 0;
        for (const CodeSegment& seg : back.segments) {
            const PathElement& e = seg.lower;
            if (e.kind == kElementSwitch) {
                blocks.push_back({e.groupE, e.groupF, e.groupL, e.groupQ, {}});
                continue;
            }
            if (e.kind != kElementLine && !e.isArc()) continue;
            Move m;
            m.arc = e.isArc();
            m.start = {x / 1000.0, y / 1000.0};
            if (m.arc) m.centre = {(x - e.startX) / 1000.0, (y - e.startY) / 1000.0};
            x += e.dx();
            y += e.dy();
            m.end = {x / 1000.0, y / 1000.0};
            blocks.back().moves.push_back(m);
        }
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);

        // blocks[0] is before any switch, [1] the lead-in, [2 + p] pass p and its transition.
        const bool step = s.stepLen() >= kMultipassMinStepMm;
        ASSERT_GE(blocks.size(), static_cast<size_t>(s.count) + 3);
        int group = 0;
        for (size_t b = 1; b < blocks.size(); ++b) {
            EXPECT_EQ(blocks[b].e, group) << "switch " << b;
            group = blocks[b].f;
        }
        for (int p = 0; p < s.count; ++p) {
            const Block& block = blocks[static_cast<size_t>(p) + 2];
            EXPECT_EQ(block.f, s.dao[static_cast<size_t>(p)]);
            EXPECT_EQ(block.l, p);
            std::vector<Move> pass = block.moves;
            const bool movesThenSwitch = p < s.count - 1 ? !(p == 0 && s.firstGap) : step && !s.once;
            if (movesThenSwitch && !pass.empty()) pass.pop_back();
            if (p == 1 && s.firstGap && !pass.empty()) pass.erase(pass.begin());
            ASSERT_FALSE(pass.empty()) << "pass " << p;
            for (size_t i = 0; i < pass.size(); ++i)
                EXPECT_TRUE(atGap(pass[i], c.drawn, s.offset[static_cast<size_t>(p)]))
                    << "pass " << p << " move " << i << " from " << pass[i].start.x << "," << pass[i].start.y;
        }
        // The step's last cut: after the switch to LastDao (to FirstDao with Once) and its move.
        if (step) {
            const Block& last = blocks[blocks.size() - 2];
            EXPECT_EQ(last.q, s.once ? 1 : s.count);
            for (size_t i = 1; i < last.moves.size(); ++i)
                EXPECT_TRUE(atGap(last.moves[i], c.drawn, s.lastLen)) << "step move " << i;
        }
    }
    EXPECT_GT(generated, 150);
}

}  // namespace
}  // namespace korvex
