// Step interpolation: the unit steps (1 µm per axis) that an element produces, resumable from
// any cursor, forward and backward.
//
// Cursors. A line's cursor is its position relative to the line's start point; an arc's cursor
// is its position relative to the arc's centre. Together with the number of steps done, that is
// the whole state of a stepper: stepping can be resumed, or reversed, from any cursor.
//   forward:  fresh cursor (0 steps, start offset)  --steps-->  end offset, all steps done
//   backward: end cursor (all steps, end offset)    --steps-->  start offset, 0 steps
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "code/segment.h"

namespace korvex {

// Step codes: one byte per step, bit 1 = +X, bit 2 = +Y, bit 4 = -X, bit 8 = -Y.
enum StepCode : uint8_t {
    kStepPosX = 1, kStepPosY = 2, kStepNegX = 4, kStepNegY = 8,
    kStepPosXPosY = 3, kStepNegXPosY = 6, kStepNegXNegY = 12, kStepPosXNegY = 9,
};

// The cursor of an element: steps done and the position, relative to the element's start point
// for lines and relative to the centre for arcs.
struct StepState {
    int32_t steps = 0;
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const StepState&, const StepState&) = default;
};

// A fresh forward cursor: (0, 0, 0) for a line, (0, startX, startY) for an arc, (0, 0, 0) for
// the kinds that do not step.
StepState freshCursor(const PathElement& e);
// The cursor at the element's end with all of its `steps` done (where backward stepping
// starts): (steps, endX, endY) for lines and arcs, (0, 0, 0) for the kinds that do not step.
StepState endCursor(const PathElement& e);

// Emits at most n step codes into `codes` and advances the cursor; returns the number emitted
// (0..n). Kinds 0 and 1 use the line stepper, 2 and 3 the arc stepper, others emit nothing.
// Fewer than n codes means the element has ended (or an arc's cursor sits on its centre).
// `codes` may be null when only the cursor is wanted.
//
// Every code moves the cursor by exactly its step, so an element stepped forward from a fresh
// cursor to its end gives codes that add up to its displacement (an arc: end offset minus start
// offset), and stepped backward from endCursor, to the opposite. An element that has ended
// emits nothing on further calls, so the codes of a run do not depend on how it is cut into
// calls. Backward, an arc uses the element's `steps` (the count of its forward run) to tell a
// run under way from a fresh one; its backward run may take a few steps more or fewer than
// `steps`, the cursor's count staying at 0 once it gets there.
int stepElement(const PathElement& e, StepState& cursor, int n, uint8_t* codes, bool backward);

// Returned by countSteps for an element that cannot be stepped to its end (see below).
inline constexpr int32_t kStepsUnending = -1;

// The element's step count: what stepping a fresh cursor forward until the element ends gives
// (the same count as batches of 10 until a batch comes short). Lines take max(|dx|, |dy|)
// steps; pauses, switches and no-motion elements 0.
//
// An arc whose end offset lies off its own circle is never reached by the stepper. Such an arc
// is given up after two turns of stepping (a budget of twice the steps of a full circle), and
// so is an arc that stops on its centre without reaching its end: both return kStepsUnending,
// and the caller fails the line as unreadable. A count beyond the 32-bit range also returns
// kStepsUnending.
//
// `cancel`, when set, is tested before stepping starts and every few thousand steps; it ends the
// count early and returns the steps counted so far (the caller abandons the load).
//
// Arcs are not walked micron by micron: within each quarter of the circle the stepper's own
// track is known in closed form away from the 45-degree point, so long runs are skipped in
// one move and only the few steps near axes, the 45-degree point and the end are stepped.
// The count is the same as stepping gives (see the comment in step.cpp).
int32_t countSteps(const PathElement& e, const std::atomic<bool>* cancel = nullptr);

// Steps a fresh cursor k times (fewer if the element ends first) and leaves the result in
// `out`. `progress` receives percent values 0..100 as the walk goes on; `cancel` stops it early.
// Returns 0, or -1 when cancelled.
int positionAfterSteps(const PathElement& e, int32_t k, StepState& out,
                       const std::function<void(int)>& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

}  // namespace korvex
