// The link against a card played by the test over a real pseudo-terminal pair.
#include "controller/link/card_link.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <regex>
#include <sstream>
#include <thread>

#include "controller/link/commands.h"
#include "controller/link/trace.h"
#include "controller/link/tests/scripted_card.h"

namespace korvex {
namespace {

using testing::Bytes;
using testing::Report;
using testing::Response;
using testing::ScriptedCard;

constexpr int kShortTimeoutMs = 80;  // for cards that stay silent on purpose

struct HookCall {
    uint8_t code;
    Bytes record;
};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(card.ok());
        dir = std::filesystem::temp_directory_path() /
              ("korvex_link_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        link.reset();
        std::filesystem::remove_all(dir);
    }

    void open(int timeoutMs = kResponseTimeoutMs) {
        LinkOptions options;
        options.responseTimeoutMs = timeoutMs;
        options.connectPauseMs = 0;
        options.logDir = (dir / "log").string();
        link = std::make_unique<CardLink>(options);
        ASSERT_EQ(link->SetEventHook([this](uint8_t code, const uint8_t* rec) {
            std::lock_guard lock(hookMutex);
            hooks.push_back({code, Bytes(rec, rec + 8)});
        }), 0);
        ASSERT_EQ(link->Open(card.device()), 0);
    }
    std::vector<HookCall> hookCalls() {
        std::lock_guard lock(hookMutex);
        return hooks;
    }

    ScriptedCard card;
    std::filesystem::path dir;
    std::unique_ptr<CardLink> link;
    std::mutex hookMutex;
    std::vector<HookCall> hooks;
};

TEST_F(LinkTest, WorkedFramesGoOnTheWireByteForByte) {
    open();
    ASSERT_EQ(CMD_CONNECT(*link), 0);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);
    ASSERT_EQ(CMD_SET_MACHINE_NAME(*link, "abc"), 0);
    const auto r = card.requests();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].raw, (Bytes{0xB7, 0xBA, 0xBE, 0xBB, 0xBA, 0xAD, 0x00, 0x05, 0x00, 0x00, 0x7F, 0x00, 0x7F, 0xAB,
                               0xBE, 0xB6, 0xB3, 0xBA, 0xAD}));
    EXPECT_EQ(r[4].raw, (Bytes{0xB7, 0xBA, 0xBE, 0xBB, 0xBA, 0xAD, 0x00, 0x08, 0x00, 0x03, 0x0C,
                               0x00, 0x61, 0x62, 0x63, 0x6F, 0xAB, 0xBE, 0xB6, 0xB3, 0xBA, 0xAD}));
}

TEST_F(LinkTest, SequenceRestartsAfterConnectAndWraps) {
    open();
    ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);  // 0
    ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);  // 1
    ASSERT_EQ(CMD_CONNECT(*link), 0);     // 0, counter back to 0
    for (int i = 0; i < 257; ++i) ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);
    const auto r = card.requests();
    ASSERT_EQ(r.size(), 260u);
    EXPECT_EQ(r[1].view.sequence, 1);
    EXPECT_EQ(r[2].view.sequence, 0);
    EXPECT_EQ(r[2].view.type, 0x7F);
    for (std::size_t i = 3; i < 260; ++i) EXPECT_EQ(r[i].view.sequence, (i - 3) % 256) << i;
}

TEST_F(LinkTest, NoiseSplitAnswersAndTheRingWrapAreHandledOnTheLine) {
    // Noise before the answer; the answer arrives in two pieces; 287-byte answers in a row carry
    // the reader's queue across its end several times.
    const Bytes split = Response(cmdcode::CMD_GET_HF_LEVEL, 0, {4, 3, 2, 1});
    card.setScript([&split](const FrameView& r, std::size_t i) {
        if (i == 0) return testing::Join({Bytes{0x00, 0xB7, 0xBA, 0x55}, Response(r.type, 0, {1, 0, 0, 0})});
        if (i == 1) return Bytes(split.begin(), split.begin() + 9);
        Bytes state(kStateBlockBytes, static_cast<uint8_t>(i));
        return Response(r.type, 0, state);
    });
    open();
    int32_t level = 0;
    ASSERT_EQ(CMD_GET_HF_LEVEL(*link, &level), 0);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(link->Stats().noiseBytes, 4u);

    std::thread rest([&] {
        card.waitForRequests(2);
        card.send(Bytes(split.begin() + 9, split.end()));
    });
    ASSERT_EQ(CMD_GET_HF_LEVEL(*link, &level), 0);
    rest.join();
    EXPECT_EQ(level, 0x01020304);

    for (int i = 2; i < 12; ++i) {
        StateBlock state;
        ASSERT_EQ(CMD_GET_STATE(*link, &state), 0) << i;
        EXPECT_EQ(state.image[0], i);
        EXPECT_EQ(state.image[267], i);
    }
    EXPECT_EQ(link->Stats().framesRejected, 0u);
}

TEST_F(LinkTest, SilentCardFailsAfterThreeAttemptsAndTellsTheHook) {
    card.setScript([](const FrameView&, std::size_t) { return Bytes{}; });
    open(kShortTimeoutMs);
    EXPECT_EQ(CMD_CONNECT(*link), -1);
    EXPECT_EQ(card.requestCount(), 3u);
    EXPECT_TRUE(hookCalls().empty()) << "a failed connect is reported by its caller, not the hook";

    int32_t level = 0;
    EXPECT_EQ(CMD_GET_HF_LEVEL(*link, &level), -1);
    EXPECT_EQ(card.requestCount(), 6u);
    const auto calls = hookCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].code, 0);
    EXPECT_EQ(calls[0].record[1], 0x31);
    const auto r = card.requests();
    EXPECT_EQ(r[3].raw, r[4].raw);
    EXPECT_EQ(r[4].raw, r[5].raw);
    const LinkStats s = link->Stats();
    EXPECT_EQ(s.timeouts, 6u);
    EXPECT_EQ(s.transactionsFailed, 2u);

    // The frames of the failed transaction are kept for service.
    std::ifstream diag(dir / "log" / "00000000_Link.txt");
    std::stringstream text;
    text << diag.rdbuf();
    EXPECT_NE(text.str().find("Command 0x31 failed after 3 attempts"), std::string::npos);
    EXPECT_NE(text.str().find("PC->card  19: b7 ba be bb ba ad 00 05 00"), std::string::npos);
}

TEST_F(LinkTest, LostLinkHookRunsAfterTheTransactionLockIsReleased) {
    // The card stays silent for the three attempts of the first command, then answers. A hook
    // whose message makes another thread send a command at once must see that command through.
    card.setScript([](const FrameView& r, std::size_t i) { return i < 3 ? Bytes{} : Response(r.type); });
    LinkOptions options;
    options.responseTimeoutMs = kShortTimeoutMs;
    options.connectPauseMs = 0;
    link = std::make_unique<CardLink>(options);
    auto done = std::make_shared<std::promise<int>>();
    std::future<int> other = done->get_future();
    bool finishedInHook = false;
    link->SetEventHook([&](uint8_t code, const uint8_t*) {
        if (code != 0) return;
        // Detached so that a link still held by the failed transaction shows as a failure here
        // rather than as a hang; the command gets through once the hook has returned.
        std::thread([this, done] { done->set_value(CMD_KEEP_ALIVE(*link)); }).detach();
        finishedInHook = other.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    });
    ASSERT_EQ(link->Open(card.device()), 0);
    EXPECT_EQ(CMD_SET_HF(*link, false), -1);
    EXPECT_TRUE(finishedInHook) << "the failed transaction still held the link while the hook ran";
    EXPECT_EQ(other.get(), 0);
    EXPECT_EQ(card.requestCount(), 4u);
}

TEST_F(LinkTest, RefusedCommandFailsAtOnce) {
    card.setScript([](const FrameView& r, std::size_t) { return Response(r.type, 1); });
    open();
    EXPECT_EQ(CMD_SET_MOTOR(*link, true), -1);
    EXPECT_EQ(card.requestCount(), 1u);
    EXPECT_TRUE(hookCalls().empty());
}

TEST_F(LinkTest, WrongResponseTypeSendsTheSameFrameAgain) {
    card.setScript([](const FrameView& r, std::size_t i) {
        return i == 0 ? Response(static_cast<uint8_t>(r.type + 1)) : Response(r.type, 0, {1, 2, 3, 4});
    });
    open();
    uint32_t id = 0;
    ASSERT_EQ(CMD_GET_CARD_ID(*link, &id), 0);
    EXPECT_EQ(id, 0x04030201u);
    EXPECT_EQ(link->CardId(), 0x04030201u);
    const auto r = card.requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].raw, r[1].raw);
    EXPECT_EQ(link->Stats().wrongType, 1u);
}

TEST_F(LinkTest, OversizeAnswerFailsWithoutCopying) {
    card.setScript([](const FrameView& r, std::size_t) { return Response(r.type, 0, Bytes(5, 0xEE)); });
    open();
    uint8_t buf[4] = {0, 0, 0, 0};
    std::size_t got = 99;
    EXPECT_EQ(link->Transaction(0x31, nullptr, 0, buf, sizeof buf, &got), -1);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(card.requestCount(), 1u);
    EXPECT_TRUE(hookCalls().empty());
}

TEST_F(LinkTest, ShortAnswerOfAFixedRecordFails) {
    card.setScript([](const FrameView& r, std::size_t) { return Response(r.type, 0, Bytes(100, 1)); });
    open();
    StateBlock state;
    EXPECT_EQ(CMD_GET_STATE(*link, &state), -1);
}

TEST_F(LinkTest, ReportsAndResponseInOneReadArriveInStreamOrder) {
    card.setScript([](const FrameView& r, std::size_t) {
        return testing::Join({Report(1, {6, 9, 0, 0, 0, 0, 0, 0}), Report(2, {0, 0, 0, 0, 7, 0, 0, 0}),
                              Response(r.type, 0, {5, 0})});
    });
    open();
    RunState rs;
    ASSERT_EQ(CMD_GET_RUN_STATE(*link, &rs), 0);
    EXPECT_EQ(rs.state, 5);
    const auto calls = hookCalls();
    ASSERT_EQ(calls.size(), 2u) << "reports are handed over before the response that follows them";
    EXPECT_EQ(calls[0].code, 1);
    EXPECT_EQ(calls[0].record[1], 9);
    EXPECT_EQ(calls[1].code, 2);
    EXPECT_EQ(calls[1].record[4], 7);
    EXPECT_EQ(link->ReportCount(), 2);
}

TEST_F(LinkTest, ReportOrBrokenFrameNeverSatisfiesAWait) {
    // First attempt: a report of the command's own code, then a response with a bad check byte
    // and one with a bad length field; only the second attempt gets a sound answer.
    card.setScript([](const FrameView& r, std::size_t i) {
        if (i > 0) return Response(r.type, 0, {9, 9, 9, 9});
        Bytes badCheck = Response(r.type, 0, {1, 1, 1, 1});
        badCheck[16] ^= 0xFF;
        Bytes badLength = Response(r.type, 0, {2, 2, 2, 2});
        badLength[7] = 8;
        return testing::Join({Report(static_cast<uint8_t>(r.type + 0x80), Bytes(8, 3)), badCheck, badLength});
    });
    open(500);
    int32_t level = 0;
    ASSERT_EQ(CMD_GET_HF_LEVEL(*link, &level), 0);
    EXPECT_EQ(level, 0x09090909);
    EXPECT_EQ(card.requestCount(), 2u);
    const LinkStats s = link->Stats();
    EXPECT_EQ(s.rejectedBy[static_cast<std::size_t>(FrameFault::Check)], 1u);
    EXPECT_GT(s.noiseBytes, 0u) << "the frame with the wrong length is dropped by the cutter";
    EXPECT_EQ(hookCalls().size(), 1u);
}

TEST_F(LinkTest, SecondAnswerToARequestCannotAnswerTheNext) {
    card.setScript([](const FrameView& r, std::size_t i) {
        if (i == 0) return testing::Join({Response(r.type, 0, {1, 0, 0, 0}), Response(r.type, 0, {2, 0, 0, 0})});
        return Response(r.type, 0, {3, 0, 0, 0});
    });
    open();
    int32_t level = 0;
    ASSERT_EQ(CMD_GET_HF_LEVEL(*link, &level), 0);
    EXPECT_EQ(level, 1);
    // The second answer may still be on its way: wait until the reader has dropped it, however
    // slowly a loaded machine schedules it, before the next request arms the slot again.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (link->Stats().strayResponses == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(link->Stats().strayResponses, 1u);
    ASSERT_EQ(CMD_GET_HF_LEVEL(*link, &level), 0);
    EXPECT_EQ(level, 3);
}

std::mutex gTraceMutex;
std::string gTraced;
void captureTrace(const char* text) {
    std::lock_guard lock(gTraceMutex);
    gTraced += text;
}

TEST_F(LinkTest, ArgumentChecksSendNothing) {
    open();
    const int32_t eleven[11] = {};
    struct Case {
        const char* name;
        std::function<int()> call;
        const char* trace;
    };
    const std::vector<Case> refused = {
        {"name of 33 bytes", [&] { return CMD_SET_MACHINE_NAME(*link, std::string(33, 'n')); },
         "ERROR: len > MAX_MASHINE_NAME_LEN\n"},
        {"empty name", [&] { return CMD_SET_MACHINE_NAME(*link, ""); }, "ERROR: machine name is empty\n"},
        {"11 stops", [&] { return CMD_SET_SEGMENT_STOPS(*link, eleven); }, "ERROR: count > MAX_SEG_STOP_COUNT!\n"},
        {"border direction 3", [&] { return CMD_ADJUST_BORDER(*link, 3); }, "ERROR: JudgeSpeed is wrong!\n"},
        {"direction 2", [&] { return CMD_SET_DIRECTION(*link, 2); }, "ERROR: Dirc is wrong!\n"},
        {"loops 256", [&] { return CMD_SET_LOOP(*link, 256); }, "ERROR: loop count is wrong!\n"},
        {"feed 0", [&] { return CMD_SET_FEED(*link, FeedEntry{}, 0); }, "ERROR: feed value is wrong!\n"},
    };
    for (const Case& c : refused) {
        gTraced.clear();
        SetTraceSink(captureTrace);
        EXPECT_EQ(c.call(), -1) << c.name;
        SetTraceSink(nullptr);
        EXPECT_EQ(gTraced, c.trace) << c.name;
        ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);
        const auto r = card.requests();
        EXPECT_EQ(r.back().view.type, 0x3B) << c.name << " put a frame on the wire";
        EXPECT_EQ(r.size(), static_cast<std::size_t>(&c - refused.data()) + 1);
    }
    // The limits themselves are sent.
    EXPECT_EQ(CMD_SET_MACHINE_NAME(*link, std::string(32, 'n')), 0);
    EXPECT_EQ(card.requests().back().view.payloadLength, 32u);
    const int32_t ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(CMD_SET_SEGMENT_STOPS(*link, ten), 0);
    const auto r = card.requests().back();
    ASSERT_EQ(r.view.payloadLength, 40u);
    EXPECT_EQ(GetLe32(r.view.payload + 36), 10);
    EXPECT_EQ(CMD_ADJUST_BORDER(*link, 8), 0);
    EXPECT_EQ(CMD_SET_DIRECTION(*link, 1), 0);
    EXPECT_EQ(CMD_SET_DIRECTION(*link, 0), 0);
    const auto all = card.requests();
    EXPECT_EQ(all[all.size() - 2].view.payload[0], 1);
    EXPECT_EQ(all.back().view.payload[0], 0);
}

TEST_F(LinkTest, StartSendsTheWindowFirstAndStopsWhenItFails) {
    card.setScript([](const FrameView& r, std::size_t) {
        return Response(r.type, r.type == 0x17 && r.payload[0] == 0xEE ? 1 : 0);
    });
    open();
    SegmentWindow window;
    window.indices = {4, 5, 6};
    StartPayload start;
    start.work.segment = 5;
    start.groupNext[27] = 0x77;
    ASSERT_EQ(CMD_START_CUT(*link, window, start), 0);
    auto r = card.requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].view.type, 0x17);
    EXPECT_EQ(r[0].view.payloadLength, 264u);
    EXPECT_EQ(GetLe32(r[0].view.payload + 88), 5);
    EXPECT_EQ(r[1].view.type, 0x18);
    ASSERT_EQ(r[1].view.payloadLength, 152u);
    EXPECT_EQ(GetLe32(r[1].view.payload), 5);
    EXPECT_EQ(r[1].view.payload[151], 0x77);

    window.indices[0] = 0xEE;  // the card refuses this window
    EXPECT_EQ(CMD_START_WALK(*link, window, start), -1);
    EXPECT_EQ(card.requestCount(), 3u);
}

TEST_F(LinkTest, SettingsComeBackWithTheirOpaqueBytes) {
    Bytes block(kSettingsBlockBytes);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + 1);
    card.setScript([block](const FrameView& r, std::size_t) {
        return r.type == 0x04 ? Response(r.type, 0, block) : Response(r.type);
    });
    open();
    SettingsBlock settings;
    ASSERT_EQ(CMD_GET_SETTINGS(*link, &settings), 0);
    std::array<uint8_t, kSettingsBlockBytes> image{};
    encodeSettingsBlock(settings, image);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), block.begin()));
}

TEST_F(LinkTest, CloseEndsTheReaderAndTheLinkOpensAgain) {
    open();
    ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);
    link->Close();
    EXPECT_FALSE(link->IsOpen());
    EXPECT_EQ(CMD_KEEP_ALIVE(*link), -1) << "no port, no transaction";
    ASSERT_EQ(link->Open(card.device()), 0);
    EXPECT_EQ(CMD_KEEP_ALIVE(*link), 0);
}

TEST_F(LinkTest, CloseDuringAWaitEndsTheTransactionWithoutALostLink) {
    card.setScript([](const FrameView&, std::size_t) { return Bytes{}; });
    open(60000);
    int result = 0;
    std::thread waiting([&] { result = CMD_KEEP_ALIVE(*link); });
    ASSERT_TRUE(card.waitForRequests(1));
    link->Close();
    waiting.join();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(card.requestCount(), 1u);
    EXPECT_TRUE(hookCalls().empty());
}

TEST_F(LinkTest, TransactionFromTheEventHookIsRefused) {
    card.setScript([](const FrameView& r, std::size_t) {
        return testing::Join({Report(2, Bytes(8, 1)), Response(r.type)});
    });
    LinkOptions options;
    options.connectPauseMs = 0;
    link = std::make_unique<CardLink>(options);
    std::atomic<int> fromHook{1};
    link->SetEventHook([&](uint8_t, const uint8_t*) { fromHook = CMD_KEEP_ALIVE(*link); });
    ASSERT_EQ(link->Open(card.device()), 0);
    ASSERT_EQ(CMD_KEEP_ALIVE(*link), 0);
    EXPECT_EQ(fromHook.load(), -1);
    EXPECT_EQ(card.requestCount(), 1u);
}

TEST_F(LinkTest, OpenFailureLeavesNothingOpen) {
    CardLink other;
    gTraced.clear();
    SetTraceSink(captureTrace);
    EXPECT_EQ(other.Open((dir / "no-such-device").string()), -1);
    SetTraceSink(nullptr);
    EXPECT_EQ(gTraced, "CreateFile ERROR\n");
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(other.Open("/dev/null"), -1) << "not a terminal";
    EXPECT_FALSE(other.IsOpen());
    open();
    CardLink second;
    EXPECT_EQ(second.Open(card.device()), -1) << "the port belongs to one program";
}

TEST_F(LinkTest, ErrorLogNeedsTheCardIdentityAndCutsLongLines) {
    open();
    EXPECT_EQ(link->LogError("lost %d\n", 1), -1);
    EXPECT_FALSE(std::filesystem::exists(dir / "log" / "00000000_Err.txt"));
    link->SetCardId(0x00abcdef);
    ASSERT_EQ(link->LogError("Link lost: 0x%x\n", 0x22), 0);
    ASSERT_EQ(link->LogError("%s\n", std::string(3000, 'z').c_str()), 0);
    std::ifstream log(dir / "log" / "00abcdef_Err.txt");
    std::string first, second;
    ASSERT_TRUE(std::getline(log, first));
    ASSERT_TRUE(std::getline(log, second));
    EXPECT_TRUE(std::regex_match(first, std::regex(R"(\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\] Link lost: 0x22)")))
        << first;
    EXPECT_EQ(second.size() + 1, kErrorLogLineBytes);
}

TEST(SerialPortTest, LineIsSetRaw8N1WithoutFlowControlWhateverWasLeftOnIt) {
    ScriptedCard card;
    {
        // Another program leaves the device cooked, with parity and both kinds of handshake.
        const int fd = ::open(card.device().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios tio{};
        ASSERT_EQ(tcgetattr(fd, &tio), 0);
        tio.c_cflag |= CRTSCTS | PARENB | CSTOPB;
        tio.c_iflag |= IXON | IXOFF;
        tio.c_lflag |= ICANON | ECHO;
        cfsetspeed(&tio, B9600);
        ASSERT_EQ(tcsetattr(fd, TCSANOW, &tio), 0);
        ::close(fd);
    }
    SerialPort port;
    ASSERT_EQ(port.Open(card.device()), 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & (CRTSCTS | PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
}

TEST(SerialPortTest, WriteThatCannotCompleteTimesOut) {
    // Nobody reads the master side: the line's buffers fill and the write must give up.
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    char name[128];
    ASSERT_EQ(ptsname_r(master, name, sizeof name), 0);
    SerialPort port;
    ASSERT_EQ(port.Open(name), 0);
    const std::vector<uint8_t> lots(1 << 20, 0);
    EXPECT_EQ(port.WriteAll(lots.data(), lots.size(), 20), -1);
    port.Close();
    ::close(master);
}

}  // namespace
}  // namespace korvex
