// The recovery tests' controller: one run of the controller's objects on a virtual card, with
// the scripted operator, started again after a power cut or a kill.
#pragma once

#include "controller/machine_control.h"
#include "controller/document/wait_dialog.h"
#include "controller/tests/controller_fixture.h"
#include "controller/work_recovery.h"
#include "code/loader.h"
#include "sim/card/card_engine.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvex::testing {

inline constexpr int kWaitMs = 20000;  // generous: only a stuck worker or link takes this long
inline constexpr double kFastCard = 40.0;

template <class F>
inline bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// One run of the controller on a card whose memory lives in `stateDir`.
struct Controller {
    explicit Controller(const QString& stateDir)
        : own(std::make_unique<VirtualCard>(sim::kDefaultCardId, stateDir, kFastCard)), card(*own),
          link(fastLinkOptions()) {
        script();
    }
    // A controller started again on a card that kept running.
    explicit Controller(VirtualCard& running) : card(running), link(fastLinkOptions()) { script(); }
    void script() {
        frame.setQuitHandler([this](int status) { quitStatuses.push_back(status); });
        operatorUi.scripts[QStringLiteral("CommConfig")] = pressOkWith(card.deviceText());
        operatorUi.scripts[QStringLiteral("Tips")] = [](QDialog& d) {
            d.accept();
            return d.result();
        };
        operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
            d.accept();  // the whole program
            return d.result();
        };
    }
    ~Controller() {
        machine.reset();  // before the window it writes to
    }
    bool start(const QString& programPath = {}) {
        StartupOptions options;
        options.showMaximized = false;
        options.programPath = programPath;
        Startup startup(session, link, operatorUi, events, pulseTable, recovery, document);
        startup.preworkStarted = preworkStarted;
        if (!startup.run(frame, options))
            return false;
        machine.emplace(session, link.link(), operatorUi, events, pulseTable, &frame);
        frame.attachMachineControl(*machine);
        QObject::connect(&*machine, &MachineControl::segmentFocused, &frame,
                         [this](int segment) { reported.push_back(segment); });
        return true;
    }
    MachiningOperations& ops() { return machine->operations(); }
    template <class F>
    auto engine(F f) {
        return card.server().withEngine(f);
    }
    int runState() {
        return engine([](sim::CardEngine& e) { return static_cast<int>(e.runState()); });
    }
    uint64_t stepsRun() {
        return engine([](sim::CardEngine& e) { return e.figures().stepsRun; });
    }
    bool asked(const QString& text) const {
        for (const QString& q : operatorUi.questions)
            if (q == text)
                return true;
        return false;
    }
    // What the operator saw and where the card stands, for a failure's message.
    std::string describe() {
        std::string out = "card state " + std::to_string(runState()) + "; record: " + recovery.mismatchReason() +
                          "; messages:";
        for (const auto& m : operatorUi.messages)
            out += " [" + m.text.toStdString() + "]";
        out += "; questions:";
        for (const QString& q : operatorUi.questions)
            out += " [" + q.toStdString() + "]";
        return out;
    }
    bool shown(const QString& text) const {
        for (const auto& m : operatorUi.messages)
            if (m.text == text)
                return true;
        return false;
    }

    std::unique_ptr<VirtualCard> own;
    VirtualCard& card;
    CardEventRouter events;
    RecordingCard link;
    ScriptedOperator operatorUi;
    MachineSession session;
    PulseTable pulseTable;
    WorkRecovery recovery;
    CDCSDoc document;
    CMainFrame frame{session, link, operatorUi, events, pulseTable, document};
    std::optional<MachineControl> machine;
    std::function<void(CWaitDialog&)> preworkStarted;
    std::vector<int> quitStatuses;
    std::vector<int> reported;  // the segments the card reported reaching, in order
};

// The steps an uninterrupted cut of the whole program runs: every contour step once.
inline uint64_t wholeProgramSteps(const LoadedProgram& program) {
    uint64_t n = 0;
    for (const CodeSegment& s : program.segments)
        n += static_cast<uint64_t>(std::max(0, s.lower.steps));
    return n;
}

}  // namespace korvex::testing
