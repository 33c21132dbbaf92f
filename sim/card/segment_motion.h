// Stepping one segment of the path the way the card's interpolator does.
//
// A segment holds a lower element and, on a two-contour (taper) line, an upper element. Both
// advance together: the element with more steps leads, and after every batch of its steps the
// other one is stepped until its share matches, so both reach their ends on the same step.
//
//   lead     0 ........ k ........ K       (steps done of the leading element)
//   follow   0 ... k*F/K ......... F       (the follower is kept at floor(k * F / K))
//
// The cursors are those of the code library's steppers: relative to the element's start point
// for lines and to the centre for arcs, with the number of steps done. Stepping backward runs the
// same path in the opposite direction and counts the steps done down to 0, so a segment can be
// entered at either end and left at either end. An element has ended when its stepper gives no
// more steps, not when the count says so: an arc's backward run, or a run resumed after backing
// off, can take a few steps more or fewer than the count, and the wire must still arrive on the
// element's end. Every step code moves the contour point as it moves the cursor, so the point
// stays on the program's path whatever batches the card's time cuts the stepping into.
//
// Absolute contour positions (lower Lx, Ly; upper Ux, Uy) move with every step code; the guide
// positions X, Y, U, V reported to the PC are derived from them (ContourPoint::guides).
#pragma once

#include <cstdint>

#include "code/segment.h"
#include "code/step.h"
#include "controller/link/records.h"

namespace korvex::sim {

// Taper geometry the guide positions depend on (tenths of a millimetre, from CMD_SET_TAPER).
struct TaperGeometry {
    int32_t height = 0;
    int32_t width = 0;
    int32_t base = 0;
    int32_t radius = 0;
    int32_t degree = 0;  // thousandths of a degree
    int32_t type = 0;    // the machine type chosen with the program
    bool active() const { return width != 0 && height != 0; }
};

struct GuidePositions {
    int32_t x = 0, y = 0, u = 0, v = 0;
    int32_t rollerFraction = 0;  // thousandths of a micron dropped from X
};

// Absolute positions of the lower and the upper contour, microns.
struct ContourPoint {
    int64_t lx = 0, ly = 0, ux = 0, uy = 0;

    // One-contour work (or no taper geometry): X, Y follow the lower contour and U, V the upper
    // one. Two-contour work with taper geometry: the lower guide lies on the line through both
    // contour points, extended below the workpiece, and U, V are the upper guide's offset.
    GuidePositions guides(bool twoContour, const TaperGeometry& taper) const;
    // The inverse, for a start point the PC hands over as guide positions: the roller correction
    // is undone and the contour point found whose guides are exactly the ones given.
    static ContourPoint fromGuides(const GuidePositions& g, bool twoContour, const TaperGeometry& taper);
};

// The element a card actually steps: a rapid move (kind 5 with a displacement) is run as a
// straight line so the axes really travel it; a group switch (kind 5 without one) and a pause
// stay motionless.
PathElement motionElement(const PathElement& e);
// True for a "T17" group switch record (kind 5 without a displacement).
bool isGroupSwitch(const PathElement& e);

class SegmentMotion {
public:
    // Loads a segment with the given cursors (as carried in a work parameter block).
    void load(const CodeSegment& segment, const StepCursor& upper, const StepCursor& lower);
    // Loads a segment at its start (backward = false) or at its end (backward = true).
    void loadAtEnd(const CodeSegment& segment, bool atEnd);

    // Runs at most maxSteps steps of the leading element in the given direction, moving the
    // contour point with every step. Returns the number of leading steps taken.
    int step(int maxSteps, bool backward, ContourPoint& point);

    // True when stepping in this direction has nothing left (the leading stepper ended).
    bool finished(bool backward) const;
    // Leading steps done and total, for the plan-pause percentage and short-circuit backing.
    int32_t stepsDone() const;
    int32_t stepsTotal() const;

    const CodeSegment& segment() const { return segment_; }
    StepCursor upperCursor() const { return toCursor(upper_.cursor); }
    StepCursor lowerCursor() const { return toCursor(lower_.cursor); }

private:
    struct Track {
        PathElement element;     // as stepped (see motionElement)
        StepState cursor;
        int32_t total = 0;       // steps of the whole element
        int32_t guard = 0;       // steps taken in one direction; ends a stepper that would not stop
        bool guardBackward = false;
        bool active = false;
    };
    static StepCursor toCursor(const StepState& s) { return {s.steps, s.x, s.y}; }
    static void setUp(Track& t, const PathElement& e);
    // Steps a track by up to n steps; returns the count and moves (x, y) by the step codes.
    // Where the stepper ends, the count is pinned to the end (0 backward, total forward).
    static int run(Track& t, int n, bool backward, int64_t& x, int64_t& y);
    // True when the track's stepper would give another step in this direction.
    static bool hasStepLeft(const Track& t, bool backward);
    // Keeps the follower at its proportional share of the leader's progress.
    void follow(bool backward, ContourPoint& point);

    CodeSegment segment_;
    Track lower_;
    Track upper_;
    bool upperLeads_ = false;
};

}  // namespace korvex::sim
