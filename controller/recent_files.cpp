#include "controller/recent_files.h"

#include "controller/settings_keys.h"

namespace korvex {

QStringList RecentFiles::entries() const {
    const SettingsFile ini(settingsPath_);
    const int count = readKey(ini, keys::kRecentCount);
    QStringList list;
    for (int i = 1; i <= count; ++i) {
        const QString path = ini.readText(QLatin1String(keys::kRecentSection), QString::number(i), QString());
        if (!path.isEmpty() && !list.contains(path, Qt::CaseInsensitive))
            list << path;
    }
    return list;
}

QStringList RecentFiles::withPath(QStringList list, const QString& path) {
    list.removeIf([&](const QString& p) { return p.compare(path, Qt::CaseInsensitive) == 0; });
    list.prepend(path);
    while (list.size() > kMaxEntries)
        list.removeLast();
    return list;
}

int RecentFiles::add(const QString& path) { return store(withPath(entries(), path)); }

int RecentFiles::clear() { return store({}); }

int RecentFiles::store(const QStringList& given) {
    const QStringList list = given.mid(0, kMaxEntries);
    SettingsFile ini(settingsPath_);
    const QString section = QLatin1String(keys::kRecentSection);
    int result = 0;
    for (int i = 1; i <= kMaxEntries; ++i) {
        const int r = i <= list.size() ? ini.writeText(section, QString::number(i), list[i - 1])
                                       : ini.removeKey(section, QString::number(i));
        result = r != 0 ? r : result;
    }
    const int r = writeKey(ini, keys::kRecentCount, static_cast<int>(list.size()));
    return r != 0 ? r : result;
}

}  // namespace korvex
