// The controller's side of the GSM modem notifier: opens the modem the operator chose, reads the
// notice settings from the card's settings file at every notice, and queues the notices of the
// card events. The modem itself is the worker's (controller/modem/); nothing here waits for it
// on the user-interface thread.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "controller/modem/notifier.h"

namespace korvex {

class MachineSession;

class MobileNotice : public QObject {
    Q_OBJECT
public:
    // The service centre proposed when neither the card's settings nor Korvex.ini name one.
    static constexpr char kDefaultSmsc[] = "+8613800100500";
    // The port the SMS Config dialog proposes before any modem was opened.
    static constexpr char kDefaultPort[] = "COM3";

    explicit MobileNotice(MachineSession& session, modem::ModemTiming timing = {}, QObject* parent = nullptr);
    ~MobileNotice() override;

    // Opens the modem on "COMx" or a device path and runs the handshake on a thread of its own
    // while this thread's events go on (the dialog stays drawn). Opened: notices are sent from
    // now on, until close().
    modem::OpenResult open(const QString& portText);
    // "Comm open failed!" or "Not found the GSM modem!"; empty for Opened.
    static QString messageFor(modem::OpenResult result);
    bool enabled() const { return notifier_ && notifier_->running(); }
    // The port last opened (or tried); empty before.
    QString portText() const { return portText_; }

    // Queues the notice with the text of that id in the interface language; nothing when the
    // modem was not opened. Refusals are the notifier's to log.
    void notify(const char* textId);
    // A notice waits or is under way.
    bool pending() const { return enabled() && notifier_->pending(); }
    // Stops the worker and closes the port (the worker's waits end on stop, so this is quick).
    void close();

    // The card's Work/SMSC, NoticeType and NoticeNumber as they are now.
    modem::NoticeSettings storedSettings() const;
    // Work/SMSC, else Korvex.ini [Option] DefaultSMSC, else kDefaultSmsc.
    QString proposedSmsc() const;

    // Every outcome, on the user-interface thread (tests and the benchmark watch them).
    void setOutcomeSink(std::function<void(const modem::NoticeOutcome&)> sink) { sink_ = std::move(sink); }

private:
    MachineSession& session_;
    const modem::ModemTiming timing_;
    std::unique_ptr<modem::Notifier> notifier_;
    QString portText_;
    std::function<void(const modem::NoticeOutcome&)> sink_;
};

}  // namespace korvex
