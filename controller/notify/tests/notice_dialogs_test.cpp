// SMS Config and Mobile Notice Config through the scripted operator, against the virtual modem
// on a pseudo-terminal: what they offer, what they refuse, what they write and open.
#include "controller/notify/notice_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <memory>

#include "controller/command_line.h"
#include "controller/machine_session.h"
#include "controller/notify/mobile_notice.h"
#include "controller/notify/notifications.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"
#include "controller/tests/shell_test_support.h"
#include "sim/modem/modem_server.h"

namespace korvex::testing {
namespace {

modem::ModemTiming fastModemTiming() {
    modem::ModemTiming t;
    t.readIntervalMs = 20;
    t.readTotalMs = 200;
    t.idleWaitMs = 10;
    t.stepPauseMs = 2;
    t.callTimeoutMs = 1000;
    return t;
}

// Presses a dialog's OK and tells whether it closed.
bool pressOk(QDialog& d) {
    bool finished = false;
    const auto c = QObject::connect(&d, &QDialog::finished, [&finished] { finished = true; });
    d.accept();
    QObject::disconnect(c);
    return finished;
}

class NoticeDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        session.cardId = 0x00220000;
        session.cardKnown = true;
        session.machineName = QStringLiteral("Noname");
    }
    void startModem(sim::ModemScenario scenario) {
        sim::ModemOptions o;
        o.scenario = scenario;
        o.timeScale = 0.1;
        modem = std::make_unique<sim::ModemServer>(o);
        ASSERT_EQ(modem->start(), 0) << modem->error();
        device = QString::fromStdString(modem->devicePath());
    }
    void TearDown() override {
        notice.close();
        if (modem)
            modem->stop();
    }
    QString work(const char* key) const {
        return session.cardSettings().readText(QLatin1String(keys::kWorkSection), QLatin1String(key), QString());
    }
    std::vector<QString> shownTexts() const {
        std::vector<QString> out;
        for (const auto& m : operatorUi.messages)
            out.push_back(m.text);
        return out;
    }
    bool waitForEvent(const std::string& name) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const sim::ModemEvent& e : modem->events())
                if (e.event == name)
                    return true;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return false;
    }

    ScratchDataDir data;
    MachineSession session;
    ScriptedOperator operatorUi;
    MobileNotice notice{session, fastModemTiming()};
    std::unique_ptr<sim::ModemServer> modem;
    QString device;
};

TEST_F(NoticeDialogsTest, SmsConfigRefusesMissingFieldsOpensTheModemAndLeadsToTheNoticeSettings) {
    startModem(sim::ModemScenario::Normal);
    qputenv("KORVEX_VIRTUAL_MODEM", device.toUtf8());
    QString offeredPort, offeredSmsc;
    bool listsVirtualModem = false;
    std::vector<bool> closedAfterOk;
    operatorUi.scripts[QStringLiteral("SmsConfig")] = [&](QDialog& d) {
        auto& sms = static_cast<CSmsConfigDialog&>(d);
        offeredPort = sms.portText();
        offeredSmsc = sms.smsc();
        auto* ports = d.findChild<QComboBox*>(QStringLiteral("port"));
        listsVirtualModem = ports->findData(device) >= 0;
        sms.setPortText(QString());
        closedAfterOk.push_back(pressOk(d));
        sms.setPortText(device);
        sms.setSmsc(QStringLiteral("138;ATH"));  // would smuggle a command into the dial string
        closedAfterOk.push_back(pressOk(d));
        sms.setSmsc(QStringLiteral("+86 138-0010-0500"));
        closedAfterOk.push_back(pressOk(d));
        return d.result();
    };
    QString machineShown;
    bool machineReadOnly = false;
    operatorUi.scripts[QStringLiteral("MobileNoticeConfig")] = [&](QDialog& d) {
        auto& mobile = static_cast<CMobileNoticeConfigDialog&>(d);
        auto* machine = d.findChild<QLineEdit*>(QStringLiteral("machineName"));
        machineShown = machine->text();
        machineReadOnly = machine->isReadOnly();
        closedAfterOk.push_back(pressOk(d));  // no number while the modem runs
        mobile.setNumber(QStringLiteral("139 1234;5678"));
        closedAfterOk.push_back(pressOk(d));
        mobile.setNoticeType(1);
        mobile.setNumber(QStringLiteral("139 1234-5678"));
        closedAfterOk.push_back(pressOk(d));
        return d.result();
    };
    configureMobileNotice(notice, session, operatorUi, nullptr);
    qunsetenv("KORVEX_VIRTUAL_MODEM");

    EXPECT_EQ(offeredPort, QStringLiteral("COM3"));
    EXPECT_EQ(offeredSmsc, QStringLiteral("+8613800100500"));
    EXPECT_TRUE(listsVirtualModem);
    EXPECT_EQ(closedAfterOk, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(shownTexts(), (std::vector<QString>{qtTrId("notify.check_port_smsc"), qtTrId("notify.check_port_smsc"),
                                                  qtTrId("notify.input_number"), qtTrId("notify.bad_number")}));
    EXPECT_TRUE(notice.enabled());
    EXPECT_EQ(machineShown, QStringLiteral("Noname"));
    EXPECT_TRUE(machineReadOnly);
    EXPECT_EQ(work("SMSC"), QStringLiteral("+86 138-0010-0500"));
    EXPECT_EQ(work("NoticeType"), QStringLiteral("1"));
    EXPECT_EQ(work("NoticeNumber"), QStringLiteral("139 1234-5678"));

    // A call notice is dialled by the worker and hung up.
    notice.notify("61512");
    EXPECT_TRUE(waitForEvent("hangup"));
    const auto events = modem->events();
    const auto call = std::find_if(events.begin(), events.end(), [](const sim::ModemEvent& e) { return e.event == "call"; });
    ASSERT_NE(call, events.end());
    EXPECT_EQ(call->number, "13912345678;");  // the dial string of a voice call

    // The modem stays open: the next SMS Config only leads on.
    bool okEnabled = true;
    operatorUi.scripts[QStringLiteral("SmsConfig")] = [&](QDialog& d) {
        okEnabled = static_cast<CSmsConfigDialog&>(d).okButton()->isEnabled();
        d.reject();
        return d.result();
    };
    operatorUi.scripts[QStringLiteral("MobileNoticeConfig")] = [](QDialog& d) {
        d.reject();
        return d.result();
    };
    configureMobileNotice(notice, session, operatorUi, nullptr);
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(std::count(operatorUi.dialogsRun.begin(), operatorUi.dialogsRun.end(), QStringLiteral("MobileNoticeConfig")), 2);
}

TEST_F(NoticeDialogsTest, AFailedOpenKeepsSmsConfigWithItsMessageAndCancelStillLeadsOn) {
    startModem(sim::ModemScenario::NoOk);
    SettingsFile machine = session.machineSettings();
    machine.writeText(QStringLiteral("Option"), QStringLiteral("DefaultSMSC"), QStringLiteral("+8613900000000"));
    QString offeredSmsc;
    std::vector<bool> closedAfterOk;
    operatorUi.scripts[QStringLiteral("SmsConfig")] = [&](QDialog& d) {
        auto& sms = static_cast<CSmsConfigDialog&>(d);
        offeredSmsc = sms.smsc();
        sms.setPortText(device);
        closedAfterOk.push_back(pressOk(d));
        sms.setPortText(QStringLiteral("/dev/no-such-modem"));
        closedAfterOk.push_back(pressOk(d));
        d.reject();
        return d.result();
    };
    operatorUi.scripts[QStringLiteral("MobileNoticeConfig")] = [&](QDialog& d) {
        closedAfterOk.push_back(pressOk(d));  // no modem: an empty number is kept as it is
        return d.result();
    };
    configureMobileNotice(notice, session, operatorUi, nullptr);
    EXPECT_EQ(offeredSmsc, QStringLiteral("+8613900000000"));
    EXPECT_EQ(closedAfterOk, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(shownTexts(), (std::vector<QString>{qtTrId("notify.modem_not_found"), qtTrId("notify.comm_open_failed")}));
    EXPECT_FALSE(notice.enabled());
    EXPECT_EQ(work("NoticeType"), QStringLiteral("0"));
    notice.notify("61502");  // nothing is queued without a modem
    EXPECT_FALSE(notice.pending());
}

TEST_F(NoticeDialogsTest, TheModemOptionOpensWithTheStoredCentreAndAFailureOnlyShowsItsMessage) {
    const CommandLine line = parseCommandLine({QStringLiteral("korvex"), QStringLiteral("--modem"), QStringLiteral("COM4")});
    EXPECT_TRUE(line.error.isEmpty());
    EXPECT_EQ(line.modemDevice, QStringLiteral("COM4"));

    startModem(sim::ModemScenario::Normal);
    PulseTable table;
    Notifications notifications(session, operatorUi, table, nullptr, fastModemTiming());
    EXPECT_FALSE(notifications.openAtStart(device));  // no stored service centre
    SettingsFile card = session.cardSettings();
    card.writeText(QStringLiteral("Work"), QStringLiteral("SMSC"), QStringLiteral("+8613800100500"));
    EXPECT_FALSE(notifications.openAtStart(QStringLiteral("/dev/no-such-modem")));
    EXPECT_TRUE(notifications.openAtStart(device));
    EXPECT_EQ(shownTexts(), (std::vector<QString>{qtTrId("notify.check_port_smsc"), qtTrId("notify.comm_open_failed")}));
    EXPECT_TRUE(notifications.notice().enabled());
    notifications.close();
    EXPECT_FALSE(notifications.notice().enabled());
}

}  // namespace
}  // namespace korvex::testing
