#include "controller/machine_session.h"

#include "platform/data_dirs.h"

namespace korvex {

SettingsFile MachineSession::machineSettings() const { return SettingsFile(machineSettingsPath()); }

SettingsFile MachineSession::cardSettings() const { return SettingsFile(cardSettingsPath(cardId)); }

QString MachineSession::windowTitle(const QString& fileTitle) const {
    return qtTrId("korvex.title_format").arg(machineName, fileTitle, portLabel());
}

QString MachineSession::alarmTitle() const {
    return qtTrId("korvex.alarm_title").arg(machineName, portLabel());
}

QString machineNameFromBytes(const char* bytes, int size) {
    int length = 0;
    while (length < size && bytes[length] != '\0')
        ++length;
    // Drop a character the card cut in two: back up over continuation bytes and the lead byte
    // that announced more bytes than remain.
    int end = length;
    int start = end;
    while (start > 0 && (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start > 0) {
        const auto lead = static_cast<unsigned char>(bytes[start - 1]);
        const int need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (need > 1 && end - (start - 1) < need)
            end = start - 1;
    }
    return QString::fromUtf8(bytes, end);
}

void MachineSession::takeMachineName() {
    machineName = machineNameFromBytes(settings.machineName.data(),
                                       static_cast<int>(settings.machineName.size()));
    if (machineName.trimmed().isEmpty())
        machineName = qtTrId("61537");
}

}  // namespace korvex
