// The Machining menu and Join in the window: their dialogs, enable rules, the recognised list and
// how a click in it moves the other views.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "code/kind.h"
#include "editor/code_lists.h"
#include "editor/document/tests/test_support.h"
#include "editor/graph_view.h"
#include "editor/machining_dialogs.h"
#include "editor/main_frame.h"
#include "editor/operator_prompter.h"
#include "platform/testing/scripted_operator.h"

namespace tavrel {
namespace {

using test::writeScratch;
using Script = korvex::testing::ScriptedOperator::DialogScript;

struct Frame {
    QTemporaryDir dir;
    korvex::testing::ScriptedOperator ui;
    OperatorPrompter prompter{ui};
    CMainFrame frame{prompter, dir.path() + "/Tavrel.ini"};
    Frame() {
        frame.resize(1000, 800);
        frame.show();
        QApplication::processEvents();
    }
    void open(const std::string& name, const std::string& text) {
        ASSERT_TRUE(frame.openFile(QString::fromStdString(writeScratch(name, text))));
    }
};

// An ISO program of `shortLines` lines of 0.5 mm, then a jump, then its end.
std::string shortLinesAndAJump(int shortLines) {
    std::string t = "N0 G92 X0.000 Y0.000;\n";
    int n = 1;
    for (int i = 0; i < shortLines; ++i) t += "N" + std::to_string(n++) + " G01 X0.500 Y0.000;\n";
    t += "N" + std::to_string(n++) + " M00;\n";
    t += "N" + std::to_string(n++) + " G01 X5.000 Y5.000;\n";
    t += "N" + std::to_string(n++) + " M00;\n";
    t += "N" + std::to_string(n++) + " G01 X0.000 Y2.000;\n";
    return t + "N" + std::to_string(n) + " M02;\n";
}

Script group(int g, QString* shown = nullptr) {
    return [g, shown](QDialog& d) {
        auto& dialog = dynamic_cast<HfGroupDialog&>(d);
        if (shown) *shown = dialog.list()->currentText();
        dialog.list()->setCurrentIndex(g);
        dialog.accept();
        return dialog.result();
    };
}

void click(QAbstractItemView& view, int row) {
    const QPoint at = view.visualRect(view.model()->index(row, 0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, view.viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view.viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &press);
    QApplication::sendEvent(view.viewport(), &release);
}

TEST(MachiningMenu, CommandsFollowTheMachinableFlag) {
    Frame f;
    for (const char* name : {"hfGroup", "recognise", "join"}) EXPECT_FALSE(f.frame.action(name)->isEnabled()) << name;
    f.open("m.iso", test::kIsoSquare);
    for (const char* name : {"hfGroup", "recognise", "join"}) EXPECT_TRUE(f.frame.action(name)->isEnabled()) << name;
    EXPECT_EQ(f.frame.action("hfGroup")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_EQ(f.frame.action("recognise")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(f.frame.action("join")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
    ASSERT_TRUE(f.frame.openFile(QStringLiteral(KORVEX_SOURCE_DIR "/examples/taper-square.iso")));
    for (const char* name : {"hfGroup", "recognise", "join"}) EXPECT_FALSE(f.frame.action(name)->isEnabled()) << name;
    // Asked anyway, Join refuses with the stop icon.
    EXPECT_FALSE(f.frame.session().join());
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.back().text, "This kind of code cannot be joined");
    EXPECT_EQ(f.ui.messages.back().icon, korvex::OperatorInteraction::Icon::Critical);
}

TEST(MachiningMenu, ClickingARecognisedEntryMovesTheCodeListTheDrawingAndTheGroupCommand) {
    Frame f;
    f.open("rec.iso", shortLinesAndAJump(60));
    EXPECT_FALSE(f.frame.findList()->isVisible());

    // An out-of-range threshold is refused by the dialog, which stays open.
    QString preset;
    f.ui.scripts["151"] = [&](QDialog& d) {
        auto& dialog = dynamic_cast<ThresholdDialog&>(d);
        preset = dialog.field()->text();
        dialog.field()->setText("1001");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(f.ui.messages.back().text, "Please enter an integer between 0 and 1000.");
        dialog.field()->setText("600");
        dialog.accept();
        return dialog.result();
    };
    f.frame.action("recognise")->trigger();
    EXPECT_EQ(preset, "400");
    QApplication::processEvents();
    ASSERT_TRUE(f.frame.findList()->isVisible());
    EXPECT_NEAR(f.frame.codeList()->width(), 2 * f.frame.findList()->width(), 12);

    RecognisedListModel& found = f.frame.findList()->model();
    ASSERT_EQ(found.rowCount(), 61);  // the 60 short lines and the jump
    EXPECT_EQ(found.index(60, 0).data().toString(), "  62@");
    EXPECT_EQ(found.index(56, 0).data().toString(), "  57");
    EXPECT_EQ(found.index(56, 1).data().toString(), "N57 G01 X0.500 Y0.000;");

    f.frame.findList()->scrollTo(found.index(56, 0));
    click(*f.frame.findList(), 56);
    CTavrelView& code = *f.frame.codeList();
    EXPECT_EQ(code.currentIndex().row(), 57);
    EXPECT_TRUE(code.viewport()->rect().intersects(code.visualRect(code.model().index(57, 0))));
    EXPECT_EQ(f.frame.graph()->selectedSegment(), 57);

    // HF group setting takes segment 57; its dialog opens on "0".
    QString shown;
    f.ui.scripts["132"] = group(4, &shown);
    f.frame.action("hfGroup")->trigger();
    EXPECT_EQ(shown, "0");
    EXPECT_EQ(code.model().index(58, 1).data().toString(), QString::fromUtf8("N 57X: T17 E0F4;  从第0组跳至第4组"));
    EXPECT_EQ(code.selectedRows(), std::vector<int>{57});
    EXPECT_TRUE(f.frame.session().doc().multiPass());
    // The list follows the edit: the jump moved down one line and is still marked.
    EXPECT_EQ(found.index(found.rowCount() - 1, 0).data().toString(), "  63@");
    f.frame.action("hfGroup")->trigger();
    EXPECT_EQ(shown, "0");  // also with group 4 in force
}

TEST(MachiningMenu, JoinAsksForTheFileAndTheOffsetThenRedraws) {
    Frame f;
    f.open("j1.iso", test::kIsoSquare);
    f.ui.openChoice = QString::fromStdString(writeScratch("j2.iso", test::kIsoSquare));
    f.ui.scripts["150"] = [&](QDialog& d) {
        auto& dialog = dynamic_cast<JoinOffsetDialog&>(d);
        EXPECT_EQ(dialog.xField()->text(), "0");
        dialog.xField()->setText("12x");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(f.ui.messages.back().text, "Please enter an integer.");
        dialog.xField()->setText("-12000");
        dialog.yField()->setText("3000");
        dialog.accept();
        return dialog.result();
    };
    f.frame.action("join")->trigger();
    const CodeListModel& code = f.frame.codeList()->model();
    ASSERT_EQ(code.rowCount(), 14);  // 5 + 3 separator lines + 6
    EXPECT_EQ(code.index(6, 1).data().toString(), "N  6: G01 X-12.000 Y3.000 ;");
    EXPECT_TRUE(f.frame.action("undo")->isEnabled());
    EXPECT_EQ(f.frame.session().doc().rect().minX, -12000);
}

TEST(MachiningMenu, JoinOpenDialogOffersTheDocumentsOwnFamily) {
    EXPECT_EQ(joinFilter(korvex::kKindIso), "G code files (*.iso *.ISO)");
    EXPECT_EQ(joinFilter(korvex::kKind3B), "3B code files (*.3b *.3B)");
    EXPECT_EQ(joinFilter(korvex::kKindIsoSwitches), "4NB multi-pass files (*.4nb *.4NB);;G code files (*.iso *.ISO)");
    EXPECT_EQ(joinExtension(korvex::kKindIsoSwitches), "4nb");
}

}  // namespace
}  // namespace tavrel
