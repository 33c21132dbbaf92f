#include "editor/document/text_lines.h"

#include <cstring>

namespace tavrel {

std::string_view stripLeadingBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

bool isValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int follow = 0;
        uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0) { follow = 1; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { follow = 2; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { follow = 3; cp = c & 0x07; }
        else return false;
        if (end - p <= follow) return false;
        for (int i = 1; i <= follow; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[follow] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
        p += follow + 1;
    }
    return true;
}

TextLines splitTextLines(std::string_view text) {
    TextLines out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(pos, end - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        ++out.rawCount;
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = stripLeadingBlanks(line);
        if (line.empty()) continue;
        if (line.size() > static_cast<std::size_t>(korvex::kMaxLineChars) && out.tooLongLine == 0) {
            out.tooLongLine = out.rawCount;
        }
        if (out.utf8 && !isValidUtf8(line)) out.utf8 = false;
        out.kept.push_back(line);
    }
    return out;
}

std::string joinLinesCrLf(const korvex::ProgramLines& lines, int count) {
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) total += ::strnlen(lines.line(i), korvex::kLineSlotBytes) + 2;
    std::string out;
    out.reserve(total);
    for (int i = 0; i < count; ++i) {
        const char* s = lines.line(i);
        const char* nl = static_cast<const char*>(std::memchr(s, '\n', ::strnlen(s, korvex::kLineSlotBytes)));
        out.append(s, nl ? static_cast<std::size_t>(nl - s) : ::strnlen(s, korvex::kLineSlotBytes));
        out += "\r\n";
    }
    return out;
}

}  // namespace tavrel
