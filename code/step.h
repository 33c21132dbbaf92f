// Step interpolation: the unit steps (1 µm per axis) that an element produces, resumable from
// any cursor, forward and backward.
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

// A fresh forward cursor: (0, 0, 0) for a line, (0, startX, startY) for an arc.
StepState freshCursor(const PathElement& e);
// The cursor at the element's end with all of its `steps` done (where backward stepping starts).
StepState endCursor(const PathElement& e);

// Emits at most n step codes into `codes` and advances the cursor; returns the number emitted
// (0..n). Kinds 0 and 1 use the line stepper, 2 and 3 the arc stepper, others emit nothing.
int stepElement(const PathElement& e, StepState& cursor, int n, uint8_t* codes, bool backward);

// The element's step count, as stepping a fresh cursor in batches of 10 until a batch comes
// short would give. `cancel`, when set, is tested before each batch and ends the count early.
int32_t countSteps(const PathElement& e, const std::atomic<bool>* cancel = nullptr);

// Steps a fresh cursor k times (fewer if the element ends first). `progress` receives percent
// values 0..100 as the walk goes on; `cancel` stops it early. Returns 0, or -1 when cancelled.
int positionAfterSteps(const PathElement& e, int32_t k, StepState& out,
                       const std::function<void(int)>& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

}  // namespace korvex
