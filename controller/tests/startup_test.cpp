#include "controller/tests/controller_fixture.h"

#include "controller/comm_config_dialog.h"
#include "controller/settings_keys.h"
#include "controller/tips_dialog.h"
#include "controller/status_panel_control.h"
#include "platform/data_dirs.h"

#include <QFile>
#include <QFileInfo>

namespace korvex::testing {
namespace {

using Answer = OperatorInteraction::Answer;

TEST_F(ControllerTest, FirstStartWithNoSettingsFiles) {
    ControllerParts c;
    ASSERT_TRUE(c.start());

    EXPECT_EQ(c.offeredPort, "COM3");
    EXPECT_EQ(c.operatorUi.dialogsRun, (std::vector<QString>{"CommConfig", "Tips"}));
    EXPECT_TRUE(c.operatorUi.messages.empty());
    EXPECT_EQ(c.link.sent(), (std::vector<std::string>{
                                 "CMD_CONNECT", "CMD_GET_CARD_ID", "CMD_GET_SETTINGS",
                                 "CMD_SET_PULSE_GROUP", "CMD_SET_SWITCH_WITHOUT_VF",
                                 "CMD_GET_WORK_RECORD", "CMD_SET_FEED"}));
    // Group 0 with the defaults: width 1, interval 1, V.F. 50.0.
    ASSERT_EQ(c.link.groupsSent.size(), 1u);
    const PulseGroup sent = decodePulseGroup(c.link.groupsSent[0]);
    EXPECT_EQ(sent.index, 0);
    EXPECT_EQ(sent.pulseWidthUs, 1);
    EXPECT_EQ(sent.pulseIntervalUs, 1);
    EXPECT_EQ(sent.feedValue, 100);
    EXPECT_EQ(c.link.switchFlagsSent, std::vector<uint8_t>{0});
    EXPECT_EQ(c.frame.statusPanel().feed().value(), 150);
    EXPECT_EQ(c.link.feedsSent, std::vector<int>{150}) << "the last session's feed reaches the card";

    EXPECT_TRUE(c.frame.keepAliveRunning());
    EXPECT_TRUE(c.frame.miniStatusWindow() && !c.frame.miniStatusWindow()->isVisible());
    EXPECT_EQ(c.session.cardId, sim::kDefaultCardId);
    EXPECT_EQ(c.frame.windowTitle(),
              QStringLiteral("%1-No Title : %2").arg(c.session.machineName, c.card.deviceText()));
    EXPECT_TRUE(c.frame.paneText(CMainFrame::kMaxSpeedPane).startsWith("X/Y Max Spd:"));

    // Only the empty pulse table file and the chosen port are written: reading defaults writes
    // no settings file. The pseudo-terminal has no COM number, so it is kept by its path.
    EXPECT_EQ(data.files(), (QStringList{"Korvex.ini", "Param/dao.tbl"}));
    EXPECT_EQ(SettingsFile(machineSettingsPath()).readText("Port", "Device", ""), c.card.deviceText());
    EXPECT_FALSE(SettingsFile(machineSettingsPath()).readText("Port", "COMM").has_value());
    EXPECT_EQ(QFileInfo(data.path() + "/Param/dao.tbl").size(), 0);
    EXPECT_TRUE(QFileInfo(data.path() + "/Tmp").isDir());
}

TEST_F(ControllerTest, PortOptionIsOfferedAndConnectSkipsTheDialog) {
    {
        ControllerParts c;
        StartupOptions options;
        options.portDevice = c.card.deviceText();
        ASSERT_TRUE(c.start(options));
        EXPECT_EQ(c.offeredPort, c.card.deviceText());
    }
    {
        ControllerParts c;
        StartupOptions options;
        options.connectDevice = c.card.deviceText();
        ASSERT_TRUE(c.start(options));
        EXPECT_EQ(c.operatorUi.dialogsRun, std::vector<QString>{"Tips"});
        EXPECT_EQ(c.session.port.device, c.card.deviceText());
        EXPECT_NE(c.link.connectThread, std::this_thread::get_id());
    }
}

TEST_F(ControllerTest, PortDialogExplainsBadTextAndSilentCardThenConnects) {
    ControllerParts c;
    int attempt = 0;
    c.operatorUi.scripts["CommConfig"] = [&](QDialog& dialog) {
        auto& comm = dynamic_cast<CommConfigDialog&>(dialog);
        c.card.server().setSilence(true);
        for (const QString& text : {QStringLiteral("PORT4"), QStringLiteral("/no/such/tty"), c.card.deviceText()}) {
            ++attempt;
            comm.setPortText(text);
            comm.accept();
            EXPECT_EQ(comm.result(), QDialog::Rejected) << attempt;
        }
        c.card.server().setSilence(false);
        comm.accept();
        return comm.result();
    };
    ASSERT_TRUE(c.start());
    ASSERT_EQ(c.operatorUi.messages.size(), 3u);
    EXPECT_EQ(c.operatorUi.messages[0].text, "Port Error! Please input like \"COMx\" (x for number)");
    EXPECT_EQ(c.operatorUi.messages[1].text, "Can't open /no/such/tty");
    EXPECT_EQ(c.operatorUi.messages[2].text, QStringLiteral("Can't connect to (%1)!").arg(c.card.deviceText()));
    // The connect ran beside the window's thread, which went on repainting meanwhile.
    EXPECT_NE(c.link.connectThread, std::this_thread::get_id());
}

TEST_F(ControllerTest, ComPortTypedAsComNumberIsRememberedInKorvexIni) {
    ControllerParts c;
    SettingsFile machine(machineSettingsPath());
    ASSERT_EQ(machine.writeText("Port", "COM7", c.card.deviceText()), 0);
    c.operatorUi.scripts["CommConfig"] = pressOkWith(" com7");
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.session.port.number, 7);
    EXPECT_EQ(readKey(machine, keys::kComPort), 7);
    EXPECT_TRUE(c.frame.windowTitle().endsWith(" : COM7"));
}

TEST_F(ControllerTest, CancelledPortDialogEndsStartUp) {
    ControllerParts c;
    c.operatorUi.scripts["CommConfig"] = [](QDialog& d) {
        d.reject();
        return d.result();
    };
    EXPECT_FALSE(c.start());
    EXPECT_FALSE(c.link.isOpen());
    EXPECT_EQ(c.operatorUi.dialogsRun, std::vector<QString>{"CommConfig"});
    EXPECT_TRUE(c.link.sent().empty());
}

TEST_F(ControllerTest, CardThatDoesNotAnswerItsIdentityEndsStartUp) {
    ControllerParts c;
    c.link.afterConnect = [&] { c.card.server().setSilence(true); };
    EXPECT_FALSE(c.start());
    EXPECT_FALSE(c.link.isOpen());
    EXPECT_EQ(c.link.sent(), (std::vector<std::string>{"CMD_CONNECT", "CMD_GET_CARD_ID"}));
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    EXPECT_EQ(c.operatorUi.messages[0].text, qtTrId("startup.no_card_id"));
    EXPECT_FALSE(c.frame.miniStatusWindow());
}

// The card falls silent while the operator reads the Tips: the work record cannot be read, and
// start-up ends with the lost-link message instead of running on without a card.
TEST_F(ControllerTest, LinkLostDuringStartUpEndsItAfterItsMessage) {
    ControllerParts c;
    c.operatorUi.scripts["Tips"] = [&](QDialog& d) {
        c.card.server().setSilence(true);
        d.accept();
        return d.result();
    };
    EXPECT_FALSE(c.start());
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    EXPECT_EQ(c.operatorUi.messages[0].text, linkLostText(cmdcode::CMD_GET_WORK_RECORD));
    EXPECT_FALSE(c.link.isOpen());
    EXPECT_FALSE(c.frame.keepAliveRunning());
    EXPECT_FALSE(c.recovery.pending().has_value());
}

TEST_F(ControllerTest, UnreadablePulseTableEndsStartUp) {
    ControllerParts c;
    ASSERT_EQ(createDataDirectories(), 0);
    ASSERT_TRUE(QDir().mkpath(pulseTablePath()));  // a directory where the file should be
    EXPECT_FALSE(c.start());
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    EXPECT_EQ(c.operatorUi.messages[0].text, "Read Dao table failed");
    EXPECT_FALSE(c.link.wasSent("CMD_SET_PULSE_GROUP"));
}

TEST_F(ControllerTest, EachCardKeepsItsOwnSettingsFile) {
    constexpr uint32_t kCardA = 0x00220001, kCardB = 0x00220002;
    SettingsFile a(cardSettingsPath(kCardA)), b(cardSettingsPath(kCardB));
    ASSERT_EQ(writeKey(a, keys::kDefaultIndex, 3), 0);
    ASSERT_EQ(writeKey(a, keys::kSwitchWithoutVf, 1), 0);
    ASSERT_EQ(writeKey(a, keys::kFreq, 90), 0);
    ASSERT_EQ(writeKey(b, keys::kDefaultIndex, 9), 0);  // out of range: group 0
    ASSERT_EQ(writeKey(b, keys::kFreq, 0), 0);          // out of range: 150
    ASSERT_EQ(writeKey(b, keys::kSettingNotice, 0), 0);

    const QString program = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
    {
        ControllerParts c(kCardA);
        ASSERT_TRUE(c.start());
        EXPECT_EQ(decodePulseGroup(c.link.groupsSent.at(0)).index, 3);
        EXPECT_EQ(c.link.switchFlagsSent, std::vector<uint8_t>{1});
        EXPECT_EQ(c.frame.statusPanel().feed().value(), 90);
        EXPECT_EQ(c.link.feedsSent, std::vector<int>{90});
        EXPECT_EQ(c.operatorUi.dialogsRun.back(), "Tips");
        ASSERT_EQ(c.frame.openRequest(program), OpenOutcome::Opened);
    }
    {
        ControllerParts c(kCardB);
        ASSERT_TRUE(c.start());
        EXPECT_EQ(decodePulseGroup(c.link.groupsSent.at(0)).index, 0);
        EXPECT_EQ(c.link.switchFlagsSent, std::vector<uint8_t>{0});
        EXPECT_EQ(c.frame.statusPanel().feed().value(), 150);
        EXPECT_EQ(c.operatorUi.dialogsRun, std::vector<QString>{"CommConfig"});  // no Tips
    }
    EXPECT_EQ(a.readText("Doc", "LastFile", ""), program);
    EXPECT_FALSE(b.readText("Doc", "LastFile").has_value());
    EXPECT_EQ(readKey(a, keys::kDefaultIndex), 3);
    EXPECT_EQ(readKey(b, keys::kDefaultIndex), 0);
}

TEST_F(ControllerTest, DontShowAgainIsRememberedPerCard) {
    {
        ControllerParts c;
        c.operatorUi.scripts["Tips"] = [](QDialog& d) {
            dynamic_cast<TipsDialog&>(d).setDontShowAgain(true);
            d.accept();
            return d.result();
        };
        ASSERT_TRUE(c.start());
    }
    ControllerParts c;
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.operatorUi.dialogsRun, std::vector<QString>{"CommConfig"});
}

TEST_F(ControllerTest, ProgramOnTheCommandLineOpensAfterConnectingAndAFailureKeepsGoing) {
    {
        ControllerParts c;
        StartupOptions options;
        options.programPath = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
        ASSERT_TRUE(c.start(options));
        EXPECT_TRUE(c.document.isLoaded());
        EXPECT_TRUE(c.frame.windowTitle().contains("-" + options.programPath + " : "))
            << c.frame.windowTitle().toStdString();
        // Loaded after the card had answered everything start-up asks.
        const auto sent = c.link.sent();
        const auto load = std::find(sent.begin(), sent.end(), "CMD_LOAD_MODEL");
        const auto record = std::find(sent.begin(), sent.end(), "CMD_GET_WORK_RECORD");
        ASSERT_NE(load, sent.end());
        EXPECT_LT(record, load);
        EXPECT_EQ(c.frame.recentFiles().entries(), QStringList{options.programPath});
    }
    ControllerParts c;
    StartupOptions options;
    options.programPath = data.path() + "/missing.3b";
    ASSERT_TRUE(c.start(options));
    EXPECT_FALSE(c.document.isLoaded());
    ASSERT_FALSE(c.operatorUi.messages.empty());
    EXPECT_TRUE(c.operatorUi.messages[0].text.contains("missing.3b"));
    EXPECT_TRUE(c.frame.keepAliveRunning());
}

TEST(VersionGate, OnlyWindows2000XpAnd7PassedTheOldGate) {
    struct Case { bool known, nt; int major, minor, cls; };
    const Case cases[] = {
        {false, true, 5, 1, -1}, {true, false, 4, 10, 0}, {true, true, 4, 0, 1}, {true, true, 5, 0, 2},
        {true, true, 5, 1, 3},   {true, true, 6, 0, 0},   {true, true, 6, 1, 4}, {true, true, 10, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowsVersionClass(c.known, c.nt, c.major, c.minor), c.cls) << c.major << "." << c.minor;
    EXPECT_TRUE(platformVersionAccepted());
}

}  // namespace
}  // namespace korvex::testing

namespace korvex::testing {
namespace {

// Primes the virtual card's memory as a card that has run before.
void primeCard(VirtualCard& card, const std::string& machineName, uint8_t xyPhase, uint8_t uvPhase,
               uint8_t recordKind) {
    card.server().withEngine([&](sim::CardEngine& engine) {
        sim::CardMemory memory = engine.memory();
        SettingsBlock settings = decodeSettingsBlock(memory.settings);
        settings.machineName.fill(0);
        std::copy(machineName.begin(), machineName.end(), settings.machineName.begin());
        settings.speeds[0] = 4200;
        settings.phase[0] = xyPhase;
        settings.phase[8] = uvPhase;
        encodeSettingsBlock(settings, memory.settings);
        memory.record[0] = recordKind;
        engine.restoreMemory(memory);
        return 0;
    });
}

TEST_F(ControllerTest, CardSettingsNameTheMachineFillThePanesAndAKeptWorkGoesToTheRecovery) {
    {
        ControllerParts c;
        primeCard(c.card, "线切割-1", 3, 7, kWorkRecordCut);
        ASSERT_TRUE(c.start());
        EXPECT_EQ(c.session.machineName, QString::fromUtf8("线切割-1"));
        EXPECT_TRUE(c.frame.windowTitle().startsWith(QString::fromUtf8("线切割-1-No Title : ")));
        EXPECT_EQ(c.frame.paneText(CMainFrame::kMaxSpeedPane), "X/Y Max Spd:4200 steps/sec");
        EXPECT_EQ(c.frame.paneText(CMainFrame::kPhasePane), "MicroStep,7");
        ASSERT_TRUE(c.recovery.pending().has_value());
        EXPECT_EQ(c.recovery.pending()->kind, kWorkRecordCut);
    }
    for (const uint8_t kind : {uint8_t{0x00}, uint8_t{0x33}}) {
        ControllerParts c;
        primeCard(c.card, "", 0, 4, kind);
        ASSERT_TRUE(c.start());
        EXPECT_EQ(c.session.machineName, "Noname");
        EXPECT_EQ(c.frame.paneText(CMainFrame::kPhasePane), "3-6,Servo");
        EXPECT_FALSE(c.recovery.pending().has_value());
    }
}

}  // namespace
}  // namespace korvex::testing
