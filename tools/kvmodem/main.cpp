// kvmodem: what the notifier would send, what an incoming PDU says, and the modem itself
// (send, call, inbox) through the notifier's own handshake and worker.
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <string>
#include <mutex>
#include <vector>

#include <korvex_revision.h>

#include "controller/modem/json_text.h"
#include "controller/modem/notice_rules.h"
#include "controller/modem/notifier.h"
#include "controller/modem/pdu.h"
#include "controller/modem/text_units.h"

namespace {

using namespace korvex::modem;

void usage(std::FILE* to) {
    std::fputs(
        "usage: kvmodem pdu SMSC NUMBER MACHINE TEXT   print len=<AT+CMGS length> and pdu=<hex>\n"
        "       kvmodem decode HEX                     print an SMS-DELIVER PDU as JSON\n"
        "       kvmodem --port DEVICE send SMSC NUMBER MACHINE TEXT\n"
        "       kvmodem --port DEVICE call NUMBER\n"
        "       kvmodem --port DEVICE inbox            print and delete every stored message\n"
        "       kvmodem --help | --version\n"
        "example: kvmodem --port /dev/ttyUSB1 send +8613800100500 13912345678 Noname \"Cut finished!\"\n",
        to);
}

int commandPdu(char** args) {
    ShortMessage message;
    std::string why;
    if (composeNotice(args[0], args[1], args[2], args[3], message, &why) != 0) {
        std::printf("not-sent=%s\n", why.c_str());
        return 1;
    }
    EncodedPdu pdu;
    if (encodeSubmit(message, pdu, &why) != 0) {
        std::printf("not-sent=%s\n", why.c_str());
        return 1;
    }
    std::printf("len=%d\npdu=%s\n", pdu.cmgsLength, pdu.hex.c_str());
    return 0;
}

int commandDecode(const char* hex) {
    ShortMessage message;
    std::string why;
    if (decodeDeliver(hex, message, &why) != 0) {
        std::fprintf(stderr, "kvmodem: cannot decode: %s\n", why.c_str());
        return 1;
    }
    std::printf("%s\n", messageJson(message).c_str());
    return 0;
}

// Runs the handshake and the real worker, then waits for the first outcome of the wanted kinds.
class ModemSession {
public:
    explicit ModemSession(const char* device) : device_(device) {
        notifier_.setOutcomeSink([this](const NoticeOutcome& o) {
            std::lock_guard lock(mutex_);
            outcomes_.push_back(o);
            cv_.notify_all();
        });
    }
    // Prints result=open-failed or result=not-found and returns false when the modem is not there.
    bool open() {
        const OpenResult r = notifier_.open(device_);
        if (r == OpenResult::Opened) return true;
        std::printf("result=%s\n", r == OpenResult::OpenFailed ? "open-failed" : "not-found");
        return false;
    }
    NoticeOutcome waitFor(std::initializer_list<NoticeOutcome::Kind> kinds) {
        std::unique_lock lock(mutex_);
        for (std::size_t seen = 0;; ++seen) {
            cv_.wait(lock, [&] { return outcomes_.size() > seen; });
            for (const auto k : kinds)
                if (outcomes_[seen].kind == k) return outcomes_[seen];
        }
    }
    Notifier& notifier() { return notifier_; }

private:
    std::string device_;
    Notifier notifier_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<NoticeOutcome> outcomes_;
};

int commandSend(ModemSession& session, char** args) {
    ShortMessage message;
    std::string why;
    if (composeNotice(args[0], args[1], args[2], args[3], message, &why) != 0) {
        std::printf("not-sent=%s\n", why.c_str());
        return 1;
    }
    if (!session.open()) return 1;
    session.notifier().queue(Notice{false, message, {}});
    const auto o = session.waitFor({NoticeOutcome::Sent, NoticeOutcome::GivenUp, NoticeOutcome::Refused,
                                    NoticeOutcome::Dropped});
    std::printf("result=%s\n", o.kind == NoticeOutcome::Sent ? "sent" : "given-up");
    if (o.kind != NoticeOutcome::Sent) std::fprintf(stderr, "kvmodem: %s\n", o.detail.c_str());
    return o.kind == NoticeOutcome::Sent ? 0 : 1;
}

int commandCall(ModemSession& session, const char* typed) {
    std::string why;
    const std::string number = normaliseNumber(typed, NumberUse::Call, &why);
    if (number.empty()) {
        std::printf("not-sent=%s\n", why.c_str());
        return 1;
    }
    if (!session.open()) return 1;
    session.notifier().queue(Notice{true, {}, number});
    const auto o = session.waitFor({NoticeOutcome::Called});
    std::printf("result=called\n");
    std::fprintf(stderr, "kvmodem: %s\n", o.detail.c_str());
    return 0;
}

int commandInbox(ModemSession& session) {
    if (!session.open()) return 1;
    session.notifier().requestInbox();
    session.waitFor({NoticeOutcome::InboxRead});
    while (const auto m = session.notifier().takeReceived()) std::printf("%s\n", messageJson(*m).c_str());
    return 0;
}

int runPortCommand(const char* device, const std::vector<char*>& args) {
    ModemSession session(device);
    const std::string command = args.empty() ? "" : args[0];
    if (command == "send" && args.size() == 5) return commandSend(session, const_cast<char**>(&args[1]));
    if (command == "call" && args.size() == 2) return commandCall(session, args[1]);
    if (command == "inbox" && args.size() == 1) return commandInbox(session);
    std::fprintf(stderr, "kvmodem: wrong arguments after --port\n");
    usage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv + 1, argv + argc);
    if (args.empty() || std::strcmp(args[0], "--help") == 0 || std::strcmp(args[0], "-h") == 0) {
        usage(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    if (std::strcmp(args[0], "--version") == 0) {
        std::printf("%s\n", korvex::versionLine("kvmodem").c_str());
        return 0;
    }
    const std::string command = args[0];
    if (command == "pdu" && args.size() == 5) return commandPdu(&args[1]);
    if (command == "decode" && args.size() == 2) return commandDecode(args[1]);
    if (command == "--port" && args.size() >= 3) return runPortCommand(args[1], {args.begin() + 2, args.end()});
    std::fprintf(stderr, "kvmodem: wrong arguments\n");
    usage(stderr);
    return 2;
}
