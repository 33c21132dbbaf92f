// UTF-8 <-> UTF-16 conversion for notice texts. Message records hold UTF-16, the unit an SMS
// counts in; the command line and the log speak UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex::modem {

// Strict UTF-8 to UTF-16: an invalid sequence gives nullopt rather than a mangled notice.
std::optional<std::u16string> utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

inline bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace korvex::modem
