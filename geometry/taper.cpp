#include "geometry/taper.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "code/iso.h"
#include "code/kind.h"
#include "code/jumps.h"
#include "code/lines.h"
#include "code/numbers.h"
#include "code/taper_header.h"
#include "geometry/cross.h"
#include "geometry/equ.h"
#include "geometry/offset.h"
#include "geometry/trace.h"

namespace korvex {
namespace {

constexpr double kTaperPi = 3.1415926535;
constexpr const char* kBanner = "****************************************";

std::string formatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatLine(const char* format, ...) {
    char text[kLineSlotBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// What a line does, for the pairing of two contours.
enum class LineRole { kMove, kPause, kSwitch, kStill, kBad };

LineRole roleOf(const std::string& line) {
    IsoStatement s;
    if (parseIsoStatement(line.c_str(), s) < 0) return LineRole::kBad;
    switch (s.code) {
    case IsoCode::kG00:
    case IsoCode::kG01:
    case IsoCode::kG02:
    case IsoCode::kG03: return LineRole::kMove;
    case IsoCode::kM00: return LineRole::kPause;
    case IsoCode::kT17: return LineRole::kSwitch;
    default: return LineRole::kStill;
    }
}

// A contour: lines a .. b-1, line a its start (G92 or the pause after a jump), line b-1 its end
// (M02 or the pause before a jump).
struct ContourRange {
    int a = 0, b = 0;
};

int findContours(const std::vector<std::string>& lines, std::vector<ContourRange>& out) {
    ProgramLines store;
    std::string text;
    for (const std::string& l : lines) (text += l) += '\n';
    if (splitProgramText(std::string_view(text), store) < 0 || store.count != static_cast<int>(lines.size()))
        return -1;
    std::vector<JumpEntry> jumps(kJumpTableCapacity);
    const int count = findJumpSegments(store, jumps.data(), kJumpTableCapacity);
    if (count < 0) return -1;
    out.clear();
    int a = 0;
    for (int k = 0; k < count; ++k) {
        const int jump = jumps[static_cast<size_t>(k)].line;
        out.push_back({a, jump});  // ends with the pause before the jump
        a = jump + 1;              // the pause after it starts the next
    }
    out.push_back({a, static_cast<int>(lines.size())});
    return 0;
}

// The crossing of two lines given as elements with their stored offsets.
bool crossLines(const Equ& l1, double d1, const Equ& l2, double d2, GeoPoint& p) {
    return crossLineLine(lineOf(l1.source), d1, lineOf(l2.source), d2, p) == kCrossOne;
}

// A neighbour's offset geometry moved by r toward `centre`, as a line or a circle.
struct Moved {
    bool isLine = true;
    GeoLine line;
    GeoCircle circle;
};

Moved movedToward(const Equ& n, double r, GeoPoint centre) {
    Moved m;
    if (n.source.isLine()) {
        GeoLine l = offsetLine(lineOf(n.source), n.offset);
        const double side = l.a * centre.y - l.b * centre.x - l.c;
        const double shift = (side >= 0 ? 1 : -1) * r * std::hypot(l.a, l.b);
        l.c += shift;
        m.line = l;
    } else {
        m.isLine = false;
        GeoCircle c = offsetCircle(circleOf(n.source), n.offset);
        const double d = std::hypot(centre.x - c.x, centre.y - c.y);
        c.r = d < c.r ? c.r - r : c.r + r;
        m.circle = c;
    }
    return m;
}

// Moves the kept-radius arc elements[k] (offset 0) so it stays joined to its offset neighbours.
int moveKeptArc(std::vector<Equ>& elements, size_t k) {
    const size_t n = elements.size();
    const Equ& prev = elements[(k + n - 1) % n];
    const Equ& next = elements[(k + 1) % n];
    Equ& arc = elements[k];
    if (!(prev.source.isLine() || prev.source.isArc()) || !(next.source.isLine() || next.source.isArc())) return -1;
    const GeoPoint old{arc.source.centreX, arc.source.centreY};
    GeoPoint moved;
    if (prev.source.isLine() && next.source.isLine()) {
        // The centre follows the crossing of the two neighbouring lines.
        GeoPoint p0, p1;
        if (!crossLines(prev, 0, next, 0, p0) || !crossLines(prev, prev.offset, next, next.offset, p1)) return -1;
        moved = {old.x + p1.x - p0.x, old.y + p1.y - p0.y};
    } else {
        const double r = arc.source.radius;
        const Moved m1 = movedToward(prev, r, old), m2 = movedToward(next, r, old);
        GeoPoint p1, p2;
        int rc;
        if (m1.isLine && m2.isLine) {
            rc = crossLineLine(m1.line, 0, m2.line, 0, p1);
        } else if (m1.isLine || m2.isLine) {
            const Moved& l = m1.isLine ? m1 : m2;
            const Moved& c = m1.isLine ? m2 : m1;
            rc = crossLineCircle(l.line, 0, c.circle, 0, &old, p1, p2);
        } else {
            rc = crossCircleCircle(m1.circle, 0, m2.circle, 0, &old, p1, p2);
        }
        if (rc != kCrossOne) return -1;
        moved = p1;
    }
    if (!std::isfinite(moved.x) || !std::isfinite(moved.y)) return -1;
    const double dx = moved.x - old.x, dy = moved.y - old.y;
    arc.source.centreX += dx;
    arc.source.centreY += dy;
    arc.source.startX += dx;
    arc.source.startY += dy;
    arc.source.endX += dx;
    arc.source.endY += dy;
    arc.offset = 0;
    return 0;
}

// Builds the contour's elements (lead-in first, lead-out last) with each line's offset, moves
// the kept arcs, compensates with sharp corners and writes line for line into `out`.
int generateContour(const std::vector<std::string>& lines, ContourRange range, const std::vector<double>& offsets,
                    const std::vector<bool>& keepRadius, std::vector<std::string>& out) {
    const int first = range.a + 1, last = range.b - 2;
    if (last - first < 1) return -1;
    std::vector<Equ> elements;
    double x = 0, y = 0;
    for (int i = first; i <= last; ++i) {
        IsoStatement s;
        if (parseIsoStatement(lines[static_cast<size_t>(i)].c_str(), s) < 0) return -1;
        if (!(std::fabs(x) <= kMaxCoordinateMm && std::fabs(y) <= kMaxCoordinateMm)) return -1;
        if (i == last) {
            // The lead-out returns exactly to the contour's start.
            s.x = -roundMicron(x * 1000.0);
            s.y = -roundMicron(y * 1000.0);
        }
        const bool lead = i == first || i == last;
        Equ e;
        if (statementToEqu(s, x, y, lead ? 0.0 : offsets[static_cast<size_t>(i)], e) < 0) return -1;
        x = e.source.endX;
        y = e.source.endY;
        elements.push_back(e);
    }
    // Kept arcs are moved against the neighbours' offsets, so all are moved from the source.
    const std::vector<Equ> source = elements;
    for (size_t k = 1; k + 1 < elements.size(); ++k) {
        if (!keepRadius[static_cast<size_t>(first) + k] || !source[k].source.isArc()) continue;
        std::vector<Equ> around = source;
        if (moveKeptArc(around, k) < 0) {
            geometryTrace("KEPT ARC NOT JOINED:%d\n", first + static_cast<int>(k));
            return -1;
        }
        elements[k] = around[k];
    }
    std::vector<Equ> path;
    if (compensateElements(elements, CornerType::Sharp, path) < 0) return -1;
    // Line i of the result must come from line i of the given contour.
    if (path.size() != elements.size()) return -1;
    int32_t px = 0, py = 0;
    for (size_t k = 0; k < path.size(); ++k) {
        const int i = first + static_cast<int>(k);
        IsoStatement s;
        if (equToStatement(path[k], px, py, s) < 0) return -1;
        const bool arc = s.code == IsoCode::kG02 || s.code == IsoCode::kG03;
        const bool fullCircle = roundMicron(path[k].source.startX * 1000.0) == roundMicron(path[k].source.endX * 1000.0) &&
                                roundMicron(path[k].source.startY * 1000.0) == roundMicron(path[k].source.endY * 1000.0);
        if (arc && s.x == 0 && s.y == 0 && !fullCircle) return -1;  // would read back as a circle
        // Written as the offset command writes, I and J on straight lines too (0, ignored).
        out[static_cast<size_t>(i)] = formatLine("N%d %s X%.3f Y%.3f I%.3f J%.3f;", i, isoCodeName(s.code),
                                                 s.x / 1000.0, s.y / 1000.0, s.i / 1000.0, s.j / 1000.0);
        px += s.x;
        py += s.y;
    }
    return 0;
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool taperInputKindUsable(int kind) { return kind == kKindIso || kind == kKind3B; }

bool readDegreeCell(const std::string& cell, double& degree, bool& empty) {
    size_t b = 0, e = cell.size();
    while (b < e && std::isspace(static_cast<unsigned char>(cell[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(cell[e - 1]))) --e;
    empty = b == e;
    if (empty) return true;
    const std::string text = cell.substr(b, e - b);
    const char* end = nullptr;
    const double v = readReal(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v) || std::fabs(v) > kTaperMaxDegree) return false;
    degree = v;
    return true;
}

int generateTaperContour(const std::vector<std::string>& given, const std::vector<TaperRow>& rows,
                         double thicknessMm, double rminMm, std::vector<std::string>& out, int& badRow) {
    badRow = -1;
    const size_t n = given.size();
    if (rows.size() != n) return -1;
    std::vector<double> offsets(n, 0.0);
    std::vector<bool> keep(n, false);
    double degree = 0;
    for (size_t i = 0; i < n; ++i) {
        double d = 0;
        bool empty = false;
        if (!readDegreeCell(rows[i].degreeCell, d, empty)) {
            badRow = static_cast<int>(i);
            return -1;
        }
        if (!empty) degree = d;
        offsets[i] = std::tan(degree * kTaperPi / 180) * thicknessMm;
        IsoStatement s;
        double radius = 0;
        if (parseIsoStatement(given[i].c_str(), s) == 0 && (s.code == IsoCode::kG02 || s.code == IsoCode::kG03))
            radius = std::hypot(s.i / 1000.0, s.j / 1000.0);
        keep[i] = rows[i].flag == kTaperFlagEr || (radius < rminMm && rows[i].flag != kTaperFlagNer);
    }
    std::vector<ContourRange> contours;
    if (findContours(given, contours) < 0) return -1;
    std::vector<std::string> result = given;
    for (const ContourRange& c : contours) {
        if (generateContour(given, c, offsets, keep, result) < 0) return -1;
    }
    if (finishTaperProgram(result) < 0) return -1;
    out = std::move(result);
    return 0;
}

int finishTaperProgram(std::vector<std::string>& lines) {
    std::vector<ContourRange> contours;
    if (findContours(lines, contours) < 0) return -1;
    for (size_t k = 0; k + 1 < contours.size(); ++k) {
        const int before = contours[k].b - 1, after = contours[k + 1].a;
        lines[static_cast<size_t>(before)] = formatLine("N%d M00;", before);
        lines[static_cast<size_t>(after)] = formatLine("N%d M00;", after);
    }
    ProgramLines store;
    std::string text;
    for (const std::string& l : lines) (text += l) += '\n';
    if (splitProgramText(std::string_view(text), store) < 0 || store.count != static_cast<int>(lines.size()))
        return -1;
    std::vector<JumpEntry> jumps(kJumpTableCapacity);
    const int count = findJumpSegments(store, jumps.data(), kJumpTableCapacity);
    if (count < 0) return -1;
    closeLeadOuts(store, jumps.data(), count);
    for (int i = 0; i < store.count; ++i) lines[static_cast<size_t>(i)] = store.line(i);
    return 0;
}

int oneGraph(const std::vector<std::string>& given, bool givenIsBelow, const std::vector<TaperRow>& rows,
             const TaperDialogValues& values, std::vector<std::string>& upper, std::vector<std::string>& lower,
             std::string& error, int& badRow) {
    // The card keeps the thickness in tenths; offsetting by that one makes the cut angle the
    // typed one.
    const double thickness = std::trunc(values.width * 10) / 10;
    std::vector<std::string> generated;
    std::vector<std::string> kept = given;
    if (generateTaperContour(given, rows, thickness, values.rmin, generated, badRow) < 0 ||
        finishTaperProgram(kept) < 0) {
        error = givenIsBelow ? kTaperUpperFailed : kTaperBelowFailed;
        return -1;
    }
    (givenIsBelow ? lower : upper) = std::move(kept);
    (givenIsBelow ? upper : lower) = std::move(generated);
    error.clear();
    return 0;
}

int twoGraphs(const std::vector<std::string>& lower, const std::vector<std::string>& upper, std::string& error) {
    if (lower.size() != upper.size()) {
        error = kTaperDifferentSegments;
        return -1;
    }
    for (size_t i = 0; i < lower.size(); ++i) {
        const LineRole r = roleOf(lower[i]);
        if (r == LineRole::kBad || r != roleOf(upper[i])) {
            error = kTaperDifferentSegments;
            return -1;
        }
    }
    error.clear();
    return 0;
}

std::string taperFileText(const TaperDialogValues& v, const std::vector<std::string>& upper,
                          const std::vector<std::string>& lower) {
    std::string text = kBanner;
    text += '\n';
    text += formatLine("Korvex -Version 2.0 -Type ZD -Height %.3f -Width %.3f -Base %.3f -R %.3f -Degree %.3f",
                       v.height, v.width, v.base, v.r, v.degree);
    text += '\n';
    text += kBanner;
    text += '\n';
    for (size_t i = 0; i < upper.size() && i < lower.size(); ++i) {
        text += upper[i];
        text += ' ';
        text += lower[i];
        text += '\n';
    }
    return text;
}

std::string oneGraphPath(const std::string& givenPath) { return givenPath + ".3nb"; }

std::string twoGraphsPath(const std::string& lowerPath, const std::string& upperPath) {
    return lowerPath + "_" + fileNameOf(upperPath) + ".3nb";
}

int writeTaperFile(const std::string& path, const std::string& text) {
    if (fileNameOf(path).size() > kTaperMaxTitleBytes) return -2;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    bool ok = ::fchmod(fd, 0644) == 0;  // as an ordinary file, not mkostemp's owner-only mode
    size_t done = 0;
    while (ok && done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return -1;
    }
    return 0;
}

}  // namespace korvex
