// Where on the lower contour a Plan-Pause stops the work: `percent` of the way along segment
// `segment`, along the arc for an arc. Nothing for a segment outside the program or one that is
// not a line or an arc.
#pragma once

#include <cstdint>
#include <optional>

#include "controller/views/graph_renderer.h"

namespace korvex {

std::optional<GraphPoint> pointAlongSegment(const GraphProgram& program, int32_t segment, int percent);

}  // namespace korvex
