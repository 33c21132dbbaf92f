#include "code/writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "code/iso.h"
#include "code/lines.h"
#include "code/loader.h"
#include "code/threeb.h"

namespace korvex {
namespace {

// A scratch folder of its own, removed with its files afterwards.
class ScratchDir {
public:
    ScratchDir() {
        char tmpl[] = "/tmp/korvex-writer-XXXXXX";
        path_ = mkdtemp(tmpl) ? tmpl : "";
    }
    ~ScratchDir() {
        for (const std::string& f : files_) std::remove(f.c_str());
        rmdir(path_.c_str());
    }
    std::string file(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

std::string fileText(const std::string& path) {
    std::string text;
    EXPECT_EQ(readFileText(path.c_str(), text), 0) << path;
    return text;
}

TEST(Manual3B, EmptyProgramHasBannerStartPointAndEndNumberedOne) {
    EXPECT_EQ(format3BFile(0, 0, {}),
              "****************************************\n"
              "Korvex -Version 2.0\n"
              "****************************************\n"
              "Start Point  =   0.000 ,  0.000 ;\n"
              "N    1: DD\n");
}

TEST(Manual3B, StatementAndStartPointFormats) {
    EXPECT_EQ(format3BStatement({1000, 0, 1000, 0, 0}), "B     1000 B        0 B     1000 GX  L1");
    EXPECT_EQ(format3BStatement({-3, 123456789, 7, 1, 11}),
              "B       -3 B 123456789 B        7 GY  NR4");
    EXPECT_EQ(format3BStatement({1, 1, 1, 2, 0}), "");   // no such direction
    EXPECT_EQ(format3BStatement({1, 1, 1, 0, 12}), "");  // no such code

    const std::string text = format3BFile(1.5, -123.4567, {"B 1 B 2 B 3 GX  L1", "B 4 B 5 B 6 GY  SR2"});
    EXPECT_NE(text.find("Start Point  =   1.500 , -123.457 ;\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nN    1: B 1 B 2 B 3 GX  L1;\nN    2: B 4 B 5 B 6 GY  SR2;\nN    3: DD\n"),
              std::string::npos) << text;
}

TEST(Manual3B, ListsAreFoundByName) {
    EXPECT_EQ(find3BCountDirection("GY"), 1);
    EXPECT_EQ(find3BCountDirection("gx"), -1);
    EXPECT_EQ(find3BCode("L1"), 0);
    EXPECT_EQ(find3BCode("SR1"), 4);
    EXPECT_EQ(find3BCode("NR4"), 11);
    EXPECT_EQ(find3BCode("SR5"), -1);
}

TEST(Manual3B, AddedStatementReadsBackAsTheTypedLine) {
    ThreeBStatement s;
    ASSERT_EQ(parse3BStatement(format3BStatement({1000, 0, 1000, 0, 0}).c_str(), s), 0);
    const PathElement e = threeBToElement(s);
    EXPECT_EQ(e.kind, kElementLine);
    EXPECT_EQ(e.endX, 1000);
    EXPECT_EQ(e.endY, 0);
}

TEST(Manual3B, GeneratedFilesLoadAsKind2WithTheirStatementsFromSegmentOne) {
    ScratchDir dir;
    std::mt19937 rng(3);
    std::uniform_int_distribution<int32_t> coord(0, 9000);
    for (int program = 0; program < 40; ++program) {
        const int n = 1 + program % 12;
        std::vector<std::string> statements;
        std::vector<PathElement> expected;
        for (int k = 0; k < n; ++k) {
            Manual3BStatement m;
            m.x = coord(rng);
            m.y = coord(rng);
            m.j = coord(rng);
            m.direction = static_cast<int>(rng() % 2);
            m.code = static_cast<int>(rng() % 12);
            if (m.code >= 4 && m.x == 0 && m.y == 0) m.x = 1;  // no arcs of radius 0
            statements.push_back(format3BStatement(m));
            ThreeBStatement parsed;
            ASSERT_EQ(parse3BStatement(statements.back().c_str(), parsed), 0);
            expected.push_back(threeBToElement(parsed));
        }
        const std::string path = dir.file("gen" + std::to_string(program) + ".3b");
        ASSERT_EQ(write3BFile(path.c_str(), 2.5, -1, statements), 0);

        LoadOptions options;
        options.forceZero = false;  // compare the statements as written
        LoadedProgram loaded;
        LoadFailure failure;
        ASSERT_EQ(loadProgram(path.c_str(), options, loaded, failure), 0) << failure.message;
        EXPECT_EQ(loaded.kind, kKind3B);
        ASSERT_EQ(loaded.segments.size(), static_cast<std::size_t>(n + 2));
        EXPECT_EQ(loaded.segments[0].lower.kind, kElementNoMotion);      // the start line
        EXPECT_EQ(loaded.segments[n + 1].lower.kind, kElementNoMotion);  // the end
        for (int k = 0; k < n; ++k) {
            PathElement got = loaded.segments[k + 1].lower;
            got.steps = 0;
            EXPECT_EQ(got, expected[k]) << statements[k];
        }
    }
}

TEST(IsoLineForms, ExactTexts) {
    EXPECT_EQ(isoStartLine(0), "N0 G92 X0.000 Y0.000;");
    EXPECT_EQ(isoEndLine(12), "N12 M02;");
    EXPECT_EQ(isoPauseLine(3), "N3 M00;");
    EXPECT_EQ(isoBareLine(4, "G91"), "N4 G91;");
    EXPECT_EQ(isoMoveLine(1, "G01", 1000, -2000), "N1 G01 X1.000 Y-2.000;");
    EXPECT_EQ(isoMoveLine(7, "G00", -1, 0), "N7 G00 X-0.001 Y0.000;");
    EXPECT_EQ(isoArcLine(2, "G03", 1000, -1000, 1000, 0), "N2 G03 X1.000 Y-1.000 I1.000 J0.000;");
    EXPECT_EQ(isoMoveLine(9, "G01", INT32_MIN, INT32_MAX),
              "N9 G01 X-2147483.648 Y2147483.647;");
}

TEST(IsoLineForms, WrittenNumbersReadBackUnchanged) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int32_t> any(-50'000'000, 50'000'000);
    for (int k = 0; k < 5000; ++k) {
        const int32_t x = any(rng), y = any(rng), i = k % 7 == 0 ? 0 : any(rng), j = any(rng);
        IsoStatement s;
        ASSERT_EQ(parseIsoStatement(isoArcLine(k, "G02", x, y, i, j).c_str(), s), 0);
        ASSERT_EQ(s.code, IsoCode::kG02);
        ASSERT_EQ(s.x, x);
        ASSERT_EQ(s.y, y);
        ASSERT_EQ(s.i, i);
        ASSERT_EQ(s.j, j);
    }
}

TEST(ProgramFile, EachLineEndsWithANewlineAfterTheHeaderAndOldContentIsReplaced) {
    ScratchDir dir;
    const std::string path = dir.file("out.iso");
    ASSERT_EQ(writeProgramFile(path.c_str(), std::vector<std::string>(50, "old line"), ""), 0);

    ProgramLines lines;
    ASSERT_EQ(lines.allocate(4), 0);
    lines.append("N0 G92 X0.000 Y0.000;");
    lines.append("");
    lines.append("N2 M02;");
    ASSERT_EQ(writeProgramFile(path.c_str(), lines, "HEAD\n"), 0);
    EXPECT_EQ(fileText(path), "HEAD\nN0 G92 X0.000 Y0.000;\n\nN2 M02;\n");

    EXPECT_EQ(writeProgramFile((dir.file("missing") + "/x.iso").c_str(), lines), -1);
    EXPECT_EQ(write3BFile((dir.file("missing") + "/x.3b").c_str(), 0, 0, {}), -1);
}

}  // namespace
}  // namespace korvex
