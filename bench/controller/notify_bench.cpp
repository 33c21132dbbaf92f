// The interface thread while the notifications work: the longest gap between two turns of the
// event loop (a zero-time timer that notes each turn) while alarms start and stop 50 times,
// notices queue on a modem that takes PDUs and never answers (prompt-no-ok), a call runs, and
// SMS Config opens a modem that never answers (no-ok). The target is a longest gap under 20 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "controller/machine_session.h"
#include "controller/notify/alarm_sound.h"
#include "controller/notify/mobile_notice.h"
#include "controller/notify/notice_dialogs.h"
#include "controller/settings_keys.h"
#include "platform/operator_interaction.h"
#include "sim/modem/modem_server.h"

namespace korvex {
namespace {

// An output that takes as long as a real one: each tone and rest lasts its time on the beep
// thread.
class PacedOutput : public ToneOutput {
public:
    bool available() override { return true; }
    void startLoop(int) override {}
    void stopLoop() override {}
    bool play(int, int ms, StopSignal& stop) override { return !stop.waitFor(ms); }
};

class SilentOperator : public OperatorInteraction {
public:
    void message(const QString&, const QString&, Icon) override {}
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Cancel; }
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    int exec(QDialog&, const QString&) override { return 0; }
};

// Notes the longest time between two turns of the event loop.
class GapMeter {
public:
    GapMeter() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        clock_.start();
        timer_.start();
    }
    double longestMs() const { return static_cast<double>(longest_) / 1e6; }
    // Runs the loop for ms.
    static void spin(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

std::unique_ptr<sim::ModemServer> startModem(sim::ModemScenario scenario) {
    sim::ModemOptions o;
    o.scenario = scenario;
    auto modem = std::make_unique<sim::ModemServer>(o);
    if (modem->start() != 0)
        return nullptr;
    return modem;
}

void BM_EventLoopGapWhileNotifying(benchmark::State& state) {
    QTemporaryDir data;
    qputenv("KORVEX_DATA_DIR", data.path().toUtf8());
    MachineSession session;
    session.cardId = 0x00220000;
    session.cardKnown = true;
    session.machineName = QStringLiteral("Noname");
    SettingsFile card = session.cardSettings();
    card.writeText(QStringLiteral("Work"), QStringLiteral("SMSC"), QStringLiteral("+8613800100500"));
    card.writeText(QStringLiteral("Work"), QStringLiteral("NoticeNumber"), QStringLiteral("13912345678"));
    SilentOperator operatorUi;

    double idleGap = 0, alarmsGap = 0, queueGap = 0, callGap = 0, dialogGap = 0;
    for (auto _ : state) {
        {  // the same loop with nothing to do: what the machine's own load costs
            GapMeter meter;
            GapMeter::spin(2000);
            idleGap = meter.longestMs();
        }
        {  // alarms started and stopped 50 times, each after a few of its beeps
            BeepAlarm alarm(std::make_shared<PacedOutput>(), [] { return false; }, [](const QString&) {});
            GapMeter meter;
            for (int i = 0; i < 50; ++i) {
                alarm.start(1 + i % 2);
                GapMeter::spin(20);
                alarm.stop();
            }
            GapMeter::spin(50);
            alarmsGap = meter.longestMs();
        }
        {  // notices queued on a modem that never confirms a message
            auto modem = startModem(sim::ModemScenario::PromptNoOk);
            MobileNotice notice(session);
            GapMeter meter;
            notice.open(QString::fromStdString(modem->devicePath()));
            for (int i = 0; i < 20; ++i) {
                notice.notify("61502");
                GapMeter::spin(10);
            }
            GapMeter::spin(500);
            notice.close();
            queueGap = meter.longestMs();
        }
        {  // a call, dialled and hung up by the worker
            writeKey(card, keys::kNoticeType, 1);
            auto modem = startModem(sim::ModemScenario::Normal);
            MobileNotice notice(session);
            GapMeter meter;
            notice.open(QString::fromStdString(modem->devicePath()));
            notice.notify("61512");
            GapMeter::spin(500);
            notice.close();
            writeKey(card, keys::kNoticeType, 0);
            callGap = meter.longestMs();
        }
        {  // SMS Config's OK on a modem that never answers
            auto modem = startModem(sim::ModemScenario::NoOk);
            MobileNotice notice(session);
            CSmsConfigDialog dialog(notice, session, operatorUi, {});
            dialog.setPortText(QString::fromStdString(modem->devicePath()));
            GapMeter meter;
            dialog.accept();  // the handshake's time-outs pass beside the loop
            GapMeter::spin(20);
            dialogGap = meter.longestMs();
        }
    }
    state.counters["idle_gap_ms"] = idleGap;
    state.counters["alarms_gap_ms"] = alarmsGap;
    state.counters["queue_gap_ms"] = queueGap;
    state.counters["call_gap_ms"] = callGap;
    state.counters["sms_config_gap_ms"] = dialogGap;
    state.counters["longest_gap_ms"] = std::max({alarmsGap, queueGap, callGap, dialogGap});
}
BENCHMARK(BM_EventLoopGapWhileNotifying)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
