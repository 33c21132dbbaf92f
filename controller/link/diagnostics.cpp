#include "controller/link/diagnostics.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace korvex {

LinkStats LinkCounters::snapshot() const {
    auto v = [this](Id id) { return values_[id].load(std::memory_order_relaxed); };
    LinkStats s;
    s.framesSent = v(kFramesSent);
    s.attemptsRetried = v(kAttemptsRetried);
    s.timeouts = v(kTimeouts);
    s.writeFailures = v(kWriteFailures);
    s.wrongType = v(kWrongType);
    s.refused = v(kRefused);
    s.oversize = v(kOversize);
    s.transactionsOk = v(kTransactionsOk);
    s.transactionsFailed = v(kTransactionsFailed);
    s.responses = v(kResponses);
    s.strayResponses = v(kStrayResponses);
    s.reports = v(kReports);
    s.noiseBytes = v(kNoiseBytes);
    s.bytesRead = v(kBytesRead);
    s.bytesWritten = v(kBytesWritten);
    for (std::size_t i = 0; i < s.rejectedBy.size(); ++i) {
        s.rejectedBy[i] = rejected_[i].load(std::memory_order_relaxed);
        s.framesRejected += s.rejectedBy[i];
    }
    return s;
}

std::string FormatStats(const LinkStats& s) {
    std::string out;
    auto line = [&out](const char* name, uint64_t value) {
        out += name;
        out += '=';
        out += std::to_string(value);
        out += '\n';
    };
    line("frames_sent", s.framesSent);
    line("attempts_retried", s.attemptsRetried);
    line("timeouts", s.timeouts);
    line("write_failures", s.writeFailures);
    line("wrong_type", s.wrongType);
    line("refused", s.refused);
    line("oversize", s.oversize);
    line("transactions_ok", s.transactionsOk);
    line("transactions_failed", s.transactionsFailed);
    line("responses", s.responses);
    line("stray_responses", s.strayResponses);
    line("reports", s.reports);
    line("frames_rejected", s.framesRejected);
    for (int i = 1; i < kFrameFaultCount; ++i) {
        const std::string name = std::string("rejected_") + FrameFaultName(static_cast<FrameFault>(i));
        line(name.c_str(), s.rejectedBy[static_cast<std::size_t>(i)]);
    }
    line("noise_bytes", s.noiseBytes);
    line("bytes_read", s.bytesRead);
    line("bytes_written", s.bytesWritten);
    return out;
}

void FrameHistory::record(bool outgoing, const uint8_t* bytes, std::size_t length) {
    length = std::min(length, CPS_MAX_FRAME_SIZE);
    std::lock_guard lock(mutex_);
    Ring& ring = outgoing ? sent_ : received_;
    Entry& e = ring.entries[ring.next];
    clock_gettime(CLOCK_REALTIME, &e.time);
    e.length = static_cast<uint16_t>(length);
    std::copy(bytes, bytes + length, e.bytes);
    ring.next = (ring.next + 1) % kFrameRingSize;
    ring.count = std::min(ring.count + 1, kFrameRingSize);
}

void FrameHistory::clear() {
    std::lock_guard lock(mutex_);
    sent_.next = sent_.count = 0;
    received_.next = received_.count = 0;
}

std::string LocalTimePrefix() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::snprintf(text, sizeof text, "[%4d/%02d/%02d %02d:%02d:%02d] ", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

int FrameHistory::appendTo(const std::string& path, const std::string& title) const {
    struct Row {
        const Entry* entry;
        bool outgoing;
    };
    std::vector<Row> rows;
    {
        std::lock_guard lock(mutex_);
        for (const Ring* ring : {&sent_, &received_}) {
            const std::size_t first = (ring->next + kFrameRingSize - ring->count) % kFrameRingSize;
            for (std::size_t i = 0; i < ring->count; ++i)
                rows.push_back({&ring->entries[(first + i) % kFrameRingSize], ring == &sent_});
        }
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            if (a.entry->time.tv_sec != b.entry->time.tv_sec) return a.entry->time.tv_sec < b.entry->time.tv_sec;
            return a.entry->time.tv_nsec < b.entry->time.tv_nsec;
        });
        std::FILE* file = std::fopen(path.c_str(), "a");
        if (file == nullptr) return -1;
        std::fprintf(file, "%s%s\n", LocalTimePrefix().c_str(), title.c_str());
        for (const Row& row : rows) {
            std::tm local{};
            localtime_r(&row.entry->time.tv_sec, &local);
            std::fprintf(file, "  %02d:%02d:%02d.%03ld %s %3u:", local.tm_hour, local.tm_min, local.tm_sec,
                         row.entry->time.tv_nsec / 1000000, row.outgoing ? "PC->card" : "card->PC",
                         static_cast<unsigned>(row.entry->length));
            for (uint16_t i = 0; i < row.entry->length; ++i) std::fprintf(file, " %02x", row.entry->bytes[i]);
            std::fputc('\n', file);
        }
        const bool ok = std::fflush(file) == 0;
        std::fclose(file);
        return ok ? 0 : -1;
    }
}

}  // namespace korvex
