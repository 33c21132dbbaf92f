#include "code/transform.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "code/iso.h"
#include "code/kind.h"
#include "code/loader.h"
#include "code/parse.h"
#include "code/writer.h"

namespace korvex {
namespace {

ProgramLines makeLines(const std::vector<std::string>& texts) {
    ProgramLines lines;
    EXPECT_EQ(lines.allocate(static_cast<int>(texts.size()) * 2 + 1), 0);
    for (const std::string& t : texts) lines.append(t);
    return lines;
}

std::vector<std::string> texts(const ProgramLines& lines) {
    std::vector<std::string> out;
    for (int i = 0; i < lines.count; ++i) out.emplace_back(lines.line(i));
    return out;
}

std::vector<std::string> transformed(const std::vector<std::string>& program, int kind,
                                     Transform t, int expectedResult = 0) {
    std::vector<std::string> out;
    EXPECT_EQ(transformToLines(makeLines(program), kind, t, out), expectedResult);
    return out;
}

// The segments a program's lines parse into (without step counting).
std::vector<CodeSegment> segmentsOf(const std::vector<std::string>& program, int kind) {
    std::vector<CodeSegment> segments;
    for (const std::string& line : program) {
        if (line.empty()) continue;  // a dropped group switch; the reader skips it too
        CodeSegment s;
        EXPECT_EQ(parseLine(line.c_str(), kind, s, false), 0) << line;
        segments.push_back(s);
    }
    return segments;
}

// A random one-contour ISO program: start, moves and arcs (ends on their circles), pauses, the
// end. With `closed`, a last move returns to the start.
std::vector<std::string> randomProgram(std::mt19937& rng, bool closed, bool withSwitch = false) {
    std::uniform_int_distribution<int32_t> coord(-20000, 20000);
    std::uniform_real_distribution<double> angle(0, 2 * M_PI);
    std::vector<std::string> p{isoStartLine(0)};
    int64_t x = 0, y = 0;
    const int moves = 1 + static_cast<int>(rng() % 15);
    for (int k = 0; k < moves; ++k) {
        const int n = static_cast<int>(p.size());
        const unsigned what = rng() % 8;
        if (what < 3) {
            const int32_t dx = coord(rng), dy = coord(rng);
            p.push_back(isoMoveLine(n, what == 0 ? "G00" : "G01", dx, dy));
            x += dx, y += dy;
        } else if (what < 7) {
            const int32_t i = coord(rng), j = coord(rng);
            const double r = std::hypot(i, j);
            const double a = angle(rng);
            const int32_t ex = static_cast<int32_t>(std::lround(r * std::cos(a)));
            const int32_t ey = static_cast<int32_t>(std::lround(r * std::sin(a)));
            // End relative to the start = end relative to the centre + centre relative to start.
            p.push_back(isoArcLine(n, what < 5 ? "G02" : "G03", ex + i, ey + j, i, j));
            x += ex + i, y += ey + j;
        } else {
            p.push_back(isoPauseLine(n));
        }
        if (withSwitch && k == 0) p.push_back(std::to_string(p.size()).insert(0, "N") + " T17 E3F1;");
    }
    if (closed) {
        p.push_back(isoMoveLine(static_cast<int>(p.size()), "G01", static_cast<int32_t>(-x),
                                static_cast<int32_t>(-y)));
    }
    p.push_back(isoEndLine(static_cast<int>(p.size())));
    return p;
}

// ---------------------------------------------------------------------------------------------
// Single statements

TEST(Transforms, LinesAndArcsMapAsTheirModesSay) {
    struct Case { Transform t; const char* in; const char* out; };
    const Case cases[] = {
        {Transform::kForwardFlip, "N1 G01 X1.000 Y2.000;", "N1 G01 X2.000 Y-1.000;"},
        {Transform::kReverseFlip, "N1 G01 X1.000 Y2.000;", "N1 G01 X-2.000 Y1.000;"},
        {Transform::kVerticalMirror, "N1 G02 X1.000 Y1.000 I1.000 J0.000;",
         "N1 G03 X1.000 Y-1.000 I1.000 J0.000;"},
        {Transform::kHorizontalMirror, "N1 G03 X1.000 Y1.000 I1.000 J0.000;",
         "N1 G02 X-1.000 Y1.000 I-1.000 J0.000;"},
        {Transform::kForwardFlip, "N1 G02 X1.000 Y1.000 I1.000 J0.000;",
         "N1 G02 X1.000 Y-1.000 I0.000 J-1.000;"},  // rotations keep the direction
        {Transform::kVerticalMirror, "N77 G00 X0.500 Y-0.250;", "N1 G00 X0.500 Y0.250;"},
        {Transform::kVerticalMirror, "N1 G92 X5.000 Y5.000;", "N1 G92;"},
        {Transform::kVerticalMirror, "M00", "N1 M00;"},
        {Transform::kForwardFlip, "N9 T17 E3F1;", "N9 T17 E3F1;"},  // switches stay as written
    };
    for (const Case& c : cases) {
        const auto out = transformed({"N0 G92 X0.000 Y0.000;", c.in}, kKindIso, c.t);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0], "N0 G92;");
        EXPECT_EQ(out[1], c.out) << c.in;
    }
}

TEST(Transforms, ReversalKeepsStartAndEndAndRunsTheMovesBackward) {
    EXPECT_EQ(transformed({"N0 G92 X0.000 Y0.000;", "N1 G01 X1.000 Y-2.000;", "N2 M02;"},
                          kKindIso, Transform::kReverse),
              (std::vector<std::string>{"N0 G92 X0.000 Y0.000;", "N1 G01 X-1.000 Y2.000;",
                                        "N2 M02;"}));
    EXPECT_EQ(transformed({"N0 G92 X0.000 Y0.000;", "N1 G02 X1.000 Y1.000 I1.000 J0.000;",
                           "N2 T17 E1F2;", "N3 M00;", "N4 G01 X3.000 Y0.000;", "N5 M02;"},
                          kKindIsoSwitches, Transform::kReverse),
              (std::vector<std::string>{"N0 G92 X0.000 Y0.000;", "N1 G01 X-3.000 Y0.000;",
                                        "N2 M00;", "", "N4 G03 X-1.000 Y-1.000 I0.000 J-1.000;",
                                        "N5 M02;"}));
    // The start line of a normalised 3B program still carries its line end.
    EXPECT_EQ(transformed({"Start Point32  =  0, 0;      X, Y\n", "N1 M02;"}, kKindIso,
                          Transform::kReverse),
              (std::vector<std::string>{"Start Point32  =  0, 0;      X, Y", "N1 M02;"}));
}

TEST(Transforms, TwoContourProgramsReverseBothHalvesButDoNotRotate) {
    const std::vector<std::string> program{
        "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;",
        "N1 G01 X1.000 Y0.000; N1 G02 X1.000 Y1.000 I1.000 J0.000;",
        "N2 T17 E1F2; N2 T17 E1F2;",
        "N3 M02; N3 M02;"};
    EXPECT_EQ(transformed(program, kKindTwoContourSwitches, Transform::kReverse),
              (std::vector<std::string>{
                  "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;", "",
                  "N2 G01 X-1.000 Y0.000;N2 G03 X-1.000 Y-1.000 I0.000 J-1.000;",
                  "N3 M02; N3 M02;"}));
    for (Transform t : {Transform::kVerticalMirror, Transform::kHorizontalMirror,
                        Transform::kReverseFlip, Transform::kForwardFlip}) {
        transformed(program, kKindTwoContour, t, kTransformNotSupported);
        transformed(program, kKindTwoContourSwitches, t, kTransformNotSupported);
    }
    // A line without its second program cannot be reversed.
    transformed({"N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;", "N1 G01 X1.000 Y0.000",
                 "N2 M02; N2 M02;"},
                kKindTwoContour, Transform::kReverse, kTransformLineFailed);
}

TEST(Transforms, ALineThatDoesNotParseLeavesTheProgramUntouched) {
    const std::vector<std::string> program{"N0 G92 X0.000 Y0.000;", "N1 G01 X1.000 Y1.000;",
                                           "N2 G90 X1 Y1;", "N3 M02;"};
    for (Transform t : {Transform::kVerticalMirror, Transform::kForwardFlip, Transform::kReverse}) {
        ProgramLines lines = makeLines(program);
        EXPECT_EQ(transformLines(lines, kKindIso, t), kTransformLineFailed);
        EXPECT_EQ(texts(lines), program);
    }
}

// ---------------------------------------------------------------------------------------------
// Output files

TEST(TransformOutput, SuffixReplacesAnEarlierTransformsSuffix) {
    struct Case { const char* source; Transform t; int kind; bool header; const char* out; };
    const Case cases[] = {
        {"/w/part.iso", Transform::kForwardFlip, 1, false, "/w/part.iso@_@_tm.iso"},
        {"/w/part.iso", Transform::kReverseFlip, 1, false, "/w/part.iso@_@_tn.iso"},
        {"/w/part.3b", Transform::kVerticalMirror, 1, false, "/w/part.3b@_@_tx.iso"},
        {"/w/part.3b@_@_tx.iso", Transform::kVerticalMirror, 1, false, "/w/part.3b@_@_tx.iso"},
        {"/w/part.iso@_@_tm.iso", Transform::kHorizontalMirror, 4, false, "/w/part.iso@_@_ty.iso"},
        {"/w/part.iso", Transform::kReverse, 1, false, "/w/part.iso@_@_Rvs.iso"},
        {"/w/cone.3nb", Transform::kReverse, 3, true, "/w/cone.3nb@_@_Rvs.3nb"},
        {"/w/cone.iso", Transform::kReverse, 3, false, "/w/cone.iso@_@_Rvs.iso"},
        {"/w/cone.3nb", Transform::kReverse, 5, true, "/w/cone.3nb@_@_Rvs.iso"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(transformOutputPath(c.source, c.t, c.kind, c.header), c.out) << c.source;
    }
}

class TransformFiles : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/korvex-transform-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
        rmdir(dir_.c_str());
    }
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = track(dir_ + "/" + name);
        std::FILE* f = std::fopen(path.c_str(), "w");
        std::fputs(text.c_str(), f);
        std::fclose(f);
        return path;
    }
    std::string track(const std::string& path) {
        files_.push_back(path);
        return path;
    }
    static LoadedProgram load(const std::string& path) {
        LoadedProgram p;
        LoadFailure failure;
        EXPECT_EQ(loadProgram(path.c_str(), LoadOptions{}, p, failure), 0)
            << path << ": " << failure.message;
        return p;
    }

    std::string dir_;
    std::vector<std::string> files_;
};

TEST_F(TransformFiles, MirroredProgramIsWrittenBesideItsSourceAndLoads) {
    const std::string source = write("part.iso",
                                     "N0 G92 X0.000 Y0.000;\nN1 G01 X1.000 Y2.000;\n"
                                     "N2 G02 X1.000 Y1.000 I1.000 J0.000;\nN3 M02;\n");
    const LoadedProgram original = load(source);
    std::string outPath;
    ASSERT_EQ(transformProgramFile(source.c_str(), original.lines, original.kind,
                                   Transform::kVerticalMirror, outPath), 0);
    EXPECT_EQ(outPath, track(source + "@_@_tx.iso"));
    const LoadedProgram mirrored = load(outPath);
    ASSERT_EQ(mirrored.segments.size(), 4u);
    EXPECT_EQ(mirrored.segments[2].lower.kind, kElementArcCcw);
    EXPECT_EQ(mirrored.extents.minY, -original.extents.maxY);

    // The source's lines are not touched; a folder that does not exist cannot take the file.
    EXPECT_STREQ(original.lines.line(1), "N1 G01 X1.000 Y2.000;");
    EXPECT_EQ(transformProgramFile((dir_ + "/none/part.iso").c_str(), original.lines,
                                   original.kind, Transform::kVerticalMirror, outPath),
              kTransformWriteFailed);
}

TEST_F(TransformFiles, ReversedTaperProgramKeepsItsHeaderAndLoads) {
    const std::string source = write(
        "cone.3nb",
        "****************************************\n"
        "Korvex -Version 2.0 -Type ZD -Height 50.000 -Width 30.000 -Base 10.000 -R 0.000 "
        "-Degree 1.500\n"
        "****************************************\n"
        "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
        "N1 G01 X1.000 Y0.000; N1 G01 X2.000 Y0.000;\n"
        "N2 G01 X-1.000 Y0.000; N2 G01 X-2.000 Y0.000;\n"
        "N3 M02; N3 M02;\n");
    const LoadedProgram original = load(source);
    ASSERT_EQ(original.kind, kKindTwoContour);
    std::string outPath;
    ASSERT_EQ(transformProgramFile(source.c_str(), original.lines, original.kind,
                                   Transform::kReverse, outPath), 0);
    EXPECT_EQ(outPath, track(source + "@_@_Rvs.3nb"));
    const LoadedProgram reversed = load(outPath);
    EXPECT_EQ(reversed.kind, kKindTwoContour);
    EXPECT_TRUE(reversed.taper.present);
    EXPECT_EQ(reversed.taper.heightX10, original.taper.heightX10);
    ASSERT_EQ(reversed.segments.size(), 4u);
    EXPECT_EQ(reversed.segments[1].upper.endX, 1000);
    EXPECT_EQ(reversed.segments[1].lower.endX, 2000);
}

// ---------------------------------------------------------------------------------------------
// Round trips over many programs

TEST(TransformRoundTrips, MirrorsTwiceFlipsBothWaysAndReversalTwiceRestoreTheSegments) {
    std::mt19937 rng(42);
    for (int k = 0; k < 300; ++k) {
        const auto program = randomProgram(rng, false);
        const auto segments = segmentsOf(program, kKindIso);
        SCOPED_TRACE(program[1]);
        for (Transform t : {Transform::kVerticalMirror, Transform::kHorizontalMirror}) {
            EXPECT_EQ(segmentsOf(transformed(transformed(program, 1, t), 1, t), 1), segments);
        }
        EXPECT_EQ(segmentsOf(transformed(transformed(program, 1, Transform::kForwardFlip), 1,
                                         Transform::kReverseFlip), 1),
                  segments);
        EXPECT_EQ(segmentsOf(transformed(transformed(program, 1, Transform::kReverse), 1,
                                         Transform::kReverse), 1),
                  segments);
        // Four quarter turns the same way are the identity too.
        auto turned = program;
        for (int q = 0; q < 4; ++q) turned = transformed(turned, 1, Transform::kForwardFlip);
        EXPECT_EQ(segmentsOf(turned, 1), segments);
    }
}

TEST(TransformRoundTrips, TransformedExtentsAreTheMappedExtents) {
    std::mt19937 rng(7);
    for (int k = 0; k < 300; ++k) {
        const auto program = randomProgram(rng, true, k % 5 == 0);
        const int kind = k % 5 == 0 ? kKindIsoSwitches : kKindIso;
        const auto segs = segmentsOf(program, kind);
        const Extents e = programExtents(segs.data(), static_cast<int>(segs.size()));
        auto extentsAfter = [&](Transform t) {
            const auto s = segmentsOf(transformed(program, kind, t), kind);
            return programExtents(s.data(), static_cast<int>(s.size()));
        };
        // Boxes as {minX, maxX, minY, maxY}; each transform maps the original box's corners.
        using Box = std::array<int32_t, 4>;
        auto box = [](const Extents& x) { return Box{x.minX, x.maxX, x.minY, x.maxY}; };
        auto boxAfter = [&](Transform t) { return box(extentsAfter(t)); };
        EXPECT_EQ(boxAfter(Transform::kVerticalMirror), (Box{e.minX, e.maxX, -e.maxY, -e.minY}));
        EXPECT_EQ(boxAfter(Transform::kHorizontalMirror), (Box{-e.maxX, -e.minX, e.minY, e.maxY}));
        EXPECT_EQ(boxAfter(Transform::kForwardFlip), (Box{e.minY, e.maxY, -e.maxX, -e.minX}));
        EXPECT_EQ(boxAfter(Transform::kReverseFlip), (Box{-e.maxY, -e.minY, e.minX, e.maxX}));
        // A closed program reversed runs the same path the other way round; an arc's radius is
        // now measured from its old end, which lies within a micron of its circle.
        const Extents b = extentsAfter(Transform::kReverse);
        EXPECT_NEAR(b.minX, e.minX, 1);
        EXPECT_NEAR(b.maxX, e.maxX, 1);
        EXPECT_NEAR(b.minY, e.minY, 1);
        EXPECT_NEAR(b.maxY, e.maxY, 1);
    }
}

}  // namespace
}  // namespace korvex
