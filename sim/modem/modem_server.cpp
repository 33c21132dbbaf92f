#include "sim/modem/modem_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstring>

namespace korvex::sim {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr char kEscape = 0x1B;
constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";
constexpr const char* kCmsRefused = "\r\n+CMS ERROR: 500\r\n";
constexpr const char* kCmsLength = "\r\n+CMS ERROR: 304\r\n";
constexpr const char* kCmsNoMessage = "\r\n+CMS ERROR: 321\r\n";
constexpr const char* kPrompt = "\r\n> ";
constexpr const char* kSender = "0D91683119325476F8";
constexpr const char* kSmscPart = "0891683108100005F0";
constexpr const char* kTimestamp = "62109211453200";

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') out.push_back('\\');
        if (static_cast<unsigned char>(c) < 0x20) continue;
        out.push_back(c);
    }
    return out + "\"";
}

std::string hexByte(unsigned v) {
    char b[3];
    std::snprintf(b, sizeof b, "%02X", v & 0xFF);
    return b;
}

// An SMS-DELIVER from the usual sender: first octet, DCS, UDL and user data as given.
std::string deliverPdu(unsigned first, unsigned dcs, unsigned udl, const std::string& ud) {
    return std::string(kSmscPart) + hexByte(first) + kSender + "00" + hexByte(dcs) + kTimestamp + hexByte(udl) + ud;
}

std::string ucs2Hex(const std::string& ascii) {
    std::string out;
    for (const char c : ascii) out += "00" + hexByte(static_cast<unsigned char>(c));
    return out;
}

bool parseIndex(const std::string& s, int& out) {
    if (s.empty() || s.size() > 5) return false;
    out = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

}  // namespace

bool modemScenarioFromName(const std::string& name, ModemScenario& out) {
    static const std::pair<const char*, ModemScenario> kNames[] = {
        {"normal", ModemScenario::Normal},         {"cms-error-first", ModemScenario::CmsErrorFirst},
        {"always-error", ModemScenario::AlwaysError}, {"no-ok", ModemScenario::NoOk},
        {"prompt-no-ok", ModemScenario::PromptNoOk}, {"noisy", ModemScenario::Noisy},
        {"incoming", ModemScenario::Incoming},     {"unplugged", ModemScenario::Unplugged},
    };
    for (const auto& [n, s] : kNames) {
        if (name == n) {
            out = s;
            return true;
        }
    }
    return false;
}

std::string ModemEvent::json() const {
    char t_[32];
    std::snprintf(t_, sizeof t_, "%.3f", t);
    std::string out = std::string("{\"t\":") + t_ + ",\"event\":" + quoted(event);
    if (cmgsLength >= 0) out += ",\"cmgsLength\":" + std::to_string(cmgsLength);
    if (event == "sms" || event == "sms-cancelled") out += std::string(",\"lengthOk\":") + (lengthOk ? "true" : "false");
    if (!pdu.empty()) out += ",\"pdu\":" + quoted(pdu);
    if (attempt > 0) out += ",\"attempt\":" + std::to_string(attempt);
    if (!answer.empty()) out += ",\"answer\":" + quoted(answer);
    if (!number.empty()) out += ",\"number\":" + quoted(number);
    if (event == "list") out += ",\"stat\":" + std::to_string(stat);
    if (index >= 0) out += ",\"index\":" + std::to_string(index);
    return out + "}";
}

ModemServer::ModemServer(ModemOptions options) : options_(std::move(options)) {
    echo_ = options_.scenario == ModemScenario::Noisy;
}

ModemServer::~ModemServer() { stop(); }

int64_t ModemServer::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now() - start_).count();
}

int64_t ModemServer::scaled(int64_t ms) const {
    return static_cast<int64_t>(std::llround(static_cast<double>(ms) * options_.timeScale));
}

std::string ModemServer::devicePath() const {
    std::lock_guard lock(mutex_);
    return devicePath_;
}

int ModemServer::start() {
    if (thread_.joinable()) return 0;
    if (!(options_.timeScale > 0)) {
        error_ = "the time scale must be above 0";
        return -1;
    }
    if (!options_.tracePath.empty()) {
        trace_ = std::fopen(options_.tracePath.c_str(), "w");
        if (!trace_) {
            error_ = "cannot create the trace file " + options_.tracePath + ": " + std::strerror(errno);
            return -1;
        }
    }
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = std::string("cannot create a pipe: ") + std::strerror(errno);
        stop();
        return -1;
    }
    start_ = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mutex_);
        if (openTerminal() != 0) {
            stop();
            return -1;
        }
        fillInbox();
    }
    stopping_ = false;
    thread_ = std::thread([this] { threadLoop(); });
    return 0;
}

void ModemServer::stop() {
    stopping_ = true;
    if (wakePipe_[1] >= 0) {
        const char b = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &b, 1);
    }
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    closeTerminal();
    if (linkMade_) {
        char target[256] = {};
        const ssize_t n = ::readlink(options_.linkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && devicePath_ == std::string(target, static_cast<std::size_t>(n)))
            ::unlink(options_.linkPath.c_str());
        linkMade_ = false;
    }
    for (int& fd : wakePipe_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    if (trace_) std::fclose(trace_);
    trace_ = nullptr;
}

int ModemServer::openTerminal() {
    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (masterFd_ < 0 || ::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0 ||
        ::ptsname_r(masterFd_, name, sizeof name) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return -1;
    }
    devicePath_ = name;
    ::fcntl(masterFd_, F_SETFL, ::fcntl(masterFd_, F_GETFL) | O_NONBLOCK);
    if (const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC); slave >= 0) {
        termios tio{};
        if (::tcgetattr(slave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slave, TCSANOW, &tio);
        }
        ::close(slave);
    }
    if (options_.linkPath.empty()) return 0;
    struct stat st {};
    if (::lstat(options_.linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error_ = options_.linkPath + " exists and is not a symbolic link; not replaced";
            return -1;
        }
        ::unlink(options_.linkPath.c_str());
    }
    if (::symlink(name, options_.linkPath.c_str()) != 0) {
        error_ = "cannot make the link " + options_.linkPath + ": " + std::strerror(errno);
        return -1;
    }
    linkMade_ = true;
    return 0;
}

void ModemServer::closeTerminal() {
    if (masterFd_ >= 0) ::close(masterFd_);
    masterFd_ = -1;
}

void ModemServer::fillInbox() {
    for (int k = 1; k <= options_.inbox; ++k) {
        const std::string text = "Message " + std::to_string(k);
        storeMessage(deliverPdu(0x04, 0x08, static_cast<unsigned>(text.size() * 2), ucs2Hex(text)));
    }
    if (options_.scenario != ModemScenario::Incoming) return;
    storeMessage(deliverPdu(0x04, 0x08, 4, "4F60597D"));                        // UCS2 "你好"
    storeMessage(deliverPdu(0x04, 0x00, 8, "00F4BB5D066DCA"));                  // 7-bit "@home €"
    storeMessage(deliverPdu(0x04, 0x04, 2, "41FF"));                            // 8-bit data
    storeMessage(std::string(kSmscPart) + "0407D0D4F29C0E0000" + kTimestamp + "0141");  // from "Test"
    storeMessage(deliverPdu(0x44, 0x08, 10, "050003010201" "00480069"));        // part 1 of 2, "Hi"
    storeMessage(std::string(kSmscPart) + "0601" + kSender + kTimestamp + kTimestamp + "00");  // status report
    storeMessage(deliverPdu(0x04, 0x08, 140, "00410042"));                      // length beyond the data
    storeMessage("0C91683108100005F0FFFFFFFF");                                 // SMSC longer than its field
}

void ModemServer::storeMessage(const std::string& pdu) { storage_[nextIndex_++] = Stored{pdu, 0}; }

void ModemServer::record(ModemEvent e) {
    e.t = static_cast<double>(nowMs()) / 1000.0;
    if (trace_) {
        std::fprintf(trace_, "%s\n", e.json().c_str());
        std::fflush(trace_);
    }
    events_.push_back(std::move(e));
}

std::vector<ModemEvent> ModemServer::events() const {
    std::lock_guard lock(mutex_);
    return events_;
}

std::vector<int> ModemServer::storedIndexes() const {
    std::lock_guard lock(mutex_);
    std::vector<int> out;
    for (const auto& [index, stored] : storage_) out.push_back(index);
    return out;
}

void ModemServer::say(const std::string& text, int64_t delayMs) {
    if (options_.scenario == ModemScenario::NoOk) return;
    due_.push_back(Due{nowMs() + delayMs, text});
}

void ModemServer::flushDue() {
    const int64_t now = nowMs();
    // Keep the order of equal due times: a split prompt's parts must not swap.
    std::stable_sort(due_.begin(), due_.end(), [](const Due& a, const Due& b) { return a.atMs < b.atMs; });
    std::size_t sent = 0;
    for (; sent < due_.size() && due_[sent].atMs <= now; ++sent) {
        if (masterFd_ >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(masterFd_, due_[sent].bytes.data(), due_[sent].bytes.size());
        }
    }
    due_.erase(due_.begin(), due_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void ModemServer::threadLoop() {
    while (!stopping_) {
        int timeout = static_cast<int>(kModemIdlePollMs);
        pollfd fds[2] = {{wakePipe_[0], POLLIN, 0}, {-1, POLLIN, 0}};
        {
            std::lock_guard lock(mutex_);
            for (const Due& d : due_) timeout = static_cast<int>(std::clamp<int64_t>(d.atMs - nowMs(), 0, timeout));
            if (unplugAt_ >= 0) timeout = static_cast<int>(std::clamp<int64_t>(unplugAt_ - nowMs(), 0, timeout));
            fds[1].fd = masterFd_;
        }
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (::read(wakePipe_[0], drain, sizeof drain) > 0) {
            }
        }
        if (stopping_) break;
        std::lock_guard lock(mutex_);
        if (unplugAt_ >= 0 && nowMs() >= unplugAt_) {
            unplugAt_ = -1;
            due_.clear();
            closeTerminal();
            if (linkMade_) ::unlink(options_.linkPath.c_str());
            unpluggedUntil_ = nowMs() + scaled(kUnpluggedMs);
        }
        if (unpluggedUntil_ >= 0) {
            if (nowMs() < unpluggedUntil_) continue;
            unpluggedUntil_ = -1;
            if (openTerminal() != 0) break;
        }
        if (masterFd_ >= 0 && (fds[1].revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(masterFd_, buffer, sizeof buffer);
            if (n > 0) handleInput(buffer, static_cast<std::size_t>(n));
        }
        if (masterFd_ >= 0 && (fds[1].revents & POLLHUP) && !(fds[1].revents & POLLIN)) {
            // Nobody holds the slave side: wait for the PC instead of spinning on the hang-up.
            mutex_.unlock();
            ::poll(fds, 1, static_cast<int>(kModemIdlePollMs));
            mutex_.lock();
        }
        if (callEndsAt_ >= 0 && nowMs() >= callEndsAt_) {
            callEndsAt_ = -1;
            say("\r\nNO ANSWER\r\n");
        }
        flushDue();
    }
}

void ModemServer::handleInput(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (entry_ == Entry::Command) {
            if (echo_) say(std::string(1, c));
            if (c == '\r') {
                handleCommand(line_);
                line_.clear();
            } else if (c != '\n' && line_.size() < kMaxCommandBytes) {
                line_.push_back(c);
            }
            continue;
        }
        // A PDU is being entered (or its prompt is still on the way).
        if (c == kCtrlZ || c == kEscape) {
            handlePduEnd(c == kCtrlZ);
        } else if (line_.size() < kMaxCommandBytes) {
            line_.push_back(c);
        }
    }
}

void ModemServer::handleCommand(const std::string& raw) {
    std::string line = raw;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::string upper = line;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.empty()) return;
    if (upper == "AT" || upper == "AT+CMGF=0") return say(kOk);
    if (upper == "ATE0" || upper == "ATE1") {
        echo_ = upper == "ATE1";
        return say(kOk);
    }
    if (upper.rfind("AT+CMGS=", 0) == 0) {
        int length = 0;
        if (!parseIndex(upper.substr(8), length)) return say(kError);
        cmgsLength_ = length;
        entry_ = Entry::Pdu;
        ++promptsGiven_;
        if (options_.scenario == ModemScenario::Noisy) {
            if (promptsGiven_ == 1) {
                say(kPrompt, scaled(kLatePromptMs));
            } else {
                say("\r\n");
                say("> ", scaled(kSplitPromptMs));
            }
        } else {
            say(kPrompt);
        }
        return;
    }
    if (upper.rfind("ATD", 0) == 0) {
        ModemEvent e;
        e.event = "call";
        e.number = line.substr(3);
        record(e);
        callEndsAt_ = nowMs() + scaled(kCallRingMs);
        return say(kOk);
    }
    if (upper == "ATH" || upper == "ATH0") {
        ModemEvent e;
        e.event = "hangup";
        record(e);
        callEndsAt_ = -1;
        return say(kOk);
    }
    if (upper.rfind("AT+CMGL", 0) == 0) {
        int stat = -1;
        if (upper.size() > 7 && (upper[7] != '=' || !parseIndex(upper.substr(8), stat) || stat > 4))
            return say("\r\n+CMS ERROR: 302\r\n");
        ModemEvent e;
        e.event = "list";
        e.stat = stat;
        record(e);
        std::string reply;
        for (auto& [index, stored] : storage_) {
            const bool wanted = stat == 4 || stored.stat == (stat < 0 ? 0 : stat);
            if (!wanted) continue;
            const std::size_t octets = stored.pdu.size() / 2;
            std::size_t smsc = 0;
            if (stored.pdu.size() >= 2) smsc = std::strtoul(stored.pdu.substr(0, 2).c_str(), nullptr, 16);
            const std::size_t tpdu = octets > smsc + 1 ? octets - smsc - 1 : 0;
            reply += "\r\n+CMGL: " + std::to_string(index) + "," + std::to_string(stored.stat) + ",," +
                     std::to_string(tpdu) + "\r\n" + stored.pdu;
            if (stat < 0) stored.stat = 1;
        }
        return say(reply + "\r\n" + kOk);
    }
    if (upper.rfind("AT+CMGD=", 0) == 0) {
        int index = 0;
        if (!parseIndex(upper.substr(8), index)) return say(kError);
        ModemEvent e;
        e.event = "delete";
        e.index = index;
        record(e);
        return say(storage_.erase(index) ? kOk : kCmsNoMessage);
    }
    say(kError);
}

void ModemServer::handlePduEnd(bool send) {
    std::string pdu;
    for (const char c : line_)
        if (std::isxdigit(static_cast<unsigned char>(c))) pdu.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    line_.clear();
    entry_ = Entry::Command;
    ModemEvent e;
    e.event = send ? "sms" : "sms-cancelled";
    e.cmgsLength = cmgsLength_;
    e.pdu = pdu;
    if (!send) {
        // A cancelled entry takes back a prompt that may still be on its way.
        due_.erase(std::remove_if(due_.begin(), due_.end(), [](const Due& d) { return d.bytes.find('>') != std::string::npos; }),
                   due_.end());
        e.answer = "OK";
        record(e);
        return say(kOk);
    }
    std::size_t smsc = pdu.size() >= 2 ? std::strtoul(pdu.substr(0, 2).c_str(), nullptr, 16) : 0;
    e.lengthOk = pdu.size() % 2 == 0 && pdu.size() / 2 == smsc + 1 + static_cast<std::size_t>(cmgsLength_);
    e.attempt = ++attempts_[pdu];
    ++pdusTaken_;
    std::string reply;
    if (!e.lengthOk) {
        reply = kCmsLength;
    } else if (options_.scenario == ModemScenario::AlwaysError ||
               (options_.scenario == ModemScenario::CmsErrorFirst && pdusTaken_ == 1)) {
        reply = kCmsRefused;
    } else if (options_.scenario != ModemScenario::PromptNoOk) {
        reply = "\r\n+CMGS: " + std::to_string(pdusTaken_ % 256) + "\r\n" + kOk;
    }
    e.answer = reply.empty() ? "" : reply.substr(2, reply.find('\r', 2) - 2);
    record(e);
    if (!reply.empty()) say(reply);
    if (options_.scenario == ModemScenario::Noisy && reply.find("OK") != std::string::npos) {
        // A text arrives right after the answer, and somebody rings.
        storeMessage(deliverPdu(0x04, 0x08, 4, "00480069"));
        say("\r\n+CMTI: \"SM\"," + std::to_string(nextIndex_ - 1) + "\r\n\r\nRING\r\n");
    }
    if (options_.scenario == ModemScenario::Unplugged && !unplugDone_ && e.lengthOk) {
        unplugDone_ = true;
        unplugAt_ = nowMs() + kUnplugAfterAnswerMs;  // the answer reaches the PC first
    }
}

}  // namespace korvex::sim
