#include "platform/settings_file.h"

#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <mutex>

namespace korvex {

namespace {

// Writes are serialised so that two read-modify-write cycles never lose each other's key:
// within the process by a mutex, and between processes (two controllers driving two cards
// share Korvex.ini) by an advisory lock on the file's directory. The directory is locked, not
// the file, because every write replaces the file.
std::mutex& writeMutex() {
    static std::mutex mutex;
    return mutex;
}

class WriteLock {
public:
    explicit WriteLock(const QString& path) : guard_(writeMutex()) {
        const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
        fd_ = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0)
            ::flock(fd_, LOCK_EX);  // a missing directory fails the write itself later
    }
    ~WriteLock() {
        if (fd_ >= 0)
            ::close(fd_);  // releases the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    std::lock_guard<std::mutex> guard_;
    int fd_ = -1;
};

// Loads the file into `ini`. A missing file is an empty file; returns false only when an
// existing file cannot be read.
bool load(const QString& path, CSimpleIniA& ini) {
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    return ini.LoadData(data.constData(), static_cast<size_t>(data.size())) >= 0;
}

int save(const QString& path, const CSimpleIniA& ini) {
    std::string text;
    if (ini.Save(text) < 0)
        return -1;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return -1;
    }
    return file.commit() ? 0 : -1;
}

}  // namespace

std::optional<QString> SettingsFile::readText(const QString& section, const QString& key) const {
    CSimpleIniA ini(true);
    if (!load(path_, ini))
        return std::nullopt;
    const QByteArray s = section.toUtf8();
    const QByteArray k = key.toUtf8();
    const char* value = ini.GetValue(s.constData(), k.constData(), nullptr);
    if (!value)
        return std::nullopt;
    return QString::fromUtf8(value);
}

QString SettingsFile::readText(const QString& section, const QString& key,
                               const QString& fallback) const {
    return readText(section, key).value_or(fallback);
}

std::optional<int> SettingsFile::readInt(const QString& section, const QString& key) const {
    const std::optional<QString> text = readText(section, key);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

int SettingsFile::readInt(const QString& section, const QString& key, int fallback) const {
    return readInt(section, key).value_or(fallback);
}

int SettingsFile::readInt(const QString& section, const QString& key, int fallback, int min,
                          int max) const {
    const std::optional<int> value = readInt(section, key);
    if (!value || *value < min || *value > max)
        return fallback;
    return *value;
}

int SettingsFile::writeText(const QString& section, const QString& key, const QString& value) {
    WriteLock lock(path_);
    CSimpleIniA ini(true);
    if (!load(path_, ini))
        return -1;
    const QByteArray s = section.toUtf8();
    const QByteArray k = key.toUtf8();
    const QByteArray v = value.toUtf8();
    if (ini.SetValue(s.constData(), k.constData(), v.constData()) < 0)
        return -1;
    return save(path_, ini);
}

int SettingsFile::writeInt(const QString& section, const QString& key, int value) {
    return writeText(section, key, QString::number(value));
}

int SettingsFile::writeInts(const QString& section, const std::vector<std::pair<QString, int>>& values) {
    WriteLock lock(path_);
    CSimpleIniA ini(true);
    if (!load(path_, ini))
        return -1;
    const QByteArray s = section.toUtf8();
    for (const auto& [key, value] : values) {
        const QByteArray k = key.toUtf8();
        const QByteArray v = QByteArray::number(value);
        if (ini.SetValue(s.constData(), k.constData(), v.constData()) < 0)
            return -1;
    }
    return save(path_, ini);
}

int SettingsFile::writeValues(const std::vector<SettingsValue>& values) {
    WriteLock lock(path_);
    CSimpleIniA ini(true);
    if (!load(path_, ini))
        return -1;
    for (const SettingsValue& v : values) {
        const QByteArray s = v.section.toUtf8();
        const QByteArray k = v.key.toUtf8();
        const QByteArray text = v.value.toUtf8();
        if (ini.SetValue(s.constData(), k.constData(), text.constData()) < 0)
            return -1;
    }
    return save(path_, ini);
}

int SettingsFile::removeKey(const QString& section, const QString& key) {
    WriteLock lock(path_);
    CSimpleIniA ini(true);
    if (!load(path_, ini))
        return -1;
    const QByteArray s = section.toUtf8();
    const QByteArray k = key.toUtf8();
    if (!ini.Delete(s.constData(), k.constData()))
        return 0;
    return save(path_, ini);
}

}  // namespace korvex
