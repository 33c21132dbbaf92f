// Writing code files: the banner, the manual generator's 3B file and the ISO line forms that
// every derived program is made of. Everything written here reads back unchanged through the
// line reader and the statement grammars (microns are printed as millimetres with exactly three
// decimals, independent of the process locale).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "code/lines.h"

namespace korvex {

// 40 asterisks: opens and closes the header block of a file (the line reader drops it).
inline constexpr const char* kBannerLine = "****************************************";
inline constexpr const char* kProductLine = "Korvex -Version 2.0";

// ---------------------------------------------------------------------------------------------
// Manual 3B generator

inline constexpr int k3BCountDirectionCount = 2;
inline constexpr int k3BCodeCount = 12;
// The generator's two lists, in the order the dialog offers them.
extern const char* const k3BCountDirections[k3BCountDirectionCount];  // "GX", "GY"
extern const char* const k3BCodes[k3BCodeCount];  // "L1".."L4", "SR1".."SR4", "NR1".."NR4"

struct Manual3BStatement {
    int32_t x = 0, y = 0, j = 0;  // microns, as typed
    int direction = 0;            // index into k3BCountDirections
    int code = 0;                 // index into k3BCodes
};

// The index of a count direction or code name, -1 when it is not one of the list.
int find3BCountDirection(std::string_view name);
int find3BCode(std::string_view name);

// "B %8d B %8d B %8d %s  %s" (two blanks between direction and code). An index outside its list
// gives an empty text.
std::string format3BStatement(const Manual3BStatement& s);

// The whole file the generator writes: banner, product line, banner, the start point line
// "Start Point  =  %6.3f , %6.3f ;", one "N %4d: %s;" per statement numbered from 1, and the end
// statement "N %4d: DD" numbered one past the last. The start point (millimetres, as typed) is
// informative only: every program is read as starting at 0, 0.
std::string format3BFile(double startXMm, double startYMm, const std::vector<std::string>& statements);

// Writes that text to `path`, creating or truncating it. 0, or -1 when the file cannot be
// created or written ("File opened failed!").
int write3BFile(const char* path, double startXMm, double startYMm,
                const std::vector<std::string>& statements);

// ---------------------------------------------------------------------------------------------
// ISO line forms. `n` is the line's number, its index in the program unless said otherwise.

std::string isoStartLine(int n);                                   // "N%d G92 X0.000 Y0.000;"
std::string isoEndLine(int n);                                     // "N%d M02;"
std::string isoPauseLine(int n);                                   // "N%d M00;"
std::string isoBareLine(int n, std::string_view code);             // "N%d %s;"
// "N%d %s X%.3f Y%.3f;" (G00, G01) with x, y in microns.
std::string isoMoveLine(int n, std::string_view code, int32_t x, int32_t y);
// "N%d %s X%.3f Y%.3f I%.3f J%.3f;" (G02, G03) with x, y, i, j in microns.
std::string isoArcLine(int n, std::string_view code, int32_t x, int32_t y, int32_t i, int32_t j);

// ---------------------------------------------------------------------------------------------
// Program files

// Writes `header` as it stands (it carries its own line ends; may be empty), then each line
// followed by one newline, creating or truncating the file. 0, or -1 when the file cannot be
// created or written.
int writeProgramFile(const char* path, const ProgramLines& lines, std::string_view header = {});
int writeProgramFile(const char* path, const std::vector<std::string>& lines,
                     std::string_view header = {});

}  // namespace korvex
