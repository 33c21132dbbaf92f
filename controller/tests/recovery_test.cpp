// The power-loss recovery on the virtual card: a cut interrupted by a power cut, the card started
// again from its memory file, the controller started again with the scripted operator.
#include "controller/machine_control.h"
#include "controller/document/wait_dialog.h"
#include "controller/recovery_point.h"
#include "controller/recovery_wiring.h"
#include "controller/status_panel_control.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_view.h"
#include "platform/data_dirs.h"
#include "controller/tests/recovery_fixture.h"
#include "controller/work_recovery.h"
#include "code/loader.h"
#include "platform/settings_file.h"
#include "sim/card/card_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QVariantList>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <random>

namespace korvex::testing {
namespace {

class RecoveryTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(work.isValid());
        program = QDir(work.path()).filePath(QStringLiteral("square.3b"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b"), program));
    }

    // Opens the program, cuts and cuts the power mid-segment at or past `segment`, once `steps`
    // steps of it are done. Leaves the card's memory in the state directory and keeps the steps
    // run and the point.
    void interruptedCut(int32_t segment = 3, int32_t steps = 100) {
        Controller c(work.path());
        ASSERT_TRUE(c.start());
        ASSERT_EQ(c.frame.openRequest(program), OpenOutcome::Opened);
        c.document.waitForWorkingCopy();
        total = wholeProgramSteps(*c.document.program());
        segments = static_cast<int32_t>(c.document.program()->segments.size());
        c.ops().press(Operation::Cut);
        ASSERT_TRUE(processUntil([&] {
            return c.engine([segment, steps](sim::CardEngine& e) {
                const WorkParams p = e.position();
                return e.runState() == sim::kRunCutting && p.segment >= segment && p.lower.steps > steps;
            });
        }));
        c.card.server().powerLoss();
        interrupted = c.engine([](sim::CardEngine& e) { return e.position(); });
        stepsBefore = c.stepsRun();
        lastCardSettings = c.session.cardSettings().path();
        c.machine->worker().stop();
    }

    QTemporaryDir work;
    QString program;
    uint64_t total = 0;
    int32_t segments = 0;
    WorkParams interrupted;
    uint64_t stepsBefore = 0;
    QString lastCardSettings;
};

TEST_F(RecoveryTest, PowerLossMidCutRestoresWithoutAQuestionAndTheCutEndsWithTheStepsOfAWholeRun) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    ASSERT_GT(interrupted.segment, 0);

    Controller c(work.path());
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked);
    EXPECT_TRUE(c.operatorUi.questions.empty());
    ASSERT_TRUE(c.document.isLoaded());
    EXPECT_EQ(c.document.path(), program);
    ASSERT_TRUE(c.document.recoveryMark().has_value());
    const WorkParams& mark = c.document.recoveryMark()->work;
    // The prework reached the point the card stood at.
    EXPECT_EQ(mark.segment, interrupted.segment);
    EXPECT_EQ(mark.lower.steps, interrupted.lower.steps);
    EXPECT_EQ(mark.lower.x, interrupted.lower.x);
    EXPECT_EQ(mark.lower.y, interrupted.lower.y);
    EXPECT_EQ(mark.guideX, interrupted.guideX);
    EXPECT_EQ(mark.guideY, interrupted.guideY);
    EXPECT_EQ(c.runState(), sim::kRunRestored);
    EXPECT_TRUE(c.frame.workStarted());
    EXPECT_EQ(c.frame.paneText(CMainFrame::kLoopPane), qtTrId("61529").arg(1).arg(1));

    c.ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; }));
    EXPECT_FALSE(c.document.recoveryMark().has_value()) << "used by the accepted start";
    // The range dialog was never asked: the cut continued from the restored point.
    EXPECT_EQ(std::count(c.operatorUi.dialogsRun.begin(), c.operatorUi.dialogsRun.end(),
                         QStringLiteral("SegmentRange")), 0);
    EXPECT_EQ(stepsBefore + c.stepsRun(), total) << "no step cut twice or skipped";
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, LastFileNamingAnotherProgramAsksAndNoLoadsNothing) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    const QString other = QDir(work.path()).filePath(QStringLiteral("other.3b"));
    ASSERT_TRUE(QFile::copy(program, other));
    Controller c(work.path());
    c.operatorUi.answers = {OperatorInteraction::Answer::No};
    ASSERT_EQ(SettingsFile(lastCardSettings).writeText(QStringLiteral("Doc"), QStringLiteral("LastFile"), other), 0);
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::Declined);
    EXPECT_TRUE(c.asked(qtTrId("61650").arg(QStringLiteral("square.3b"))));
    EXPECT_FALSE(c.document.isLoaded());
    EXPECT_FALSE(c.document.recoveryMark().has_value());
    EXPECT_EQ(c.runState(), sim::kRunNoProgram);
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, AFileEditedSinceTheCutIsRestoredFromItsWorkingCopy) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("N    7: B     1000 B        0 B     1000 GX  L1;\n");
    }
    Controller c(work.path());
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked);
    EXPECT_TRUE(c.recovery.restoredFromCopy());
    ASSERT_TRUE(c.document.isLoaded());
    EXPECT_NE(c.document.path(), program);
    EXPECT_EQ(static_cast<int32_t>(c.document.program()->segments.size()), segments);
    EXPECT_EQ(c.operatorUi.messages.size(), 1u);  // said so, once
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, ARecordThatDoesNotFitTheProgramShows61649AndLeavesNoMark) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    Controller c(work.path());
    c.engine([](sim::CardEngine& e) {
        sim::CardMemory memory = e.memory();
        WorkRecord r = decodeWorkRecord(memory.record);
        r.work.loopIndex = 3;  // beyond the loop total of 1
        encodeWorkRecord(r, memory.record);
        e.restoreMemory(memory);
        return 0;
    });
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::RecordMismatch);
    EXPECT_TRUE(c.shown(qtTrId("61649")));
    EXPECT_TRUE(c.document.isLoaded());
    EXPECT_FALSE(c.document.recoveryMark().has_value());
    EXPECT_EQ(c.runState(), sim::kRunLoaded) << "no restore load";
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, CancelledPreworkUnloadsAndKeepsTheCardsRecord) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    Controller c(work.path());
    c.preworkStarted = [](CWaitDialog& d) { d.cancel(); };
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::Cancelled);
    EXPECT_FALSE(c.document.isLoaded());
    EXPECT_FALSE(c.frame.graphView()->pictureCurrent());
    EXPECT_EQ(c.frame.paneText(CMainFrame::kLoopPane), qtTrId("61529").arg(0).arg(1));
    EXPECT_FALSE(c.document.recoveryMark().has_value());
    EXPECT_EQ(c.engine([](sim::CardEngine& e) { return decodeWorkRecord(e.memory().record).kind; }),
              kWorkRecordCut);
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, AStaleCardLeftRunningByAKilledControllerIsStoppedBeforeItsRecordIsRead) {
    VirtualCard card(sim::kDefaultCardId, work.path(), kFastCard);
    {
        Controller killed(card);
        ASSERT_TRUE(killed.start());
        ASSERT_EQ(killed.frame.openRequest(program), OpenOutcome::Opened);
        killed.document.waitForWorkingCopy();
        total = wholeProgramSteps(*killed.document.program());
        killed.ops().press(Operation::Cut);
        ASSERT_TRUE(processUntil([&] {
            return killed.engine([](sim::CardEngine& e) { return e.position().segment >= 2; });
        }));
        killed.machine->worker().stop();  // gone without a word to the card
        killed.link.close();
    }
    Controller c(card);
    ASSERT_TRUE(c.start());
    ASSERT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked);
    const WorkParams stoppedAt = c.engine([](sim::CardEngine& e) { return e.position(); });
    ASSERT_TRUE(c.document.recoveryMark().has_value());
    EXPECT_EQ(c.document.recoveryMark()->work.segment, stoppedAt.segment);
    EXPECT_EQ(c.document.recoveryMark()->work.lower.steps, stoppedAt.lower.steps);
    c.ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; })) << c.describe();
    EXPECT_EQ(c.stepsRun(), total) << "the steps of both controllers' cuts are those of one run";
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, AnInterruptedReturnContinuesWithReturnOriginOnly) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    Controller c(work.path());
    const std::array<int32_t, kAxisCount> distances{-interrupted.guideX, -interrupted.guideY, 0, 0};
    c.engine([&distances](sim::CardEngine& e) {
        sim::CardMemory memory = e.memory();
        WorkRecord r = decodeWorkRecord(memory.record);
        r.kind = kWorkRecordReturn;
        r.returnSegment = 0;
        r.returnDistances = distances;
        encodeWorkRecord(r, memory.record);
        e.restoreMemory(memory);
        return 0;
    });
    ASSERT_TRUE(c.start());
    ASSERT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::ReturnMarked);
    ASSERT_TRUE(c.document.recoveryMark().has_value());
    EXPECT_EQ(c.document.recoveryMark()->kind, RecoveryMark::Kind::ReturnRecovery);
    EXPECT_EQ(c.document.recoveryMark()->returnDistances, distances);
    EXPECT_TRUE(c.ops().flags().recovering);
    // The return display shows the target the remaining distances lead to: the program's start.
    EXPECT_EQ(c.frame.graphView()->scene().returnPoint, (GraphPoint{0, 0}));
    if (c.machine->changed)
        c.machine->changed();  // the views follow the machining again: the waiting target stays
    EXPECT_EQ(c.frame.graphView()->scene().returnPoint, (GraphPoint{0, 0}));
    c.operatorUi.answers = {OperatorInteraction::Answer::Yes};  // continue the return
    c.ops().pressReturn();
    ASSERT_TRUE(processUntil([&] { return !c.document.recoveryMark().has_value(); })) << c.describe();
    ASSERT_TRUE(processUntil([&] {
        return c.engine([](sim::CardEngine& e) {
            const WorkParams p = e.position();
            return e.runState() == sim::kRunReturning && p.guideX == 0 && p.guideY == 0;
        });
    })) << "the return reaches the program's start with the recorded distances";
    EXPECT_FALSE(c.ops().flags().recovering);
    c.machine->worker().stop();
}

// Rewrites the card's work record (the card must not run).
template <class F>
void editRecord(Controller& c, F edit) {
    c.engine([&edit](sim::CardEngine& e) {
        sim::CardMemory memory = e.memory();
        WorkRecord r = decodeWorkRecord(memory.record);
        edit(r);
        encodeWorkRecord(r, memory.record);
        e.restoreMemory(memory);
        return 0;
    });
}

TEST_F(RecoveryTest, TheRestoredWorkReachesTheViewsAndTheMachiningWork) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    Controller c(work.path());
    editRecord(c, [](WorkRecord& r) {
        r.load.segmentStops = {5, 0, 2, 0, 0, 0, 0, 0, 0, 0};
        r.load.ignorePause = 1;
        r.load.graphValues = {72, -73};
        r.load.loopTotal = 2;
        r.work.loopIndex = 1;
    });
    ASSERT_TRUE(c.start());
    ASSERT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked) << c.describe();
    const std::vector<int32_t> stops{2, 5};
    EXPECT_EQ(c.frame.paneText(CMainFrame::kLoopPane), qtTrId("61529").arg(2).arg(2));
    EXPECT_EQ(c.frame.codeListView()->stopSegments(), stops);
    EXPECT_EQ(c.frame.graphView()->scene().stops, stops);
    EXPECT_EQ(c.frame.graphView()->property(kRecoveryGraphValuesProperty).toList(), (QVariantList{72, -73}));
    // The restored point is shown.
    ASSERT_TRUE(c.frame.graphView()->progress().has_value());
    EXPECT_EQ(c.frame.graphView()->progress()->current, interrupted.segment);
    EXPECT_EQ(c.frame.statusPanel().polledSegment(), interrupted.segment);
    // The machining work holds what the card restored, so the next toggle starts from there.
    EXPECT_EQ(c.ops().segmentStops(), stops);
    EXPECT_TRUE(c.ops().ignorePause());
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, OpenCloseResetAndExitAreRefusedWhileTheRecoveryRuns) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    const QString other = QDir(work.path()).filePath(QStringLiteral("other.3b"));
    ASSERT_TRUE(QFile::copy(program, other));
    Controller c(work.path());
    std::optional<OpenOutcome> opened;
    bool closed = true, reset = true, exited = true, recoveringSeen = false;
    c.preworkStarted = [&](CWaitDialog&) {
        recoveringSeen = c.document.recovering();
        opened = c.frame.openRequest(other);
        closed = c.frame.closeFromMenu();
        reset = c.document.resetWork();
        exited = c.frame.confirmExit();
    };
    ASSERT_TRUE(c.start());
    EXPECT_TRUE(recoveringSeen);
    EXPECT_EQ(opened, OpenOutcome::Refused);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(reset);
    EXPECT_FALSE(exited);
    int refusals = 0;
    for (const QString& text : c.operatorUi.messageTexts())
        refusals += text == qtTrId("61482");
    EXPECT_EQ(refusals, 4);
    EXPECT_TRUE(c.operatorUi.questions.empty()) << "nothing went as far as its question";
    // Once the mark is set the recovery is over.
    ASSERT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked);
    EXPECT_FALSE(c.document.recovering());
    EXPECT_EQ(c.document.path(), program);
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, AProgramNamedOnTheCommandLineDoesNotReplaceARestoredWork) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    const QString other = QDir(work.path()).filePath(QStringLiteral("other.3b"));
    ASSERT_TRUE(QFile::copy(program, other));
    Controller c(work.path());
    ASSERT_TRUE(c.start(other));
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked);
    EXPECT_EQ(c.document.path(), program);
    EXPECT_TRUE(c.document.recoveryMark().has_value());
    EXPECT_TRUE(c.operatorUi.questions.empty());
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, ARematchedLastFileRestores) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    const QString other = QDir(work.path()).filePath(QStringLiteral("other.3b"));
    ASSERT_TRUE(QFile::copy(program, other));
    ASSERT_EQ(SettingsFile(lastCardSettings).writeText(QStringLiteral("Doc"), QStringLiteral("LastFile"), other), 0);
    Controller c(work.path());
    c.operatorUi.answers = {OperatorInteraction::Answer::Yes};
    c.operatorUi.openChoice = program;
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked) << c.describe();
    EXPECT_EQ(c.operatorUi.questions.size(), 1u);
    EXPECT_EQ(SettingsFile(lastCardSettings).readText(QStringLiteral("Doc"), QStringLiteral("LastFile"), QString()),
              program);
    EXPECT_EQ(c.document.path(), program);
    EXPECT_FALSE(c.recovery.restoredFromCopy());
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, ARenamedFileIsRestoredFromItsWorkingCopy) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut());
    ASSERT_TRUE(QFile::rename(program, program + QStringLiteral(".old")));
    Controller c(work.path());
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked) << c.describe();
    EXPECT_TRUE(c.recovery.restoredFromCopy());
    EXPECT_EQ(c.document.path(), QDir(temporaryDirectory()).filePath(QStringLiteral("square.3b")));
    EXPECT_TRUE(c.operatorUi.questions.empty());
    c.ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; })) << c.describe();
    EXPECT_EQ(stepsBefore + c.stepsRun(), total);
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, AFileEditedWithoutItsCopyShows61649AndCutStartsANewWorkThroughTheRangeDialog) {
    ASSERT_NO_FATAL_FAILURE(interruptedCut(4, 100));
    ASSERT_TRUE(QFile::remove(QDir(temporaryDirectory()).filePath(QStringLiteral("square.3b"))));
    {
        // Two segments left: the recorded one is gone.
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("N    1: B     5000 B        0 B     5000 GX  L1;\nN    2: B        0 B     5000 B     5000 GY  L4;\n"
                "N    3: DD\n");
    }
    Controller c(work.path());
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::RecordMismatch);
    EXPECT_TRUE(c.shown(qtTrId("61649")));
    EXPECT_FALSE(c.document.recoveryMark().has_value());
    c.ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; })) << c.describe();
    EXPECT_EQ(std::count(c.operatorUi.dialogsRun.begin(), c.operatorUi.dialogsRun.end(),
                         QStringLiteral("SegmentRange")), 1);
    EXPECT_EQ(c.stepsRun(), wholeProgramSteps(*c.document.program())) << "the edited program, whole";
    c.machine->worker().stop();
}

TEST(RecordCheck, APointOnARapidMoveFitsAndIsSteppedToAsTheCardMovesThere) {
    LoadedProgram program;
    LoadFailure failure;
    ASSERT_EQ(loadProgram(KORVEX_EXAMPLES_DIR "/groups.iso", LoadOptions{}, program, failure), 0) << failure.message;
    constexpr int32_t kRapid = 6;  // "G00 X0.000 Y-5.000": no steps of its own in the program
    ASSERT_EQ(program.segments[kRapid].lower.kind, kElementSwitch);
    WorkRecord r;
    r.kind = kWorkRecordCut;
    r.load.loopTotal = 1;
    r.load.rangeLast = static_cast<int32_t>(program.segments.size()) - 1;
    r.work.segment = kRapid;
    r.work.lower.steps = 145;
    EXPECT_EQ(recordMismatch(r, program), "");
    r.work.lower.steps = 5001;
    EXPECT_NE(recordMismatch(r, program), "") << "beyond the move's end";
    WorkParams w = r.work;
    w.lower.steps = 145;
    ASSERT_EQ(stepToRecordedPoint(program, false, w, nullptr, nullptr), 0);
    EXPECT_EQ(w.lower.steps, 145);
    EXPECT_EQ(w.lower.x, 0);
    EXPECT_EQ(w.lower.y, -145);
}

TEST(RecordCheck, TitlesAndRecordsThatDoNotFitAreRefused) {
    for (const char* bad : {"", ".", "..", "a/b.3b", "../x.3b"})
        EXPECT_FALSE(plainRecordTitle(bad)) << bad;
    EXPECT_FALSE(plainRecordTitle(std::string(65, 'a')));
    EXPECT_TRUE(plainRecordTitle(std::string(64, 'a')));
    EXPECT_TRUE(plainRecordTitle("零件 1.3b"));

    const std::string text =
        "N    1: B     2000 B        0 B     2000 GX  L1;\nN    2: B        0 B     1500 B     1500 GY  L2;\nN    3: DD\n";
    LoadedProgram program;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText(text, "t.3b", LoadOptions{}, program, failure), 0) << failure.message;
    const int32_t n = static_cast<int32_t>(program.segments.size());
    WorkRecord good;
    good.kind = kWorkRecordCut;
    good.load.loopTotal = 1;
    good.load.rangeLast = n - 1;
    good.work.segment = 1;
    good.work.lower.steps = program.segments[1].lower.steps;
    EXPECT_EQ(recordMismatch(good, program), "");
    const std::vector<std::function<void(WorkRecord&)>> faults = {
        [n](WorkRecord& r) { r.work.segment = n; },
        [](WorkRecord& r) { r.work.segment = -1; },
        [](WorkRecord& r) { r.work.lower.steps += 1; },
        [](WorkRecord& r) { r.work.lower.steps = -1; },
        [n](WorkRecord& r) { r.load.rangeLast = n; },
        [](WorkRecord& r) { r.load.rangeFirst = -2; },
        [n](WorkRecord& r) { r.load.segmentStops[3] = n; },
        [](WorkRecord& r) { r.work.loopIndex = 1; },
        [](WorkRecord& r) { r.load.loopTotal = 0; },
        [n](WorkRecord& r) { r.kind = kWorkRecordReturn; r.returnSegment = n; },
    };
    for (std::size_t i = 0; i < faults.size(); ++i) {
        WorkRecord r = good;
        faults[i](r);
        EXPECT_NE(recordMismatch(r, program), "") << "fault " << i;
    }
}

}  // namespace
}  // namespace korvex::testing
