// kvfleet's command line and settings:
//   kvfleet [--broker mqtt[s]://host[:port]] [--topic PREFIX] [--user U --password-file F]
//           [--ca-file F] [--lang en|zh] [--once --json]
//   kvfleet --help | --version        (answered on standard output, no display needed)
// What the line leaves out comes from section [Fleet] of the data directory's Korvex.ini, the
// same keys the controller's publisher reads: Broker (host), Port, Tls (0/1), CaFile, User,
// PasswordFile, Topic.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

#include "fleet/common/fleet_messages.h"
#include "platform/string_table.h"

namespace korvex::fleet {

struct ViewerOptions {
    std::optional<BrokerAddress> broker;  // none: nothing configured
    std::string topicPrefix{kDefaultTopicPrefix};
    std::string user;
    std::string passwordFile;
    std::string caFile;
    std::optional<Language> language;  // none: from the locale
    bool once = false;                 // --once --json: print the table and end
    QString error;                     // set when the line or the settings cannot be used
};

// `arguments` as QCoreApplication::arguments() gives them, the program name first;
// `settingsPath` the Korvex.ini to read the [Fleet] section from.
ViewerOptions parseViewerOptions(const QStringList& arguments, const QString& settingsPath);

// --help or --version: prints the text and returns 0 before any window system is touched.
// Nothing when the program is to start normally.
std::optional<int> answerInfoOptions(int& argc, char** argv, const QString& versionLine);

}  // namespace korvex::fleet
