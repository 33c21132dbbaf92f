// The recovery tests' controller: one run of the controller's objects on a virtual card in the
// same process, with the scripted operator, started again after a power cut or a kill.
#pragma once

#include "controller/tests/recovery_run.h"
#include "code/loader.h"
#include "sim/card/card_engine.h"

#include <algorithm>
#include <memory>
#include <string>

namespace korvex::testing {

inline constexpr double kFastCard = 40.0;

// One run of the controller on a card whose memory lives in `stateDir`.
struct Controller : ControllerRun {
    explicit Controller(const QString& stateDir)
        : own(std::make_unique<VirtualCard>(sim::kDefaultCardId, stateDir, kFastCard)), card(*own) {
        script(card.deviceText());
    }
    // A controller started again on a card that kept running.
    explicit Controller(VirtualCard& running) : card(running) { script(card.deviceText()); }
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
    // What the operator saw and where the card stands, for a failure's message.
    std::string describe() { return "card state " + std::to_string(runState()) + "; " + describeOperator(); }

    std::unique_ptr<VirtualCard> own;
    VirtualCard& card;
};

// The steps an uninterrupted cut of the whole program runs: every contour step once.
inline uint64_t wholeProgramSteps(const LoadedProgram& program) {
    uint64_t n = 0;
    for (const CodeSegment& s : program.segments)
        n += static_cast<uint64_t>(std::max(0, s.lower.steps));
    return n;
}

}  // namespace korvex::testing
