#include "controller/notify/mobile_notice.h"

#include <QEventLoop>
#include <QMetaObject>

#include <system_error>
#include <thread>

#include "controller/machine_session.h"
#include "controller/modem/sms_log.h"
#include "controller/settings_keys.h"
#include "platform/data_dirs.h"
#include "platform/serial_ports.h"

namespace korvex {

MobileNotice::MobileNotice(MachineSession& session, modem::ModemTiming timing, QObject* parent)
    : QObject(parent), session_(session), timing_(timing) {}

MobileNotice::~MobileNotice() { close(); }

modem::OpenResult MobileNotice::open(const QString& portText) {
    close();
    portText_ = portText.trimmed();
    const std::optional<SerialPortChoice> port = resolvePortText(portText_, session_.machineSettings());
    if (!port)
        return modem::OpenResult::OpenFailed;
    const std::string logPath = session_.cardKnown
                                    ? modem::smsLogPath(logDirectory().toStdString(), session_.cardId)
                                    : std::string();
    notifier_ = std::make_unique<modem::Notifier>(timing_, logPath);
    notifier_->setOutcomeSink([this](const modem::NoticeOutcome& outcome) {
        QMetaObject::invokeMethod(this, [this, outcome] {
            if (sink_)
                sink_(outcome);
        }, Qt::QueuedConnection);
    });
    // The handshake takes up to three read time-outs; the window keeps drawing meanwhile.
    modem::OpenResult result = modem::OpenResult::OpenFailed;
    QEventLoop loop;
    const std::string device = port->device.toStdString();
    try {
        std::thread opener([&] {
            result = notifier_->open(device);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        opener.join();
    } catch (const std::system_error&) {
        result = notifier_->open(device);  // no thread to spare: opened here
    }
    return result;
}

QString MobileNotice::messageFor(modem::OpenResult result) {
    switch (result) {
    case modem::OpenResult::Opened: return {};
    case modem::OpenResult::OpenFailed: return qtTrId("notify.comm_open_failed");
    case modem::OpenResult::NotFound: return qtTrId("notify.modem_not_found");
    }
    return {};
}

void MobileNotice::notify(const char* textId) {
    if (!enabled())
        return;
    const QByteArray text = qtTrId(textId).toUtf8();
    const QByteArray machine = session_.machineName.toUtf8();
    notifier_->notify(storedSettings(), std::string_view(machine.constData(), static_cast<std::size_t>(machine.size())),
                      std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

void MobileNotice::close() {
    if (notifier_)
        notifier_->close();
}

modem::NoticeSettings MobileNotice::storedSettings() const {
    const SettingsFile card = session_.cardSettings();
    modem::NoticeSettings s;
    s.smsc = card.readText(QLatin1String(keys::kWorkSection), QLatin1String(keys::kSmscKey), QString()).toStdString();
    s.noticeType = readKey(card, keys::kNoticeType);
    s.number = card.readText(QLatin1String(keys::kWorkSection), QLatin1String(keys::kNoticeNumberKey), QString())
                   .toStdString();
    return s;
}

QString MobileNotice::proposedSmsc() const {
    const QString stored =
        session_.cardSettings().readText(QLatin1String(keys::kWorkSection), QLatin1String(keys::kSmscKey), QString());
    if (!stored.trimmed().isEmpty())
        return stored.trimmed();
    const QString fallback = session_.machineSettings().readText(
        QLatin1String(keys::kOptionSection), QLatin1String(keys::kDefaultSmscKey), QString::fromLatin1(kDefaultSmsc));
    return fallback.trimmed().isEmpty() ? QString::fromLatin1(kDefaultSmsc) : fallback.trimmed();
}

}  // namespace korvex
