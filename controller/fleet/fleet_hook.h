// Where the running machine meets the shop-floor publisher: reads the [Fleet] settings, watches
// what the window already shows (status texts, polled positions, used time, run state, pulse
// group switches) and hands each change to the publisher, which sends it from its own thread.
// A status-bar pane says whether the broker is reached; a broker problem never opens a box.
//
// Read-only: nothing is subscribed, no message from the broker can move or switch the machine.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

#include "controller/fleet/fleet_publisher.h"

class QLabel;
class QTranslator;

namespace korvex {

class CMainFrame;
class CardEventRouter;
class MachineControl;
class MachineSession;
class SettingsFile;

// The publisher's settings from Korvex.ini [Fleet], with --fleet's address over Broker, Port and
// Tls. nullopt when no broker is set (the publisher stays off) or, with *error set, when the
// settings cannot work.
std::optional<fleet::FleetPublisherConfig> fleetConfigFrom(const SettingsFile& machineSettings,
                                                          const QString& urlOverride,
                                                          uint32_t cardId, QString* error);

// Which shop-floor event a status text of the machining is, if any. `previous` is the status
// text shown before (cutting after backing is a recovery from a short circuit).
std::optional<fleet::FleetEventKind> fleetEventForText(const QString& textId, const QString& previous);

class FleetHook : public QObject {
    Q_OBJECT
public:
    FleetHook(MachineSession& session, CMainFrame& frame, MachineControl& control, CardEventRouter& events);
    ~FleetHook() override;

    // Starts publishing when a broker is set; false (and a line on stderr) when the settings
    // cannot work. Nothing happens on screen beyond the pane.
    bool start(const QString& urlOverride);
    bool running() const { return publisher_ != nullptr; }
    fleet::FleetPublisher* publisher() const { return publisher_.get(); }
    // The pane's text (tests).
    QString paneText() const;
    // The English text of a string-table id (the shop floor reads English whatever the
    // operator's language).
    QString englishText(const QString& textId) const;

private:
    void chainHooks();
    void showLink(fleet::FleetLink link);
    void statusText(const char* textId);
    void publishState(bool runStateChanged);

    MachineSession& session_;
    CMainFrame& frame_;
    MachineControl& control_;
    CardEventRouter& events_;
    std::unique_ptr<fleet::FleetPublisher> publisher_;
    QPointer<QLabel> pane_;
    std::vector<QTranslator*> english_;
    fleet::FleetState state_;
    QString lastTextId_;
    int lastRunState_ = -1;
    int lastSubState_ = -1;
};

}  // namespace korvex
