// The virtual card's line: a pseudo-terminal whose slave side the controller opens as its serial
// device, a thread that cuts request frames out of the byte stream and answers them from the
// card engine, and the faults a real line and a real card can show.
//
// Answers and retries. Every request gets one response frame (type + 0x80). The PC sends every
// attempt of a transaction as the same frame with the same sequence byte, so a request equal to
// the previous one (sequence, type and payload) within kRetryWindowMs is a retry after a lost
// answer: the stored answer is sent again and the request is not executed a second time, so a
// retried start, window or jog never acts twice.
//
// Time. The card runs on the server's clock scaled by speedScale. With manualClock the clock
// only moves when advance() is called, so tests drive the card in virtual time and nothing
// depends on how fast the machine is; otherwise it is the monotonic clock. The retry window and
// the PC-silence timeout are measured on the unscaled server clock. The line itself (baud
// pacing, answer delays) always runs on the monotonic clock: it is a real line even when the
// card's time is virtual, so a test's transaction is never left waiting for an advance().
//
// The line. With a baud rate every frame occupies its direction of the line for its bytes x 10
// bits: a request is executed when its last byte has arrived, and answers and reports leave in
// the order they were produced, one after the other, so latency and starvation show as on a
// real 19200-baud line.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "controller/link/frame.h"
#include "sim/card/card_engine.h"
#include "sim/card/card_trace.h"

namespace korvex::sim {

inline constexpr int64_t kRetryWindowMs = 10000;        // a repeated request within this is a retry
inline constexpr int64_t kDefaultPcSilenceMs = 30000;   // no request for this long: the PC is gone
inline constexpr int64_t kBusyPollMs = 5;               // time step while the card moves (real clock)
inline constexpr int64_t kIdlePollMs = 1000;
inline constexpr int64_t kHangupRetryMs = 50;           // how often a closed slave side is tried again
inline constexpr int64_t kPersistIntervalMs = 200;      // the memory file is written at most this often
inline constexpr std::size_t kMaxPendingOutputBytes = 64 * 1024;  // beyond this, a deaf line loses bytes
inline constexpr int kBitsPerByte = 10;                 // 8N1: start, 8 data, stop

struct ServerOptions {
    uint32_t cardId = kDefaultCardId;
    double speedScale = 1.0;
    int baud = 0;                       // 0: bytes leave at once
    int64_t pcSilenceMs = kDefaultPcSilenceMs;  // 0: never
    std::string statePath;              // the card's memory file; empty: memory lost on exit
    std::string tracePath;
    std::string linkPath;               // a symbolic link to the slave device
    bool manualClock = false;
    uint32_t noiseSeed = 1;
};

struct ServerCounters {
    uint64_t requests = 0;      // request frames received (retries and silenced ones included)
    uint64_t retries = 0;       // answered again without executing
    uint64_t badFrames = 0;
    uint64_t reportsSent = 0;
    uint64_t answersSent = 0;
};

class CardServer {
public:
    explicit CardServer(ServerOptions options);
    ~CardServer();
    CardServer(const CardServer&) = delete;
    CardServer& operator=(const CardServer&) = delete;

    // Reads the memory file, opens the pseudo-terminal, makes the link and starts the thread.
    // Returns 0, or -1 with error() telling why; nothing is left running on failure.
    int start();
    // Stops the thread, writes the memory, removes the link. Safe to call twice.
    void stop();
    const std::string& error() const { return error_; }
    const std::string& devicePath() const { return devicePath_; }

    // Virtual time (manualClock only): moves the clock on, runs the card and sends what it
    // produced. Returns the number of reports sent so far.
    uint64_t advance(int64_t micros);

    // Faults. The card faults return -1 when the card is in no state for them.
    // seconds < 0: the short clears once the card has backed off; otherwise it lasts that long.
    int shortCircuit(int seconds = -1);
    int wireBreak();
    void setSilence(bool on);
    void injectNoise(int count);
    void dropNextResponse();
    void corruptNextResponse();
    void duplicateNextResponse();
    void setResponseDelay(int64_t ms);
    // Holds the card's motion where it stands: its clock runs on without moving it, while the
    // line keeps answering. A cut stays mid-segment as long as a test needs.
    void setHold(bool on);
    // The next `count` requests of this command are answered "refused" (status 1) without being
    // executed, as a card that will not do what it is asked. count 0 ends the fault.
    void refuseNext(uint8_t type, int count);
    // Sends a report of this type with these 8 data bytes at once, as if the card raised it.
    void injectReport(uint8_t type, const std::array<uint8_t, kReportDataBytes>& data);
    // Stops the card where it stands, writes its memory and goes deaf, as a power cut would.
    void powerLoss();
    bool poweredOff() const { return poweredOff_.load(); }

    // Runs f with the engine locked (inspection from tests and the control socket).
    template <class F>
    auto withEngine(F&& f) {
        std::lock_guard lock(mutex_);
        return f(engine_);
    }
    ServerCounters counters() const;

private:
    struct Pending {
        int64_t dueMicros = 0;
        std::vector<uint8_t> bytes;
    };

    int64_t clockMicros() const;
    int64_t lineMicros() const;
    double traceSeconds() const;
    void threadLoop();
    int pollTimeoutMs() const;
    void readInput();
    void processFramesLocked();
    void handleFrameLocked(const uint8_t* frame, std::size_t length);
    void executeDueRequestsLocked();
    void syncEngineLocked();
    void collectReportsLocked();
    void queueLocked(std::vector<uint8_t> bytes, int64_t extraDelayMicros);
    void queueAnswerLocked(const std::vector<uint8_t>& frame);
    void flushOutputLocked();
    void checkPcSilenceLocked();
    void persistLocked(bool force);
    void wake();

    ServerOptions options_;
    std::string error_;
    std::string devicePath_;
    int masterFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> poweredOff_{false};
    bool linkMade_ = false;

    mutable std::mutex mutex_;  // everything below
    CardEngine engine_;
    CardTrace trace_;
    FrameQueue queue_;
    bool hungUp_ = false;
    std::atomic<int64_t> manualMicros_{0};
    int64_t startMicros_ = 0;
    int64_t cardMicrosRun_ = 0;      // card time already given to the engine
    std::deque<Pending> output_;     // due on the line clock
    int64_t lineFreeAt_ = 0;
    std::deque<Pending> incoming_;   // requests still on the wire (baud pacing)
    int64_t rxLineFreeAt_ = 0;

    // The last request and its answer, for retries.
    bool haveLast_ = false;
    std::vector<uint8_t> lastRequest_;  // sequence, type, payload
    std::vector<uint8_t> lastAnswer_;   // the whole response frame
    int64_t lastRequestMicros_ = 0;   // any request: the PC is alive
    int64_t lastExecutedMicros_ = 0;  // the last request executed: the retry window
    bool pcSeen_ = false;
    bool pcLostHandled_ = false;

    bool silence_ = false;
    bool hold_ = false;
    bool dropNext_ = false;
    bool corruptNext_ = false;
    bool duplicateNext_ = false;
    int64_t delayMicros_ = 0;
    std::array<int, 256> refusals_{};  // per command code: requests still to refuse
    std::mt19937 noise_;
    int64_t lastPersist_ = 0;
    bool persistPending_ = false;
    ServerCounters counters_;
};

}  // namespace korvex::sim
