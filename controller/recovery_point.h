// The pure parts of a power-loss recovery: whether a work record fits the program it names, and
// the point the work had reached, stepped again from the program.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "code/loader.h"
#include "controller/link/records.h"

namespace korvex {

// A title the recovery may turn into a file name: 1 to 64 bytes, no "/", no zero byte, not "."
// or "..". The card's record is data from outside; it must never name a file elsewhere.
bool plainRecordTitle(const std::string& title);

// Why a record does not fit its program; "" when it does. Checks the segment, the progress of
// both contours within that segment, the range and the stop list (0..N-1), the loop index
// against the loop total and, for a return, its target segment.
std::string recordMismatch(const WorkRecord& record, const LoadedProgram& program);

// Steps the recorded segment again up to the recorded progress of its lower contour and, for a
// two-contour segment, of its upper one, and writes the cursors reached and the guide positions
// there into `work`. A reverse work steps backward from the element's end, as the card did.
// `progress` gets percent values; `cancel` stops it. Returns 0, -1 when cancelled, or
// kRecoveryGuidesOutOfRange when the guide positions there do not fit the card's 32 bits.
inline constexpr int kRecoveryGuidesOutOfRange = -2;
int stepToRecordedPoint(const LoadedProgram& program, bool reverse, WorkParams& work,
                        const std::function<void(int)>& progress, const std::atomic<bool>* cancel);

}  // namespace korvex
