// kvcard run as a program against a card played by the test over a pseudo-terminal.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "controller/link/records.h"
#include "controller/link/tests/scripted_card.h"

namespace korvex {
namespace {

using testing::Bytes;
using testing::Join;
using testing::Report;
using testing::Response;
using testing::ScriptedCard;

struct ToolRun {
    std::string out;
    int status = -1;
};

ToolRun kvcard(const std::string& args) {
    ToolRun run;
    const std::string line = std::string(KVCARD_PATH) + " " + args + " 2>/dev/null";
    std::FILE* pipe = ::popen(line.c_str(), "r");
    if (pipe == nullptr) return run;
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) run.out.append(buf, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class KvcardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(card.ok());
        // A directory of this test's own for the diagnostics a failed command leaves behind.
        std::string pattern = (std::filesystem::temp_directory_path() / "kvcard_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dataDir = pattern;
        ::setenv("KORVEX_DATA_DIR", dataDir.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dataDir, ignored);
    }
    std::string port() const { return "--port " + card.device() + " "; }
    ScriptedCard card;
    std::string dataDir;
};

TEST_F(KvcardTest, PrintsResultAndPayloadAfterConnecting) {
    card.setScript([](const FrameView& r, std::size_t) {
        return r.type == cmdcode::CMD_GET_CARD_ID ? Response(r.type, 0, {0xEF, 0xBE, 0xAD, 0xDE}) : Response(r.type);
    });
    const ToolRun run = kvcard(port() + "get-card-id");
    EXPECT_EQ(run.out, "result=0\npayload=efbeadde\n");
    EXPECT_EQ(run.status, 0);
    const auto r = card.requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].view.type, 0x7F);
    EXPECT_EQ(r[1].view.type, 0x00);
    EXPECT_EQ(r[1].view.sequence, 0);
}

TEST_F(KvcardTest, CommandsWithArgumentsAndRaw) {
    struct Case {
        std::string args;
        uint8_t type;
        Bytes payload;
    };
    const std::vector<Case> cases = {
        {"set-machine-name ab", 0x0C, {'a', 'b'}},
        {"set-direction 1", 0x23, {1}},
        {"set-segment-stops 1 2 258", 0x24, {1, 0, 0, 0, 2, 0, 0, 0, 2, 1, 0, 0}},
        {"adjust-border 4", 0x1E, {4}},
        {"raw 0x3b 0102 0", 0x3B, {1, 2}},
    };
    for (const Case& c : cases) {
        const std::size_t before = card.requestCount();
        const ToolRun run = kvcard(port() + "--no-connect " + c.args);
        EXPECT_EQ(run.out, "result=0\npayload=\n") << c.args;
        EXPECT_EQ(run.status, 0);
        const auto r = card.requests();
        ASSERT_EQ(r.size(), before + 1) << c.args;
        EXPECT_EQ(r.back().view.type, c.type) << c.args;
        EXPECT_EQ(Bytes(r.back().view.payload, r.back().view.payload + r.back().view.payloadLength), c.payload)
            << c.args;
    }
}

TEST_F(KvcardTest, RefusedArgumentsAndFailuresExitWithOne) {
    const ToolRun refused = kvcard(port() + "--no-connect set-segment-stops 1 2 3 4 5 6 7 8 9 10 11");
    EXPECT_EQ(refused.out, "result=-1\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(card.requestCount(), 0u);

    const ToolRun unknown = kvcard(port() + "--no-connect no-such-thing");
    EXPECT_EQ(unknown.status, 1);
    const ToolRun badNumber = kvcard(port() + "--no-connect set-direction x");
    EXPECT_EQ(badNumber.status, 1);
    EXPECT_EQ(card.requestCount(), 0u) << "a typing error never reaches the card";

    card.setScript([](const FrameView& r, std::size_t) { return Response(r.type, 3); });
    const ToolRun failed = kvcard(port() + "--no-connect keep-alive");
    EXPECT_EQ(failed.out, "result=-1\n");
    EXPECT_EQ(failed.status, 1);
}

TEST_F(KvcardTest, ListenPrintsReports) {
    // The report comes ahead of the answer, so it has surely been handed over by the time the
    // command returns; it is printed after the result all the same.
    card.setScript([](const FrameView& r, std::size_t) {
        return Join({Report(2, {1, 2, 3, 4, 5, 6, 7, 0xAB}), Response(r.type)});
    });
    const ToolRun run = kvcard(port() + "--no-connect --listen 0 keep-alive");
    EXPECT_EQ(run.out.substr(0, 26), "result=0\npayload=\nreport t");
    EXPECT_NE(run.out.find("report type=2 data=01020304050607ab\n"), std::string::npos) << run.out;
}

TEST_F(KvcardTest, LinkFilesGoToTheLogFolderNeverToTheCurrentDirectory) {
    // Answers of another command are retried at once, so the command fails after all its
    // attempts without waiting for time-outs, and the link writes its last frames.
    card.setScript([](const FrameView& r, std::size_t) { return Response(static_cast<uint8_t>(r.type + 1)); });
    const std::filesystem::path cwd = std::filesystem::path(dataDir) / "cwd";
    std::filesystem::create_directories(cwd);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(cwd);
    const std::filesystem::path chosen = std::filesystem::path(dataDir) / "chosen" / "logs";
    const ToolRun byEnvironment = kvcard(port() + "--no-connect keep-alive");
    const ToolRun byOption = kvcard(port() + "--log-dir '" + chosen.string() + "' --no-connect keep-alive");
    const ToolRun noFolder = kvcard(port() + "--log-dir");
    std::filesystem::current_path(previous);

    EXPECT_EQ(byEnvironment.out, "result=-1\n");
    EXPECT_EQ(byOption.out, "result=-1\n");
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_TRUE(std::filesystem::is_empty(cwd));
    for (const std::filesystem::path& dir : {std::filesystem::path(dataDir) / "log", chosen}) {
        std::ifstream file(dir / "00000000_Link.txt");
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_NE(text.str().find("Command 0x3b failed after 3 attempts"), std::string::npos) << dir;
    }
}

}  // namespace
}  // namespace korvex
