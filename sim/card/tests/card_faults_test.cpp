// The card faults a controller test injects: refused commands and reports raised on demand,
// both applied through the control commands and seen by a real link on the pseudo-terminal.
#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>

#include "sim/card/control.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

const char* kProgram = "N 1: B 9000 B 0 B 9000 GX L1;\nN 2: B 0 B 9000 B 9000 GY L2;\nN 3: DD\n";

int tell(CardServer& server, const std::string& line) {
    std::string reply;
    const int r = applyControlCommand(server, line, reply);
    EXPECT_EQ(r == 0, reply == "ok") << line << " -> " << reply;
    return r;
}

TEST(CardFaults, RefusedCommandsAreAnsweredRefusedWithoutActingOrRetrying) {
    const std::filesystem::path trace =
        std::filesystem::temp_directory_path() / ("kvcardsim-refuse-" + std::to_string(::getpid()) + ".jsonl");
    ServerOptions options = virtualCardOptions();
    options.tracePath = trace.string();
    CardServer server(options);
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server);
    ASSERT_EQ(pc.connect(), 0);
    const Program program = loadThreeB(kProgram);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
    server.advance(100000);

    ASSERT_EQ(tell(server, "refuse CMD_STOP 2"), 0);
    StatusBlock status;
    EXPECT_EQ(CMD_STOP(pc.link(), &status), -1);
    EXPECT_EQ(CMD_STOP(pc.link(), &status), -1);
    EXPECT_EQ(server.withEngine([](CardEngine& e) { return e.runState(); }), kRunCutting)
        << "a refused stop must leave the wire running";
    EXPECT_EQ(server.counters().retries, 0u) << "a refusal is final: the link does not send it again";
    EXPECT_TRUE(pc.linkFailures.empty()) << "a refusal is no lost link";
    // Other commands are not affected, and the third stop is executed.
    PositionBlock position;
    EXPECT_EQ(CMD_GET_POSITION(pc.link(), &position), 0);
    EXPECT_EQ(CMD_STOP(pc.link(), &status), 0);
    EXPECT_EQ(status.runState, kRunPaused);

    // The default count is one; "refuse X 0" ends the fault early.
    ASSERT_EQ(tell(server, "refuse set-motor"), 0);
    EXPECT_EQ(CMD_SET_MOTOR(pc.link(), true), -1);
    EXPECT_EQ(CMD_SET_MOTOR(pc.link(), true), 0);
    ASSERT_EQ(tell(server, "refuse CMD_SET_HF 5"), 0);
    ASSERT_EQ(tell(server, "refuse CMD_SET_HF 0"), 0);
    EXPECT_EQ(CMD_SET_HF(pc.link(), true), 0);
    server.stop();

    // The trace shows each refused request with status 1.
    std::ifstream in(trace);
    int refusedStops = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find("\"cmd\":\"CMD_STOP\"") != std::string::npos && line.find("\"status\":1") != std::string::npos)
            ++refusedStops;
    EXPECT_EQ(refusedStops, 2);
    std::filesystem::remove(trace);
}

TEST(CardFaults, InjectedReportsReachTheEventHookInOrder) {
    CardServer server(virtualCardOptions());
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server);
    ASSERT_EQ(pc.connect(), 0);
    const Program program = loadThreeB(kProgram);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(tell(server, "report 2 0000000001000000"), 0);
    ASSERT_EQ(tell(server, "report 1 0310000000000000"), 0);
    ASSERT_EQ(tell(server, "report 4 0000030000000000"), 0);
    pc.runFor(1);  // collects what arrived, answering the segment report with its window
    ASSERT_EQ(pc.segmentsReached.size(), 1u);
    EXPECT_EQ(pc.segmentsReached[0], 1);
    ASSERT_EQ(pc.events.size(), 2u);
    EXPECT_EQ(pc.events[0].code, 1);
    EXPECT_EQ(pc.events[0].mode(), 3);
    EXPECT_EQ(pc.events[0].kind(), 16);
    EXPECT_EQ(pc.events[1].code, 4);
    EXPECT_EQ(pc.events[1].data[2], 3);
}

TEST(CardFaults, BadFaultCommandsAreExplained) {
    CardServer server(virtualCardOptions());
    ASSERT_EQ(server.start(), 0) << server.error();
    struct Case {
        const char* line;
        const char* replyStart;
    };
    const Case cases[] = {
        {"refuse", "error: usage: refuse CMD_NAME [N]"},
        {"refuse CMD_NOTHING", "error: unknown card command 'CMD_NOTHING'"},
        {"refuse CMD_STOP -1", "error: usage: refuse CMD_NAME [N]"},
        {"refuse CMD_STOP 1 2", "error: usage: refuse CMD_NAME [N]"},
        {"report 2", "error: usage: report TYPE HEX"},
        {"report 256 0000000000000000", "error: usage: report TYPE HEX"},
        {"report 2 00000000070000", "error: usage: report TYPE HEX"},
        {"report 2 00000000070000zz", "error: usage: report TYPE HEX"},
        {"report 2 +0000000070000000", "error: usage: report TYPE HEX"},
    };
    for (const Case& c : cases) {
        std::string reply;
        EXPECT_EQ(applyControlCommand(server, c.line, reply), -1) << c.line;
        EXPECT_EQ(reply.rfind(c.replyStart, 0), 0u) << c.line << " -> " << reply;
    }
}

}  // namespace
}  // namespace korvex::sim::testing
