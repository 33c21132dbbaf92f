// The line commands, undo and the save rules, driven as the operator would drive them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "editor/document/editor_session.h"
#include "editor/document/file_access.h"
#include "editor/document/tests/test_support.h"

namespace tavrel {
namespace {

using test::ScriptedPrompter;
using test::readWhole;
using test::sourceLines;
using test::writeScratch;
using Answer = EditorPrompter::Answer;

// Ten lines "L0" .. "L9" (not code: kind 13, which is enough for line editing).
std::string tenLines() {
    std::string t;
    for (int i = 0; i < 10; ++i) t += "L" + std::to_string(i) + "\n";
    return t;
}

struct Editor {
    ScriptedPrompter prompter;
    EditorSession session{prompter};
    void open(const std::string& name, const std::string& text) {
        ASSERT_TRUE(session.open(writeScratch(name, text)));
        prompter.shown.clear();
    }
    std::vector<std::string> lines() const { return sourceLines(session.doc()); }
};

TEST(EditorCommands, AddInsertsAfterTheFirstSelectedLineOrAppends) {
    Editor e;
    e.open("add.txt", tenLines());
    e.prompter.inputs = {std::string("A"), std::string("  B")};
    EXPECT_EQ(e.session.add({5, 7}), 5);
    EXPECT_EQ(e.lines()[6], "A");
    EXPECT_EQ(e.session.add({}), -1);
    EXPECT_EQ(e.lines().back(), "B");  // leading blanks go, as they would on reading the file
    EXPECT_EQ(e.session.doc().count(), 12);
    EXPECT_TRUE(e.session.doc().modified());
    // Cancel and empty input change nothing.
    e.prompter.inputs = {std::nullopt, std::string("")};
    e.session.add({0});
    e.session.add({0});
    EXPECT_EQ(e.session.doc().count(), 12);
}

TEST(EditorCommands, ModifyShowsTheLineAndReplacesIt) {
    Editor e;
    e.open("mod.txt", tenLines());
    e.prompter.inputs = {std::string("changed")};
    EXPECT_EQ(e.session.modify({3, 4}), 3);
    EXPECT_EQ(e.prompter.inputsShown.back(), "L3");
    EXPECT_EQ(e.lines()[3], "changed");
    EXPECT_EQ(e.session.modify({}), -1);
    EXPECT_EQ(e.prompter.inputsShown.size(), 1u);
}

TEST(EditorCommands, InputOverASlotOrWithALineBreakIsRefused) {
    Editor e;
    e.open("long.txt", tenLines());
    e.prompter.inputs = {std::string(300, 'x'), std::string("a\rb"), std::string(299, 'y')};
    e.session.add({});
    e.session.add({});
    EXPECT_EQ(e.session.doc().count(), 10);
    EXPECT_EQ(e.prompter.ids(), (std::vector<std::string>{msg::kInputTooLong, msg::kInputTooLong}));
    e.session.add({});
    EXPECT_EQ(e.lines().back(), std::string(299, 'y'));
}

TEST(EditorCommands, DeleteCopyCutAndPasteFollowTheSelection) {
    Editor e;
    e.open("del.txt", tenLines());
    e.session.deleteLines({2, 3, 7});
    EXPECT_EQ(e.lines(), (std::vector<std::string>{"L0", "L1", "L4", "L5", "L6", "L8", "L9"}));
    for (int i = 7; i < 10; ++i) EXPECT_STREQ(e.session.doc().sourceLine(i), "") << i;  // freed slots

    Editor c;
    c.open("copy.txt", tenLines());
    c.session.copy({4, 8});
    EXPECT_EQ(c.session.doc().count(), 10);
    EXPECT_FALSE(c.session.canUndo());  // copying takes no snapshot
    c.session.paste({0});
    EXPECT_EQ(c.lines()[1], "L4");
    EXPECT_EQ(c.lines()[2], "L8");
    c.session.paste({});  // the buffer stays for another paste
    EXPECT_EQ(c.lines().back(), "L8");
    EXPECT_EQ(c.session.doc().count(), 14);

    Editor x;
    x.open("cut.txt", tenLines());
    x.session.cut({0, 9});
    EXPECT_EQ(x.lines().front(), "L1");
    x.session.paste({3});
    EXPECT_EQ(x.lines()[4], "L0");
    EXPECT_EQ(x.lines()[5], "L9");
}

TEST(EditorCommands, PastingMoreLinesThanFreeSlotsIsRefusedWithoutASnapshot) {
    Editor e;
    e.open("full.txt", tenLines());
    // 1010 slots: fill up to 1007 lines, leaving 3 free.
    std::vector<int> all;
    for (int i = 0; i < 5; ++i) all.push_back(i);
    e.session.copy(all);
    for (int i = 0; i < 199; ++i) e.session.paste({});
    ASSERT_EQ(e.session.doc().count(), 1005);
    e.prompter.inputs = {std::string("a"), std::string("b")};
    e.session.add({});
    e.session.add({});
    ASSERT_EQ(e.session.doc().count(), 1007);
    e.session.undo();
    ASSERT_TRUE(e.session.canRedo());
    e.session.redo();
    e.session.undo();
    const std::size_t undoBefore = e.session.undoList().undoCount();
    e.prompter.shown.clear();
    e.session.paste({});
    EXPECT_EQ(e.prompter.ids(), std::vector<std::string>{msg::kTableFull});
    EXPECT_EQ(e.session.doc().count(), 1006);
    EXPECT_TRUE(e.session.canRedo());  // a refused edit changed nothing
    EXPECT_EQ(e.session.undoList().undoCount(), undoBefore);
}

TEST(EditorCommands, InsertionIndexOutsideTheDocumentIsRefused) {
    Editor e;
    e.open("idx.txt", tenLines());
    CTavrelDoc& doc = e.session.doc();
    EXPECT_EQ(doc.insertLineAfter(-2, "x"), -1);
    EXPECT_EQ(doc.insertLineAfter(10, "x"), -1);
    EXPECT_EQ(doc.count(), 10);
    EXPECT_EQ(doc.insertLineAfter(9, "x"), 0);
    EXPECT_EQ(doc.insertLineAfter(-1, "y"), 0);
    EXPECT_EQ(sourceLines(doc).back(), "y");
}

TEST(EditorUndo, FiveEditsFourUndosAndAnEditEmptiesRedo) {
    Editor e;
    e.open("undo.txt", tenLines());
    std::vector<std::vector<std::string>> states;
    for (int i = 0; i < 5; ++i) {
        e.prompter.inputs = {std::string("E") + std::to_string(i)};
        e.session.add({});
        states.push_back(e.lines());
    }
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(e.session.undo());
    EXPECT_EQ(e.lines(), states[0]);  // the state after the first edit, not the opened file
    EXPECT_FALSE(e.session.canUndo());
    EXPECT_FALSE(e.session.undo());
    ASSERT_TRUE(e.session.redo());
    EXPECT_EQ(e.lines(), states[1]);
    e.prompter.inputs = {std::string("new")};
    e.session.add({});
    EXPECT_FALSE(e.session.canRedo());
}

TEST(EditorUndo, RandomEditSequencesUndoAndRedoToTheSameStates) {
    std::mt19937 rng(20261208);
    for (int round = 0; round < 20; ++round) {
        Editor e;
        e.open("random.iso", readWhole(std::string(KORVEX_SOURCE_DIR) + "/examples/groups.iso"));
        std::vector<std::vector<std::string>> states{e.lines()};
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < edits; ++k) {
            const int n = e.session.doc().count();
            const int row = n > 0 ? static_cast<int>(rng() % static_cast<unsigned>(n)) : -1;
            const std::vector<int> sel = row < 0 ? std::vector<int>{} : std::vector<int>{row};
            switch (rng() % 5) {
            case 0: e.prompter.inputs = {"N9 G01 X1.000 Y" + std::to_string(k) + ".000;"}; e.session.add(sel); break;
            case 1: e.prompter.inputs = {std::string("N9 M00;")}; e.session.modify(sel); break;
            case 2: if (n > 1) e.session.deleteLines(sel); else continue; break;
            case 3: e.session.copy(sel); e.session.paste(sel); break;
            case 4: if (n > 1) e.session.cut(sel); else continue; break;
            }
            states.push_back(e.lines());
        }
        // Back as far as the history reaches, then forward again.
        const int steps = std::min<int>(static_cast<int>(states.size()) - 1, CUndo::kUndoLevels);
        for (int s = 1; s <= steps; ++s) {
            ASSERT_TRUE(e.session.undo());
            ASSERT_EQ(e.lines(), states[states.size() - 1 - static_cast<std::size_t>(s)]) << round << " undo " << s;
        }
        for (int s = steps - 1; s >= 0; --s) {
            ASSERT_TRUE(e.session.redo());
            ASSERT_EQ(e.lines(), states[states.size() - 1 - static_cast<std::size_t>(s)]) << round << " redo " << s;
        }
        EXPECT_FALSE(e.session.canRedo());
    }
}

TEST(EditorUndo, ThreeBStartLineThatNoLongerFitsRefusesTheEdit) {
    // A 3B program filling its table: replacing the start line by a statement would need a new
    // start line in front of it, which has no slot left.
    Editor e;
    e.open("full.3b", "B 1000 B 0 B 1000 GX L1\nDD\n");
    CTavrelDoc& doc = e.session.doc();
    ASSERT_EQ(doc.count(), 3);
    std::vector<std::string> fill(static_cast<std::size_t>(doc.capacity() - 4), "B 1000 B 0 B 1000 GX L1");
    e.session.copy({1});
    ASSERT_EQ(doc.insertLinesAfter(1, fill), 0);
    e.session.paste({1});
    ASSERT_EQ(doc.count(), doc.capacity());
    const auto before = e.lines();
    e.prompter.inputs = {std::string("B 2000 B 0 B 2000 GX L1")};
    e.prompter.shown.clear();
    e.session.modify({0});
    EXPECT_TRUE(e.prompter.saw(msg::kTableFull));
    EXPECT_EQ(e.lines(), before);
    EXPECT_EQ(doc.kind(), 2);
    // The refused edit left the history alone: one undo returns to before the paste.
    ASSERT_TRUE(e.session.undo());
    EXPECT_EQ(doc.count(), 3);
}

TEST(EditorUndo, AFatalReparseLeavesNoStaleSegmentsAndUndoRecovers) {
    Editor e;
    e.open("fatal.iso", test::kIsoSquare);
    ASSERT_TRUE(e.session.doc().machinable());
    // A jump whose move lacks its Y is fatal for the jump table.
    e.prompter.inputs = {std::string("N9 M00;"), std::string("N9 G01 X1.000;"), std::string("N9 M00;")};
    e.session.add({1});
    e.session.add({2});
    e.session.add({3});
    EXPECT_EQ(e.prompter.shown.back().fatalText, fatal::kJumpInfoFailed);
    EXPECT_FALSE(e.session.doc().machinable());
    for (int i = 0; i < e.session.doc().count(); ++i) {
        EXPECT_EQ(e.session.doc().segment(i), korvex::CodeSegment{}) << i;
    }
    ASSERT_TRUE(e.session.undo());  // the move without Y is still unreadable (61212)
    EXPECT_FALSE(e.session.doc().machinable());
    ASSERT_TRUE(e.session.undo());
    EXPECT_TRUE(e.session.doc().machinable());
    EXPECT_EQ(e.session.doc().segment(1).lower.kind, korvex::kElementLine);
}

TEST(EditorSave, AddingAGroupLineToThreeBSavesIsoTextAsFourNb) {
    Editor e;
    e.open("hf.3b", "B 1000 B 0 B 1000 GX L1\nDD\n");
    e.prompter.inputs = {std::string("N 1X: B B B T17 E0F3;  group")};
    e.session.add({1});
    e.session.doc().setMultiPass(true);
    const std::string out = test::scratchPath("hf-out.4nb");
    ::unlink(out.c_str());
    e.prompter.savePaths = {test::scratchPath("hf-out")};
    ASSERT_TRUE(e.session.save());
    EXPECT_EQ(e.prompter.saveDialogs, std::vector<SaveDialogKind>{SaveDialogKind::kFourNb});
    EXPECT_EQ(readWhole(out),
              "N0 G92 X0.000 Y0.000;\r\nN1 G01 X1.000 Y0.000;\r\nN2 T17 E0F3;  group\r\nN3 M02;\r\n");
    EXPECT_FALSE(e.session.doc().modified());
    EXPECT_TRUE(fileNameEndsWith(e.session.title(), "hf.3b"));  // saving keeps the document's own name
}

TEST(EditorSave, SaveAsOffersTheFilesOwnTypeAndCancelKeepsTheEdits) {
    Editor e;
    e.open("own.iso", test::kIsoSquare);
    e.prompter.inputs = {std::string("N9 M00;")};
    e.session.add({2});
    EXPECT_FALSE(e.session.saveAs());
    EXPECT_EQ(e.prompter.saveDialogs, std::vector<SaveDialogKind>{SaveDialogKind::kIso});
    EXPECT_TRUE(e.session.doc().modified());
    // Closing asks; Yes with a cancelled save abandons the close; Cancel too.
    e.prompter.answers = {Answer::kYes};
    // The file's place is taken by a folder: the save fails and the close is abandoned.
    const std::string path = e.session.path();
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    EXPECT_FALSE(e.session.close());
    ::rmdir(path.c_str());
    EXPECT_EQ(e.session.doc().count(), 7);
    EXPECT_TRUE(e.prompter.saw(msg::kWriteFailed));
    e.prompter.answers = {Answer::kCancel};
    EXPECT_FALSE(e.session.open(writeScratch("other.iso", test::kIsoSquare)));
    EXPECT_EQ(e.session.path(), path);
    e.prompter.answers = {Answer::kNo};
    EXPECT_TRUE(e.session.newDocument());
    EXPECT_EQ(e.session.title(), kUntitled);
    EXPECT_EQ(e.session.doc().capacity(), kReserveLines);
}

TEST(EditorSave, NewDocumentSaveGoesThroughTheDialogAndCreatesTheFile) {
    Editor e;
    e.prompter.inputs = {std::string("B 1000 B 0 B 1000 GX L1"), std::string("DD")};
    e.session.add({});
    e.session.add({0});
    const std::string target = test::scratchPath("created.3b");
    ::unlink(target.c_str());
    e.prompter.savePaths = {target};
    ASSERT_TRUE(e.session.save());
    EXPECT_EQ(e.prompter.saveDialogs, std::vector<SaveDialogKind>{SaveDialogKind::kThreeB});
    EXPECT_EQ(readWhole(target), "Start Point32  =  0, 0;      X, Y\r\nB 1000 B 0 B 1000 GX L1\r\nDD\r\n");
}

}  // namespace
}  // namespace tavrel
