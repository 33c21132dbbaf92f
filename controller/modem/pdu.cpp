#include "controller/modem/pdu.h"

#include <algorithm>
#include <cstdio>

#include "controller/modem/gsm_alphabet.h"
#include "controller/modem/text_units.h"

namespace korvex::modem {
namespace {

constexpr uint8_t kTypeInternational = 0x91;
constexpr uint8_t kFirstOctetSubmit = 0x11;      // SMS-SUBMIT, relative validity period present
constexpr uint8_t kMessageReference = 0x00;
constexpr uint8_t kValidityPeriod = 0x00;
constexpr uint8_t kMtiMask = 0x03;
constexpr uint8_t kMtiDeliver = 0x00;
constexpr uint8_t kUdhiBit = 0x40;
constexpr uint8_t kTonMask = 0x70;
constexpr uint8_t kTonAlphanumeric = 0x50;
constexpr std::size_t kSctsOctets = 7;

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void fail(std::string* why, const char* reason) {
    if (why) *why = reason;
}

// The alphabet a DCS selects, by TS 23.038 4's coding groups.
enum class Alphabet { Gsm7, Data8, Ucs2, Compressed };

Alphabet alphabetOf(uint8_t dcs) {
    const uint8_t group = dcs >> 4;
    if (group <= 0x7) {  // general data coding, with or without automatic deletion
        if (dcs & 0x20) return Alphabet::Compressed;
        switch ((dcs >> 2) & 0x03) {
            case 1: return Alphabet::Data8;
            case 2: return Alphabet::Ucs2;
            default: return Alphabet::Gsm7;  // 3 is reserved: the default alphabet is assumed
        }
    }
    if (group == 0xE) return Alphabet::Ucs2;            // message waiting, store, UCS2
    if (group == 0xF) return (dcs & 0x04) ? Alphabet::Data8 : Alphabet::Gsm7;
    return Alphabet::Gsm7;  // 0xC, 0xD and the reserved groups 0x8..0xB
}

// A cursor over the PDU's octets that refuses to read past the end.
class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool take(uint8_t& b) {
        if (at_ >= bytes_.size()) return false;
        b = bytes_[at_++];
        return true;
    }
    bool take(std::size_t n, const uint8_t*& p) {
        if (n > bytes_.size() - at_) return false;
        p = bytes_.data() + at_;
        at_ += n;
        return true;
    }
    std::size_t left() const { return bytes_.size() - at_; }

private:
    const std::vector<uint8_t>& bytes_;
    std::size_t at_ = 0;
};

std::string semiOctetDigits(const uint8_t* p, std::size_t octets, std::size_t digits) {
    static constexpr char kDigit[] = "0123456789*#abc";
    std::string out;
    for (std::size_t i = 0; i < octets && out.size() < digits; ++i) {
        for (const unsigned nibble : {p[i] & 0x0Fu, static_cast<unsigned>(p[i] >> 4)}) {
            if (out.size() >= digits || nibble == 0xF) break;
            out.push_back(kDigit[nibble]);
        }
    }
    return out;
}

std::string timestampText(const uint8_t* p) {
    auto bcd = [](uint8_t b) { return (b & 0x0F) * 10 + (b >> 4); };
    // The zone's sign is bit 3 of its first (low) semi-octet.
    const int quarters = (p[6] & 0x07) * 10 + (p[6] >> 4);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d%c%02d", bcd(p[0]) % 100,
                  bcd(p[1]) % 100, bcd(p[2]) % 100, bcd(p[3]) % 100, bcd(p[4]) % 100, bcd(p[5]) % 100,
                  (p[6] & 0x08) ? '-' : '+', quarters % 100);
    return text;
}

}  // namespace

std::string toHex(const std::vector<uint8_t>& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const uint8_t b : bytes) {
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 0x0F]);
    }
    return out;
}

bool fromHex(std::string_view hex, std::vector<uint8_t>& bytes) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    if (hex.size() % 2 != 0) return false;
    bytes.clear();
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = nibble(hex[i]);
        const int lo = nibble(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes.push_back(static_cast<uint8_t>(hi << 4 | lo));
    }
    return true;
}

std::string swapSemiOctets(std::string_view digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        out.push_back(i + 1 < digits.size() ? digits[i + 1] : 'F');
        out.push_back(digits[i]);
    }
    return out;
}

int encodeSubmit(const ShortMessage& message, EncodedPdu& out, std::string* why) {
    if (message.smsc.empty() || message.smsc.size() > kMaxAddressDigits || !allDigits(message.smsc)) {
        fail(why, "bad-smsc");
        return -1;
    }
    if (message.number.empty() || message.number.size() > kMaxAddressDigits || !allDigits(message.number)) {
        fail(why, "bad-number");
        return -1;
    }
    std::vector<uint8_t> userData;
    std::size_t udl = 0;
    if (message.dcs == kDcsUcs2) {
        if (message.text.size() > kMaxUcs2Units) {
            fail(why, "too-long");
            return -1;
        }
        for (const char16_t unit : message.text) {
            userData.push_back(static_cast<uint8_t>(unit >> 8));
            userData.push_back(static_cast<uint8_t>(unit & 0xFF));
        }
        udl = userData.size();
    } else if (message.dcs == kDcsGsm7) {
        std::vector<uint8_t> septets;
        toGsmSeptets(message.text, septets);
        if (septets.size() > kMaxSeptets) {
            fail(why, "too-long");
            return -1;
        }
        userData = packSeptets(septets);
        udl = septets.size();  // 7-bit user data counts septets, an extension character two
    } else {
        if (message.data.size() > kMaxUserDataOctets) {
            fail(why, "too-long");
            return -1;
        }
        userData = message.data;
        udl = userData.size();
    }

    std::vector<uint8_t> tpdu;
    std::vector<uint8_t> smscPart;
    std::vector<uint8_t> digits;
    fromHex(swapSemiOctets(message.smsc), digits);  // F-padded: always whole octets
    smscPart.push_back(static_cast<uint8_t>(digits.size() + 1));
    smscPart.push_back(kTypeInternational);
    smscPart.insert(smscPart.end(), digits.begin(), digits.end());

    tpdu.push_back(kFirstOctetSubmit);
    tpdu.push_back(kMessageReference);
    tpdu.push_back(static_cast<uint8_t>(message.number.size()));
    tpdu.push_back(kTypeInternational);
    fromHex(swapSemiOctets(message.number), digits);
    tpdu.insert(tpdu.end(), digits.begin(), digits.end());
    tpdu.push_back(message.pid);
    tpdu.push_back(message.dcs);
    tpdu.push_back(kValidityPeriod);
    tpdu.push_back(static_cast<uint8_t>(udl));
    tpdu.insert(tpdu.end(), userData.begin(), userData.end());

    out.cmgsLength = static_cast<int>(tpdu.size());
    out.hex = toHex(smscPart) + toHex(tpdu);
    return 0;
}

int decodeDeliver(std::string_view hex, ShortMessage& out, std::string* why) {
    out = ShortMessage{};
    std::vector<uint8_t> bytes;
    // Modems may end the line with spaces; anything else that is not hex is refused.
    while (!hex.empty() && (hex.back() == ' ' || hex.back() == '\r' || hex.back() == '\n')) hex.remove_suffix(1);
    if (!fromHex(hex, bytes)) {
        fail(why, "not hexadecimal");
        return -1;
    }
    Reader r(bytes);
    uint8_t smscLength = 0;
    const uint8_t* p = nullptr;
    if (!r.take(smscLength) || smscLength > kMaxSmscOctets || !r.take(smscLength, p)) {
        fail(why, "bad service centre length");
        return -1;
    }
    if (smscLength > 1) out.smsc = semiOctetDigits(p + 1, smscLength - 1u, kMaxAddressDigits);

    uint8_t first = 0;
    if (!r.take(first)) {
        fail(why, "truncated");
        return -1;
    }
    if ((first & kMtiMask) != kMtiDeliver) {
        fail(why, "not an SMS-DELIVER");
        return -1;
    }
    uint8_t senderDigits = 0;
    uint8_t senderType = 0;
    if (!r.take(senderDigits) || senderDigits > kMaxAddressDigits || !r.take(senderType) ||
        !r.take((senderDigits + 1u) / 2u, p)) {
        fail(why, "bad sender length");
        return -1;
    }
    const std::size_t senderOctets = (senderDigits + 1u) / 2u;
    if ((senderType & kTonMask) == kTonAlphanumeric) {
        // An alphanumeric sender: the length counts semi-octets of packed 7-bit characters.
        const auto septets = unpackSeptets(p, senderOctets, senderDigits * 4u / 7u);
        out.number = utf16ToUtf8(fromGsmSeptets(septets));
    } else {
        out.number = semiOctetDigits(p, senderOctets, senderDigits);
    }

    uint8_t udl = 0;
    if (!r.take(out.pid) || !r.take(out.dcs) || !r.take(kSctsOctets, p)) {
        fail(why, "truncated");
        return -1;
    }
    out.scts = timestampText(p);
    if (!r.take(udl)) {
        fail(why, "truncated");
        return -1;
    }
    const Alphabet alphabet = alphabetOf(out.dcs);
    if (alphabet == Alphabet::Compressed) {
        fail(why, "compressed text");
        return -1;
    }
    // A lying length is cut to the octets that are really there and to one message.
    const std::size_t octets = std::min(r.left(), kMaxUserDataOctets);
    const uint8_t* ud = nullptr;
    r.take(octets, ud);
    std::size_t headerOctets = 0;
    if ((first & kUdhiBit) && octets > 0) {
        headerOctets = std::min<std::size_t>(octets, ud[0] + 1u);
    }
    if (alphabet == Alphabet::Gsm7) {
        const std::size_t septetCount = std::min<std::size_t>(udl, kMaxSeptets);
        const std::size_t headerSeptets = (headerOctets * 8 + 6) / 7;
        const int fill = static_cast<int>(headerSeptets * 7 - headerOctets * 8);
        if (septetCount > headerSeptets) {
            const auto septets = unpackSeptets(ud + headerOctets, octets - headerOctets,
                                               septetCount - headerSeptets, fill);
            out.text = fromGsmSeptets(septets);
        }
    } else {
        const std::size_t end = std::min<std::size_t>(udl, octets);
        const std::size_t begin = std::min(headerOctets, end);
        if (alphabet == Alphabet::Ucs2) {
            for (std::size_t i = begin; i + 1 < end; i += 2)
                out.text.push_back(static_cast<char16_t>(ud[i] << 8 | ud[i + 1]));
            // A pair cut in half by the length is no character.
            if (!out.text.empty() && isHighSurrogate(out.text.back())) out.text.pop_back();
        } else {
            out.data.assign(ud + begin, ud + end);
            for (const uint8_t b : out.data) out.text.push_back(static_cast<char16_t>(b));
        }
    }
    return 0;
}

}  // namespace korvex::modem
