#include "platform/version_report.h"

#include "platform/string_table.h"

namespace korvex {

QString versionReport(const char* program, const char* version) {
    const QString directory = translationDirectory();
    const QString where = directory.startsWith(QLatin1Char(':'))
                              ? QStringLiteral("embedded (%1)").arg(directory)
                              : directory;
    QString report = QString::fromStdString(versionLine(program, version)) + QLatin1Char('\n');
    // A program with a version of its own also names the package it came with.
    if (QLatin1String(version) != QLatin1String(kProductVersion))
        report += QStringLiteral("package: korvex %1\n").arg(QLatin1String(kProductVersion));
    return report + QStringLiteral("translations: ") + where + QLatin1Char('\n');
}

}  // namespace korvex
