// The graph view inside the main window: View keys wherever the focus is, the panes it feeds,
// and the mini status window.
#include "controller/tests/controller_fixture.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_view.h"
#include "controller/views/mini_status_window.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QTest>

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");

TEST_F(ControllerTest, ViewKeysActWithTheFocusInTheCodeList) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.frame.resize(1000, 700);
    c.frame.show();
    ASSERT_TRUE(c.frame.openRequest(kSquare));
    // The load's wait dialogs took the activation with them.
    c.frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&c.frame));
    CGraphView* graph = c.frame.graphView();
    EXPECT_EQ(c.frame.paneText(CMainFrame::kGridPane), qtTrId("61489").arg(graph->mapping().micronsPerGrid()));
    c.frame.codeListView()->setFocus();
    const int64_t fitScale = graph->mapping().scale();
    QTest::keyClick(c.frame.codeListView(), Qt::Key_PageUp);
    EXPECT_EQ(graph->mapping().level(), 1);
    EXPECT_LT(graph->mapping().scale(), fitScale);
    EXPECT_EQ(c.frame.paneText(CMainFrame::kGridPane), qtTrId("61489").arg(graph->mapping().micronsPerGrid()));
    QTest::keyClick(c.frame.codeListView(), Qt::Key_PageDown);
    QTest::keyClick(c.frame.codeListView(), Qt::Key_PageDown);
    EXPECT_EQ(graph->mapping().level(), -1);
    QTest::keyClick(c.frame.codeListView(), Qt::Key_Home);
    EXPECT_EQ(graph->mapping().level(), 0);
    EXPECT_EQ(graph->mapping().scale(), fitScale);
    QTest::keyClick(c.frame.codeListView(), Qt::Key_Space);
    EXPECT_TRUE(graph->moveMode());
    QTest::keyClick(c.frame.codeListView(), Qt::Key_Space);
    EXPECT_FALSE(graph->moveMode());
    // The mouse over the graph fills the X and Y panes.
    QTest::mouseMove(graph, QPoint(graph->mapping().originX() + 10, graph->mapping().originY() - 20));
    EXPECT_EQ(c.frame.paneText(CMainFrame::kXPane), QStringLiteral("X=%1").arg(10 * graph->mapping().scale()));
    EXPECT_EQ(c.frame.paneText(CMainFrame::kYPane), QStringLiteral("Y=%1").arg(20 * graph->mapping().scale()));
}

TEST_F(ControllerTest, MiniStatusWindowStandsInForTheMinimisedWindow) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.frame.show();
    MiniStatusWindow* mini = c.frame.miniStatus();
    ASSERT_NE(mini, nullptr);
    EXPECT_FALSE(mini->isVisible());
    c.frame.showMinimized();
    EXPECT_TRUE(mini->isVisible());
    c.frame.showNormal();
    EXPECT_FALSE(mini->isVisible());

    c.frame.showStatusText("61494");  // Cutting...
    EXPECT_FALSE(mini->headlineRed());
    EXPECT_EQ(c.frame.paneText(CMainFrame::kMessagePane), qtTrId("61494"));
    c.frame.showStatusText("61572");  // Paused
    EXPECT_TRUE(mini->headlineRed());
    EXPECT_EQ(mini->headline(), c.session.machineName + QStringLiteral("-") + qtTrId("61572"));
    installTranslations(Language::Chinese);
    c.frame.showStatusText("61572");
    EXPECT_TRUE(mini->headlineRed());
    EXPECT_TRUE(mini->headline().endsWith(qtTrId("61572")));
    EXPECT_NE(qtTrId("61572"), QStringLiteral("Paused"));
    installTranslations(Language::English);

    mini->setProgress(250, 1000);
    mini->setSpeed(37);
    mini->setSegments(12, 40);
    EXPECT_EQ(mini->progressPercent(), 25);
    EXPECT_EQ(mini->speedText(), QStringLiteral("37/s"));
    EXPECT_EQ(mini->segmentText(), QStringLiteral("12/40"));
    mini->setTransparent(true);
    EXPECT_TRUE(mini->transparent());
}

}  // namespace
}  // namespace korvex::testing
