#include "code/threeb.h"

#include <cmath>
#include <cstring>
#include <string>

#include "code/numbers.h"

namespace korvex {
namespace {

// Signs of x and y in each quadrant (index 1..4).
constexpr int kSignX[5] = {0, 1, -1, -1, 1};
constexpr int kSignY[5] = {0, 1, 1, -1, -1};

int nextQuadrant(int q, bool clockwise) {
    if (clockwise) return q == 1 ? 4 : q - 1;
    return q == 4 ? 1 : q + 1;
}

// Within one quadrant the count coordinate runs monotonically between 0 and +-R. Returns the
// values it has where the arc enters and leaves quadrant q, in units of R (-1, 0 or 1).
void quadrantRun(int q, bool clockwise, bool countAlongY, int& entry, int& exit) {
    // Counter-clockwise, the x coordinate runs R->0, 0->-R, -R->0, 0->R through quadrants 1..4;
    // y runs 0->R, R->0, 0->-R, -R->0. Clockwise reverses each run.
    static constexpr int kCcwX[5][2] = {{0, 0}, {1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    static constexpr int kCcwY[5][2] = {{0, 0}, {0, 1}, {1, 0}, {0, -1}, {-1, 0}};
    const int(*run)[2] = countAlongY ? kCcwY : kCcwX;
    entry = clockwise ? run[q][1] : run[q][0];
    exit = clockwise ? run[q][0] : run[q][1];
}

int sign(int64_t v) { return (v > 0) - (v < 0); }

char* put(char* p, const char* s) {
    while (*s) *p++ = *s++;
    return p;
}

char* putInt(char* p, int v) {
    char digits[12];
    int n = 0;
    int64_t w = v;
    if (w < 0) {
        *p++ = '-';
        w = -w;
    }
    do {
        digits[n++] = static_cast<char>('0' + w % 10);
        w /= 10;
    } while (w > 0);
    while (n > 0) *p++ = digits[--n];
    return p;
}

char* putMm(char* p, char letter, int32_t microns) {
    *p++ = ' ';
    *p++ = letter;
    return p + formatMillimetres(microns, p);
}

}  // namespace

int parse3BStatement(const char* line, ThreeBStatement& out) {
    out = ThreeBStatement{};
    int32_t values[3];
    const char* p = line;
    for (int k = 0; k < 3; ++k) {
        const char* b = std::strchr(p, 'B');
        if (!b) return -1;
        const char* end = nullptr;
        values[k] = readInt32(b + 1, &end);
        p = end;  // just after the "B" when no number follows
    }
    const char* g = std::strchr(p, 'G');
    if (!g || (g[1] != 'X' && g[1] != 'Y')) return -1;
    const char* z = std::strpbrk(g + 2, "LSN");
    if (!z) return -1;
    int quadrant;
    ThreeBFamily family;
    if (z[0] == 'L') {
        family = ThreeBFamily::kLine;
        quadrant = z[1] - '0';
    } else {
        if (z[1] != 'R') return -1;
        family = z[0] == 'S' ? ThreeBFamily::kClockwise : ThreeBFamily::kCounterClockwise;
        quadrant = z[2] - '0';
    }
    if (quadrant < 1 || quadrant > 4) return -1;
    out.x = values[0];
    out.y = values[1];
    out.j = values[2];
    out.countAlongY = g[1] == 'Y';
    out.family = family;
    out.quadrant = quadrant;
    return 0;
}

void arcEndPoint(int32_t startX, int32_t startY, int quadrant, int32_t radius,
                 int64_t radiusSquared, bool clockwise, bool countAlongY, int64_t travel,
                 int32_t& endX, int32_t& endY) {
    endX = startX;
    endY = startY;
    const int64_t r = radius;
    if (travel > 4 * r) return;  // more than a full circle ends on the start

    // The travel is split at the axis crossings: the rest of the start quadrant, three whole
    // quadrants of R each, and the start quadrant again up to the start. The first stretch
    // whose cumulative end reaches the travel (J equal to a limit ends on that crossing) holds
    // the end point.
    const int64_t c0 = countAlongY ? startY : startX;
    int64_t done = 0;
    int q = quadrant;
    for (int stretch = 0; stretch < 5; ++stretch) {
        int entry, exit;
        quadrantRun(q, clockwise, countAlongY, entry, exit);
        const int64_t from = stretch == 0 ? c0 : entry * r;
        const int64_t to = stretch == 4 ? c0 : exit * r;
        const int64_t length = to > from ? to - from : from - to;
        if (travel <= done + length) {
            const int64_t c = from + sign(to - from) * (travel - done);
            // The other coordinate from the circle; a rounded radius slightly above the true one
            // can leave nothing under the root, which gives 0.
            const __int128 rest = static_cast<__int128>(radiusSquared) - static_cast<__int128>(c) * c;
            const double root = rest > 0 ? std::sqrt(static_cast<double>(rest)) : 0.0;
            const int64_t other = roundMicron(root);
            if (countAlongY) {
                endY = clampToInt32(c);
                endX = clampToInt32(kSignX[q] * other);
            } else {
                endX = clampToInt32(c);
                endY = clampToInt32(kSignY[q] * other);
            }
            return;
        }
        done += length;
        q = nextQuadrant(q, clockwise);
    }
}

PathElement threeBToElement(const ThreeBStatement& s) {
    PathElement e;
    if (s.x == 0 && s.y == 0 && s.j == 0) {
        e.kind = kElementPause;
        return e;
    }
    int64_t x = s.x, y = s.y;
    if (s.family == ThreeBFamily::kLine) {
        if (x == 0 && y == 0) (s.countAlongY ? y : x) = s.j;
        e.kind = kElementLine;
        e.endX = clampToInt32(kSignX[s.quadrant] * x);
        e.endY = clampToInt32(kSignY[s.quadrant] * y);
        return e;
    }
    const bool clockwise = s.family == ThreeBFamily::kClockwise;
    e.kind = clockwise ? kElementArcCw : kElementArcCcw;
    e.startX = clampToInt32(kSignX[s.quadrant] * x);
    e.startY = clampToInt32(kSignY[s.quadrant] * y);
    e.radiusSquared = sumOfSquares(e.startX, e.startY);
    e.radius = roundMicron(std::sqrt(static_cast<double>(e.radiusSquared)));
    arcEndPoint(e.startX, e.startY, s.quadrant, e.radius, e.radiusSquared, clockwise,
                s.countAlongY, s.j, e.endX, e.endY);
    return e;
}

namespace {

enum class LineRole { kStart, kEnd, kPause, kSwitch, kStatement };

// How a line of a normalised 3B program translates. The tests rank: a start-point line, then an end ("DD"), then a pause ("D", "d" or "HALT"), then a
// group switch ("T17", whose text is carried over from `t17` on), else a statement.
LineRole classifyLine(const char* s, const char*& t17) {
    static const char kStartPoint[] = "Start Point";
    static const char kStartUtf8[] = "\xE8\xB5\xB7\xE5\xA7\x8B\xE7\x82\xB9";
    static const char kStartGbk[] = "\xC6\xF0\xCA\xBC\xB5\xE3";
    static const char kFirstLetters[] = "SDdHT\xE8\xC6";
    bool end = false, pause = false;
    t17 = nullptr;
    // One vectorised search for the first letters of everything that matters.
    for (const char* p = std::strpbrk(s, kFirstLetters); p; p = std::strpbrk(p + 1, kFirstLetters)) {
        switch (*p) {
        case 'S':
            if (std::strncmp(p, kStartPoint, sizeof kStartPoint - 1) == 0) return LineRole::kStart;
            break;
        case '\xE8':
            if (std::strncmp(p, kStartUtf8, sizeof kStartUtf8 - 1) == 0) return LineRole::kStart;
            break;
        case '\xC6':
            if (std::strncmp(p, kStartGbk, sizeof kStartGbk - 1) == 0) return LineRole::kStart;
            break;
        case 'D':
            pause = true;
            end |= p[1] == 'D';
            break;
        case 'd':
            pause = true;
            break;
        case 'H':
            pause |= std::strncmp(p, "HALT", 4) == 0;
            break;
        default:  // 'T'
            if (!t17 && p[1] == '1' && p[2] == '7') t17 = p;
            break;
        }
    }
    if (end) return LineRole::kEnd;
    if (pause) return LineRole::kPause;
    return t17 ? LineRole::kSwitch : LineRole::kStatement;
}

}  // namespace

int translate3BLines(ProgramLines& lines, int begin, int end) {
    // Longest line built here: "N" + 10 digits + " G03" + 4 x " X-2147483.648" + ";".
    char buf[96];
    for (int i = begin; i < end; ++i) {
        const char* text = lines.line(i);
        char* p = put(buf, "N");
        p = putInt(p, i);
        const char* t17 = nullptr;
        switch (classifyLine(text, t17)) {
        case LineRole::kStart:
            p = put(p, " G92 X0.000 Y0.000;");
            break;
        case LineRole::kEnd:
            p = put(p, " M02;");
            break;
        case LineRole::kPause:
            p = put(p, " M00;");
            break;
        case LineRole::kSwitch: {
            // "N%d " and the rest of the line from "T17", cut to the slot.
            std::string line(buf, static_cast<std::size_t>(p - buf));
            line += ' ';
            line += t17;
            if (lines.setLine(i, line) != 0) return -1;
            continue;
        }
        case LineRole::kStatement: {
            ThreeBStatement s;
            if (parse3BStatement(text, s) != 0) return -1;
            const PathElement e = threeBToElement(s);
            switch (e.kind) {
            case kElementLine:
                p = put(p, " G01");
                p = putMm(p, 'X', e.endX);
                p = putMm(p, 'Y', e.endY);
                break;
            case kElementArcCw:
            case kElementArcCcw:
                p = put(p, e.kind == kElementArcCw ? " G02" : " G03");
                p = putMm(p, 'X', clampToInt32(static_cast<int64_t>(e.endX) - e.startX));
                p = putMm(p, 'Y', clampToInt32(static_cast<int64_t>(e.endY) - e.startY));
                p = putMm(p, 'I', clampToInt32(-static_cast<int64_t>(e.startX)));
                p = putMm(p, 'J', clampToInt32(-static_cast<int64_t>(e.startY)));
                break;
            default:
                p = put(p, " M00");
                break;
            }
            *p++ = ';';
            break;
        }
        }
        if (lines.setLine(i, std::string_view(buf, static_cast<std::size_t>(p - buf))) != 0) return -1;
    }
    return 0;
}

int translate3BToIso(ProgramLines& lines) { return translate3BLines(lines, 0, lines.count); }

}  // namespace korvex
