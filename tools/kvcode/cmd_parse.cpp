// kvcode parse / steps / info: run the loader's steps on a file without a card and show what
// the controller would hold.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "code/loader.h"
#include "code/step.h"
#include "tools/kvcode/commands.h"
#include "tools/kvcode/output.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Step codes asked of the interpolator per call by `steps`.
constexpr int kStepBatch = 4096;

int usage(const char* text) {
    std::fprintf(stderr, "usage: %s\n", text);
    return kExitUsage;
}

// Loads FILE; on failure prints the loader's message and returns false.
bool load(const char* path, bool forceZero, LoadedProgram& program) {
    LoadOptions options;
    options.forceZero = forceZero;
    LoadFailure failure;
    if (loadProgram(path, options, program, failure) == 0) return true;
    std::fputs(failure.message.c_str(), stderr);
    if (failure.message.empty() || failure.message.back() != '\n') std::fputc('\n', stderr);
    return false;
}

void writeElement(Output& out, const PathElement& e) {
    out.raw("{\"kind\": ").integer(e.kind);
    out.raw(", \"startX\": ").integer(e.startX);
    out.raw(", \"startY\": ").integer(e.startY);
    out.raw(", \"endX\": ").integer(e.endX);
    out.raw(", \"endY\": ").integer(e.endY);
    out.raw(", \"radius\": ").integer(e.radius);
    out.raw(", \"radiusSquared\": ").integer(e.radiusSquared);
    out.raw(", \"groupE\": ").integer(e.groupE);
    out.raw(", \"groupF\": ").integer(e.groupF);
    out.raw(", \"groupL\": ").integer(e.groupL);
    out.raw(", \"groupQ\": ").integer(e.groupQ);
    out.raw(", \"steps\": ").integer(e.steps);
    out.raw("}");
}

void writeProgram(Output& out, const LoadedProgram& p) {
    out.raw("{\"kind\": ").integer(p.kind).raw(",\n \"lines\": [");
    for (int i = 0; i < p.lines.count; ++i) {
        if (i > 0) out.raw(",\n  ");
        out.jsonString(p.lines.line(i));
    }
    out.raw("],\n \"segments\": [");
    for (std::size_t i = 0; i < p.segments.size(); ++i) {
        const CodeSegment& s = p.segments[i];
        if (i > 0) out.raw(",\n  ");
        out.raw("{\"twoContour\": ").integer(s.twoContour).raw(", \"upper\": ");
        writeElement(out, s.upper);
        out.raw(", \"lower\": ");
        writeElement(out, s.lower);
        out.raw("}");
    }
    out.raw("],\n \"jumps\": [");
    for (std::size_t i = 0; i < p.jumps.size(); ++i) {
        if (i > 0) out.raw(", ");
        out.raw("{\"line\": ").integer(p.jumps[i].line);
        out.raw(", \"x\": ").real(p.jumps[i].x).raw(", \"y\": ").real(p.jumps[i].y).raw("}");
    }
    out.raw("],\n \"switches\": [");
    for (std::size_t i = 0; i < p.switches.size(); ++i) {
        const SwitchEntry& w = p.switches[i];
        if (i > 0) out.raw(", ");
        out.raw("{\"segment\": ").integer(w.segment).raw(", \"e\": ").integer(w.e);
        out.raw(", \"f\": ").integer(w.f).raw(", \"l\": ").integer(w.l);
        out.raw(", \"q\": ").integer(w.q).raw("}");
    }
    out.raw("],\n \"extents\": {\"minX\": ").integer(p.extents.minX);
    out.raw(", \"minY\": ").integer(p.extents.minY);
    out.raw(", \"maxX\": ").integer(p.extents.maxX);
    out.raw(", \"maxY\": ").integer(p.extents.maxY);
    out.raw("},\n \"totalSteps\": ").integer(p.totalSteps).raw("}\n");
}

// Reads a non-negative decimal index; false when the text is not one.
bool parseIndex(const char* s, long& index) {
    if (!*s) return false;
    char* end = nullptr;
    index = std::strtol(s, &end, 10);
    return *end == '\0' && index >= 0;
}

}  // namespace

int runParse(int argc, char** argv) {
    static const char* const kUsage = "kvcode parse [--no-force-zero] FILE";
    bool forceZero = true;
    const char* path = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-force-zero") == 0) forceZero = false;
        else if (!path && argv[i][0] != '-') path = argv[i];
        else return usage(kUsage);
    }
    if (!path) return usage(kUsage);
    LoadedProgram program;
    if (!load(path, forceZero, program)) return kExitFailed;
    Output out(stdout);
    writeProgram(out, program);
    return out.flush() ? 0 : kExitFailed;
}

int runSteps(int argc, char** argv) {
    static const char* const kUsage = "kvcode steps FILE INDEX [--upper] [--backward]";
    bool upper = false, backward = false;
    std::vector<const char*> positional;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--upper") == 0) upper = true;
        else if (std::strcmp(argv[i], "--backward") == 0) backward = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0') return usage(kUsage);
        else positional.push_back(argv[i]);
    }
    long index = 0;
    if (positional.size() != 2 || !parseIndex(positional[1], index)) return usage(kUsage);
    LoadedProgram program;
    if (!load(positional[0], true, program)) return kExitFailed;
    if (index >= static_cast<long>(program.segments.size())) {
        std::fprintf(stderr, "kvcode: segment %ld does not exist (the program has %zu)\n", index,
                     program.segments.size());
        return kExitFailed;
    }
    const CodeSegment& s = program.segments[static_cast<std::size_t>(index)];
    const PathElement& e = upper ? s.upper : s.lower;
    StepState cursor = backward ? endCursor(e) : freshCursor(e);
    Output out(stdout);
    std::vector<uint8_t> codes(kStepBatch);
    bool first = true;
    for (;;) {
        const int n = stepElement(e, cursor, kStepBatch, codes.data(), backward);
        for (int i = 0; i < n; ++i) {
            if (!first) out.raw(" ");
            out.integer(codes[static_cast<std::size_t>(i)]);
            first = false;
        }
        if (n < kStepBatch) break;
    }
    out.raw("\n").integer(cursor.x).raw(" ").integer(cursor.y).raw(" ").integer(cursor.steps).raw("\n");
    return out.flush() ? 0 : kExitFailed;
}

int runInfo(int argc, char** argv) {
    static const char* const kUsage = "kvcode info FILE";
    if (argc != 1 || argv[0][0] == '-') return usage(kUsage);
    LoadedProgram program;
    const auto start = std::chrono::steady_clock::now();
    if (!load(argv[0], true, program)) return kExitFailed;
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const long long loadMs = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    std::printf("kind=%d\nlines=%d\nsegments=%zu\njumps=%zu\nswitches=%zu\ntotalSteps=%lld\n",
                program.kind, program.lines.count, program.segments.size(), program.jumps.size(),
                program.switches.size(), static_cast<long long>(program.totalSteps));
    std::printf("lengthMm=%.3f\nminX=%d\nminY=%d\nmaxX=%d\nmaxY=%d\nloadMs=%lld\n",
                pathLengthMm(program.segments.data(), static_cast<int>(program.segments.size())),
                program.extents.minX, program.extents.minY, program.extents.maxX,
                program.extents.maxY, loadMs);
    return std::fflush(stdout) == 0 ? 0 : kExitFailed;
}

}  // namespace korvex::kvcode
