// The statement markers of a code line ("M00", "G92", "T17", ...), found with one vectorised
// search per letter instead of one search per marker: a million-line program is scanned
// several times while it loads.
#pragma once

#include <cstring>

namespace korvex {

struct LineMarks {
    bool m00 = false, m02 = false, g91 = false, g92 = false, t17 = false, g01 = false;
};

inline LineMarks scanMarks(const char* s) {
    LineMarks m;
    // p[2] is read only when p[1] matched, so never past the line's end.
    for (const char* p = std::strchr(s, 'M'); p; p = std::strchr(p + 1, 'M')) {
        if (p[1] == '0') {
            m.m00 |= p[2] == '0';
            m.m02 |= p[2] == '2';
        }
    }
    for (const char* p = std::strchr(s, 'G'); p; p = std::strchr(p + 1, 'G')) {
        if (p[1] == '9') {
            m.g91 |= p[2] == '1';
            m.g92 |= p[2] == '2';
        } else if (p[1] == '0') {
            m.g01 |= p[2] == '1';
        }
    }
    for (const char* p = std::strchr(s, 'T'); p && !m.t17; p = std::strchr(p + 1, 'T')) {
        m.t17 = p[1] == '1' && p[2] == '7';
    }
    return m;
}

}  // namespace korvex
