// The window: panes, commands through the actions, selection between the views, recent files.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "editor/code_lists.h"
#include "editor/document/tests/test_support.h"
#include "editor/graph_view.h"
#include "editor/main_frame.h"
#include "editor/operator_prompter.h"
#include "platform/testing/scripted_operator.h"

namespace tavrel {
namespace {

using test::writeScratch;

// The operator types `text` into the code input dialog and presses OK.
korvex::testing::ScriptedOperator::DialogScript typeCode(const QString& text) {
    return [text](QDialog& dialog) {
        auto& input = dynamic_cast<CodeInputDialog&>(dialog);
        input.edit()->setText(text);
        input.accept();
        return input.result();
    };
}

struct Frame {
    QTemporaryDir dir;
    korvex::testing::ScriptedOperator ui;
    OperatorPrompter prompter{ui};
    CMainFrame frame{prompter, dir.path() + "/Tavrel.ini"};
    Frame() { frame.resize(900, 700); }
};

TEST(MainFrame, StartsAsAnEmptyNamedWindowWithItsPanes) {
    Frame f;
    EXPECT_EQ(f.frame.objectName(), "Tavrel");
    EXPECT_EQ(f.frame.paneText("grid"), "um/grid");
    EXPECT_EQ(f.frame.paneText("x"), "X");
    EXPECT_FALSE(f.frame.action("undo")->isEnabled());
    EXPECT_EQ(f.frame.action("add")->shortcut(), QKeySequence(Qt::Key_Insert));
    EXPECT_EQ(f.frame.action("saveAs")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    // Fit at the initial scale would show 50 x 125 um per cell.
    f.frame.graph()->zoomIn();
    f.frame.graph()->zoomOut();
    EXPECT_EQ(f.frame.paneText("grid"), "6250um/grid");
}

TEST(MainFrame, OpenFillsTheListAndPathPaneAndRemembersTheFile) {
    Frame f;
    const std::string path = writeScratch("frame.iso", test::kIsoSquare);
    ASSERT_TRUE(f.frame.openFile(QString::fromStdString(path)));
    EXPECT_EQ(f.frame.codeList()->model().rowCount(), 6);
    EXPECT_EQ(f.frame.codeList()->model().index(1, 0).data().toString(), "   1");
    EXPECT_EQ(f.frame.codeList()->model().index(1, 1).data().toString(), "N1 G01 X10.000 Y0.000;");
    EXPECT_EQ(f.frame.paneText("path"), QString::fromStdString(path));
    EXPECT_EQ(f.frame.recentFiles(), QStringList{QString::fromStdString(path)});
    f.frame.action("fit")->trigger();
    EXPECT_EQ(f.frame.paneText("grid"),
              QStringLiteral("%1um/grid").arg(50 * f.frame.graph()->geometryState().scale));
}

TEST(MainFrame, AddThroughTheActionEditsTheSelectedPlaceAndEnablesUndo) {
    Frame f;
    ASSERT_TRUE(f.frame.openFile(QString::fromStdString(writeScratch("cmd.iso", test::kIsoSquare))));
    f.frame.codeList()->selectRow(2);
    f.ui.scripts["131"] = typeCode("N9 M00;");
    f.frame.action("add")->trigger();
    EXPECT_EQ(f.ui.dialogsRun, std::vector<QString>{"131"});
    EXPECT_EQ(f.frame.codeList()->model().rowCount(), 7);
    EXPECT_EQ(f.frame.codeList()->model().index(3, 1).data().toString(), "N9 M00;");
    EXPECT_EQ(f.frame.codeList()->selectedRows(), std::vector<int>{2});
    EXPECT_TRUE(f.frame.action("undo")->isEnabled());
    f.frame.action("undo")->trigger();
    EXPECT_EQ(f.frame.codeList()->model().rowCount(), 6);
    EXPECT_TRUE(f.frame.action("redo")->isEnabled());
}

TEST(MainFrame, ChoosingASegmentMovesTheDrawingsSelection) {
    Frame f;
    ASSERT_TRUE(f.frame.openFile(QString::fromStdString(writeScratch("sel.iso", test::kIsoSquare))));
    f.frame.chooseSegment(3, f.frame.codeList());
    EXPECT_EQ(f.frame.graph()->selectedSegment(), 3);
    f.frame.chooseSegment(99, f.frame.codeList());  // outside the document: nothing changes
    EXPECT_EQ(f.frame.graph()->selectedSegment(), 3);
}

TEST(MainFrame, ASaveThatFailsKeepsTheWindowOpen) {
    Frame f;
    ASSERT_TRUE(f.frame.openFile(QString::fromStdString(writeScratch("keep.iso", test::kIsoSquare))));
    f.ui.scripts["131"] = typeCode("N9 M00;");
    f.frame.action("add")->trigger();
    f.ui.answers = {korvex::OperatorInteraction::Answer::Cancel};
    EXPECT_FALSE(f.frame.close());
    EXPECT_TRUE(f.frame.session().doc().modified());
    // Yes, then a save refused because the file's place is taken by a folder: still open.
    const QString path = QString::fromStdString(f.frame.session().path());
    QFile::remove(path);
    QDir().mkdir(path);
    f.ui.answers = {korvex::OperatorInteraction::Answer::Yes};
    EXPECT_FALSE(f.frame.close());
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_TRUE(f.ui.messages.back().text.contains(path));
    QDir().rmdir(path);
}

}  // namespace
}  // namespace tavrel

namespace tavrel {
namespace {

TEST(CodeListText, LinesShowAsUtf8OrElseGb18030AndTypedTextGoesBackTheSameWay) {
    const char gb[] = "\xB4\xFA\xC2\xEB";  // "代码" in GB18030
    EXPECT_EQ(decodeLine(gb, false), QString::fromUtf8("代码"));
    EXPECT_EQ(encodeLine(QString::fromUtf8("代码"), false), std::string(gb));
    EXPECT_EQ(decodeLine("N1 \xE4\xBB\xA3", true), QString::fromUtf8("N1 代"));
}

}  // namespace
}  // namespace tavrel
