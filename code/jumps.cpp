#include "code/jumps.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "code/iso.h"
#include "code/marks.h"
#include "code/numbers.h"

namespace korvex {
namespace {

// Walks the running position forward line by line; candidates come in increasing order, and a
// rewritten line is read with its new values by the walk that passes it later.
class PositionWalk {
public:
    explicit PositionWalk(const LineMotion* motion) : motion_(motion) {}
    // Position before line `index`, summed from line 0.
    void before(int index, int64_t& x, int64_t& y) {
        if (index < next_) {
            next_ = 0;
            x_ = y_ = 0;
        }
        for (; next_ < index; ++next_) {
            x_ += motion_[next_].dx;
            y_ += motion_[next_].dy;
        }
        x = x_;
        y = y_;
    }

private:
    const LineMotion* motion_;
    int next_ = 0;
    int64_t x_ = 0, y_ = 0;
};

// Rewrites line `index` so that it ends on the target when it is a G01 ending within 1 mm
// (strictly) of the target in both axes. Returns 1 when rewritten.
int closeOnto(ProgramLines& lines, LineMotion* motion, PositionWalk& walk, int index,
              int64_t targetX, int64_t targetY) {
    LineMotion& m = motion[index];
    if (!(m.flags & LineMotion::kIsG01)) return 0;
    constexpr int64_t kToleranceMicrons = 1000;
    int64_t px, py;
    walk.before(index, px, py);
    const int64_t ex = px + m.dx, ey = py + m.dy;
    const int64_t missX = ex > targetX ? ex - targetX : targetX - ex;
    const int64_t missY = ey > targetY ? ey - targetY : targetY - ey;
    if (missX >= kToleranceMicrons || missY >= kToleranceMicrons) return 0;
    const int32_t dx = clampToInt32(targetX - px);
    const int32_t dy = clampToInt32(targetY - py);
    char buf[80];
    char* p = buf;
    p += std::snprintf(p, 16, "N%d G01 X", index);
    p += formatMillimetres(dx, p);
    *p++ = ' ';
    *p++ = 'Y';
    p += formatMillimetres(dy, p);
    *p++ = ';';
    if (lines.setLine(index, std::string_view(buf, static_cast<std::size_t>(p - buf))) != 0) return 0;
    m.dx = dx;
    m.dy = dy;
    return 1;
}

std::vector<LineMotion> describeAll(const ProgramLines& lines) {
    std::vector<LineMotion> motion(static_cast<std::size_t>(lines.count));
    describeLines(lines, 0, lines.count, motion.data());
    return motion;
}

}  // namespace

void describeLines(const ProgramLines& lines, int begin, int end, LineMotion* motion) {
    for (int i = begin; i < end; ++i) {
        prefetchLine(lines, i + kPrefetchLines);
        const char* text = lines.line(i);
        const LineMarks marks = scanMarks(text);
        LineMotion m;
        if (marks.m00) m.flags |= LineMotion::kHasM00;
        if (marks.g01) m.flags |= LineMotion::kHasG01;
        IsoStatement s;
        if (parseIsoStatement(text, marks, s) == 0) {
            if (s.code == IsoCode::kG00 || s.code == IsoCode::kG01 || s.code == IsoCode::kG02 ||
                s.code == IsoCode::kG03) {
                m.dx = s.x;
                m.dy = s.y;
            }
            if (s.code == IsoCode::kG01) m.flags |= LineMotion::kIsG01;
        }
        motion[i] = m;
    }
}

int findJumpSegments(const ProgramLines& lines, JumpEntry* table, int capacity) {
    return findJumpSegments(lines, describeAll(lines).data(), table, capacity);
}

int findJumpSegments(const ProgramLines& lines, const LineMotion* motion, JumpEntry* table,
                     int capacity) {
    int entries = 0;
    int state = 0;
    int moveLine = 0;
    double moveX = 0, moveY = 0;
    for (int i = 0; i < lines.count; ++i) {
        const uint8_t flags = motion[i].flags;
        switch (state) {
        case 0:
            if (flags & LineMotion::kHasM00) state = 1;
            break;
        case 1:
            if (flags & LineMotion::kHasG01) {
                const char* s = lines.line(i);
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
            if (flags & LineMotion::kHasM00) {
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
    std::vector<LineMotion> motion = describeAll(lines);
    return closeLeadOuts(lines, jumps, jumpCount, motion.data());
}

int closeLeadOuts(ProgramLines& lines, const JumpEntry* jumps, int jumpCount, LineMotion* motion) {
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

    PositionWalk walk(motion);
    int rewritten = 0;
    for (int k = 0; k < jumpCount; ++k) {
        // The lead-out is the line just before the jump's opening pause.
        const int candidate = jumps[k].line - 2;
        if (candidate < 0 || candidate >= lines.count) continue;
        rewritten += closeOnto(lines, motion, walk, candidate, targetX[k], targetY[k]);
    }
    // The last contour's lead-out is the line before the end line.
    rewritten += closeOnto(lines, motion, walk, lines.count - 2, targetX[jumpCount], targetY[jumpCount]);
    return rewritten;
}

}  // namespace korvex
