// The Loop, Speed, Back, Plan-Pause and Track settings without widgets: each field's range, the
// parse of the typed texts, the order the card takes the values in, and what is stored. The
// dialogs in setting_dialogs.h only show these and send what they return.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>

#include "controller/link/records.h"

namespace korvex {

class PulseTable;
struct LoadedProgram;

struct IntRange {
    int low;
    int high;
};

// The standard message for a text that is not an integer in `range`.
QString integerRangeMessage(IntRange range);

// The values of integer fields, each in its range, or the index of the first field that is not.
struct BadField {
    std::size_t index;
};
template <std::size_t N>
using FieldValues = std::variant<std::array<int, N>, BadField>;
template <std::size_t N>
FieldValues<N> parseIntegerFields(const std::array<QString, N>& texts, const std::array<IntRange, N>& ranges);

// ---- Loop: how many times a cut runs its range ----
inline constexpr IntRange kLoopRange{1, 255};

// ---- Speed: steps per second ----
// The fields in the dialog's order: simulate (motor off), manual back, maximum X/Y and U/V,
// cut-limited X/Y and U/V.
enum SpeedField : std::size_t { kSimulateField, kManualBackField, kMaxXYField, kMaxUVField, kCutXYField, kCutUVField };
inline constexpr std::size_t kSpeedFieldCount = 6;
inline constexpr std::array<IntRange, kSpeedFieldCount> kSpeedRanges{
    IntRange{1, 20000}, IntRange{1, 1000}, IntRange{10, 20000}, IntRange{10, 1000}, IntRange{10, 1000}, IntRange{10, 1000}};
// The settings block keeps them as maximum X/Y, maximum U/V, simulate, manual back, cut X/Y, cut U/V.
std::array<int32_t, kSpeedCount> speedsInBlockOrder(const std::array<int, kSpeedFieldCount>& fields);
std::array<int32_t, kSpeedFieldCount> speedsInFieldOrder(const std::array<int32_t, kSpeedCount>& block);

// ---- Back: short-circuit back delay and stop, and the sensitivity kept on the PC ----
enum BackField : std::size_t { kBackDelayField, kBackStopField, kSensitivityField };
inline constexpr std::array<IntRange, 3> kBackRanges{IntRange{5, 35}, IntRange{15, 60}, IntRange{0, 500}};

// ---- Plan-Pause: pause the work at a percentage of one segment ----
inline constexpr IntRange kPlanPercentRange{1, 99};
struct PlanPause {
    int32_t segment = 0;
    int32_t percent = 0;
};
struct PlanPauseRefusal {
    enum Field { kSegment, kPercent };
    QString message;
    Field focus = kSegment;  // the field the operator is sent back to
};
// Checks the two texts against the loaded program: both given, the percentage 1..99, the
// segment one of the program's (0..N-1) and a line or an arc, the only elements a work can
// pause inside.
std::variant<PlanPause, PlanPauseRefusal> parsePlanPause(const QString& segment, const QString& percent,
                                                         const LoadedProgram* program);

// ---- Track: the tracking mode, which picks the feed table ----
inline constexpr int kTrackDefaultMode = 0;
inline constexpr int kTrackAutoMode = 1;
// Every group's feed entry again from the table of `mode`.
void refreshGroupFeeds(PulseTable& table, int mode);

}  // namespace korvex
