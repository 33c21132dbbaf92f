// The graph view inside the main window: View keys wherever the focus is, the panes it feeds,
// and the mini status window.
#include "controller/machine_control.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/graph_raster.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_view.h"
#include "controller/views/mini_status_window.h"
#include "platform/string_table.h"
#include "sim/card/card_engine.h"

#include <QApplication>
#include <QTest>

#include <chrono>
#include <optional>

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");

TEST_F(ControllerTest, ViewKeysActWithTheFocusInTheCodeList) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.frame.resize(1000, 700);
    c.frame.show();
    ASSERT_EQ(c.frame.openRequest(kSquare), OpenOutcome::Opened);
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

namespace korvex::testing {
namespace {

// A cut of the groups example on the virtual card: the polled positions reach the view, whose
// machined pixels grow in the groups' colours and whose current point is the card's position;
// the row the code list moves to with the cut is not drawn as the operator's selection.
TEST_F(ControllerTest, PolledPositionsOfACutGrowTheMachinedPathInGroupColours) {
    constexpr double kFastCard = 20.0;
    ControllerParts c(sim::kDefaultCardId, kFastCard);
    ASSERT_TRUE(c.start());
    c.frame.resize(1000, 700);
    c.frame.show();
    ASSERT_EQ(c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/groups.iso")), OpenOutcome::Opened);
    std::optional<MachineControl> machine;
    machine.emplace(c.session, c.link.link(), c.operatorUi, c.events, c.pulseTable, &c.frame);
    c.frame.attachMachineControl(*machine);
    c.operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        d.accept();  // the whole program
        return d.result();
    };
    CGraphView* graph = c.frame.graphView();
    auto count = [graph](uint32_t bgr) {
        const QImage& image = graph->picture();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) | 0xFF000000u) == colorRef(bgr);
        return n;
    };
    const int orangeBefore = count(0x0080FF);
    const int greenBefore = count(0x00FF00);  // the range marks
    machine->operations().press(Operation::Cut);
    int lastOrange = orangeBefore, grew = 0;
    int32_t lastSegment = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const auto progress = graph->progress();
        if (!progress || progress->current == lastSegment)
            continue;
        lastSegment = progress->current;
        const int orange = count(0x0080FF);
        grew += orange > lastOrange;
        EXPECT_GE(orange, lastOrange);
        lastOrange = orange;
        if (progress->current >= 5)
            break;
    }
    ASSERT_TRUE(graph->progress());
    EXPECT_GE(graph->progress()->current, 3);
    EXPECT_GT(lastOrange, orangeBefore);
    EXPECT_GE(grew, 1);
    // The code list follows the cut, yet the segment being cut is not drawn as a selection.
    EXPECT_EQ(c.frame.codeListView()->currentIndex().row(), c.frame.codeListView()->lastReportedSegment());
    EXPECT_EQ(graph->scene().selected, -1);
    machine->operations().press(Operation::Cut);  // pause
    const auto paused = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(machine->operations().idle() && machine->operations().label(Operation::Cut) == ButtonLabel::Start) &&
           std::chrono::steady_clock::now() < paused)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(machine->operations().idle());
    EXPECT_GT(count(0x00FF00), greenBefore);  // group 4 from segment 5 on
    // The stop's status block puts the current point where the card's engine stands.
    const WorkParams here = c.card.server().withEngine([](sim::CardEngine& e) { return e.position(); });
    ASSERT_EQ(graph->progress()->current, here.segment);
    EXPECT_EQ(graph->progress()->lowerPointX, here.guideX);
    EXPECT_EQ(graph->progress()->lowerPointY, here.guideY);
    EXPECT_EQ(graph->progress()->guides.x, here.guideX);  // the readout
    EXPECT_EQ(graph->progress()->guides.y, here.guideY);
    // A row the operator chooses is the selected segment.
    c.frame.codeListView()->setCurrentIndex(c.frame.codeListView()->model()->index(2, 0));
    EXPECT_EQ(graph->scene().selected, 2);
    machine.reset();
}

}  // namespace
}  // namespace korvex::testing
