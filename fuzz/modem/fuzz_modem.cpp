// Whatever a modem or a stranger's PDU can put on the line: the first byte picks the AT reply
// parser or the PDU decoder. The reply parser must find whole lines only; the decoder must stay
// within its input and give text no longer than one message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "controller/modem/at_reply.h"
#include "controller/modem/json_text.h"
#include "controller/modem/pdu.h"

using namespace korvex::modem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        const auto listed = parseListing(text);
        if (listed.size() > kMaxListedMessages) abort();
        for (const auto& m : listed) {
            if (m.index < 0) abort();
            ShortMessage decoded;
            decodeDeliver(m.pdu, decoded);
        }
        hasOkLine(text);
        hasErrorLine(text);
        callEnd(text);
        lastAnswer(text);
        return 0;
    }
    // Raw octets as the hex the modem would list.
    std::vector<uint8_t> bytes(data + 1, data + size);
    ShortMessage m;
    if (decodeDeliver(toHex(bytes), m) == 0) {
        if (m.text.size() > kMaxSeptets) abort();
        messageJson(m);
    }
    decodeDeliver(text, m);
    return 0;
}
