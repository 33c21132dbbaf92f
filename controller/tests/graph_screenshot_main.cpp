// Writes the graph view's documentation pictures: the main window during a cut of
// examples/groups.iso on the virtual card (two group colours, a stop mark, the large readout),
// and the mini status window. The pulse table is one restored from a saved table, so its name
// shows.
//   korvex_graph_screenshot WINDOW.png MINI.png [en|zh]
#include "controller/machine_control.h"
#include "controller/pulse_table.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/graph_view.h"
#include "controller/views/mini_status_window.h"
#include "platform/data_dirs.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>

#include <chrono>
#include <cstdio>
#include <optional>

int main(int argc, char** argv) {
    using namespace korvex;
    using namespace korvex::testing;
    if (argc < 3) {
        std::fprintf(stderr, "usage: korvex_graph_screenshot WINDOW.png MINI.png [en|zh]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureApplication();
    if (argc > 3 && QByteArray(argv[3]) == "zh")
        installTranslations(Language::Chinese);
    ScratchDataDir data;
    // The pulse table as the operator left it after restoring "groups.tbl": the bottom line
    // names it.
    QDir().mkpath(parameterDirectory());
    PulseTable restored;
    restored.setTableName(QStringLiteral("groups"));
    if (restored.write(pulseTablePath()) != 0)
        return 1;
    ControllerParts c(sim::kDefaultCardId, 10.0);
    if (!c.start())
        return 1;
    c.frame.resize(1280, 800);
    c.frame.show();
    if (c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/groups.iso")) != OpenOutcome::Opened)
        return 1;
    std::optional<MachineControl> machine;
    machine.emplace(c.session, c.link.link(), c.operatorUi, c.events, c.pulseTable, &c.frame);
    c.frame.attachMachineControl(*machine);
    c.operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        d.accept();
        return d.result();
    };
    machine->operations().toggleSegmentStop(5);
    machine->operations().press(Operation::Cut);
    CGraphView* graph = c.frame.graphView();
    const MachiningOperations& ops = machine->operations();
    auto waitUntil = [](auto done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    };
    auto paused = [&] { return ops.idle() && ops.label(Operation::Cut) != ButtonLabel::Pause; };
    // The card halts at the stop, after the orange sides; the cut goes on into the green side
    // and is paused halfway along it.
    if (!waitUntil([&] { return graph->progress() && graph->progress()->current >= 5 && paused(); }))
        return 1;
    machine->operations().press(Operation::Cut);
    if (!waitUntil([&] { return graph->progress() && graph->progress()->current == 5 && graph->progress()->lower.steps >= 2500; }))
        return 1;
    machine->operations().press(Operation::Cut);
    if (!waitUntil(paused))
        return 1;
    graph->setLargeReadout(true);
    QCoreApplication::processEvents();
    const bool window = c.frame.grab().save(QString::fromLocal8Bit(argv[1]));
    MiniStatusWindow* mini = c.frame.miniStatus();
    bool shot = false;
    if (mini) {
        c.frame.showStatusText("61572");  // Paused: the red headline
        mini->show();
        QCoreApplication::processEvents();
        shot = mini->grab().save(QString::fromLocal8Bit(argv[2]));
    }
    machine.reset();
    return window && shot ? 0 : 1;
}
