// kvcardsim: the virtual card on a pseudo-terminal, for tests, the demo and operator training.
//
// Prints the device path as its first line of output; the controller (or kvcard) opens that
// path, or the stable name given with --link. A control socket (--control) takes fault commands,
// one per line, and answers each with one line.
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <korvex_revision.h>

#include "sim/card/card_server.h"
#include "sim/card/control.h"

namespace {

using korvex::sim::CardServer;
using korvex::sim::ServerOptions;

constexpr int kMaxControlClients = 8;
constexpr std::size_t kMaxControlLineBytes = 512;
constexpr int kMainPollMs = 100;
constexpr int kMaxBaud = 4000000;

volatile sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

void usage(std::FILE* to) {
    std::fputs(
        "usage: kvcardsim [options]\n"
        "  --card-id HEX        card identifier (default 00220000: card type 4, fast roll offered)\n"
        "  --speed-scale F      run every motion F times faster than real time (default 1)\n"
        "  --baud N             pace the bytes sent at N baud, e.g. 19200 (default: no pacing)\n"
        "  --state FILE         keep the card's memory (settings, work record) in FILE\n"
        "  --trace FILE         write one JSON line per request, report and fault\n"
        "  --link PATH          make a symbolic link PATH to the device\n"
        "  --control PATH       listen for fault commands on a local socket at PATH\n"
        "  --pc-timeout S       stop the motion after S seconds without a request (default 30, 0 never)\n"
        "  --seed N             seed of the noise bytes (default 1)\n"
        "  --help, --version    this text; the version\n"
        "The device path is printed as the first line of standard output.\n"
        "example: kvcardsim --speed-scale 10 --link /tmp/korvex-card\n"
        "\n"
        "usage: kvcardsim --tell PATH COMMAND [ARG]\n"
        "  sends one command to the control socket of a running kvcardsim and prints its answer:\n"
        "  short [S], break, silence on|off, noise N, drop-response, corrupt-response,\n"
        "  duplicate-response, delay MS, refuse CMD_NAME [N], report TYPE HEX, powerloss, status\n",
        to);
}

bool parseDouble(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0';
}

bool parseLong(const char* text, int base, long long low, long long high, long long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, base);
    return errno == 0 && end != text && *end == '\0' && out >= low && out <= high;
}

int parseArgs(int argc, char** argv, ServerOptions& o, std::string& control) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        }
        if (arg == "--version") {
            std::printf("%s\n", korvex::versionLine("kvcardsim").c_str());
            std::exit(0);
        }
        static const char* const kOptions[] = {"--card-id", "--speed-scale", "--baud",  "--state", "--trace",
                                               "--link",    "--control",     "--pc-timeout", "--seed"};
        if (std::find(std::begin(kOptions), std::end(kOptions), arg) == std::end(kOptions)) {
            std::fprintf(stderr, "kvcardsim: unknown option %s\n", arg.c_str());
            usage(stderr);
            return -1;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "kvcardsim: %s needs a value\n", arg.c_str());
            return -1;
        }
        const char* v = argv[++i];
        long long n = 0;
        if (arg == "--card-id") {
            if (!parseLong(v, 16, 0, 0xFFFFFFFFLL, n)) {
                std::fprintf(stderr, "kvcardsim: --card-id wants up to 8 hexadecimal digits, not '%s'\n", v);
                return -1;
            }
            o.cardId = static_cast<uint32_t>(n);
        } else if (arg == "--speed-scale") {
            if (!parseDouble(v, o.speedScale) || !(o.speedScale > 0) || o.speedScale > 1e6) {
                std::fprintf(stderr, "kvcardsim: --speed-scale wants a number above 0 (at most 1e6), not '%s'\n", v);
                return -1;
            }
        } else if (arg == "--baud") {
            if (!parseLong(v, 10, 0, kMaxBaud, n)) {
                std::fprintf(stderr, "kvcardsim: --baud wants 0 to %d, not '%s'\n", kMaxBaud, v);
                return -1;
            }
            o.baud = static_cast<int>(n);
        } else if (arg == "--pc-timeout") {
            if (!parseLong(v, 10, 0, 86400, n)) {
                std::fprintf(stderr, "kvcardsim: --pc-timeout wants seconds 0 to 86400, not '%s'\n", v);
                return -1;
            }
            o.pcSilenceMs = n * 1000;
        } else if (arg == "--seed") {
            if (!parseLong(v, 10, 0, 0xFFFFFFFFLL, n)) {
                std::fprintf(stderr, "kvcardsim: --seed wants a number, not '%s'\n", v);
                return -1;
            }
            o.noiseSeed = static_cast<uint32_t>(n);
        } else if (arg == "--state") {
            o.statePath = v;
        } else if (arg == "--trace") {
            o.tracePath = v;
        } else if (arg == "--link") {
            o.linkPath = v;
        } else if (arg == "--control") {
            control = v;
        } else {
            std::fprintf(stderr, "kvcardsim: unknown option %s\n", arg.c_str());
            usage(stderr);
            return -1;
        }
    }
    return 0;
}

// The control socket: a listening local socket and its clients, each with a partial line.
class ControlSocket {
public:
    ~ControlSocket() { close(); }

    int open(const std::string& path) {
        sockaddr_un addr{};
        if (path.size() >= sizeof addr.sun_path) {
            std::fprintf(stderr, "kvcardsim: control socket path too long: %s\n", path.c_str());
            return -1;
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            if (!S_ISSOCK(st.st_mode)) {
                std::fprintf(stderr, "kvcardsim: %s exists and is not a socket; not replaced\n", path.c_str());
                return -1;
            }
            ::unlink(path.c_str());  // left behind by an earlier run
        }
        listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.c_str(), path.size());
        if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listenFd_, kMaxControlClients) != 0) {
            std::fprintf(stderr, "kvcardsim: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
            close();
            return -1;
        }
        path_ = path;
        return 0;
    }

    void close() {
        for (Client& c : clients_) ::close(c.fd);
        clients_.clear();
        if (listenFd_ >= 0) {
            ::close(listenFd_);
            ::unlink(path_.c_str());
        }
        listenFd_ = -1;
    }

    void fill(std::vector<pollfd>& fds) const {
        if (listenFd_ < 0) return;
        fds.push_back({listenFd_, POLLIN, 0});
        for (const Client& c : clients_) fds.push_back({c.fd, POLLIN, 0});
    }

    void serve(const std::vector<pollfd>& fds, CardServer& server) {
        for (const pollfd& p : fds) {
            if (p.revents == 0) continue;
            if (p.fd == listenFd_) {
                const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (fd >= 0 && clients_.size() < kMaxControlClients) clients_.push_back({fd, {}});
                else if (fd >= 0) ::close(fd);
                continue;
            }
            for (std::size_t i = 0; i < clients_.size(); ++i) {
                if (clients_[i].fd != p.fd) continue;
                if (!readClient(clients_[i], server)) {
                    ::close(clients_[i].fd);
                    clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(i));
                }
                break;
            }
        }
    }

private:
    struct Client {
        int fd;
        std::string partial;
    };

    static bool readClient(Client& c, CardServer& server) {
        char buffer[256];
        const ssize_t n = ::read(c.fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) return false;
        if (n < 0) return true;
        c.partial.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t nl; (nl = c.partial.find('\n')) != std::string::npos;) {
            std::string line = c.partial.substr(0, nl);
            c.partial.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::string reply;
            korvex::sim::applyControlCommand(server, line, reply);
            reply += '\n';
            [[maybe_unused]] const ssize_t w = ::send(c.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
        // A line that never ends is refused rather than kept growing.
        return c.partial.size() <= kMaxControlLineBytes;
    }

    int listenFd_ = -1;
    std::string path_;
    std::vector<Client> clients_;
};

// kvcardsim --tell PATH COMMAND [ARG]: one command to a running simulator, its answer printed.
int tell(int argc, char** argv) {
    if (argc < 4) {
        usage(stderr);
        return 2;
    }
    std::string line;
    for (int i = 3; i < argc; ++i) line += std::string(i > 3 ? " " : "") + argv[i];
    line += '\n';
    const std::string path = argv[2];
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool reached = fd >= 0 && path.size() < sizeof addr.sun_path;
    if (reached) {
        std::memcpy(addr.sun_path, path.c_str(), path.size());
        reached = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    if (!reached) {
        std::fprintf(stderr, "kvcardsim: cannot reach the control socket %s: %s\n", path.c_str(),
                     std::strerror(errno));
        if (fd >= 0) ::close(fd);
        return 1;
    }
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
        std::fprintf(stderr, "kvcardsim: cannot send to %s\n", path.c_str());
        ::close(fd);
        return 1;
    }
    std::string reply;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n') reply += c;
    ::close(fd);
    std::printf("%s\n", reply.c_str());
    return reply.rfind("error", 0) == 0 || reply.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--tell") return tell(argc, argv);
    ServerOptions options;
    std::string controlPath;
    if (parseArgs(argc, argv, options, controlPath) != 0) return 2;

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    CardServer server(options);
    if (server.start() != 0) {
        std::fprintf(stderr, "kvcardsim: %s\n", server.error().c_str());
        return 1;
    }
    ControlSocket control;
    if (!controlPath.empty() && control.open(controlPath) != 0) {
        server.stop();
        return 1;
    }
    std::printf("%s\n", server.devicePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "kvcardsim: card %08x on %s%s%s, speed x%g\n", options.cardId,
                 server.devicePath().c_str(), options.linkPath.empty() ? "" : " linked as ",
                 options.linkPath.c_str(), options.speedScale);

    while (!gStop && !server.poweredOff()) {
        std::vector<pollfd> fds;
        control.fill(fds);
        const int ready = ::poll(fds.data(), fds.size(), kMainPollMs);
        if (ready > 0) control.serve(fds, server);
    }
    if (server.poweredOff()) std::fprintf(stderr, "kvcardsim: power lost; memory kept\n");
    control.close();
    server.stop();
    return 0;
}
