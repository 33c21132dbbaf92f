#include "controller/modem/notifier.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "controller/modem/at_reply.h"
#include "controller/modem/notice_rules.h"
#include "controller/modem/text_units.h"

namespace korvex::modem {
namespace {

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point t) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

const char* callEndText(CallEnd end) {
    switch (end) {
        case CallEnd::Busy: return "BUSY";
        case CallEnd::NoCarrier: return "NO CARRIER";
        case CallEnd::NoAnswer: return "NO ANSWER";
        case CallEnd::Error: return "ERROR";
        case CallEnd::None: break;
    }
    return "no answer in time";
}

}  // namespace

Notifier::Notifier(ModemTiming timing, std::string logPath) : timing_(timing), log_(std::move(logPath)) {}

Notifier::~Notifier() { close(); }

void Notifier::setOutcomeSink(OutcomeSink sink) {
    std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
}

void Notifier::report(NoticeOutcome::Kind kind, const std::string& detail) {
    static const char* const kWords[] = {"sent", "called", "given up", "refused", "dropped", "inbox read"};
    if (kind != NoticeOutcome::InboxRead) log_.append(std::string(kWords[kind]) + ": " + detail);
    std::lock_guard lock(sinkMutex_);
    if (sink_) sink_(NoticeOutcome{kind, detail});
}

OpenResult Notifier::open(const std::string& device) {
    close();
    if (port_.Open(device, kModemBaudRate) != 0) return OpenResult::OpenFailed;
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        port_.Close();
        return OpenResult::OpenFailed;
    }
    stopping_ = false;
    if (!handshake()) {
        close();
        return OpenResult::NotFound;
    }
    device_ = device;
    worker_ = std::thread([this] { workerLoop(); });
    return OpenResult::Opened;
}

void Notifier::close() {
    {
        std::lock_guard lock(waitMutex_);
        stopping_ = true;
    }
    waitCv_.notify_all();
    if (wakePipe_[1] >= 0) {
        const char b = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &b, 1);
    }
    if (worker_.joinable()) worker_.join();
    port_.Close();
    for (int& fd : wakePipe_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

bool Notifier::queue(Notice notice) {
    if (!running()) return false;
    if (!sendRing_.push(std::move(notice))) {
        report(NoticeOutcome::Dropped, "the send queue is full");
        return false;
    }
    waitCv_.notify_all();
    return true;
}

int Notifier::notify(const NoticeSettings& settings, std::string_view machineName, std::string_view text) {
    if (!running()) return -1;
    Notice notice;
    std::string why;
    if (settings.noticeType == 1) {
        const auto units = utf8ToUtf16(text);
        if (!units || units->empty() || units->size() > kMaxNoticeUnits) {
            report(NoticeOutcome::Refused, "call for a notice text of a wrong length");
            return -1;
        }
        notice.call = true;
        notice.callNumber = normaliseNumber(settings.number, NumberUse::Call, &why);
        if (notice.callNumber.empty()) {
            report(NoticeOutcome::Refused, "call number: " + why);
            return -1;
        }
    } else if (composeNotice(settings.smsc, settings.number, machineName, text, notice.message, &why) != 0) {
        report(NoticeOutcome::Refused, "message \"" + std::string(text) + "\": " + why);
        return -1;
    }
    return queue(std::move(notice)) ? 0 : -1;
}

// ---------------------------------------------------------------------------------------------
// The line

bool Notifier::waitStop(int ms) {
    std::unique_lock lock(waitMutex_);
    return waitCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

Notifier::Io Notifier::write(std::string_view text) {
    if (port_.WriteAll(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                       timing_.writeTimeoutMs + static_cast<int>(text.size())) != 0)
        return Io::Lost;
    return Io::Done;
}

void Notifier::dropInput() {
    char scrap[kModemReadBytes];
    while (port_.isOpen() && ::read(port_.fd(), scrap, sizeof scrap) > 0) {
    }
}

// Collects the modem's reply in reads of at most 128 bytes until done(reply) holds, the time-out
// passes, the device is gone or the notifier stops.
Notifier::Io Notifier::collect(std::string& reply, int timeoutMs,
                               const std::function<bool(std::string_view)>& done, int quietMs) {
    const auto start = Clock::now();
    auto lastData = start;
    for (;;) {
        if (done(reply)) return Io::Done;
        int left = timeoutMs - msSince(start);
        if (quietMs > 0 && !reply.empty()) {
            // A reply that has started and then paused this long is complete, as a serial
            // read with an interval time-out would end.
            const int quietLeft = quietMs - msSince(lastData);
            if (quietLeft <= 0) return Io::TimedOut;
            left = std::min(left, quietLeft);
        }
        if (left <= 0) return Io::TimedOut;
        pollfd fds[2] = {{port_.fd(), POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, left);
        if (stopping_) return Io::Stopped;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return Io::Lost;
        }
        if (ready == 0) continue;
        if (fds[0].revents & POLLIN) {
            char chunk[kModemReadBytes];
            const ssize_t n = ::read(port_.fd(), chunk, sizeof chunk);
            if (n > 0) {
                if (reply.size() + static_cast<std::size_t>(n) > kMaxReplyBytes)
                    reply.erase(0, reply.size() / 2);  // keep the end, where the result line is
                reply.append(chunk, static_cast<std::size_t>(n));
                lastData = Clock::now();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            return Io::Lost;
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return Io::Lost;
    }
}

bool Notifier::handshake() {
    dropInput();
    std::string reply;
    if (write("AT\r") != Io::Done) return false;
    collect(reply, timing_.readTotalMs, [](std::string_view r) { return r.find("OK") != std::string_view::npos; },
            timing_.readIntervalMs);
    if (reply.find("OK") == std::string::npos) return false;
    const auto answered = [](std::string_view r) { return hasOkLine(r) || hasErrorLine(r); };
    for (const char* command : {"ATE0\r", "AT+CMGF=0\r"}) {
        reply.clear();
        if (write(command) != Io::Done) return false;
        // Not checked: a modem may not know ATE0.
        collect(reply, timing_.readTotalMs, answered, timing_.readIntervalMs);
    }
    return true;
}

bool Notifier::reconnect() {
    while (!stopping_) {
        if (waitStop(timing_.reopenIntervalMs)) return false;
        if (port_.Open(device_, kModemBaudRate) != 0) continue;
        if (handshake()) {
            log_.append("modem back on " + device_);
            return true;
        }
        port_.Close();
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The worker

void Notifier::workerLoop() {
    auto idleSince = Clock::now();
    while (!stopping_) {
        Io io = Io::Done;
        // Marked before the ring is popped, so pending() never misses a notice between the two.
        busy_ = true;
        if (!inFlight_)
            inFlight_ = sendRing_.pop();
        busy_ = inFlight_.has_value();
        if (inFlight_) {
            if (inFlight_->call) {
                io = placeCall(inFlight_->callNumber);
            } else {
                io = sendMessage(inFlight_->message, inFlightAttempts_);
            }
            if (io != Io::Lost && io != Io::Stopped) {
                inFlight_.reset();
                inFlightAttempts_ = 0;
                busy_ = false;
            }
            idleSince = Clock::now();
        } else if (inboxRequested_ || msSince(idleSince) >= timing_.inboxIntervalMs) {
            io = readInbox();
            if (io != Io::Lost) inboxRequested_ = false;
            idleSince = Clock::now();
        } else {
            std::unique_lock lock(waitMutex_);
            waitCv_.wait_for(lock, std::chrono::milliseconds(timing_.idleWaitMs),
                             [this] { return stopping_ || sendRing_.size() > 0 || inboxRequested_; });
            continue;
        }
        if (io == Io::Lost) {
            log_.append("modem lost on " + device_ + "; reopening every " +
                        std::to_string(timing_.reopenIntervalMs) + " ms");
            port_.Close();
            if (!reconnect()) break;
            idleSince = Clock::now();
            continue;
        }
        if (waitStop(timing_.stepPauseMs)) break;
    }
}

Notifier::Io Notifier::sendMessage(const ShortMessage& message, int& attempts) {
    EncodedPdu pdu;
    std::string why;
    if (encodeSubmit(message, pdu, &why) != 0) {
        report(NoticeOutcome::Refused, "message to " + message.number + ": " + why);
        return Io::Done;
    }
    const std::string command = "AT+CMGS=" + std::to_string(pdu.cmgsLength) + "\r";
    std::string last = "no answer";
    while (attempts < timing_.maxSendAttempts) {
        if (attempts > 0 && waitStop(timing_.retryDelayMs)) return Io::Stopped;
        ++attempts;
        dropInput();
        std::string reply;
        if (write(command) != Io::Done) return Io::Lost;
        Io io = collect(reply, timing_.promptTimeoutMs,
                        [](std::string_view r) { return hasPrompt(r) || hasErrorLine(r); });
        if (io == Io::Lost || io == Io::Stopped) return io;
        if (!hasPrompt(reply)) {
            // The modem may still be waiting for a PDU: leave the entry before trying again.
            if (write(std::string(1, kEscape)) != Io::Done) return Io::Lost;
            last = hasErrorLine(reply) ? lastAnswer(reply) : "no prompt";
            continue;
        }
        reply.clear();
        if (write(pdu.hex + kCtrlZ) != Io::Done) return Io::Lost;
        io = collect(reply, timing_.sendTimeoutMs, [](std::string_view r) { return hasOkLine(r) || hasErrorLine(r); });
        if (io == Io::Lost || io == Io::Stopped) return io;
        if (hasOkLine(reply)) {
            report(NoticeOutcome::Sent, message.number + ": " + utf16ToUtf8(message.text));
            return Io::Done;
        }
        last = io == Io::TimedOut ? "no answer" : lastAnswer(reply);
    }
    report(NoticeOutcome::GivenUp, message.number + " after " + std::to_string(attempts) +
                                       " attempts, last answer: " + last);
    return Io::Done;
}

Notifier::Io Notifier::placeCall(const std::string& number) {
    dropInput();
    std::string reply;
    if (write("ATD" + number + ";\r") != Io::Done) return Io::Lost;
    Io io = collect(reply, timing_.callTimeoutMs, [](std::string_view r) { return callEnd(r) != CallEnd::None; });
    if (io == Io::Lost || io == Io::Stopped) return io;
    const CallEnd end = callEnd(reply);
    reply.clear();
    if (write("ATH\r") != Io::Done) return Io::Lost;
    io = collect(reply, timing_.readTotalMs, [](std::string_view r) { return hasOkLine(r) || hasErrorLine(r); });
    if (io == Io::Lost) return io;
    report(NoticeOutcome::Called, number + ": " + callEndText(end));
    return Io::Done;
}

Notifier::Io Notifier::readInbox() {
    dropInput();
    std::string reply;
    if (write("AT+CMGL=4\r") != Io::Done) return Io::Lost;
    Io io = collect(reply, timing_.listTimeoutMs, [](std::string_view r) { return hasOkLine(r) || hasErrorLine(r); });
    if (io == Io::Lost || io == Io::Stopped) return io;
    if (!hasOkLine(reply)) return Io::Done;
    const auto listed = parseListing(reply);
    for (const ListedMessage& entry : listed) {
        ShortMessage message;
        std::string why;
        if (decodeDeliver(entry.pdu, message, &why) != 0) {
            log_.append("message " + std::to_string(entry.index) + " not decoded (" + why + "), deleted");
            continue;
        }
        message.index = entry.index;
        if (!received_.push(std::move(message))) log_.append("received message dropped: the receive queue is full");
    }
    for (const ListedMessage& entry : listed) {
        const std::string command = "AT+CMGD=" + std::to_string(entry.index) + "\r";
        for (int attempt = 1;; ++attempt) {
            dropInput();
            reply.clear();
            if (write(command) != Io::Done) return Io::Lost;
            io = collect(reply, timing_.deleteTimeoutMs,
                         [](std::string_view r) { return hasOkLine(r) || hasErrorLine(r); });
            if (io == Io::Lost || io == Io::Stopped) return io;
            if (io == Io::TimedOut) return Io::Done;  // the modem is busy: the next listing tries again
            if (hasOkLine(reply)) break;
            if (attempt >= timing_.maxDeleteAttempts) {
                log_.append("message " + std::to_string(entry.index) + " not deleted: " + lastAnswer(reply));
                break;
            }
            if (waitStop(timing_.retryDelayMs)) return Io::Stopped;
        }
    }
    report(NoticeOutcome::InboxRead, std::to_string(listed.size()));
    return Io::Done;
}

}  // namespace korvex::modem
