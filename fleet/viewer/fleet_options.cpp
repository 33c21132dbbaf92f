#include "fleet/viewer/fleet_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "platform/settings_file.h"
#include "platform/version_report.h"

namespace korvex::fleet {

namespace {

struct Options {
    QCommandLineOption broker{QStringLiteral("broker"),
                              QStringLiteral("Broker to read the machines from (default: [Fleet] of Korvex.ini)."),
                              QStringLiteral("mqtt[s]://host[:port]")};
    QCommandLineOption topic{QStringLiteral("topic"), QStringLiteral("Topic prefix of the machines (default korvex)."),
                             QStringLiteral("PREFIX")};
    QCommandLineOption user{QStringLiteral("user"), QStringLiteral("User name at the broker."), QStringLiteral("U")};
    QCommandLineOption passwordFile{QStringLiteral("password-file"),
                                    QStringLiteral("File whose first line is the password at the broker."),
                                    QStringLiteral("F")};
    QCommandLineOption caFile{QStringLiteral("ca-file"),
                              QStringLiteral("Certificate authority that signed the broker's TLS certificate."),
                              QStringLiteral("F")};
    QCommandLineOption lang{QStringLiteral("lang"), QStringLiteral("Interface language: en or zh."),
                            QStringLiteral("en|zh")};
    QCommandLineOption once{QStringLiteral("once"),
                            QStringLiteral("Read what the broker holds, print the table and exit (with --json).")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Print the table as JSON (with --once).")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
};

void describe(QCommandLineParser& parser, const Options& o) {
    parser.setApplicationDescription(
        QStringLiteral("kvfleet, the shop floor's machines on one screen: state, progress and alarms of every "
                       "Korvex controller that publishes to the broker. It only reads; nothing it does "
                       "reaches a machine."));
    parser.addOptions({o.broker, o.topic, o.user, o.passwordFile, o.caFile, o.lang, o.once, o.json, o.help, o.version});
}

constexpr char kHelpExample[] =
    "\nExample:\n"
    "  kvfleet --broker mqtts://broker.shop:8883 --ca-file /etc/korvex/ca.crt --lang zh\n"
    "  shows every machine publishing under korvex/ on that broker, in Chinese.\n"
    "  kvfleet --once --json --broker mqtt://localhost\n"
    "  prints the machines as JSON and exits (1 when the broker cannot be reached).\n";

constexpr int kMaxPort = 65535;

}  // namespace

std::optional<int> answerInfoOptions(int& argc, char** argv, const QString& versionLine) {
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        asked = asked || arg == "--help" || arg == "-h" || arg == "--version" || arg == "-v";
    }
    if (!asked) return std::nullopt;
    // A core application names the program in the usage line; it needs no display.
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "kvfleet: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    const QString text = parser.isSet(options.version) ? versionReport(versionLine)
                                                       : parser.helpText() + QLatin1String(kHelpExample);
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

ViewerOptions parseViewerOptions(const QStringList& arguments, const QString& settingsPath) {
    ViewerOptions result;
    QCommandLineParser parser;
    const Options o;
    describe(parser, o);
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().front());
        return result;
    }
    if (parser.isSet(o.lang)) {
        result.language = parseLanguage(parser.value(o.lang));
        if (!result.language) {
            result.error = QStringLiteral("--lang takes en or zh");
            return result;
        }
    }
    if (parser.isSet(o.once) != parser.isSet(o.json)) {
        result.error = QStringLiteral("--once and --json go together");
        return result;
    }
    result.once = parser.isSet(o.once);

    // The settings first; the command line overrides them key by key.
    const SettingsFile settings(settingsPath);
    const QString section = QStringLiteral("Fleet");
    const QString host = settings.readText(section, QStringLiteral("Broker"), {}).trimmed();
    if (!host.isEmpty()) {
        BrokerAddress address;
        address.host = host.toStdString();
        address.tls = settings.readInt(section, QStringLiteral("Tls"), 0, 0, 1) == 1;
        address.port = settings.readInt(section, QStringLiteral("Port"),
                                        address.tls ? kDefaultMqttTlsPort : kDefaultMqttPort, 1, kMaxPort);
        result.broker = address;
    }
    result.caFile = settings.readText(section, QStringLiteral("CaFile"), {}).toStdString();
    result.user = settings.readText(section, QStringLiteral("User"), {}).toStdString();
    result.passwordFile = settings.readText(section, QStringLiteral("PasswordFile"), {}).toStdString();
    const QString topic = settings.readText(section, QStringLiteral("Topic"), {}).trimmed();
    if (!topic.isEmpty()) result.topicPrefix = topic.toStdString();

    if (parser.isSet(o.broker)) {
        result.broker = parseBrokerUrl(parser.value(o.broker).toStdString());
        if (!result.broker) {
            result.error = QStringLiteral("--broker takes mqtt://host[:port] or mqtts://host[:port]: %1")
                               .arg(parser.value(o.broker));
            return result;
        }
    }
    if (parser.isSet(o.topic)) result.topicPrefix = parser.value(o.topic).toStdString();
    if (parser.isSet(o.user)) result.user = parser.value(o.user).toStdString();
    if (parser.isSet(o.passwordFile)) result.passwordFile = parser.value(o.passwordFile).toStdString();
    if (parser.isSet(o.caFile)) result.caFile = parser.value(o.caFile).toStdString();
    if (!isValidTopicPrefix(result.topicPrefix)) {
        result.error = QStringLiteral("the topic prefix \"%1\" is not usable (no wildcards, no leading or trailing /)")
                           .arg(QString::fromStdString(result.topicPrefix));
        return result;
    }
    return result;
}

}  // namespace korvex::fleet
