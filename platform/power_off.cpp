#include "platform/power_off.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QProcess>

namespace korvex {

int powerOffMachine(QString* why) {
    const QString command = qEnvironmentVariable(kPowerOffCommandVariable);
    if (!command.isEmpty()) {
        if (QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}))
            return 0;
        if (why)
            *why = QStringLiteral("the power-off command could not be started");
        return -1;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        if (why)
            *why = QStringLiteral("no system bus");
        return -1;
    }
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), bus);
    if (!manager.isValid()) {
        if (why)
            *why = QStringLiteral("no login manager");
        return -1;
    }
    manager.setTimeout(kPowerOffCallTimeoutMs);
    // Not interactive: nobody is there to type a password after an unattended cut.
    const QDBusMessage reply = manager.call(QStringLiteral("PowerOff"), false);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (why)
            *why = reply.errorMessage();
        return -1;
    }
    return 0;
}

}  // namespace korvex
