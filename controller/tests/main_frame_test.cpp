#include "controller/tests/controller_fixture.h"

#include "controller/document/wait_dialog.h"
#include <QEventLoop>
#include <QTimer>
#include "controller/views/code_list_view.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSplitter>
#include <QUrl>

#include "controller/views/graph_view.h"
#include "controller/working_copies.h"
#include "platform/data_dirs.h"
#include "platform/settings_file.h"

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
        secondOpened = c.frame.openRequest(kSlot) == OpenOutcome::Opened;
    });
    ASSERT_EQ(c.frame.openRequest(kSquare), OpenOutcome::Opened);
    EXPECT_FALSE(secondOpened);
    ASSERT_FALSE(c.operatorUi.messages.empty());
    EXPECT_EQ(c.operatorUi.messages[0].text, "Please stop the simulating or cutting work first!");
    EXPECT_EQ(c.document.path(), kSquare);
}

TEST_F(ControllerTest, LoadedProgramReachesTitleRecentListViewsAndPanes) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    EXPECT_FALSE(recentMenuTexts(c.frame).filter("square").size());
    ASSERT_EQ(c.frame.openRequest(kSquare), OpenOutcome::Opened);
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

TEST_F(ControllerTest, LongStatementsReadInFullAsToolTipsAndPaneSizesAreRemembered) {
    QList<int> moved;
    {
        ControllerParts c;
        ASSERT_TRUE(c.start());
        ASSERT_EQ(c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/two-holes.iso")), OpenOutcome::Opened);
        CDCSView* list = c.frame.codeListView();
        const QString whole = list->model()->index(2, 1).data().toString();
        ASSERT_FALSE(whole.isEmpty());
        // The pointer over either column of a row shows that row's whole statement.
        for (int column : {0, 1})
            EXPECT_EQ(list->toolTipAt(list->visualRect(list->model()->index(2, column)).center()),
                      whole + QLatin1Char('\n') + qtTrId("codelist.stop_hint"));
        EXPECT_TRUE(list->toolTipAt(QPoint(-5, -5)).isEmpty());

        QSplitter* panes = c.frame.paneSplitter();
        c.frame.resize(1000, 700);
        QCoreApplication::processEvents();
        QList<int> sizes = panes->sizes();
        ASSERT_EQ(sizes.size(), 3);
        // The operator widens the code list by 120 pixels at the graph's expense.
        sizes[1] -= 120;
        sizes[2] += 120;
        panes->setSizes(sizes);
        moved = panes->sizes();
        c.frame.saveSplitterSizes();
    }
    EXPECT_FALSE(SettingsFile(machineSettingsPath()).readText("Window", "Panes", "").isEmpty());
    ControllerParts c;
    c.frame.resize(1000, 700);
    c.frame.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(c.frame.paneSplitter()->sizes(), moved);
}

TEST_F(ControllerTest, GraphPictureFollowsTheProgramAndIsDroppedWithIt) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.frame.resize(800, 600);
    ASSERT_EQ(c.frame.openRequest(kSquare), OpenOutcome::Opened);
    CGraphView* graph = c.frame.graphView();
    for (int turn = 0; turn < 1000 && !graph->pictureCurrent(); ++turn) {
        QEventLoop wait;
        QObject::connect(graph, &CGraphView::pictureUpdated, &wait, &QEventLoop::quit);
        QTimer::singleShot(100, &wait, &QEventLoop::quit);  // a bound, not a synchronisation
        wait.exec();
    }
    ASSERT_TRUE(graph->pictureCurrent());
    const QImage shown = graph->grab().toImage();
    int white = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            white += (shown.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
    EXPECT_GT(white, 50);  // the square's outline, not yet machined
    c.operatorUi.answers = {OperatorInteraction::Answer::Yes};
    ASSERT_TRUE(c.frame.closeFromMenu());
    EXPECT_FALSE(graph->pictureCurrent());
    EXPECT_EQ(graph->micronsPerGrid(), 0);
}

TEST_F(ControllerTest, OnlyTheNewestWorkingCopiesAreKept) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    const QDir tmp(temporaryDirectory());
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < kKeptWorkingCopies + 5; ++i) {
        QFile f(tmp.filePath(QStringLiteral("old-%1.iso").arg(i)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("N0 M02;\n");
        f.flush();  // written now, so the time set next stays
        // old-0 is the newest of them, all older than anything loaded now.
        f.setFileTime(now.addSecs(-60 - i), QFileDevice::FileModificationTime);
    }
    ASSERT_EQ(c.frame.openRequest(kSquare), OpenOutcome::Opened);
    c.document.waitForWorkingCopy();
    const QStringList left = tmp.entryList(QDir::Files);
    EXPECT_EQ(left.size(), kKeptWorkingCopies) << left.join(' ').toStdString();
    EXPECT_TRUE(left.contains("square.3b"));
    EXPECT_TRUE(left.contains("old-0.iso"));
    EXPECT_FALSE(left.contains(QStringLiteral("old-%1.iso").arg(kKeptWorkingCopies - 1)));
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
