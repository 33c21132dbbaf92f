// Leaving on a signal, in process (the exit steps) and as the real program against the virtual
// card on a pseudo-terminal (the signal path end to end).
#include "controller/exit_signals.h"
#include "controller/tests/controller_fixture.h"

#include "platform/data_dirs.h"
#include "platform/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace korvex::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(60);  // only a failing test ever waits this long
constexpr auto kPollStep = std::chrono::milliseconds(10);

// Polls `done` until it holds or the deadline passes; true when it held.
template <class F>
bool waitFor(F done) {
    for (const auto end = Clock::now() + kDeadline; Clock::now() < end; std::this_thread::sleep_for(kPollStep))
        if (done())
            return true;
    return done();
}

sighandler_t handlerOf(int s) {
    struct sigaction now {};
    ::sigaction(s, nullptr, &now);
    return now.sa_handler;
}

TEST(ExitSignalsTest, TheFirstSignalReachesTheEventLoopOnceAndTheDefaultComesBackAfter) {
    ensureApplication();
    ::signal(SIGINT, SIG_IGN);  // as nohup or a background job would leave it
    {
        ExitSignals exitSignals;
        EXPECT_EQ(handlerOf(SIGINT), SIG_IGN) << "an ignored signal stays ignored";
        EXPECT_NE(handlerOf(SIGTERM), SIG_DFL);
        ASSERT_TRUE(exitSignals.installed());
        std::vector<int> requests;
        QObject::connect(&exitSignals, &ExitSignals::leaveRequested, [&](int s) { requests.push_back(s); });
        ASSERT_EQ(::raise(SIGHUP), 0);  // handled: the test goes on
        EXPECT_TRUE(requests.empty()) << "the handler only writes the pipe";
        ASSERT_TRUE(waitFor([&] {
            QCoreApplication::processEvents();
            return exitSignals.received() != 0;
        }));
        EXPECT_EQ(requests, std::vector<int>{SIGHUP});
        EXPECT_EQ(exitSignals.received(), SIGHUP);
    }
    EXPECT_EQ(handlerOf(SIGTERM), SIG_DFL);
    EXPECT_EQ(handlerOf(SIGHUP), SIG_DFL);
    EXPECT_EQ(handlerOf(SIGINT), SIG_IGN);
    ::signal(SIGINT, SIG_DFL);
}

TEST_F(ControllerTest, LeavingOnASignalAsksNothingAndKeepsTheCardsWork) {
    for (const bool tableWritable : {true, false}) {
        SCOPED_TRACE(tableWritable ? "table written" : "table not writable");
        ScratchDataDir caseData;
        ControllerParts c;
        ASSERT_TRUE(c.start());
        ASSERT_EQ(c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b")), OpenOutcome::Opened);
        c.frame.setWorkStarted(true);
        if (!tableWritable) {
            // A directory in the way of the table's temporary file makes the write fail.
            ASSERT_TRUE(QFile::remove(pulseTablePath()));
            ASSERT_TRUE(QDir().mkpath(pulseTablePath()));
        }
        c.frame.leaveOnSignal();
        QCoreApplication::sendPostedEvents();

        EXPECT_TRUE(c.operatorUi.questions.empty());
        EXPECT_TRUE(c.operatorUi.messages.empty());
        const std::vector<std::string> sent = c.link.sent();
        const auto close = std::find(sent.begin(), sent.end(), "CMD_CLOSE");
        ASSERT_NE(close, sent.end()) << "a failed table write does not keep the card from keeping its work";
        EXPECT_NE(std::find(close, sent.end(), "CMD_UNLOAD_MODEL"), sent.end());
        EXPECT_FALSE(c.link.wasSent("CMD_CLEAR_WORK"));
        EXPECT_NE(c.link.threadOf("CMD_CLOSE"), std::this_thread::get_id()) << "the window was not frozen";
        EXPECT_FALSE(c.link.isOpen());
        EXPECT_FALSE(c.frame.keepAliveRunning());
        EXPECT_FALSE(c.document.holdsProgramFile());
        if (tableWritable) {
            EXPECT_EQ(QFileInfo(pulseTablePath()).size(), qint64(PulseTable::kTableBytes));
        }

        // An exit already done is not done again.
        const std::size_t count = c.link.sent().size();
        c.frame.leaveOnSignal();
        EXPECT_EQ(c.link.sent().size(), count);
        if (!tableWritable) {
            ASSERT_TRUE(QDir().rmdir(pulseTablePath()));
        }
    }
}

// ---- the program itself ----

class KorvexProcess {
public:
    explicit KorvexProcess(const std::vector<std::string>& args, const std::string& outputPath) {
        std::vector<std::string> all{KORVEX_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        // The program starts with the three signals at their defaults and none blocked, whatever
        // the test runner left them at.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t exitSignals, none;
        sigemptyset(&exitSignals);
        for (int s : {SIGTERM, SIGINT, SIGHUP})
            sigaddset(&exitSignals, s);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &exitSignals);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        if (posix_spawn(&pid_, argv[0], &files, &attributes, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&files);
    }
    ~KorvexProcess() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
        }
    }
    bool running() const { return pid_ > 0 && !ended_; }
    void signal(int s) const { ::kill(pid_, s); }
    // Waits for the end within the deadline; false when it did not come.
    bool waitForEnd() {
        return waitFor([this] {
            if (!ended_ && ::waitpid(pid_, &status_, WNOHANG) == pid_)
                ended_ = true;
            return ended_;
        });
    }
    int status() const { return status_; }

private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool ended_ = false;
};

std::string readWhole(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The virtual card on a pseudo-terminal with its trace, in the current data directory.
class SignalExitTest : public ControllerTest {
protected:
    void startCard() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const QDir dir(dataDirectory());
        trace = dir.filePath(QStringLiteral("card.jsonl")).toStdString();
        output = dir.filePath(QStringLiteral("korvex.out")).toStdString();
        sim::ServerOptions options;
        options.tracePath = trace;
        server = std::make_unique<sim::CardServer>(options);
        ASSERT_EQ(server->start(), 0) << server->error();
    }

    // The card's log of requests, one JSON line each.
    bool traced(const std::string& command) const {
        return readWhole(trace).find("\"cmd\":\"" + command + "\"") != std::string::npos;
    }
    // `command` was requested after `first` had been.
    bool tracedAfter(const std::string& first, const std::string& command) const {
        const std::string log = readWhole(trace);
        const std::size_t at = log.find("\"cmd\":\"" + first + "\"");
        return at != std::string::npos && log.find("\"cmd\":\"" + command + "\"", at) != std::string::npos;
    }
    // The start-up's Tips dialog is not shown.
    static void skipTips() {
        SettingsFile(cardSettingsPath(sim::kDefaultCardId)).writeInt("Others", "SettingNotice", 0);
    }
    std::vector<std::string> connectArgs() const { return {"--lang", "en", "--connect", server->devicePath()}; }

    std::string trace;
    std::string output;
    std::unique_ptr<sim::CardServer> server;
};

TEST_F(SignalExitTest, EachSignalLeavesWithStatusZeroKeepingTheCardsWork) {
    struct Case {
        const char* name;
        int signal;
        bool tipsShown;    // start-up still waits in its Tips dialog when the signal comes
        bool withProgram;  // a program named on the command line
        const char* upWhen;
    };
    const Case cases[] = {
        {"SIGTERM, idle with a program", SIGTERM, false, true, "CMD_LOAD_MODEL"},
        {"SIGINT, idle", SIGINT, false, false, "CMD_GET_WORK_RECORD"},
        {"SIGHUP during start-up's Tips", SIGHUP, true, false, "CMD_SET_SWITCH_WITHOUT_VF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDataDir caseData;
        startCard();
        if (!c.tipsShown)
            skipTips();
        std::vector<std::string> args = connectArgs();
        if (c.withProgram)
            args.push_back(KORVEX_EXAMPLES_DIR "/square.3b");
        KorvexProcess korvex(args, output);
        ASSERT_TRUE(korvex.running());
        ASSERT_TRUE(waitFor([&] { return traced(c.upWhen); })) << readWhole(output);
        korvex.signal(c.signal);
        ASSERT_TRUE(korvex.waitForEnd()) << readWhole(output);
        EXPECT_TRUE(WIFEXITED(korvex.status()) && WEXITSTATUS(korvex.status()) == 0)
            << korvex.status() << " " << readWhole(output);
        EXPECT_TRUE(traced("CMD_CLOSE")) << readWhole(trace);
        EXPECT_FALSE(traced("CMD_CLEAR_WORK"));
        EXPECT_EQ(QFileInfo(pulseTablePath()).size(), qint64(PulseTable::kTableBytes));
    }
}

TEST_F(SignalExitTest, ASecondSignalEndsAtOnceWhileTheCardDoesNotAnswer) {
    startCard();
    skipTips();
    KorvexProcess korvex(connectArgs(), output);
    // The card falls silent once start-up's last command and the window's first run-state read
    // after it are answered. Silent earlier, the link would be lost before the exit begins and
    // there would be no work to keep.
    ASSERT_TRUE(waitFor([&] { return tracedAfter("CMD_SET_FEED", "CMD_GET_RUN_STATE"); })) << readWhole(output);
    server->setSilence(true);
    korvex.signal(SIGTERM);
    // The table is written first; then the card, which no longer answers, is asked to keep the
    // work, and the link would go through all its attempts.
    ASSERT_TRUE(waitFor([&] { return traced("CMD_CLOSE"); })) << readWhole(output);
    EXPECT_EQ(QFileInfo(pulseTablePath()).size(), qint64(PulseTable::kTableBytes));
    korvex.signal(SIGTERM);
    ASSERT_TRUE(korvex.waitForEnd());
    EXPECT_TRUE(WIFSIGNALED(korvex.status()) && WTERMSIG(korvex.status()) == SIGTERM) << korvex.status();
}

}  // namespace
}  // namespace korvex::testing
