// kvcode guides FILE INDEX [--end | --steps L,U]: the guide positions X, Y, U, V and the roller
// fraction for a cursor in segment INDEX: at its start, at its end with all steps done (--end),
// or after L lower and U upper steps (--steps).
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "code/kind.h"
#include "code/loader.h"
#include "code/step.h"
#include "geometry/guides.h"
#include "tools/kvcode/commands.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int usage() {
    std::fputs("usage: kvcode guides FILE INDEX [--end | --steps L,U]\n", stderr);
    return kExitUsage;
}

bool readCount(const char* text, char stop, long& out, const char** rest) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != stop || errno != 0 || v < 0 || v > INT32_MAX) return false;
    out = v;
    if (rest) *rest = end + 1;
    return true;
}

// Steps a fresh cursor of `e` forward by n steps (at most to its end).
StepState stepped(const PathElement& e, long n) {
    StepState c = freshCursor(e);
    while (n > 0) {
        const int batch = static_cast<int>(std::min<long>(n, 1 << 20));
        const int done = stepElement(e, c, batch, nullptr, false);
        n -= batch;
        if (done < batch) break;
    }
    return c;
}

}  // namespace

int runGuides(int argc, char** argv) {
    if (argc < 2) return usage();
    const char* path = argv[0];
    long index = 0;
    if (!readCount(argv[1], '\0', index, nullptr)) return usage();
    bool atEnd = false, withSteps = false;
    long lowerSteps = 0, upperSteps = 0;
    if (argc == 3 && std::strcmp(argv[2], "--end") == 0) {
        atEnd = true;
    } else if (argc == 4 && std::strcmp(argv[2], "--steps") == 0) {
        const char* rest = nullptr;
        if (!readCount(argv[3], ',', lowerSteps, &rest) || !readCount(rest, '\0', upperSteps, nullptr))
            return usage();
        withSteps = true;
    } else if (argc != 2) {
        return usage();
    }

    LoadedProgram program;
    LoadFailure failure;
    LoadOptions options;
    options.requireTaperValues = true;
    if (loadProgram(path, options, program, failure) != 0) {
        std::fprintf(stderr, "%s\n", failure.message.c_str());
        return kExitFailed;
    }
    GuideGeometry g;
    g.twoContour = isTwoContourKind(program.kind);
    g.heightX10 = program.taper.heightX10;
    g.widthX10 = program.taper.widthX10;
    g.baseX10 = program.taper.baseX10;
    g.radiusX10 = program.taper.radiusX10;
    if (index >= static_cast<long>(program.segments.size())) return usage();
    const std::size_t i = static_cast<std::size_t>(index);
    const CodeSegment& segment = program.segments[i];
    StepState lower, upper;
    segmentStartCursors(segment, atEnd, lower, upper);
    if (withSteps) {
        lower = stepped(segment.lower, lowerSteps);
        upper = stepped(segment.upper, upperSteps);
    }
    const DisplacementTable table(program.segments.data(), program.segments.size());
    GuidePositions p;
    if (guidePositions(table, program.segments.data(), i, lower, upper, g, p) != kGuidesOk) {
        std::fprintf(stderr, "%s\n", kGuidesOutOfRangeText);
        return kExitFailed;
    }
    std::printf("%" PRId32 " %" PRId32 " %" PRId32 " %" PRId32 " %" PRId32 "\n", p.x, p.y, p.u, p.v,
                p.rollerFraction);
    return 0;
}

}  // namespace korvex::kvcode
