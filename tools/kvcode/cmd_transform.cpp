// kvcode transform MODE FILE: loads FILE as `parse` does, applies a rotation, mirror or
// reversal to its lines and prints the file the controller would write for it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "code/kind.h"
#include "code/loader.h"
#include "code/transform.h"
#include "tools/kvcode/commands.h"
#include "tools/kvcode/output.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr const char* kUsage =
    "kvcode transform vmirror|hmirror|reverse-flip|forward-flip|reverse FILE";

struct ModeName {
    const char* name;
    Transform transform;
};
constexpr ModeName kModes[] = {
    {"vmirror", Transform::kVerticalMirror}, {"hmirror", Transform::kHorizontalMirror},
    {"reverse-flip", Transform::kReverseFlip}, {"forward-flip", Transform::kForwardFlip},
    {"reverse", Transform::kReverse},
};

}  // namespace

int runTransform(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s\n", kUsage);
        return kExitUsage;
    }
    const ModeName* mode = nullptr;
    for (const ModeName& m : kModes) {
        if (std::strcmp(argv[0], m.name) == 0) mode = &m;
    }
    if (!mode) {
        std::fprintf(stderr, "usage: %s\n", kUsage);
        return kExitUsage;
    }
    const char* path = argv[1];

    LoadedProgram program;
    LoadFailure failure;
    if (loadProgram(path, LoadOptions{}, program, failure) != 0) {
        std::fputs(failure.message.c_str(), stderr);
        if (failure.message.empty() || failure.message.back() != '\n') std::fputc('\n', stderr);
        return kExitFailed;
    }
    // A 3B program has been translated into ISO lines by the load.
    const int kind = program.kind == kKind3B ? kKindIso : program.kind;

    std::vector<std::string> lines;
    const int rc = transformToLines(program.lines, kind, mode->transform, lines);
    if (rc == kTransformNotSupported) {
        std::fputs("Not supported!\n", stderr);
        return kExitFailed;
    }
    if (rc != 0) return kExitFailed;

    // What the written file holds: a taper header when its name makes the loader look for one.
    std::string header = readTaperHeaderBlock(path);
    const std::string outPath = transformOutputPath(path, mode->transform, kind, !header.empty());
    if (!pathWantsTaperHeader(outPath)) header.clear();

    Output out(stdout);
    out.raw(header);
    for (const std::string& line : lines) out.raw(line).raw("\n");
    return out.flush() ? 0 : kExitFailed;
}

}  // namespace korvex::kvcode
