// Serial device naming. The operator knows the card's port as "COMn": "COMn" names the device
// given by key "COMn" of section "Port" in Korvex.ini (for example COM5=/dev/ttyUSB0), else
// /dev/ttyS<n-1>. A device path ("/dev/...") may also be given directly.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace korvex {

class SettingsFile;

// A port the operator chose: the device to open and the COM number it is known by (0 when the
// device has none, for example a pseudo-terminal of the virtual card).
struct SerialPortChoice {
    QString device;
    int number = 0;

    // "COM3", or the device path when it has no COM number.
    QString label() const;
};

// Reads "COMx" the way the port dialog does: leading blanks are skipped, the first three
// characters must be "COM" in any letter case, the number is the run of digits after them (0
// when there is none). Nothing when the text does not start with "COM".
std::optional<int> parseComText(const QString& text);

// The device that "COM<number>" names.
QString deviceForComNumber(int number, const SettingsFile& machineSettings);
// The COM number a device is known by (a "Port" mapping, or /dev/ttyS<k> as k+1); 0 if none.
int comNumberForDevice(const QString& device, const SettingsFile& machineSettings);

// The operator's text, "COMx" or a device path. Nothing when it is neither.
std::optional<SerialPortChoice> resolvePortText(const QString& text,
                                                const SettingsFile& machineSettings);

// The serial devices worth offering: /dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM* and
// /dev/serial/by-id/* that open as terminals, then the extra devices given (the virtual card's
// link) that exist. Sorted naturally (ttyS2 before ttyS10), no duplicates.
QStringList enumerateSerialDevices(const QStringList& extraDevices = {});

// True when the path opens as a terminal device (a port that exists, not just a device node).
bool isUsableSerialDevice(const QString& path);

}  // namespace korvex
