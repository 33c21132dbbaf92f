#include "controller/command_line.h"

#include "fleet/common/fleet_messages.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

#include "platform/version_report.h"

namespace korvex {

namespace {

// The options besides those of the normal start.
struct InfoOptions {
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
};

void describe(QCommandLineParser& parser, const InfoOptions& info) {
    parser.setApplicationDescription(QStringLiteral("Korvex wire-cut machining controller"));
    parser.addOption(info.help);
    parser.addOption(info.version);
}

// Shown after the options: the one thing an operator starting it by hand most often wants.
constexpr char kHelpExample[] =
    "\nExample:\n"
    "  korvex --lang zh --port /dev/ttyUSB0 /usr/share/doc/korvex/examples/square.3b\n"
    "  starts in Chinese, offers /dev/ttyUSB0 in the port dialog and opens the program once connected.\n"
    "\nWith a controller running, `korvex FILE` hands FILE to it and ends.\n"
    "\nDrawing without a card or window:\n"
    "  korvex --render PROGRAM --out FILE.png [--size WxH] [--zoom N] [--machined K] [--lang en|zh]\n";

}  // namespace

std::optional<StartRequest> parseStartRequest(const QString& value) {
    constexpr int kMostSegment = 9'999'999;  // what the range dialog's fields take
    const QString name = value.section(QLatin1Char('='), 0, 0);
    StartRequest request;
    if (name == QLatin1String("simulate"))
        request.kind = StartRequest::Kind::Simulate;
    else if (name == QLatin1String("walk"))
        request.kind = StartRequest::Kind::Walk;
    else if (name == QLatin1String("cut"))
        request.kind = StartRequest::Kind::Cut;
    else
        return std::nullopt;
    if (!value.contains(QLatin1Char('=')))
        return request;
    const QStringList ends = value.section(QLatin1Char('='), 1).split(QLatin1Char(':'));
    if (ends.size() != 2)
        return std::nullopt;
    bool firstOk = false;
    bool lastOk = false;
    const int first = ends[0].toInt(&firstOk);
    const int last = ends[1].toInt(&lastOk);
    if (!firstOk || !lastOk || first < 0 || last < 0 || first > kMostSegment || last > kMostSegment)
        return std::nullopt;
    request.range = std::pair{first, last};
    return request;
}

std::optional<QString> infoText(const QStringList& arguments, const QString& versionLine) {
    // Only a line that asks for nothing else is answered here; the same parser as the start's.
    if (!arguments.contains(QStringLiteral("--help")) && !arguments.contains(QStringLiteral("-h")) &&
        !arguments.contains(QStringLiteral("--version")) && !arguments.contains(QStringLiteral("-v")))
        return std::nullopt;
    const CommandLine line = parseCommandLine(arguments);
    if (line.showVersion)
        return versionReport(versionLine.isEmpty() ? QStringLiteral("korvex %1").arg(QLatin1String(kProductVersion))
                                                   : versionLine);
    if (line.showHelp)
        return line.helpText;
    return std::nullopt;
}

std::optional<int> answerInfoOptions(int& argc, char** argv, const QString& versionLine) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!arguments.contains(QStringLiteral("--help")) && !arguments.contains(QStringLiteral("-h")) &&
        !arguments.contains(QStringLiteral("--version")) && !arguments.contains(QStringLiteral("-v")))
        return std::nullopt;
    // A core application names the program in the usage line; it needs no display.
    QCoreApplication core(argc, argv);
    const std::optional<QString> text = infoText(QCoreApplication::arguments(), versionLine);
    if (!text)
        return std::nullopt;
    std::fputs(text->toLocal8Bit().constData(), stdout);
    return 0;
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const InfoOptions info;
    describe(parser, info);
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("Interface language: en or zh."),
                                  QStringLiteral("en|zh"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serial device or COMn the port dialog offers first."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption connectTo(QStringLiteral("connect"),
                                       QStringLiteral("Connect to this serial device without the port dialog."),
                                       QStringLiteral("DEVICE"));
    const QCommandLineOption start(
        QStringLiteral("start"),
        QStringLiteral("Once the program is loaded, start this work; the range dialog is answered with "
                       "FIRST:LAST (default: the whole program)."),
        QStringLiteral("simulate|walk|cut[=FIRST:LAST]"));
    const QCommandLineOption modemPort(QStringLiteral("modem"),
                                       QStringLiteral("Open the GSM modem on this serial device or COMn once started."),
                                       QStringLiteral("DEVICE"));
    const QCommandLineOption fleet(QStringLiteral("fleet"),
                                   QStringLiteral("Report this machine's state to the shop-floor broker at this address."),
                                   QStringLiteral("mqtt[s]://host[:port]"));
    parser.addOptions({lang, port, connectTo, start, modemPort, fleet});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Program to open once connected."));

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    if (parser.isSet(info.help) || parser.isSet(info.version)) {
        line.showHelp = parser.isSet(info.help);
        line.showVersion = parser.isSet(info.version);
        line.helpText = parser.helpText() + QLatin1String(kHelpExample);
        return line;
    }
    if (parser.isSet(lang)) {
        line.language = parseLanguage(parser.value(lang));
        if (!line.language)
            line.error = QStringLiteral("Unknown language \"%1\"; use en or zh.").arg(parser.value(lang));
    }
    line.portDevice = parser.value(port);
    line.connectDevice = parser.value(connectTo);
    line.modemDevice = parser.value(modemPort);
    line.fleetUrl = parser.value(fleet);
    if (parser.isSet(fleet) && !fleet::parseBrokerUrl(line.fleetUrl.toStdString()))
        line.error = QStringLiteral("Unknown broker address \"%1\"; use mqtt://host[:port] or mqtts://host[:port].")
                         .arg(line.fleetUrl);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        line.error = QStringLiteral("Only one program file can be opened.");
    else if (files.size() == 1)
        line.programPath = QFileInfo(files.first()).absoluteFilePath();
    if (parser.isSet(start) && line.error.isEmpty()) {
        line.start = parseStartRequest(parser.value(start));
        if (!line.start)
            line.error = QStringLiteral("Unknown start \"%1\"; use simulate, walk or cut, optionally =FIRST:LAST.")
                             .arg(parser.value(start));
        else if (line.programPath.isEmpty())
            line.error = QStringLiteral("--start needs a program file.");
    }
    return line;
}

}  // namespace korvex
