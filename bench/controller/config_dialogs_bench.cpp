// The interface thread while a configuration dialog's commands run on a slow card: the longest
// gap between two event-loop iterations, from OK until the card took the last command. The
// virtual card answers each request `delay` ms late (200: the test link gives up after 300; the
// set-up dialogs' cases wait 1.5 s per answer, so the card's `delay 500` fits). Target: under 50 ms.
#include "controller/config/config_menu.h"
#include "controller/config/mult_table_dialog.h"
#include "controller/config/direction_dialog.h"
#include "controller/config/setup_dialogs.h"
#include "controller/config/setup_menu.h"
#include "controller/config/small_dialogs.h"
#include "controller/status_panel_control.h"
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

// A link that waits long enough for a card answering 500 ms late.
LinkOptions patientLink() {
    LinkOptions options = fastLinkOptions();
    options.responseTimeoutMs = 1500;
    return options;
}

struct Bench {
    explicit Bench(LinkOptions link = fastLinkOptions()) {
        ensureApplication();
        parts.emplace(sim::kDefaultCardId, 1.0, std::move(link));
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
        context.cardSettingsShown = [this] { parts->frame.showCardSettings(); };
        context.machineNameChanged = [this] { parts->frame.updateTitle(); };
        context.feed = &parts->frame.statusPanel().feed();
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

constexpr int kSlowCardMs = 500;

// Each set-up dialog's commands on a card answering 500 ms late: the script presses the button,
// then the gap is measured until the card's answers are all back.
void runSetupCase(benchmark::State& state, const char* name, std::function<int(const ConfigMenuContext&)> run,
                  std::function<QPushButton*(QDialog&)> press) {
    Bench b(patientLink());
    b.parts->operatorUi.answers.assign(100, OperatorInteraction::Answer::Yes);
    b.parts->card.server().setResponseDelay(kSlowCardMs);
    double worst = 0;
    for (auto _ : state) {
        b.parts->operatorUi.scripts[QLatin1String(name)] = [&](QDialog& d) {
            QPushButton* button = press(d);
            button->click();
            worst = std::max(worst, longestGapMs([&] { return button->isEnabled(); }));
            d.reject();
            return d.result();
        };
        run(b.context);
        worst = std::max(worst, longestGapMs([&] { return b.machine->worker().waitUntilIdle(0); }));
    }
    state.counters["longest_gap_ms"] = worst;
}

void BM_PhaseOk(benchmark::State& state) {
    runSetupCase(state, PhaseDialog::kObjectName, [](const ConfigMenuContext& c) { return runPhase(c, nullptr); },
                 [](QDialog& d) {
                     auto& dialog = static_cast<PhaseDialog&>(d);
                     PhaseForm f;
                     f.xy = {kDriveServo, "5", "2", 1};
                     f.uv = {kDriveMicroStep, "7", "3", 0};
                     f.rollGap = "0";
                     dialog.setForm(f);
                     return dialog.okButton();
                 });
}
BENCHMARK(BM_PhaseOk)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_DirectionSingleStep(benchmark::State& state) {
    runSetupCase(state, DirectionDialog::kObjectName, [](const ConfigMenuContext& c) { return runDirection(c, nullptr); },
                 [](QDialog& d) { return static_cast<DirectionDialog&>(d).stepButton(AxisDirection::XPlus); });
}
BENCHMARK(BM_DirectionSingleStep)->Iterations(2)->Unit(benchmark::kMillisecond);

// A jog of 3000 steps (one second at the card's speed) watched by its polls until done.
void BM_DirectionJog(benchmark::State& state) {
    Bench b(patientLink());
    b.parts->card.server().setResponseDelay(kSlowCardMs);
    double worst = 0;
    for (auto _ : state) {
        b.parts->operatorUi.scripts[QLatin1String(DebuggingDialog::kObjectName)] = [&](QDialog& d) {
            auto& debugging = static_cast<DebuggingDialog&>(d);
            worst = std::max(worst, longestGapMs([&] { return !debugging.jogRunning(); }));
            return d.result();
        };
        b.parts->operatorUi.scripts[QLatin1String(DirectionDialog::kObjectName)] = [&](QDialog& d) {
            auto& dialog = static_cast<DirectionDialog&>(d);
            dialog.stepsField()->setText("3000");
            dialog.jogButton(AxisDirection::YPlus)->click();
            d.reject();
            return d.result();
        };
        runDirection(b.context, nullptr);
        worst = std::max(worst, longestGapMs([&] { return b.machine->worker().waitUntilIdle(0); }));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_DirectionJog)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_StopMachineTest(benchmark::State& state) {
    Bench b(patientLink());
    b.parts->card.server().setResponseDelay(kSlowCardMs);
    double worst = 0;
    for (auto _ : state) {
        b.parts->operatorUi.scripts[QLatin1String(StopMachineDialog::kObjectName)] = [&](QDialog& d) {
            QPushButton* test = static_cast<StopMachineDialog&>(d).testButton();
            test->click();
            worst = std::max(worst, longestGapMs([&] { return test->isEnabled(); }));
            return d.result();
        };
        runStopMachine(b.context, nullptr);
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_StopMachineTest)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_OptionSave(benchmark::State& state) {
    runSetupCase(state, OptionDialog::kObjectName, [](const ConfigMenuContext& c) { return runOption(c, nullptr); },
                 [](QDialog& d) {
                     auto& dialog = static_cast<OptionDialog&>(d);
                     dialog.nameField()->setText("W1");
                     return dialog.saveButton();
                 });
}
BENCHMARK(BM_OptionSave)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_RestoreDefault(benchmark::State& state) {
    Bench b(patientLink());
    b.parts->card.server().setResponseDelay(kSlowCardMs);
    double worst = 0;
    for (auto _ : state) {
        b.parts->operatorUi.answers = {OperatorInteraction::Answer::Yes};
        runRestoreDefault(b.context, nullptr);
        // Restore, read back, then the feed the status panel sends again.
        worst = std::max(worst, longestGapMs([&] { return b.machine->worker().waitUntilIdle(0); }));
    }
    state.counters["longest_gap_ms"] = worst;
}
BENCHMARK(BM_RestoreDefault)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex::testing

BENCHMARK_MAIN();
