// The recovery soak's driver: the controller's objects with the scripted operator, run as their
// own process against a virtual card in another process, so that the soak can kill it at any
// moment. Start-up runs the recovery; a restored cut is continued, otherwise the program is
// opened and cut; the run ends at "Finished".
//
// usage: recovery_soak_driver DEVICE PROGRAM [--reverse] [--ignore-pause] [--loops N]
//   the data directory is $KORVEX_DATA_DIR; PROGRAM is copied there from the examples once.
//   A restored work is continued once a line arrives on standard input (the soak first reads
//   where the card stands, or kills the driver there); at the end of the input the driver ends.
//
// Standard output, one line each, flushed at once so that a killed driver's lines are all there:
//   recovery OUTCOME questions N
//   restored segment S lower STEPS,X,Y upper STEPS,X,Y guides X,Y,U,V loop L
//   cut
//   segment S            (each segment the card reported reaching)
//   finished             (or "failed WHAT")
#include "controller/tests/recovery_run.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

using namespace korvex;
using namespace korvex::testing;

namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int fail(const std::string& what) {
    say("failed " + what);
    return 1;
}

std::string describeRestored(const WorkParams& w) {
    char text[256];
    std::snprintf(text, sizeof text, "restored segment %d lower %d,%d,%d upper %d,%d,%d guides %d,%d,%d,%d loop %d",
                  w.segment, w.lower.steps, w.lower.x, w.lower.y, w.upper.steps, w.upper.x, w.upper.y, w.guideX,
                  w.guideY, w.guideU, w.guideV, w.loopIndex);
    return text;
}

bool finishedShown(const ControllerRun& c) {
    const QString finished = qtTrId("61622");
    for (const auto& m : c.operatorUi.messages)
        if (m.text.contains(finished))
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: recovery_soak_driver DEVICE PROGRAM [--reverse] [--ignore-pause] [--loops N]\n", stderr);
        return 2;
    }
    SoakProgram program{argv[2]};
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reverse") == 0)
            program.reverse = true;
        else if (std::strcmp(argv[i], "--ignore-pause") == 0)
            program.ignorePause = true;
        else if (std::strcmp(argv[i], "--loops") == 0 && i + 1 < argc)
            program.loops = std::atoi(argv[++i]);
        else
            return fail(std::string("unknown option ") + argv[i]);
    }
    const QString dataDir = qEnvironmentVariable("KORVEX_DATA_DIR");
    if (dataDir.isEmpty())
        return fail("KORVEX_DATA_DIR not set");
    ensureApplication();

    ControllerRun c;
    c.script(QString::fromLocal8Bit(argv[1]));
    c.onReport = [](int segment) { say("segment " + std::to_string(segment)); };
    if (!c.start())
        return fail("start-up: " + c.describeOperator());
    say("recovery " + std::to_string(static_cast<int>(c.recovery.lastOutcome())) + " questions " +
        std::to_string(c.operatorUi.questions.size()));
    if (c.document.recoveryMark().has_value()) {
        say(describeRestored(c.document.recoveryMark()->work));
        std::string go;
        if (!std::getline(std::cin, go))
            return fail("no word to continue");
        c.pressCut();
    } else {
        const std::string fault = c.beginCut(program, dataDir, QStringLiteral(KORVEX_EXAMPLES_DIR));
        if (!fault.empty())
            return fail(fault);
    }
    say("cut");
    // A whole cut on a slow card takes a while; the soak bounds its own waits.
    if (!processUntil([&] { return finishedShown(c) || !c.quitStatuses.empty(); }, 3600 * 1000))
        return fail("no finish");
    if (!finishedShown(c))
        return fail("link lost: " + c.describeOperator());
    say("finished");
    c.machine->worker().stop();
    c.link.close();
    return 0;
}
