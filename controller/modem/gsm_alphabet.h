// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038 6.2.1), and the packing
// of septets into octets (TS 23.038 6.1.2.1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::modem {

inline constexpr uint8_t kGsmEscape = 0x1B;
inline constexpr char16_t kGsmUnmappable = u'?';

// Maps UTF-16 text to septets; an extension character (such as the euro sign) takes two, the
// escape and its code. A character outside both tables becomes "?". Returns the number of
// characters that had to be replaced.
std::size_t toGsmSeptets(std::u16string_view text, std::vector<uint8_t>& septets);

// Septets back to text. Septet 0 is "@", not an end mark. An escape followed by a code the
// extension table does not hold shows the default table's character (TS 23.038's fallback);
// a trailing escape is dropped.
std::u16string fromGsmSeptets(const std::vector<uint8_t>& septets);

// Packs septets into octets, starting fillBits (0..6) into the first octet (user data after a
// header starts on a septet boundary).
std::vector<uint8_t> packSeptets(const std::vector<uint8_t>& septets, int fillBits = 0);
// Unpacks count septets from octets, skipping fillBits first. Stops early, never reading past
// the octets, when they hold fewer septets than count.
std::vector<uint8_t> unpackSeptets(const uint8_t* octets, std::size_t octetCount, std::size_t count,
                                   int fillBits = 0);

}  // namespace korvex::modem
