#include "controller/tests/controller_fixture.h"

#include "controller/document/wait_dialog.h"
#include "controller/views/code_list_view.h"

#include <QCoreApplication>
#include <QMenu>
#include <QUrl>

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
const QString kSlot = QStringLiteral(KORVEX_EXAMPLES_DIR "/slot.iso");

QStringList recentMenuTexts(CMainFrame& frame) {
    QStringList texts;
    for (QAction* a : frame.fileMenu()->actions())
        if (a->menu())
            for (QAction* entry : a->menu()->actions())
                texts << entry->text();
    return texts;
}

TEST_F(ControllerTest, OpenRequestDuringALoadIsRefusedAndTheLoadCompletes) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    bool secondOpened = true;
    bool tried = false;
    QObject::connect(&c.document, &CDCSDoc::waitDialogStarted, &c.frame, [&](CWaitDialog*) {
        if (tried)
            return;
        tried = true;
        secondOpened = c.frame.openRequest(kSlot);
    });
    ASSERT_TRUE(c.frame.openRequest(kSquare));
    EXPECT_FALSE(secondOpened);
    ASSERT_FALSE(c.operatorUi.messages.empty());
    EXPECT_EQ(c.operatorUi.messages[0].text, "Please stop the simulating or cutting work first!");
    EXPECT_EQ(c.document.path(), kSquare);
}

TEST_F(ControllerTest, LoadedProgramReachesTitleRecentListViewsAndPanes) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    EXPECT_FALSE(recentMenuTexts(c.frame).filter("square").size());
    ASSERT_TRUE(c.frame.openRequest(kSquare));
    EXPECT_TRUE(c.frame.windowTitle().contains("-" + QString(kSquare) + " : ")) << c.frame.windowTitle().toStdString();
    EXPECT_TRUE(recentMenuTexts(c.frame).filter(kSquare).size() == 1);
    EXPECT_GT(c.frame.codeListView()->model()->rowCount(), 0);
    EXPECT_EQ(c.frame.paneText(CMainFrame::kLoopPane), "Loop:0/1");
    EXPECT_TRUE(c.frame.paneText(CMainFrame::kGridPane).endsWith("um/grid"));

    // Close asks first; No keeps the program.
    c.operatorUi.answers = {OperatorInteraction::Answer::No};
    EXPECT_FALSE(c.frame.closeFromMenu());
    EXPECT_TRUE(c.document.isLoaded());
    c.operatorUi.answers = {OperatorInteraction::Answer::Yes};
    EXPECT_TRUE(c.frame.closeFromMenu());
    EXPECT_FALSE(c.document.isLoaded());
    EXPECT_TRUE(c.frame.windowTitle().contains("-No Title : "));
    EXPECT_TRUE(c.link.wasSent("CMD_CLEAR_WORK"));
}

TEST_F(ControllerTest, DroppedFilesOpenOneAfterAnother) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    // The second file asks whether to close the first; Yes.
    c.operatorUi.answers = {OperatorInteraction::Answer::Yes};
    c.frame.openDroppedFiles({QUrl::fromLocalFile(kSquare), QUrl::fromLocalFile(kSlot)});
    EXPECT_EQ(c.operatorUi.questions.size(), 1u);
    EXPECT_EQ(c.document.path(), kSlot);
    EXPECT_EQ(c.frame.recentFiles().entries(), (QStringList{kSlot, kSquare}));
}

TEST(StatusPanes, PhaseModesOutsideTheKnownOnesShowAsNumbers) {
    ensureApplication();
    const std::pair<int, const char*> cases[] = {{0, "3-6"}, {1, "4-8"}, {2, "5-10"}, {3, "MicroStep"},
                                                 {4, "Servo"}, {5, "5"}, {255, "255"}, {-1, "-1"}};
    for (const auto& [mode, text] : cases)
        EXPECT_EQ(phaseModeName(mode), text);
}

}  // namespace
}  // namespace korvex::testing
