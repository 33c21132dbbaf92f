// Join: the separator, the lines taken from the other file, and the refusals that change nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include "code/kind.h"
#include "editor/document/editor_session.h"
#include "editor/document/tests/test_support.h"

namespace tavrel {
namespace {

using test::ScriptedPrompter;
using test::sourceLines;
using test::writeScratch;

struct Editor {
    ScriptedPrompter prompter;
    EditorSession session{prompter};
    void open(const std::string& name, const std::string& text) {
        ASSERT_TRUE(session.open(writeScratch(name, text)));
        prompter.shown.clear();
    }
    std::vector<std::string> lines() const { return sourceLines(session.doc()); }
    // Joins `other` with the offset; what join() answered.
    bool join(const std::string& other, int dx, int dy) {
        prompter.joinFiles = {other};
        prompter.offsets = {std::pair{dx, dy}};
        return session.join();
    }
};

// A 20-line ISO program: start line, 18 steps along a zigzag, M02 on line 19.
std::string twentyLines() {
    std::string t = "N0 G92 X0.000 Y0.000;\n";
    for (int i = 1; i <= 18; ++i) t += "N" + std::to_string(i) + " G01 X1.000 Y" + (i % 2 ? "1.000" : "-1.000") + ";\n";
    return t + "N19 M02;\n";
}

TEST(Join, IsoSeparatorReplacesTheEndLineAndTheOtherFilesCodeLinesFollow) {
    Editor e;
    e.open("first.iso", twentyLines());
    const std::string other = writeScratch("second.iso",
                                           "; second part\r\n"
                                           "  N0 G92 X0.000 Y0.000;\r\n"
                                           "N1 G01 X2.000 Y0.000;\r\n"
                                           "\r\n"
                                           "N2 M02;\r\n");
    ASSERT_TRUE(e.join(other, 5000, -2000));
    EXPECT_EQ(e.prompter.joinKinds, std::vector<int>{korvex::kKindIso});
    const std::vector<std::string> lines = e.lines();
    ASSERT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[18], "N18 G01 X1.000 Y-1.000;");
    EXPECT_EQ(lines[19], "N  19: M00 ;");
    EXPECT_EQ(lines[20], "N  20: G01 X5.000 Y-2.000 ;");
    EXPECT_EQ(lines[21], "N  21: M00 ;");
    EXPECT_EQ(lines[22], "N0 G92 X0.000 Y0.000;");
    EXPECT_EQ(lines[23], "N1 G01 X2.000 Y0.000;");
    EXPECT_EQ(lines[24], "N2 M02;");
    const CTavrelDoc& doc = e.session.doc();
    EXPECT_EQ(doc.kind(), korvex::kKindIso);
    EXPECT_TRUE(doc.modified());
    EXPECT_TRUE(e.session.canUndo());
    // The jump is recognised, with its mark, even at threshold 0.
    ASSERT_EQ(doc.recognised().size(), 1u);
    EXPECT_EQ(doc.recognised()[0].segment, 20);
    EXPECT_EQ(doc.recognised()[0].jump, 1);
    EXPECT_EQ(doc.rect().maxX, 18000 + 5000 + 2000);
    // Small offsets keep their sign and three decimals.
    Editor small;
    small.open("first2.iso", twentyLines());
    ASSERT_TRUE(small.join(other, -500, 7));
    EXPECT_EQ(small.lines()[20], "N  20: G01 X-0.500 Y0.007 ;");
}

TEST(Join, ThreeBKeepsItsEndLineAndTheSignsAsEntered) {
    Editor e;
    e.open("first.3b", "B 1000 B 0 B 1000 GX L1\nDD\n");
    const std::string other = writeScratch("second.3b", "Start Point  =   0.000 ,  0.000 ;\nN 1: B 0 B 2000 B 2000 GY L2\nD\n");
    ASSERT_TRUE(e.join(other, -5000, -2000));
    EXPECT_EQ(e.lines(), (std::vector<std::string>{
                             "Start Point32  =  0, 0;      X, Y\n",  // kept as the code library writes it
                             "B 1000 B 0 B 1000 GX L1",
                             "N  2: B      0 B      0 B      0 GX   L1 ;",
                             "N  3: B    -5000 B    -2000 B     -5000 GX   L1 ;",
                             "N  4: B      0 B      0 B      0 GX   L1 ;",
                             "N 1: B 0 B 2000 B 2000 GY L2",
                             "DD",
                         }));
    const CTavrelDoc& doc = e.session.doc();
    EXPECT_EQ(doc.kind(), korvex::kKind3B);
    ASSERT_EQ(doc.jumps().size(), 1u);
    EXPECT_EQ(doc.jumps()[0].line, 3);
    EXPECT_EQ(std::string(doc.workingLine(3)), "N3 G01 X-5.000 Y-2.000;");
}

TEST(Join, EveryRefusalLeavesTheDocumentAndUndoAsTheyWere) {
    const std::string iso = writeScratch("other.iso", test::kIsoSquare);
    const std::string threeB = writeScratch("other.3b", "B 1000 B 0 B 1000 GX L1\nDD\n");
    std::string big = "N0 G92 X0.000 Y0.000;\n";
    for (int i = 1; i < 1003; ++i) big += "N" + std::to_string(i) + " G01 X0.001 Y0.000;\n";
    big += "N1003 M02;\n";
    const std::string tooLong = writeScratch("big.iso", big);
    const std::string folder = ::testing::TempDir();
    const struct {
        const char* what;
        std::string document;   // file name of the document (its kind follows)
        std::optional<std::string> other;
        std::string message;    // id, or the fatal text; empty when nothing is shown
    } cases[] = {
        {"3B into ISO", "a.iso", threeB, msg::kJoinKind},
        {"ISO into 3B", "a.3b", iso, msg::kJoinKind},
        {"missing file", "a.iso", test::scratchPath("none.iso"), fatal::kCannotOpen},
        {"a folder", "a.iso", folder, fatal::kCannotOpen},
        {"more lines than free slots", "a.iso", tooLong, msg::kJoinTooLong},
        {"cancelled", "a.iso", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        Editor e;
        const bool threeBDoc = c.document.ends_with(".3b");
        e.open(c.document, threeBDoc ? "B 1000 B 0 B 1000 GX L1\nDD\n" : test::kIsoSquare);
        e.prompter.inputs = {std::string(threeBDoc ? "B 0 B 1000 B 1000 GY L2" : "N9 G01 X0.000 Y1.000;")};
        e.session.add({1});
        e.session.undo();  // something to redo
        const std::vector<std::string> before = e.lines();
        const std::string current = *e.session.undoList().current();
        const bool modified = e.session.doc().modified();
        e.prompter.shown.clear();
        e.prompter.joinFiles = {c.other};
        e.prompter.offsets = {std::pair{1000, 1000}};
        EXPECT_FALSE(e.session.join()) << c.what;
        EXPECT_EQ(e.lines(), before) << c.what;
        EXPECT_EQ(*e.session.undoList().current(), current) << c.what;
        EXPECT_TRUE(e.session.canRedo()) << c.what;
        EXPECT_EQ(e.session.doc().modified(), modified) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(e.prompter.shown.empty()) << c.what;
        } else {
            ASSERT_EQ(e.prompter.shown.size(), 1u) << c.what;
            const DocMessage& m = e.prompter.shown[0];
            EXPECT_EQ(m.isFatal() ? m.fatalText : m.id, c.message) << c.what;
        }
        // The offset was asked only when the file was accepted.
        EXPECT_EQ(e.prompter.offsets.size(), 1u) << c.what;
    }

    // A two-contour program is refused before any dialog.
    Editor taper;
    ASSERT_TRUE(taper.session.open(std::string(KORVEX_SOURCE_DIR) + "/examples/taper-square.iso"));
    taper.prompter.joinFiles = {iso};
    EXPECT_FALSE(taper.session.join());
    EXPECT_EQ(taper.prompter.shown.back(), DocMessage::error(msg::kJoinKind));
    EXPECT_TRUE(taper.prompter.joinKinds.empty());
}

}  // namespace
}  // namespace tavrel
