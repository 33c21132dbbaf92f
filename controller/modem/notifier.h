// The GSM modem notifier: opens the modem (9600 8N1), runs the handshake, and owns the modem from
// a worker thread; the rest of the program only queues notices.
//
// The worker's steps (every wait ends at once on stop, so close() returns within a read time-out):
//   1 idle        note the time
//   2 wait        idleWaitMs; a queued notice goes to 3 (a call to the call routine), else after
//                 inboxIntervalMs without work, 6
//   3 send        drop stale input, "AT+CMGS=<n>\r", collect up to promptTimeoutMs until "> "
//                 (a late or split prompt still counts); no prompt: ESC leaves PDU entry and the
//                 attempt failed; else the PDU and Ctrl-Z
//   4 result      collect until an "OK" line (sent, whatever follows it), an error line ("ERROR"
//                 or "+CMS ERROR") or sendTimeoutMs
//   5 retry       retryDelayMs, then 3 again; after maxSendAttempts the notice is given up and
//                 logged with the modem's last answer
//   6 list        "AT+CMGL=4\r" (all messages: AT+CMGL alone lists unread ones only, and a read
//                 message would stay for ever)
//   7 collect     until "OK", an error or listTimeoutMs; decodable messages go to the receive
//                 ring, every listed index is deleted, decodable or not
//   8 delete      "AT+CMGD=<index>\r"
//   9 confirm     "OK": next index; an error: retryDelayMs and again, at most maxDeleteAttempts;
//                 deleteTimeoutMs without an answer: back to 1
// A voice call is placed by the worker too, never written beside it: "ATD<number>;\r", then
// "ATH\r" after BUSY, NO CARRIER, NO ANSWER, an error or callTimeoutMs.
//
// A vanished modem (the device hangs up or fails) is closed and logged once; every
// reopenIntervalMs the worker reopens it with the handshake. Queued notices wait, and the notice
// in flight is sent again from its next attempt.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "controller/link/serial_port.h"
#include "controller/modem/notice_ring.h"
#include "controller/modem/pdu.h"
#include "controller/modem/sms_log.h"

namespace korvex::modem {

inline constexpr int kModemBaudRate = 9600;
inline constexpr std::size_t kModemReadBytes = 128;
inline constexpr std::size_t kMaxReplyBytes = 128 * 1024;  // a listing of a full ring fits
inline constexpr char kCtrlZ = 0x1A;
inline constexpr char kEscape = 0x1B;

// Every wait and time-out of the notifier, in milliseconds; tests shorten them.
struct ModemTiming {
    int stepPauseMs = 20;
    int idleWaitMs = 300;
    int inboxIntervalMs = 5000;
    int readIntervalMs = 100;     // a pause this long ends a handshake reply
    int readTotalMs = 500;        // a handshake reply (and ATH's) ends after this at the latest
    int writeTimeoutMs = 100;     // plus one per byte
    int promptTimeoutMs = 2000;
    int sendTimeoutMs = 10000;
    int retryDelayMs = 500;
    int maxSendAttempts = 10;
    int listTimeoutMs = 15000;
    int deleteTimeoutMs = 5000;
    int maxDeleteAttempts = 3;
    int callTimeoutMs = 30000;
    int reopenIntervalMs = 5000;
};

enum class OpenResult { Opened, OpenFailed, NotFound };

// What became of a notice, for the log and for whoever waits on it.
struct NoticeOutcome {
    enum Kind { Sent, Called, GivenUp, Refused, Dropped, InboxRead } kind = Sent;
    std::string detail;
};

// A queued notice: a message, or a number to call.
struct Notice {
    bool call = false;
    ShortMessage message;
    std::string callNumber;
};

// Where the stored notice settings come from (the per-card "Work" keys).
struct NoticeSettings {
    std::string smsc;
    int noticeType = 0;  // 1 call; anything else a message (a value beyond 0..1 counts as unset)
    std::string number;
};

class Notifier {
public:
    using OutcomeSink = std::function<void(const NoticeOutcome&)>;

    explicit Notifier(ModemTiming timing = {}, std::string logPath = {});
    ~Notifier();
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    // Opens the port, runs the handshake and starts the worker. The caller runs it beside its
    // event loop: the handshake takes up to three read time-outs.
    OpenResult open(const std::string& device);
    // Stops the worker and closes the port; safe to call when not open.
    void close();
    bool running() const { return worker_.joinable(); }

    // Queues a notice by the notice rules; refused and dropped notices are logged. Returns 0
    // when queued, -1 otherwise (also when the notifier is not running).
    int notify(const NoticeSettings& settings, std::string_view machineName, std::string_view text);
    bool queue(Notice notice);
    // Makes the worker read the inbox at its next step (the installer's tool).
    void requestInbox() { inboxRequested_ = true; }
    std::optional<ShortMessage> takeReceived() { return received_.pop(); }
    std::size_t queued() const { return sendRing_.size(); }
    // A notice waits in the ring or is being sent or called (what a power-off waits for).
    bool pending() const { return queued() > 0 || busy_; }

    // Called on the worker thread (or the caller's, for refusals) with every outcome.
    void setOutcomeSink(OutcomeSink sink);

private:
    enum class Io { Done, TimedOut, Lost, Stopped };

    void workerLoop();
    bool handshake();
    bool reconnect();
    Io sendMessage(const ShortMessage& message, int& attempts);
    Io placeCall(const std::string& number);
    Io readInbox();
    Io write(std::string_view text);
    // quietMs > 0: a pause that long after the first byte also ends the reply (the handshake's
    // reads, whose replies are not all checked).
    Io collect(std::string& reply, int timeoutMs, const std::function<bool(std::string_view)>& done,
               int quietMs = 0);
    void dropInput();
    bool waitStop(int ms);
    void report(NoticeOutcome::Kind kind, const std::string& detail);

    const ModemTiming timing_;
    SmsLog log_;
    SerialPort port_;
    std::string device_;
    std::thread worker_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> inboxRequested_{false};
    int wakePipe_[2] = {-1, -1};
    std::mutex waitMutex_;
    std::condition_variable waitCv_;
    NoticeRing<Notice> sendRing_;
    NoticeRing<ShortMessage> received_;
    std::optional<Notice> inFlight_;
    std::atomic<bool> busy_{false};  // inFlight_ is set (it is the worker's alone)
    int inFlightAttempts_ = 0;
    std::mutex sinkMutex_;
    OutcomeSink sink_;
};

}  // namespace korvex::modem
