#include "code/lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include <string>
#include <vector>

namespace korvex {
namespace {

std::vector<std::string> kept(const std::string& text, int* fileLines = nullptr) {
    ProgramLines lines;
    EXPECT_GE(splitProgramText(text, lines, kCodeLineFilter, fileLines), 0);
    std::vector<std::string> out;
    for (int i = 0; i < lines.count; ++i) out.emplace_back(lines.line(i));
    return out;
}

TEST(ReadLines, KeepsCodeLinesAsReadAndDropsTheRest) {
    const std::string text =
        "****************************************\n"
        "Start Point  =  0.000 , 0.000 ;\n"       // has no G, D, M or T
        "   \t\n"
        "N0 G92 X0.000 Y0.000;\r\n"
        "\t  N1 G01 X1.000 Y0.000;\n"
        "comment in lower case\n"
        "N2 M02;";
    int fileLines = 0;
    const auto lines = kept(text, &fileLines);
    EXPECT_EQ(fileLines, 7);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "N0 G92 X0.000 Y0.000;");      // CR LF is one line end
    EXPECT_EQ(lines[1], "\t  N1 G01 X1.000 Y0.000;");  // stored untrimmed
    EXPECT_EQ(lines[2], "N2 M02;");                   // last line without a line end
}

TEST(ReadLines, LongLinesAreCutAsAThreeHundredByteBufferReadsThem) {
    // 299 characters fill the buffer; the line end, or the rest of the line, comes next.
    const std::string g299 = "G" + std::string(298, 'x');
    struct Case { std::string text; std::vector<std::string> lines; int fileLines; };
    const Case cases[] = {
        {g299.substr(0, 298) + "\nG1\n", {g299.substr(0, 298), "G1"}, 2},
        {g299 + "\nG1\n", {g299, "G1"}, 3},                    // the "\n" alone is a line
        {g299 + "\r\nG1\n", {g299, "G1"}, 3},
        {g299 + "GGG\n", {g299, "GGG"}, 2},
        {g299.substr(0, 298) + "\r\n", {g299.substr(0, 298)}, 1},
        {std::string(700, 'M'), {std::string(299, 'M'), std::string(299, 'M'), std::string(102, 'M')}, 3},
    };
    for (const Case& c : cases) {
        int fileLines = 0;
        EXPECT_EQ(kept(c.text, &fileLines), c.lines);
        EXPECT_EQ(fileLines, c.fileLines);
    }
}

TEST(ReadLines, StopsALineAtAnEmbeddedNul) {
    const std::string text = std::string("N1 G01 X1 Y1;\0junk\nx\0G\n", 24);
    EXPECT_EQ(kept(text), std::vector<std::string>{"N1 G01 X1 Y1;"});
}

TEST(ReadLines, AllocatesTwiceTheFileLines) {
    ProgramLines lines;
    ASSERT_EQ(splitProgramText("G\nx\nG\n", lines), 2);
    EXPECT_EQ(lines.capacity(), 6);
}

TEST(ProgramLinesStore, NeverWritesPastASlot) {
    ProgramLines lines;
    ASSERT_EQ(lines.allocate(3), 0);
    ASSERT_EQ(lines.append(std::string(1000, 'a')), 0);
    ASSERT_EQ(lines.append("b"), 0);
    EXPECT_EQ(std::string(lines.line(0)).size(), 299u);
    EXPECT_STREQ(lines.line(1), "b");

    ASSERT_EQ(lines.insertAt(0), 0);
    lines.setLine(0, "first");
    EXPECT_EQ(lines.count, 3);
    EXPECT_EQ(lines.append("x"), -1);  // full
    EXPECT_EQ(lines.insertAt(1), -1);
    lines.removeAt(1, 1);
    EXPECT_EQ(lines.count, 2);
    EXPECT_STREQ(lines.line(1), "b");
    EXPECT_STREQ(lines.line(2), "");  // freed slots are cleared

    // Lines removed from the front become room for lines put in front again.
    lines.removeAt(0, 1);
    EXPECT_STREQ(lines.line(0), "b");
    EXPECT_EQ(lines.capacity(), 2);
    ASSERT_EQ(lines.insertAt(0), 0);
    EXPECT_STREQ(lines.line(0), "");
    EXPECT_STREQ(lines.line(1), "b");
    EXPECT_EQ(lines.capacity(), 3);
}

TEST(ReadLines, MissingFileFails) {
    ProgramLines lines;
    EXPECT_EQ(readProgramLines("/nonexistent/dir/file.3b", lines), -1);
    EXPECT_EQ(countFileLines("/nonexistent/dir/file.3b"), -1);
}

}  // namespace
}  // namespace korvex

namespace korvex {
namespace {

// The reader against the C library itself: the text, with each CR LF turned into LF as a
// text-mode read sees it, read back with fgets and a 300-byte buffer.
TEST(ReadLines, SplitsExactlyAsFgetsWithAThreeHundredByteBuffer) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> length(0, 700), pick(0, 9);
    const char alphabet[] = "GDMTx \t\r";
    for (int n = 0; n < 300; ++n) {
        std::string text;
        const int lines = 1 + pick(rng);
        for (int l = 0; l < lines; ++l) {
            const int len = pick(rng) < 5 ? length(rng) % 40 : length(rng);
            for (int c = 0; c < len; ++c) text += alphabet[rng() % (sizeof alphabet - 1)];
            const int end = pick(rng);
            text += end < 6 ? "\n" : end < 9 ? "\r\n" : "";
        }
        std::string textMode;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) textMode += text[i];
        }
        std::vector<std::string> expected;
        int expectedFileLines = 0;
        std::FILE* f = fmemopen(textMode.data(), textMode.size(), "r");
        ASSERT_NE(f, nullptr);
        char buf[kLineSlotBytes];
        if (!textMode.empty()) {
            while (std::fgets(buf, sizeof buf, f)) {
                ++expectedFileLines;
                std::string line(buf);
                if (!line.empty() && line.back() == '\n') line.pop_back();
                if (line.find_first_of("GDMT") != std::string::npos) expected.push_back(line);
            }
        }
        std::fclose(f);
        int fileLines = 0;
        EXPECT_EQ(kept(text, &fileLines), expected);
        EXPECT_EQ(fileLines, expectedFileLines);
    }
}

}  // namespace
}  // namespace korvex
