// HF group setting and multi-pass code recognition, driven as the operator drives them.
#include <gtest/gtest.h>

#include <unistd.h>

#include "code/kind.h"
#include "editor/document/editor_session.h"
#include "editor/document/group_changes.h"
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
    void openExample(const char* name) {
        ASSERT_TRUE(session.open(std::string(KORVEX_SOURCE_DIR) + "/examples/" + name));
        prompter.shown.clear();
    }
    std::vector<std::string> lines() const { return sourceLines(session.doc()); }
};

// A numbered ISO program: the start line, the statements, the end line.
std::string isoProgram(const std::vector<std::string>& body) {
    std::string t = "N0 G92 X0.000 Y0.000;\n";
    int n = 1;
    for (const std::string& s : body) t += "N" + std::to_string(n++) + " " + s + "\n";
    return t + "N" + std::to_string(n) + " M02;\n";
}

TEST(HfGroupSetting, SegmentZeroDoesNothingAndSegmentOneInsertsLineTwo) {
    Editor e;
    e.open("hf.iso", test::kIsoSquare);
    e.prompter.groups = {3, 3};
    EXPECT_EQ(e.session.setHfGroup(0), -1);
    EXPECT_EQ(e.prompter.groups.size(), 2u);  // the dialog was not shown
    EXPECT_EQ(e.session.doc().count(), 6);

    EXPECT_EQ(e.session.setHfGroup(1), 1);
    ASSERT_EQ(e.session.doc().count(), 7);
    EXPECT_EQ(e.lines()[2], "N 1X: T17 E0F3;  从第0组跳至第3组");
    EXPECT_EQ(e.session.doc().kind(), korvex::kKindIsoSwitches);
    EXPECT_TRUE(e.session.doc().multiPass());
    EXPECT_TRUE(e.session.doc().modified());
    EXPECT_TRUE(e.session.canUndo());
    // The next change leaves the group now in force, 3.
    EXPECT_EQ(e.session.setHfGroup(4), 4);
    EXPECT_EQ(e.lines()[5], "N 4X: T17 E3F3;  从第3组跳至第3组");
}

TEST(HfGroupSetting, AJumpIsNeverSplit) {
    // two-holes.iso: line 4 M00, 5 G01 (the jump), 6 M00.
    const struct {
        int selected, lineAfter;
    } cases[] = {{3, 3}, {4, 6}, {5, 6}, {6, 6}, {7, 7}};
    for (const auto& c : cases) {
        Editor e;
        e.openExample("two-holes.iso");
        ASSERT_TRUE(e.session.doc().startsJump(5));
        e.prompter.groups = {2};
        EXPECT_EQ(e.session.setHfGroup(c.selected), c.lineAfter) << c.selected;
        EXPECT_EQ(e.lines()[static_cast<std::size_t>(c.lineAfter) + 1],
                  "N " + std::to_string(c.lineAfter) + "X: T17 E0F2;  从第0组跳至第2组")
            << c.selected;
        // The jump is still found after the change.
        EXPECT_EQ(e.session.doc().jumps().size(), 1u) << c.selected;
    }
}

TEST(HfGroupSetting, ThreeBGetsTheThreeBLineAndSavesAsFourNb) {
    std::string text = "Start Point32  =  0, 0;      X, Y\n";
    for (int i = 1; i <= 11; ++i) text += "B 1000 B 0 B 1000 GX L1\n";
    text += "DD\n";
    Editor e;
    e.open("hf10.3b", text);
    e.prompter.groups = {3};
    EXPECT_EQ(e.session.setHfGroup(10), 10);
    EXPECT_EQ(e.lines()[11], "N 10X: B B B T17 E0F3;  从第0组跳至第3组");
    EXPECT_EQ(e.session.doc().kind(), korvex::kKind3B);
    EXPECT_EQ(std::string(e.session.doc().workingLine(11)).rfind("N11 T17 E0F3;", 0), 0u);
    ASSERT_EQ(e.session.doc().groupChanges().size(), 1u);
    EXPECT_EQ(e.session.doc().groupChanges()[0], (GroupChange{11, 0, 3}));
    e.prompter.savePaths = {std::nullopt};
    EXPECT_FALSE(e.session.save());
    EXPECT_EQ(e.prompter.saveDialogs, std::vector<SaveDialogKind>{SaveDialogKind::kFourNb});
}

TEST(HfGroupSetting, CancelOrAFullTableChangesNothing) {
    Editor e;
    e.open("hffull.iso", test::kIsoSquare);
    e.prompter.groups = {std::nullopt};
    EXPECT_EQ(e.session.setHfGroup(2), -1);
    EXPECT_FALSE(e.session.doc().modified());

    // Fill the 1006 slots, then delete and undo, so that there is something to redo.
    e.session.copy({1, 2, 3});
    while (e.session.doc().count() + 3 <= e.session.doc().capacity()) e.session.paste({0});
    e.prompter.inputs = {std::string("N9 M00;")};
    e.session.add({0});
    e.session.deleteLines({1});
    e.session.undo();
    ASSERT_EQ(e.session.doc().count(), e.session.doc().capacity());
    const std::string current = *e.session.undoList().current();
    e.prompter.shown.clear();
    e.prompter.groups = {1};
    EXPECT_EQ(e.session.setHfGroup(2), -1);
    EXPECT_EQ(e.prompter.ids(), std::vector<std::string>{msg::kTableFull});
    EXPECT_FALSE(e.session.doc().multiPass());
    EXPECT_EQ(*e.session.undoList().current(), current);
    EXPECT_TRUE(e.session.canRedo());
}

TEST(HfGroupSetting, TheCommentFollowsTheFilesEncoding) {
    EXPECT_EQ(groupChangeLine(korvex::kKindIso, 7, 1, 2, false),
              "N 7X: T17 E1F2;  \xB4\xD3\xB5\xDA" "1\xD7\xE9\xCC\xF8\xD6\xC1\xB5\xDA" "2\xD7\xE9");
}

TEST(Recognise, ThresholdListsJumpStartsAndLinesStrictlyShorter) {
    Editor e;
    e.open("rec.iso", isoProgram({"G01 X0.999 Y0.000;", "G01 X0.600 Y0.800;", "G01 X0.000 Y-0.500;",
                                  "M00;", "G01 X0.300 Y0.000;", "M00;", "G02 X0.000 Y0.000 I-0.100 J0.000;"}));
    CTavrelDoc& doc = e.session.doc();
    // Threshold 0: jump starts only.
    EXPECT_EQ(doc.recognise(0), 0);
    ASSERT_EQ(doc.recognised().size(), 1u);
    EXPECT_EQ(doc.recognised()[0].segment, 5);
    EXPECT_EQ(doc.recognised()[0].jump, 1);
    // 1000: 0.999 mm and 0.5 mm, not the line of exactly 1 mm (0.6, 0.8); the jump still once.
    e.prompter.thresholds = {1000};
    EXPECT_TRUE(e.session.recogniseCodes());
    EXPECT_EQ(e.prompter.presets, std::vector<int>{400});
    std::vector<std::pair<int, int>> listed;
    for (const RecognisedEntry& r : doc.recognised()) listed.emplace_back(r.segment, r.jump);
    EXPECT_EQ(listed, (std::vector<std::pair<int, int>>{{1, 0}, {3, 0}, {5, 1}}));
    EXPECT_EQ(doc.threshold(), 1000);

    // An edit recognises again with the kept threshold: the new short line is listed.
    e.prompter.inputs = {std::string("N9 G01 X0.000 Y0.100;")};
    e.session.add({1});
    ASSERT_EQ(doc.recognised().size(), 4u);
    EXPECT_EQ(doc.recognised()[1].segment, 2);
    EXPECT_TRUE(e.prompter.shown.empty());
}

TEST(Recognise, KindsOneTwoAndFourOnlyAndEveryQualifyingSegmentIsListed) {
    std::vector<std::string> body;
    for (int i = 0; i < 400; ++i) body.push_back("G01 X0.010 Y0.000;");
    Editor e;
    e.open("many.iso", isoProgram(body));
    e.prompter.groups = {1};
    e.session.setHfGroup(1);
    ASSERT_EQ(e.session.doc().kind(), korvex::kKindIsoSwitches);
    EXPECT_EQ(e.session.doc().recognise(100), 0);
    EXPECT_EQ(e.session.doc().recognised().size(), 400u);

    // A two-contour program cannot be recognised: told when asked, silent on the re-run of an edit.
    Editor taper;
    taper.openExample("taper-square.iso");
    ASSERT_TRUE(korvex::isTwoContourKind(taper.session.doc().kind()));
    EXPECT_EQ(taper.session.doc().recognise(400), -1);
    EXPECT_EQ(taper.prompter.ids(), std::vector<std::string>{msg::kNoRecognition});
    EXPECT_TRUE(taper.session.doc().recognised().empty());
    taper.prompter.shown.clear();
    taper.prompter.inputs = {std::string("N99 M00; N99 M00;")};
    taper.session.add({1});
    EXPECT_FALSE(taper.prompter.saw(msg::kNoRecognition));
    // The menu commands do nothing on it.
    taper.prompter.thresholds = {400};
    taper.prompter.groups = {1};
    EXPECT_FALSE(taper.session.recogniseCodes());
    EXPECT_EQ(taper.session.setHfGroup(2), -1);
}

}  // namespace
}  // namespace tavrel
