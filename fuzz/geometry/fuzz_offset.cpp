// Runs the Offset command's compensation over arbitrary text taken as a program's lines. Whatever
// the lines, the compensation must end, stay inside its buffers and write no line longer than a
// line slot holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "code/lines.h"
#include "geometry/offset.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvex;
    if (size < 2) return 0;
    // The first byte picks the offset (-5.00 .. 5.00 mm in steps that include 0) and the
    // corner type; the rest are the lines.
    const uint8_t flags = data[0];
    const double offsetMm = (static_cast<int>(flags & 0x7f) - 64) * 5.0 / 63.0;
    const CornerType corner = (flags & 0x80) ? CornerType::Round : CornerType::Sharp;

    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 1; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (line.size() < static_cast<size_t>(kMaxLineChars)) {
            // A line slot keeps at most 299 characters; the reader cuts the rest.
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);

    std::vector<std::string> out;
    std::string error;
    const int result = offsetProgram(lines, 1, 0, offsetMm, corner, out, error);
    if (result != 0) {
        check(!error.empty());
        return 0;
    }
    check(out.size() >= 2);
    for (const std::string& l : out) check(l.size() <= static_cast<size_t>(kMaxLineChars));
    return 0;
}
