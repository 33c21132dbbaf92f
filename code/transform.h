// Program transforms: quarter-turn rotations, mirrors and reversal of the cutting direction.
// They rewrite a loaded program's numbered ISO lines (3B programs are translated first), and the
// result is written beside the source file and opened like any other program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "code/lines.h"

namespace korvex {

// The rotation and mirror modes keep their numbers (1..4); reversal is a transform of its own.
enum class Transform : int {
    kVerticalMirror = 1,    // (x, y) -> (x, -y), G02 <-> G03          "@_@_tx.iso"
    kHorizontalMirror = 2,  // (x, y) -> (-x, y), G02 <-> G03          "@_@_ty.iso"
    kReverseFlip = 3,       // (x, y) -> (-y, x), quarter turn ccw     "@_@_tn.iso"
    kForwardFlip = 4,       // (x, y) -> (y, -x), quarter turn cw      "@_@_tm.iso"
    kReverse = 5,           // cutting direction reversed              "@_@_Rvs.iso" / ".3nb"
};

// Results besides 0.
inline constexpr int kTransformLineFailed = -1;   // a line does not parse; no message
inline constexpr int kTransformNotSupported = -2; // rotation or mirror of a two-contour program
inline constexpr int kTransformWriteFailed = -3;  // "File opened failed!"

// The transformed program's lines, built from `lines` (which are not changed).
//
// Rotation or mirror (modes 1..4): every line is rewritten and renumbered with its index; "T17"
// lines stay as they are. Reversal: line 0 and the last line stay (cut at a line end), the lines
// between are taken in reverse order, each reversed and numbered with its new position; kinds 3
// and 5 reverse both programs of each line with the same number and join them; a "T17"
// statement becomes an empty line (group switches are not carried into a reversed program).
// `kind` is the loaded program's kind; a translated 3B program (2) counts as kind 1.
// 0, kTransformLineFailed or kTransformNotSupported; `out` is complete only on success.
int transformToLines(const ProgramLines& lines, int kind, Transform t,
                     std::vector<std::string>& out);

// The same, rewriting `lines` in place; on failure the lines are left as they were.
int transformLines(ProgramLines& lines, int kind, Transform t);

// A program derived from `sourcePath` (a transform, an offset): the path cut before the first
// "@_@" of its file name (so deriving from a derived program replaces the earlier suffix instead
// of adding to it), then `suffix`. Only the file name is searched: a folder whose name holds
// "@_@" must not send the result out of the source's folder.
std::string derivedProgramPath(std::string_view sourcePath, std::string_view suffix);

// Where the transformed program is written: derivedProgramPath with the transform's suffix.
// A reversed kind-3 program goes to "@_@_Rvs.3nb" when it has a taper header to carry
// (`sourceHasTaperHeader`), else to "@_@_Rvs.iso", which loads without one.
std::string transformOutputPath(std::string_view sourcePath, Transform t, int kind,
                                bool sourceHasTaperHeader);

// The taper header block of a file (banner, header line, banner, each with its line end),
// read from the file's first three lines; empty when the file has none.
std::string readTaperHeaderBlock(const char* path);

// True when a program written under this name keeps its source's taper header block: every
// name, since the header is read by its line whatever the name (and a ".3nb" name needs it).
bool pathWantsTaperHeader(std::string_view path);

// The whole transform command without the reopening: transforms the lines, builds the output path,
// writes the file (carrying over the source's taper header when the output's name asks the
// loader for one) and returns the path in `outPath`.
// 0, kTransformLineFailed, kTransformNotSupported or kTransformWriteFailed.
// `lines` are not changed: the caller opens the written file as the new document, and on any
// failure the loaded program stays as it was.
int transformProgramFile(const char* sourcePath, const ProgramLines& lines, int kind, Transform t,
                         std::string& outPath);

}  // namespace korvex
