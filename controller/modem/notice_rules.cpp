#include "controller/modem/notice_rules.h"

#include "controller/modem/text_units.h"

namespace korvex::modem {
namespace {

void fail(std::string* why, const char* reason) {
    if (why) *why = reason;
}

}  // namespace

std::string normaliseNumber(std::string_view typed, NumberUse use, std::string* why) {
    std::string number;
    bool plus = false;
    for (const char c : typed) {
        if (c == ' ' || c == '-') continue;
        if (c == '+' && number.empty() && !plus) {
            plus = true;
            continue;
        }
        if (c < '0' || c > '9') {
            fail(why, "bad-character");
            return {};
        }
        number.push_back(c);
    }
    if (number.empty()) {
        fail(why, "empty");
        return {};
    }
    if (use == NumberUse::Message) {
        if (number.compare(0, kCountryCode.size(), kCountryCode) != 0) number.insert(0, kCountryCode);
    } else if (plus) {
        number.insert(0, "+");
    }
    const std::size_t digits = number.size() - (number[0] == '+' ? 1 : 0);
    if (digits > kMaxNumberDigits) {
        fail(why, "too-many-digits");
        return {};
    }
    return number;
}

int composeNotice(std::string_view smsc, std::string_view number, std::string_view machineName,
                  std::string_view text, ShortMessage& out, std::string* why) {
    std::string reason;
    out = ShortMessage{};
    out.smsc = normaliseNumber(smsc, NumberUse::Message, &reason);
    if (out.smsc.empty()) {
        fail(why, "bad-smsc");
        return -1;
    }
    out.number = normaliseNumber(number, NumberUse::Message, &reason);
    if (out.number.empty()) {
        fail(why, "bad-number");
        return -1;
    }
    const auto body = utf8ToUtf16(text);
    auto name = utf8ToUtf16(machineName);
    if (!body || !name) {
        fail(why, "bad-text");
        return -1;
    }
    if (body->empty()) {
        fail(why, "empty-text");
        return -1;
    }
    if (body->size() > kMaxNoticeUnits) {
        fail(why, "text-too-long");
        return -1;
    }
    const std::size_t rest = kNoticeJoiner.size() + body->size();
    if (rest > kMaxUcs2Units) {
        fail(why, "text-too-long");
        return -1;
    }
    while (name->size() + rest > kMaxUcs2Units) {
        // Whole characters only: a surrogate pair goes as one.
        name->pop_back();
        if (!name->empty() && isHighSurrogate(name->back())) name->pop_back();
    }
    out.pid = 0;
    out.dcs = kDcsUcs2;
    out.text = *name;
    out.text += kNoticeJoiner;
    out.text += *body;
    return 0;
}

}  // namespace korvex::modem
