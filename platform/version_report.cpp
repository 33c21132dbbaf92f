#include "platform/version_report.h"

#include "platform/string_table.h"

namespace korvex {

QString versionReport(const QString& versionLines) {
    const QString directory = translationDirectory();
    const QString where = directory.startsWith(QLatin1Char(':'))
                              ? QStringLiteral("embedded (%1)").arg(directory)
                              : directory;
    return versionLines + QStringLiteral("\ntranslations: ") + where + QLatin1Char('\n');
}

}  // namespace korvex
