// The document: loading, parsing, writing and the lookups, without any window.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "code/kind.h"
#include "editor/document/file_access.h"
#include "editor/document/tavrel_doc.h"
#include "editor/document/tests/test_support.h"

namespace tavrel {
namespace {

using test::ScriptedPrompter;
using test::readWhole;
using test::sourceLines;
using test::writeScratch;

struct Loaded {
    ScriptedPrompter prompter;
    CTavrelDoc doc{&prompter};
};

TEST(TavrelDocLoad, BlankLinesAndLeadingSpacesVanishAndCapacityCountsEveryFileLine) {
    Loaded l;
    const std::string path = writeScratch("blank.iso",
        "N0 G92 X0.000 Y0.000;\n\n   N1 G01 X1.000 Y0.000;\n  \r\nN2 G01 X0.000 Y1.000;\n"
        "N3 G01 X-1.000 Y0.000;\nN4 G01 X0.000 Y-1.000;\nN5 M00;\nN6 M00;\nN7 M02;\n");
    ASSERT_EQ(l.doc.load(path), 0);
    EXPECT_EQ(l.doc.count(), 8);
    EXPECT_EQ(l.doc.capacity(), 1010);
    EXPECT_STREQ(l.doc.sourceLine(1), "N1 G01 X1.000 Y0.000;");
    EXPECT_EQ(l.doc.kind(), korvex::kKindIso);
    EXPECT_TRUE(l.doc.machinable());
    EXPECT_FALSE(l.doc.modified());
    EXPECT_EQ(l.doc.fileName(), fileNameOf(path));
    EXPECT_TRUE(l.prompter.shown.empty());
}

TEST(TavrelDocLoad, FilesThatCannotBeOpenedAreRefusedAlike) {
    const std::string folder = test::scratchPath("a-folder");
    ::mkdir(folder.c_str(), 0700);
    const std::string fifo = test::scratchPath("a-fifo");
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {writeScratch("empty.iso", ""), test::scratchPath("missing.iso"),
                                    folder, fifo, std::string("/dev/zero")}) {
        Loaded l;
        EXPECT_EQ(l.doc.load(path), -1) << path;
        ASSERT_EQ(l.prompter.shown.size(), 1u) << path;
        EXPECT_EQ(l.prompter.shown[0].fatalText, fatal::kCannotOpen);
        EXPECT_EQ(l.doc.count(), 0);
        EXPECT_FALSE(l.doc.machinable());
    }
    ::unlink(fifo.c_str());
}

TEST(TavrelDocLoad, ALineTooLongForItsSlotRefusesTheFileNamingTheLine) {
    Loaded l;
    const std::string path = writeScratch("long.iso", std::string("N0 G92 X0.000 Y0.000;\n\nN1 ") +
                                                          std::string(297, '1') + "\nN2 M02;\n");
    EXPECT_EQ(l.doc.load(path), -1);
    ASSERT_EQ(l.prompter.shown.size(), 1u);
    EXPECT_EQ(l.prompter.shown[0], DocMessage::warning(msg::kLineTooLong, {"3"}));
    EXPECT_EQ(l.doc.count(), 0);
}

TEST(TavrelDocLoad, ThreeBGetsOneStartLineAndALoneDBecomesDD) {
    for (const char* head : {"", "Start Point  =  0.000, 0.000;\n", "Start A\nStart B\n"}) {
        Loaded l;
        const std::string path = writeScratch("p.3b", std::string(head) +
            "B 10000 B 0 B 10000 GX L1\nB 0 B 10000 B 10000 GY L2\nD\n");
        ASSERT_EQ(l.doc.load(path), 0) << head;
        EXPECT_EQ(l.doc.kind(), korvex::kKind3B);
        ASSERT_EQ(l.doc.count(), 4) << head;
        EXPECT_EQ(std::string(l.doc.sourceLine(0)), korvex::k3BStartLine);
        EXPECT_STREQ(l.doc.sourceLine(3), "DD");
        EXPECT_STREQ(l.doc.workingLine(1), "N1 G01 X10.000 Y0.000;");
        EXPECT_EQ(l.doc.rect(), (PathRect{0, 10000, 10000, 0}));
    }
}

TEST(TavrelDocLoad, IsoPreambleIsDroppedButATaperHeaderIsKeptAside) {
    Loaded iso;
    ASSERT_EQ(iso.doc.load(writeScratch("pre.iso", std::string("(comment)\nbanner\n") + test::kIsoSquare)), 0);
    EXPECT_EQ(iso.doc.count(), 6);
    EXPECT_TRUE(iso.doc.preamble().empty());

    Loaded taper;
    const std::string header = "Korvex -Version 2.0 -Type ZD -Height 1.000";
    const std::string path = writeScratch("t.3nb", header + "\r\n" + readWhole(std::string(KORVEX_SOURCE_DIR) + "/examples/taper-square.iso"));
    ASSERT_EQ(taper.doc.load(path), 0);
    EXPECT_EQ(taper.doc.kind(), korvex::kKindTwoContour);
    EXPECT_FALSE(taper.doc.machinable());
    EXPECT_EQ(taper.doc.count(), 8);
    EXPECT_TRUE(taper.doc.segment(1).twoContour);
    ASSERT_EQ(taper.doc.writeTo(path), 0);
    EXPECT_EQ(readWhole(path).substr(0, header.size() + 2), header + "\r\n");
}

TEST(TavrelDocLoad, WarningsLeaveTheProgramOpenButNotMachinable) {
    struct Case { const char* text; const char* id; int kind; };
    const Case cases[] = {
        {"N0 G92 X0.000 Y0.000;\nN1 G01 X1.000 Y0.000;\n", msg::kMissingEnd, korvex::kKindIsoNoEnd},
        {"B 1000 B 0 B 1000 GX L1\n", msg::kMissingEnd, korvex::kKind3BNoEnd},
        {"hello\nworld\n", msg::kUnknownCode, korvex::kKindUnknown},
        {"N0 G92 X0.000 Y0.000;\nN1 G01 X1.000;\nN2 G01 X1.000 Y0.000;\nN3 M02;\n", msg::kUnreadableLine,
         korvex::kKindUnknown},
        {"B 1000 B 0 B 1000 GX L1\nB junk\nDD\n", msg::kUnreadableLine, korvex::kKindUnknown},
    };
    for (const Case& c : cases) {
        Loaded l;
        ASSERT_EQ(l.doc.load(writeScratch("warn.iso", c.text)), 0) << c.text;
        EXPECT_TRUE(l.prompter.saw(c.id)) << c.text;
        EXPECT_EQ(l.doc.kind(), c.kind) << c.text;
        EXPECT_FALSE(l.doc.machinable()) << c.text;
    }
    Loaded bad;
    ASSERT_EQ(bad.doc.load(writeScratch("bad.iso", cases[3].text)), 0);
    EXPECT_EQ(bad.prompter.shown.back(), DocMessage::warning(msg::kUnreadableLine, {"1"}));
    // Lines after the unreadable one are left empty.
    EXPECT_EQ(bad.doc.segment(2).lower.kind, korvex::kElementEmpty);
}

TEST(TavrelDocParse, GroupChangesCountT17OnlyAndAG00MovesTheBox) {
    Loaded l;
    ASSERT_EQ(l.doc.load(std::string(KORVEX_SOURCE_DIR) + "/examples/groups.iso"), 0);
    EXPECT_EQ(l.doc.kind(), korvex::kKindIsoSwitches);
    ASSERT_EQ(l.doc.groupChanges().size(), 2u);
    EXPECT_EQ(l.doc.groupChanges()[0], (GroupChange{1, 1, 2}));
    EXPECT_EQ(l.doc.groupChanges()[1], (GroupChange{4, 3, 4}));
    // L and Q of a group change are not read by the editor.
    EXPECT_EQ(l.doc.segment(4).lower.groupL, 0);
    // The G00 at line 6 returns to y = 0 after going to y = 5000.
    const std::vector<Point64> ends = l.doc.segmentEndPoints();
    EXPECT_EQ(ends[6].x, 0);
    EXPECT_EQ(ends[6].y, 0);
    EXPECT_EQ(l.doc.rect(), (PathRect{0, 5000, 5000, 0}));

    // Colours: before and at the first change its E, between changes the earlier F, at a change
    // its own E, after the last the last F. The group in force is F of the last change so far.
    const int colours[] = {1, 1, 2, 2, 3, 4, 4, 4};
    const int inForce[] = {0, 2, 2, 2, 4, 4, 4, 4};
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(l.doc.groupForColour(n), colours[n]) << n;
        EXPECT_EQ(l.doc.groupInForce(n), inForce[n]) << n;
    }
}

TEST(TavrelDocParse, JumpsAreFoundAndLookedUp) {
    Loaded l;
    ASSERT_EQ(l.doc.load(std::string(KORVEX_SOURCE_DIR) + "/examples/two-holes.iso"), 0);
    ASSERT_FALSE(l.doc.jumps().empty());
    const int g01 = l.doc.jumps()[0].line;
    EXPECT_TRUE(l.doc.startsJump(g01));
    EXPECT_FALSE(l.doc.startsJump(g01 - 1));
    EXPECT_FALSE(l.doc.startsJump(g01 + 1));
}

TEST(TavrelDocParse, TooManyGroupChangesIsFatalAndClearsTheMachinableFlag) {
    std::string text = "N0 G92 X0.000 Y0.000;\n";
    for (int i = 1; i <= 301; ++i) text += "N" + std::to_string(i) + " T17 E1F2;\n";
    text += "N302 M02;\n";
    Loaded l;
    EXPECT_EQ(l.doc.load(writeScratch("dao.iso", text)), -1);
    EXPECT_EQ(l.prompter.shown.back().fatalText, fatal::kDaoInfoFailed);
    EXPECT_EQ(l.doc.count(), 0);
}

TEST(TavrelDocNearest, NearestEndWithinAMillimetreLaterWinsTiesElseZero) {
    const std::vector<Point64> ends = {{0, 0}, {5000, 0}, {5000, 5000}, {5000, 0}};
    EXPECT_EQ(nearestSegment(ends, 5100, 100), 3);  // segments 1 and 3 tie; the later wins
    EXPECT_EQ(nearestSegment(ends, 4900, 4800), 2);
    EXPECT_EQ(nearestSegment(ends, 90000, 90000), 0);
    EXPECT_EQ(nearestSegment({}, 0, 0), -1);
}

TEST(TavrelDocWrite, CrLfIsoFileIsWrittenBackByteIdentical) {
    Loaded l;
    const std::string path = writeScratch("same.iso", test::kIsoSquare);
    ASSERT_EQ(l.doc.load(path), 0);
    ASSERT_EQ(l.doc.writeTo(path), 0);
    EXPECT_EQ(readWhole(path), test::kIsoSquare);
    // LF-only input comes back with CR LF.
    Loaded lf;
    const std::string lfPath = writeScratch("lf.iso", "N0 G92 X0.000 Y0.000;\nN1 M02;\n");
    ASSERT_EQ(lf.doc.load(lfPath), 0);
    ASSERT_EQ(lf.doc.writeTo(lfPath), 0);
    EXPECT_EQ(readWhole(lfPath), "N0 G92 X0.000 Y0.000;\r\nN1 M02;\r\n");
}

TEST(TavrelDocWrite, ThreeBIsSavedWithItsStartLineAndDD) {
    Loaded l;
    const std::string path = writeScratch("d.3b", "B 1000 B 0 B 1000 GX L1\nD\n");
    ASSERT_EQ(l.doc.load(path), 0);
    ASSERT_EQ(l.doc.writeTo(path), 0);
    EXPECT_EQ(readWhole(path), "Start Point32  =  0, 0;      X, Y\r\nB 1000 B 0 B 1000 GX L1\r\nDD\r\n");
}

TEST(TavrelDocWrite, FourNbNameWritesTheIsoTextOnlyFromACleanParse) {
    Loaded l;
    const std::string src = writeScratch("g.3b", "B 1000 B 0 B 1000 GX L1\nN 1X: B B B T17 E0F3;\nDD\n");
    ASSERT_EQ(l.doc.load(src), 0);
    const std::string out = test::scratchPath("g.4NB");
    ::unlink(out.c_str());
    ASSERT_EQ(l.doc.writeTo(out), 0);
    EXPECT_EQ(readWhole(out), "N0 G92 X0.000 Y0.000;\r\nN1 G01 X1.000 Y0.000;\r\nN2 T17 E0F3;\r\nN3 M02;\r\n");
    EXPECT_EQ(l.doc.fileName(), fileNameOf(out));

    Loaded bad;
    ASSERT_EQ(bad.doc.load(writeScratch("bad.3b", "B 1000 B 0 B 1000 GX L1\nB junk\nDD\n")), 0);
    const std::string refused = test::scratchPath("bad.4nb");
    ::unlink(refused.c_str());
    bad.prompter.shown.clear();
    bad.doc.setModified(true);
    EXPECT_EQ(bad.doc.writeTo(refused), -1);
    EXPECT_EQ(bad.prompter.shown.back(), DocMessage::warning(msg::kUnreadableLine, {"2"}));
    EXPECT_NE(::access(refused.c_str(), F_OK), 0);
    EXPECT_TRUE(bad.doc.modified());
}

TEST(TavrelDocWrite, AFailedWriteNamesTheFileAndKeepsTheDocumentModified) {
    Loaded l;
    ASSERT_EQ(l.doc.load(writeScratch("keep.iso", test::kIsoSquare)), 0);
    l.doc.setModified(true);
    const std::string target = test::scratchPath("no-such-folder/x.iso");
    EXPECT_EQ(l.doc.writeTo(target), -1);
    ASSERT_FALSE(l.prompter.shown.empty());
    EXPECT_EQ(l.prompter.shown.back().id, msg::kWriteFailed);
    EXPECT_EQ(l.prompter.shown.back().args.at(0), target);
    EXPECT_TRUE(l.doc.modified());
    EXPECT_TRUE(fileNameEndsWith(l.doc.fileName(), "keep.iso"));
}

}  // namespace
}  // namespace tavrel
