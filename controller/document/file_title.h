// File titles (the file name with its extension) as the card and the work record keep them:
// measured in UTF-8 bytes, never cut inside a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

// The longest title a program may have, in UTF-8 bytes. The card's load descriptor keeps the
// title in 64 bytes with a terminating zero.
inline constexpr std::size_t kMaxFileTitleBytes = 63;

// The file name with extension of a path ("/a/b/part.3b" gives "part.3b").
std::string fileTitleOf(std::string_view path);

// True when the title fits the load descriptor.
bool fileTitleFits(std::string_view title);

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a character boundary
// (a UTF-8 continuation byte is never the first byte left out).
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

// Copies `text` into `out` zero-padded, keeping at least one terminating zero and never cutting
// a character. Returns the number of text bytes copied.
std::size_t copyZeroPadded(std::string_view text, std::span<uint8_t> out);

}  // namespace korvex
