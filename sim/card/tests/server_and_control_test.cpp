// The transport's own behaviour (PC silence, memory file) and the control commands.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "sim/card/control.h"
#include "sim/card/memory_file.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

const char* kLine = "N 1: B 9000 B 0 B 9000 GX L1;\nN 2: DD\n";

std::filesystem::path scratch(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("kvcardsim-" + name + "-" + std::to_string(::getpid()));
}

TEST(CardServer, CardStopsWhenThePcFallsSilentAndKeepsItsRecord) {
    ServerOptions options = virtualCardOptions();
    options.pcSilenceMs = 2000;
    CardServer server(options);
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server);
    ASSERT_EQ(pc.connect(), 0);
    const Program program = loadThreeB(kLine);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
    server.advance(1500000);
    EXPECT_EQ(server.withEngine([](CardEngine& e) { return e.runState(); }), kRunCutting);
    server.advance(10000000);  // the deadline falls inside this step
    const WorkParams stopped = server.withEngine([](CardEngine& e) { return e.position(); });
    EXPECT_EQ(server.withEngine([](CardEngine& e) { return e.runState(); }), kRunStoppedByCard);
    EXPECT_EQ(stopped.lower.steps, 300) << "stopped at the deadline: 2 s at 150 steps/s";
    WorkRecord record;
    ASSERT_EQ(CMD_GET_WORK_RECORD(pc.link(), &record), 0);
    EXPECT_EQ(record.kind, kWorkRecordCut);
    EXPECT_EQ(record.work.lower.steps, 300);
}

TEST(CardServer, HeldCardStaysMidSegmentAnswersAndMovesOnWhenReleased) {
    CardServer server(virtualCardOptions());
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server);
    ASSERT_EQ(pc.connect(), 0);
    const Program program = loadThreeB(kLine);
    pc.load(program, 0, program.count() - 1, false);
    ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);
    server.advance(1000000);
    auto steps = [&] { return server.withEngine([](CardEngine& e) { return e.position().lower.steps; }); };
    const int32_t before = steps();
    server.setHold(true);
    server.advance(20000000);  // longer than the whole segment takes
    EXPECT_EQ(steps(), before);
    EXPECT_EQ(server.withEngine([](CardEngine& e) { return e.runState(); }), kRunCutting);
    WorkRecord record;
    EXPECT_EQ(CMD_GET_WORK_RECORD(pc.link(), &record), 0) << "the line answers while held";
    server.setHold(false);
    server.advance(1000000);
    EXPECT_EQ(steps(), before + 150) << "one second's steps, none owed for the held time";
}

TEST(CardServer, BaudRatePacesRequestsAndAnswersOnTheLine) {
    ServerOptions options = virtualCardOptions();
    options.baud = 19200;
    CardServer server(options);
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc(server, 2000);
    ASSERT_EQ(pc.connect(), 0);
    const Program program = loadThreeB(kLine);
    pc.load(program, 0, program.count() - 1, false);
    const auto before = std::chrono::steady_clock::now();
    ASSERT_EQ(CMD_SEND_SEGMENTS(pc.link(), pc.windowAround(0)), 0);
    const auto took = std::chrono::steady_clock::now() - before;
    // 283 bytes in and 19 bytes back at 1920 bytes a second: the line alone needs 157 ms.
    EXPECT_GE(took, std::chrono::milliseconds((283 + 19) * 1000 / 1920));
}

TEST(CardServer, MemoryFileRoundTripsAndAForeignFileIsLeftAlone) {
    const std::filesystem::path dir = scratch("memory");
    std::filesystem::create_directories(dir);
    CardMemory memory;
    memory.settings[5] = 0x5A;
    memory.record[0] = kWorkRecordCut;
    memory.record[247] = 0x77;
    std::string error;
    const std::string path = (dir / "card.mem").string();
    ASSERT_EQ(writeMemoryFile(path, memory, error), 0) << error;
    CardMemory back;
    EXPECT_EQ(readMemoryFile(path, back, error), 1);
    EXPECT_EQ(back.settings, memory.settings);
    EXPECT_EQ(back.record, memory.record);
    EXPECT_EQ(readMemoryFile((dir / "none.mem").string(), back, error), 0);

    const std::string foreign = (dir / "notes.txt").string();
    std::ofstream(foreign) << "operator notes\n";
    ServerOptions options = virtualCardOptions(foreign);
    CardServer server(options);
    EXPECT_EQ(server.start(), -1);
    EXPECT_NE(server.error().find("not a virtual card memory"), std::string::npos) << server.error();
    server.stop();
    std::ifstream in(foreign);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "operator notes");
    std::filesystem::remove_all(dir);
}

TEST(ControlCommands, ApplyOrExplainWhatIsWrong) {
    CardServer server(virtualCardOptions());
    ASSERT_EQ(server.start(), 0) << server.error();
    struct Case {
        const char* line;
        int result;
        const char* replyStart;
    };
    const Case cases[] = {
        {"silence on", 0, "ok"},
        {"silence off", 0, "ok"},
        {"silence", -1, "error: usage: silence on|off"},
        {"hold on", 0, "ok"},
        {"hold off", 0, "ok"},
        {"hold", -1, "error: usage: hold on|off"},
        {"noise 16", 0, "ok"},
        {"noise 0", -1, "error: usage: noise N"},
        {"noise many", -1, "error: usage: noise N"},
        {"delay 250", 0, "ok"},
        {"delay 0", 0, "ok"},
        {"delay -5", -1, "error: usage: delay MS"},
        {"drop-response", 0, "ok"},
        {"corrupt-response", 0, "ok"},
        {"duplicate-response", 0, "ok"},
        {"short", -1, "error: the card is not cutting"},
        {"short 5", -1, "error: the card is not cutting"},
        {"short 0", -1, "error: usage: short [S]"},
        {"short 5 6", -1, "error: usage: short [S]"},
        {"break", -1, "error: no wire is running"},
        {"break now", -1, "error: break takes no argument"},
        {"status", 0, "state 0 sub 0"},
        {"", -1, "error: empty command"},
        {"explode", -1, "error: unknown command 'explode'"},
        {"powerloss", 0, "ok"},
    };
    for (const Case& c : cases) {
        std::string reply;
        EXPECT_EQ(applyControlCommand(server, c.line, reply), c.result) << c.line;
        EXPECT_EQ(reply.rfind(c.replyStart, 0), 0u) << c.line << " -> " << reply;
    }
    EXPECT_TRUE(server.poweredOff());
}

}  // namespace
}  // namespace korvex::sim::testing
