// The interface thread while a configuration dialog's commands run on a slow card: the longest
// gap between two event-loop iterations, from OK until the card took the last command. The
// virtual card answers each request `delay` ms late (200: the test link gives up after 300).
// Target: under 50 ms.
#include "controller/config/config_menu.h"
#include "controller/config/mult_table_dialog.h"
#include "controller/config/small_dialogs.h"
#include "controller/machine_control.h"
#include "controller/tests/controller_fixture.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

namespace korvex::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Runs the event loop until `done`, returning the longest gap between iterations in ms.
template <class F>
double longestGapMs(F done) {
    auto last = Clock::now();
    const auto give_up = last + std::chrono::seconds(30);  // a lost link never re-enables OK
    double longest = 0;
    while (!done() && last < give_up) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const auto now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    return longest;
}

struct Bench {
    Bench() {
        ensureApplication();
        parts.emplace();
        parts->start();
        machine.emplace(parts->session, parts->link.link(), parts->operatorUi, parts->events, parts->pulseTable,
                        &parts->frame);
        parts->frame.attachMachineControl(*machine);
        context.session = &parts->session;
        context.card = &parts->link;
        context.operatorUi = &parts->operatorUi;
        context.pulseTable = &parts->pulseTable;
        context.machine = [this] { return &*machine; };
        context.timerOwner = &owner;
    }
    ~Bench() {
        machine.reset();
        parts.reset();
    }
    ScratchDataDir data;
    std::optional<ControllerParts> parts;
    std::optional<MachineControl> machine;
    ConfigMenuContext context;
    QObject owner;
};

void BM_MultTableOkWithHfOn(benchmark::State& state) {
    Bench b;
    b.machine->operations().toggleHf();
    longestGapMs([&] { return b.machine->operations().hfOn(); });
    b.parts->card.server().setResponseDelay(static_cast<int>(state.range(0)));
    double worst = 0;
    for (auto _ : state) {
        b.parts->operatorUi.scripts[QStringLiteral("MultTable")] = [&](QDialog& d) {
            auto& dialog = static_cast<MultTableDialog&>(d);
            d.setResult(-1);
            dialog.accept();
            worst = std::max(worst, longestGapMs([&] { return dialog.okButton()->isEnabled(); }));
            return d.result();
        };
        runMultTable(b.context, nullptr);
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_MultTableOkWithHfOn)->Arg(0)->Arg(200)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ClearanceOk(benchmark::State& state) {
    Bench b;
    b.parts->card.server().setResponseDelay(static_cast<int>(state.range(0)));
    double worst = 0;
    for (auto _ : state) {
        b.parts->operatorUi.scripts[QStringLiteral("Clearance")] = [&](QDialog& d) {
            auto& dialog = static_cast<ClearanceDialog&>(d);
            dialog.secondsField()->setText("5");
            dialog.okButton()->click();
            worst = std::max(worst, longestGapMs([&] { return dialog.okButton()->isEnabled(); }));
            return d.result();
        };
        runClearance(b.context, nullptr);
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_ClearanceOk)->Arg(200)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex::testing

BENCHMARK_MAIN();
