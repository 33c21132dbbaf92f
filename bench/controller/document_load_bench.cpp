// Loading the 1,000,000-line benchmark program through the document's whole pipeline (reading
// dialog and its worker, code list with a view, card dialog and its worker, working copy, held
// file) against the code library's own load of the same file. Reports both times, the
// pipeline's overhead in percent, and the longest the UI thread went without running its event
// loop during the load.
//
// mainWindowLoadAndMirror does the same in the real main window (1366x768, graph view, code
// list, status panel, Edit menu): the longest gap between event-loop iterations from the open
// until the new title and the graph's picture are up, and likewise for a Vertical Mirror of the
// loaded program.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/common/program_generator.h"
#include "code/loader.h"
#include "controller/document/card_port.h"
#include "controller/document/code_list_model.h"
#include "controller/document/dcs_doc.h"
#include "controller/document/wait_dialog.h"
#include "platform/operator_interaction.h"
#include "platform/string_table.h"

#ifdef KORVEX_BENCH_MAIN_WINDOW
#include <QAction>
#include <QEventLoop>

#include "controller/card_control.h"
#include "controller/card_events.h"
#include "controller/machine_session.h"
#include "controller/main_frame.h"
#include "controller/pulse_table.h"
#include "controller/views/graph_view.h"
#endif

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

// A card that answers at once.
class InstantCard : public CardPort {
public:
    int setTaper(const TaperBlock&) override { return 0; }
    int loadModel(const LoadDescriptor&, LoadMode) override { return 0; }
    int unloadModel() override { return 0; }
    int clearWork() override { return 0; }
};

// An operator who never needs to answer; any message means the load went wrong.
class SilentOperator : public OperatorInteraction {
public:
    void message(const QString&, const QString& text, Icon) override { last = text; }
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Yes; }
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    int exec(QDialog&, const QString&) override { return 0; }
    QString last;
};

struct BenchFiles {
    QTemporaryDir dir;
    std::string program;
    BenchFiles() {
        QDir(dir.path()).mkpath(QStringLiteral("Tmp"));
        program = dir.filePath(QStringLiteral("bench.3b")).toStdString();
        const std::string text = bench::generateProgram();
        std::FILE* f = std::fopen(program.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) std::abort();
        std::fclose(f);
    }
};

BenchFiles& files() {
    static BenchFiles f;
    return f;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double libraryLoadSeconds(const std::string& path) {
    LoadedProgram program;
    LoadFailure failure;
    const auto start = Clock::now();
    const int r = loadProgram(path.c_str(), LoadOptions{}, program, failure);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (r != 0) std::abort();
    benchmark::DoNotOptimize(program.extents);
    return seconds;  // the program is freed outside the measured time
}

void documentPipelineAgainstLibrary(benchmark::State& state) {
    BenchFiles& f = files();
    const QString path = QString::fromStdString(f.program);
    InstantCard card;
    SilentOperator ui;
    // Medians as well as means: on a shared virtual machine one run in a few stalls for reasons
    // of its own (page zeroing, writeback, a neighbour), which a mean of six carries along.
    std::vector<double> librarySeconds, documentSeconds;
    double libraryTotal = 0, documentTotal = 0, maxGapMs = 0, maxBusyMs = 0;
    int runs = 0;

    for (auto _ : state) {
        // Alternate which load goes first, so neither profits from the other's traces.
        const bool libraryFirst = runs % 2 == 0;
        if (libraryFirst) {
            librarySeconds.push_back(libraryLoadSeconds(f.program));
            libraryTotal += librarySeconds.back();
        }

        auto doc = std::make_unique<CDCSDoc>();
        DocumentEnvironment env;
        env.operatorUi = &ui;
        env.card = &card;
        env.machineSettingsPath = f.dir.filePath(QStringLiteral("Korvex.ini"));
        env.cardSettingsPath = f.dir.filePath(QStringLiteral("0badcafe.ini"));
        env.temporaryDirectory = f.dir.filePath(QStringLiteral("Tmp"));
        doc->setEnvironment(env);
        CodeListModel model(doc.get());
        QTableView view;
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->hide();
        view.setModel(&model);
        view.show();

        // The gap between two consecutive event-loop iterations of the UI thread.
        Clock::time_point last = Clock::now();
        double gapMs = 0;
        auto tick = [&] {
            const Clock::time_point now = Clock::now();
            gapMs = std::max(gapMs, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        };
        // The longest stretch the UI thread worked between two waits for events (scheduling
        // delays while it waited do not count here).
        Clock::time_point busySince = Clock::now();
        double busyMs = 0;
        auto* dispatcher = QAbstractEventDispatcher::instance();
        const auto blockConnection =
            QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
                busyMs = std::max(busyMs, std::chrono::duration<double, std::milli>(
                                              Clock::now() - busySince).count());
            });
        const auto awakeConnection = QObject::connect(
            dispatcher, &QAbstractEventDispatcher::awake, [&] { busySince = Clock::now(); });
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(1);
        QObject::connect(&probe, &QTimer::timeout, tick);
        probe.start();

        const auto start = Clock::now();
        last = start;
        busySince = start;
        const bool ok = doc->openDocument(path);
        tick();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        probe.stop();
        busyMs = std::max(busyMs, std::chrono::duration<double, std::milli>(Clock::now() - busySince).count());
        QObject::disconnect(blockConnection);
        QObject::disconnect(awakeConnection);
        if (!ok || model.rowCount() != static_cast<int>(doc->program()->segments.size()) ||
            model.rowCount() < bench::kProgramLines) {
            state.SkipWithError(("load failed: " + ui.last.toStdString()).c_str());
            break;
        }
        state.SetIterationTime(seconds);
        documentTotal += seconds;
        documentSeconds.push_back(seconds);
        maxGapMs = std::max(maxGapMs, gapMs);
        maxBusyMs = std::max(maxBusyMs, busyMs);
        if (qEnvironmentVariableIsSet("KORVEX_BENCH_VERBOSE"))
            std::fprintf(stderr, "run %d: %.0f ms, longest UI gap %.1f ms, longest UI work %.1f ms\n",
                         runs, seconds * 1000, gapMs, busyMs);
        ++runs;
        view.setModel(nullptr);
        doc.reset();  // frees the program (joins the disposer) outside the measured time
        if (!libraryFirst) {
            librarySeconds.push_back(libraryLoadSeconds(f.program));
            libraryTotal += librarySeconds.back();
        }
    }
    if (runs == 0) return;
    state.counters["libraryMs"] = libraryTotal * 1000 / runs;
    state.counters["documentMs"] = documentTotal * 1000 / runs;
    state.counters["overheadPct"] = (documentTotal / libraryTotal - 1) * 100;
    const double libraryMedian = median(librarySeconds), documentMedian = median(documentSeconds);
    state.counters["libraryMedianMs"] = libraryMedian * 1000;
    state.counters["documentMedianMs"] = documentMedian * 1000;
    state.counters["medianOverheadPct"] = (documentMedian / libraryMedian - 1) * 100;
    state.counters["uiMaxGapMs"] = maxGapMs;
    state.counters["uiMaxBusyMs"] = maxBusyMs;
}
BENCHMARK(documentPipelineAgainstLibrary)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(6);

#ifdef KORVEX_BENCH_MAIN_WINDOW

// A card that answers every command at once.
class InstantCardControl : public CardControl {
public:
    void setEventHook(EventHook) override {}
    int open(const std::string&) override { return 0; }
    void close() override {}
    bool isOpen() const override { return true; }
    int connect() override { return 0; }
    int getCardId(uint32_t& id) override {
        id = 1;
        return 0;
    }
    int getSettings(SettingsBlock&) override { return 0; }
    int setPulseGroup(const PulseGroupImage&) override { return 0; }
    int setSwitchWithoutVf(uint8_t) override { return 0; }
    int setFeed(const std::array<uint8_t, kFeedEntryBytes>&, int) override { return 0; }
    int getWorkRecord(WorkRecord&) override { return -1; }
    int keepAlive() override { return 0; }
    int closeKeepingWork() override { return 0; }
    int getRunState(RunState&) override { return 0; }
    int stopWork() override { return 0; }
    int setMotor(bool) override { return 0; }
    int setTaper(const TaperBlock&) override { return 0; }
    int loadModel(const LoadDescriptor&, LoadMode) override { return 0; }
    int unloadModel() override { return 0; }
    int clearWork() override { return 0; }
};

// The longest gap between two iterations of the UI thread's event loop while it runs, probed
// by a 1 ms timer, and the longest stretch the thread worked between two waits for events
// (on a busy machine the gap also holds the time the thread waited for a core).
class GapProbe {
public:
    GapProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        auto* dispatcher = QAbstractEventDispatcher::instance();
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &timer_, [this] {
            if (!timer_.isActive()) return;
            cpuMaxMs_ = std::max(cpuMaxMs_, threadCpuMs() - cpuSince_);
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - busySince_).count();
            if (ms > 20 && qEnvironmentVariableIsSet("KORVEX_BENCH_TRACE"))
                std::fprintf(stderr, "  busy %.1f ms from %.1f\n", ms,
                             std::chrono::duration<double, std::milli>(busySince_ - origin).count());
            busyMaxMs_ = std::max(busyMaxMs_, ms);
        });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &timer_, [this] {
            busySince_ = Clock::now();
            cpuSince_ = threadCpuMs();
        });
    }
    Clock::time_point origin;  // when start() was last called
    void start() {
        origin = Clock::now();
        maxMs_ = 0;
        busyMaxMs_ = 0;
        cpuMaxMs_ = 0;
        cpuSince_ = threadCpuMs();
        last_ = busySince_ = Clock::now();
        timer_.start();
    }
    double stop() {
        tick();
        timer_.stop();
        return maxMs_;
    }
    double busyMaxMs() const { return busyMaxMs_; }
    // The most processor time the UI thread used in one such stretch: the work itself, without
    // the time other processes held the cores.
    double cpuMaxMs() const { return cpuMaxMs_; }

private:
    static double threadCpuMs() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
    double cpuSince_ = 0;
    double cpuMaxMs_ = 0;
    Clock::time_point busySince_;
    double busyMaxMs_ = 0;
    void tick() {
        const Clock::time_point now = Clock::now();
        maxMs_ = std::max(maxMs_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    QTimer timer_;
    Clock::time_point last_;
    double maxMs_ = 0;
};

// Runs the event loop until the graph shows the current program's picture.
void waitForPicture(CGraphView& graph) {
    if (graph.pictureCurrent()) return;
    QEventLoop loop;
    QObject::connect(&graph, &CGraphView::pictureUpdated, &loop, [&] {
        if (graph.pictureCurrent()) loop.quit();
    });
    loop.exec();
}

void mainWindowLoadAndMirror(benchmark::State& state) {
    BenchFiles& f = files();
    const QString path = QString::fromStdString(f.program);
    qputenv("KORVEX_DATA_DIR", f.dir.path().toUtf8());
    InstantCardControl card;
    SilentOperator ui;
    double loadGapMs = 0, mirrorGapMs = 0, loadMs = 0, mirrorMs = 0, loadBusyMs = 0, mirrorBusyMs = 0;
    double loadCpuMs = 0, mirrorCpuMs = 0;
    int runs = 0;
    for (auto _ : state) {
        MachineSession session;
        CardEventRouter events;
        PulseTable pulseTable;
        CDCSDoc document;
        CMainFrame frame(session, card, ui, events, pulseTable, document);
        DocumentEnvironment env;
        env.operatorUi = &ui;
        env.card = &card;
        env.dialogParent = &frame;
        env.machineSettingsPath = f.dir.filePath(QStringLiteral("Korvex.ini"));
        env.cardSettingsPath = f.dir.filePath(QStringLiteral("00000001.ini"));
        env.temporaryDirectory = f.dir.filePath(QStringLiteral("Tmp"));
        document.setEnvironment(env);
        session.takeMachineName();
        document.setCardIdentity(session.machineName, QStringLiteral("COM1"));
        frame.resize(1366, 768);
        frame.show();
        QCoreApplication::processEvents();

        GapProbe probe;
        if (qEnvironmentVariableIsSet("KORVEX_BENCH_TRACE")) {
            auto note = [&probe](const char* what) {
                std::fprintf(stderr, "  %s at %.1f\n", what,
                             std::chrono::duration<double, std::milli>(Clock::now() - probe.origin).count());
            };
            QObject::connect(&document, &CDCSDoc::programCleared, [note] { note("cleared"); });
            QObject::connect(&document, &CDCSDoc::programParsed, [note] { note("parsed"); });
            QObject::connect(&document, &CDCSDoc::programLoaded, [note] { note("loaded"); });
            QObject::connect(&document, &CDCSDoc::waitDialogStarted, [note](CWaitDialog*) { note("dialog"); });
            QObject::connect(frame.graphView(), &CGraphView::pictureUpdated, [note] { note("picture"); });
        }
        auto start = Clock::now();
        probe.start();
        const bool loaded = frame.openRequest(path) == OpenOutcome::Opened;
        waitForPicture(*frame.graphView());
        const double gapLoad = probe.stop();
        const double busyLoad = probe.busyMaxMs();
        loadCpuMs = std::max(loadCpuMs, probe.cpuMaxMs());
        const double msLoad = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (!loaded || !frame.windowTitle().contains(path)) {
            state.SkipWithError(("load failed: " + ui.last.toStdString()).c_str());
            break;
        }

        QAction* mirror = frame.findChild<QAction*>(QStringLiteral("ed-menu-vertical-mirror"));
        if (!mirror || !mirror->isEnabled()) {
            state.SkipWithError("Vertical Mirror is not offered");
            break;
        }
        start = Clock::now();
        probe.start();
        mirror->trigger();
        waitForPicture(*frame.graphView());
        const double gapMirror = probe.stop();
        const double busyMirror = probe.busyMaxMs();
        mirrorCpuMs = std::max(mirrorCpuMs, probe.cpuMaxMs());
        const double msMirror = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (!document.path().endsWith(QStringLiteral("@_@_tx.iso"))) {
            state.SkipWithError(("mirror failed: " + ui.last.toStdString()).c_str());
            break;
        }
        state.SetIterationTime((msLoad + msMirror) / 1000);
        loadGapMs = std::max(loadGapMs, gapLoad);
        loadBusyMs = std::max(loadBusyMs, busyLoad);
        mirrorBusyMs = std::max(mirrorBusyMs, busyMirror);
        mirrorGapMs = std::max(mirrorGapMs, gapMirror);
        loadMs += msLoad;
        mirrorMs += msMirror;
        ++runs;
        if (qEnvironmentVariableIsSet("KORVEX_BENCH_VERBOSE"))
            std::fprintf(stderr,
                         "run %d: load %.0f ms (longest UI gap %.1f ms, work %.1f ms), "
                         "mirror %.0f ms (%.1f ms, %.1f ms)\n",
                         runs, msLoad, gapLoad, busyLoad, msMirror, gapMirror, busyMirror);
        frame.hide();
        document.resetDocument();
    }
    if (runs == 0) return;
    state.counters["loadMs"] = loadMs / runs;
    state.counters["loadUiMaxGapMs"] = loadGapMs;
    state.counters["mirrorMs"] = mirrorMs / runs;
    state.counters["mirrorUiMaxGapMs"] = mirrorGapMs;
    state.counters["loadUiMaxBusyMs"] = loadBusyMs;
    state.counters["mirrorUiMaxBusyMs"] = mirrorBusyMs;
    state.counters["loadUiMaxCpuMs"] = loadCpuMs;
    state.counters["mirrorUiMaxCpuMs"] = mirrorCpuMs;
}
BENCHMARK(mainWindowLoadAndMirror)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

#endif  // KORVEX_BENCH_MAIN_WINDOW

// Cancel pressed a given time after the reading worker started: how long until the dialog has
// closed and the document is empty again.
void cancelLatency(benchmark::State& state) {
    BenchFiles& f = files();
    const QString path = QString::fromStdString(f.program);
    InstantCard card;
    SilentOperator ui;
    const int delayMs = static_cast<int>(state.range(0));
    double worstMs = 0;
    for (auto _ : state) {
        CDCSDoc doc;
        DocumentEnvironment env;
        env.operatorUi = &ui;
        env.card = &card;
        doc.setEnvironment(env);
        Clock::time_point pressed{};
        QObject::connect(&doc, &CDCSDoc::waitDialogStarted, &doc, [&](CWaitDialog* dialog) {
            if (!doc.isLoading() || dialog->objectName() != QStringLiteral("OpendocDialog")) return;
            QTimer::singleShot(delayMs, dialog, [&pressed, dialog] {
                pressed = Clock::now();
                dialog->cancel();
            });
        });
        const bool loaded = doc.openDocument(path);
        const auto closed = Clock::now();
        if (loaded || pressed == Clock::time_point{}) {
            state.SkipWithError("the load finished before the cancel");
            break;
        }
        const double ms = std::chrono::duration<double, std::milli>(closed - pressed).count();
        state.SetIterationTime(ms / 1000);
        worstMs = std::max(worstMs, ms);
    }
    state.counters["worstMs"] = worstMs;
}
BENCHMARK(cancelLatency)
    ->Arg(50)->Arg(300)->Arg(700)->Arg(1200)
    ->ArgName("afterMs")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvex::installTranslations(korvex::Language::English);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
