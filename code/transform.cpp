#include "code/transform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "code/iso.h"
#include "code/kind.h"
#include "code/lines.h"
#include "code/numbers.h"
#include "code/parse.h"
#include "code/writer.h"

namespace korvex {
namespace {

// A program's taper header line starts with this; the loader reads its five values.
constexpr const char* kTaperHeaderPrefix = "Korvex -Version 2.0 -Type ZD";
// The header block of a taper file: banner, header line, banner.
constexpr int kTaperHeaderLines = 3;
constexpr const char* kTransformMark = "@_@";
constexpr const char* kTaperExtension = ".3nb";

struct Point {
    int64_t x, y;
};

Point mapPoint(Transform t, int64_t x, int64_t y) {
    switch (t) {
    case Transform::kVerticalMirror: return {x, -y};
    case Transform::kHorizontalMirror: return {-x, y};
    case Transform::kReverseFlip: return {-y, x};
    case Transform::kForwardFlip: return {y, -x};
    case Transform::kReverse: break;
    }
    return {x, y};
}

bool isMirror(Transform t) {
    return t == Transform::kVerticalMirror || t == Transform::kHorizontalMirror;
}

const char* otherArc(IsoCode code) { return code == IsoCode::kG02 ? "G03" : "G02"; }

// Rewrites one statement for a rotation or mirror. `text` is the whole line.
int rotateStatement(const char* text, int number, Transform t, std::string& out) {
    IsoStatement s;
    if (parseIsoStatement(text, s) != 0) return kTransformLineFailed;
    switch (s.code) {
    case IsoCode::kG00:
    case IsoCode::kG01: {
        const Point p = mapPoint(t, s.x, s.y);
        out = isoMoveLine(number, isoCodeName(s.code), clampToInt32(p.x), clampToInt32(p.y));
        break;
    }
    case IsoCode::kG02:
    case IsoCode::kG03: {
        const Point p = mapPoint(t, s.x, s.y);
        const Point c = mapPoint(t, s.i, s.j);
        const char* code = isMirror(t) ? otherArc(s.code) : isoCodeName(s.code);
        out = isoArcLine(number, code, clampToInt32(p.x), clampToInt32(p.y), clampToInt32(c.x),
                         clampToInt32(c.y));
        break;
    }
    case IsoCode::kG91:
    case IsoCode::kG92:
    case IsoCode::kM00:
    case IsoCode::kM02:
        out = isoBareLine(number, isoCodeName(s.code));
        break;
    default:
        out = text;  // a group switch is carried over unchanged
        break;
    }
    return 0;
}

// Reverses one statement: the move runs from its old end back to its old start.
int reverseStatement(const char* text, int number, std::string& out) {
    IsoStatement s;
    if (parseIsoStatement(text, s) != 0) return kTransformLineFailed;
    const int64_t x = s.x, y = s.y;
    switch (s.code) {
    case IsoCode::kG00:
    case IsoCode::kG01:
        out = isoMoveLine(number, isoCodeName(s.code), clampToInt32(-x), clampToInt32(-y));
        break;
    case IsoCode::kG02:
    case IsoCode::kG03:
        // The centre seen from the old end point.
        out = isoArcLine(number, otherArc(s.code), clampToInt32(-x), clampToInt32(-y),
                         clampToInt32(s.i - x), clampToInt32(s.j - y));
        break;
    case IsoCode::kG91:
    case IsoCode::kG92:
    case IsoCode::kM00:
    case IsoCode::kM02:
        out = isoBareLine(number, isoCodeName(s.code));
        break;
    default:
        out.clear();  // group switches are dropped
        break;
    }
    return 0;
}

// Reverses one line of a two-contour program: both programs with the same number, joined.
int reverseTwoContourLine(const char* text, int number, std::string& out) {
    int firstLength = 0;
    const char* second = nullptr;
    if (splitTwoContourLine(text, firstLength, second) != 0) return kTransformLineFailed;
    const std::string first(text, static_cast<std::size_t>(firstLength));
    std::string lower;
    if (reverseStatement(first.c_str(), number, out) != 0) return kTransformLineFailed;
    if (reverseStatement(second, number, lower) != 0) return kTransformLineFailed;
    out += lower;
    return 0;
}

std::string cutAtLineEnd(const char* text) {
    const char* nl = std::strchr(text, '\n');
    return nl ? std::string(text, static_cast<std::size_t>(nl - text)) : std::string(text);
}

int reverseToLines(const ProgramLines& lines, int kind, std::vector<std::string>& out) {
    const int count = lines.count;
    out.assign(static_cast<std::size_t>(std::max(count, 0)), std::string());
    if (count <= 0) return 0;
    const bool twoContour = isTwoContourKind(kind);
    out[0] = cutAtLineEnd(lines.line(0));
    for (int p = 1; p < count - 1; ++p) {
        const char* source = lines.line(count - 1 - p);
        const int rc = twoContour ? reverseTwoContourLine(source, p, out[p])
                                  : reverseStatement(source, p, out[p]);
        if (rc != 0) return rc;
    }
    if (count >= 2) out[count - 1] = cutAtLineEnd(lines.line(count - 1));
    return 0;
}

int rotateToLines(const ProgramLines& lines, Transform t, std::vector<std::string>& out) {
    out.assign(static_cast<std::size_t>(std::max(lines.count, 0)), std::string());
    for (int i = 0; i < lines.count; ++i) {
        if (rotateStatement(lines.line(i), i, t, out[i]) != 0) return kTransformLineFailed;
    }
    return 0;
}

const char* suffixOf(Transform t, int kind, bool sourceHasTaperHeader) {
    switch (t) {
    case Transform::kVerticalMirror: return "@_@_tx.iso";
    case Transform::kHorizontalMirror: return "@_@_ty.iso";
    case Transform::kReverseFlip: return "@_@_tn.iso";
    case Transform::kForwardFlip: return "@_@_tm.iso";
    case Transform::kReverse: break;
    }
    // A ".3nb" name makes the loader read a taper header; without one to carry, the reversed
    // program would not load, so it is written as plain ISO text.
    return kind == kKindTwoContour && sourceHasTaperHeader ? "@_@_Rvs.3nb" : "@_@_Rvs.iso";
}

}  // namespace

int transformToLines(const ProgramLines& lines, int kind, Transform t,
                     std::vector<std::string>& out) {
    if (t == Transform::kReverse) return reverseToLines(lines, kind, out);
    if (static_cast<int>(t) < 1 || static_cast<int>(t) > 4) return kTransformLineFailed;
    if (isTwoContourKind(kind)) return kTransformNotSupported;
    return rotateToLines(lines, t, out);
}

int transformLines(ProgramLines& lines, int kind, Transform t) {
    std::vector<std::string> out;
    const int rc = transformToLines(lines, kind, t, out);
    if (rc != 0) return rc;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (lines.setLine(static_cast<int>(i), out[i]) != 0) return kTransformLineFailed;
    }
    return 0;
}

std::string derivedProgramPath(std::string_view sourcePath, std::string_view suffix) {
    const std::size_t slash = sourcePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t mark = sourcePath.find(kTransformMark, nameStart);
    std::string path(sourcePath.substr(0, mark));
    path += suffix;
    return path;
}

std::string transformOutputPath(std::string_view sourcePath, Transform t, int kind,
                                bool sourceHasTaperHeader) {
    return derivedProgramPath(sourcePath, suffixOf(t, kind, sourceHasTaperHeader));
}

bool pathWantsTaperHeader(std::string_view path) {
    return path.find(kTaperExtension) != std::string_view::npos;
}

std::string readTaperHeaderBlock(const char* path) {
    const int fd = openRegularFile(path);
    std::FILE* f = fd < 0 ? nullptr : ::fdopen(fd, "r");
    if (!f) {
        if (fd >= 0) ::close(fd);
        return {};
    }
    std::string block;
    char buf[kLineSlotBytes];
    bool isHeader = true;
    for (int i = 0; i < kTaperHeaderLines && isHeader; ++i) {
        if (!std::fgets(buf, sizeof buf, f)) {
            isHeader = false;
            break;
        }
        std::string line = cutAtLineEnd(buf);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (i == 1) isHeader = line.rfind(kTaperHeaderPrefix, 0) == 0;
        block += line;
        block += '\n';
    }
    std::fclose(f);
    return isHeader ? block : std::string();
}

int transformProgramFile(const char* sourcePath, const ProgramLines& lines, int kind, Transform t,
                         std::string& outPath) {
    std::vector<std::string> out;
    const int rc = transformToLines(lines, kind, t, out);
    if (rc != 0) return rc;
    std::string header = readTaperHeaderBlock(sourcePath);
    outPath = transformOutputPath(sourcePath, t, kind, !header.empty());
    if (!pathWantsTaperHeader(outPath)) header.clear();
    if (writeProgramFile(outPath.c_str(), out, header) != 0) return kTransformWriteFailed;
    return 0;
}

}  // namespace korvex
