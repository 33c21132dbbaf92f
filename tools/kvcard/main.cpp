// kvcard: opens a card's serial device with the card link, connects, runs one command and prints
// its result and answer; optionally listens to the card's reports afterwards.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <korvex_revision.h>

#include "controller/link/card_link.h"
#include "controller/link/commands.h"
#include "controller/link/error_log.h"
#include "controller/link/trace.h"
#include "tools/kvcard/commands_cli.h"

namespace {

using namespace korvex;

constexpr int kMaxListenSeconds = 24 * 3600;

void usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: kvcard --port DEVICE [--no-connect] [--listen SECONDS] [--stats] [--log-dir DIR] [--decode]\n"
                 "              COMMAND [ARGS...]\n"
                 "       kvcard --help | --version\n"
                 "Prints result=0 or result=-1 and, on success, payload=<hex of the answer>.\n"
                 "--decode adds the answer as one readable line (get-work-record).\n"
                 "--listen then prints the card's reports as 'report type=<n> data=<16 hex digits>'.\n"
                 "--stats prints the link's counters at the end. KORVEX_TRACE=1 traces the link on stderr;\n"
                 "a failed transaction leaves its last frames in <log dir>/<card id>_Link.txt; the log dir\n"
                 "is --log-dir, else $KORVEX_DATA_DIR/log, else $XDG_STATE_HOME/Korvex-Z Files/log\n"
                 "(~/.local/state/Korvex-Z Files/log when XDG_STATE_HOME is unset).\n"
                 "example: kvcard --port /dev/ttyUSB0 get-card-id\n"
                 "commands:\n%s",
                 CliCommandList().c_str());
}

std::string hex(const uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// Reports are kept until the command's result is printed, then printed as they come.
class ReportPrinter {
public:
    void onReport(uint8_t code, const uint8_t* record) {
        std::lock_guard lock(mutex_);
        char line[64];
        std::snprintf(line, sizeof line, "report type=%u data=%s\n", code, hex(record, kReportDataBytes).c_str());
        if (live_) {
            std::fputs(line, stdout);
            std::fflush(stdout);
        } else {
            held_.push_back(line);
        }
    }
    void goLive() {
        std::lock_guard lock(mutex_);
        for (const std::string& line : held_) std::fputs(line.c_str(), stdout);
        held_.clear();
        live_ = true;
        std::fflush(stdout);
    }

private:
    std::mutex mutex_;
    bool live_ = false;
    std::vector<std::string> held_;
};

}  // namespace

int main(int argc, char** argv) {
    InstallTraceSinkFromEnvironment();
    std::string port;
    bool connect = true;
    bool stats = false;
    bool decode = false;
    int listenSeconds = -1;
    std::string logDir = DefaultLogDirectory();
    int at = 1;
    for (; at < argc && std::strncmp(argv[at], "--", 2) == 0; ++at) {
        const std::string opt = argv[at];
        if (opt == "--port" && at + 1 < argc) {
            port = argv[++at];
        } else if (opt == "--log-dir") {
            if (at + 1 >= argc || argv[at + 1][0] == '\0') {
                std::fprintf(stderr, "kvcard: --log-dir wants a folder\n");
                return 1;
            }
            logDir = argv[++at];
        } else if (opt == "--no-connect") {
            connect = false;
        } else if (opt == "--decode") {
            decode = true;
        } else if (opt == "--stats") {
            stats = true;
        } else if (opt == "--listen" && at + 1 < argc) {
            char* end = nullptr;
            const long v = std::strtol(argv[++at], &end, 10);
            if (*end != '\0' || v < 0 || v > kMaxListenSeconds) {
                std::fprintf(stderr, "kvcard: --listen wants seconds from 0 to %d\n", kMaxListenSeconds);
                return 1;
            }
            listenSeconds = static_cast<int>(v);
        } else if (opt == "--help") {
            usage(stdout);
            return 0;
        } else if (opt == "--version") {
            std::printf("%s\n", versionLine("kvcard").c_str());
            return 0;
        } else {
            std::fprintf(stderr, "kvcard: unknown option %s\n", opt.c_str());
            usage(stderr);
            return 1;
        }
    }
    if (port.empty() || at >= argc) {
        usage(stderr);
        return 1;
    }
    const std::string command = argv[at++];
    const std::vector<std::string> args(argv + at, argv + argc);
    if (decode && !CliCommandDecodes(command)) {
        std::fprintf(stderr, "kvcard: --decode knows only get-work-record, not %s\n", command.c_str());
        return 1;
    }

    LinkOptions options;
    options.logDir = logDir;
    CardLink link(options);
    ReportPrinter printer;
    link.SetEventHook([&printer](uint8_t code, const uint8_t* record) {
        if (code != 0) printer.onReport(code, record);
    });
    if (link.Open(port) != 0) {
        std::fprintf(stderr, "kvcard: cannot open %s\n", port.c_str());
        std::puts("result=-1");
        return 1;
    }

    CliOutcome outcome;
    if (connect && CMD_CONNECT(link) != 0) {
        std::fprintf(stderr, "kvcard: no answer to connect on %s\n", port.c_str());
    } else {
        outcome = RunCliCommand(link, command, args);
        if (!outcome.usageError.empty()) {
            std::fprintf(stderr, "kvcard: %s\n", outcome.usageError.c_str());
            usage(stderr);
            return 1;
        }
    }
    std::printf("result=%d\n", outcome.result);
    if (outcome.result == 0) std::printf("payload=%s\n", hex(outcome.payload.data(), outcome.payload.size()).c_str());
    if (outcome.result == 0 && decode) std::printf("%s\n", DecodeCliPayload(command, outcome.payload).c_str());
    std::fflush(stdout);

    if (listenSeconds >= 0) {
        printer.goLive();
        std::this_thread::sleep_for(std::chrono::seconds(listenSeconds));
    }
    link.Close();
    if (stats) std::fputs(FormatStats(link.Stats()).c_str(), stdout);
    return outcome.result == 0 ? 0 : 1;
}
