// The notifier's worker against the virtual modem through a pseudo-terminal, one scenario per
// test, with every wait shortened alike on both sides.
#include "controller/modem/notifier.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

#include "controller/modem/notice_rules.h"
#include "sim/modem/modem_server.h"

namespace korvex::modem {
namespace {

using sim::ModemEvent;
using sim::ModemScenario;

constexpr double kSimScale = 0.1;  // late prompt 300 ms, split 30 ms, unplugged 300 ms, ring 200 ms
constexpr auto kPatience = std::chrono::seconds(20);  // a bound for a broken build, not a sync

ModemTiming fastTiming() {
    ModemTiming t;
    t.stepPauseMs = 2;
    t.idleWaitMs = 10;
    t.inboxIntervalMs = 60000;  // only on request
    t.readIntervalMs = 20;
    t.readTotalMs = 200;
    t.promptTimeoutMs = 200;
    t.sendTimeoutMs = 300;
    t.retryDelayMs = 50;
    t.listTimeoutMs = 500;
    t.deleteTimeoutMs = 300;
    t.callTimeoutMs = 1000;
    t.reopenIntervalMs = 100;
    return t;
}

const NoticeSettings kSettings{"+8613800100500", 0, "13912345678"};

class NotifierOnVirtualModem : public ::testing::Test {
protected:
    void start(ModemScenario scenario, bool useLink = false) {
        sim::ModemOptions o;
        o.scenario = scenario;
        o.timeScale = kSimScale;
        if (useLink) {
            link_ = std::filesystem::temp_directory_path() /
                    ("kvmodem-test-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
            o.linkPath = link_.string();
        }
        modem_ = std::make_unique<sim::ModemServer>(o);
        ASSERT_EQ(modem_->start(), 0) << modem_->error();
        notifier_.setOutcomeSink([this](const NoticeOutcome& o) {
            std::lock_guard lock(mutex_);
            outcomes_.push_back(o);
            cv_.notify_all();
        });
    }
    std::string device() const { return link_.empty() ? modem_->devicePath() : link_.string(); }
    void TearDown() override {
        notifier_.close();
        if (modem_) modem_->stop();
    }
    // Waits until n outcomes of the kind have come.
    bool waitFor(NoticeOutcome::Kind kind, std::size_t n) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kPatience, [&] { return count(kind) >= n; });
    }
    std::size_t count(NoticeOutcome::Kind kind) const {
        return static_cast<std::size_t>(std::count_if(outcomes_.begin(), outcomes_.end(),
                                                      [&](const NoticeOutcome& o) { return o.kind == kind; }));
    }
    std::vector<ModemEvent> events(const std::string& name) const {
        std::vector<ModemEvent> out;
        for (const ModemEvent& e : modem_->events())
            if (e.event == name) out.push_back(e);
        return out;
    }

    Notifier notifier_{fastTiming()};
    std::unique_ptr<sim::ModemServer> modem_;
    std::filesystem::path link_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<NoticeOutcome> outcomes_;
};

TEST_F(NotifierOnVirtualModem, OneNoticeIsOnePdu) {
    start(ModemScenario::Normal);
    ASSERT_EQ(notifier_.open(device()), OpenResult::Opened);
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "Cut finished!"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 1));
    const auto sms = events("sms");
    ASSERT_EQ(sms.size(), 1u);
    EXPECT_TRUE(sms[0].lengthOk);
    EXPECT_EQ(sms[0].cmgsLength, 63);
    EXPECT_EQ(sms[0].pdu.substr(0, 48), "0891683108100005F011000D91683119325476F800080030");
}

TEST_F(NotifierOnVirtualModem, RetryComesAfterTheDelay) {
    start(ModemScenario::CmsErrorFirst);
    ASSERT_EQ(notifier_.open(device()), OpenResult::Opened);
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "Break"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 1));
    const auto sms = events("sms");
    ASSERT_EQ(sms.size(), 2u);
    EXPECT_EQ(sms[0].answer, "+CMS ERROR: 500");
    EXPECT_EQ(sms[1].pdu, sms[0].pdu);
    EXPECT_EQ(sms[1].attempt, 2);
    EXPECT_GE(sms[1].t - sms[0].t, fastTiming().retryDelayMs / 1000.0 - 0.002);  // trace keeps ms
}

TEST_F(NotifierOnVirtualModem, AModemThatAlwaysRefusesCostsTenAttemptsThenTheNextNotice) {
    start(ModemScenario::AlwaysError);
    ASSERT_EQ(notifier_.open(device()), OpenResult::Opened);
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "first"), 0);
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "second"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::GivenUp, 2));
    const auto sms = events("sms");
    ASSERT_EQ(sms.size(), 20u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(sms[i].pdu, sms[0].pdu);
        EXPECT_EQ(sms[10 + i].pdu, sms[10].pdu);
    }
    EXPECT_NE(sms[0].pdu, sms[10].pdu);
    std::lock_guard lock(mutex_);
    EXPECT_NE(outcomes_[0].detail.find("+CMS ERROR: 500"), std::string::npos);
}

TEST_F(NotifierOnVirtualModem, LateAndSplitPromptsNeverDuplicateAMessage) {
    start(ModemScenario::Noisy);
    ASSERT_EQ(notifier_.open(device()), OpenResult::Opened);
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "one"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 1));
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "two"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 2));
    EXPECT_EQ(events("sms-cancelled").size(), 1u);  // the late prompt: ESC, then a fresh attempt
    const auto sms = events("sms");
    ASSERT_EQ(sms.size(), 2u);
    EXPECT_NE(sms[0].pdu, sms[1].pdu);
    // The "+CMTI" texts that came with the answers are read and deleted.
    notifier_.requestInbox();
    ASSERT_TRUE(waitFor(NoticeOutcome::InboxRead, 1));
    EXPECT_TRUE(modem_->storedIndexes().empty());
}

TEST_F(NotifierOnVirtualModem, EveryIncomingIndexIsDeletedDecodableOrNot) {
    start(ModemScenario::Incoming);
    ASSERT_EQ(notifier_.open(device()), OpenResult::Opened);
    notifier_.requestInbox();
    ASSERT_TRUE(waitFor(NoticeOutcome::InboxRead, 1));
    const auto lists = events("list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].stat, 4);
    EXPECT_EQ(events("delete").size(), 8u);
    EXPECT_TRUE(modem_->storedIndexes().empty());
    std::vector<std::u16string> texts;
    while (auto m = notifier_.takeReceived()) texts.push_back(m->text);
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"你好", u"@home €", u"A\u00FF", u"A", u"Hi", u"AB"}));
}

TEST_F(NotifierOnVirtualModem, TheWorkerPlacesTheCallAndHangsUp) {
    start(ModemScenario::Normal);
    ASSERT_EQ(notifier_.open(device()), OpenResult::Opened);
    ASSERT_EQ(notifier_.notify({"", 1, "+86 139-1234-5678"}, "Noname", "Cut finished!"), 0);
    ASSERT_EQ(notifier_.notify(kSettings, "Noname", "after the call"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 1));
    const auto all = modem_->events();
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[0].event, "call");
    EXPECT_EQ(all[0].number, "+8613912345678;");
    EXPECT_EQ(all[1].event, "hangup");
    EXPECT_EQ(all[2].event, "sms");
    EXPECT_TRUE(all[2].lengthOk);  // no ATH went into the PDU
    std::lock_guard lock(mutex_);
    EXPECT_EQ(outcomes_[0].kind, NoticeOutcome::Called);
    EXPECT_NE(outcomes_[0].detail.find("NO ANSWER"), std::string::npos);
}

TEST_F(NotifierOnVirtualModem, NoticesWaitForAnUnpluggedModem) {
    start(ModemScenario::Unplugged, true);
    const auto logPath = std::filesystem::path(link_.string() + ".log");
    std::filesystem::remove(logPath);
    Notifier logged(fastTiming(), logPath.string());
    logged.setOutcomeSink([this](const NoticeOutcome& o) {
        std::lock_guard lock(mutex_);
        outcomes_.push_back(o);
        cv_.notify_all();
    });
    ASSERT_EQ(logged.open(device()), OpenResult::Opened);
    ASSERT_EQ(logged.notify(kSettings, "Noname", "before"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 1));
    while (modem_->present()) std::this_thread::yield();
    // The device is gone; this notice waits until it is back.
    ASSERT_EQ(logged.notify(kSettings, "Noname", "after"), 0);
    ASSERT_TRUE(waitFor(NoticeOutcome::Sent, 2));
    logged.close();
    const auto sms = events("sms");
    ASSERT_EQ(sms.size(), 2u);
    EXPECT_NE(sms[0].pdu, sms[1].pdu);
    std::ifstream log(logPath);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    std::filesystem::remove(logPath);
    EXPECT_EQ(text.find("modem lost"), text.rfind("modem lost"));  // once, however long it is gone
    EXPECT_NE(text.find("modem back"), std::string::npos);
    EXPECT_NE(text.find("] sent: 8613912345678: Noname通知您: after"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(^\[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\] sent: )")));
    EXPECT_EQ(smsLogPath("/log", 0x220000), "/log/00220000_Sms.txt");
}

TEST_F(NotifierOnVirtualModem, OpenTellsAMissingPortFromASilentModem) {
    start(ModemScenario::NoOk);
    EXPECT_EQ(notifier_.open(device()), OpenResult::NotFound);
    EXPECT_FALSE(notifier_.running());
    EXPECT_EQ(notifier_.open("/nonexistent/modem"), OpenResult::OpenFailed);
    EXPECT_EQ(notifier_.notify(kSettings, "Noname", "nobody listens"), -1);
}

TEST_F(NotifierOnVirtualModem, CloseEndsAWaitForAnAnswerThatNeverComes) {
    start(ModemScenario::PromptNoOk);
    Notifier patient;  // the real waits: ten seconds for an answer
    ASSERT_EQ(patient.open(device()), OpenResult::Opened);
    ASSERT_EQ(patient.notify(kSettings, "Noname", "unanswered"), 0);
    while (events("sms").empty()) std::this_thread::yield();  // the PDU is in
    patient.close();  // returns at once: the wait ends on stop
    EXPECT_FALSE(patient.running());
}

TEST_F(NotifierOnVirtualModem, RefusedAndDroppedNoticesAreReported) {
    start(ModemScenario::PromptNoOk);
    Notifier patient;
    patient.setOutcomeSink([this](const NoticeOutcome& o) {
        std::lock_guard lock(mutex_);
        outcomes_.push_back(o);
    });
    ASSERT_EQ(patient.open(device()), OpenResult::Opened);
    EXPECT_EQ(patient.notify({"+8613800100500", 0, "139;ATH"}, "Noname", "x"), -1);
    EXPECT_EQ(patient.notify(kSettings, "Noname", std::string(70, 'x')), -1);
    // The worker holds one notice in flight; the ring holds 127 more, the next is dropped.
    int queued = 0;
    for (int i = 0; i < 200; ++i) queued += patient.notify(kSettings, "Noname", "n" + std::to_string(i)) == 0;
    EXPECT_GE(queued, 127);
    EXPECT_LE(queued, 128);
    EXPECT_EQ(patient.queued(), 127u);
    patient.close();
    std::lock_guard lock(mutex_);
    EXPECT_EQ(count(NoticeOutcome::Refused), 2u);
    EXPECT_EQ(count(NoticeOutcome::Dropped), static_cast<std::size_t>(200 - queued));
}

TEST(SerialPortBaud, TheModemLineRunsAt9600) {
    sim::ModemServer modem({});
    ASSERT_EQ(modem.start(), 0);
    SerialPort port;
    ASSERT_EQ(port.Open(modem.devicePath(), kModemBaudRate), 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
    port.Close();
    EXPECT_EQ(port.Open(modem.devicePath(), 12345), -1);
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace korvex::modem
