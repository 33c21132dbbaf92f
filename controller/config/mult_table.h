// The Mult-Table dialog's logic without widgets: the edited copy of the pulse table, the saved
// rows (.zif) and tables (.tbl), the Multiple keys, and the order of the card commands at OK.
//
// OK, in this order: the Multiple keys are taken from the dialog; the 8 rows are parsed (the
// first bad cell is reported and nothing is stored); dao.tbl is written; then on the card
// worker: the feed of the current group, the Fixed VF flag, and the current group itself, with
// HF off before it when HF is on. Then the four keys are written in one replace of the card's
// settings file and the dialog closes. HF goes back on kGroupHfDelayMs later from a timer on the
// interface thread, not as a wait inside the worker's sequence: a sequence waiting there would
// hold back the operator's own HF or stop command, which must be able to cancel it. The HF on
// is dropped when HF was switched off meanwhile or the work stopped.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

#include "controller/link/pulse_cells.h"
#include "controller/pulse_table.h"
#include "platform/settings_file.h"

namespace korvex {

class CardControl;
class CardSequence;

inline constexpr int kMaxZifItems = 18;
inline constexpr int64_t kGroupHfDelayMs = 2000;
inline constexpr int kSwitchTimeMin = 1;
inline constexpr int kSwitchTimeMax = 9;
inline constexpr int kSwitchTypeCount = 4;  // switch, wait, pause, check

struct GroupSwitchSettings {
    int switchType = 0;
    int switchTime = 5;
    bool fixedVf = false;
    int defaultIndex = 0;
};
GroupSwitchSettings readGroupSwitchSettings(const SettingsFile& file);
// The four keys in one replace of the file; 0 or -1.
int writeGroupSwitchSettings(SettingsFile& file, const GroupSwitchSettings& settings);

// The translated message for a bad cell: the column title, then the range.
QString pulseCellMessage(const PulseCellError& error);
QString pulseColumnTitle(int column);  // 0 "Param Index", 1..7 the editable columns

class MultTableModel {
public:
    MultTableModel(const PulseTable& table, int trackingMode);

    PulseCells& cells(int row) { return cells_.at(static_cast<std::size_t>(row)); }
    const PulseCells& cells(int row) const { return cells_.at(static_cast<std::size_t>(row)); }
    const QString& tableName() const { return name_; }
    int trackingMode() const { return trackingMode_; }

    // Parses every row in order into `out` (name included). The first bad cell's message, or
    // nothing when `out` holds the new table.
    std::optional<QString> parse(PulseTable& out) const;
    // One row; the message of its first bad cell, or nothing.
    std::optional<QString> parseRow(int row, PulseGroup& out) const;

    // Save Table / Restore Table: 0 or -1 (a refused file leaves every row as it was).
    int saveTable(const QString& path) const;
    int restoreTable(const QString& path);
    // Save the line / a saved row put into `row`: 0 or -1.
    int saveRow(int row, const QString& path) const;
    int loadRow(int row, const QString& path);

    // The .zif files of `directory` in name order, at most kMaxZifItems.
    static QStringList savedRows(const QString& directory);
    // The pop-up text of a saved row; empty when the file cannot be read.
    static QString savedRowText(const QString& path);
    // A row name may not hold any of . \ / : * ? < > |
    static bool validRowName(const QString& name);

private:
    std::array<PulseCells, PulseTable::kGroupCount> cells_{};
    std::array<PulseGroup, PulseTable::kGroupCount> base_{};
    QString name_;
    int trackingMode_ = 0;
};

// A current group outside 0..7 counts as the default group.
int effectiveGroup(int currentGroup, int defaultGroup);

// The card's side of OK up to the group, as one sequence for the card worker. `done` gets
// whether every command was taken.
CardSequence multTableSequence(CardControl& card, const PulseGroup& current, int trackingMode,
                               int shortSensitivity, bool fixedVf, bool hfOn,
                               std::function<void(bool)> done);

// The feed request bytes for a group: its entry, with the short sensitivity added to the second
// and third values when the first table is in use.
std::array<uint8_t, kFeedEntryBytes> feedRequestEntry(const PulseGroup& group, int trackingMode,
                                                      int shortSensitivity);

}  // namespace korvex
