#include "controller/command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace korvex {

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Korvex wire-cut machining controller"));
    parser.addHelpOption();
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("Interface language: en or zh."),
                                  QStringLiteral("en|zh"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Serial device or COMn the port dialog offers first."),
                                  QStringLiteral("DEVICE"));
    const QCommandLineOption connectTo(QStringLiteral("connect"),
                                       QStringLiteral("Connect to this serial device without the port dialog."),
                                       QStringLiteral("DEVICE"));
    parser.addOptions({lang, port, connectTo});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Program to open once connected."));

    CommandLine line;
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        line.error = parser.helpText();
        return line;
    }
    if (parser.isSet(lang)) {
        line.language = parseLanguage(parser.value(lang));
        if (!line.language)
            line.error = QStringLiteral("Unknown language \"%1\"; use en or zh.").arg(parser.value(lang));
    }
    line.portDevice = parser.value(port);
    line.connectDevice = parser.value(connectTo);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        line.error = QStringLiteral("Only one program file can be opened.");
    else if (files.size() == 1)
        line.programPath = QFileInfo(files.first()).absoluteFilePath();
    return line;
}

}  // namespace korvex
