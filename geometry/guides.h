// Guide positions of a cut: where the lower guide (X, Y) and the upper guide's offset from it
// (U, V) stand, in microns, for a cursor in a loaded program, and the fraction of a micron the
// roller correction dropped from X. Integer arithmetic on the stored tenths; every product is
// checked, so a value that does not fit is refused, never wrapped.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "code/segment.h"
#include "code/step.h"

namespace korvex {

// The taper values as the loader stores them (tenths of a millimetre). `twoContour` false: the
// guides are the contour points themselves.
struct GuideGeometry {
    bool twoContour = false;
    int32_t heightX10 = 0, widthX10 = 0, baseX10 = 0, radiusX10 = 0;
};

struct GuidePositions {
    int32_t x = 0, y = 0, u = 0, v = 0;
    int32_t rollerFraction = 0;  // thousandths of a micron dropped from X
    friend bool operator==(const GuidePositions&, const GuidePositions&) = default;
};

enum GuideStatus : int {
    kGuidesOk = 0,
    kGuidesOutOfRange = -1,  // "Guide positions out of range, check the taper values!"
    kGuidesBadTaper = -2,    // a two-contour program without a usable thickness or rollers' distance
    kGuidesBadCursor = -3,   // a segment index outside the program
};

inline constexpr const char* kGuidesOutOfRangeText = "Guide positions out of range, check the taper values!";

// A two-contour program needs T and H above 0 (they divide).
inline bool guideGeometryUsable(const GuideGeometry& g) {
    return !g.twoContour || (g.widthX10 > 0 && g.heightX10 > 0);
}

// The sums of the lower and upper displacements of all segments before each index, built once
// per loaded program: the contour points at a segment's start in one lookup.
class DisplacementTable {
public:
    DisplacementTable() = default;
    DisplacementTable(const CodeSegment* segments, std::size_t count) { build(segments, count); }

    void build(const CodeSegment* segments, std::size_t count) {
        sums_.clear();
        sums_.reserve(count + 1);  // one pass over the memory: no zero fill first
        Sums s;
        for (std::size_t i = 0; i < count; ++i) {
            sums_.push_back(s);
            s.lx += segments[i].lower.dx();
            s.ly += segments[i].lower.dy();
            s.ux += segments[i].upper.dx();
            s.uy += segments[i].upper.dy();
        }
        sums_.push_back(s);
    }

    std::size_t segmentCount() const { return sums_.empty() ? 0 : sums_.size() - 1; }

    struct Sums {
        int64_t lx = 0, ly = 0, ux = 0, uy = 0;
    };
    // Sums over the segments before `index` (0 .. segmentCount()).
    const Sums& before(std::size_t index) const { return sums_[index]; }

private:
    std::vector<Sums> sums_;
};

namespace guides_detail {

inline bool fitsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// a * b + c * d in 64 bits; false on overflow.
inline bool mulAdd(int64_t a, int64_t b, int64_t c, int64_t d, int64_t& out) {
    int64_t p, q;
    return !__builtin_mul_overflow(a, b, &p) && !__builtin_mul_overflow(c, d, &q) &&
           !__builtin_add_overflow(p, q, &out);
}

// The element's in-segment position: the cursor minus the fresh cursor's (an arc's cursor is
// relative to its centre, a line's to its start).
inline void inSegment(const PathElement& e, const StepState& cursor, int64_t& x, int64_t& y) {
    const StepState fresh = freshCursor(e);
    x = static_cast<int64_t>(cursor.x) - fresh.x;
    y = static_cast<int64_t>(cursor.y) - fresh.y;
}

}  // namespace guides_detail

// The guides for a cursor in `segment`, whose predecessors' displacements sum to `before`: the
// lower and upper contour points (the sums plus the in-segment positions), then for a
// two-contour program
//   X = ((T + B)·Lx − B·Ux) / T,  Y likewise,  U = (H·Ux − H·Lx) / T,  V likewise
// (division truncating toward zero) and the roller correction c = (sqrt(U² / (H·100)² + 1) − 1)
// · R·100 µm, whose integer part is taken off X and whose fraction, in thousandths, is reported.
inline int guidePositionsAfter(const DisplacementTable::Sums& s, const CodeSegment& segment, const StepState& lower,
                               const StepState& upper, const GuideGeometry& g, GuidePositions& out) {
    using namespace guides_detail;
    if (!guideGeometryUsable(g)) return kGuidesBadTaper;
    int64_t lx, ly, ux = 0, uy = 0;
    inSegment(segment.lower, lower, lx, ly);
    if (segment.twoContour) inSegment(segment.upper, upper, ux, uy);
    if (__builtin_add_overflow(lx, s.lx, &lx) || __builtin_add_overflow(ly, s.ly, &ly) ||
        __builtin_add_overflow(ux, s.ux, &ux) || __builtin_add_overflow(uy, s.uy, &uy))
        return kGuidesOutOfRange;
    GuidePositions p;
    if (!g.twoContour) {
        if (!fitsInt32(lx) || !fitsInt32(ly) || !fitsInt32(ux) || !fitsInt32(uy)) return kGuidesOutOfRange;
        p.x = static_cast<int32_t>(lx);
        p.y = static_cast<int32_t>(ly);
        p.u = static_cast<int32_t>(ux);
        p.v = static_cast<int32_t>(uy);
        out = p;
        return kGuidesOk;
    }
    const int64_t t = g.widthX10, b = g.baseX10, h = g.heightX10;
    int64_t nx, ny, nu, nv;
    if (!mulAdd(t + b, lx, -b, ux, nx) || !mulAdd(t + b, ly, -b, uy, ny) || !mulAdd(h, ux, -h, lx, nu) ||
        !mulAdd(h, uy, -h, ly, nv))
        return kGuidesOutOfRange;
    int64_t x = nx / t;
    const int64_t y = ny / t, u = nu / t, v = nv / t;
    if (!fitsInt32(u) || !fitsInt32(v) || !fitsInt32(y)) return kGuidesOutOfRange;
    // The roller term in double: U over the rollers' distance in microns.
    const double ratio = static_cast<double>(u) / (static_cast<double>(h) * 100.0);
    const double c = (std::sqrt(ratio * ratio + 1) - 1) * (static_cast<double>(g.radiusX10) * 100.0);
    if (!std::isfinite(c) || std::fabs(c) > 1e15) return kGuidesOutOfRange;
    const double whole = std::trunc(c);
    x -= static_cast<int64_t>(whole);
    if (!fitsInt32(x)) return kGuidesOutOfRange;
    p.x = static_cast<int32_t>(x);
    p.y = static_cast<int32_t>(y);
    p.u = static_cast<int32_t>(u);
    p.v = static_cast<int32_t>(v);
    p.rollerFraction = static_cast<int32_t>(std::trunc((c - whole) * 1000));
    out = p;
    return kGuidesOk;
}

// The guides for a cursor in segment `index`, the segments before it taken from the table.
inline int guidePositions(const DisplacementTable& table, const CodeSegment* segments, std::size_t index,
                          const StepState& lower, const StepState& upper, const GuideGeometry& g,
                          GuidePositions& out) {
    if (index >= table.segmentCount()) return kGuidesBadCursor;
    return guidePositionsAfter(table.before(index), segments[index], lower, upper, g, out);
}

// The sums of the segments before `index` in one pass, for a single lookup without a table.
inline DisplacementTable::Sums displacementsBefore(const CodeSegment* segments, std::size_t index) {
    DisplacementTable::Sums s;
    for (std::size_t i = 0; i < index; ++i) {
        s.lx += segments[i].lower.dx();
        s.ly += segments[i].lower.dy();
        s.ux += segments[i].upper.dx();
        s.uy += segments[i].upper.dy();
    }
    return s;
}

// The cursors of a start in segment `index`: forward at the elements' start offsets with no
// step done, reverse at their end offsets with all steps done.
inline void segmentStartCursors(const CodeSegment& segment, bool reverse, StepState& lower, StepState& upper) {
    lower = reverse ? endCursor(segment.lower) : freshCursor(segment.lower);
    upper = reverse ? endCursor(segment.upper) : freshCursor(segment.upper);
}

// The guides at a start in segment `index` (segmentStartCursors, then guidePositions).
inline int segmentStartGuides(const DisplacementTable& table, const CodeSegment* segments, std::size_t index,
                              bool reverse, const GuideGeometry& g, StepState& lower, StepState& upper,
                              GuidePositions& out) {
    if (index >= table.segmentCount()) return kGuidesBadCursor;
    segmentStartCursors(segments[index], reverse, lower, upper);
    return guidePositions(table, segments, index, lower, upper, g, out);
}

}  // namespace korvex
