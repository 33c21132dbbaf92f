// Multi-pass programs: one contour cut several times, each pass at a smaller wire offset with its
// own pulse group, and on a punch a short reserved step that holds the slug until the end; and
// Segment Multiple, which trims one straight edge several times.
//
// Per contour (the cutting elements between its lead-in and lead-out, a closed loop):
//
//   pass contours   the loop compensated with every pass's gap, and with LastLen; neighbours
//                   must meet directly (a connecting arc, an arc shrunk past its centre or an
//                   element running backwards fails the generation)
//   step split      on the last pass, walking back from the end until the lengths exceed Len:
//                   element k, and the fraction f of it (counted back from its end) in the step
//   S(p), T(p)      the start of pass p, and the point f x |element k of pass p| before k's end
//
//   0 -> In, lead-in to S(0), In -> Dao1
//   pass 0 forward S(0)..T(0); pass 1 backward T(1)..S(1); ... (all forward without a step)
//   each transition joins like points (T to T after a forward pass, S to S after a backward
//   one) and is followed by the switch to the next pass's group (preceded with FirstGap)
//   the step: cut once on the LastLen contour (Once), or on passes 0 .. Count-2 and last on
//   the LastLen contour, each cut starting at the kind of point the previous motion ended at
//   -> Out, lead-out to the origin
//
// Every point is absolute (contour origin 0, 0) until it is written; a written value is the
// difference of two rounded absolute points, so each block's moves sum to exactly 0.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "code/lines.h"
#include "code/loader.h"

namespace korvex {

inline constexpr int kMultipassMaxCount = 8;
inline constexpr int kMultipassMinCount = 2;
inline constexpr int kMultipassMaxGroup = 7;
// The dialogs accept gaps within this many millimetres either side, as Offset does.
inline constexpr double kMultipassGapLimitMm = 5.0;
// A reserved length below this is no step at all, mm.
inline constexpr double kMultipassMinStepMm = 0.001;
// The loader refuses a program with more group switches than this.
inline constexpr int kMultipassMaxSwitches = 3000;

// Settings of the Multiple command (section "Multiple").
struct MultipassSettings {
    int mode = 0;  // 0 Matrix (no step), 1 Punch
    int count = 3;
    double len = 0;      // reserved step, mm back from the contour's end (Punch only)
    double lastLen = 0;  // gap of the step's last cut, mm
    bool once = false;
    bool firstGap = false;
    std::array<int, kMultipassMaxCount> dao{1, 2, 3, 4, 5, 6, 7, 1};
    std::array<double, kMultipassMaxCount> offset{1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3};
    int inDao = 0, outDao = 0, firstDao = 0, lastDao = 0;

    // The step length in force: Len on a punch, 0 on a matrix.
    double stepLen() const { return mode == 1 ? len : 0.0; }
};

// Settings of Segment Multiple (section "SingleMultiple").
struct SegmentMultipleSettings {
    double len = 0;  // signed lead length, mm: positive leads lie right of the edge's travel
    int count = 3;
    std::array<int, kMultipassMaxCount> dao{1, 2, 3, 4, 5, 6, 7, 1};
    std::array<double, kMultipassMaxCount> offset{1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3};
    int inDao = 0, outDao = 0;
};

// The values the dialogs refuse: a count outside 2..8, a group outside 0..7, a gap or LastLen
// not finite or beyond 5 mm, a negative or non-finite Len. Empty when all are acceptable,
// else the name of the first bad value.
std::string multipassSettingsProblem(const MultipassSettings& s);
std::string segmentMultipleSettingsProblem(const SegmentMultipleSettings& s);

// Where the reserved step begins: element `element` (0 = the first cutting element) and the
// part `fraction` of it, counted back from its end, that lies in the step.
struct StepSplit {
    int element = 0;
    double fraction = 0;
};

inline constexpr int kMultipassStepTooLong = -2;

// The passes of one contour: lines[first] is its lead-in, lines[last] its lead-out, the lines
// between them its cutting elements. Appends the unnumbered statements from the first switch to
// the lead-out. With `given` the step split is taken from it (the upper contour of a two-contour
// program follows the lower); otherwise it is searched on the last pass and stored in `found`.
// Returns 0, kMultipassStepTooLong when Len is not shorter than the last pass's contour, or -1.
int generateContourPasses(const std::vector<std::string>& lines, int first, int last,
                          const MultipassSettings& s, const StepSplit* given, StepSplit* found,
                          std::vector<std::string>& statements);

// The whole file of the Multiple command for a loaded program: banner, product or taper header,
// banner, then the numbered lines (upper and lower paired on a two-contour program). Returns 0;
// otherwise -1 with the operator's English message in `error` (kMultipassStepTooLongText,
// kMultipassFailedText, or kMultipassSourceFailedText with the path).
int multipassFileText(const LoadedProgram& program, const MultipassSettings& s, std::string& text,
                      std::string& error);

// Segment Multiple on one loaded line (a G01 statement): the whole "_single.4nb" file. Returns 0,
// or -1 with kMultipassFailedText in `error`.
int segmentMultipleFileText(const char* line, const SegmentMultipleSettings& s, std::string& text,
                            std::string& error);

// The lines of a generated block numbered as they are written: "N%d %s;" from `firstNumber`.
std::vector<std::string> numberStatements(const std::vector<std::string>& statements, int firstNumber);

// Counts the group switch statements of a written program text.
int countSwitchLines(const std::string& text);

inline constexpr const char* kMultipassSourceFailedText = "The following file processed failed:\n%s";
inline constexpr const char* kMultipassStepTooLongText = "The reserved length is too large!";
inline constexpr const char* kMultipassFailedText = "Generate multple file failed";
// Beside the source: path + these.
inline constexpr const char* kMultipassSuffix = ".4nb";
inline constexpr const char* kSegmentMultipleSuffix = "_single.4nb";

}  // namespace korvex
