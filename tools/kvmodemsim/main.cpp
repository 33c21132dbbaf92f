// kvmodemsim: the virtual GSM modem on a pseudo-terminal, for tests and for trying the notifier
// without a modem. Prints the device path as its first line of output and runs until
// interrupted.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <korvex_revision.h>

#include "sim/modem/modem_server.h"

namespace {

using korvex::sim::ModemOptions;
using korvex::sim::ModemServer;

volatile sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

void usage(std::FILE* to) {
    std::fputs(
        "usage: kvmodemsim [options]\n"
        "  --scenario NAME   normal (default), cms-error-first, always-error, no-ok, prompt-no-ok,\n"
        "                    noisy, incoming, unplugged\n"
        "  --inbox N         store N unread messages at start (0 to 100)\n"
        "  --trace FILE      write one JSON line per event (sms, sms-cancelled, call, hangup,\n"
        "                    list, delete)\n"
        "  --link PATH       make a symbolic link PATH to the device\n"
        "  --time-scale F    multiply every scenario delay by F (default 1)\n"
        "  --help, --version this text; the version\n"
        "The device path is printed as the first line of standard output.\n"
        "example: kvmodemsim --scenario incoming --inbox 2 --link /tmp/korvex-modem\n",
        to);
}

int parseArgs(int argc, char** argv, ModemOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        }
        if (arg == "--version") {
            std::printf("%s\n", korvex::versionLine("kvmodemsim").c_str());
            std::exit(0);
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kvmodemsim: %s needs a value\n", arg.c_str());
            return -1;
        }
        const std::string v = argv[++i];
        char* end = nullptr;
        errno = 0;
        if (arg == "--scenario") {
            if (!korvex::sim::modemScenarioFromName(v, o.scenario)) {
                std::fprintf(stderr, "kvmodemsim: unknown scenario '%s'\n", v.c_str());
                return -1;
            }
        } else if (arg == "--inbox") {
            const long n = std::strtol(v.c_str(), &end, 10);
            if (errno != 0 || end == v.c_str() || *end != '\0' || n < 0 || n > 100) {
                std::fprintf(stderr, "kvmodemsim: --inbox wants 0 to 100, not '%s'\n", v.c_str());
                return -1;
            }
            o.inbox = static_cast<int>(n);
        } else if (arg == "--time-scale") {
            const double f = std::strtod(v.c_str(), &end);
            if (errno != 0 || end == v.c_str() || *end != '\0' || !(f > 0) || f > 1000) {
                std::fprintf(stderr, "kvmodemsim: --time-scale wants a number above 0, not '%s'\n", v.c_str());
                return -1;
            }
            o.timeScale = f;
        } else if (arg == "--trace") {
            o.tracePath = v;
        } else if (arg == "--link") {
            o.linkPath = v;
        } else {
            std::fprintf(stderr, "kvmodemsim: unknown option %s\n", arg.c_str());
            usage(stderr);
            return -1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ModemOptions options;
    if (parseArgs(argc, argv, options) != 0) return 2;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    ModemServer server(options);
    if (server.start() != 0) {
        std::fprintf(stderr, "kvmodemsim: %s\n", server.error().c_str());
        return 1;
    }
    std::printf("%s\n", server.devicePath().c_str());
    std::fflush(stdout);
    sigset_t none;
    sigemptyset(&none);
    while (!gStop) ::sigsuspend(&none);
    server.stop();
    return 0;
}
