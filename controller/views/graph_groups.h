// The pulse group of every segment of a program, from its switch table: the current group of the
// group lookup (the start routines' lookupGroups) for each segment, worked out in one pass
// instead of one table search per segment.
#pragma once

#include <cstdint>
#include <vector>

#include "code/parse.h"

namespace korvex {

std::vector<uint8_t> segmentGroups(const std::vector<SwitchEntry>& table, int32_t count, int defaultGroup);

}  // namespace korvex
