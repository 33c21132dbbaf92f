// The table of the 8 pulse parameter groups ("Dao" groups), held in memory for the whole run
// and kept in dao.tbl in the parameter directory.
//
// dao.tbl: 8 group records of 28 bytes in index order, no header, then the title of the .tbl
// file last restored as one text line (at most 255 bytes, no terminator required). The file is
// created empty the first time (the defaults are written at the next write); it is always
// rewritten through a temporary file and a rename, so a power loss mid-write leaves the old
// table, never a short one.
#pragma once

#include <QString>

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

class PulseTable {
public:
    static constexpr int kGroupCount = 8;
    static constexpr std::size_t kTableBytes = kGroupCount * kPulseGroupBytes;  // 224
    static constexpr int kMaxNameBytes = 255;

    PulseTable() { resetToDefaults(0); }

    // Every group: width 1, Pi 1, its own index, V.F. 50.0 with the feed entry of the mode.
    void resetToDefaults(int trackingMode);

    const PulseGroup& group(int index) const { return groups_.at(static_cast<std::size_t>(index)); }
    PulseGroup& group(int index) { return groups_.at(static_cast<std::size_t>(index)); }
    const QString& tableName() const { return name_; }
    void setTableName(const QString& name) { name_ = name; }

    // Reads dao.tbl over the defaults. An absent file is created empty. Returns 0, or -1 when
    // the file exists but cannot be read, or cannot be created. Groups whose V.F. is outside
    // 1..200 keep the default V.F.; an incomplete last record keeps its defaults.
    int read(const QString& path, int trackingMode);
    // Writes the 8 groups and the name line atomically. Returns 0 or -1.
    int write(const QString& path) const;

private:
    std::array<PulseGroup, kGroupCount> groups_{};
    QString name_;
};

// The dao.tbl path in the parameter directory.
QString pulseTablePath();

}  // namespace korvex
