#include "platform/data_dirs.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace korvex {

namespace {
constexpr char kDataDirName[] = "Korvex-Z Files";

// $HOME, else the account's entry in the password database (a service started without HOME).
QString homeDirectory() {
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return QFile::decodeName(found->pw_dir);
    return {};
}
}  // namespace

QString dataDirectory() {
    const QString overridden = qEnvironmentVariable("KORVEX_DATA_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative XDG path is invalid by the base-directory rules and must be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QLatin1Char('/') + QLatin1String(kDataDirName));
}

QString temporaryDirectory() { return dataDirectory() + QStringLiteral("/Tmp"); }

QString parameterDirectory() { return dataDirectory() + QStringLiteral("/Param"); }

QString logDirectory() {
    const QString overridden = qEnvironmentVariable("KORVEX_DATA_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden + QStringLiteral("/log"));
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) {
        const QString home = homeDirectory();
        if (home.isEmpty())
            return {};
        state = home + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(state + QLatin1Char('/') + QLatin1String(kDataDirName) + QStringLiteral("/log"));
}

QString machineSettingsPath() { return dataDirectory() + QStringLiteral("/Korvex.ini"); }

QString cardIdText(std::uint32_t cardId) {
    return QStringLiteral("%1").arg(cardId, 8, 16, QLatin1Char('0'));
}

QString cardSettingsPath(std::uint32_t cardId) {
    return dataDirectory() + QLatin1Char('/') + cardIdText(cardId) + QStringLiteral(".ini");
}

int createDataDirectories() {
    for (const QString& dir : {dataDirectory(), temporaryDirectory(), parameterDirectory()}) {
        if (!QDir().mkpath(dir))
            return -1;
    }
    return 0;
}

void keepQtSettingsInDataDirectory() {
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, dataDirectory());
}

}  // namespace korvex
