// The recovery soak with the virtual card in its own process: kvcardsim keeps its memory in a
// state file and writes a trace; the soak driver (the controller's objects with the scripted
// operator) is killed with SIGKILL at seeded moments, counted in the segment reports it printed,
// and started again; separately the card's power is cut through its control socket and the card
// started again from the state file. After each restart the controller restores without a
// question at the point where the card stopped (its trace), the continued cut reports the
// remaining segments once each and finishes where an uninterrupted run finishes, and the steps of
// all card runs add up to those of the uninterrupted one.
//
// By default: 3 kills and 1 power cut on square.3b. KORVEX_SOAK_PROCESS=N runs N kills and 2N/5
// power cuts, spread over the soak's programs.
#include "controller/tests/soak_programs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace korvex::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Bounds on waits for a condition; only a stuck process reaches them.
constexpr auto kLineWait = std::chrono::seconds(120);
constexpr auto kCutWait = std::chrono::seconds(600);
constexpr const char* kCardSpeed = "40";
constexpr int kRestoredOutcome = 6;  // WorkRecovery::Outcome::CutMarked

// A child process with its standard input and output on pipes, its output read line by line.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { kill(); }

    // Starts `argv` with `env` added to this process's environment.
    bool start(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env = {}) {
        int fds[2];
        int input[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return false;
        if (::pipe2(input, O_CLOEXEC) != 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            return false;
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::dup2(input[0], STDIN_FILENO);
            for (const auto& [name, value] : env)
                ::setenv(name.c_str(), value.c_str(), 1);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        ::close(input[0]);
        out_ = fds[0];
        in_ = input[1];
        buffer_.clear();
        eof_ = false;
        return pid_ > 0;
    }
    // One line to its standard input.
    bool tell(const std::string& line) {
        const std::string text = line + "\n";
        return in_ >= 0 && ::write(in_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    }
    // The next line, or none at the end of the output or the deadline.
    std::optional<std::string> line(Clock::time_point deadline) {
        for (;;) {
            const std::size_t nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string l = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return l;
            }
            if (eof_ || out_ < 0)
                return std::nullopt;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return std::nullopt;
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(std::min<long long>(left, 1000))) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n <= 0)
                eof_ = true;
            else
                buffer_.append(chunk, static_cast<std::size_t>(n));
        }
    }
    // Lines up to the first that starts with `prefix`; none at the end or the deadline. Every
    // line read is kept in `seen`.
    std::optional<std::string> until(const std::string& prefix, std::vector<std::string>& seen,
                                     Clock::time_point deadline) {
        while (auto l = line(deadline)) {
            seen.push_back(*l);
            if (l->rfind(prefix, 0) == 0)
                return l;
        }
        return std::nullopt;
    }
    // Waits for the end of its output (it exited), then its status.
    int exitStatus(Clock::time_point deadline) {
        while (line(deadline)) {
        }
        if (!eof_)
            return -1;
        return reap();
    }
    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            reap();
        }
    }
    void terminate(Clock::time_point deadline) {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            if (exitStatus(deadline) < 0)
                kill();
        }
    }

private:
    int reap() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        for (int* fd : {&out_, &in_}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
        return status;
    }
    pid_t pid_ = -1;
    int out_ = -1;
    int in_ = -1;
    std::string buffer_;
    bool eof_ = false;
};

// A card point as the trace, the status line and the driver write it.
struct Point {
    int segment = -1;
    int lower[3] = {};
    int upper[3] = {};
    int guides[4] = {};
    unsigned long long stepsRun = 0;
    bool operator==(const Point& o) const {
        return segment == o.segment && std::equal(lower, lower + 3, o.lower) && std::equal(upper, upper + 3, o.upper) &&
               std::equal(guides, guides + 4, o.guides);
    }
};

std::string text(const Point& p) {
    char t[200];
    std::snprintf(t, sizeof t, "segment %d lower %d,%d,%d upper %d,%d,%d guides %d,%d,%d,%d steps-run %llu", p.segment,
                  p.lower[0], p.lower[1], p.lower[2], p.upper[0], p.upper[1], p.upper[2], p.guides[0], p.guides[1],
                  p.guides[2], p.guides[3], p.stepsRun);
    return t;
}

std::optional<Point> tracePoint(const std::string& line) {
    const std::size_t at = line.find("\"point\":");
    Point p;
    if (at == std::string::npos ||
        std::sscanf(line.c_str() + at,
                    "\"point\":{\"segment-index\":%d,\"lower\":[%d,%d,%d],\"upper\":[%d,%d,%d],"
                    "\"guides\":[%d,%d,%d,%d]},\"steps-run\":%llu",
                    &p.segment, &p.lower[0], &p.lower[1], &p.lower[2], &p.upper[0], &p.upper[1], &p.upper[2],
                    &p.guides[0], &p.guides[1], &p.guides[2], &p.guides[3], &p.stepsRun) != 12)
        return std::nullopt;
    return p;
}

std::optional<Point> statusPoint(const std::string& line) {
    const std::size_t at = line.find(" segment ");
    Point p;
    if (at == std::string::npos ||
        std::sscanf(line.c_str() + at, " segment %d lower %d,%d,%d upper %d,%d,%d x %d y %d u %d v %d steps-run %llu",
                    &p.segment, &p.lower[0], &p.lower[1], &p.lower[2], &p.upper[0], &p.upper[1], &p.upper[2],
                    &p.guides[0], &p.guides[1], &p.guides[2], &p.guides[3], &p.stepsRun) != 12)
        return std::nullopt;
    return p;
}

std::optional<Point> restoredPoint(const std::string& line) {
    Point p;
    if (std::sscanf(line.c_str(), "restored segment %d lower %d,%d,%d upper %d,%d,%d guides %d,%d,%d,%d", &p.segment,
                    &p.lower[0], &p.lower[1], &p.lower[2], &p.upper[0], &p.upper[1], &p.upper[2], &p.guides[0],
                    &p.guides[1], &p.guides[2], &p.guides[3]) != 11)
        return std::nullopt;
    return p;
}

// The number of lines in the card's trace so far.
std::size_t traceLines(const fs::path& trace) {
    std::ifstream in(trace);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);)
        ++n;
    return n;
}

// The last point the card stopped at by CMD_STOP or a power loss, from its trace after its first
// `skip` lines.
std::optional<Point> lastStop(const fs::path& trace, std::size_t skip = 0) {
    std::ifstream in(trace);
    std::optional<Point> last;
    for (std::string line; std::getline(in, line);)
        if (skip > 0)
            --skip;
        else if (line.find("\"cmd\":\"CMD_STOP\"") != std::string::npos || line.find("\"powerloss\"") != std::string::npos)
            if (auto p = tracePoint(line))
                last = p;
    return last;
}

// One command to the card's control socket and its one-line answer.
std::string tell(const fs::path& control, const std::string& command) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, control.c_str(), sizeof addr.sun_path - 1);
    std::string reply;
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string line = command + "\n";
        if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size())) {
            const auto deadline = Clock::now() + kLineWait;
            while (reply.find('\n') == std::string::npos && Clock::now() < deadline) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 1000) <= 0)
                    continue;
                char chunk[1024];
                const ssize_t n = ::read(fd, chunk, sizeof chunk);
                if (n <= 0)
                    break;
                reply.append(chunk, static_cast<std::size_t>(n));
            }
        }
    }
    if (fd >= 0)
        ::close(fd);
    if (const std::size_t nl = reply.find('\n'); nl != std::string::npos)
        reply.resize(nl);
    return reply;
}

struct Finish {
    unsigned long long steps = 0;
    Point at;
    std::vector<int> reports;
};

enum class Interruption { Kill, PowerLoss };

class RecoveryProcessSoak : public ::testing::Test {
protected:
    void SetUp() override {
        // In the working folder (the build tree under ctest): the card's memory must outlive the
        // sweeps of /tmp by other processes on a shared machine.
        root = fs::current_path() / ("recovery-process-soak-" + std::to_string(::getpid()));
        fs::remove_all(root);
        ASSERT_TRUE(fs::create_directories(root));
    }
    void TearDown() override {
        driver.kill();
        card.kill();
        if (!HasFailure())
            fs::remove_all(root);
    }

    // A fresh moment: its own folder with no card memory and an empty data directory.
    void freshMoment(const std::string& name) {
        dir = root / name;
        fs::create_directories(dir / "data");
        traces = 0;
        stepsOfEarlierCards = 0;
    }
    fs::path trace() const { return dir / ("card-" + std::to_string(traces) + ".jsonl"); }
    fs::path control() const { return dir / "card.sock"; }
    fs::path device() const { return dir / "card.tty"; }

    // Starts the card on the moment's state file with a trace of its own.
    void startCard() {
        ++traces;
        ASSERT_TRUE(card.start({KVCARDSIM_PATH, "--state", (dir / "card.mem").string(), "--link", device().string(),
                                "--trace", trace().string(), "--control", control().string(), "--speed-scale",
                                kCardSpeed}));
        ASSERT_TRUE(card.line(Clock::now() + kLineWait).has_value()) << "kvcardsim printed no device";
    }
    // Cuts the card's power: the card stops where it stands, keeps its memory and exits.
    Point powerLoss() {
        EXPECT_EQ(tell(control(), "powerloss"), "ok");
        EXPECT_EQ(card.exitStatus(Clock::now() + kLineWait), 0);
        const std::optional<Point> at = lastStop(trace());
        EXPECT_TRUE(at.has_value()) << "no power loss in " << trace();
        stepsOfEarlierCards += at ? at->stepsRun : 0;
        return at.value_or(Point{});
    }
    void startDriver(const SoakProgram& k) {
        std::vector<std::string> argv{RECOVERY_SOAK_DRIVER_PATH, device().string(), k.file, "--loops",
                                      std::to_string(k.loops)};
        if (k.reverse)
            argv.push_back("--reverse");
        if (k.ignorePause)
            argv.push_back("--ignore-pause");
        ASSERT_TRUE(driver.start(argv, {{"KORVEX_DATA_DIR", (dir / "data").string()}, {"QT_QPA_PLATFORM", "offscreen"}}));
    }
    // Waits for the driver's line starting with `prefix`; fails on its end or a failure line.
    std::string expectLine(const std::string& prefix, Clock::duration wait = kLineWait) {
        std::vector<std::string> seen;
        const auto l = driver.until(prefix, seen, Clock::now() + wait);
        std::string all;
        for (const std::string& s : seen)
            all += "\n  " + s;
        EXPECT_TRUE(l.has_value()) << "the driver printed no '" << prefix << "' line:" << all;
        return l.value_or("");
    }
    // The restart's start-up: the work restored without a question at the point where the card
    // stands (the driver waits for a word before it continues). Returns that point.
    Point expectRestored() {
        EXPECT_EQ(expectLine("recovery "), "recovery " + std::to_string(kRestoredOutcome) + " questions 0");
        const std::optional<Point> restored = restoredPoint(expectLine("restored "));
        EXPECT_TRUE(restored.has_value());
        const Point standing = cardStatus();
        EXPECT_TRUE(restored && *restored == standing)
            << "restored " << text(restored.value_or(Point{})) << ", the card stands at " << text(standing);
        return standing;
    }
    // Reads the segment reports up to "finished" and the driver's clean exit.
    std::vector<int> reportsToTheEnd() {
        std::vector<std::string> seen;
        const auto l = driver.until("finished", seen, Clock::now() + kCutWait);
        std::vector<int> reports;
        std::string all;
        for (const std::string& s : seen) {
            int segment = 0;
            if (std::sscanf(s.c_str(), "segment %d", &segment) == 1)
                reports.push_back(segment);
            all += "\n  " + s;
        }
        EXPECT_TRUE(l.has_value()) << "no finish:" << all;
        EXPECT_EQ(driver.exitStatus(Clock::now() + kLineWait), 0);
        return reports;
    }
    Point cardStatus() {
        const std::string reply = tell(control(), "status");
        const std::optional<Point> p = statusPoint(reply);
        EXPECT_TRUE(p.has_value()) << reply;
        return p.value_or(Point{});
    }

    Finish uninterrupted(const SoakProgram& k) {
        freshMoment(std::string("whole-") + k.file);
        Finish f;
        startCard();
        startDriver(k);
        EXPECT_EQ(expectLine("recovery "), "recovery 0 questions 0");
        expectLine("cut");
        f.reports = reportsToTheEnd();
        f.at = cardStatus();
        f.steps = f.at.stepsRun;
        card.terminate(Clock::now() + kLineWait);
        return f;
    }

    // One seeded moment: the cut interrupted at a segment report, perhaps once more while
    // restored, then continued to its end.
    void moment(const SoakProgram& k, const Finish& whole, Interruption how, uint32_t seed, int index) {
        std::mt19937 random(seed);
        const int reportsBefore = static_cast<int>(whole.reports.size());
        // At least two segments left: a killed driver's card runs on until the next one stops it.
        const int at = 1 + static_cast<int>(random() % static_cast<uint32_t>(std::max(1, reportsBefore - 3)));
        const bool againWhileRestored = random() % 3 == 0;
        std::printf("process recovery soak: seed %u, %s, %s at segment report %d of %d%s\n", seed, k.file,
                    how == Interruption::Kill ? "kill" : "power cut", at, reportsBefore,
                    againWhileRestored ? ", again while restored" : "");
        std::fflush(stdout);
        freshMoment("moment-" + std::to_string(index));
        ASSERT_NO_FATAL_FAILURE(startCard());
        ASSERT_NO_FATAL_FAILURE(startDriver(k));
        ASSERT_EQ(expectLine("recovery "), "recovery 0 questions 0");
        ASSERT_EQ(expectLine("cut"), "cut");
        for (int i = 0; i < at; ++i)
            ASSERT_EQ(expectLine("segment ").rfind("segment ", 0), 0u) << "report " << i + 1;
        Point stoppedAt;
        std::size_t linesAtKill = 0;
        if (how == Interruption::PowerLoss) {
            stoppedAt = powerLoss();
            driver.kill();
            ASSERT_NO_FATAL_FAILURE(startCard());
        } else {
            driver.kill();
            linesAtKill = traceLines(trace());
        }
        // A card the killed driver left moving is stopped by the next driver's start-up: the
        // point of that CMD_STOP; one that stood waiting stays where it stands.
        auto expectStoppedThere = [&](const Point& restored) {
            if (how == Interruption::Kill) {
                if (const auto stop = lastStop(trace(), linesAtKill)) {
                    EXPECT_TRUE(*stop == restored) << "restored " << text(restored) << ", CMD_STOP at " << text(*stop);
                }
                stoppedAt = restored;
            } else {
                EXPECT_TRUE(restored == stoppedAt) << "restored " << text(restored) << ", power lost at "
                                                   << text(stoppedAt);
            }
        };
        if (againWhileRestored) {
            ASSERT_NO_FATAL_FAILURE(startDriver(k));
            expectStoppedThere(expectRestored());
            ASSERT_FALSE(HasFailure());
            driver.kill();  // restored, not yet continued
            if (how == Interruption::PowerLoss) {
                const Point again = powerLoss();
                EXPECT_TRUE(again == stoppedAt) << "a restored card lost its power at " << text(again);
                ASSERT_NO_FATAL_FAILURE(startCard());
            }
        }
        ASSERT_NO_FATAL_FAILURE(startDriver(k));
        expectStoppedThere(expectRestored());
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(driver.tell("go"));
        ASSERT_EQ(expectLine("cut"), "cut");
        const std::vector<int> reports = reportsToTheEnd();
        EXPECT_EQ(reportedOnce(reports, k.reverse, k.loops), "");
        // The remaining segments, once each: the end of an uninterrupted run's reports.
        EXPECT_TRUE(reports.size() <= whole.reports.size() &&
                    std::equal(reports.rbegin(), reports.rend(), whole.reports.rbegin()))
            << reports.size() << " reports after the restart, not the last ones of the uninterrupted run";
        const Point end = cardStatus();
        EXPECT_EQ(end.segment, whole.at.segment);
        EXPECT_TRUE(std::equal(end.guides, end.guides + 4, whole.at.guides)) << text(end) << " vs " << text(whole.at);
        EXPECT_EQ(stepsOfEarlierCards + end.stepsRun, whole.steps)
            << "no step cut twice or skipped; stopped at " << text(stoppedAt);
        card.terminate(Clock::now() + kLineWait);
    }

    fs::path root;
    fs::path dir;
    int traces = 0;
    unsigned long long stepsOfEarlierCards = 0;
    Child card;
    Child driver;
};

TEST_F(RecoveryProcessSoak, KilledDriversAndCardPowerCutsLoseNoStepAndCutNoneTwice) {
    const int soak = std::max(0, std::atoi(std::getenv("KORVEX_SOAK_PROCESS") ? std::getenv("KORVEX_SOAK_PROCESS") : "0"));
    const int kills = soak > 0 ? soak : 3;
    const int powerCuts = soak > 0 ? (2 * soak + 4) / 5 : 1;
    // By default square.3b only; a longer soak takes every program in turn.
    const int programs = soak > 0 ? static_cast<int>(std::size(kSoakPrograms)) : 1;
    std::vector<Interruption> order(static_cast<std::size_t>(kills), Interruption::Kill);
    order.insert(order.end(), static_cast<std::size_t>(powerCuts), Interruption::PowerLoss);
    std::shuffle(order.begin(), order.end(), std::mt19937(20261209u));
    std::vector<std::optional<Finish>> wholes(static_cast<std::size_t>(programs));
    const auto began = Clock::now();
    for (int i = 0; i < kills + powerCuts; ++i) {
        // Shifted by one each round, so that kills and power cuts both reach every program.
        const int which = (i + i / programs) % programs;
        const SoakProgram& k = kSoakPrograms[which];
        SCOPED_TRACE(k.file);
        auto& whole = wholes[static_cast<std::size_t>(which)];
        if (!whole) {
            whole = uninterrupted(k);
            ASSERT_FALSE(HasFailure());
            ASSERT_GE(whole->reports.size(), 3u) << "too short a program to interrupt";
        }
        const uint32_t seed = 5000u + static_cast<uint32_t>(i) * 7919u;
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_NO_FATAL_FAILURE(moment(k, *whole, order[static_cast<std::size_t>(i)], seed, i));
        ASSERT_FALSE(HasFailure());
    }
    std::printf("process recovery soak: %d kills, %d power cuts in %.1f s\n", kills, powerCuts,
                std::chrono::duration<double>(Clock::now() - began).count());
}

}  // namespace
}  // namespace korvex::testing
