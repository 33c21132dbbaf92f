// Reading a modem's replies. A reply buffer collects whatever the modem sent since the command:
// final result lines ("OK", "ERROR", "+CMS ERROR: n"), the PDU prompt "> ", listings, and
// unsolicited lines ("+CMTI", "RING") that may arrive at any moment. Results are looked for as
// whole lines, so an unsolicited line after "OK" does not hide it and "OK" inside a PDU line
// is not mistaken for one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex::modem {

inline constexpr std::size_t kMaxListedMessages = 128;

// Splits on CR and LF; empty lines are dropped. A last line without its end mark is included
// only when includePartial is set (a prompt has none).
std::vector<std::string_view> replyLines(std::string_view buffer, bool includePartial = false);

bool hasOkLine(std::string_view buffer);
// "ERROR", "+CMS ERROR: n" or "+CME ERROR: n" as a line.
bool hasErrorLine(std::string_view buffer);
// The PDU prompt "> ", wherever it sits among echo and unsolicited lines.
bool hasPrompt(std::string_view buffer);
// The last final or error line, for the log ("" when there is none).
std::string lastAnswer(std::string_view buffer);

// How a voice call ended, from ATD's reply.
enum class CallEnd { None, Busy, NoCarrier, NoAnswer, Error };
CallEnd callEnd(std::string_view buffer);

struct ListedMessage {
    int index = -1;
    std::string pdu;  // may be empty or garbage: the decoder judges it
};

// Every "+CMGL: <index>,..." entry with the PDU on the line after it. An entry whose index is
// unreadable is skipped; at most kMaxListedMessages are returned.
std::vector<ListedMessage> parseListing(std::string_view buffer);

}  // namespace korvex::modem
