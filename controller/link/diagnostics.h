// What the link counts and remembers for service work: counters of everything that went right
// and wrong on the line, and the last frames in each direction, written to "%08x_Link.txt" in the
// log folder (error_log.h) when a transaction fails after all its attempts.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <string>

#include "controller/link/frame.h"

namespace korvex {

// A snapshot of the link's counters since it was created.
struct LinkStats {
    uint64_t framesSent = 0;         // request frames written, retries included
    uint64_t attemptsRetried = 0;    // attempts after the first
    uint64_t timeouts = 0;           // attempts that saw no answer in time
    uint64_t writeFailures = 0;      // attempts whose frame could not be written in time
    uint64_t wrongType = 0;          // answers of another command
    uint64_t refused = 0;            // answers with a non-zero status
    uint64_t oversize = 0;           // answers longer than the caller can take
    uint64_t transactionsOk = 0;
    uint64_t transactionsFailed = 0; // after all attempts
    uint64_t responses = 0;          // sound response frames received
    uint64_t strayResponses = 0;     // responses no transaction was waiting for
    uint64_t reports = 0;            // card reports handed to the event hook
    uint64_t framesRejected = 0;     // cut frames refused by the checks (sum of the next)
    std::array<uint64_t, kFrameFaultCount> rejectedBy{};  // indexed by FrameFault
    uint64_t noiseBytes = 0;         // bytes the cutter dropped outside sound frames
    uint64_t bytesRead = 0;
    uint64_t bytesWritten = 0;
};

// Writes the counters as "name=value" lines.
std::string FormatStats(const LinkStats& stats);

// Live counters, updated from the transaction threads and the reader thread.
class LinkCounters {
public:
    enum Id {
        kFramesSent, kAttemptsRetried, kTimeouts, kWriteFailures, kWrongType, kRefused, kOversize,
        kTransactionsOk, kTransactionsFailed, kResponses, kStrayResponses, kReports,
        kNoiseBytes, kBytesRead, kBytesWritten, kCount
    };
    void add(Id id, uint64_t n = 1) { values_[id].fetch_add(n, std::memory_order_relaxed); }
    void reject(FrameFault fault) {
        rejected_[static_cast<std::size_t>(fault)].fetch_add(1, std::memory_order_relaxed);
    }
    LinkStats snapshot() const;

private:
    std::array<std::atomic<uint64_t>, kCount> values_{};
    std::array<std::atomic<uint64_t>, kFrameFaultCount> rejected_{};
};

// The last kFrameRingSize frames sent and received, with their times.
class FrameHistory {
public:
    static constexpr std::size_t kFrameRingSize = 64;

    void record(bool outgoing, const uint8_t* bytes, std::size_t length);
    // Appends a block to path: the title line, then both rings merged in time order. Returns 0 or
    // -1 when the file cannot be written.
    int appendTo(const std::string& path, const std::string& title) const;
    void clear();

private:
    struct Entry {
        timespec time{};
        uint16_t length = 0;
        uint8_t bytes[CPS_MAX_FRAME_SIZE] = {};
    };
    struct Ring {
        std::array<Entry, kFrameRingSize> entries;
        std::size_t next = 0;
        std::size_t count = 0;
    };
    mutable std::mutex mutex_;
    Ring sent_;
    Ring received_;
};

// "[YYYY/MM/DD hh:mm:ss] " in local time.
std::string LocalTimePrefix();

}  // namespace korvex
