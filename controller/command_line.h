// The controller's command line:
//   korvex [--lang en|zh] [--port DEVICE | --connect DEVICE]
//          [--start simulate|walk|cut[=FIRST:LAST]] [--modem DEVICE] [--fleet URL] [FILE]
//   korvex --help | --version        (answered on standard output, no display needed)
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

#include <korvex_version.h>

#include "platform/string_table.h"

namespace korvex {

// --start: the operation pressed once start-up has loaded the program, and the segment range
// the range dialog is answered with (none: the whole program).
struct StartRequest {
    enum class Kind { Simulate, Walk, Cut };
    Kind kind = Kind::Simulate;
    std::optional<std::pair<int, int>> range;
};

// The value of --start; nothing when it is not one.
std::optional<StartRequest> parseStartRequest(const QString& value);

struct CommandLine {
    std::optional<Language> language;  // none: from the locale
    QString portDevice;
    QString connectDevice;
    QString modemDevice;  // --modem: the GSM modem opened at the end of start-up
    QString fleetUrl;     // --fleet: mqtt[s]://host[:port], over Korvex.ini [Fleet] Broker and Port
    QString programPath;
    std::optional<StartRequest> start;
    QString error;  // set when the line could not be understood
    bool showHelp = false;
    bool showVersion = false;
    QString helpText;
};

// The two values of the About box's "Korvex V%s (%s)": "6.5" and "6.5.0.1", from the build's
// one version.
inline constexpr auto& kVersion = kProductShortVersion;
inline constexpr auto& kBuildVersion = kProductVersion;

// `arguments` as QCoreApplication::arguments() gives them, the program name first.
CommandLine parseCommandLine(const QStringList& arguments);

// The text --help or --version asks for; nothing when neither is on the line (or when the line
// holds an error, which the normal start reports). --version begins with `versionLine`, by
// default "korvex <version>"; the program passes the one with its Git revision.
std::optional<QString> infoText(const QStringList& arguments, const QString& versionLine = {});

// Answers --help and --version before any window system is touched: prints the text and
// returns the exit status 0. Nothing when the program is to start normally.
std::optional<int> answerInfoOptions(int& argc, char** argv, const QString& versionLine = {});

}  // namespace korvex
