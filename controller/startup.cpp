#include "controller/startup.h"

#include "controller/card_control.h"
#include "controller/card_events.h"
#include "controller/comm_config_dialog.h"
#include "controller/document/dcs_doc.h"
#include "controller/main_frame.h"
#include "controller/machine_session.h"
#include "platform/operator_interaction.h"
#include "controller/port_connector.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"
#include "controller/status_panel_control.h"
#include "controller/tips_dialog.h"
#include "controller/views/button_view.h"
#include "controller/views/graph_view.h"
#include "controller/views/status_view.h"
#include "controller/recovery_wiring.h"
#include "controller/work_recovery.h"
#include "platform/data_dirs.h"
#include "platform/keep_awake.h"
#include "platform/settings_file.h"

#include <QCoreApplication>
#include <QScreen>

namespace korvex {

int windowsVersionClass(bool versionKnown, bool ntFamily, int major, int minor) {
    if (!versionKnown)
        return -1;
    if (!ntFamily)
        return 0;
    if (major <= 4)
        return 1;
    if (major == 5 && minor == 0)
        return 2;
    if (major == 5 && minor == 1)
        return 3;
    if (major == 6 && minor == 1)
        return 4;
    return 0;
}

bool platformVersionAccepted() { return true; }

QString linkLostText(int command) {
    return qtTrId("startup.link_lost").arg(command, 2, 16, QLatin1Char('0'));
}

bool Startup::fail(CMainFrame& frame, const QString& text) {
    if (!text.isEmpty()) {
        // Before the card has named itself there is no machine name for the alarm title.
        const QString title =
            session_.machineName.isEmpty() ? QCoreApplication::applicationName() : session_.alarmTitle();
        operatorUi_.message(title, text, OperatorInteraction::Icon::Critical);
    }
    frame.destroyMiniStatusWindow();
    card_.close();  // the hook can only be removed once the reader has stopped
    card_.setEventHook({});
    return false;
}

bool Startup::failLinkLost(CMainFrame& frame, uint8_t command) {
    const QString text = linkLostText(command);
    card_.logError(text);
    return fail(frame, text);
}

bool Startup::openPort(CMainFrame& frame, const StartupOptions& options) {
    PortConnector connector(card_, operatorUi_);
    connector.setConnectRunner(connectBesideEventLoop);
    if (!options.connectDevice.isEmpty()) {
        // The window is up already; the link's attempts on a silent device take a while.
        frame.setMessage(qtTrId("startup.connecting").arg(options.connectDevice.trimmed()));
        const bool connected = connector.connectTo(options.connectDevice);
        frame.setMessage(qtTrId("status.ready"));
        if (!connected)
            return false;
    } else {
        const SettingsFile machine(machineSettingsPath());
        const QString remembered = machine.readText(QLatin1String(keys::kPortSection),
                                                    QLatin1String(keys::kPortDeviceKey), QString()).trimmed();
        const QString initial = !options.portDevice.isEmpty() ? options.portDevice
                                : !remembered.isEmpty()       ? remembered
                                    : QStringLiteral("COM%1").arg(readKey(machine, keys::kComPort));
        QStringList extra = options.extraDevices;
        if (!options.portDevice.isEmpty())
            extra << options.portDevice;
        CommConfigDialog dialog(connector, initial, extra, &frame);
        if (operatorUi_.exec(dialog, QLatin1String(CommConfigDialog::kObjectName)) != QDialog::Accepted) {
            connector.cancel();
            return false;
        }
        if (!card_.isOpen())  // a scripted operator may accept without pressing OK
            return false;
    }
    session_.port = connector.choice();
    return true;
}

bool Startup::run(CMainFrame& frame, const StartupOptions& options) {
    if (options.showMaximized) {
        // Without a window manager (kiosk set-ups) maximising does nothing; the size is set too.
        if (const QScreen* screen = frame.screen())
            frame.setGeometry(screen->availableGeometry());
        frame.showMaximized();
    }
    else
        frame.show();
    keepSystemAwake();
    if (!platformVersionAccepted())
        return fail(frame, qtTrId("61643"));
    if (createDataDirectories() != 0)
        return fail(frame, qtTrId("startup.data_dir_failed").arg(dataDirectory()));

    // From here card events reach the window, but only once start-up's own dialogs are over.
    events_.hold();
    card_.setEventHook(events_.hook());

    if (!openPort(frame, options))
        return fail(frame, QString());

    uint32_t id = 0;
    if (card_.getCardId(id) != 0)
        return fail(frame, qtTrId("startup.no_card_id"));
    session_.cardId = id;
    session_.cardKnown = true;
    SettingsFile cardIni = session_.cardSettings();

    DocumentEnvironment environment;
    environment.operatorUi = &operatorUi_;
    environment.card = &card_;
    environment.dialogParent = &frame;
    environment.machineSettingsPath = machineSettingsPath();
    environment.cardSettingsPath = cardIni.path();
    environment.temporaryDirectory = temporaryDirectory();
    // The router outlives start-up; this object does not.
    environment.ending = [&events = events_] { return events.linkFailureReported(); };
    document_.setEnvironment(std::move(environment));

    if (card_.getSettings(session_.settings) != 0)
        return failLinkLost(frame, cmdcode::CMD_GET_SETTINGS);

    // The name ("Noname" when the card has none) titles every alarm box from here on.
    session_.takeMachineName();

    frame.createMiniStatusWindow();

    if (pulseTable_.read(pulseTablePath(), session_.settings.trackMode) != 0)
        return fail(frame, qtTrId("61656"));

    const int defaultIndex = readKey(cardIni, keys::kDefaultIndex);
    if (card_.setPulseGroup(encodePulseGroup(pulseTable_.group(defaultIndex))) != 0)
        return failLinkLost(frame, cmdcode::CMD_SET_PULSE_GROUP);
    frame.graphView()->update();

    // Switch type and time are read again by the group-switch event when it comes; only the
    // flag goes to the card now.
    const int switchWithoutVf = readKey(cardIni, keys::kSwitchWithoutVf);
    if (card_.setSwitchWithoutVf(static_cast<uint8_t>(switchWithoutVf & 0xFF)) != 0)
        return failLinkLost(frame, cmdcode::CMD_SET_SWITCH_WITHOUT_VF);

    document_.setCardIdentity(session_.machineName, session_.portLabel());
    frame.updateTitle();

    if (readKey(cardIni, keys::kSettingNotice) == 1) {
        TipsDialog tips(&frame);
        operatorUi_.exec(tips, QLatin1String(TipsDialog::kObjectName));
        if (tips.dontShowAgain())
            writeKey(cardIni, keys::kSettingNotice, 0);
    }

    frame.showCardSettings();
    frame.buttonView()->refresh();

    // A card a killed controller left running moves on from the point its record holds: it is
    // stopped before the record is read. A card without a saved work may refuse the read; only
    // a silent card ends start-up.
    WorkRecovery::stopStaleWork(card_);
    if (events_.takeLinkFailure())
        return failLinkLost(frame, cmdcode::CMD_GET_RUN_STATE);
    WorkRecord record;
    if (card_.getWorkRecord(record) == 0 && recovery_.takeSavedWork(record)) {
        recovery_.run(recoveryContext(frame, cardIni.path()));
        if (events_.takeLinkFailure())
            return failLinkLost(frame, cmdcode::CMD_LOAD_MODEL);
    }
    if (events_.takeLinkFailure())
        return failLinkLost(frame, cmdcode::CMD_GET_WORK_RECORD);

    // The feed of the last session goes to the card; a refusal is not fatal.
    frame.statusPanel().feed().setTrackingMode(session_.settings.trackMode);
    frame.statusPanel().feed().setFeed(readKey(cardIni, keys::kFreq));
    if (events_.takeLinkFailure())
        return failLinkLost(frame, cmdcode::CMD_SET_FEED);

    frame.activateWindow();
    frame.startKeepAlive();

    // A restored work stays loaded: a program named on the command line would replace it.
    if (!options.programPath.isEmpty() && !document_.recoveryMark())
        frame.openRequest(options.programPath);  // a failure has shown its message
    if (events_.takeLinkFailure())
        return failLinkLost(frame, cmdcode::CMD_LOAD_MODEL);

    // What the card reported so far belongs to the run before this one.
    events_.discardHeld();
    events_.release();
    return true;
}

RecoveryContext Startup::recoveryContext(CMainFrame& frame, const QString& cardSettingsPath) {
    RecoveryContext c;
    c.operatorUi = &operatorUi_;
    c.card = &card_;
    c.document = &document_;
    c.dialogParent = &frame;
    c.cardSettingsPath = cardSettingsPath;
    c.temporaryDirectory = temporaryDirectory();
    c.messageTitle = session_.alarmTitle();
    c.views = recoveryViewsOf(frame);
    c.preworkStarted = preworkStarted;
    return c;
}

}  // namespace korvex
