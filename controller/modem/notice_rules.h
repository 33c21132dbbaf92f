// What a notice becomes before it reaches the modem: the numbers as the network wants them and
// the text that fits one UCS2 message.
//
// Numbers. Spaces and dashes are written by people and removed. A message number loses one
// leading "+" and gets the country code "86" in front when it does not begin with it; a call
// number keeps its "+" (ATD dials it as an international number). Anything else in a number is
// refused: a ";" would end the dial string and smuggle in a command. An empty number, or one
// over 15 digits after the rules (E.164's limit), is refused too.
//
// Text. The notice's own text must have 1..69 UTF-16 units. The sent text is
// machine name + "通知您: " + text, which must fit one UCS2 message (70 units); a machine name
// that makes it too long is shortened by whole characters, and when even no name is short
// enough the notice is not sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "controller/modem/pdu.h"

namespace korvex::modem {

inline constexpr std::size_t kMaxNumberDigits = 15;
inline constexpr std::size_t kMaxNoticeUnits = 69;
inline constexpr std::u16string_view kNoticeJoiner = u"通知您: ";
inline constexpr std::string_view kCountryCode = "86";

enum class NumberUse { Message, Call };

// Returns the number to use, or an empty string with the reason in why.
std::string normaliseNumber(std::string_view typed, NumberUse use, std::string* why = nullptr);

// Builds the outgoing message of a notice: both numbers normalised, PID 0, DCS 8, the composed
// text. Returns 0, or -1 with the reason ("bad-smsc", "bad-number", "empty-text",
// "text-too-long", "bad-text") in why.
int composeNotice(std::string_view smsc, std::string_view number, std::string_view machineName,
                  std::string_view text, ShortMessage& out, std::string* why = nullptr);

}  // namespace korvex::modem
