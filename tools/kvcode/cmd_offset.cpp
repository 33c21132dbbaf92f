// kvcode offset FILE OFFSET_MM [--round]: the Offset command without the controller. Loads FILE
// as `kvcode parse` does, compensates the whole program as one contour (sharp corners unless
// --round) and prints the lines that would be written to "@_@_gap.iso".
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "code/loader.h"
#include "geometry/offset.h"
#include "tools/kvcode/commands.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int usage() {
    std::fputs("usage: kvcode offset FILE OFFSET_MM [--round]\n", stderr);
    return kExitUsage;
}

void printMessage(const std::string& message) {
    std::fputs(message.c_str(), stderr);
    if (message.empty() || message.back() != '\n') std::fputc('\n', stderr);
}

}  // namespace

int runOffset(int argc, char** argv) {
    const char* path = nullptr;
    const char* offsetText = nullptr;
    CornerType corner = CornerType::Sharp;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--round") == 0) {
            corner = CornerType::Round;
        } else if (path == nullptr) {
            path = argv[i];
        } else if (offsetText == nullptr) {
            offsetText = argv[i];
        } else {
            return usage();
        }
    }
    if (path == nullptr || offsetText == nullptr) return usage();
    char* end = nullptr;
    const double offsetMm = std::strtod(offsetText, &end);
    if (end == offsetText || *end != '\0' || !std::isfinite(offsetMm)) {
        std::fprintf(stderr, "kvcode: '%s' is not an offset in millimetres\n", offsetText);
        return kExitUsage;
    }

    // The full load, step counting included: a program the loader refuses (an arc whose end lies
    // off its circle fails only when it is stepped) is refused here too, never offset.
    const LoadOptions options;
    LoadedProgram program;
    LoadFailure failure;
    if (loadProgram(path, options, program, failure) != 0) {
        printMessage(failure.message);
        return kExitFailed;
    }
    std::vector<std::string> out;
    std::string error;
    if (offsetProgram(program.lines, program.kind, static_cast<int>(program.jumps.size()), offsetMm,
                      corner, out, error) != 0) {
        printMessage(error);
        return kExitFailed;
    }
    for (const std::string& line : out) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace korvex::kvcode
