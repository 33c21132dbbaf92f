#include "controller/port_connector.h"

#include "controller/card_control.h"
#include "platform/operator_interaction.h"
#include "controller/settings_keys.h"
#include "platform/data_dirs.h"

#include <QEventLoop>

#include <atomic>
#include <system_error>
#include <thread>

namespace korvex {

int connectBesideEventLoop(const std::function<int()>& connect) {
    QEventLoop loop;
    std::atomic<int> result{-1};
    std::thread worker;
    try {
        worker = std::thread([&] {
            result = connect();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return connect();  // no thread to spare: wait here
    }
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return result;
}

void PortConnector::tell(const QString& text) {
    operatorUi_.message(qtTrId("comm.title"), text, OperatorInteraction::Icon::Warning);
}

bool PortConnector::connectTo(const QString& portText, const std::function<void()>& beforeConnect) {
    if (card_.isOpen())
        card_.close();
    SettingsFile machine(machineSettingsPath());
    const std::optional<SerialPortChoice> choice = resolvePortText(portText, machine);
    if (!choice || choice->device.isEmpty()) {
        tell(qtTrId("comm.port_error"));
        return false;
    }
    // Messages name the port as the operator gave it: "COM5" typed is COM5, a device path
    // stays that path even when it also has a COM number.
    const QString shown = parseComText(portText) ? choice->label() : portText.trimmed();
    if (card_.open(choice->device.toStdString()) != 0) {
        tell(qtTrId("comm.cant_open").arg(shown));
        return false;
    }
    // Remembered before the connect, so the next start offers this port even when the card was
    // switched off this time: a COM number as such, any other device by its path.
    if (choice->number > 0) {
        writeKey(machine, keys::kComPort, choice->number);
        machine.removeKey(QLatin1String(keys::kPortSection), QLatin1String(keys::kPortDeviceKey));
    } else {
        machine.writeText(QLatin1String(keys::kPortSection), QLatin1String(keys::kPortDeviceKey), choice->device);
    }
    if (beforeConnect)
        beforeConnect();
    const auto connect = [this] { return card_.connect(); };
    if ((connectRunner_ ? connectRunner_(connect) : connect()) != 0) {
        card_.close();
        tell(qtTrId("comm.cant_connect").arg(shown));
        return false;
    }
    choice_ = *choice;
    return true;
}

void PortConnector::cancel() {
    if (card_.isOpen())
        card_.close();
}

}  // namespace korvex
