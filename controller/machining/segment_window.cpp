#include "controller/machining/segment_window.h"

namespace korvex {

bool windowIndices(const WorkRange& range, int32_t segmentCount, int32_t i, std::array<int32_t, 3>& out) {
    if (range.lo < 0 || range.hi >= segmentCount || range.lo > range.hi || !range.contains(i))
        return false;
    out = {i == range.lo ? range.hi : i - 1, i, i == range.hi ? range.lo : i + 1};
    return true;
}

bool buildWindow(const CodeSegment* segments, int32_t segmentCount, const WorkRange& range, int32_t i,
                 SegmentWindow& out) {
    std::array<int32_t, 3> indices{};
    if (segments == nullptr || !windowIndices(range, segmentCount, i, indices))
        return false;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        out.indices[k] = indices[k];
        out.segments[k] = segments[indices[k]];
    }
    return true;
}

}  // namespace korvex
