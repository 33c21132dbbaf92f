#include "geometry/offset.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "code/kind.h"
#include "code/segment.h"
#include "geometry/compensate.h"
#include "geometry/equ.h"
#include "geometry/trace.h"

namespace korvex {
namespace {

// A compensated line may run backwards by this much (rounding at a corner) before it counts as
// reversed, mm.
constexpr double kReversalToleranceMm = 0.001;

// The contour's elements, lead-in first and lead-out last, from the running start 0, 0.
int buildSourceElements(const std::vector<std::string>& lines, int a, int b, double offsetMm,
                        std::vector<Equ>& out) {
    const int first = a + 1, last = b - 2;
    out.clear();
    out.reserve(static_cast<size_t>(last - first + 1));
    double x = 0, y = 0;
    for (int i = first; i <= last; ++i) {
        IsoStatement s;
        if (parseIsoStatement(lines[static_cast<size_t>(i)].c_str(), s) < 0) {
            geometryTrace("方程转换失败:%s!\n", lines[static_cast<size_t>(i)].c_str());
            return -1;
        }
        const bool leadInOrOut = i == first || i == last;
        if (!(std::fabs(x) <= kMaxCoordinateMm && std::fabs(y) <= kMaxCoordinateMm)) {
            geometryTrace("方程转换失败:%s!\n", lines[static_cast<size_t>(i)].c_str());
            return -1;
        }
        if (i == last) {
            // The lead-out returns exactly to the contour's start, whatever the source said.
            s.x = -roundMicron(x * 1000.0);
            s.y = -roundMicron(y * 1000.0);
        }
        Equ e;
        if (statementToEqu(s, x, y, leadInOrOut ? 0.0 : offsetMm, e) < 0 &&
            e.source.kind != kEquPause && e.source.kind != kEquSwitch) {
            geometryTrace("方程转换失败:%s!\n", lines[static_cast<size_t>(i)].c_str());
            return -1;
        }
        x = e.source.endX;
        y = e.source.endY;
        out.push_back(e);
    }
    return 0;
}

int connectAll(std::vector<Equ>& elements, std::vector<Equ>& out) {
    const size_t n = elements.size();
    out.clear();
    out.reserve(n + n / 4);
    // Every corner but the last is repaired when its first element is visited, so only the
    // corner from the last element to the first can still be open when the first is visited;
    // its connection belongs after the last element.
    Equ wrapConnection;
    bool wrapJoined = false;
    for (size_t i = 0; i < n; ++i) {
        const size_t prev = (i + n - 1) % n, next = (i + 1) % n;
        Equ connection;
        const int joinedBefore = connectEqus(elements[prev], elements[i], connection);
        if (joinedBefore < 0) {
            geometryTrace("交点连接失败:%d - %d!\n", static_cast<int>(prev), static_cast<int>(i));
            return -1;
        }
        if (joinedBefore == 1) {
            wrapConnection = connection;
            wrapJoined = true;
        }
        const int joined = connectEqus(elements[i], elements[next], connection);
        if (joined < 0) {
            geometryTrace("交点连接失败:%d - %d!\n", static_cast<int>(i), static_cast<int>(next));
            return -1;
        }
        out.push_back(elements[i]);
        if (joined == 1) out.push_back(connection);
    }
    if (wrapJoined) out.push_back(wrapConnection);
    out.front() = elements.front();  // the last corner may have moved the first element's start
    return 0;
}

int roundAll(std::vector<Equ>& elements, std::vector<Equ>& out) {
    const size_t n = elements.size();
    out.clear();
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        Equ arc;
        const int rounded = roundCorner(elements[i], elements[(i + 1) % n], arc);
        if (rounded < 0) {
            geometryTrace("圆角补偿失败:%d!\n", static_cast<int>(i));
            return -1;
        }
        out.push_back(elements[i]);
        if (rounded == 1) out.push_back(arc);
    }
    out.front() = elements.front();
    return 0;
}

bool isFullCircle(const EquHalf& h) {
    return roundMicron(h.startX * 1000.0) == roundMicron(h.endX * 1000.0) &&
           roundMicron(h.startY * 1000.0) == roundMicron(h.endY * 1000.0);
}

// Angle swept by an arc from its start to its end in its own direction, [0, 2 pi).
double sweepOf(const EquHalf& h) {
    const double twoPi = 2 * std::acos(-1.0);
    double a = std::atan2(h.endY - h.centreY, h.endX - h.centreX) -
               std::atan2(h.startY - h.centreY, h.startX - h.centreX);
    if (h.kind == kEquArcCw) a = -a;
    a = std::fmod(a, twoPi);
    return a < 0 ? a + twoPi : a;
}

// An element whose offset twin runs against it: the offset is larger than the room between its
// corners (a line cut backwards, an arc whose ends swapped over and that would now run nearly
// all the way round), and cutting it would put the wire into the part. Returns its index or -1.
int findReversedElement(const std::vector<Equ>& elements) {
    const double pi = std::acos(-1.0);
    for (size_t i = 0; i < elements.size(); ++i) {
        const EquHalf& s = elements[i].source;
        const EquHalf& c = elements[i].compensated;
        bool reversed = false;
        if (c.kind == kEquLine) {
            const double along = (c.endX - c.startX) * (s.endX - s.startX) + (c.endY - c.startY) * (s.endY - s.startY);
            reversed = along < -kReversalToleranceMm * std::hypot(s.endX - s.startX, s.endY - s.startY);
        } else if (c.isArc() && !isFullCircle(s)) {
            reversed = std::fabs(sweepOf(c) - sweepOf(s)) > pi;
        }
        if (reversed) {
            geometryTrace("ELEMENT REVERSED:%d\n", static_cast<int>(i));
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The moved ends of two elements at their joint lie at least this far apart for the joint to
// be a corner, mm: closer, they meet within the written micron and nothing can be nicked there.
constexpr double kCornerGapMm = 0.0005;

bool sameMicron(double x1, double y1, double x2, double y2) {
    return roundMicron(x1 * 1000.0) == roundMicron(x2 * 1000.0) && roundMicron(y1 * 1000.0) == roundMicron(y2 * 1000.0);
}

// The unit direction of travel of a line or arc at its start or its end; {0, 0} when it has
// no direction (a line of no length, an arc of no radius).
GeoPoint directionOf(const EquHalf& h, bool atEnd) {
    double dx = h.endX - h.startX, dy = h.endY - h.startY;
    if (h.isArc()) {
        const double rx = (atEnd ? h.endX : h.startX) - h.centreX;
        const double ry = (atEnd ? h.endY : h.startY) - h.centreY;
        // Travel is the radius turned left on a counter-clockwise arc, right on a clockwise one.
        dx = h.kind == kEquArcCcw ? -ry : ry;
        dy = h.kind == kEquArcCcw ? rx : -rx;
    }
    const double length = std::hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) return {0, 0};
    return {dx / length, dy / length};
}

// Does the lead-in end on a corner of a closed contour? The elements are lead-in, contour,
// lead-out, all cutting moves; the contour's last element ends where its first begins, and
// the two meet at an angle: moved by the offset, their ends at the joint lie apart.
bool entersAtCorner(const std::vector<Equ>& elements) {
    const size_t n = elements.size();
    if (n < 4) return false;
    const EquHalf& leadIn = elements.front().source;
    const EquHalf& leadOut = elements.back().source;
    const EquHalf& first = elements[1].source;
    const EquHalf& last = elements[n - 2].source;
    for (const EquHalf* h : {&leadIn, &leadOut, &first, &last})
        if (!(h->kind == kEquLine || h->isArc())) return false;
    if (!sameMicron(last.endX, last.endY, first.startX, first.startY)) return false;
    const GeoPoint in = directionOf(last, true), out = directionOf(first, false);
    if ((in.x == 0 && in.y == 0) || (out.x == 0 && out.y == 0)) return false;
    return std::fabs(requestedOffset(elements[1])) * std::hypot(in.x - out.x, in.y - out.y) >= kCornerGapMm;
}

// A straight element from one point to another, its line through both.
EquHalf straightLine(GeoPoint from, GeoPoint to) {
    EquHalf h;
    h.kind = kEquLine;
    h.startX = from.x;
    h.startY = from.y;
    h.endX = to.x;
    h.endY = to.y;
    if (to.x == from.x) {
        h.lineA = 0;
        h.lineB = 1;
        h.lineC = -from.x;
    } else {
        h.lineA = 1;
        h.lineB = (to.y - from.y) / (to.x - from.x);
        h.lineC = from.y - from.x * h.lineB;
    }
    return h;
}

// Compensates, connects and (with round corners) rounds the elements as one closed loop.
// `firstIndex` is the index of elements[0] in the whole contour, for the trace.
int compensateLoop(std::vector<Equ>& elements, CornerType corner, int firstIndex, std::vector<Equ>& out) {
    const size_t n = elements.size();
    for (size_t i = 0; i < n; ++i) {
        if (compensateEqus(elements[(i + n - 1) % n], elements[i], elements[(i + 1) % n]) < 0) {
            geometryTrace("CompensateEqus error!%d\n", firstIndex + static_cast<int>(i));
            return -1;
        }
    }
    if (connectAll(elements, out) < 0) return -1;
    if (corner == CornerType::Round) {
        std::vector<Equ> connected = std::move(out);
        if (roundAll(connected, out) < 0) return -1;
    }
    return findReversedElement(out) >= 0 ? -1 : 0;
}

std::string formatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatLine(const char* format, ...) {
    char text[kLineSlotBytes];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

int writeProgram(const std::vector<Equ>& elements, int a, std::vector<std::string>& out) {
    out.clear();
    out.reserve(elements.size() + 2);
    out.push_back(formatLine("N%d G92 X0.000 Y0.000;", a));
    int32_t x = 0, y = 0;  // where the written program stands, microns
    int number = a + 1;
    for (const Equ& e : elements) {
        IsoStatement s;
        if (equToStatement(e, x, y, s) < 0) return -1;
        // An arc shorter than a micron would read back as a full circle: it is left out, the
        // path goes on from the same micron. A drawn full circle stays one.
        if (s.x == 0 && s.y == 0 && e.compensated.isArc() && !isFullCircle(e.source)) continue;
        out.push_back(formatLine("N%d %s X%.3f Y%.3f I%.3f J%.3f;", number++, isoCodeName(s.code), s.x / 1000.0,
                                 s.y / 1000.0, s.i / 1000.0, s.j / 1000.0));
        x += s.x;
        y += s.y;
    }
    out.push_back(formatLine("N%d M02;", number));
    return 0;
}

}  // namespace

int compensateElements(std::vector<Equ>& elements, CornerType corner, std::vector<Equ>& out) {
    if (elements.size() < 2) return -1;  // not even a lead-in and a lead-out
    if (!entersAtCorner(elements)) return compensateLoop(elements, corner, 0, out);

    // Entered at a corner: the contour alone is compensated as a closed loop, so its start
    // corner is crossed or rounded like any other, and the leads run straight to and from the
    // loop's start (an arc lead too). Left on their own lines or circles they would cross the
    // moved sides short of the corner or run on past it, over the drawn contour.
    std::vector<Equ> contour(elements.begin() + 1, elements.end() - 1);
    std::vector<Equ> loop;
    if (compensateLoop(contour, corner, 1, loop) < 0) return -1;
    const GeoPoint start{loop.front().compensated.startX, loop.front().compensated.startY};
    Equ leadIn = elements.front();
    Equ leadOut = elements.back();
    leadIn.compensated = straightLine({leadIn.source.startX, leadIn.source.startY}, start);
    leadOut.compensated = straightLine(start, {leadOut.source.endX, leadOut.source.endY});
    out.clear();
    out.reserve(loop.size() + 2);
    out.push_back(leadIn);
    out.insert(out.end(), loop.begin(), loop.end());
    out.push_back(leadOut);
    return 0;
}

int compensateClosedLoop(std::vector<Equ>& elements, CornerType corner, int firstIndex, std::vector<Equ>& out) {
    if (elements.empty()) return -1;
    return compensateLoop(elements, corner, firstIndex, out);
}

int compensateContour(std::vector<std::string>& lines, int a, int b, double offsetMm, CornerType corner) {
    if (a < 0 || b > static_cast<int>(lines.size()) || b - a < 4) {
        geometryTrace("CONTOUR TOO SHORT: %d - %d\n", a, b);
        return -1;
    }
    if (!std::isfinite(offsetMm)) return -1;
    std::vector<Equ> source;
    if (buildSourceElements(lines, a, b, offsetMm, source) < 0) return -1;
    std::vector<Equ> path;
    if (compensateElements(source, corner, path) < 0) return -1;
    std::vector<std::string> program;
    if (writeProgram(path, a, program) < 0) return -1;
    lines.resize(static_cast<size_t>(a));
    lines.insert(lines.end(), program.begin(), program.end());
    return 0;
}

int offsetProgram(const std::vector<std::string>& lines, int kind, int jumpCount, double offsetMm,
                  CornerType corner, std::vector<std::string>& outLines, std::string& error) {
    if (kind == kKindTwoContour || kind == kKindIsoSwitches || kind == kKindTwoContourSwitches) {
        error = kOffsetNotForTaper;
        return -1;
    }
    if (jumpCount > 0) {
        error = kOffsetNotForJumps;
        return -1;
    }
    std::vector<std::string> work = lines;
    if (compensateContour(work, 0, static_cast<int>(work.size()), offsetMm, corner) < 0) {
        error = kOffsetFailed;
        return -1;
    }
    outLines = std::move(work);
    error.clear();
    return 0;
}

int offsetProgram(const ProgramLines& lines, int kind, int jumpCount, double offsetMm,
                  CornerType corner, std::vector<std::string>& outLines, std::string& error) {
    std::vector<std::string> text;
    text.reserve(static_cast<size_t>(lines.count));
    for (int i = 0; i < lines.count; ++i) text.emplace_back(lines.line(i));
    return offsetProgram(text, kind, jumpCount, offsetMm, corner, outLines, error);
}

}  // namespace korvex
