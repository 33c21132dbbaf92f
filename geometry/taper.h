// Taper programs: the second contour generated from one drawn contour and per-line angles
// ("One Graph"), the pairing of two drawn contours ("Two Graphs"), and the ".3nb" file that
// holds both, line by line, under the machine-geometry header.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvex {

// The dialog's values, millimetres and degrees (Rmin is not written into the file).
struct TaperDialogValues {
    double height = 0;  // "Rollers's Distance:"
    double width = 0;   // "Thickness:"
    double base = 0;    // "Below Height:"
    double r = 0;       // "Roller's R:"
    double degree = 0;  // "Degree:" (one side)
    double rmin = 0;    // "Rmin:"
};

// Per-line flags of the taper list.
enum TaperFlag : int { kTaperFlagNone = 0, kTaperFlagEr = 1, kTaperFlagNer = 2 };

// One row of the taper list: the Degree cell as typed (empty takes the row above's degree)
// and the Flag.
struct TaperRow {
    std::string degreeCell;
    int flag = kTaperFlagNone;
};

inline constexpr const char* kTaperSelectOne = "Please select the below or upper graph";
inline constexpr const char* kTaperSelectNotBoth =
    "Can't select both graphs, please choose below or upper one";
inline constexpr const char* kTaperUpperFailed = "Upper graph generated failed";
inline constexpr const char* kTaperBelowFailed = "Below graph generated failed";
inline constexpr const char* kTaperSelectBoth = "Please select the upper and below graph";
inline constexpr const char* kTaperFileFailed = "The following file processed failed:\n%s";
inline constexpr const char* kTaperDifferentSegments =
    "The upper and below graphs have different segments";
inline constexpr const char* kTaperShowFailed = "The graph showed failed!";

// Range of a Degree cell or the Degree field.
inline constexpr double kTaperMaxDegree = 89.999;

// A program that can be one contour of a taper program: one-contour ISO or 3B (a two-contour
// or multi-pass program would put several statements into one half of a line).
bool taperInputKindUsable(int kind);

// Reads a Degree cell: empty (true, `empty` set) or a number within +-kTaperMaxDegree.
bool readDegreeCell(const std::string& cell, double& degree, bool& empty);

// Generates the other contour of a one-contour program (its loaded lines) by offsetting each
// contour (split at the jump segments) line by line: line i moves by
// tan(degree(i) * 3.1415926535 / 180) * thicknessMm to the right of travel, leads stay, and a
// kept-radius arc (flagged ER, or of radius below rminMm and not flagged NER) is moved instead of
// offset. The result has the same number of lines, line i generated from line i. Returns 0, or -1
// with `badRow` the row of an invalid Degree cell (else -1).
int generateTaperContour(const std::vector<std::string>& given, const std::vector<TaperRow>& rows,
                         double thicknessMm, double rminMm, std::vector<std::string>& out,
                         int& badRow);

// The pauses around each jump rewritten as "N%d M00;", then jump table and lead-out closing run
// again. 0 or -1.
int finishTaperProgram(std::vector<std::string>& lines);

// One Graph: `given` is the lower contour when givenIsBelow, else the upper; fills both. The
// thickness used is the one the card keeps, trunc(width * 10) / 10. 0, or -1 with the
// operator's message in `error` and `badRow` as above.
int oneGraph(const std::vector<std::string>& given, bool givenIsBelow, const std::vector<TaperRow>& rows,
             const TaperDialogValues& values, std::vector<std::string>& upper,
             std::vector<std::string>& lower, std::string& error, int& badRow);

// Two Graphs: pairs two loaded programs. Equal line counts and every pair of the same kind
// (both moves, both pauses, both switches, both without motion). 0, or -1 with `error`.
int twoGraphs(const std::vector<std::string>& lower, const std::vector<std::string>& upper,
              std::string& error);

// The ".3nb" text: banner, header with the values in "%.3f", banner, "upper lower" per line.
std::string taperFileText(const TaperDialogValues& values, const std::vector<std::string>& upper,
                          const std::vector<std::string>& lower);

// "%s.3nb" after the given path; "%s_%s.3nb" with the lower path and the upper file's name.
std::string oneGraphPath(const std::string& givenPath);
std::string twoGraphsPath(const std::string& lowerPath, const std::string& upperPath);

// The longest file title (name with extension) the controller opens.
inline constexpr std::size_t kTaperMaxTitleBytes = 63;

// Writes the text under a temporary name beside `path` and renames it over `path`, so a
// failure leaves an earlier file intact. 0; -1 when writing fails; -2, before anything is
// written, when the file's title is longer than kTaperMaxTitleBytes (it could not be opened).
int writeTaperFile(const std::string& path, const std::string& text);

}  // namespace korvex
