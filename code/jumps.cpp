#include "code/jumps.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "code/iso.h"
#include "code/marks.h"
#include "code/numbers.h"

namespace korvex {
namespace {

// Displacement of a line in microns: the X, Y of a move, 0 for anything else (unparsable lines
// included).
void displacement(const char* line, int64_t& dx, int64_t& dy) {
    IsoStatement s;
    dx = dy = 0;
    if (parseIsoStatement(line, s) != 0) return;
    if (s.code == IsoCode::kG00 || s.code == IsoCode::kG01 || s.code == IsoCode::kG02 ||
        s.code == IsoCode::kG03) {
        dx = s.x;
        dy = s.y;
    }
}

// Walks the running position forward line by line; candidates come in increasing order, and a
// rewritten line is read back with its new values by the walk that passes it later.
class PositionWalk {
public:
    explicit PositionWalk(const ProgramLines& lines) : lines_(lines) {}
    // Position before line `index`, summed from line 0.
    void before(int index, int64_t& x, int64_t& y) {
        if (index < next_) {
            next_ = 0;
            x_ = y_ = 0;
        }
        for (; next_ < index; ++next_) {
            int64_t dx, dy;
            displacement(lines_.line(next_), dx, dy);
            x_ += dx;
            y_ += dy;
        }
        x = x_;
        y = y_;
    }

private:
    const ProgramLines& lines_;
    int next_ = 0;
    int64_t x_ = 0, y_ = 0;
};

// Rewrites line `index` so that it ends on the target when its end lies within 1 mm (strictly)
// of it in both axes. Returns 1 when rewritten.
int closeOnto(ProgramLines& lines, PositionWalk& walk, int index, int64_t targetX, int64_t targetY) {
    IsoStatement s;
    if (parseIsoStatement(lines.line(index), s) != 0 || s.code != IsoCode::kG01) return 0;
    constexpr int64_t kToleranceMicrons = 1000;
    int64_t px, py;
    walk.before(index, px, py);
    const int64_t ex = px + s.x, ey = py + s.y;
    const int64_t missX = ex > targetX ? ex - targetX : targetX - ex;
    const int64_t missY = ey > targetY ? ey - targetY : targetY - ey;
    if (missX >= kToleranceMicrons || missY >= kToleranceMicrons) return 0;
    char buf[80];
    char* p = buf;
    p += std::snprintf(p, 16, "N%d G01 X", index);
    p += formatMillimetres(clampToInt32(targetX - px), p);
    *p++ = ' ';
    *p++ = 'Y';
    p += formatMillimetres(clampToInt32(targetY - py), p);
    *p++ = ';';
    lines.setLine(index, std::string_view(buf, static_cast<std::size_t>(p - buf)));
    return 1;
}

}  // namespace

int findJumpSegments(const ProgramLines& lines, JumpEntry* table, int capacity) {
    int entries = 0;
    int state = 0;
    int moveLine = 0;
    double moveX = 0, moveY = 0;
    for (int i = 0; i < lines.count; ++i) {
        const char* s = lines.line(i);
        const LineMarks marks = scanMarks(s);
        switch (state) {
        case 0:
            if (marks.m00) state = 1;
            break;
        case 1:
            if (marks.g01) {
                const char* x = std::strchr(s, 'X');
                const char* y = std::strchr(s, 'Y');
                if (!x || !y) return -1;
                moveLine = i;
                moveX = readReal(x + 1);
                moveY = readReal(y + 1);
                state = 2;
            } else {
                state = 0;
            }
            break;
        default:
            // The closing pause of one jump never opens the next one.
            if (marks.m00) {
                if (entries >= capacity) return -1;
                JumpEntry e;
                e.line = moveLine;
                e.x = moveX + (entries > 0 ? table[entries - 1].x : 0.0);
                e.y = moveY + (entries > 0 ? table[entries - 1].y : 0.0);
                table[entries++] = e;
            }
            state = 0;
            break;
        }
    }
    return entries;
}

int closeLeadOuts(ProgramLines& lines, const JumpEntry* jumps, int jumpCount) {
    constexpr int kMinLines = 5;
    if (lines.count < kMinLines) return 0;
    IsoStatement first;
    if (parseIsoStatement(lines.line(1), first) != 0 ||
        (first.code != IsoCode::kG01 && first.code != IsoCode::kT17)) {
        return 0;
    }
    // Targets in microns: each contour starts where the jumps before it, read as the machine
    // runs them, have taken the wire.
    std::vector<int64_t> targetX(static_cast<std::size_t>(jumpCount) + 1, 0);
    std::vector<int64_t> targetY(static_cast<std::size_t>(jumpCount) + 1, 0);
    for (int k = 0; k < jumpCount; ++k) {
        int64_t dx = 0, dy = 0;
        if (jumps[k].line >= 0 && jumps[k].line < lines.count) {
            const char* s = lines.line(jumps[k].line);
            const char* x = std::strchr(s, 'X');
            const char* y = std::strchr(s, 'Y');
            if (x) dx = readMicrons(x + 1);
            if (y) dy = readMicrons(y + 1);
        }
        targetX[k + 1] = targetX[k] + dx;
        targetY[k + 1] = targetY[k] + dy;
    }

    PositionWalk walk(lines);
    int rewritten = 0;
    for (int k = 0; k < jumpCount; ++k) {
        // The lead-out is the line just before the jump's opening pause.
        const int candidate = jumps[k].line - 2;
        if (candidate < 0 || candidate >= lines.count) continue;
        rewritten += closeOnto(lines, walk, candidate, targetX[k], targetY[k]);
    }
    // The last contour's lead-out is the line before the end line.
    rewritten += closeOnto(lines, walk, lines.count - 2, targetX[jumpCount], targetY[jumpCount]);
    return rewritten;
}

}  // namespace korvex
