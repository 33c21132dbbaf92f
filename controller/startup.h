// The start-up of the controller, from the shown main window to the first idle moment:
//
//   window shown maximised, drops accepted -> keep-awake -> version gate -> data directories,
//   recent files -> event hook registered (events held) -> "Comm Config" (or --connect) ->
//   card identity, per-card settings file -> settings block -> mini status window (hidden) ->
//   pulse table from dao.tbl -> default group and switch flag sent -> machine name -> title ->
//   Tips -> Max Speed and Phase panes -> work record (a restorable one goes to the recovery) ->
//   configuration byte and Freq to the status panel -> keep-alive -> the program named on the
//   command line, opened like File Open -> held events released.
//
// Any step that fails ends start-up (the caller ends the process). A program named on the
// command line is opened only once the card is connected; if it fails to load, its message is
// shown and the controller carries on with no program.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "controller/work_recovery.h"

namespace korvex {

class CardControl;
class CardEventRouter;
class CDCSDoc;
class CMainFrame;
class MachineSession;
class OperatorInteraction;
class PulseTable;

struct StartupOptions {
    QString portDevice;     // --port: offered first by the port dialog
    QString connectDevice;  // --connect: no dialog, as if OK was pressed with this port
    QString programPath;    // a file named on the command line
    QStringList extraDevices;  // offered in the port list besides the serial ports found
    bool showMaximized = true;
};

// The Windows version classes the original gate knew: 0 not NT, 1 NT 4 or older, 2 NT 5.0,
// 3 NT 5.1, 4 NT 6.1, 0 any other NT version, -1 when the version cannot be read. Classes below
// 2 are refused.
int windowsVersionClass(bool versionKnown, bool ntFamily, int major, int minor);
// The gate of this platform: Linux always passes.
bool platformVersionAccepted();
// The message of a card that stopped answering `command` (its code in hexadecimal).
QString linkLostText(int command);

class Startup {
public:
    Startup(MachineSession& session, CardControl& card, OperatorInteraction& operatorUi,
            CardEventRouter& events, PulseTable& pulseTable, WorkRecovery& recovery,
            CDCSDoc& document)
        : session_(session), card_(card), operatorUi_(operatorUi), events_(events),
          pulseTable_(pulseTable), recovery_(recovery), document_(document) {}

    // Runs every step in order. Returns true when the controller is up.
    bool run(CMainFrame& frame, const StartupOptions& options);
    // Called once the recovery's prework dialog runs (tests cancel it from here).
    std::function<void(CWaitDialog&)> preworkStarted;

private:
    bool openPort(CMainFrame& frame, const StartupOptions& options);
    bool fail(CMainFrame& frame, const QString& text);
    RecoveryContext recoveryContext(CMainFrame& frame, const QString& cardSettingsPath);
    // A card that stopped answering `command`: the log line and the one alarm, then the end.
    bool failLinkLost(CMainFrame& frame, uint8_t command);

    MachineSession& session_;
    CardControl& card_;
    OperatorInteraction& operatorUi_;
    CardEventRouter& events_;
    PulseTable& pulseTable_;
    WorkRecovery& recovery_;
    CDCSDoc& document_;
};

}  // namespace korvex
