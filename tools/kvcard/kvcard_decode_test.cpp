// kvcard --decode run as a program against the virtual card, whose memory file holds a known work
// record, over a pseudo-terminal.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "controller/link/records.h"
#include "sim/card/card_server.h"
#include "sim/card/memory_file.h"

namespace korvex {
namespace {

std::string run(const std::string& args, int* status) {
    std::string out;
    const std::string line = std::string(KVCARD_PATH) + " " + args + " 2>/dev/null";
    std::FILE* pipe = ::popen(line.c_str(), "r");
    if (pipe == nullptr) return out;
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int s = ::pclose(pipe);
    *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return out;
}

TEST(KvcardDecode, WorkRecordOfARestartedVirtualCardIsOneLineWithTheTitleLast) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kvcard-decode-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string statePath = (dir / "card.mem").string();

    WorkRecord record;
    record.kind = kWorkRecordReturn;
    // A title with blanks, a "=" and a control byte: it must still end the line, readable.
    ASSERT_EQ(record.load.setTitle("part 7 = a\tb.3b"), 0);
    record.load.rangeFirst = 2;
    record.load.rangeLast = 9;
    record.work.segment = 4;
    record.work.lower = {120, 3000, -40};
    record.work.upper = {118, 2990, -35};
    record.work.guideX = 3000;
    record.work.guideY = -40;
    record.work.guideU = 10;
    record.work.guideV = -10;
    record.work.loopIndex = 1;
    record.returnSegment = 3;
    record.returnDistances = {-500, 200, 0, 7};
    sim::CardMemory memory;
    encodeSettingsBlock(sim::defaultSettings(), memory.settings);
    encodeWorkRecord(record, memory.record);
    std::string error;
    ASSERT_EQ(sim::writeMemoryFile(statePath, memory, error), 0) << error;

    sim::ServerOptions options;
    options.statePath = statePath;
    options.manualClock = true;
    options.pcSilenceMs = 0;
    sim::CardServer card(options);
    ASSERT_EQ(card.start(), 0) << card.error();

    int status = -1;
    const std::string out = run("--port " + card.devicePath() + " --decode get-work-record", &status);
    EXPECT_EQ(status, 0);
    const std::size_t first = out.find('\n'), second = out.find('\n', first + 1);
    ASSERT_NE(second, std::string::npos) << out;
    EXPECT_EQ(out.substr(0, first), "result=0");
    EXPECT_EQ(out.substr(first + 1, 8), "payload=");
    EXPECT_EQ(out.substr(second + 1),
              "kind=0x22 segment=4 lower=120,3000,-40 upper=118,2990,-35 guides=3000,-40,10,-10 loop=1 "
              "range=2,9 return=3:-500,200,0,7 title=part 7 = a?b.3b\n");

    // --decode on a command it cannot decode is a usage error; nothing is sent.
    EXPECT_EQ(run("--port " + card.devicePath() + " --decode get-card-id", &status), "");
    EXPECT_EQ(status, 1);
    card.stop();
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace korvex
