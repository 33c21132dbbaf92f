#include "controller/modem/at_reply.h"

namespace korvex::modem {
namespace {

constexpr int kMaxIndex = 65535;

bool startsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool isErrorLine(std::string_view line) {
    line = trimmed(line);
    return line == "ERROR" || startsWith(line, "+CMS ERROR") || startsWith(line, "+CME ERROR");
}

}  // namespace

std::vector<std::string_view> replyLines(std::string_view buffer, bool includePartial) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        if (buffer[i] != '\r' && buffer[i] != '\n') continue;
        if (i > start) lines.push_back(buffer.substr(start, i - start));
        start = i + 1;
    }
    if (includePartial && start < buffer.size()) lines.push_back(buffer.substr(start));
    return lines;
}

bool hasOkLine(std::string_view buffer) {
    for (const auto line : replyLines(buffer))
        if (trimmed(line) == "OK") return true;
    return false;
}

bool hasErrorLine(std::string_view buffer) {
    for (const auto line : replyLines(buffer))
        if (isErrorLine(line)) return true;
    return false;
}

bool hasPrompt(std::string_view buffer) { return buffer.find("> ") != std::string_view::npos; }

std::string lastAnswer(std::string_view buffer) {
    std::string answer;
    for (const auto line : replyLines(buffer)) {
        const auto t = trimmed(line);
        if (t == "OK" || isErrorLine(t) || t == "BUSY" || t == "NO CARRIER" || t == "NO ANSWER")
            answer = std::string(t);
    }
    return answer;
}

CallEnd callEnd(std::string_view buffer) {
    for (const auto line : replyLines(buffer)) {
        const auto t = trimmed(line);
        if (t == "BUSY") return CallEnd::Busy;
        if (t == "NO CARRIER" || t == "NO DIALTONE") return CallEnd::NoCarrier;
        if (t == "NO ANSWER") return CallEnd::NoAnswer;
        if (isErrorLine(t)) return CallEnd::Error;
    }
    return CallEnd::None;
}

std::vector<ListedMessage> parseListing(std::string_view buffer) {
    std::vector<ListedMessage> listed;
    const auto lines = replyLines(buffer);
    for (std::size_t i = 0; i < lines.size() && listed.size() < kMaxListedMessages; ++i) {
        if (!startsWith(lines[i], "+CMGL:")) continue;
        std::string_view rest = trimmed(lines[i].substr(6));
        int index = 0;
        std::size_t digits = 0;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && index <= kMaxIndex) {
            index = index * 10 + (rest[digits] - '0');
            ++digits;
        }
        if (digits == 0 || index > kMaxIndex) continue;
        ListedMessage m;
        m.index = index;
        // The PDU line follows unless the modem put the next entry or the result there.
        if (i + 1 < lines.size() && !startsWith(lines[i + 1], "+CMGL:") && trimmed(lines[i + 1]) != "OK") {
            m.pdu = std::string(trimmed(lines[i + 1]));
            ++i;
        }
        listed.push_back(std::move(m));
    }
    return listed;
}

}  // namespace korvex::modem
