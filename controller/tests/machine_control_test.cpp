// The machining operations inside the controller: the range dialog, a cut started and paused
// through the scripted operator on the virtual card, and the lost-link path.
#include "controller/machine_control.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <chrono>

#include "code/loader.h"
#include "controller/card_events.h"
#include "controller/link/commands.h"
#include "controller/machine_session.h"
#include "controller/pulse_table.h"
#include "controller/segment_range_dialog.h"
#include "controller/tests/shell_test_support.h"
#include "sim/card/card_engine.h"

namespace korvex::testing {
namespace {

constexpr int kWaitMs = 10000;  // generous: only a stuck worker or link takes this long

// Runs the event loop until the condition holds (false on time-out).
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

TEST(SegmentRangeDialog, RefusesRangesTheProgramCannotHoldAndStaysOpen) {
    ensureApplication();
    struct Case {
        int start, end;
        bool reverse;
        const char* fault;
    };
    const Case cases[] = {
        {0, 9, false, nullptr}, {2, 5, false, nullptr}, {9, 0, true, nullptr}, {4, 4, false, nullptr},
        {0, 10, false, "61583"}, {10, 3, true, "61583"}, {0, 0, false, "61585"}, {5, 2, false, "61584"},
        {2, 5, true, "61619"},
    };
    for (const Case& c : cases) {
        const char* got = CSegmentRangeDialog::fault(c.start, c.end, 10, c.reverse);
        EXPECT_STREQ(got ? got : "", c.fault ? c.fault : "") << c.start << ".." << c.end;
    }
    ScriptedOperator op;
    CSegmentRangeDialog dialog(10, false, op, QStringLiteral("title"));
    EXPECT_EQ(dialog.start(), 0);
    EXPECT_EQ(dialog.end(), 9);
    dialog.setStart(5);
    dialog.setEnd(2);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, qtTrId("61584"));
    dialog.setEnd(2'000'000);
    EXPECT_EQ(dialog.end(), 2'000'000) << "the fields take numbers beyond 100000";
    CSegmentRangeDialog reversed(10, true, op, QStringLiteral("title"));
    EXPECT_EQ(reversed.start(), 9);
    EXPECT_EQ(reversed.end(), 0);
}

class MachineControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        LinkOptions options = fastLinkOptions();
        options.logDir = QDir(data.path()).filePath(QStringLiteral("log")).toStdString();
        card = std::make_unique<LinkCardControl>(options);
        card->setEventHook(events.hook());
        ASSERT_EQ(card->open(virtualCard.device()), 0);
        ASSERT_EQ(card->connect(), 0);
        uint32_t id = 0;
        ASSERT_EQ(card->getCardId(id), 0);
        session.cardId = id;
        session.machineName = QStringLiteral("M1");
        control = std::make_unique<MachineControl>(session, card->link(), op, events, pulseTable, nullptr);
        control->showText = [this](const QString& t) { texts.push_back(t); };
        control->quit = [this] { ++quits; };
    }
    void TearDown() override {
        control.reset();
        card->close();
    }
    void load() {
        program = std::make_shared<LoadedProgram>();
        LoadOptions options;
        options.threads = 1;
        LoadFailure failure;
        ASSERT_EQ(loadProgramText("N 1: B 90000 B 0 B 90000 GX L1;\nN 2: DD\n", "long.3b", options, *program, failure), 0);
        LoadDescriptor descriptor;
        descriptor.setTitle("long.3b");
        ASSERT_EQ(CMD_LOAD_MODEL(card->link(), descriptor, false), 0);
        control->operations().setProgram(program);
    }

    ScratchDataDir data;
    VirtualCard virtualCard;
    CardEventRouter events;
    ScriptedOperator op;
    MachineSession session;
    PulseTable pulseTable;
    std::unique_ptr<LinkCardControl> card;
    std::unique_ptr<MachineControl> control;
    std::shared_ptr<LoadedProgram> program;
    std::vector<QString> texts;
    int quits = 0;
};

TEST_F(MachineControlTest, CutStartsThroughTheRangeDialogAndPausesFromTheSameButton) {
    load();
    op.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        auto& range = dynamic_cast<CSegmentRangeDialog&>(d);
        range.setStart(1);
        range.setEnd(1);
        range.accept();
        return range.result();
    };
    MachiningOperations& ops = control->operations();
    ops.press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return ops.label(Operation::Cut) == ButtonLabel::Pause; }));
    EXPECT_EQ(op.dialogsRun, (std::vector<QString>{"SegmentRange"}));
    EXPECT_EQ(texts.back(), qtTrId("61494"));
    EXPECT_EQ(virtualCard.server().withEngine([](sim::CardEngine& e) { return e.runState(); }), sim::kRunCutting);
    ops.press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return ops.label(Operation::Cut) == ButtonLabel::Start; }));
    EXPECT_EQ(texts.back(), qtTrId("61495"));
    EXPECT_TRUE(ops.idle());
}

TEST_F(MachineControlTest, LostLinkIsLoggedOnceShownWithMachineAndPortAndEndsTheProgram) {
    load();
    virtualCard.server().setSilence(true);
    control->operations().refresh();
    ASSERT_TRUE(processUntil([&] { return quits > 0; }));
    events.hook()(CardEvent{0, {0, 0x2B}});  // a second report of the same loss
    QCoreApplication::processEvents();
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(card->isOpen());
    EXPECT_FALSE(control->worker().running());
    EXPECT_EQ(texts.back(), qtTrId("61715"));
    const QString expected = qtTrId("61507").arg(session.portLabel()).arg(0x2B, 0, 16);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].title, session.alarmTitle());
    EXPECT_EQ(op.messages[0].text, control->alarmText(expected));
    EXPECT_TRUE(op.messages[0].text.startsWith(session.alarmTitle() + QString(21, QLatin1Char(' ')) + "\n\n"));
    QFile log(QDir(data.path()).filePath(QStringLiteral("log/%1_Err.txt").arg(session.cardId, 8, 16, QLatin1Char('0'))));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_EQ(logged.count(QStringLiteral("will Quit now")), 1) << logged.toStdString();
}

TEST(MachineControlOnASlowLine, AUserInterfaceBusyForTwoSecondsNeverStarvesTheCard) {
    ensureApplication();
    ScratchDataDir data;
    sim::ServerOptions serverOptions;
    serverOptions.baud = 19200;  // every window takes about 150 ms on the line
    serverOptions.speedScale = 4;
    sim::CardServer server(serverOptions);
    ASSERT_EQ(server.start(), 0) << server.error();
    CardEventRouter events;
    LinkCardControl card(LinkOptions{2000, 2000, 0, {}});
    card.setEventHook(events.hook());
    ASSERT_EQ(card.open(server.devicePath()), 0);
    ASSERT_EQ(card.connect(), 0);
    ScriptedOperator op;
    op.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        d.accept();  // the whole program
        return d.result();
    };
    MachineSession session;
    PulseTable pulseTable;
    MachineControl control(session, card.link(), op, events, pulseTable, nullptr);
    auto program = std::make_shared<LoadedProgram>();
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "N " + std::to_string(i + 1) + (i % 2 == 0 ? ": B 300 B 0 B 300 GX L1;\n" : ": B 0 B 300 B 300 GY L2;\n");
    text += "N 13: DD\n";
    LoadOptions options;
    options.threads = 1;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText(text, "slow.3b", options, *program, failure), 0);
    LoadDescriptor descriptor;
    descriptor.setTitle("slow.3b");
    ASSERT_EQ(CMD_LOAD_MODEL(card.link(), descriptor, false), 0);
    control.operations().setProgram(program);
    control.operations().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return control.operations().label(Operation::Cut) == ButtonLabel::Pause; }));
    ASSERT_TRUE(processUntil([&] { return server.counters().reportsSent >= 3; }));
    // The user-interface thread does something long: no event of it runs meanwhile.
    const auto busyUntil = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < busyUntil) {
    }
    ASSERT_TRUE(processUntil([&] {
        return server.withEngine([](sim::CardEngine& e) { return e.runState(); }) == sim::kRunFinished;
    }));
    const auto figures = server.withEngine([](sim::CardEngine& e) { return e.figures(); });
    EXPECT_GE(figures.segmentsEntered, 10u);
    EXPECT_EQ(figures.starvations, 0u);
    card.close();
    server.stop();
}

}  // namespace
}  // namespace korvex::testing
