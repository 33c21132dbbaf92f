// Loads arbitrary bytes as a code file: read, kind, normalise, 3B translation, jumps, lead-out
// closing, every line parsed with its steps counted, switch table and extents. Whatever the
// input, the load must end, stay inside its buffers and leave a consistent program.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "code/loader.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvex;
    if (size == 0) return 0;
    // The first byte picks the options: the rest is the file.
    const uint8_t flags = data[0];
    LoadOptions options;
    options.forceZero = (flags & 1) == 0;
    options.keepSourceLines = (flags & 2) != 0;
    options.threads = 1;
    const char* path = (flags & 4) ? "fuzz.3nb" : "fuzz.3b";
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    // Counting the steps of an arc of hundreds of metres takes seconds, which tells the fuzzer
    // nothing: steps are counted only when every arc is of a size a machine can cut.
    constexpr int32_t kLargestRadiusMicrons = 10000000;
    LoadedProgram program;
    LoadFailure failure;
    options.countSteps = false;
    if (loadProgramText(text, path, options, program, failure) == 0) {
        options.countSteps = true;
        for (const CodeSegment& s : program.segments) {
            if (s.lower.radius > kLargestRadiusMicrons || s.upper.radius > kLargestRadiusMicrons) {
                options.countSteps = false;
            }
        }
        if (!options.countSteps) return 0;
    }
    if (loadProgramText(text, path, options, program, failure) != 0) {
        check(failure.status != LoadStatus::kOk && failure.status != LoadStatus::kCancelled);
        check(!failure.message.empty());
        return 0;
    }
    check(program.segments.size() == static_cast<size_t>(program.lines.count));
    check(program.jumps.size() <= static_cast<size_t>(kJumpTableCapacity));
    check(program.switches.size() <= static_cast<size_t>(kSwitchTableCapacity));
    int64_t total = 0;
    for (const CodeSegment& s : program.segments) {
        check(s.lower.steps >= 0 && s.upper.steps >= 0);
        total += s.lower.steps;
    }
    check(total == program.totalSteps);
    check(program.extents.minX <= program.extents.maxX && program.extents.minY <= program.extents.maxY);
    for (int i = 0; i < program.lines.count; ++i) {
        check(std::strlen(program.lines.line(i)) <= static_cast<size_t>(kMaxLineChars));
    }
    return 0;
}
