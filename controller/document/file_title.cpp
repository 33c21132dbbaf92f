#include "controller/document/file_title.h"

#include <algorithm>
#include <cstring>

namespace korvex {

std::string fileTitleOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool fileTitleFits(std::string_view title) { return title.size() <= kMaxFileTitleBytes; }

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Back up over continuation bytes (10xxxxxx) so the cut falls before a lead byte.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::size_t copyZeroPadded(std::string_view text, std::span<uint8_t> out) {
    std::fill(out.begin(), out.end(), uint8_t{0});
    if (out.empty()) return 0;
    const std::string_view kept = utf8Prefix(text, out.size() - 1);
    std::memcpy(out.data(), kept.data(), kept.size());
    return kept.size();
}

}  // namespace korvex
