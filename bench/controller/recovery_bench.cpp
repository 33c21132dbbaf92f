// Restoring an interrupted cut of the 1,000,000-line benchmark program, stopped at 90 % of its
// longest segment: the whole recovery (file compared with its working copy, the document's load,
// the restore load, the prework dialog stepping to the point, the mark) against the document's
// plain load of the same file. Target: the recovery takes at most the load plus 0.5 s.
//
// Counters: load_s and recovery_s are medians over the runs, extra_s their difference.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/common/program_generator.h"
#include "code/loader.h"
#include "controller/card_control.h"
#include "controller/document/dcs_doc.h"
#include "controller/work_recovery.h"
#include "platform/operator_interaction.h"
#include "platform/settings_file.h"
#include "platform/string_table.h"

namespace korvex {
namespace {

using Clock = std::chrono::steady_clock;

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

// An operator who is never asked anything; any message means the recovery went wrong.
class SilentOperator : public OperatorInteraction {
public:
    void message(const QString&, const QString& text, Icon) override { last = text; }
    Answer ask(const QString&, const QString& text, Buttons, Icon) override {
        last = text;
        return Answer::No;
    }
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
    QString program;
    QString temporary;
    QString cardSettings;
    BenchFiles() {
        temporary = dir.filePath(QStringLiteral("Tmp"));
        QDir().mkpath(temporary);
        program = dir.filePath(QStringLiteral("bench.3b"));
        cardSettings = dir.filePath(QStringLiteral("0badcafe.ini"));
        const std::string text = bench::generateProgram();
        QFile f(program);
        if (!f.open(QIODevice::WriteOnly) || f.write(text.data(), static_cast<qint64>(text.size())) !=
                                                 static_cast<qint64>(text.size()))
            std::abort();
        f.close();
        // The working copy the load left, byte for byte the program.
        if (!QFile::copy(program, QDir(temporary).filePath(QStringLiteral("bench.3b")))) std::abort();
        if (SettingsFile(cardSettings).writeText(QStringLiteral("Doc"), QStringLiteral("LastFile"), program) != 0)
            std::abort();
    }
};

// The record of a cut stopped at 90 % of the program's longest segment.
WorkRecord recordAtLongestSegment(const QString& path) {
    LoadedProgram program;
    LoadFailure failure;
    if (loadProgram(path.toStdString().c_str(), LoadOptions{}, program, failure) != 0) std::abort();
    std::size_t longest = 0;
    for (std::size_t i = 1; i < program.segments.size(); ++i)
        if (program.segments[i].lower.steps > program.segments[longest].lower.steps) longest = i;
    WorkRecord r;
    r.kind = kWorkRecordCut;
    if (r.load.setTitle("bench.3b") != 0) std::abort();
    r.load.rangeFirst = 0;
    r.load.rangeLast = static_cast<int32_t>(program.segments.size()) - 1;
    r.load.loopTotal = 1;
    r.work.segment = static_cast<int32_t>(longest);
    r.work.lower.steps = program.segments[longest].lower.steps * 9 / 10;
    std::fprintf(stderr, "longest segment %zu: %d steps, stopped at %d\n", longest,
                 program.segments[longest].lower.steps, r.work.lower.steps);
    return r;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::unique_ptr<CDCSDoc> makeDocument(BenchFiles& f, InstantCardControl& card, SilentOperator& ui) {
    auto doc = std::make_unique<CDCSDoc>();
    DocumentEnvironment env;
    env.operatorUi = &ui;
    env.card = &card;
    env.machineSettingsPath = f.dir.filePath(QStringLiteral("Korvex.ini"));
    env.cardSettingsPath = f.cardSettings;
    env.temporaryDirectory = f.temporary;
    doc->setEnvironment(env);
    return doc;
}

void recoveryAgainstLoad(benchmark::State& state) {
    static BenchFiles f;
    static const WorkRecord record = recordAtLongestSegment(f.program);
    InstantCardControl card;
    SilentOperator ui;
    std::vector<double> loads, recoveries;
    int runs = 0;
    for (auto _ : state) {
        // Alternate which goes first, so neither profits from the other's traces.
        const bool loadFirst = runs++ % 2 == 0;
        auto load = [&] {
            auto doc = makeDocument(f, card, ui);
            const auto start = Clock::now();
            const bool ok = doc->openDocument(f.program);
            loads.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            doc->waitForWorkingCopy();
            return ok;
        };
        if (loadFirst && !load()) {
            state.SkipWithError("load failed");
            break;
        }
        auto doc = makeDocument(f, card, ui);
        WorkRecovery recovery;
        recovery.takeSavedWork(record);
        RecoveryContext c;
        c.operatorUi = &ui;
        c.card = &card;
        c.document = doc.get();
        c.cardSettingsPath = f.cardSettings;
        c.temporaryDirectory = f.temporary;
        const auto start = Clock::now();
        const WorkRecovery::Outcome outcome = recovery.run(c);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        doc->waitForWorkingCopy();
        if (outcome != WorkRecovery::Outcome::CutMarked) {
            state.SkipWithError(("recovery failed: " + ui.last.toStdString()).c_str());
            break;
        }
        recoveries.push_back(seconds);
        state.SetIterationTime(seconds);
        if (!loadFirst && !load()) {
            state.SkipWithError("load failed");
            break;
        }
    }
    if (recoveries.empty() || loads.empty()) return;
    const double load = median(loads), recovery = median(recoveries);
    state.counters["load_s"] = load;
    state.counters["recovery_s"] = recovery;
    state.counters["extra_s"] = recovery - load;
    state.counters["target_met"] = recovery <= load + 0.5 ? 1 : 0;
}
BENCHMARK(recoveryAgainstLoad)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

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
