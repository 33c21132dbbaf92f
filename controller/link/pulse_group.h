// The pulse parameter group ("Dao" group) record and the two feed tables, without Qt, so the
// controller, the command-line tools and the virtual card share one byte image.
//
// Record (28 bytes, little-endian), identical in memory, in dao.tbl, .tbl and .zif files and on
// the wire:
//   0 int32 pulse width us | 4 int32 interval us (width x Pi) | 8 u8 grouping high
//   9 u8 grouping low | 10 u8 index | 11 u8 wire speed | 12 u8 unused | 13 u8 current
//   14 2 unused | 16 4 x int16 feed entry | 24 u8 V.F. x 2 | 25 3 unused
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "controller/link/records.h"

namespace korvex {

// The feed table entry for one V.F. value: four int16, the first a period that falls as V.F.
// rises, the last always 0.
using FeedTableEntry = std::array<int16_t, 4>;

inline constexpr int kFeedValueMin = 1;    // stored V.F. (V.F. x 2), i.e. V.F. 0.5
inline constexpr int kFeedValueMax = 200;  // V.F. 100
inline constexpr int kDefaultFeedValue = 100;
inline constexpr int kPulseGroupCount = 8;

// Tracking mode 1 (automatic) uses the second table, every other mode the first.
FeedTableEntry feedEntry(int trackingMode, int feedValue);

struct PulseGroup {
    static constexpr std::size_t kBytes = kPulseGroupBytes;
    int32_t pulseWidthUs = 0;
    int32_t pulseIntervalUs = 0;  // width x Pi
    uint8_t groupingHigh = 0;
    uint8_t groupingLow = 0;
    uint8_t index = 0;
    uint8_t wireSpeed = 0;
    uint8_t current = 0;
    FeedTableEntry feed{};
    uint8_t feedValue = 0;  // V.F. x 2, 1..200
    // The bytes as read; the unused ones are written back unchanged.
    PulseGroupImage image{};
};

PulseGroupImage encodePulseGroup(const PulseGroup& group);
PulseGroup decodePulseGroup(std::span<const uint8_t, kPulseGroupBytes> bytes);

// Width 1, Pi 1, the given index, V.F. 50.0 with the feed entry of the mode.
PulseGroup defaultPulseGroup(int index, int trackingMode);

}  // namespace korvex
