#include "code/loader.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "code/step.h"

namespace korvex {
namespace {

struct Loaded {
    int result;
    LoadedProgram program;
    LoadFailure failure;
};

Loaded load(const std::string& text, LoadOptions options = {}, const char* path = "prog.iso") {
    Loaded l;
    l.result = loadProgramText(text, path, options, l.program, l.failure);
    return l;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(Loader, ReportsEachFailureWithTheOperatorsMessage) {
    struct Case { std::string text; LoadStatus status; std::string message; };
    const Case cases[] = {
        {"", LoadStatus::kCannotOpen, "The following file can't be opened:\nprog.iso"},
        {"N0 G92 X0 Y0;\nN1 G01 X1 Y1;\n", LoadStatus::kNoEnd, "Code error:No end"},
        {"B 1 B 0 B 1 GX L1\nB 1 B 0 B 1 GX L1\n", LoadStatus::kNoEnd, "Code error:No end"},
        {"GDMT\n", LoadStatus::kUnknownCode, "Unknown Code"},
        {"B 1 B 0 GX L1\nDD\n", LoadStatus::kTranslateFailed, "3B translated failed!"},
        {"N0 G92 X0 Y0;\nN1 M00;\nN2 G01 X1;\nN3 M00;\nN4 M02;\n", LoadStatus::kTooManyJumps,
         "File is error or contained too many jump segments!"},
        {"N0 G92 X0 Y0;\nN1 G01 X1 Y1;\nN2 G05 X1 Y1;\nN3 M02;\n", LoadStatus::kLineFailed,
         "File opened failed!\nCode:  2  N2 G05 X1 Y1;\n"},
        // An arc whose end lies off its circle fails its line instead of stepping for ever.
        {"N0 G92 X0 Y0;\nN1 G02 X0.5 Y0 I1 J0;\nN2 M02;\n", LoadStatus::kLineFailed,
         "File opened failed!\nCode:  1  N1 G02 X0.5 Y0 I1 J0;\n"},
        {"N0 G92 X0 Y0;\n" + repeat("N1 M00;\nN2 G01 X1 Y0;\nN3 M00;\n", 501) + "N9 M02;\n",
         LoadStatus::kTooManyJumps, "File is error or contained too many jump segments!"},
        {"N0 G92 X0 Y0;\n" + repeat("N1 T17 E1F1;\n", 3001) + "N9 M02;\n", LoadStatus::kTooManySwitches,
         "File is error or contained too many switch-freq segments!"},
        {"N0 G92 X0 Y0;\nN1 M02;\n", LoadStatus::kBadTaperHeader, "Format error,invalid taper file!"},
    };
    for (const Case& c : cases) {
        const char* path = c.status == LoadStatus::kBadTaperHeader ? "part.3nb" : "prog.iso";
        const Loaded l = load(c.text, {}, path);
        EXPECT_EQ(l.result, -1) << c.message;
        EXPECT_EQ(l.failure.status, c.status) << c.message;
        EXPECT_EQ(l.failure.message, c.message);
        EXPECT_EQ(l.program.segments.size(), 0u);
    }

    LoadedProgram program;
    LoadFailure failure;
    EXPECT_EQ(loadProgram("/nonexistent/part.3b", {}, program, failure), -1);
    EXPECT_EQ(failure.message, "The following file can't be opened:\n/nonexistent/part.3b");
}

TEST(Loader, LimitsAreInclusive) {
    EXPECT_EQ(load("N0 G92 X0 Y0;\n" + repeat("N1 M00;\nN2 G01 X1 Y0;\nN3 M00;\n", 500) + "N9 M02;\n").result, 0);
    const Loaded l = load("N0 G92 X0 Y0;\n" + repeat("N1 T17 E1F1;\n", 3000) + "N9 M02;\n");
    ASSERT_EQ(l.result, 0);
    EXPECT_EQ(l.program.switches.size(), 3000u);
}

TEST(Loader, LoadsA3BProgramAsIso) {
    LoadOptions keepSource;
    keepSource.keepSourceLines = true;
    const Loaded l = load(
        "****************************************\n"
        "Start Point  =  1.000 , 2.000 ;\n"
        "N    1: B     5000 B        0 B     5000 GX  L1;\n"
        "N    2: B     5000 B        0 B    10000 GY  NR1;\n"
        "N    3: B     4999 B        0 B     4999 GX  L1;\n"
        "N    4: D\n",
        keepSource, "part.3b");
    ASSERT_EQ(l.result, 0) << l.failure.message;
    const LoadedProgram& p = l.program;
    EXPECT_EQ(p.kind, kKind3B);
    ASSERT_EQ(p.lines.count, 5);
    EXPECT_STREQ(p.lines.line(0), "N0 G92 X0.000 Y0.000;");
    EXPECT_STREQ(p.lines.line(2), "N2 G03 X-10.000 Y0.000 I-5.000 J0.000;");
    EXPECT_STREQ(p.lines.line(3), "N3 G01 X5.000 Y0.000;");  // lead-out closed onto the start
    EXPECT_STREQ(p.lines.line(4), "N4 M02;");
    EXPECT_STREQ(p.sourceLines.line(4), "N    4: DD");
    EXPECT_EQ(p.segments[1].lower.steps, 5000);
    EXPECT_EQ(p.segments[2].lower.steps, countSteps(p.segments[2].lower));
    int64_t total = 0;
    for (const CodeSegment& s : p.segments) total += s.lower.steps;
    EXPECT_EQ(p.totalSteps, total);
    // The half circle about the start is drawn as its full circle.
    EXPECT_EQ(p.extents.minX, -5000);
    EXPECT_EQ(p.extents.maxX, 5000);
    EXPECT_EQ(p.extents.minY, -5000);
    EXPECT_EQ(p.extents.maxY, 5000);
}

TEST(Loader, ForceZeroRunsOnlyOnOneContourProgramsWithoutSwitchesAndCanBeSkipped) {
    const std::string iso = "N0 G92 X0 Y0;\nN1 G01 X1 Y0;\nN2 G01 X0 Y1;\nN3 G01 X-1 Y0;\nN4 G01 X0 Y-0.9;\nN5 M02;\n";
    EXPECT_STREQ(load(iso).program.lines.line(4), "N4 G01 X0.000 Y-1.000;");
    LoadOptions skip;
    skip.forceZero = false;
    EXPECT_STREQ(load(iso, skip).program.lines.line(4), "N4 G01 X0 Y-0.9;");
    const std::string grouped = "N0 G92 X0 Y0;\nN1 T17 E1F1;\nN2 G01 X1 Y0;\nN3 G01 X-0.9 Y0;\nN4 M02;\n";
    EXPECT_STREQ(load(grouped).program.lines.line(3), "N3 G01 X-0.9 Y0;");
}

TEST(Loader, SwitchTableListsGroupSwitchesNotRapidMoves) {
    const Loaded one = load("N0 G92 X0 Y0;\nN1 T17 E1F2L3Q4;\nN2 G00 X5 Y0;\nN3 T17 E5F6;\nN4 M02;\n");
    ASSERT_EQ(one.result, 0);
    ASSERT_EQ(one.program.switches.size(), 2u);
    EXPECT_EQ(one.program.switches[0].segment, 1);
    EXPECT_EQ(one.program.switches[0].q, 4);
    EXPECT_EQ(one.program.switches[1].segment, 3);
    EXPECT_EQ(one.program.switches[1].e, 5);
    EXPECT_EQ(one.program.segments[2].lower.kind, kElementSwitch);

    // Two contours: the lower statement decides.
    const Loaded two = load(
        "N0 G92 X0 Y0; N0 G92 X0 Y0;\nN1 G00 X1 Y0; N1 T17 E1F1;\nN2 T17 E2F2; N2 G00 X1 Y0;\nN3 M02; N3 M02;\n");
    ASSERT_EQ(two.result, 0) << two.failure.message;
    EXPECT_EQ(two.program.kind, kKindTwoContourSwitches);
    ASSERT_EQ(two.program.switches.size(), 1u);
    EXPECT_EQ(two.program.switches[0].segment, 1);
    EXPECT_EQ(two.program.segments[2].twoContour, 1);
    EXPECT_EQ(two.program.segments[2].upper.groupE, 2);

    // A two-contour line whose programs disagree on kind 5 fails.
    EXPECT_EQ(load("N0 G92 X0 Y0; N0 G92 X0 Y0;\nN1 G01 X1 Y0; N1 T17 E1F1;\nN2 M02; N2 M02;\n").failure.status,
              LoadStatus::kLineFailed);
}

TEST(Loader, ExtentsTakeFullCirclesAndCurrentPoints) {
    const Loaded l = load(
        "N0 G92 X0 Y0;\nN1 G01 X3 Y0;\nN2 M00;\nN3 G02 X0 Y0 I-1 J0;\nN4 G00 X0 Y-4;\nN5 M02;\n");
    ASSERT_EQ(l.result, 0);
    EXPECT_EQ(l.program.extents.minX, 0);
    EXPECT_EQ(l.program.extents.maxX, 3000);
    EXPECT_EQ(l.program.extents.minY, -4000);
    EXPECT_EQ(l.program.extents.maxY, 1000);
}

std::string randomIsoProgram(int lines, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> len(-2000, 2000), radius(500, 3000), pick(0, 9);
    std::string text = "N0 G92 X0.000 Y0.000;\n";
    char buf[128];
    for (int i = 1; i < lines; ++i) {
        const int k = pick(rng);
        if (k < 6) {
            std::snprintf(buf, sizeof buf, "N%d G01 X%.3f Y%.3f;\n", i, len(rng) / 1000.0, len(rng) / 1000.0);
        } else if (k < 9) {
            // A quarter circle from (r, 0) to (0, r) about the centre.
            const int r = radius(rng);
            std::snprintf(buf, sizeof buf, "N%d G03 X%.3f Y%.3f I%.3f J0.000;\n", i, -r / 1000.0, r / 1000.0, -r / 1000.0);
        } else {
            std::snprintf(buf, sizeof buf, "N%d T17 E%dF1;\n", i, i % 10);
        }
        text += buf;
    }
    return text + "N" + std::to_string(lines) + " M02;\n";
}

TEST(Loader, ParallelParsingGivesTheSameProgramAsOneThread) {
    const std::string text = randomIsoProgram(20000, 5);
    LoadOptions one;
    one.threads = 1;
    LoadOptions four;
    four.threads = 4;
    int lastPercent = -1;
    four.progress = [&](int p) {
        EXPECT_GT(p, lastPercent);
        lastPercent = p;
    };
    const Loaded a = load(text, one);
    const Loaded b = load(text, four);
    ASSERT_EQ(a.result, 0) << a.failure.message;
    ASSERT_EQ(b.result, 0) << b.failure.message;
    EXPECT_EQ(a.program.segments, b.program.segments);
    EXPECT_EQ(a.program.totalSteps, b.program.totalSteps);
    EXPECT_EQ(lastPercent, 100);
    four.progress = nullptr;

    // The first failing line is reported, wherever the workers are.
    std::string broken = text;
    for (const char* number : {"\nN15000 ", "\nN9000 "}) {
        const std::size_t at = broken.find(number) + 1;
        broken.replace(at, broken.find('\n', at) - at, std::string(number + 1) + "G09;");
    }
    const Loaded c = load(broken, four);
    EXPECT_EQ(c.failure.status, LoadStatus::kLineFailed);
    EXPECT_EQ(c.failure.line, 9000);
}

// Only regular files are loaded: the rest "can't be opened", and at once (a FIFO without a
// writer and /dev/zero would otherwise hold the load for ever).
TEST(Loader, LoadsOnlyRegularFiles) {
    std::string dir = ::testing::TempDir() + "loader_XXXXXX";
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    const std::string fifo = dir + "/pipe.iso";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir}) {
        LoadedProgram program;
        LoadFailure failure;
        EXPECT_EQ(loadProgram(path.c_str(), {}, program, failure), -1);
        EXPECT_EQ(failure.status, LoadStatus::kCannotOpen);
        EXPECT_EQ(failure.message, "The following file can't be opened:\n" + path);
    }
    const int devZero = open("/dev/zero", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(devZero, 0);
    LoadedProgram program;
    LoadFailure failure;
    EXPECT_EQ(loadProgramFile(devZero, "/dev/zero", {}, program, failure), -1);
    EXPECT_EQ(failure.status, LoadStatus::kCannotOpen);
    close(devZero);

    // An open regular file loads through its descriptor, from its start.
    const std::string part = dir + "/part.iso";
    std::FILE* f = std::fopen(part.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("N0 G92 X0 Y0;\nN1 G01 X1 Y0;\nN2 M02;\n", f);
    std::fclose(f);
    const int fd = open(part.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(lseek(fd, 0, SEEK_END), 36);
    ASSERT_EQ(loadProgramFile(fd, part.c_str(), {}, program, failure), 0) << failure.message;
    EXPECT_EQ(program.lines.count, 3);
    EXPECT_EQ(program.totalSteps, 1000);
    close(fd);

    std::remove(part.c_str());
    std::remove(fifo.c_str());
    rmdir(dir.c_str());
}

TEST(Loader, CancelStopsTheLoadWithoutAMessage) {
    std::atomic<bool> cancel{true};
    LoadOptions options;
    options.cancel = &cancel;
    const Loaded l = load(randomIsoProgram(10000, 9), options);
    EXPECT_EQ(l.result, -1);
    EXPECT_EQ(l.failure.status, LoadStatus::kCancelled);
    EXPECT_EQ(l.failure.message, "");
}

TEST(Loader, ReadsTheTaperHeader) {
    const Loaded l = load(
        "****************************************\n"
        "Korvex -Version 2.0 -Type ZD -Height 50.000 -Width 0.180 -Base 10.000 -R 0.000 -Degree 1.500\n"
        "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\nN1 M02; N1 M02;\n",
        {}, "/parts/cone.3nb");
    ASSERT_EQ(l.result, 0) << l.failure.message;
    EXPECT_TRUE(l.program.taper.present);
    EXPECT_EQ(l.program.taper.heightX10, 500);
    EXPECT_EQ(l.program.taper.widthX10, 1);
    EXPECT_EQ(l.program.taper.baseX10, 100);
    EXPECT_EQ(l.program.taper.angleX1000, 1500);
    EXPECT_EQ(l.program.kind, kKindTwoContour);
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

// Arcs refused before stepping must be exactly those the interpolator gives up on: over many
// arcs of every size, direction and sweep the quick count agrees with stepping.
TEST(ArcCounting, RefusesOnlyArcsTheInterpolatorGivesUpOn) {
    std::mt19937 rng(31);
    std::uniform_int_distribution<int> radius(0, 6000), angle(0, 359), pick(0, 3);
    for (int n = 0; n < 3000; ++n) {
        const double r = n % 10 == 0 ? radius(rng) % 12 : radius(rng);
        const double a0 = angle(rng) * 3.14159265358979 / 180, a1 = angle(rng) * 3.14159265358979 / 180;
        PathElement e;
        e.kind = pick(rng) < 2 ? kElementArcCw : kElementArcCcw;
        e.startX = static_cast<int32_t>(std::lround(r * std::cos(a0)));
        e.startY = static_cast<int32_t>(std::lround(r * std::sin(a0)));
        // Mostly on the circle, sometimes a little or far off it.
        const double off = pick(rng) == 0 ? (n % 9) * 3.0 : 0.0;
        e.endX = static_cast<int32_t>(std::lround((r + off) * std::cos(a1)));
        e.endY = static_cast<int32_t>(std::lround((r + off) * std::sin(a1)));
        e.radiusSquared = static_cast<int64_t>(e.startX) * e.startX + static_cast<int64_t>(e.startY) * e.startY;
        e.radius = roundMicron(std::sqrt(static_cast<double>(e.radiusSquared)));
        const int32_t stepped = countSteps(e);
        EXPECT_EQ(countElementSteps(e), stepped == kStepsUnending ? -1 : stepped)
            << e.startX << "," << e.startY << " -> " << e.endX << "," << e.endY;
    }
}

TEST(ArcCounting, HugeArcsFailTheirLineAtOnce) {
    // A near full circle of 2 km radius: its steps cannot be counted in 32 bits.
    const Loaded l = load("N0 G92 X0 Y0;\nN1 G03 X0.000 Y10.000 I2000000 J5.000;\nN2 M02;\n");
    EXPECT_EQ(l.failure.status, LoadStatus::kLineFailed);
    EXPECT_EQ(l.failure.line, 1);
}

}  // namespace
}  // namespace korvex
