// The link to the card: one serial port, one reader thread, one transaction at a time.
//
// Transaction (every card command goes through it):
//
//   caller thread                          reader thread
//   lock orderMutex
//   pack request (takes a sequence byte)
//   attempt 1..3:
//     arm the response slot
//     write the frame (2000 ms limit)  ---> card
//     wait for the slot (time-out)         cut frame, ParseCmd
//                                    <---  response: stored only while a slot is armed
//     wrong type         -> next attempt, same bytes, same sequence
//     status != 0        -> -1 at once, no retry, no event
//     payload > capacity -> -1 at once, nothing copied
//     else copy payload, 0
//   unlock orderMutex
//   all attempts failed: event hook (code 0, record[1] = command) unless connect
//
// The response is matched by type only, so a late answer to an earlier attempt of the same
// command answers the retry. An answer that arrives while no transaction waits (the second
// answer to a retried request) is dropped and counted: it can never answer the next command.
// Reports (kind-0 frames) go to the event hook on the reader thread, in stream order; the hook
// must return quickly and must not run a transaction.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "controller/link/diagnostics.h"
#include "controller/link/error_log.h"
#include "controller/link/frame.h"
#include "controller/link/serial_port.h"

namespace korvex {

inline constexpr int kResponseTimeoutMs = 2000;  // per attempt
inline constexpr int kWriteTimeoutMs = 2000;     // a write not done by then fails the attempt
inline constexpr int kTransactionAttempts = 3;
inline constexpr int kConnectPauseMs = 1000;     // the card settles after a connect
inline constexpr std::size_t kReadChunkBytes = 1024;

// Called with the report code and the first 8 payload bytes of a card report (on the reader
// thread), or with code 0 and record[1] = the failed command code when a transaction failed after
// all its attempts (on the thread that ran it). Must not block and must not run a transaction.
using EventHook = std::function<void(uint8_t code, const uint8_t* record)>;

struct LinkOptions {
    int responseTimeoutMs = kResponseTimeoutMs;
    int writeTimeoutMs = kWriteTimeoutMs;
    int connectPauseMs = kConnectPauseMs;
    // The log folder: "%08x_Err.txt" and "%08x_Link.txt" go there (error_log.h says where it
    // normally is; it is made on the first write). Nothing is written when it is empty.
    std::string logDir;
};

class CardLink {
public:
    explicit CardLink(LinkOptions options = {});
    ~CardLink();
    CardLink(const CardLink&) = delete;
    CardLink& operator=(const CardLink&) = delete;

    // Registers the event hook. Only while the port is closed; returns 0, or -1 when open.
    int SetEventHook(EventHook hook);

    // Opens the device and starts the reader thread. Returns 0, or -1 with nothing left open.
    // An open link is closed first.
    int Open(const std::string& device);
    // Ends the reader thread promptly, waits for it, closes the port. A transaction running on
    // another thread ends with -1. The link may be opened again.
    void Close();
    bool IsOpen() const;

    // One request and its answer. Returns 0 and the answer's payload in response[0..*length),
    // or -1. capacity 0 means the command has no answer payload.
    int Transaction(uint8_t type, const uint8_t* payload, std::size_t payloadLength, uint8_t* response,
                    std::size_t capacity, std::size_t* responseLength);

    // The card's identity names the error log and the diagnostics file; 0 until it is read.
    void SetCardId(uint32_t id);
    uint32_t CardId() const;
    // Appends one line to "%08x_Err.txt" with its time prefix; the caller writes the "\n". A line
    // over 1023 characters is cut. Returns 0, or -1 when nothing was written (identity 0, no log
    // folder, file not writable).
    int LogError(const char* format, ...) __attribute__((format(printf, 2, 3)));

    LinkStats Stats() const { return counters_.snapshot(); }
    // Card reports received since the last connect, modulo 256.
    uint8_t ReportCount() const;
    const LinkOptions& options() const { return options_; }
    // Writes the last frames to "%08x_Link.txt" with the title; done by the link itself when a
    // transaction fails after all its attempts.
    int WriteFrameHistory(const std::string& title);

private:
    // Writes one whole frame within the write time-out; only transactions call it.
    int FrameWriteComm(const uint8_t* frame, std::size_t length);
    void readerLoop();
    void handleFrame(const uint8_t* frame, std::size_t length);

    LinkOptions options_;
    EventHook eventHook_;
    SerialPort port_;
    int wakeFd_ = -1;
    std::thread reader_;
    std::atomic<std::thread::id> readerId_{};

    std::mutex orderMutex_;       // one transaction at a time, packing to return
    SequenceCounter sequence_;    // guarded by orderMutex_

    // The single-slot response hand-off.
    std::mutex slotMutex_;
    std::condition_variable slotReady_;
    bool slotArmed_ = false;
    bool slotFilled_ = false;
    bool closing_ = false;
    std::size_t slotLength_ = 0;
    uint8_t slot_[CPS_MAX_FRAME_SIZE] = {};

    std::atomic<uint8_t> reportCount_{0};
    std::atomic<uint32_t> cardId_{0};

    ErrorLog errorLog_;

    LinkCounters counters_;
    std::unique_ptr<FrameHistory> history_;
};

}  // namespace korvex
