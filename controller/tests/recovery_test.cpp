// The power-loss recovery on the virtual card: a cut interrupted by a power cut, the card started
// again from its memory file, the controller started again with the scripted operator.
#include "controller/machine_control.h"
#include "controller/document/wait_dialog.h"
#include "controller/recovery_point.h"
#include "controller/tests/controller_fixture.h"
#include "controller/work_recovery.h"
#include "code/loader.h"
#include "platform/settings_file.h"
#include "sim/card/card_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <random>

namespace korvex::testing {
namespace {

constexpr int kWaitMs = 20000;  // generous: only a stuck worker or link takes this long
constexpr double kFastCard = 40.0;

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

// One run of the controller on a card whose memory lives in `stateDir`.
struct Controller {
    explicit Controller(const QString& stateDir)
        : own(std::make_unique<VirtualCard>(sim::kDefaultCardId, stateDir, kFastCard)), card(*own),
          link(fastLinkOptions()) {
        script();
    }
    // A controller started again on a card that kept running.
    explicit Controller(VirtualCard& running) : card(running), link(fastLinkOptions()) { script(); }
    void script() {
        frame.setQuitHandler([this](int status) { quitStatuses.push_back(status); });
        operatorUi.scripts[QStringLiteral("CommConfig")] = pressOkWith(card.deviceText());
        operatorUi.scripts[QStringLiteral("Tips")] = [](QDialog& d) {
            d.accept();
            return d.result();
        };
        operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
            d.accept();  // the whole program
            return d.result();
        };
    }
    ~Controller() {
        machine.reset();  // before the window it writes to
    }
    bool start() {
        StartupOptions options;
        options.showMaximized = false;
        Startup startup(session, link, operatorUi, events, pulseTable, recovery, document);
        startup.preworkStarted = preworkStarted;
        if (!startup.run(frame, options))
            return false;
        machine.emplace(session, link.link(), operatorUi, events, pulseTable, &frame);
        frame.attachMachineControl(*machine);
        return true;
    }
    MachiningOperations& ops() { return machine->operations(); }
    template <class F>
    auto engine(F f) {
        return card.server().withEngine(f);
    }
    int runState() {
        return engine([](sim::CardEngine& e) { return static_cast<int>(e.runState()); });
    }
    uint64_t stepsRun() {
        return engine([](sim::CardEngine& e) { return e.figures().stepsRun; });
    }
    bool asked(const QString& text) const {
        for (const QString& q : operatorUi.questions)
            if (q == text)
                return true;
        return false;
    }
    // What the operator saw and where the card stands, for a failure's message.
    std::string describe() {
        std::string out = "card state " + std::to_string(runState()) + "; messages:";
        for (const auto& m : operatorUi.messages)
            out += " [" + m.text.toStdString() + "]";
        out += "; questions:";
        for (const QString& q : operatorUi.questions)
            out += " [" + q.toStdString() + "]";
        return out;
    }
    bool shown(const QString& text) const {
        for (const auto& m : operatorUi.messages)
            if (m.text == text)
                return true;
        return false;
    }

    std::unique_ptr<VirtualCard> own;
    VirtualCard& card;
    CardEventRouter events;
    RecordingCard link;
    ScriptedOperator operatorUi;
    MachineSession session;
    PulseTable pulseTable;
    WorkRecovery recovery;
    CDCSDoc document;
    CMainFrame frame{session, link, operatorUi, events, pulseTable, document};
    std::optional<MachineControl> machine;
    std::function<void(CWaitDialog&)> preworkStarted;
    std::vector<int> quitStatuses;
};

// The steps an uninterrupted cut of the whole program runs: every contour step once.
uint64_t wholeProgramSteps(const LoadedProgram& program) {
    uint64_t n = 0;
    for (const CodeSegment& s : program.segments)
        n += static_cast<uint64_t>(std::max(0, s.lower.steps));
    return n;
}

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

    // Starts the controller again on the restarted card, checks that the restored start is
    // where the card stopped, and cuts to the end: the steps of both runs are those of one run.
    void restoreAndFinish() {
        Controller c(work.path());
        ASSERT_TRUE(c.start());
        ASSERT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked);
        ASSERT_TRUE(c.document.recoveryMark().has_value());
        const WorkParams& mark = c.document.recoveryMark()->work;
        EXPECT_EQ(mark.segment, interrupted.segment);
        EXPECT_EQ(mark.lower.steps, interrupted.lower.steps);
        c.ops().press(Operation::Cut);
        ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; }));
        EXPECT_EQ(stepsBefore + c.stepsRun(), total);
        c.machine->worker().stop();
    }

    static int soakMoments() {
        const int n = qEnvironmentVariableIntValue("KORVEX_SOAK");
        return n > 0 ? n : 2;
    }
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
    EXPECT_FALSE(c.document.recoveryMark().has_value());
    EXPECT_EQ(c.engine([](sim::CardEngine& e) { return decodeWorkRecord(e.memory().record).kind; }),
              kWorkRecordCut);
    c.machine->worker().stop();
}

TEST_F(RecoveryTest, PowerLossSoakAtSeededMomentsRestoresEveryStepOnce) {
    const int moments = soakMoments();
    for (int i = 0; i < moments; ++i) {
        const uint32_t seed = 1000u + static_cast<uint32_t>(i) * 7919u;
        std::mt19937 random(seed);
        const int32_t segment = 1 + static_cast<int32_t>(random() % 5);
        const int32_t steps = static_cast<int32_t>(random() % 4000);
        SCOPED_TRACE("seed " + std::to_string(seed) + ": segment " + std::to_string(segment) + ", step " +
                     std::to_string(steps));
        std::printf("power-loss soak: seed %u\n", seed);
        // A fresh card memory each time.
        for (const QString& name : QDir(work.path()).entryList(QStringList{QStringLiteral("*.mem")}, QDir::Files))
            QFile::remove(QDir(work.path()).filePath(name));
        ASSERT_NO_FATAL_FAILURE(interruptedCut(segment, steps));
        ASSERT_NO_FATAL_FAILURE(restoreAndFinish());
    }
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
