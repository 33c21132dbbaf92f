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

#include "controller/link/pulse_group.h"

namespace korvex {

class PulseTable {
public:
    static constexpr int kGroupCount = kPulseGroupCount;
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
    // Reads only the name line of dao.tbl; the groups stay as they are (a V.F. set since start-up
    // is not lost). A file without a name line gives an empty name. Returns 0, or -1 (name kept)
    // when the file cannot be read.
    int readName(const QString& path);
    // Writes the 8 groups and the name line atomically. Returns 0 or -1.
    int write(const QString& path) const;

    // A saved table (.tbl, 224 bytes, no name line). Reading refuses a file of another size or
    // with an invalid row whole and leaves the groups as they were.
    int readUserTable(const QString& path);
    int writeUserTable(const QString& path) const;

    const std::array<PulseGroup, kGroupCount>& groups() const { return groups_; }

private:
    std::array<PulseGroup, kGroupCount> groups_{};
    QString name_;
};

// The dao.tbl path in the parameter directory.
QString pulseTablePath();

}  // namespace korvex
