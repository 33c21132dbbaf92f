// A ring of 128 records with its own lock, as the notifier's send and receive queues. The write
// index runs ahead of the read index, both wrap at 128 and the ring is empty when they are equal,
// so it holds 127 records; a push into a full ring drops the newest record (the one pushed) and
// says so, so a flood of notices can never overwrite one not yet sent.
#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <optional>

namespace korvex::modem {

inline constexpr std::size_t kRingSlots = 128;

template <class Record>
class NoticeRing {
public:
    // False when the ring was full and the record was dropped.
    bool push(Record record) {
        std::lock_guard lock(mutex_);
        const std::size_t next = (write_ + 1) % kRingSlots;
        if (next == read_) return false;
        slots_[write_] = std::move(record);
        write_ = next;
        return true;
    }
    std::optional<Record> pop() {
        std::lock_guard lock(mutex_);
        if (read_ == write_) return std::nullopt;
        std::optional<Record> record(std::move(slots_[read_]));
        read_ = (read_ + 1) % kRingSlots;
        return record;
    }
    std::size_t size() const {
        std::lock_guard lock(mutex_);
        return (write_ + kRingSlots - read_) % kRingSlots;
    }

private:
    mutable std::mutex mutex_;
    std::array<Record, kRingSlots> slots_{};
    std::size_t write_ = 0;
    std::size_t read_ = 0;
};

}  // namespace korvex::modem
