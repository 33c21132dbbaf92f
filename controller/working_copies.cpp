#include "controller/working_copies.h"

#include <QDir>
#include <QFile>

namespace korvex {

int pruneWorkingCopies(const QString& directory, const QString& current, int keep) {
    const QFileInfoList files =
        QDir(directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Time);
    int others = 0;
    int removed = 0;
    for (const QFileInfo& file : files) {  // newest first
        if (file.fileName() == current || ++others < keep)
            continue;
        if (QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

}  // namespace korvex
