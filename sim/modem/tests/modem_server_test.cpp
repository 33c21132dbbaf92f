// The virtual modem as a terminal sees it: raw bytes in, raw bytes out.
#include "sim/modem/modem_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace korvex::sim {
namespace {

constexpr int kPatienceMs = 5000;  // a bound for a broken build, not a sync

class Terminal {
public:
    explicit Terminal(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    ~Terminal() { ::close(fd_); }
    bool ok() const { return fd_ >= 0; }
    // Sends text and reads until the reply ends with `until`.
    std::string ask(const std::string& text, const std::string& until = "OK\r\n") {
        [[maybe_unused]] const ssize_t n = ::write(fd_, text.data(), text.size());
        std::string reply;
        const auto start = std::chrono::steady_clock::now();
        while (reply.size() < until.size() || reply.compare(reply.size() - until.size(), until.size(), until) != 0) {
            const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - start).count();
            if (spent > kPatienceMs) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buffer[512];
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got > 0) reply.append(buffer, static_cast<std::size_t>(got));
        }
        return reply;
    }

private:
    int fd_;
};

TEST(ModemServer, ListingWithoutStatusShowsUnreadOnceThenAllStayUntilDeleted) {
    ModemOptions o;
    o.inbox = 2;
    ModemServer modem(o);
    ASSERT_EQ(modem.start(), 0) << modem.error();
    Terminal t(modem.devicePath());
    ASSERT_TRUE(t.ok());
    const std::string first = t.ask("AT+CMGL\r");
    EXPECT_NE(first.find("+CMGL: 1,0,"), std::string::npos);
    EXPECT_NE(first.find("+CMGL: 2,0,"), std::string::npos);
    EXPECT_EQ(t.ask("AT+CMGL\r"), "\r\n\r\nOK\r\n");  // now read: hidden from a plain listing
    const std::string all = t.ask("AT+CMGL=4\r");
    EXPECT_NE(all.find("+CMGL: 1,1,"), std::string::npos);
    EXPECT_EQ(t.ask("AT+CMGD=1\r"), "\r\nOK\r\n");
    EXPECT_EQ(t.ask("AT+CMGD=1\r", "\r\n"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(modem.storedIndexes(), std::vector<int>{2});
}

TEST(ModemServer, PduLengthMustMatchTheCommand) {
    ModemServer modem({});
    ASSERT_EQ(modem.start(), 0);
    Terminal t(modem.devicePath());
    const std::string pdu = "0891683108100005F011000D91683119325476F8000800020041";  // 17 octets after the SMSC
    EXPECT_EQ(t.ask("AT+CMGS=17\r", "> "), "\r\n> ");
    EXPECT_NE(t.ask(pdu + "\x1A").find("+CMGS:"), std::string::npos);
    EXPECT_EQ(t.ask("AT+CMGS=18\r", "> "), "\r\n> ");
    EXPECT_EQ(t.ask(pdu + "\x1A", "\r\n"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(t.ask("AT+CMGS=17\r", "> "), "\r\n> ");
    EXPECT_EQ(t.ask("00\x1B"), "\r\nOK\r\n");  // ESC cancels the entry
    const auto events = modem.events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_TRUE(events[0].lengthOk);
    EXPECT_FALSE(events[1].lengthOk);
    EXPECT_EQ(events[1].attempt, 2);  // the same PDU again
    EXPECT_EQ(events[2].event, "sms-cancelled");
    const std::string json = events[0].json();
    EXPECT_EQ(json.substr(0, 5), "{\"t\":");
    EXPECT_NE(json.find(",\"event\":\"sms\",\"cmgsLength\":17,\"lengthOk\":true,\"pdu\":\"" + pdu + "\""), std::string::npos);
}

TEST(ModemServer, NoisyEchoesUntilEchoIsSwitchedOff) {
    ModemOptions o;
    o.scenario = ModemScenario::Noisy;
    o.timeScale = 0.01;
    ModemServer modem(o);
    ASSERT_EQ(modem.start(), 0);
    Terminal t(modem.devicePath());
    EXPECT_EQ(t.ask("AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(t.ask("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(t.ask("AT\r"), "\r\nOK\r\n");
}

TEST(ModemServer, UnknownScenarioNamesAreRefused) {
    ModemScenario s{};
    EXPECT_TRUE(modemScenarioFromName("prompt-no-ok", s));
    EXPECT_EQ(s, ModemScenario::PromptNoOk);
    EXPECT_FALSE(modemScenarioFromName("Normal", s));
}

}  // namespace
}  // namespace korvex::sim
