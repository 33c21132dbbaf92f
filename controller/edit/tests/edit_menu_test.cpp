#include "controller/edit/edit_menu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTranslator>

#include <gtest/gtest.h>

#include "controller/edit/tests/edit_test_support.h"
#include "platform/string_table.h"

namespace korvex {
namespace {

TEST(EditMenu, InstallsEntriesShortcutsButtonsAndEnableRules) {
    test::EditFixture f;
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("File"));
    QAction* open = file->addAction(QStringLiteral("Open"));
    QMenu* edit = window.menuBar()->addMenu(qtTrId("ed-menu-edit"));
    QToolBar* bar = window.addToolBar(QStringLiteral("Main"));
    f.workState = 0;
    EditCommandSet* set = installEditCommands(file, edit, bar, f.context(), &window);

    // Generate 3B comes first in the File menu.
    ASSERT_GE(file->actions().size(), 2);
    EXPECT_EQ(file->actions()[0], set->generate3BAction());
    EXPECT_EQ(file->actions()[1], open);
    EXPECT_EQ(set->generate3BAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(set->verticalMirrorAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(set->horizontalMirrorAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(set->offsetAction()->text(), QStringLiteral("Offset(&G)"));
    EXPECT_TRUE(edit->actions().contains(set->offsetAction()));
    const QList<QAction*> buttons = bar->actions();
    ASSERT_GE(buttons.size(), 4);
    EXPECT_EQ(buttons.mid(buttons.size() - set->toolBarActions().size()), set->toolBarActions());
    EXPECT_EQ(set->toolBarActions().first(), set->reverseFlipAction());
    EXPECT_FALSE(set->forwardFlipAction()->icon().isNull());

    // No program: only the generator.
    EXPECT_TRUE(set->generate3BAction()->isEnabled());
    EXPECT_FALSE(set->verticalMirrorAction()->isEnabled());
    EXPECT_FALSE(set->offsetAction()->isEnabled());
    // Loaded and idle: everything; opening the menu is enough to follow.
    f.workState = 1;
    emit edit->aboutToShow();
    EXPECT_TRUE(set->verticalMirrorAction()->isEnabled());
    EXPECT_TRUE(set->offsetAction()->isEnabled());
    // Cutting: nothing.
    f.workState = 3;
    set->refresh();
    EXPECT_FALSE(set->generate3BAction()->isEnabled());
    EXPECT_FALSE(set->forwardFlipAction()->isEnabled());
}

TEST(EditMenu, TriggeringAnEntryRunsItsCommand) {
    test::EditFixture f;
    const QString source = f.write(QStringLiteral("part.iso"), test::isoSquare10());
    ASSERT_TRUE(f.open(source));
    QMainWindow window;
    QMenu* edit = window.menuBar()->addMenu(qtTrId("ed-menu-edit"));
    EditCommandSet* set = installEditCommands(nullptr, edit, nullptr, f.context(), &window);
    set->horizontalMirrorAction()->trigger();
    EXPECT_EQ(f.doc.path(), source + QStringLiteral("@_@_ty.iso"));
    // The generator and the Offset dialog go through the operator interaction by name.
    set->generate3BAction()->trigger();
    set->offsetAction()->trigger();
    EXPECT_EQ(f.ui.dialogsRun, (std::vector<QString>{QStringLiteral("Generate3BDialog"),
                                                     QStringLiteral("OffsetDialog")}));
}

TEST(EditStrings, EveryTextHasItsChineseTranslation) {
    test::ensureApplication();
    QTranslator chinese;
    ASSERT_TRUE(chinese.load(QStringLiteral(":/i18n/edit_zh.qm")));
    const char* ids[] = {"ed-menu-edit", "ed-menu-generate3b", "ed-menu-forward-flip",
                         "ed-menu-reverse-flip", "ed-menu-vertical-mirror",
                         "ed-menu-horizontal-mirror", "ed-menu-offset", "ed-not-supported",
                         "ed-code-generated", "ed-offset-not-taper", "ed-offset-jumps",
                         "ed-offset-failed", "ed-offset-range", "ed-offset-title",
                         "ed-offset-field", "ed-offset-note", "ed-offset-corner",
                         "ed-offset-sharp", "ed-offset-round", "ed-gen3b-title",
                         "ed-gen3b-start-x", "ed-gen3b-start-y", "ed-gen3b-statement",
                         "ed-gen3b-direction", "ed-gen3b-code", "ed-gen3b-add",
                         "ed-gen3b-delete", "ed-gen3b-generate", "ed-gen3b-save-caption",
                         "ed-gen3b-filter"};
    for (const char* id : ids) {
        const QString english = qtTrId(id);
        EXPECT_NE(english, QLatin1String(id)) << id << " has no English text";
        const QString zh = chinese.translate(nullptr, id);
        EXPECT_FALSE(zh.isEmpty()) << id;
        EXPECT_NE(zh, english) << id;
    }
    EXPECT_EQ(chinese.translate(nullptr, "ed-not-supported"), QStringLiteral("暂不支持该功能！"));
    EXPECT_EQ(chinese.translate(nullptr, "ed-offset-round"), QStringLiteral("圆角补偿"));
}

}  // namespace
}  // namespace korvex
