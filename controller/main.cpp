// korvex: the wire-cut machining controller.
#include "controller/card_events.h"
#include "controller/command_line.h"
#include "controller/document/dcs_doc.h"
#include "controller/editor_handoff.h"
#include "controller/exit_signals.h"
#include "controller/link_card_control.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/fleet/fleet_hook.h"
#include "controller/main_frame.h"
#include "controller/notify/notifications.h"
#include "controller/pulse_table.h"
#include "controller/startup.h"
#include "controller/views/graph_render_command.h"
#include "platform/widget_operator.h"
#include "controller/work_recovery.h"
#include "platform/data_dirs.h"
#include "platform/local_channel.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>

#include <korvex_revision.h>

#include <clocale>
#include <optional>
#include <cstdio>

int main(int argc, char** argv) {
    using namespace korvex;
    // --help and --version need no display: answered before the GUI starts.
    if (const std::optional<int> answered =
            answerInfoOptions(argc, argv, QString::fromStdString(versionLine("korvex"))))
        return *answered;
    // --render draws a program into a picture file; no card, window or settings are touched.
    if (const std::optional<int> rendered = answerRenderOption(argc, argv))
        return *rendered;
    QApplication app(argc, argv);
    // QApplication takes the C locale from the environment; code files are read and written
    // with printf/strtod, whose decimal point must stay "." whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    // The window class other programs find the controller by.
    QApplication::setApplicationName(QStringLiteral("Korvex"));
    QApplication::setOrganizationName(QStringLiteral("Korvex"));
    // The installed menu entry and icon, so that the desktop shows the window as that program.
    QGuiApplication::setDesktopFileName(QStringLiteral("korvex"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("korvex")));
    keepQtSettingsInDataDirectory();

    const CommandLine line = parseCommandLine(QApplication::arguments());
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(line.error));
        return 2;
    }
    installTranslations(line.language.value_or(languageForLocale(QLocale::system())));

    // A program opened from the desktop (a double click: `korvex FILE`, no port named) while a
    // controller runs goes to that controller, as if dropped on its window; this one ends. A
    // second controller would find the card's port taken anyway.
    if (!line.programPath.isEmpty() && line.portDevice.isEmpty() && line.connectDevice.isEmpty() &&
        !line.start) {
        const QString path = QFileInfo(line.programPath).absoluteFilePath();
        const SendResult handed = sendAndWait(QString::fromLatin1(kControllerChannel), path);
        if (handed != SendResult::NotRunning) {
            std::printf("%s\n", resultWord(handed));
            return handed == SendResult::Opened ? 0 : 1;
        }
    }

    // A signal to leave ends every event loop running (start-up's dialogs included); the exit
    // steps follow once they have returned.
    ExitSignals exitSignals;
    QObject::connect(&exitSignals, &ExitSignals::leaveRequested, &app, [] { QCoreApplication::exit(0); });

    LinkOptions linkOptions;
    linkOptions.logDir = logDirectory().toStdString();
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
    const bool started = startup.run(frame, options);
    if (!started && !exitSignals.received())
        return 1;
    int status = 0;
    // The machining operations need the card's identity and the loaded program: made once
    // start-up has them, and gone before the link they use.
    std::optional<MachineControl> machine;
    if (started) {
        machine.emplace(session, card.link(), operatorUi, events, pulseTable, &frame);
        frame.attachMachineControl(*machine);
        // The editor's hand-offs are taken once there is a card to load them into.
        if (frame.handOff().listen() != 0)
            std::fprintf(stderr, "korvex: no hand-off with the editor: %s\n",
                         qPrintable(frame.handOff().receiver().errorText()));
        if (!line.modemDevice.isEmpty())
            frame.notifications().openAtStart(line.modemDevice);
        // The shop floor, when a broker is set; it only ever shows its status-bar pane.
        auto* fleetHook = new FleetHook(session, frame, *machine, events);
        fleetHook->start(line.fleetUrl);
        // --start: what the button does, once the program is loaded.
        if (line.start && document.isLoaded()) {
            constexpr Operation kOperations[] = {Operation::Simulate, Operation::Walk, Operation::Cut};
            machine->pressAnswering(kOperations[static_cast<int>(line.start->kind)], line.start->range);
        }
        // A signal during start-up has ended its loops already; the event loop is entered once
        // all the same, which clears that request, so the exit steps can show their wait dialog.
        if (exitSignals.received())
            QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        status = app.exec();
        if (exitSignals.received()) {
            frame.leaveOnSignal();
            status = 0;
        }
    }
    card.close();
    card.setEventHook({});
    machine.reset();
    return status;
}
