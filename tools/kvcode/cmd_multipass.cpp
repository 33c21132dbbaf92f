// kvcode multipass: the Multiple and Segment Multiple commands without the controller. Loads FILE
// as `kvcode parse` does and prints the file the command would write beside it.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "code/loader.h"
#include "geometry/multipass.h"
#include "tools/kvcode/commands.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int usage() {
    std::fputs(
        "usage: kvcode multipass FILE [--punch] [--count N] [--len MM] [--last-len MM] [--once] [--first-gap]\n"
        "              [--groups G1,G2,...] [--offsets O1,O2,...] [--in G] [--out G] [--first G] [--last G]\n"
        "       kvcode multipass --segment LINE FILE [--count N] [--len MM] [--groups ...] [--offsets ...]\n"
        "              [--in G] [--out G]\n",
        stderr);
    return kExitUsage;
}

int fail(const std::string& message) {
    std::fputs(message.c_str(), stderr);
    if (message.empty() || message.back() != '\n') std::fputc('\n', stderr);
    return kExitFailed;
}

bool readInt(const char* s, int& out) {
    if (!s || !*s) return false;
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (*end != '\0' || v < -1000000 || v > 1000000) return false;
    out = static_cast<int>(v);
    return true;
}

bool readReal(const char* s, double& out) {
    if (!s || !*s) return false;
    char* end = nullptr;
    out = std::strtod(s, &end);
    return *end == '\0';
}

// A comma-separated list setting passes 1 onward; at most eight entries.
template <typename T, typename Read>
bool readList(const char* s, std::array<T, kMultipassMaxCount>& out, Read read) {
    if (!s) return false;
    const std::string text = s;
    size_t at = 0;
    for (int i = 0;; ++i) {
        if (i >= kMultipassMaxCount) return false;
        const size_t comma = text.find(',', at);
        const std::string item = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        if (!read(item.c_str(), out[static_cast<size_t>(i)])) return false;
        if (comma == std::string::npos) return true;
        at = comma + 1;
    }
}

struct Arguments {
    const char* path = nullptr;
    bool segment = false;
    int line = -1;
    bool multipleOnly = false;  // an option Segment Multiple does not take was given
    MultipassSettings multiple;
    SegmentMultipleSettings single;
};

bool parseArguments(int argc, char** argv, Arguments& a) {
    double len = 0;
    int count = 3;
    std::array<int, kMultipassMaxCount> dao = a.multiple.dao;
    std::array<double, kMultipassMaxCount> offset = a.multiple.offset;
    int in = 0, out = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const auto takeInt = [&](int& target) { return readInt(value, target) && ++i; };
        const auto takeReal = [&](double& target) { return readReal(value, target) && ++i; };
        bool ok = true;
        if (arg == "--punch") {
            a.multiple.mode = 1;
            a.multipleOnly = true;
        } else if (arg == "--once") {
            a.multiple.once = true;
            a.multipleOnly = true;
        } else if (arg == "--first-gap") {
            a.multiple.firstGap = true;
            a.multipleOnly = true;
        } else if (arg == "--segment") {
            ok = !a.segment && readInt(value, a.line) && a.line >= 0 && ++i;
            a.segment = true;
        } else if (arg == "--count") {
            ok = takeInt(count);
        } else if (arg == "--len") {
            ok = takeReal(len);
        } else if (arg == "--last-len") {
            ok = takeReal(a.multiple.lastLen);
            a.multipleOnly = true;
        } else if (arg == "--groups") {
            ok = readList(value, dao, readInt) && ++i;
        } else if (arg == "--offsets") {
            ok = readList(value, offset, readReal) && ++i;
        } else if (arg == "--in") {
            ok = takeInt(in);
        } else if (arg == "--out") {
            ok = takeInt(out);
        } else if (arg == "--first") {
            ok = takeInt(a.multiple.firstDao);
            a.multipleOnly = true;
        } else if (arg == "--last") {
            ok = takeInt(a.multiple.lastDao);
            a.multipleOnly = true;
        } else if (!arg.empty() && arg[0] != '-' && !a.path) {
            a.path = argv[i];
        } else {
            ok = false;
        }
        if (!ok) return false;
    }
    if (!a.path || (a.segment && a.multipleOnly)) return false;
    a.multiple.count = a.single.count = count;
    a.multiple.len = a.single.len = len;
    a.multiple.dao = a.single.dao = dao;
    a.multiple.offset = a.single.offset = offset;
    a.multiple.inDao = a.single.inDao = in;
    a.multiple.outDao = a.single.outDao = out;
    return true;
}

}  // namespace

int runMultipass(int argc, char** argv) {
    Arguments a;
    if (!parseArguments(argc, argv, a)) return usage();
    const std::string problem =
        a.segment ? segmentMultipleSettingsProblem(a.single) : multipassSettingsProblem(a.multiple);
    if (!problem.empty()) {
        std::fprintf(stderr, "kvcode: %s is out of range\n", problem.c_str());
        return kExitUsage;
    }

    const LoadOptions options;
    LoadedProgram program;
    LoadFailure failure;
    if (loadProgram(a.path, options, program, failure) != 0) {
        std::string message = kMultipassSourceFailedText;
        message.replace(message.find("%s"), 2, a.path);
        return fail(message);
    }
    program.path = a.path;

    std::string text, error;
    int rc;
    if (a.segment) {
        rc = a.line < program.lines.count
                 ? segmentMultipleFileText(program.lines.line(a.line), a.single, text, error)
                 : (error = kMultipassFailedText, -1);
    } else {
        rc = multipassFileText(program, a.multiple, text, error);
    }
    if (rc != 0) return fail(error);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return kExitFailed;
    return 0;
}

}  // namespace korvex::kvcode
