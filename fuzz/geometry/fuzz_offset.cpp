// Runs the Offset command's compensation over arbitrary text taken as a program's lines, and the
// multi-pass generator over the same lines with settings drawn from a hash of the input. Whatever
// the lines, both must end, stay inside their buffers and write no line longer than a line slot
// holds; a generated contour must close.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "code/iso.h"
#include "code/lines.h"
#include "geometry/multipass.h"
#include "geometry/offset.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// FNV-1a of the input: the multi-pass settings follow from the bytes without taking any of them
// away from the lines, so the offset seeds keep their meaning.
uint64_t inputHash(const uint8_t* data, size_t size) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
    return h;
}

korvex::MultipassSettings settingsFrom(uint64_t h) {
    korvex::MultipassSettings s;
    const auto take = [&h](int n) {
        const int v = static_cast<int>(h % static_cast<uint64_t>(n));
        h = h / static_cast<uint64_t>(n) + 0x9e3779b97f4a7c15ull * (h % 7);
        return v;
    };
    s.mode = take(2);
    s.count = 2 + take(7);
    s.len = take(4) == 0 ? 0 : take(2000) / 100.0;
    s.lastLen = (take(101) - 50) / 100.0;
    s.once = take(2) == 1;
    s.firstGap = take(2) == 1;
    for (size_t i = 0; i < s.dao.size(); ++i) {
        s.dao[i] = take(8);
        s.offset[i] = (take(1001) - 500) / 100.0;
    }
    s.inDao = take(8);
    s.outDao = take(8);
    s.firstDao = take(8);
    s.lastDao = take(8);
    return s;
}

void runMultipass(const std::vector<std::string>& lines, uint64_t h) {
    using namespace korvex;
    if (lines.size() < 4) return;
    std::vector<std::string> statements;
    const int rc = generateContourPasses(lines, 1, static_cast<int>(lines.size()) - 2, settingsFrom(h), nullptr,
                                         nullptr, statements);
    if (rc != 0) {
        check(rc == -1 || rc == kMultipassStepTooLong);
        return;
    }
    int64_t x = 0, y = 0;
    for (const std::string& l : statements) {
        check(l.size() < static_cast<size_t>(kMaxLineChars));
        IsoStatement st;
        check(parseIsoStatement(l.c_str(), st) == 0);
        x += st.x;
        y += st.y;
    }
    check(x == 0 && y == 0);
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

    runMultipass(lines, inputHash(data, size));

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
