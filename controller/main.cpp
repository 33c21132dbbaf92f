// korvex: the wire-cut machining controller.
#include "controller/card_events.h"
#include "controller/command_line.h"
#include "controller/document/dcs_doc.h"
#include "controller/link_card_control.h"
#include "controller/machine_session.h"
#include "controller/main_frame.h"
#include "controller/pulse_table.h"
#include "controller/startup.h"
#include "controller/widget_operator.h"
#include "controller/work_recovery.h"
#include "platform/data_dirs.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

int main(int argc, char** argv) {
    using namespace korvex;
    // --help and --version need no display: answered before the GUI starts.
    if (const std::optional<int> answered = answerInfoOptions(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    // The window class other programs find the controller by.
    QApplication::setApplicationName(QStringLiteral("Korvex"));
    QApplication::setOrganizationName(QStringLiteral("Korvex"));

    const CommandLine line = parseCommandLine(QApplication::arguments());
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(line.error));
        return 2;
    }
    installTranslations(line.language.value_or(languageForLocale(QLocale::system())));

    LinkOptions linkOptions;
    linkOptions.dataDir = dataDirectory().toStdString();
    LinkCardControl card(linkOptions);
    MachineSession session;
    WidgetOperator operatorUi;
    CardEventRouter events;
    PulseTable pulseTable;
    WorkRecovery recovery;
    CDCSDoc document;
    CMainFrame frame(session, card, operatorUi, events, pulseTable, document);
    operatorUi.setParent(&frame);

    StartupOptions options;
    options.portDevice = line.portDevice;
    options.connectDevice = line.connectDevice;
    options.programPath = line.programPath;
    const QString virtualCard = qEnvironmentVariable("KORVEX_VIRTUAL_CARD");
    if (!virtualCard.isEmpty())
        options.extraDevices << virtualCard;

    Startup startup(session, card, operatorUi, events, pulseTable, recovery, document);
    if (!startup.run(frame, options))
        return 1;
    const int status = app.exec();
    card.close();
    card.setEventHook({});
    return status;
}
