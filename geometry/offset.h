// Wire-offset compensation of a whole contour, and the Offset command's core that the
// controller's dialog and `kvcode offset` share.
//
// A contour is the lines a .. b-1 of a program: line a its start (G92), line b-1 its end (M02),
// and the elements between them, the first being the lead-in and the last the lead-out. The
// contour is treated as closed, so every element has a predecessor and a successor (the
// lead-out precedes the lead-in). The passes, each over an element array:
//
//   source      every statement as an element; lead-in and lead-out with offset 0, the
//               lead-out aimed back exactly at the start point
//   compensated each element's offset geometry, cut where it crosses its neighbours'
//   connected   sentinel corners (neighbours that never cross) joined by arcs round the corner
//   rounded     with round corners, an arc of radius |offset| at every corner between lines
//
// The lead-in and lead-out stay on their own lines, so they are cut or stretched to meet the
// compensated contour and meet each other at the start point. When the lead-in ends on a
// corner of a closed contour, the contour alone is compensated as a loop instead, its start
// corner like every other, and the leads run straight to and from the compensated corner.
#pragma once

#include <string>
#include <vector>

#include "code/lines.h"
#include "geometry/equ.h"

namespace korvex {

enum class CornerType : int {
    Sharp = 0,  // "Taper Angle": the offset lines run on to their crossing
    Round = 1,  // "Round Angle": an arc of radius |offset| at each corner between lines
};

// Compensates, connects and rounds the source elements of one contour (lead-in first, lead-out
// last, both with offset 0) into the elements of the path to write. Returns 0, or -1 when the
// contour cannot be offset or has fewer than two elements.
int compensateElements(std::vector<Equ>& elements, CornerType corner, std::vector<Equ>& out);

// Compensates a closed contour without leads (every element between its wrap-around
// neighbours), connecting and rounding as compensateElements does and refusing an element that
// runs backwards. `firstIndex` numbers elements[0] in the trace. Returns 0 or -1.
int compensateClosedLoop(std::vector<Equ>& elements, CornerType corner, int firstIndex, std::vector<Equ>& out);

// Compensates the contour in lines[a .. b-1] by offsetMm to the right of the direction of
// cutting. On success the lines from a onward are replaced by the new contour ("N%d ...;"
// numbered from a) and 0 is returned; on failure the lines are unchanged and -1 is returned.
int compensateContour(std::vector<std::string>& lines, int a, int b, double offsetMm, CornerType corner);

// The Offset command on a loaded program of the given kind with `jumpCount` jump segments:
// refuses two-contour and multi-pass programs, then programs with jump segments, then
// compensates the whole program as one contour. On success outLines holds the lines to write
// to "@_@_gap.iso" and 0 is returned; otherwise `error` holds the message for the operator.
int offsetProgram(const std::vector<std::string>& lines, int kind, int jumpCount, double offsetMm,
                  CornerType corner, std::vector<std::string>& outLines, std::string& error);

// The same on the loaded program's line store (what the controller's Offset dialog calls).
int offsetProgram(const ProgramLines& lines, int kind, int jumpCount, double offsetMm,
                  CornerType corner, std::vector<std::string>& outLines, std::string& error);

inline constexpr const char* kOffsetNotForTaper =
    "Sorry!The function is not supported by taper or multiple!";
inline constexpr const char* kOffsetNotForJumps =
    "The codes with jump segments are not supported in the version!";
inline constexpr const char* kOffsetFailed = "Offset setup failed!";
// The derived program, written beside the source.
inline constexpr const char* kOffsetFileName = "@_@_gap.iso";

}  // namespace korvex
