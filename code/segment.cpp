#include "code/segment.h"

#include <cmath>
#include <limits>

namespace korvex {
namespace {

void putLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void putLe64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t getLe32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}
uint64_t getLe64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
    return v;
}

// Element image offsets.
constexpr std::size_t kOffKind = 0, kOffStartX = 4, kOffStartY = 8, kOffEndX = 12, kOffEndY = 16,
                      kOffRadius = 20, kOffRadiusSquared = 24, kOffGroups = 32, kOffSteps = 36;
static_assert(kOffSteps + 4 == kPathElementBytes);
// Segment image offsets.
constexpr std::size_t kOffIndex = 0, kOffTwoContour = 4, kOffUpper = 8, kOffLower = 48;
static_assert(kOffLower + kPathElementBytes == kCodeSegmentBytes);

}  // namespace

void encodePathElement(const PathElement& e, std::span<uint8_t, kPathElementBytes> out) {
    uint8_t* p = out.data();
    putLe32(p + kOffKind, static_cast<uint32_t>(e.kind));
    putLe32(p + kOffStartX, static_cast<uint32_t>(e.startX));
    putLe32(p + kOffStartY, static_cast<uint32_t>(e.startY));
    putLe32(p + kOffEndX, static_cast<uint32_t>(e.endX));
    putLe32(p + kOffEndY, static_cast<uint32_t>(e.endY));
    putLe32(p + kOffRadius, static_cast<uint32_t>(e.radius));
    putLe64(p + kOffRadiusSquared, static_cast<uint64_t>(e.radiusSquared));
    p[kOffGroups + 0] = e.groupE;
    p[kOffGroups + 1] = e.groupF;
    p[kOffGroups + 2] = e.groupL;
    p[kOffGroups + 3] = e.groupQ;
    putLe32(p + kOffSteps, static_cast<uint32_t>(e.steps));
}

PathElement decodePathElement(std::span<const uint8_t, kPathElementBytes> in) {
    const uint8_t* p = in.data();
    PathElement e;
    e.kind = static_cast<int32_t>(getLe32(p + kOffKind));
    e.startX = static_cast<int32_t>(getLe32(p + kOffStartX));
    e.startY = static_cast<int32_t>(getLe32(p + kOffStartY));
    e.endX = static_cast<int32_t>(getLe32(p + kOffEndX));
    e.endY = static_cast<int32_t>(getLe32(p + kOffEndY));
    e.radius = static_cast<int32_t>(getLe32(p + kOffRadius));
    e.radiusSquared = static_cast<int64_t>(getLe64(p + kOffRadiusSquared));
    e.groupE = p[kOffGroups + 0];
    e.groupF = p[kOffGroups + 1];
    e.groupL = p[kOffGroups + 2];
    e.groupQ = p[kOffGroups + 3];
    e.steps = static_cast<int32_t>(getLe32(p + kOffSteps));
    return e;
}

CodeSegmentImage encodeCodeSegment(const CodeSegment& s, int32_t segmentIndex) {
    CodeSegmentImage img{};
    putLe32(img.data() + kOffIndex, static_cast<uint32_t>(segmentIndex));
    img[kOffTwoContour] = s.twoContour;
    encodePathElement(s.upper, std::span<uint8_t, kPathElementBytes>(img.data() + kOffUpper, kPathElementBytes));
    encodePathElement(s.lower, std::span<uint8_t, kPathElementBytes>(img.data() + kOffLower, kPathElementBytes));
    return img;
}

CodeSegment decodeCodeSegment(std::span<const uint8_t, kCodeSegmentBytes> in, int32_t* segmentIndex) {
    const uint8_t* p = in.data();
    if (segmentIndex) *segmentIndex = static_cast<int32_t>(getLe32(p + kOffIndex));
    CodeSegment s;
    s.twoContour = p[kOffTwoContour];
    s.upper = decodePathElement(std::span<const uint8_t, kPathElementBytes>(p + kOffUpper, kPathElementBytes));
    s.lower = decodePathElement(std::span<const uint8_t, kPathElementBytes>(p + kOffLower, kPathElementBytes));
    return s;
}

int32_t roundMicron(double value) {
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    if (std::isnan(value)) return 0;
    if (value >= kMax) return std::numeric_limits<int32_t>::max();
    if (value <= kMin) return std::numeric_limits<int32_t>::min();
    const double t = std::trunc(value);
    const double d = value - t;
    auto r = static_cast<int64_t>(t);
    if (d > 0.51) ++r;
    else if (d < -0.51) --r;
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

}  // namespace korvex
