#include "controller/modem/json_text.h"

#include <cstdio>

#include "controller/modem/text_units.h"

namespace korvex::modem {

std::string jsonQuote(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
                    out += esc;
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
    return out;
}

std::string messageJson(const ShortMessage& m) {
    std::string out = "{";
    if (m.index >= 0) out += "\"index\":" + std::to_string(m.index) + ",";
    out += "\"smsc\":" + jsonQuote(m.smsc) + ",\"sender\":" + jsonQuote(m.number) +
           ",\"pid\":" + std::to_string(m.pid) + ",\"dcs\":" + std::to_string(m.dcs) +
           ",\"scts\":" + jsonQuote(m.scts) + ",\"text\":" + jsonQuote(utf16ToUtf8(m.text)) + "}";
    return out;
}

}  // namespace korvex::modem
