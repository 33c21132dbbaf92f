// The statement markers of a code line ("M00", "G92", "T17", ...), found in one pass over the
// line instead of one search per marker: a million-line program is scanned several times.
#pragma once

namespace korvex {

struct LineMarks {
    bool m00 = false, m02 = false, g91 = false, g92 = false, t17 = false, g01 = false;
};

inline LineMarks scanMarks(const char* s) {
    LineMarks m;
    for (; *s; ++s) {
        // Most characters are none of the three letters: test that first, cheaply.
        if (*s != 'M' && *s != 'G' && *s != 'T') continue;
        switch (*s) {
        case 'M':
            if (s[1] == '0') {
                m.m00 |= s[2] == '0';
                m.m02 |= s[2] == '2';
            }
            break;
        case 'G':
            if (s[1] == '9') {
                m.g91 |= s[2] == '1';
                m.g92 |= s[2] == '2';
            } else if (s[1] == '0') {
                m.g01 |= s[2] == '1';
            }
            break;
        case 'T':
            m.t17 |= s[1] == '1' && s[2] == '7';
            break;
        default:
            break;
        }
    }
    return m;
}

}  // namespace korvex
