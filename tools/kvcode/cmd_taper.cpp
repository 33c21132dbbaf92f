// kvcode taper one|two: the Taper dialog's OK without the controller. Prints the ".3nb" text
// that would be written; exit 1 with the dialog's message, 2 for a bad command line or a value
// outside the dialog's ranges.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "code/loader.h"
#include "geometry/taper.h"
#include "tools/kvcode/commands.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int usage() {
    std::fputs("usage: kvcode taper one (--below FILE | --upper FILE) --height MM --width MM --base MM [--r MM]\n"
               "                        [--degree DEG] [--rmin MM] [--cell ROW=TEXT]... [--flag ROW=ER|NER]...\n"
               "       kvcode taper two --below FILE --upper FILE --height MM --width MM --base MM [--r MM] "
               "[--degree DEG]\n",
               stderr);
    return kExitUsage;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return kExitFailed;
}

// A dialog field: a number of at most three decimals within [lo, hi].
bool readField(const char* text, double lo, double hi, double& out) {
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) return false;
    const char* dot = std::strchr(text, '.');
    if (dot && std::strpbrk(text, "eE") == nullptr && std::strlen(dot + 1) > 3) return false;
    out = v;
    return true;
}

bool readRow(const std::string& arg, int& row, std::string& rest) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    char* end = nullptr;
    const long r = std::strtol(arg.c_str(), &end, 10);
    if (end != arg.c_str() + eq || r < 0 || r > 100000000) return false;
    row = static_cast<int>(r);
    rest = arg.substr(eq + 1);
    return true;
}

bool loadLines(const char* path, std::vector<std::string>& lines, int& kind) {
    LoadedProgram program;
    LoadFailure failure;
    if (loadProgram(path, LoadOptions{}, program, failure) != 0) return false;
    lines.clear();
    for (int i = 0; i < program.lines.count; ++i) lines.emplace_back(program.lines.line(i));
    kind = program.kind;
    return true;
}

}  // namespace

int runTaper(int argc, char** argv) {
    if (argc < 1) return usage();
    const bool one = std::strcmp(argv[0], "one") == 0;
    if (!one && std::strcmp(argv[0], "two") != 0) return usage();
    const char* below = nullptr;
    const char* upper = nullptr;
    TaperDialogValues v;
    bool haveHeight = false, haveWidth = false, haveBase = false;
    std::map<int, std::string> cells;
    std::map<int, int> flags;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (i + 1 >= argc) return usage();
        const char* value = argv[++i];
        if (opt == "--below" && !below) {
            below = value;
        } else if (opt == "--upper" && !upper) {
            upper = value;
        } else if (opt == "--height") {
            if (!readField(value, 0.1, 100000, v.height)) return usage();
            haveHeight = true;
        } else if (opt == "--width") {
            if (!readField(value, 0.1, 100000, v.width)) return usage();
            haveWidth = true;
        } else if (opt == "--base") {
            if (!readField(value, 0.001, 100000, v.base)) return usage();
            haveBase = true;
        } else if (opt == "--r") {
            if (!readField(value, 0, 100, v.r)) return usage();
        } else if (opt == "--degree") {
            if (!readField(value, -kTaperMaxDegree, kTaperMaxDegree, v.degree)) return usage();
        } else if (one && opt == "--rmin") {
            if (!readField(value, 0, 10000, v.rmin)) return usage();
        } else if (one && opt == "--cell") {
            int row;
            std::string text;
            if (!readRow(value, row, text)) return usage();
            cells[row] = text;
        } else if (one && opt == "--flag") {
            int row;
            std::string text;
            if (!readRow(value, row, text) || (text != "ER" && text != "NER")) return usage();
            flags[row] = text == "ER" ? kTaperFlagEr : kTaperFlagNer;
        } else {
            return usage();
        }
    }
    if (!haveHeight || !haveWidth || !haveBase) return usage();

    std::vector<std::string> lowerLines, upperLines;
    if (one) {
        if (!below && !upper) return fail(kTaperSelectOne);
        if (below && upper) return fail(kTaperSelectNotBoth);
        const bool givenIsBelow = below != nullptr;
        std::vector<std::string> given;
        int kind = 0;
        if (!loadLines(givenIsBelow ? below : upper, given, kind)) return fail(kTaperShowFailed);
        char cell[32];
        std::snprintf(cell, sizeof cell, "%.3f", v.degree);
        std::vector<TaperRow> rows(given.size(), TaperRow{cell, kTaperFlagNone});
        for (const auto& [row, text] : cells) {
            if (row >= static_cast<int>(rows.size())) return usage();
            rows[static_cast<size_t>(row)].degreeCell = text;
        }
        for (const auto& [row, flag] : flags) {
            if (row >= static_cast<int>(rows.size())) return usage();
            rows[static_cast<size_t>(row)].flag = flag;
        }
        std::string error;
        int badRow = -1;
        if (!taperInputKindUsable(kind))
            return fail(givenIsBelow ? kTaperUpperFailed : kTaperBelowFailed);
        if (oneGraph(given, givenIsBelow, rows, v, upperLines, lowerLines, error, badRow) != 0) return fail(error);
    } else {
        if (!below || !upper) return fail(kTaperSelectBoth);
        int kind = 0;
        for (const char* path : {below, upper}) {
            std::vector<std::string>& lines = path == below ? lowerLines : upperLines;
            if (!loadLines(path, lines, kind) || !taperInputKindUsable(kind)) {
                const std::string format = kTaperFileFailed;
                const size_t at = format.find("%s");
                return fail(format.substr(0, at) + path + format.substr(at + 2));
            }
        }
        std::string error;
        if (twoGraphs(lowerLines, upperLines, error) != 0) return fail(error);
    }
    std::fputs(taperFileText(v, upperLines, lowerLines).c_str(), stdout);
    return 0;
}

}  // namespace korvex::kvcode
