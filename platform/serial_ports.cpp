#include "platform/serial_ports.h"

#include "platform/settings_file.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace korvex {

namespace {

constexpr char kPortSection[] = "Port";
constexpr int kHighestMappedCom = 256;

QString comKey(int number) { return QStringLiteral("COM%1").arg(number); }

}  // namespace

QString SerialPortChoice::label() const {
    return number > 0 ? comKey(number) : device;
}

std::optional<int> parseComText(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    if (text.mid(i, 3).compare(QLatin1String("COM"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    i += 3;
    int number = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        number = number * 10 + (text[i].unicode() - '0');
        if (number > 1'000'000)  // nonsense, and would overflow soon
            return 0;
        ++i;
    }
    return number;
}

QString deviceForComNumber(int number, const SettingsFile& machineSettings) {
    const QString mapped =
        machineSettings.readText(QLatin1String(kPortSection), comKey(number), QString()).trimmed();
    if (!mapped.isEmpty())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

int comNumberForDevice(const QString& device, const SettingsFile& machineSettings) {
    for (int n = 1; n <= kHighestMappedCom; ++n) {
        const QString mapped =
            machineSettings.readText(QLatin1String(kPortSection), comKey(n), QString()).trimmed();
        if (!mapped.isEmpty() && mapped == device)
            return n;
    }
    static const QString ttyS = QStringLiteral("/dev/ttyS");
    if (device.startsWith(ttyS)) {
        bool ok = false;
        const int k = device.mid(ttyS.size()).toInt(&ok);
        if (ok && k >= 0)
            return k + 1;
    }
    return 0;
}

std::optional<SerialPortChoice> resolvePortText(const QString& text,
                                                const SettingsFile& machineSettings) {
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('/')))
        return SerialPortChoice{trimmed, comNumberForDevice(trimmed, machineSettings)};
    const std::optional<int> number = parseComText(text);
    if (!number)
        return std::nullopt;
    return SerialPortChoice{deviceForComNumber(*number, machineSettings), *number};
}

bool isUsableSerialDevice(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios tio{};
    // Absent legacy UARTs open but fail here with EIO.
    const bool usable = ::tcgetattr(fd, &tio) == 0;
    ::close(fd);
    return usable;
}

QStringList enumerateSerialDevices(const QStringList& extraDevices) {
    QStringList found;
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name :
         dev.entryList({QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                       QDir::System | QDir::Files | QDir::Readable | QDir::Writable)) {
        const QString path = dev.filePath(name);
        if (isUsableSerialDevice(path))
            found << path;
    }
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QString& name : byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString path = byId.filePath(name);
        if (isUsableSerialDevice(path))
            found << path;
    }
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(found.begin(), found.end(), collator);
    for (const QString& extra : extraDevices) {
        if (!extra.isEmpty() && QFileInfo::exists(extra))
            found << extra;
    }
    found.removeDuplicates();
    return found;
}

}  // namespace korvex
