// The machining operations inside the real main window: the file commands and the exit wait
// for a work to stop, a load starts the work afresh, and a lost link takes one path.
#include "controller/machine_control.h"
#include "controller/segment_range_dialog.h"
#include "controller/action_table.h"
#include "controller/command_line.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/button_view.h"
#include "controller/status_panel_control.h"
#include "controller/views/code_list_view.h"
#include "controller/views/status_view.h"
#include "controller/views/statistics_dialog.h"
#include "controller/views/twinkle_button.h"
#include "sim/card/card_engine.h"

#include <QAction>
#include <QMouseEvent>
#include <QPushButton>
#include <QDoubleSpinBox>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
constexpr int kWaitMs = 10000;  // generous: only a stuck worker or link takes this long

template <class F>
bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class MachiningWiringTest : public ControllerTest {
protected:
    static constexpr double kFastCard = 50.0;  // the card's motion runs this much faster

    void startWithSquare() {
        ASSERT_TRUE(c->start());
        ASSERT_EQ(c->frame.openRequest(kSquare), OpenOutcome::Opened);
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
            d.accept();  // the whole program
            return d.result();
        };
    }
    MachiningOperations& ops() { return machine->operations(); }
    std::size_t countMessages(const QString& text) const {
        std::size_t n = 0;
        for (const auto& shown : c->operatorUi.messages)
            n += shown.text == text ? 1 : 0;
        return n;
    }

    QAction* entry(ActionTable::Entry e) const { return c->frame.actionTable().action(e); }
    int cardRunState() {
        return c->card.server().withEngine([](sim::CardEngine& e) { return static_cast<int>(e.runState()); });
    }

    void SetUp() override {
        ControllerTest::SetUp();
        c = std::make_unique<ControllerParts>(sim::kDefaultCardId, kFastCard);
    }
    void TearDown() override {
        machine.reset();  // before the window it writes to
        c.reset();
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
};

TEST_F(MachiningWiringTest, FileCommandsAndExitAreRefusedWhileAWorkRunsAndAllowedOnceItStopped) {
    startWithSquare();
    ops().press(Operation::Simulate);
    ASSERT_TRUE(processUntil([&] { return ops().label(Operation::Simulate) == ButtonLabel::Pause; }));
    EXPECT_FALSE(c->frame.idle());
    const std::size_t before = countMessages(qtTrId("61482"));
    EXPECT_EQ(c->frame.openRequest(kSquare), OpenOutcome::Refused);
    EXPECT_FALSE(c->frame.closeFromMenu());
    EXPECT_FALSE(c->document.resetWork());
    EXPECT_FALSE(c->frame.confirmExit());
    EXPECT_EQ(countMessages(qtTrId("61482")), before + 4);
    EXPECT_TRUE(c->document.isLoaded());
    EXPECT_TRUE(c->operatorUi.questions.empty());  // refused before any question

    ops().press(Operation::Simulate);
    ASSERT_TRUE(processUntil([&] { return ops().idle(); }));
    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
    EXPECT_TRUE(c->frame.closeFromMenu());
    EXPECT_FALSE(c->frame.workStarted());
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, ALoadStartsTheWorkAfresh) {
    startWithSquare();
    ops().toggleReverse();
    ops().toggleIgnorePause();
    ASSERT_TRUE(processUntil([&] { return ops().reverse() && ops().ignorePause(); }));
    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};  // close the loaded program
    ASSERT_EQ(c->frame.openRequest(kSquare), OpenOutcome::Opened);
    EXPECT_FALSE(ops().reverse());
    EXPECT_FALSE(ops().ignorePause());
    EXPECT_TRUE(ops().segmentStops().empty());
    EXPECT_FALSE(ops().chosenRange().has_value());
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, ALostLinkEndsTheProgramOnceThroughTheMachiningPath) {
    startWithSquare();
    c->frame.startKeepAlive();
    c->card.server().setSilence(true);
    ops().refresh();
    ASSERT_TRUE(processUntil([&] { return !c->quitStatuses.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(c->quitStatuses, std::vector<int>{CMainFrame::kLinkLostExitStatus});
    EXPECT_TRUE(machine->linkLost());
    EXPECT_FALSE(machine->worker().running());
    EXPECT_FALSE(c->frame.keepAliveRunning());
    EXPECT_FALSE(c->link.isOpen());
    ASSERT_EQ(c->operatorUi.messages.size(), 1u);
    EXPECT_TRUE(c->operatorUi.messages[0].text.startsWith(c->session.alarmTitle()));
}

TEST_F(MachiningWiringTest, ASimulationStartedAsTheCommandLineAsksRunsToFinishedInTheWindow) {
    startWithSquare();
    c->operatorUi.scripts.erase(QStringLiteral("SegmentRange"));  // the answer comes with the start
    const int last = static_cast<int>(c->document.program()->segments.size()) - 1;
    const std::optional<StartRequest> request = parseStartRequest(QStringLiteral("simulate=1:%1").arg(last));
    ASSERT_TRUE(request && request->range);
    machine->pressAnswering(Operation::Simulate, request->range);
    ASSERT_TRUE(processUntil([&] { return c->frame.paneText(CMainFrame::kMessagePane) == qtTrId("61622"); }));
    ops().refresh();  // as the card's refresh notice after the finish does
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 11; }));
    EXPECT_EQ(cardRunState(), sim::kRunFinished);
    // The dialog was answered, never shown.
    EXPECT_EQ(std::count(c->operatorUi.dialogsRun.begin(), c->operatorUi.dialogsRun.end(), QStringLiteral("SegmentRange")), 0);
    EXPECT_EQ(ops().chosenRange(), (std::pair<int32_t, int32_t>{1, last}));
    EXPECT_EQ(ops().label(Operation::Simulate), ButtonLabel::Start);
    EXPECT_TRUE(ops().idle());
    ASSERT_FALSE(c->operatorUi.messages.empty());
    EXPECT_TRUE(c->operatorUi.messages.back().text.endsWith(qtTrId("61622")));
    // Finished (11) offers Walk and Cut again but no Reverse, which needs a fresh program.
    EXPECT_TRUE(entry(ActionTable::Entry::Cut)->isEnabled());
    EXPECT_FALSE(entry(ActionTable::Entry::Reverse)->isEnabled());
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, ARangeTheProgramCannotHoldShowsItsBoxAndLeavesTheDialogToTheOperator) {
    startWithSquare();
    int shown = 0;
    c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [&shown](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    };
    machine->pressAnswering(Operation::Cut, std::pair{0, 9'999'999});
    ASSERT_TRUE(processUntil([&] { return shown == 1 && ops().idle(); }));
    EXPECT_TRUE(c->operatorUi.messages.back().text.contains(qtTrId("61583")));
    EXPECT_EQ(ops().label(Operation::Cut), ButtonLabel::Start);
    // The answer went with that start: the next one asks the operator again.
    ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return shown == 2 && ops().idle(); }));
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, ControlEntriesFollowTheRunStateAndActOnTheCard) {
    startWithSquare();
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 1; }));
    EXPECT_TRUE(entry(ActionTable::Entry::Reverse)->isEnabled());
    EXPECT_TRUE(entry(ActionTable::Entry::Cut)->isEnabled());
    EXPECT_FALSE(entry(ActionTable::Entry::Back)->isEnabled());
    EXPECT_EQ(entry(ActionTable::Entry::Cut)->text(), qtTrId("menu.cut"));

    entry(ActionTable::Entry::Reverse)->trigger();
    ASSERT_TRUE(processUntil([&] { return ops().reverse(); }));
    EXPECT_TRUE(entry(ActionTable::Entry::Reverse)->isChecked());

    entry(ActionTable::Entry::Cut)->trigger();
    ASSERT_TRUE(processUntil([&] { return ops().label(Operation::Cut) == ButtonLabel::Pause; }));
    ops().refresh();
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 3; }));
    EXPECT_EQ(entry(ActionTable::Entry::Cut)->text(), qtTrId("menu.pause_cut"));
    EXPECT_TRUE(entry(ActionTable::Entry::Cut)->isChecked());
    EXPECT_FALSE(entry(ActionTable::Entry::Reverse)->isEnabled());
    EXPECT_FALSE(entry(ActionTable::Entry::Motor)->isEnabled());

    entry(ActionTable::Entry::Cut)->trigger();  // the same entry pauses
    ASSERT_TRUE(processUntil([&] { return ops().idle() && ops().label(Operation::Cut) == ButtonLabel::Start; }));
    ops().refresh();
    ASSERT_TRUE(processUntil([&] { return ops().runState().state != 3; }));
    EXPECT_EQ(entry(ActionTable::Entry::Cut)->text(), qtTrId("menu.cut"));
    EXPECT_FALSE(entry(ActionTable::Entry::Cut)->isChecked());
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, PanelButtonsStartAndPauseAndFollowTheirLabels) {
    startWithSquare();
    QPushButton* cut = c->frame.buttonView()->button(PanelButton::Cut);
    ASSERT_TRUE(processUntil([&] { return cut->isEnabled(); }));
    EXPECT_FALSE(c->frame.buttonView()->button(PanelButton::Back)->isEnabled());
    cut->click();
    ASSERT_TRUE(processUntil([&] { return cut->text() == qtTrId("button.pause_cut"); }));
    ops().refresh();
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 3; }));
    EXPECT_FALSE(c->frame.buttonView()->button(PanelButton::Motor)->isEnabled());
    // The running cut's button blinks; the lamps show what the card has.
    CButtonView* panel = c->frame.buttonView();
    EXPECT_EQ(cut->font().family(), QStringLiteral("Arial Black"));
    EXPECT_TRUE(panel->button(PanelButton::Cut)->twinkling());
    EXPECT_FALSE(panel->button(PanelButton::Walk)->twinkling());
    EXPECT_TRUE(panel->blinking());
    const bool litBefore = panel->button(PanelButton::Cut)->lit();
    panel->blink();
    EXPECT_NE(panel->button(PanelButton::Cut)->lit(), litBefore);
    EXPECT_TRUE(panel->motorLamp()->lit());
    cut->click();
    ASSERT_TRUE(processUntil([&] { return cut->text() == qtTrId("button.cut") && ops().idle(); }));
    EXPECT_FALSE(panel->button(PanelButton::Cut)->twinkling());
    EXPECT_FALSE(panel->blinking()) << "nothing runs: the blink timer rests";
    EXPECT_EQ(panel->freqLamp()->lit(), ops().hfOn());
    ops().refresh();
    QPushButton* motor = c->frame.buttonView()->button(PanelButton::Motor);
    ASSERT_TRUE(processUntil([&] { return motor->isEnabled(); }));
    const bool motorWasOn = ops().motorOn();
    motor->click();
    // The label follows once the card took the switch.
    ASSERT_TRUE(processUntil([&] { return motor->text() == qtTrId(motorWasOn ? "button.motor_off" : "button.motor_on"); }));
    EXPECT_NE(ops().motorOn(), motorWasOn);
    EXPECT_EQ(panel->motorLamp()->lit(), ops().motorOn());
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, CodeListFollowsTheCardMarksStopsAndShowsTheRangeFieldsRow) {
    startWithSquare();
    CDCSView* list = c->frame.codeListView();
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 1; }));

    // A double click on a row sets it as a stop segment, a second one clears it.
    auto doubleClick = [list](int row) {
        const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
        QMouseEvent press(QEvent::MouseButtonDblClick, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &press);
    };
    doubleClick(2);
    ASSERT_TRUE(processUntil([&] { return list->stopSegments() == std::vector<int32_t>{2}; }));
    EXPECT_EQ(ops().segmentStops(), std::vector<int32_t>{2});
    EXPECT_EQ(list->rowBackground(2), CDCSView::kStopBackground);
    EXPECT_FALSE(list->rowBackground(1).isValid());
    doubleClick(2);
    ASSERT_TRUE(processUntil([&] { return list->stopSegments().empty(); }));

    // The segment the card reached is the current, coloured row.
    emit c->events.segmentReached(3);
    EXPECT_EQ(list->highlightedSegment(), 3);
    EXPECT_EQ(list->currentIndex().row(), 3);
    EXPECT_EQ(list->rowTextColor(3), CDCSView::kReachedColor);
    emit c->events.segmentReached(99'999);  // outside the program: nothing moves
    EXPECT_EQ(list->highlightedSegment(), 3);

    // A click into a range field of the dialog shows that segment's row.
    int focused = -1;
    c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [&](QDialog& d) {
        auto& range = dynamic_cast<CSegmentRangeDialog&>(d);
        range.setStart(1);
        QSpinBox* start = d.findChildren<QSpinBox*>().front();
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), start->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(start, &click);
        focused = list->highlightedSegment();
        d.reject();
        return d.result();
    };
    ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return focused >= 0 && ops().idle(); }));
    EXPECT_EQ(focused, 1);
    EXPECT_EQ(list->rowTextColor(1), CDCSView::kFocusColor);
    machine->worker().stop();
}

TEST_F(MachiningWiringTest, StatisticsMeasureThePathNotItsSteps) {
    ASSERT_TRUE(c->start());
    // One diagonal of 3-4-5 mm and back: 10 mm of path, though the steps count only one axis.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diagonal.3b"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("N 1: B 3000 B 4000 B 4000 GY L1;\nN 2: B 3000 B 4000 B 4000 GY L3;\nN 3: DD\n");
    file.close();
    ASSERT_EQ(c->frame.openRequest(path), OpenOutcome::Opened);
    QStringList shown;
    c->operatorUi.scripts[QStringLiteral("Statistics")] = [&shown](QDialog& d) {
        auto& statistics = dynamic_cast<CStatisticsDialog&>(d);
        statistics.heightField()->setValue(20);
        statistics.currentField()->setValue(2);
        statistics.calculate();
        shown << statistics.lengthText() << statistics.areaText() << statistics.efficiencyText();
        d.reject();
        return d.result();
    };
    c->frame.showStatistics();
    EXPECT_EQ(shown, (QStringList{qtTrId("statistics.length_value").arg(QStringLiteral("10.000")),
                                  qtTrId("statistics.area_value").arg(QStringLiteral("200.000")),
                                  qtTrId("statistics.efficiency_value").arg(QStringLiteral("0.000"))}))
        << "no time counted yet: no efficiency";
}

TEST_F(MachiningWiringTest, SpeedKeysStepTheFeedAndTheCardTakesItFromTheWorker) {
    startWithSquare();
    FeedControl& feed = c->frame.statusPanel().feed();
    const int before = feed.value();
    entry(ActionTable::Entry::SpeedUp)->trigger();
    entry(ActionTable::Entry::SpeedUp)->trigger();
    entry(ActionTable::Entry::SpeedDown)->trigger();
    EXPECT_EQ(feed.value(), before + 1);
    EXPECT_EQ(c->frame.statusView()->feedSliderValue(), before + 1);
    ASSERT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
    EXPECT_EQ(c->card.server().withEngine([](sim::CardEngine& e) { return e.feed(); }), before + 1);
    EXPECT_EQ(c->link.feedsSent, std::vector<int>{before}) << "only start-up sends from the window's thread";
    machine->worker().stop();
}

TEST(StartRequest, TakesTheThreeOperationsWithAnOptionalRangeAndNothingElse) {
    const auto cut = parseStartRequest(QStringLiteral("cut=9:2"));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->kind, StartRequest::Kind::Cut);
    EXPECT_EQ(cut->range, (std::pair{9, 2}));
    const auto walk = parseStartRequest(QStringLiteral("walk"));
    ASSERT_TRUE(walk);
    EXPECT_EQ(walk->kind, StartRequest::Kind::Walk);
    EXPECT_FALSE(walk->range);
    for (const char* bad : {"", "back", "Cut", "cut=", "cut=3", "cut=3:", "cut=a:4", "cut=-1:4", "cut=1:10000000",
                            "cut=1:2:3", "simulate 1:2"})
        EXPECT_FALSE(parseStartRequest(QString::fromLatin1(bad))) << bad;

    const CommandLine noProgram = parseCommandLine({"korvex", "--start", "simulate"});
    EXPECT_FALSE(noProgram.error.isEmpty());
    const CommandLine badValue = parseCommandLine({"korvex", "--start", "cut=x", "part.3b"});
    EXPECT_FALSE(badValue.error.isEmpty());
    const CommandLine good = parseCommandLine({"korvex", "--connect", "/dev/x", "--start", "cut=2:9", "part.3b"});
    EXPECT_TRUE(good.error.isEmpty()) << good.error.toStdString();
    ASSERT_TRUE(good.start);
    EXPECT_EQ(good.start->range, (std::pair{2, 9}));
}

}  // namespace
}  // namespace korvex::testing
