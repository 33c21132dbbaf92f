// The controller's command line: korvex [--lang en|zh] [--port DEVICE | --connect DEVICE] [FILE]
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/string_table.h"

namespace korvex {

struct CommandLine {
    std::optional<Language> language;  // none: from the locale
    QString portDevice;
    QString connectDevice;
    QString programPath;
    QString error;  // set when the line could not be understood
};

// `arguments` as QCoreApplication::arguments() gives them, the program name first.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace korvex
