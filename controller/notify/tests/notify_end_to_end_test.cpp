// Whole works in the real window against the virtual card and the virtual modem, both on
// pseudo-terminals: what a finished cut, a wire break and a walk put on the modem, and the
// power-off armed for the end or for a pause.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>

#include <chrono>
#include <memory>
#include <optional>

#include "controller/action_table.h"
#include "controller/machine_control.h"
#include "controller/notify/auto_shutdown.h"
#include "controller/notify/notifications.h"
#include "controller/notify/tests/tone_recorder.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"
#include "controller/tests/controller_fixture.h"
#include "sim/card/card_engine.h"
#include "sim/modem/modem_server.h"

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
constexpr int kWaitMs = 20000;  // generous: only a stuck worker, link or modem takes this long

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

// The UCS2 hex of a text, as it appears in a PDU's user data.
std::string ucs2Hex(const QString& text) {
    std::string out;
    for (const QChar ch : text) {
        char unit[5];
        std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(ch.unicode()));
        out += unit;
    }
    return out;
}

// The controller's parts as main() builds them, with a card link that waits longer for an
// answer than the shell tests' (these works run for seconds beside the modem's worker, and a
// loaded machine must not make them lose the card).
struct NotifyParts {
    static constexpr int kResponseTimeoutMs = 1500;
    static LinkOptions linkOptions() {
        LinkOptions o = fastLinkOptions();
        o.responseTimeoutMs = kResponseTimeoutMs;
        return o;
    }
    explicit NotifyParts(double speedScale) : card(sim::kDefaultCardId, {}, speedScale), link(linkOptions()) {
        frame.setQuitHandler([](int) {});
    }
    bool start() {
        StartupOptions options;
        options.showMaximized = false;
        operatorUi.scripts.try_emplace(QStringLiteral("CommConfig"), pressOkWith(card.deviceText()));
        operatorUi.scripts.try_emplace(QStringLiteral("Tips"), [](QDialog& d) {
            d.accept();
            return d.result();
        });
        Startup startup(session, link, operatorUi, events, pulseTable, recovery, document);
        return startup.run(frame, options);
    }

    VirtualCard card;
    CardEventRouter events;
    RecordingCard link;
    ScriptedOperator operatorUi;
    MachineSession session;
    PulseTable pulseTable;
    WorkRecovery recovery;
    CDCSDoc document;
    CMainFrame frame{session, link, operatorUi, events, pulseTable, document};
};

class NotifyEndToEnd : public ControllerTest {
protected:
    static constexpr double kFastCard = 50.0;

    void SetUp() override {
        ControllerTest::SetUp();
        c = std::make_unique<NotifyParts>(kFastCard);
        c->frame.notifications().setToneOutput(tones);
        c->frame.notifications().setPowerOff([this] { powerOff(); });
        sim::ModemOptions o;
        modem = std::make_unique<sim::ModemServer>(o);
        ASSERT_EQ(modem->start(), 0) << modem->error();
        ASSERT_TRUE(c->start());
        ASSERT_EQ(c->frame.openRequest(kSquare), OpenOutcome::Opened);
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
            d.accept();  // the whole program
            return d.result();
        };
        c->operatorUi.scripts[QString::fromLatin1(CShutdownCountdownDialog::kObjectName)] = [this](QDialog& d) {
            auto& countdown = static_cast<CShutdownCountdownDialog&>(d);
            firstLine = d.findChild<QLabel*>(QStringLiteral("firstLine"))->text();
            for (int shown = countdown.remaining(); shown > 0; shown = countdown.remaining()) {
                counts.push_back(shown);
                countdown.tick();
            }
            return d.result();
        };
        SettingsFile card = c->session.cardSettings();
        card.writeText(QStringLiteral("Work"), QStringLiteral("SMSC"), QStringLiteral("+8613800100500"));
        card.writeText(QStringLiteral("Work"), QStringLiteral("NoticeNumber"), QStringLiteral("13912345678"));
        ASSERT_EQ(c->frame.notifications().notice().open(QString::fromStdString(modem->devicePath())),
                  modem::OpenResult::Opened);
    }
    void TearDown() override {
        machine.reset();
        c.reset();
        modem->stop();
    }

    MachiningOperations& ops() { return machine->operations(); }
    void runToEnd(Operation op) {
        ops().press(op);
        ASSERT_TRUE(processUntil([&] { return ops().label(op) == ButtonLabel::Pause; }));
        ASSERT_TRUE(processUntil(
            [&] { return ops().idle() && c->frame.paneText(CMainFrame::kMessagePane) == qtTrId("61622"); }));
    }
    std::vector<std::string> messagesSent() const {
        std::vector<std::string> out;
        for (const sim::ModemEvent& e : modem->events())
            if (e.event == "sms")
                out.push_back(e.pdu);
        return out;
    }
    bool sentText(const QString& text) const {
        const std::string hex = ucs2Hex(c->session.machineName + QStringLiteral("通知您: ") + text);
        for (const std::string& pdu : messagesSent())
            if (pdu.size() >= hex.size() && pdu.compare(pdu.size() - hex.size(), hex.size(), hex) == 0)
                return true;
        return false;
    }
    bool motorOnCard() {
        return c->card.server().withEngine([](sim::CardEngine& e) { return e.motorOn(); });
    }
    void powerOff() {
        ++powerOffs;
        motorOnAtPowerOff = motorOnCard();
        tableAtPowerOff = QFileInfo::exists(pulseTablePath());
        messagesAtPowerOff = messagesSent().size();
    }
    int key(const IntKey& k) const { return readKey(c->session.cardSettings(), k); }
    void arm(const IntKey& k) {
        SettingsFile card = c->session.cardSettings();
        writeKey(card, k, 1);
    }

    std::shared_ptr<ToneRecorder> tones = std::make_shared<ToneRecorder>();
    std::unique_ptr<sim::ModemServer> modem;
    std::unique_ptr<NotifyParts> c;
    std::optional<MachineControl> machine;
    QString firstLine;
    std::vector<int> counts;
    int powerOffs = 0;
    bool motorOnAtPowerOff = true;
    bool tableAtPowerOff = false;
    std::size_t messagesAtPowerOff = 0;
};

TEST_F(NotifyEndToEnd, AFinishedCutAndABreakReachTheModemAndAWalkDoesNot) {
    runToEnd(Operation::Walk);
    EXPECT_EQ(c->frame.paneText(CMainFrame::kMessagePane), qtTrId("61622"));
    EXPECT_FALSE(c->frame.notifications().notice().pending());  // nothing was queued

    runToEnd(Operation::Cut);
    EXPECT_EQ(c->frame.paneText(CMainFrame::kMessagePane), qtTrId("61622"));
    ASSERT_TRUE(processUntil([&] { return sentText(qtTrId("61502")); }));
    EXPECT_EQ(messagesSent().size(), 1u);  // the walk sent none
    EXPECT_EQ(powerOffs, 0);  // not armed
    // The finish's alarm box sounded the notice sound and stopped it.
    EXPECT_EQ(tones->loops().back(), kNoticeSoundId);
    EXPECT_EQ(tones->looping(), 0);

    // Config > Mobile Notice is offered while idle, not while a cut runs.
    QAction* mobileNotice = c->frame.findChild<QAction*>(QStringLiteral("menu.mobile_notice"));
    ASSERT_NE(mobileNotice, nullptr);
    EXPECT_EQ(mobileNotice->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    ops().refresh();
    ASSERT_TRUE(processUntil([&] { return ops().runState().state == 11; }));
    EXPECT_TRUE(mobileNotice->isEnabled());
    // Only states 0, 1, 2 and 11 without a fast roll offer it.
    for (int state = 0; state <= 12; ++state) {
        const bool offered = state == 0 || state == 1 || state == 2 || state == 11;
        EXPECT_EQ(ActionTable::configAllowed(RunState{static_cast<uint8_t>(state), 0}, WorkFlags{}), offered) << state;
    }
    WorkFlags rolling;
    rolling.rolling = true;
    EXPECT_FALSE(ActionTable::configAllowed(RunState{1, 0}, rolling));

    ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return ops().label(Operation::Cut) == ButtonLabel::Pause; }));
    ASSERT_EQ(c->card.server().wireBreak(), 0);
    ASSERT_TRUE(processUntil([&] { return c->frame.paneText(CMainFrame::kMessagePane) == qtTrId("61512"); }));
    ASSERT_TRUE(processUntil([&] { return sentText(qtTrId("61512")); }));
    EXPECT_EQ(tones->loops().back(), kAlarmSoundId);

    // The exit closes the modem with the card link.
    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
    ASSERT_TRUE(c->frame.confirmExit());
    EXPECT_FALSE(c->frame.notifications().notice().enabled());
    machine->worker().stop();
}

TEST_F(NotifyEndToEnd, AnArmedEndSendsTheNoticeStopsTheMotorSavesTheTableAndCountsDownBeforePoweringOff) {
    arm(keys::kAutoShutEnd);
    QFile::remove(pulseTablePath());
    runToEnd(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return powerOffs > 0; }));
    EXPECT_EQ(powerOffs, 1);
    EXPECT_EQ(key(keys::kAutoShutEnd), 0);
    EXPECT_EQ(counts, (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(firstLine, qtTrId("61502"));
    EXPECT_FALSE(motorOnAtPowerOff);
    EXPECT_TRUE(tableAtPowerOff);
    EXPECT_EQ(messagesAtPowerOff, 1u);  // "Cut finished!" left before the power went
    machine->worker().stop();
}

TEST_F(NotifyEndToEnd, AnArmedPauseIgnoresAFinishAndAfterAPauseSaysPaused) {
    arm(keys::kAutoShutPause);
    runToEnd(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return sentText(qtTrId("61502")); }));
    EXPECT_EQ(powerOffs, 0);
    EXPECT_EQ(key(keys::kAutoShutPause), 1);

    ops().press(Operation::Cut);
    ASSERT_TRUE(processUntil([&] { return ops().label(Operation::Cut) == ButtonLabel::Pause; }));
    // The card pauses a cut by itself (a pause code): type 1, code 9, sub-code 3.
    c->card.server().injectReport(1, {3, 9, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(processUntil([&] { return powerOffs > 0; }));
    EXPECT_EQ(firstLine, qtTrId("61572"));
    EXPECT_EQ(key(keys::kAutoShutPause), 0);
    machine->worker().stop();
}

}  // namespace
}  // namespace korvex::testing
