// JSON string quoting for the modem tools' and the virtual modem's line output.
#pragma once

#include <string>
#include <string_view>

#include "controller/modem/pdu.h"

namespace korvex::modem {

// A JSON string literal, quotes included; UTF-8 passes through, control characters are escaped.
std::string jsonQuote(std::string_view utf8);

// One received message as a JSON object: smsc, sender, pid, dcs, scts, text, and index when
// the message came from the modem's storage.
std::string messageJson(const ShortMessage& message);

}  // namespace korvex::modem
