#include "editor/document/join.h"

#include <cstdio>
#include <cstring>

#include "code/kind.h"
#include "code/lines.h"
#include "editor/document/file_access.h"
#include "editor/document/text_lines.h"

namespace tavrel {
namespace {

constexpr int kSeparatorLines = 3;

bool isoFamily(int kind) { return kind == korvex::kKindIso || kind == korvex::kKindIsoSwitches; }

// Microns as millimetres with three decimals, the same in every locale.
std::string millimetres(int um) {
    const long long v = um;
    const unsigned long long a = static_cast<unsigned long long>(v < 0 ? -v : v);
    char text[32];
    std::snprintf(text, sizeof text, "%s%llu.%03llu", v < 0 ? "-" : "", a / 1000, a % 1000);
    return text;
}

}  // namespace

bool joinableKind(int kind) { return isoFamily(kind) || kind == korvex::kKind3B; }

std::optional<DocMessage> readJoinSource(const std::string& path, int docKind, int freeSlots, JoinSource& out) {
    out.lines.clear();
    std::string text;
    if (readRegularFile(path, text) != 0) return DocMessage::fatalError(fatal::kCannotOpen);
    const TextLines split = splitTextLines(text);
    if (split.kept.empty()) return DocMessage::fatalError(fatal::kCannotOpen);
    if (split.tooLongLine > 0) return DocMessage::warning(msg::kLineTooLong, {std::to_string(split.tooLongLine)});

    // Classified as the editor would load it (a 3B end of a lone "D" becomes "DD" here too).
    korvex::ProgramLines lines;
    if (lines.allocate(static_cast<int>(split.kept.size())) != 0) return DocMessage::fatalError(fatal::kMallocFailed);
    for (const std::string_view line : split.kept) {
        if (lines.append(line) != 0) return DocMessage::fatalError(fatal::kMallocFailed);
    }
    const int kind = korvex::detectProgramKind(lines);
    const bool sameFamily = isoFamily(docKind) ? isoFamily(kind) : (docKind == korvex::kKind3B && kind == docKind);
    if (!sameFamily) return DocMessage::error(msg::kJoinKind);

    for (int i = 0; i < lines.count; ++i) {
        const char* s = lines.line(i);
        if (std::strpbrk(s, korvex::kCodeLineFilter)) out.lines.emplace_back(s);
    }
    // The separator takes the place of the document's end line and two more slots.
    const long long needed = static_cast<long long>(out.lines.size()) + kSeparatorLines - 1;
    if (needed > freeSlots) {
        out.lines.clear();
        return DocMessage::warning(msg::kJoinTooLong);
    }
    return std::nullopt;
}

std::vector<std::string> joinSeparator(int docKind, int firstIndex, int dx, int dy) {
    char pause[80], move[120], closing[80];
    if (docKind == korvex::kKind3B) {
        // Signs are kept as entered with quadrant L1; the code library reads them so.
        const char* zero = "N  %d: B      0 B      0 B      0 GX   L1 ;";
        std::snprintf(pause, sizeof pause, zero, firstIndex);
        std::snprintf(move, sizeof move, "N  %d: B    %d B    %d B     %d GX   L1 ;", firstIndex + 1, dx, dy, dx);
        std::snprintf(closing, sizeof closing, zero, firstIndex + 2);
    } else {
        std::snprintf(pause, sizeof pause, "N  %d: M00 ;", firstIndex);
        std::snprintf(move, sizeof move, "N  %d: G01 X%s Y%s ;", firstIndex + 1, millimetres(dx).c_str(),
                      millimetres(dy).c_str());
        std::snprintf(closing, sizeof closing, "N  %d: M00 ;", firstIndex + 2);
    }
    return {pause, move, closing};
}

}  // namespace tavrel
