// One Graph and Two Graphs. Expected points are worked out here from the drawn contour (moved
// lines crossed), not with the compensation's code.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "code/iso.h"
#include "code/loader.h"
#include "geometry/taper.h"

namespace korvex {
namespace {

using Lines = std::vector<std::string>;

std::vector<TaperRow> rowsOf(const Lines& lines, const char* cell, int flag = kTaperFlagNone) {
    return std::vector<TaperRow>(lines.size(), TaperRow{cell, flag});
}

Lines generate(const Lines& given, const std::vector<TaperRow>& rows, double thickness = 10, double rmin = 0) {
    Lines out;
    int bad = -1;
    EXPECT_EQ(generateTaperContour(given, rows, thickness, rmin, out, bad), 0);
    if (out.size() != given.size()) out.assign(given.size(), "");  // failed: nothing to index past
    return out;
}

IsoStatement statementOf(const std::string& line) {
    IsoStatement s;
    EXPECT_EQ(parseIsoStatement(line.c_str(), s), 0) << line;
    return s;
}

// A 10 mm square cut counter-clockwise, entered from (0, 0) at the middle of its bottom side.
const Lines kSquare = {
    "N0 G92 X0.000 Y0.000;",  "N1 G01 X5.000 Y0.000;",  "N2 G01 X10.000 Y0.000;", "N3 G01 X0.000 Y10.000;",
    "N4 G01 X-10.000 Y0.000;", "N5 G01 X0.000 Y-10.000;", "N6 G01 X-5.000 Y0.000;", "N7 M02;",
};

TEST(TaperOneGraph, DegreeZeroGivesTheSameContourAndEmptyCellsTakeTheRowAbove) {
    const Lines flat = generate(kSquare, rowsOf(kSquare, "0.000"));
    ASSERT_EQ(flat.size(), kSquare.size());
    for (size_t i = 0; i < flat.size(); ++i) {
        const IsoStatement a = statementOf(flat[i]), b = statementOf(kSquare[i]);
        EXPECT_EQ(a.code, b.code) << i;
        EXPECT_EQ(a.x, b.x) << i;
        EXPECT_EQ(a.y, b.y) << i;
    }
    std::vector<TaperRow> rows = rowsOf(kSquare, "");
    rows[2].degreeCell = "5";
    std::vector<TaperRow> all = rowsOf(kSquare, "5");
    all[0].degreeCell = all[1].degreeCell = "0";  // before the first number: 0 (leads stay anyway)
    EXPECT_EQ(generate(kSquare, rows), generate(kSquare, all));
}

TEST(TaperOneGraph, EachLineMovesByItsOwnOffsetAndTheThicknessIsTheCardsTenth) {
    // 45 degrees on the top side only: tan 45 * 10 = 10 mm outward there, 0 elsewhere.
    std::vector<TaperRow> rows = rowsOf(kSquare, "0");
    rows[4].degreeCell = "45";
    rows[5].degreeCell = "0";
    const Lines out = generate(kSquare, rows);
    // The right side runs on up to y = 20, where the top side lies now.
    EXPECT_EQ(statementOf(out[3]).y, 20000);
    EXPECT_EQ(statementOf(out[4]).x, -10000);
    EXPECT_EQ(statementOf(out[5]).y, -20000);

    // One Graph uses trunc(width * 10) / 10: 10.09 mm acts as 10.0.
    TaperDialogValues v;
    v.width = 10.09;
    Lines upper, lower, upperExact, lowerExact;
    std::string error;
    int bad = -1;
    ASSERT_EQ(oneGraph(kSquare, true, rowsOf(kSquare, "5"), v, upper, lower, error, bad), 0) << error;
    v.width = 10.0;
    ASSERT_EQ(oneGraph(kSquare, true, rowsOf(kSquare, "5"), v, upperExact, lowerExact, error, bad), 0);
    EXPECT_EQ(upper, upperExact);
    EXPECT_EQ(lower, kSquare);
    // The other direction offsets the given (upper) contour the same way.
    ASSERT_EQ(oneGraph(kSquare, false, rowsOf(kSquare, "5"), v, upper, lower, error, bad), 0);
    EXPECT_EQ(lower, upperExact);
}

TEST(TaperOneGraph, BadDegreeCellsNameTheirRow) {
    for (const char* cell : {"90", "-89.9991", "abc", "5x", "nan"}) {
        std::vector<TaperRow> rows = rowsOf(kSquare, "1");
        rows[4].degreeCell = cell;
        Lines out;
        int bad = -1;
        EXPECT_EQ(generateTaperContour(kSquare, rows, 10, 0, out, bad), -1) << cell;
        EXPECT_EQ(bad, 4) << cell;
    }
    TaperDialogValues v;
    v.width = 10;
    std::vector<TaperRow> rows = rowsOf(kSquare, "1");
    rows[2].degreeCell = "x";
    Lines upper, lower;
    std::string error;
    int bad = -1;
    EXPECT_EQ(oneGraph(kSquare, true, rows, v, upper, lower, error, bad), -1);
    EXPECT_EQ(error, "Upper graph generated failed");
    EXPECT_EQ(oneGraph(kSquare, false, rows, v, upper, lower, error, bad), -1);
    EXPECT_EQ(error, "Below graph generated failed");
}

TEST(TaperOneGraph, AContourEnteredAtACornerKeepsTheCorner) {
    // Entered at the corner (5, -20) of a 40 mm square; 45 degrees on 1 mm: 1 mm outward.
    const Lines square = {
        "N0 G92 X0.000 Y0.000;",   "N1 G01 X5.000 Y-20.000;", "N2 G01 X40.000 Y0.000;",
        "N3 G01 X0.000 Y40.000;",  "N4 G01 X-40.000 Y0.000;", "N5 G01 X0.000 Y-40.000;",
        "N6 G01 X-5.000 Y20.000;", "N7 M02;",
    };
    const Lines out = generate(square, rowsOf(square, "45"), 1.0);
    // The lead-in ends on the moved corner (4, -21), not where it crosses the moved bottom side.
    EXPECT_EQ(statementOf(out[1]).x, 4000);
    EXPECT_EQ(statementOf(out[1]).y, -21000);
    EXPECT_EQ(statementOf(out[2]).x, 42000);
    EXPECT_EQ(statementOf(out[5]).y, -42000);
    EXPECT_EQ(statementOf(out[6]).x, -4000);
}

// The square (5, 5)-(15, 15) with an arc of radius r at its top right corner, entered at the
// middle of its bottom side: right side, arc (line 4), top side.
Lines roundedCorner(double r) {
    char arc[80], right[60], top[60];
    std::snprintf(right, sizeof right, "N3 G01 X0.000 Y%.3f;", 10 - r);
    std::snprintf(arc, sizeof arc, "N4 G03 X%.3f Y%.3f I%.3f J0.000;", -r, r, -r);
    std::snprintf(top, sizeof top, "N5 G01 X%.3f Y0.000;", -(10 - r));
    return {"N0 G92 X0.000 Y0.000;", "N1 G01 X10.000 Y5.000;", "N2 G01 X5.000 Y0.000;", right, arc, top,
            "N6 G01 X0.000 Y-10.000;", "N7 G01 X5.000 Y0.000;", "N8 G01 X-10.000 Y-5.000;", "N9 M02;"};
}

TEST(TaperOneGraph, SmallArcsBelowRminKeepTheirRadiusUnlessFlaggedNer) {
    const Lines given = roundedCorner(0.3);
    const double d = std::tan(10 * 3.1415926535 / 180) * 10;
    auto radiusOf = [](const std::string& line) {
        const IsoStatement s = statementOf(line);
        return std::hypot(s.i, s.j) / 1000.0;
    };
    EXPECT_NEAR(radiusOf(generate(given, rowsOf(given, "10"), 10, 0.5)[4]), 0.3, 0.002);
    std::vector<TaperRow> ner = rowsOf(given, "10");
    ner[4].flag = kTaperFlagNer;
    EXPECT_NEAR(radiusOf(generate(given, ner, 10, 0.5)[4]), 0.3 + d, 0.002);
    // ER keeps even a large arc.
    const Lines big = roundedCorner(3);
    std::vector<TaperRow> er = rowsOf(big, "10");
    er[4].flag = kTaperFlagEr;
    const Lines kept = generate(big, er, 10, 0);
    EXPECT_NEAR(radiusOf(kept[4]), 3, 0.002);
    // Moved by the corner's displacement (d, d): the right side now ends d + 3 - 3 higher.
    EXPECT_NEAR(statementOf(kept[3]).y / 1000.0, 7 + d + d, 0.002);
}

TEST(TaperOneGraph, AKeptArcNextToAnArcStaysJoinedToBothOffsetNeighbours) {
    // Right side x = 15 up to (15, 12), kept arc r 3 round (12, 12), then an arc of radius 10
    // round (12, 5) to (2, 5); entered at (10, 5) on the bottom side.
    const Lines given = {"N0 G92 X0.000 Y0.000;",        "N1 G01 X10.000 Y5.000;",
                         "N2 G01 X5.000 Y0.000;",        "N3 G01 X0.000 Y7.000;",
                         "N4 G03 X-3.000 Y3.000 I-3.000 J0.000;", "N5 G03 X-10.000 Y-10.000 I0.000 J-10.000;",
                         "N6 G01 X8.000 Y0.000;",        "N7 G01 X-10.000 Y-5.000;",
                         "N8 M02;"};
    std::vector<TaperRow> rows = rowsOf(given, "10");
    rows[4].flag = kTaperFlagEr;
    const Lines out = generate(given, rows);
    const double d = std::tan(10 * 3.1415926535 / 180) * 10;
    // The new centre lies 3 inside the moved right side (x = 12 + d) and 3 inside the moved big
    // circle (radius 7 + d round (12, 5)).
    const double cy = 5 + std::sqrt((7 + d) * (7 + d) - d * d);
    const IsoStatement right = statementOf(out[3]), arc = statementOf(out[4]), big = statementOf(out[5]);
    EXPECT_NEAR(right.y / 1000.0, cy - (5 - d), 0.002);
    EXPECT_NEAR(arc.i / 1000.0, -3, 0.002);
    EXPECT_NEAR(arc.j / 1000.0, 0, 0.002);
    EXPECT_NEAR(std::hypot(big.i, big.j) / 1000.0, 10 + d, 0.002);
}

TEST(TaperOneGraph, JumpPausesAreRewrittenAndEachContourIsOffsetOnItsOwn) {
    const Lines given = {
        "N0 G92 X0.000 Y0.000;",   "N1 G01 X5.000 Y0.000;",  "N2 G01 X10.000 Y0.000;",
        "N3 G01 X0.000 Y10.000;",  "N4 G01 X-10.000 Y0.000;", "N5 G01 X0.000 Y-10.000;",
        "N6 G01 X-5.000 Y0.000;",  "N7 M00 ;",                "N8 G01 X50.000 Y0.000;",
        "N9 M00 ;",                "N10 G01 X5.000 Y0.000;", "N11 G01 X10.000 Y0.000;",
        "N12 G01 X0.000 Y10.000;", "N13 G01 X-10.000 Y0.000;", "N14 G01 X0.000 Y-10.000;",
        "N15 G01 X-5.000 Y0.000;", "N16 M02;",
    };
    const Lines out = generate(given, rowsOf(given, "45"), 1.0);
    ASSERT_EQ(out.size(), given.size());
    EXPECT_EQ(out[7], "N7 M00;");
    EXPECT_EQ(out[9], "N9 M00;");
    EXPECT_EQ(statementOf(out[8]).x, 50000);
    EXPECT_EQ(statementOf(out[2]).x, 12000);
    EXPECT_EQ(statementOf(out[11]).x, 12000);
    EXPECT_EQ(statementOf(out[16]).code, IsoCode::kM02);
}

TEST(TaperTwoGraphs, LineCountsAndKindsMustAgree) {
    std::string error;
    Lines upper = kSquare;
    EXPECT_EQ(twoGraphs(kSquare, upper, error), 0);
    upper.insert(upper.begin() + 3, "N3 G01 X0.000 Y1.000;");
    EXPECT_EQ(twoGraphs(kSquare, upper, error), -1);
    EXPECT_EQ(error, "The upper and below graphs have different segments");
    upper = kSquare;
    upper[3] = "N3 M00;";
    EXPECT_EQ(twoGraphs(kSquare, upper, error), -1);
    EXPECT_EQ(error, "The upper and below graphs have different segments");
}

TEST(TaperFile, ReopenedFileHoldsTheTypedValuesAndBothContours) {
    TaperDialogValues v{50, 20.5, 10.25, 0.3, 1.001, 0};
    Lines upper, lower;
    std::string error;
    int bad = -1;
    ASSERT_EQ(oneGraph(kSquare, true, rowsOf(kSquare, "1.001"), v, upper, lower, error, bad), 0) << error;
    const std::string text = taperFileText(v, upper, lower);
    EXPECT_EQ(text.substr(0, 41), std::string(40, '*') + "\n");
    LoadedProgram p;
    LoadFailure f;
    ASSERT_EQ(loadProgramText(text, "/p/sq.iso.3nb", {}, p, f), 0) << f.message;
    EXPECT_EQ(p.kind, 3);
    EXPECT_EQ(p.segments.size(), kSquare.size());
    EXPECT_EQ(p.taper.heightX10, 500);
    EXPECT_EQ(p.taper.widthX10, 205);
    EXPECT_EQ(p.taper.baseX10, 102);
    EXPECT_EQ(p.taper.radiusX10, 3);
    EXPECT_EQ(p.taper.angleX1000, 1001);

    EXPECT_EQ(oneGraphPath("/d/part.iso"), "/d/part.iso.3nb");
    EXPECT_EQ(twoGraphsPath("/d/low.iso", "/e/up.iso"), "/d/low.iso_up.iso.3nb");
}

TEST(TaperFile, WritingReplacesTheFileWholeOrNotAtAll) {
    char dir[] = "/tmp/taper_test_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/a.3nb";
    ASSERT_EQ(writeTaperFile(path, "first\n"), 0);
    ASSERT_EQ(writeTaperFile(path, "second\n"), 0);
    std::string read;
    FILE* f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char buf[32] = {};
    read = std::fgets(buf, sizeof buf, f) ? buf : "";
    std::fclose(f);
    EXPECT_EQ(read, "second\n");
    EXPECT_EQ(writeTaperFile(std::string(dir) + "/missing/a.3nb", "x"), -1);
    // A title the controller would refuse to open is refused before anything is written.
    const std::string longName = std::string(dir) + "/" + std::string(60, 'p') + ".3nb";
    EXPECT_EQ(writeTaperFile(longName, "x"), -2);
    EXPECT_EQ(access(longName.c_str(), F_OK), -1);
    std::remove(path.c_str());
    EXPECT_EQ(rmdir(dir), 0) << "no temporary file left behind";
}

// Random convex polygons entered mid-side, random angles per line: every generated side lies
// at its line's offset from the given side.
TEST(TaperOneGraph, PropertyGeneratedSidesLieAtTheirOffsets) {
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> angle(-20, 20);
    std::uniform_int_distribution<int> sides(3, 9);
    int checked = 0;
    for (int round = 0; round < 100; ++round) {
        const int n = sides(rng);
        std::vector<double> px, py;
        const double start = std::uniform_real_distribution<double>(0, 0.5)(rng);
        for (int k = 0; k < n; ++k) {
            const double a = 2 * M_PI * (k + start + 0.3 * std::uniform_real_distribution<double>(0, 1)(rng)) / n;
            px.push_back(std::round(30 * std::cos(a) * 1000) / 1000);
            py.push_back(std::round(30 * std::sin(a) * 1000) / 1000);
        }
        // Lead-in from the centre to the middle of side 0 (vertex 0 to 1), then round.
        const double mx = std::round((px[0] + px[1]) / 2 * 1000) / 1000, my = std::round((py[0] + py[1]) / 2 * 1000) / 1000;
        Lines lines = {"N0 G92 X0.000 Y0.000;"};
        char buf[96];
        auto add = [&](double dx, double dy) {
            std::snprintf(buf, sizeof buf, "N%d G01 X%.3f Y%.3f;", static_cast<int>(lines.size()), dx, dy);
            lines.push_back(buf);
        };
        std::vector<double> ax = {0, mx}, ay = {0, my};  // absolute ends, from the start
        add(mx, my);
        for (int k = 1; k <= n; ++k) {
            const int v = (k) % n;
            const double tx = px[static_cast<size_t>(v)], ty = py[static_cast<size_t>(v)];
            add(tx - ax.back(), ty - ay.back());
            ax.push_back(tx), ay.push_back(ty);
        }
        add(mx - ax.back(), my - ay.back());
        ax.push_back(mx), ay.push_back(my);
        add(-mx, -my);
        ax.push_back(0), ay.push_back(0);
        lines.push_back("N" + std::to_string(lines.size()) + " M02;");

        std::vector<TaperRow> rows = rowsOf(lines, "");
        std::vector<double> offsets(lines.size(), 0);
        double deg = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i % 2 == 1) {
                deg = std::round(angle(rng) * 1000) / 1000;
                std::snprintf(buf, sizeof buf, "%.3f", deg);
                rows[i].degreeCell = buf;
            }
            offsets[i] = std::tan(deg * 3.1415926535 / 180) * 5;
        }
        Lines out;
        int bad = -1;
        if (generateTaperContour(lines, rows, 5, 0, out, bad) != 0) continue;  // a side swallowed
        ++checked;
        ASSERT_EQ(out.size(), lines.size());
        double x = 0, y = 0;
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            const IsoStatement s = statementOf(out[i]);
            const double sx = x, sy = y;
            x += s.x / 1000.0, y += s.y / 1000.0;
            if (i == 1 || i + 2 == lines.size()) continue;  // leads
            // Signed distance to the right of the given side from (ax[i-1], ay[i-1]) to (ax[i], ay[i]).
            const double dx = ax[i] - ax[i - 1], dy = ay[i] - ay[i - 1], len = std::hypot(dx, dy);
            for (auto [qx, qy] : {std::pair{sx, sy}, std::pair{x, y}}) {
                const double right = ((qx - ax[i - 1]) * dy - (qy - ay[i - 1]) * dx) / len;
                EXPECT_NEAR(right, offsets[i], 0.002) << "round " << round << " line " << i;
            }
        }
        EXPECT_NEAR(x, 0, 1e-9);
        EXPECT_NEAR(y, 0, 1e-9);
    }
    EXPECT_GE(checked, 90);
}

}  // namespace
}  // namespace korvex
