#include "code/lines.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
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

// A FIFO without a writer would hold a blocking open for ever and a device like /dev/zero never
// ends: only regular files are opened and read, and refusing one does not wait.
TEST(ReadLines, OnlyRegularFilesAreRead) {
    std::string dir = ::testing::TempDir() + "lines_XXXXXX";
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    const std::string fifo = dir + "/pipe.3b";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir}) {
        errno = 0;
        EXPECT_EQ(openRegularFile(path.c_str()), -1) << path;
        EXPECT_EQ(errno, EINVAL) << path;
        ProgramLines lines;
        EXPECT_EQ(readProgramLines(path.c_str(), lines), -1) << path;
        EXPECT_EQ(countFileLines(path.c_str()), -1) << path;
        std::string text;
        EXPECT_EQ(readFileText(path.c_str(), text), -1) << path;
    }

    const std::string regular = dir + "/part.iso";
    std::FILE* f = std::fopen(regular.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("N0 G92 X0 Y0;\nN1 M02;", f);
    std::fclose(f);
    const int fd = openRegularFile(regular.c_str());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);  // reads block again as usual
    // Read from the start whatever the descriptor's offset.
    ASSERT_EQ(lseek(fd, 5, SEEK_SET), 5);
    ProgramText text;
    ASSERT_EQ(readProgramText(fd, text), 0);
    EXPECT_EQ(text.view(), "N0 G92 X0 Y0;\nN1 M02;");
    close(fd);

    std::remove(regular.c_str());
    std::remove(fifo.c_str());
    rmdir(dir.c_str());
}

// The store against a plain list of strings: random rewrites (shorter, longer, empty, too long,
// taken from the line itself), insertions and removals, then a compaction and a copy, must
// leave every line as the list has it.
TEST(ProgramLinesStore, KeepsEveryLineThroughRewritesInsertsAndCompaction) {
    std::mt19937 rng(22);
    std::uniform_int_distribution<int> pick(0, 99);
    auto randomText = [&](int maxLength) {
        std::string t(static_cast<std::size_t>(rng() % static_cast<unsigned>(maxLength + 1)), ' ');
        for (char& c : t) c = static_cast<char>('A' + rng() % 26);
        return t;
    };
    for (int round = 0; round < 50; ++round) {
        std::string text;
        for (int i = 0; i < 40; ++i) text += "G" + randomText(60) + (i % 3 ? "\n" : "\r\n");
        ProgramLines lines;
        ASSERT_EQ(splitProgramText(text, lines), 40);
        std::vector<std::string> model;
        for (int i = 0; i < lines.count; ++i) model.emplace_back(lines.line(i));

        for (int op = 0; op < 200; ++op) {
            const int i = static_cast<int>(rng() % static_cast<unsigned>(lines.count));
            const int what = pick(rng);
            std::string t;
            if (what < 35) {
                t = randomText(80);
            } else if (what < 45) {
                t = randomText(400);
            } else if (what < 55) {
                t = model[static_cast<std::size_t>(i)].substr(model[static_cast<std::size_t>(i)].size() / 2);
                ASSERT_EQ(lines.setLine(i, lines.line(i) + model[static_cast<std::size_t>(i)].size() / 2), 0);
                model[static_cast<std::size_t>(i)] = t;
                continue;
            } else if (what < 60) {
                t = "";
            } else if (what < 70 && lines.count < lines.capacity()) {
                ASSERT_EQ(lines.insertAt(i), 0);
                model.insert(model.begin() + i, "");
                continue;
            } else if (what < 80 && lines.count > 3) {
                const int n = 1 + static_cast<int>(rng() % 3);
                lines.removeAt(i, n);
                model.erase(model.begin() + i, model.begin() + std::min<int>(i + n, static_cast<int>(model.size())));
                continue;
            } else {
                t = randomText(20);
            }
            ASSERT_EQ(lines.setLine(i, t), 0);
            model[static_cast<std::size_t>(i)] = t.substr(0, kMaxLineChars);
        }
        auto same = [&](const ProgramLines& store) {
            ASSERT_EQ(store.count, static_cast<int>(model.size()));
            for (int i = 0; i < store.count; ++i) EXPECT_EQ(store.line(i), model[static_cast<std::size_t>(i)]) << i;
        };
        same(lines);
        const std::size_t before = lines.textBytes();
        lines.compact();
        EXPECT_LE(lines.textBytes(), before);
        same(lines);
        ProgramLines copy;
        ASSERT_EQ(lines.copyTo(copy), 0);
        same(copy);
    }
}

TEST(ProgramLinesStore, ThreadsRewriteTheirOwnLinesAtOnce) {
    constexpr int kLines = 20000, kThreads = 4;
    std::string text;
    for (int i = 0; i < kLines; ++i) text += "B1B2B3GXL1\n";
    ProgramLines lines;
    ASSERT_EQ(splitProgramText(text, lines), kLines);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&lines, t] {
            // Every line gets a longer text: each rewrite takes new room from the shared blocks.
            for (int i = t; i < kLines; i += kThreads) {
                lines.setLine(i, "N" + std::to_string(i) + " G01 X1.000 Y2.000;");
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (int i = 0; i < kLines; ++i) ASSERT_EQ(lines.line(i), "N" + std::to_string(i) + " G01 X1.000 Y2.000;");
}

// The point of the store: a line takes the room of its text, not of the longest line allowed.
TEST(ProgramLinesStore, HoldsTextNotSlots) {
    constexpr int kLines = 10000;
    std::string text = "banner without code letters\n";
    for (int i = 0; i < kLines; ++i) text += "N" + std::to_string(i) + " G01 X1.000 Y0.000;\n";
    ProgramLines lines;
    ASSERT_EQ(splitProgramText(text, lines), kLines);
    EXPECT_EQ(lines.textBytes(), text.size() + 1);  // the text itself, terminated in place

    // Rewriting every line longer moves all of them; compaction gives the old text back.
    for (int i = 0; i < kLines; ++i) lines.setLine(i, std::string(lines.line(i)) + " ; moved");
    EXPECT_GT(lines.textBytes(), 2 * text.size());
    lines.compact();
    EXPECT_LT(lines.textBytes(), text.size() + kLines * 9);
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
