// The two settings files (the machine-wide Korvex.ini and the per-card "<id>.ini") are plain INI
// files that an installation on another system could read. They are read again at every use, so
// an edit made while the controller runs takes effect at the next use, and every write replaces
// the whole file atomically (temporary file + rename), so a crash never leaves half a file.
#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace korvex {

// One key's text for SettingsFile::writeValues.
struct SettingsValue {
    QString section;
    QString key;
    QString value;
};

class SettingsFile {
public:
    explicit SettingsFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // Section and key names compare without regard to letter case. A missing file, section or
    // key reads as absent.
    std::optional<QString> readText(const QString& section, const QString& key) const;
    QString readText(const QString& section, const QString& key, const QString& fallback) const;

    // An integer value; text that is not a whole decimal number reads as absent.
    std::optional<int> readInt(const QString& section, const QString& key) const;
    int readInt(const QString& section, const QString& key, int fallback) const;
    // As above, but a value outside [min, max] also counts as absent.
    int readInt(const QString& section, const QString& key, int fallback, int min, int max) const;

    // Each write reads the file, changes one key and replaces the file. Returns 0, or -1 when
    // the file could not be read back or written.
    int writeText(const QString& section, const QString& key, const QString& value);
    int writeInt(const QString& section, const QString& key, int value);
    // Several keys of one section in a single replace of the file: all land or none.
    int writeInts(const QString& section, const std::vector<std::pair<QString, int>>& values);
    // Keys of any sections in a single replace of the file: all land or none.
    int writeValues(const std::vector<SettingsValue>& values);
    // Removes one key; removing an absent key succeeds.
    int removeKey(const QString& section, const QString& key);

private:
    QString path_;
};

}  // namespace korvex
