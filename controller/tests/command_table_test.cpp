// The main window's command set: every entry's enable rule and key in one table, the function
// key filter, and what File Reset and File Close start over.
#include "controller/about_dialog.h"
#include "controller/action_table.h"
#include "controller/command_table.h"
#include "controller/machine_control.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/code_list_view.h"
#include "platform/data_dirs.h"
#include "platform/settings_file.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <chrono>
#include <optional>
#include <string>

namespace korvex::testing {
namespace {

// The conditions the table's columns stand for.
std::vector<CommandConditions> columns() {
    auto base = [](int state, int sub, bool program) {
        CommandConditions c;
        c.run = RunState{static_cast<uint8_t>(state), static_cast<uint8_t>(sub)};
        c.flags.cardType = 4;
        c.programLoaded = program;
        c.recentFiles = true;
        c.machiningReady = true;
        c.adjustAvailable = true;
        c.configDialog = true;
        return c;
    };
    std::vector<CommandConditions> cols = {
        base(0, 0, false),  // 0 no program
        base(1, 0, true),   // 1 loaded
        base(2, 3, true),   // 2 paused cut
        base(3, 0, true),   // 3 cutting
        base(11, 4, true),  // 4 finished
        base(1, 0, true),   // 5 fast rolling
        base(2, 3, true),   // 6 start-position mark
        base(2, 3, true),   // 7 return-recovery mark
        base(2, 3, false),  // 8 the card holds a work, the PC no program
    };
    cols[5].flags.rolling = true;
    cols[6].startMark = true;
    cols[7].returnMark = true;
    return cols;
}

QKeyCombination ctrl(Qt::Key k) { return QKeyCombination(Qt::ControlModifier, k); }
QKeyCombination key(Qt::Key k) { return QKeyCombination(k); }
const QKeyCombination kNone{Qt::Key_unknown};

TEST(CommandTable, EveryEntryFollowsItsRuleAndCarriesItsKey) {
    using C = Command;
    struct Row {
        C command;
        QKeyCombination key;
        const char* enabled;  // one digit per column
    };
    const Row rows[] = {
        {C::Generate3B, ctrl(Qt::Key_N), "111000111"},
        {C::Open, ctrl(Qt::Key_O), "111010111"},
        {C::Close, ctrl(Qt::Key_Q), "011010110"},
        {C::Reset, ctrl(Qt::Key_Z), "011010110"},
        {C::ClearRecent, kNone, "111111111"},
        {C::Quit, kNone, "111111111"},
        {C::ForwardFlip, kNone, "010000000"},
        {C::ReverseFlip, kNone, "010000000"},
        {C::VerticalMirror, ctrl(Qt::Key_X), "010000000"},
        {C::HorizontalMirror, ctrl(Qt::Key_Y), "010000000"},
        {C::Statistics, kNone, "011000110"},
        {C::Offset, kNone, "010000000"},
        {C::Taper, kNone, "111111111"},
        {C::Multiple, kNone, "011111110"},
        {C::SegmentMultiple, kNone, "011111110"},
        {C::Fit, key(Qt::Key_Home), "111111111"},
        {C::Move, key(Qt::Key_Space), "111111111"},
        {C::ZoomIn, key(Qt::Key_PageUp), "111111111"},
        {C::ZoomOut, key(Qt::Key_PageDown), "111111111"},
        {C::ToolBar, kNone, "111111111"},
        {C::StatusBar, kNone, "111111111"},
        {C::Grid, kNone, "111111111"},
        {C::FullScreen, kNone, "111111111"},
        {C::Phase, ctrl(Qt::Key_H), "111010101"},
        {C::Speed, ctrl(Qt::Key_V), "111010111"},
        {C::Backward, ctrl(Qt::Key_C), "111010111"},
        {C::Clearance, ctrl(Qt::Key_R), "111010111"},
        {C::Loop, ctrl(Qt::Key_L), "111010111"},
        {C::Track, ctrl(Qt::Key_G), "111010111"},
        {C::MobileNotice, ctrl(Qt::Key_E), "111010111"},
        {C::MultTest, ctrl(Qt::Key_M), "111010111"},
        {C::Direction, ctrl(Qt::Key_D), "110000000"},
        {C::StopMachine, ctrl(Qt::Key_T), "110000000"},
        {C::MultTable, ctrl(Qt::Key_B), "111111111"},
        {C::PlanPause, ctrl(Qt::Key_F), "011000110"},
        {C::RestoreDefault, kNone, "100000000"},
        {C::Motor, key(Qt::Key_F1), "111010101"},
        {C::Freq, key(Qt::Key_F2), "111011101"},
        {C::FastRoll, key(Qt::Key_F9), "111001101"},
        {C::SegmentStop, key(Qt::Key_F10), "011111110"},
        {C::ReturnOrigin, key(Qt::Key_F12), "001010110"},
        {C::Walk, key(Qt::Key_F3), "011010100"},
        {C::Cut, key(Qt::Key_F4), "011110100"},
        {C::Back, key(Qt::Key_F5), "001000100"},
        {C::Reverse, key(Qt::Key_F6), "010001000"},
        {C::IgnorePause, kNone, "011111111"},
        {C::SpeedUp, key(Qt::Key_Equal), "111111111"},
        {C::SpeedDown, key(Qt::Key_Minus), "111111111"},
        {C::Adjust, key(Qt::Key_F11), "110001000"},
        {C::Option, kNone, "111111111"},
        {C::About, kNone, "111111111"},
        {C::Agent, kNone, "111111111"},
    };
    ASSERT_EQ(std::size(rows), kCommandCount);
    const auto cols = columns();
    for (const Row& row : rows) {
        EXPECT_EQ(commandRow(row.command).key, row.key) << commandRow(row.command).objectName;
        for (std::size_t i = 0; i < cols.size(); ++i)
            EXPECT_EQ(commandEnabled(row.command, cols[i]), row.enabled[i] == '1')
                << commandRow(row.command).objectName << " column " << i;
    }
    // No two entries share a key.
    for (const CommandRow& a : commandRows())
        for (const CommandRow& b : commandRows())
            if (a.command != b.command && a.key.key() != Qt::Key_unknown) {
                EXPECT_NE(a.key, b.key) << a.objectName << " " << b.objectName;
            }

    // What the window does not have yet is never offered.
    CommandConditions c = cols[1];
    c.configDialog = false;
    EXPECT_FALSE(commandEnabled(C::Phase, c));
    EXPECT_FALSE(commandEnabled(C::Option, c));
    c.adjustAvailable = false;
    EXPECT_FALSE(commandEnabled(C::Adjust, c));
    c.machiningReady = false;
    for (C control : {C::Motor, C::Freq, C::Cut, C::Walk, C::SpeedUp, C::Reverse})
        EXPECT_FALSE(commandEnabled(control, c)) << commandRow(control).objectName;
    c.recentFiles = false;
    EXPECT_FALSE(commandEnabled(C::ClearRecent, c));
}

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

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");

class CommandSetTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        c = std::make_unique<ControllerParts>(sim::kDefaultCardId, 50.0);
        ASSERT_TRUE(c->start());
        ASSERT_EQ(c->frame.openRequest(kSquare), OpenOutcome::Opened);
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        ASSERT_TRUE(processUntil([&] { return ops().runState().state == 1; }));
    }
    void TearDown() override {
        if (machine)
            machine->worker().stop();
        machine.reset();  // before the window it writes to
        c.reset();
    }
    MachiningOperations& ops() { return machine->operations(); }
    QAction* entry(Command command) const { return c->frame.actionTable().action(command); }
    std::size_t sentCount(const std::string& name) const {
        std::size_t n = 0;
        for (const auto& s : c->link.sent())
            n += s == name ? 1 : 0;
        return n;
    }
    // Reverse, Ignore D, a stop segment, a loop count and a recovery mark, all to be undone.
    void dirtyTheWork() {
        entry(Command::Reverse)->trigger();
        entry(Command::IgnorePause)->trigger();
        ops().toggleSegmentStop(2);
        ASSERT_TRUE(processUntil([&] { return ops().reverse() && ops().ignorePause() && !ops().segmentStops().empty(); }));
        c->frame.showLoop(2, 3);
        c->frame.setWorkStarted(true);
        RecoveryMark mark;
        mark.reverse = true;  // the mark's direction is the work's
        c->document.setRecoveryMark(mark);
        EXPECT_FALSE(entry(Command::ForwardFlip)->isEnabled());  // the mark holds the transforms
    }
    void expectWorkStartedAfresh() {
        EXPECT_FALSE(ops().reverse());
        EXPECT_FALSE(ops().ignorePause());
        EXPECT_TRUE(ops().segmentStops().empty());
        EXPECT_FALSE(ops().chosenRange().has_value());
        EXPECT_FALSE(c->document.recoveryMark().has_value());
        EXPECT_FALSE(c->frame.workStarted());
        EXPECT_EQ(c->frame.paneText(CMainFrame::kLoopPane), "Loop:0/1");
        EXPECT_TRUE(c->frame.codeListView()->stopSegments().empty());
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
};

TEST_F(CommandSetTest, WithNoVkfSetFunctionKeysDoNothingWhileCtrlOStillOpensTheDialog) {
    c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        d.reject();
        return d.result();
    };
    c->frame.show();
    c->frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&c->frame));
    ASSERT_TRUE(entry(Command::Cut)->isEnabled());
    // The key acts from inside the code list, too.
    c->frame.codeListView()->setFocus();
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &c->frame;

    SettingsFile(machineSettingsPath()).writeInt(QStringLiteral("Option"), QStringLiteral("NoVKF"), 1);
    const std::size_t before = c->operatorUi.dialogsRun.size();
    QTest::keyClick(focus, Qt::Key_F4);
    QCoreApplication::processEvents();
    EXPECT_EQ(c->operatorUi.dialogsRun.size(), before);
    EXPECT_EQ(ops().label(Operation::Cut), ButtonLabel::Start);
    QTest::keyClick(focus, Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(processUntil([&] { return c->operatorUi.dialogsRun.size() > before; }));
    EXPECT_EQ(c->operatorUi.dialogsRun.back(), "CMyOpenDlg");

    // Read at each key: cleared, F4 starts the cut's range question again.
    SettingsFile(machineSettingsPath()).writeInt(QStringLiteral("Option"), QStringLiteral("NoVKF"), 0);
    QTest::keyClick(focus, Qt::Key_F4);
    ASSERT_TRUE(processUntil([&] { return c->operatorUi.dialogsRun.back() == "SegmentRange"; }));
    ASSERT_TRUE(processUntil([&] { return ops().idle(); }));
}

TEST_F(CommandSetTest, ResetTellsTheCardAfreshAndStartsEveryPartOfTheWorkOver) {
    dirtyTheWork();
    const std::size_t loads = sentCount("CMD_LOAD_MODEL");
    c->operatorUi.answers = {OperatorInteraction::Answer::Cancel};
    EXPECT_FALSE(c->frame.resetFromMenu());
    EXPECT_EQ(c->operatorUi.questions.back(), qtTrId("61487"));
    EXPECT_TRUE(ops().reverse());

    c->operatorUi.answers = {OperatorInteraction::Answer::Ok};
    ASSERT_TRUE(c->frame.resetFromMenu());
    EXPECT_EQ(sentCount("CMD_LOAD_MODEL"), loads + 1);
    EXPECT_EQ(c->link.sent().back(), "CMD_CLEAR_WORK");
    EXPECT_TRUE(c->document.isLoaded());
    ASSERT_TRUE(processUntil([&] { return !ops().reverse() && ops().runState().state == 1; }));
    expectWorkStartedAfresh();
    EXPECT_TRUE(entry(Command::ForwardFlip)->isEnabled());
}

TEST_F(CommandSetTest, CloseUnloadsAndLeavesNoWorkBehind) {
    dirtyTheWork();
    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
    ASSERT_TRUE(c->frame.closeFromMenu());
    EXPECT_FALSE(c->document.isLoaded());
    EXPECT_TRUE(c->link.wasSent("CMD_CLEAR_WORK"));
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 0; }));
    expectWorkStartedAfresh();
    // Nothing is left to act on.
    for (Command command : {Command::Close, Command::Reset, Command::Cut, Command::Statistics, Command::Multiple})
        EXPECT_FALSE(entry(command)->isEnabled()) << commandRow(command).objectName;
    EXPECT_TRUE(entry(Command::Open)->isEnabled());
}

TEST_F(CommandSetTest, AdjustWaitsForItsDialogAndTheEntriesCarryTheirKeys) {
    EXPECT_FALSE(entry(Command::Adjust)->isEnabled());
    int opened = 0;
    c->frame.actionTable().setAdjustHandler([&opened] { ++opened; });
    EXPECT_TRUE(entry(Command::Adjust)->isEnabled());
    entry(Command::Adjust)->trigger();
    EXPECT_EQ(opened, 1);
    for (const CommandRow& row : commandRows()) {
        const QKeySequence expected = row.key.key() == Qt::Key_unknown ? QKeySequence() : QKeySequence(row.key);
        EXPECT_EQ(entry(row.command)->shortcut(), expected) << row.objectName;
    }
    // Entries whose dialog exists run it; the others wait for theirs.
    EXPECT_TRUE(entry(Command::MultTable)->isEnabled());
    EXPECT_EQ(entry(Command::Phase)->isEnabled(), configMenuItem(ConfigEntry::Phase) != nullptr);
}

TEST_F(CommandSetTest, ATransformLoadsItsResultOnlyAfterTheCloseQuestion) {
    // A copy beside which the mirror may be written.
    const QString copy = data.path() + QStringLiteral("/part.3b");
    ASSERT_TRUE(QFile::copy(kSquare, copy));
    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
    ASSERT_EQ(c->frame.openRequest(copy), OpenOutcome::Opened);
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 1 && entry(Command::VerticalMirror)->isEnabled(); }));

    c->operatorUi.answers = {OperatorInteraction::Answer::No};
    entry(Command::VerticalMirror)->trigger();
    EXPECT_EQ(c->operatorUi.questions.back(), qtTrId("61486"));
    EXPECT_EQ(c->document.path(), copy);  // No keeps the program there is

    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
    entry(Command::VerticalMirror)->trigger();
    EXPECT_TRUE(c->document.isLoaded());
    EXPECT_NE(c->document.path(), copy);
    EXPECT_TRUE(c->document.path().contains(QStringLiteral("@_@")));
}

TEST_F(CommandSetTest, AboutShowsVersionCardAndCapabilityAndTheHelpEntriesRunTheirDialogs) {
    QString version, cardLine, capability;
    c->operatorUi.scripts[QStringLiteral("AboutDialog")] = [&](QDialog& d) {
        version = d.findChild<QLabel*>(QStringLiteral("AboutVersion"))->text();
        cardLine = d.findChild<QLabel*>(QStringLiteral("AboutCardType"))->text();
        capability = d.findChild<QLabel*>(QStringLiteral("AboutCapability"))->text();
        d.accept();
        return d.result();
    };
    entry(Command::About)->trigger();
    EXPECT_EQ(version, "Korvex V6.5 (6.5.0.1)");
    const int type = cardTypeDigit(c->session.cardId);
    EXPECT_EQ(cardLine, QStringLiteral("V%1(%2)").arg(type, 0, 16).arg(c->session.portLabel()));
    EXPECT_EQ(capability, cardCapabilityText(type));
    entry(Command::Agent)->trigger();
    EXPECT_EQ(c->operatorUi.dialogsRun.back(), "AgentDialog");
    EXPECT_EQ(cardTypeLine(10, "COM3"), "Va(COM3)");
    EXPECT_EQ(cardCapabilityText(7), qtTrId("about.capability.unknown"));
}

}  // namespace
}  // namespace korvex::testing
