// The segment window: how the program reaches the card while it runs.
//
// The PC keeps every segment record; the card holds only three of them, the window
// (previous, current, next), from the last CMD_SEND_SEGMENTS. When the card finishes its current
// segment it enters the neighbour in its direction of travel and reports it (report type 2 with
// the segment's index). From then on it has exactly one segment in hand after the one it runs,
// so the answer, the window around the reported segment, must be on the card before that
// segment is done, or the card stands still with the wire in the cut (a starved card).
//
//   card                                  card worker (PC)
//   enters i --- report 2 (i) ---------->  reader thread hands i straight to the worker
//                                          worker: window(i) ahead of any queued routine or poll
//            <-- CMD_SEND_SEGMENTS ------  (prev(i), i, next(i))
//   runs i, enters next(i) -- report 2 -->
//
// Why the answer never waits behind the user interface: the report goes from the reader thread
// to the card worker directly; the worker answers windows before anything else it has queued,
// and the UI thread runs no transaction at all, so neither a modal box, a repaint nor a slow
// routine delays a window by more than one transaction already on the wire.
//
// The window rule. lo and hi are the lower and higher end of the work range, whichever way the
// operator gave it. The window around i is (i = lo ? hi : i-1, i, i = hi ? lo : i+1): both
// neighbours of i, wrapping at the range ends, so it serves the card in either direction of
// travel and never names a segment outside lo..hi. A report outside lo..hi, or outside the
// program, has no window and is ignored.
#pragma once

#include <array>
#include <cstdint>

#include "code/segment.h"
#include "controller/link/records.h"

namespace korvex {

struct WorkRange {
    int32_t lo = 0;
    int32_t hi = 0;
    // The range from its two ends in any order.
    static WorkRange between(int32_t a, int32_t b) { return a <= b ? WorkRange{a, b} : WorkRange{b, a}; }
    bool contains(int32_t i) const { return i >= lo && i <= hi; }
};

// The three indices of the window around i; false when i is outside the range, or the range is
// not inside a program of segmentCount segments.
bool windowIndices(const WorkRange& range, int32_t segmentCount, int32_t i, std::array<int32_t, 3>& out);

// The window around i over the program's segments; false as windowIndices.
bool buildWindow(const CodeSegment* segments, int32_t segmentCount, const WorkRange& range, int32_t i,
                 SegmentWindow& out);

}  // namespace korvex
