// The Mult-Table dialog's cells for one pulse group: how a record is shown and how typed cells
// become a record again. Shared by the dialog and kvtable, so both accept exactly the same text.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "controller/link/pulse_group.h"

namespace korvex {

// The editable columns, in the dialog's order (after "Param Index").
enum class PulseColumn { Width, Pi, High, Low, Current, WireSpeed, Feed };
inline constexpr int kPulseEditableColumns = 7;

using PulseCells = std::array<std::string, kPulseEditableColumns>;

// A record as the dialog shows it: width and Pi of 0 as empty cells (shown as "0" they would
// fail the table's own next OK), V.F. with one decimal.
PulseCells pulseCells(const PulseGroup& group);

struct PulseCellError {
    PulseColumn column = PulseColumn::Width;
    int low = 0;   // the bounds for an integer column
    int high = 0;
};

// Parses the typed cells of the row placed at `row`: integers in range, an empty cell as 0,
// V.F. as a real number doubled and truncated into 1..200. The interval is width x Pi; the feed
// entry comes from the table of `trackingMode`; the index is the row. Bytes the dialog does not
// show are taken from `base`. Returns the first bad cell, or nothing when `out` was filled.
std::optional<PulseCellError> parsePulseCells(const PulseCells& cells, int row, int trackingMode,
                                              const PulseGroup& base, PulseGroup& out);

// The English column titles and message, as the dialog's English text gives them.
const char* pulseColumnTitleEnglish(PulseColumn column);
std::string pulseCellErrorEnglish(const PulseCellError& error);

}  // namespace korvex
