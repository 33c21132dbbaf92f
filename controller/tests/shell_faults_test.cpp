// What a new operator meets first: a card that falls silent in the middle of a load, a load
// cancelled on purpose, the port chosen from the list, and a connect to a silent device given on
// the command line.
#include "controller/tests/controller_fixture.h"

#include "controller/comm_config_dialog.h"
#include "controller/document/wait_dialog.h"
#include "controller/settings_keys.h"
#include "controller/views/graph_view.h"
#include "platform/data_dirs.h"
#include "platform/settings_file.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
const QString kSlot = QStringLiteral(KORVEX_EXAMPLES_DIR "/slot.iso");

// The error log's lines, wherever below the data directory the link keeps it.
QStringList errorLogLines(const ScratchDataDir& data) {
    for (const QString& name : data.files()) {
        if (!name.endsWith(QLatin1String("_Err.txt")))
            continue;
        QFile log(data.path() + QLatin1Char('/') + name);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return {};
}

TEST_F(ControllerTest, LinkLostDuringALoadEndsTheProgramAsWhenIdle) {
    struct Case {
        const char* name;
        bool loadedBefore;  // a program is replaced (the close question comes first)
    };
    for (const Case& lc : {Case{"nothing loaded", false}, Case{"replacing a program", true}}) {
        SCOPED_TRACE(lc.name);
        ScratchDataDir caseData;
        ControllerParts c;
        ASSERT_TRUE(c.start());
        if (lc.loadedBefore) {
            ASSERT_EQ(c.frame.openRequest(kSlot), OpenOutcome::Opened);
            c.operatorUi.answers = {OperatorInteraction::Answer::Yes};  // unload the slot
        }
        // Silent from the load descriptor on: the file is read and parsed, the card never answers.
        QObject::connect(&c.document, &CDCSDoc::programParsed, &c.frame,
                         [&] { c.card.server().setSilence(true); });

        EXPECT_NE(c.frame.openRequest(kSquare), OpenOutcome::Opened);
        QCoreApplication::sendPostedEvents();

        // One alarm, nothing after it ("File opened failed!" least of all).
        for (const auto& m : c.operatorUi.messages)
            SCOPED_TRACE(m.text.toStdString());
        ASSERT_EQ(c.operatorUi.messages.size(), 1u) << c.operatorUi.messages.back().text.toStdString();
        EXPECT_EQ(c.operatorUi.messages[0].text, linkLostText(cmdcode::CMD_LOAD_MODEL));
        EXPECT_EQ(c.operatorUi.messages[0].title, c.session.alarmTitle());
        const QStringList log = errorLogLines(caseData);
        ASSERT_EQ(log.size(), 1) << log.join("|").toStdString();
        EXPECT_TRUE(log[0].endsWith(linkLostText(cmdcode::CMD_LOAD_MODEL))) << log[0].toStdString();
        // The program ends: the window is gone, the link closed, and the event loops are left.
        EXPECT_EQ(c.quitStatuses, std::vector<int>{CMainFrame::kLinkLostExitStatus});
        EXPECT_FALSE(c.frame.isVisible());
        EXPECT_FALSE(c.link.isOpen());
        EXPECT_FALSE(c.frame.keepAliveRunning());
        EXPECT_FALSE(c.document.isLoaded());
        // The card keeps its work record for the next start.
        if (!lc.loadedBefore) {
            EXPECT_FALSE(c.link.wasSent("CMD_CLEAR_WORK"));
        }
    }
}

TEST_F(ControllerTest, CancelledLoadSaysNothingAndLeavesNoProgram) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    ASSERT_EQ(c.frame.openRequest(kSlot), OpenOutcome::Opened);
    QObject::connect(&c.document, &CDCSDoc::waitDialogStarted, &c.frame, [](CWaitDialog* dialog) {
        if (dialog->objectName() == QLatin1String("OpendocDialog"))
            dialog->cancel();
    });
    c.operatorUi.answers = {OperatorInteraction::Answer::Yes};  // close the slot first
    EXPECT_NE(c.frame.openRequest(kSquare), OpenOutcome::Opened);
    EXPECT_TRUE(c.operatorUi.messages.empty());
    EXPECT_TRUE(c.document.loadCancelled());
    EXPECT_FALSE(c.document.isLoaded());
    EXPECT_FALSE(c.document.program());
    EXPECT_TRUE(c.frame.windowTitle().contains("-No Title : "));
    EXPECT_TRUE(c.quitStatuses.empty());
}

TEST_F(ControllerTest, PortChosenFromTheListIsOfferedAtTheNextStart) {
    QString firstDevice;
    {
        ControllerParts c;
        firstDevice = c.card.deviceText();
        c.operatorUi.scripts["CommConfig"] = [&](QDialog& dialog) {
            auto& comm = dynamic_cast<CommConfigDialog&>(dialog);
            auto* list = comm.findChild<QComboBox*>();
            const int entry = list ? list->findData(firstDevice) : -1;
            EXPECT_GE(entry, 0);
            list->setCurrentIndex(entry);
            comm.accept();
            return comm.result();
        };
        StartupOptions options;
        options.extraDevices << firstDevice;  // the virtual card is listed
        ASSERT_TRUE(c.start(options));
    }
    {
        ControllerParts c;
        ASSERT_TRUE(c.start());
        EXPECT_EQ(c.offeredPort, firstDevice);
    }
    // A COM port chosen afterwards is offered as such again.
    SettingsFile machine(machineSettingsPath());
    {
        ControllerParts c;
        ASSERT_EQ(machine.writeText("Port", "COM7", c.card.deviceText()), 0);
        c.operatorUi.scripts["CommConfig"] = pressOkWith("COM7");
        ASSERT_TRUE(c.start());
    }
    // Checked before the next start: its virtual card may get another pseudo-terminal, which
    // the default script then names by path and so remembers as the device again.
    EXPECT_FALSE(machine.readText("Port", "Device").has_value());
    ControllerParts c;
    ASSERT_TRUE(c.start());
    EXPECT_EQ(c.offeredPort, "COM7");
}

TEST_F(ControllerTest, ConnectToASilentDeviceShowsTheWindowSaysSoAndNamesThatDevice) {
    ControllerParts c;
    // The device also has a COM number; the operator named the device, and so does the message.
    SettingsFile machine(machineSettingsPath());
    ASSERT_EQ(machine.writeText("Port", "COM1", c.card.deviceText()), 0);
    c.card.server().setSilence(true);
    bool shownWhileConnecting = false;
    QString statusWhileConnecting;
    // The first event loop start-up runs is the one beside the connect.
    QTimer::singleShot(0, &c.frame, [&] {
        shownWhileConnecting = c.frame.isVisible();
        statusWhileConnecting = c.frame.paneText(CMainFrame::kMessagePane);
    });
    StartupOptions options;
    options.connectDevice = c.card.deviceText();
    EXPECT_FALSE(c.start(options));
    EXPECT_TRUE(shownWhileConnecting);
    EXPECT_EQ(statusWhileConnecting, QStringLiteral("Connecting to %1...").arg(c.card.deviceText()));
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    EXPECT_EQ(c.operatorUi.messages[0].text, QStringLiteral("Can't connect to (%1)!").arg(c.card.deviceText()));
    EXPECT_TRUE(c.operatorUi.dialogsRun.empty());
}

}  // namespace
}  // namespace korvex::testing
