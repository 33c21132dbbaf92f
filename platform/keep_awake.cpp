#include "platform/keep_awake.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

namespace korvex {

int keepSystemAwake() {
    // The inhibitor lasts as long as its descriptor stays open, so it is kept for the process.
    static QDBusUnixFileDescriptor held;
    if (held.isValid())
        return 0;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return -1;
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"),
                           QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), bus);
    if (!manager.isValid())
        return -1;
    QDBusReply<QDBusUnixFileDescriptor> reply =
        manager.call(QStringLiteral("Inhibit"), QStringLiteral("sleep:idle"),
                     QStringLiteral("Korvex"), QStringLiteral("A machining program is loaded"),
                     QStringLiteral("block"));
    if (!reply.isValid())
        return -1;
    held = reply.value();
    return held.isValid() ? 0 : -1;
}

}  // namespace korvex
