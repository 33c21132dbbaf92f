#include "code/kind.h"

#include <cstring>
#include <string>

#include "code/marks.h"

namespace korvex {
namespace {

bool has(const char* line, const char* what) { return std::strstr(line, what) != nullptr; }

}  // namespace

ProgramKind detectProgramKind(ProgramLines& lines) {
    const int n = lines.count;
    bool switches = false;
    for (int i = 0; i < n && !switches; ++i) {
        prefetchLine(lines, i + kPrefetchLines);
        switches = scanMarks(lines.line(i)).t17;
    }

    int firstNumbered = -1;
    for (int i = 0; i < n; ++i) {
        if (lines.line(i)[0] == 'N') {
            firstNumbered = i;
            break;
        }
    }
    if (firstNumbered >= 0 && has(lines.line(firstNumbered), "G92")) {
        const char* last = lines.line(n - 1);
        if (!has(last, "M02")) return kKindIsoNoEnd;
        if (has(last, "; N")) return switches ? kKindTwoContourSwitches : kKindTwoContour;
        return switches ? kKindIsoSwitches : kKindIso;
    }

    bool threeB = false;
    for (int i = 0; i < n && !threeB; ++i) threeB = has(lines.line(i), "B ");
    if (!threeB) return kKindUnknown;

    const char* last = lines.line(n - 1);
    if (has(last, "DD")) return kKind3B;
    const char* d = std::strchr(last, 'D');
    if (!d) return kKind3BNoEnd;
    // Complete a lone "D" to "DD" and end the line there; a "D" in the last character a line
    // may hold has no room after it and stays alone.
    const auto at = static_cast<std::size_t>(d - last);
    if (at + 1 < static_cast<std::size_t>(kMaxLineChars)) {
        std::string completed(last, at + 1);
        completed += 'D';
        if (lines.setLine(n - 1, completed) != 0) return kKind3BNoEnd;  // no memory: refused
    }
    return kKind3B;
}

int normaliseProgram(ProgramLines& lines, int kind) {
    switch (kind) {
    case kKindIso:
    case kKindTwoContour:
    case kKindIsoSwitches:
    case kKindTwoContourSwitches: {
        for (int i = 0; i < lines.count; ++i) {
            const char* s = lines.line(i);
            if (std::strchr(s, 'N') && has(s, "G92")) {
                lines.removeAt(0, i);
                return 0;
            }
        }
        return -1;
    }
    case kKind3B: {
        int first = -1;
        for (int i = 0; i < lines.count; ++i) {
            if (has(lines.line(i), "B ")) {
                first = i;
                break;
            }
        }
        if (first < 0) return -1;
        if (first == 0) {
            if (lines.insertAt(0) != 0) return -1;
        } else {
            lines.removeAt(0, first - 1);
        }
        return lines.setLine(0, k3BStartLine);
    }
    default:
        return -1;
    }
}

}  // namespace korvex
