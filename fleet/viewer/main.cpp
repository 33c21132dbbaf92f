// kvfleet: every machine of the shop floor on one screen, read from the broker the controllers
// publish to. --once --json prints the table and ends; --help and --version need no display.
#include <QApplication>
#include <QCoreApplication>
#include <QLocale>

#include <cstdio>
#include <optional>

#include <korvex_revision.h>

#include "fleet/viewer/fleet_feed.h"
#include "fleet/viewer/fleet_options.h"
#include "fleet/viewer/fleet_window.h"
#include "fleet/viewer/once_report.h"
#include "platform/data_dirs.h"
#include "platform/string_table.h"

namespace {

bool asksForOnce(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--once") return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const QString versionLine = QString::fromStdString(korvex::versionLine("kvfleet", korvex::kProductVersion));
    if (const std::optional<int> answered = korvex::fleet::answerInfoOptions(argc, argv, versionLine))
        return *answered;

    // --once is for scripts: no display is touched.
    if (asksForOnce(argc, argv)) {
        QCoreApplication core(argc, argv);
        const auto options =
            korvex::fleet::parseViewerOptions(QCoreApplication::arguments(), korvex::machineSettingsPath());
        if (!options.error.isEmpty()) {
            std::fprintf(stderr, "kvfleet: %s\n", qPrintable(options.error));
            return 2;
        }
        return korvex::fleet::runOnce(options, stdout, stderr);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kvfleet"));
    QApplication::setApplicationVersion(QString::fromLatin1(korvex::kProductVersion));
    const auto options =
        korvex::fleet::parseViewerOptions(QCoreApplication::arguments(), korvex::machineSettingsPath());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "kvfleet: %s\n", qPrintable(options.error));
        return 2;
    }
    korvex::installTranslations(options.language.value_or(korvex::languageForLocale(QLocale::system())));

    korvex::fleet::FleetTable table(options.topicPrefix);
    korvex::fleet::FleetWindow window(table);
    korvex::fleet::FleetFeed feed(options);
    window.attach(feed);
    if (!options.broker) {
        window.showNoBroker();
        std::fprintf(stderr, "kvfleet: no broker: give --broker mqtt://host or set Broker in [Fleet] of Korvex.ini\n");
    } else if (feed.start() != 0) {
        window.showConnection(korvex::fleet::MqttConnection::Refused, feed.lastError());
        std::fprintf(stderr, "kvfleet: %s\n", qPrintable(feed.lastError()));
    }
    window.show();
    return app.exec();
}
