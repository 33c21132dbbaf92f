// The power-off after the last cut, with the card, the table, the notices and the power-off
// itself injected: the one-shot keys, the order of the steps and the countdown dialog.
#include "controller/notify/auto_shutdown.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "controller/machine_session.h"
#include "controller/settings_keys.h"
#include "controller/tests/shell_test_support.h"
#include "platform/power_off.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace korvex::testing {
namespace {

class AutoShutdownTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        session.cardId = 0x00220000;
        session.cardKnown = true;
        session.machineName = QStringLiteral("Noname");
        // The countdown as the operator sees it: each second's text, then it closes itself.
        operatorUi.scripts[QString::fromLatin1(CShutdownCountdownDialog::kObjectName)] = [this](QDialog& d) {
            auto& countdown = static_cast<CShutdownCountdownDialog&>(d);
            firstLine = d.findChild<QLabel*>(QStringLiteral("firstLine"))->text();
            buttons = static_cast<int>(d.findChildren<QPushButton*>().size());
            bool finished = false;
            QObject::connect(&d, &QDialog::finished, [&finished] { finished = true; });
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&d, &escape);
            d.reject();  // the close box
            escapeClosed = finished;
            while (!finished) {
                counts.push_back(d.findChild<QLabel*>(QStringLiteral("count"))->text());
                countdown.tick();
            }
            steps.push_back("countdown");
            return d.result();
        };
    }

    AutoShutdown shutdown(std::function<bool()> pending = {}) {
        AutoShutdown::Steps s;
        s.motorOff = [this](std::function<void()> done) {
            steps.push_back("motor off");
            QTimer::singleShot(0, [done] { done(); });  // the card answers later
        };
        s.writePulseTable = [this] {
            steps.push_back("dao.tbl");
            return 0;
        };
        s.noticesPending = std::move(pending);
        s.powerOff = [this] { steps.push_back("power off"); };
        return AutoShutdown(session, operatorUi, std::move(s), nullptr);
    }
    int key(const IntKey& k) const { return readKey(session.cardSettings(), k); }
    void arm(const IntKey& k) {
        SettingsFile card = session.cardSettings();
        writeKey(card, k, 1);
    }

    ScratchDataDir data;
    MachineSession session;
    ScriptedOperator operatorUi;
    std::vector<std::string> steps;
    std::vector<QString> counts;
    QString firstLine;
    int buttons = -1;
    bool escapeClosed = true;
};

TEST_F(AutoShutdownTest, AnArmedEndSavesWaitsForTheNoticesCountsDownAndPowersOffOnce) {
    arm(keys::kAutoShutEnd);
    int polls = 0;
    std::size_t stepsAtLastPoll = 0;
    EXPECT_TRUE(shutdown([&] {
                    stepsAtLastPoll = steps.size();
                    return ++polls < 3;  // the "Cut finished!" message is still on its way
                }).run(kFinishAfterEnd));
    EXPECT_EQ(key(keys::kAutoShutEnd), 0);
    EXPECT_EQ(steps, (std::vector<std::string>{"motor off", "dao.tbl", "countdown", "power off"}));
    EXPECT_GE(polls, 3);
    EXPECT_EQ(stepsAtLastPoll, 2u);  // the countdown waited for the notices
    const QString tail = QLatin1Char(' ') + qtTrId("notify.shutdown_seconds");
    EXPECT_EQ(counts, (std::vector<QString>{QLatin1Char('5') + tail, QLatin1Char('4') + tail, QLatin1Char('3') + tail,
                                            QLatin1Char('2') + tail, QLatin1Char('1') + tail}));
    EXPECT_EQ(firstLine, qtTrId("61502"));
    EXPECT_EQ(buttons, 0);
    EXPECT_FALSE(escapeClosed);

    steps.clear();
    EXPECT_FALSE(shutdown().run(kFinishAfterEnd));  // disarmed by the first finish
    EXPECT_TRUE(steps.empty());
}

TEST_F(AutoShutdownTest, EachKeyWaitsForItsOwnEventAndAPauseSaysPaused) {
    arm(keys::kAutoShutPause);
    EXPECT_FALSE(shutdown().run(kFinishAfterEnd));
    EXPECT_EQ(key(keys::kAutoShutPause), 1);  // a finish leaves the pause armed
    EXPECT_EQ(key(keys::kAutoShutEnd), 0);
    EXPECT_TRUE(steps.empty());

    EXPECT_TRUE(shutdown().run(kFinishAfterPause));
    EXPECT_EQ(key(keys::kAutoShutPause), 0);
    EXPECT_EQ(firstLine, qtTrId("61572"));
    EXPECT_EQ(steps.back(), "power off");

    for (int other : {0, 3, -1}) {
        arm(keys::kAutoShutEnd);
        EXPECT_FALSE(shutdown().run(other));
        EXPECT_EQ(key(keys::kAutoShutEnd), 1);
    }
}

TEST_F(AutoShutdownTest, OnlyTheValueOneArmsAndAnyValueIsResetOnRead) {
    SettingsFile card = session.cardSettings();
    card.writeText(QStringLiteral("AutoShut"), QStringLiteral("End"), QStringLiteral("2"));
    EXPECT_FALSE(shutdown().run(kFinishAfterEnd));
    EXPECT_EQ(key(keys::kAutoShutEnd), 0);
    EXPECT_TRUE(steps.empty());
}

TEST_F(AutoShutdownTest, ThePowerOffCommandRunsThroughTheShellInsteadOfTheLoginManager) {
    const QString mark = data.path() + QStringLiteral("/powered off");
    qputenv(kPowerOffCommandVariable, QStringLiteral("echo off > '%1'").arg(mark).toUtf8());
    EXPECT_EQ(powerOffMachine(), 0);
    qunsetenv(kPowerOffCommandVariable);
    // The command runs detached; its line is there once the shell ran it.
    const QDeadlineTimer patience(10000);
    while (QFileInfo(mark).size() < 4 && !patience.hasExpired())
        QThread::msleep(10);
    QFile file(mark);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("off\n"));
}

}  // namespace
}  // namespace korvex::testing
