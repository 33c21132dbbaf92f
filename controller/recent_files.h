// The recent-file list of the File menu: at most 4 paths, most recent first, kept in Korvex.ini
// section "Mru File" (FileNum and the keys "1" to "4") and rewritten after every change.
#pragma once

#include <QString>
#include <QStringList>

namespace korvex {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    explicit RecentFiles(QString settingsPath) : settingsPath_(std::move(settingsPath)) {}

    // The list as the file holds it now; a count out of range counts as 0, empty slots and
    // repeated entries are skipped.
    QStringList entries() const;
    // Puts the path at the top; one already listed (compared without regard to letter case)
    // moves there, the fifth falls off. Returns 0 or -1 when the file cannot be written.
    int add(const QString& path);
    int clear();
    // `list` with `path` put at the top as add() puts it.
    static QStringList withPath(QStringList list, const QString& path);
    // Writes the whole list (at most kMaxEntries are kept). Safe from any thread: writes to
    // the settings file are serialised.
    int store(const QStringList& list);

private:
    QString settingsPath_;
};

}  // namespace korvex
