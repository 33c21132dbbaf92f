#include "code/iso.h"

#include <cmath>
#include <cstring>

#include "code/marks.h"
#include "code/numbers.h"

namespace korvex {
namespace {

// The digit after a group letter: a digit gives its value, anything else 0.
uint8_t groupDigit(const char* letter) {
    const char c = letter[1];
    return (c >= '0' && c <= '9') ? static_cast<uint8_t>(c - '0') : 0;
}

// Finds `letter` from `from` on and reads the real after it in microns; nullptr when missing.
const char* readField(const char* from, char letter, int32_t& value) {
    const char* p = std::strchr(from, letter);
    if (!p) return nullptr;
    value = readMicrons(p + 1);
    return p;
}

}  // namespace

const char* isoCodeName(IsoCode code) {
    switch (code) {
    case IsoCode::kM00: return "M00";
    case IsoCode::kM02: return "M02";
    case IsoCode::kG91: return "G91";
    case IsoCode::kG92: return "G92";
    case IsoCode::kT17: return "T17";
    case IsoCode::kG00: return "G00";
    case IsoCode::kG01: return "G01";
    case IsoCode::kG02: return "G02";
    case IsoCode::kG03: return "G03";
    case IsoCode::kNone: break;
    }
    return "";
}

int parseIsoStatement(const char* line, IsoStatement& out) {
    return parseIsoStatement(line, scanMarks(line), out);
}

int parseIsoStatement(const char* line, const LineMarks& marks, IsoStatement& out) {
    out = IsoStatement{};
    // A pause or an end anywhere in the line wins over a move on the same line.
    if (marks.m00) { out.code = IsoCode::kM00; return 0; }
    if (marks.m02) { out.code = IsoCode::kM02; return 0; }
    if (marks.g91) { out.code = IsoCode::kG91; return 0; }
    if (marks.g92) { out.code = IsoCode::kG92; return 0; }
    if (marks.t17) {
        const char* e = std::strchr(line, 'E');
        const char* f = std::strchr(line, 'F');
        if (!e || !f) return -1;
        out.code = IsoCode::kT17;
        out.e = groupDigit(e);
        out.f = groupDigit(f);
        // Without an L neither L nor Q is read.
        if (const char* l = std::strchr(line, 'L')) {
            out.l = groupDigit(l);
            if (const char* q = std::strchr(line, 'Q')) out.q = groupDigit(q);
        }
        return 0;
    }
    const char* g = std::strchr(line, 'G');
    if (!g || g[1] != '0' || g[2] < '0' || g[2] > '3') return -1;
    static constexpr IsoCode kMoves[] = {IsoCode::kG00, IsoCode::kG01, IsoCode::kG02, IsoCode::kG03};
    const IsoCode code = kMoves[g[2] - '0'];
    const char* p = readField(g + 1, 'X', out.x);
    if (!p || !(p = readField(p + 1, 'Y', out.y))) return -1;
    if (code == IsoCode::kG02 || code == IsoCode::kG03) {
        if (!(p = readField(p + 1, 'I', out.i)) || !readField(p + 1, 'J', out.j)) return -1;
    }
    out.code = code;
    return 0;
}

PathElement isoStatementToElement(const IsoStatement& s) {
    PathElement e;
    switch (s.code) {
    case IsoCode::kG00:
    case IsoCode::kG01:
        e.kind = s.code == IsoCode::kG00 ? kElementSwitch : kElementLine;
        e.endX = s.x;
        e.endY = s.y;
        break;
    case IsoCode::kG02:
    case IsoCode::kG03:
        e.kind = s.code == IsoCode::kG02 ? kElementArcCw : kElementArcCcw;
        e.radiusSquared = sumOfSquares(s.i, s.j);
        e.radius = roundMicron(std::sqrt(static_cast<double>(e.radiusSquared)));
        e.startX = clampToInt32(-static_cast<int64_t>(s.i));
        e.startY = clampToInt32(-static_cast<int64_t>(s.j));
        e.endX = clampToInt32(static_cast<int64_t>(s.x) - s.i);
        e.endY = clampToInt32(static_cast<int64_t>(s.y) - s.j);
        break;
    case IsoCode::kM00:
        e.kind = kElementPause;
        break;
    case IsoCode::kT17:
        e.kind = kElementSwitch;
        e.groupE = s.e;
        e.groupF = s.f;
        e.groupL = s.l;
        e.groupQ = s.q;
        break;
    default:
        e.kind = kElementNoMotion;
        break;
    }
    return e;
}

bool isGroupSwitchStatement(const char* line) {
    IsoStatement s;
    return parseIsoStatement(line, s) == 0 && s.code == IsoCode::kT17;
}

}  // namespace korvex
