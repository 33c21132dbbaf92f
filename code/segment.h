// The element and segment records every part of the system computes with, and their
// 88-byte image that goes to the card unchanged inside a segment window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex {

// Element kinds of a parsed statement.
enum ElementKind : int32_t {
    kElementNoMotion = -1,  // G92, G91, M02
    kElementEmpty = 0,
    kElementLine = 1,
    kElementArcCw = 2,
    kElementArcCcw = 3,
    kElementPause = 4,
    kElementSwitch = 5,     // G00 rapid move or T17 group switch
};

// One motion element in integer microns. Arcs keep their start and end relative to the
// centre; lines and rapid moves keep their end relative to their start.
struct PathElement {
    int32_t kind = kElementEmpty;
    int32_t startX = 0;
    int32_t startY = 0;
    int32_t endX = 0;
    int32_t endY = 0;
    int32_t radius = 0;
    int64_t radiusSquared = 0;
    uint8_t groupE = 0;
    uint8_t groupF = 0;
    uint8_t groupL = 0;
    uint8_t groupQ = 0;
    int32_t steps = 0;

    bool isArc() const { return kind == kElementArcCw || kind == kElementArcCcw; }
    // Displacement from the element's start point to its end point.
    int32_t dx() const { return isArc() ? endX - startX : endX; }
    int32_t dy() const { return isArc() ? endY - startY : endY; }
    friend bool operator==(const PathElement&, const PathElement&) = default;
};

// One program line: the only element of a one-contour line is `lower`; a two-contour (taper)
// line carries the upper contour's element in `upper`.
struct CodeSegment {
    uint8_t twoContour = 0;
    PathElement upper;
    PathElement lower;
    friend bool operator==(const CodeSegment&, const CodeSegment&) = default;
};

inline constexpr std::size_t kPathElementBytes = 40;
inline constexpr std::size_t kCodeSegmentBytes = 88;

using PathElementImage = std::array<uint8_t, kPathElementBytes>;
using CodeSegmentImage = std::array<uint8_t, kCodeSegmentBytes>;
static_assert(sizeof(PathElementImage) == 40);
static_assert(sizeof(CodeSegmentImage) == 88);

// Little-endian byte images. The segment index occupies bytes 0..3 of a segment image: 0 in
// memory, the segment's index when it is sent to the card.
void encodePathElement(const PathElement& e, std::span<uint8_t, kPathElementBytes> out);
PathElement decodePathElement(std::span<const uint8_t, kPathElementBytes> in);
CodeSegmentImage encodeCodeSegment(const CodeSegment& s, int32_t segmentIndex = 0);
CodeSegment decodeCodeSegment(std::span<const uint8_t, kCodeSegmentBytes> in,
                              int32_t* segmentIndex = nullptr);

// Real to integer with the system's 0.51 threshold (not ordinary rounding): 2.51 gives 2,
// 2.52 gives 3, -2.6 gives -3. Values beyond the 32-bit range are clamped.
int32_t roundMicron(double value);

}  // namespace korvex
