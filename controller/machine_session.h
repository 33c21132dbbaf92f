// What start-up learns about the machine and keeps for the whole run: the port the card is on,
// the card's identity (which names its settings file), its settings block and machine name.
// One instance, owned by the application, filled by start-up and read everywhere else.
#pragma once

#include <QString>

#include <cstdint>

#include "controller/link/records.h"
#include "platform/serial_ports.h"
#include "platform/settings_file.h"

namespace korvex {

// The card's name is kept in 32 bytes.
inline constexpr int kMaxMachineNameBytes = 32;

class MachineSession {
public:
    SerialPortChoice port;
    uint32_t cardId = 0;
    bool cardKnown = false;
    SettingsBlock settings;
    // The card's machine name, or the string-table text "Noname" when the card has none.
    QString machineName;

    // Korvex.ini, read and written at each use.
    SettingsFile machineSettings() const;
    // The card's own "<id>.ini"; only meaningful once the card identity is known.
    SettingsFile cardSettings() const;

    // "<port label>", the "COM%d" of titles and alarm boxes.
    QString portLabel() const { return port.label(); }
    // The main window caption: "<machine>-<file title> : <port>".
    QString windowTitle(const QString& fileTitle) const;
    // The title of every alarm box: "【<machine>-<port>】".
    QString alarmTitle() const;

    // Takes the machine name from the settings block: text up to the first zero byte, cut back
    // to a whole UTF-8 character, "Noname" when empty.
    void takeMachineName();
};

// The longest prefix of `bytes` that holds whole UTF-8 characters, stopping at a zero byte.
QString machineNameFromBytes(const char* bytes, int size);

}  // namespace korvex
