// What the graph view works out once per loaded program, and the cut's progress in it.
//
// GraphProgram holds the program by the document's shared pointer and, built once per program:
//   starts       absolute start points of both contours (the displacement table the guide
//                positions use too), so any segment is drawn without walking the ones before;
//   stepsBefore  a prefix sum of the lower contour's steps (64-bit): done and total of a range
//                in two lookups;
//   marks        per segment: its pulse group (the switch table's lookup, or none), whether it is
//                a jump segment and whether it carries a group switch;
//   chunks       the bounding box of each run of kChunkSegments segments, so a view zoomed in,
//                or a region being restored, visits only the runs it can see.
//
// GraphProgress is what the last card block says: the current segment and its cursors, clamped
// to the program, and the positions derived from them. A block naming a segment outside the
// program changes nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "code/loader.h"
#include "code/step.h"
#include "controller/link/records.h"
#include "controller/views/graph_mapping.h"
#include "geometry/guides.h"

namespace korvex {

inline constexpr int kGroupNone = 0xF;  // a group outside 0..7: drawn in black

class GraphProgram {
public:
    static constexpr int kChunkSegments = 1024;
    static constexpr uint8_t kGroupMask = 0x0F;
    static constexpr uint8_t kJumpBit = 0x10;
    static constexpr uint8_t kSwitchBit = 0x20;

    // Builds the tables; `defaultGroup` is the group of every segment of a program without a
    // switch table (Multiple/DefaultIndex).
    GraphProgram(std::shared_ptr<const LoadedProgram> program, int defaultGroup);

    const LoadedProgram& program() const { return *program_; }
    const std::shared_ptr<const LoadedProgram>& shared() const { return program_; }
    int32_t count() const { return static_cast<int32_t>(program_->segments.size()); }
    const CodeSegment& segment(int32_t i) const { return program_->segments[static_cast<std::size_t>(i)]; }
    bool twoContour() const { return program_->kind == 3 || program_->kind == 5; }

    // Absolute start of segment i (0..count) on the lower and upper contour, microns.
    int64_t lowerX(int32_t i) const { return starts_.before(static_cast<std::size_t>(i)).lx; }
    int64_t lowerY(int32_t i) const { return starts_.before(static_cast<std::size_t>(i)).ly; }
    int64_t upperX(int32_t i) const { return starts_.before(static_cast<std::size_t>(i)).ux; }
    int64_t upperY(int32_t i) const { return starts_.before(static_cast<std::size_t>(i)).uy; }
    const DisplacementTable& starts() const { return starts_; }
    // Steps of the lower contour before segment i (0..count).
    int64_t stepsBefore(int32_t i) const { return stepsBefore_[static_cast<std::size_t>(i)]; }

    int group(int32_t i) const { return marks_[static_cast<std::size_t>(i)] & kGroupMask; }
    bool isJump(int32_t i) const { return marks_[static_cast<std::size_t>(i)] & kJumpBit; }
    bool isSwitch(int32_t i) const { return marks_[static_cast<std::size_t>(i)] & kSwitchBit; }

    int32_t chunkCount() const { return static_cast<int32_t>(chunks_.size()); }
    const ProgramBox& chunkBox(int32_t c) const { return chunks_[static_cast<std::size_t>(c)]; }

    GuideGeometry guideGeometry() const;
    // Bytes held beside the program itself (the view's memory figure).
    std::size_t memoryBytes() const;

private:
    std::shared_ptr<const LoadedProgram> program_;
    DisplacementTable starts_;
    std::vector<int64_t> stepsBefore_;
    std::vector<uint8_t> marks_;
    std::vector<ProgramBox> chunks_;
};

// The first segment the view cannot draw (an unknown kind, an arc without a radius or whose start
// lies on its centre), or -1 when every one can be drawn.
int32_t firstUndrawableSegment(const LoadedProgram& program);

// The running range as the view draws it: first <= last, and the running direction.
struct GraphRange {
    int32_t first = -1;  // -1: no range, nothing counts as machined
    int32_t last = -1;
    bool reverse = false;
    bool valid(int32_t count) const { return first >= 0 && first <= last && last < count; }
    friend bool operator==(const GraphRange&, const GraphRange&) = default;
};

struct GraphProgress {
    int32_t current = -1;  // -1: no block yet
    StepState lower;       // cursors of the current segment, clamped to their elements
    StepState upper;
    int32_t speed = 0;
    GuidePositions guides;                // X, Y, U, V for the texts and the readout
    int64_t lowerPointX = 0, lowerPointY = 0;  // contour points of the cursors, microns
    int64_t upperPointX = 0, upperPointY = 0;
    int64_t doneSteps = 0;   // steps of the range done in the running direction
    int64_t totalSteps = 0;  // steps of the whole range
    friend bool operator==(const GraphProgress&, const GraphProgress&) = default;
};

// The progress a card's work block reports, or nothing when it names a segment outside the
// program. Steps are clamped to the element; the cursor's position is taken as it comes.
std::optional<GraphProgress> progressFromWork(const GraphProgram& program, const GraphRange& range,
                                              const WorkParams& work, int32_t speed);

// Segments machined before the current one in the running direction: forward [first, current),
// reversed (current, last]. Returns how many, 0 when the current one is outside the range.
int32_t machinedCount(const GraphRange& range, int32_t current);
// The k-th machined segment in the order machined.
inline int32_t machinedSegment(const GraphRange& range, int32_t k) {
    return range.reverse ? range.last - k : range.first + k;
}

// The machined part of the current segment as an element of its own: from the start to the
// cursor (forward) or from the cursor to the end (reversed). Start point in `startX/Y`.
PathElement machinedPart(const PathElement& e, const StepState& cursor, bool reverse, int64_t segStartX,
                         int64_t segStartY, int64_t& partStartX, int64_t& partStartY);

}  // namespace korvex
