#include "controller/modem/pdu.h"

#include <gtest/gtest.h>

#include "controller/modem/gsm_alphabet.h"
#include "controller/modem/notice_rules.h"
#include "controller/modem/text_units.h"

namespace korvex::modem {
namespace {

std::string utf16BeHex(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    for (const char16_t u : text) {
        bytes.push_back(static_cast<uint8_t>(u >> 8));
        bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    }
    return toHex(bytes);
}

TEST(Pdu, FinishedNoticeEncodesByteForByte) {
    ShortMessage m;
    ASSERT_EQ(composeNotice("+8613800100500", "13912345678", "Noname", "Cut finished!", m), 0);
    EncodedPdu pdu;
    ASSERT_EQ(encodeSubmit(m, pdu), 0);
    EXPECT_EQ(pdu.cmgsLength, 63);
    EXPECT_EQ(pdu.hex, "0891683108100005F011000D91683119325476F800080030" +
                           utf16BeHex(u"Noname通知您: Cut finished!"));
}

TEST(Pdu, SevenBitCountsSeptetsAndPacksExtensions) {
    ShortMessage m;
    m.smsc = "8613800100500";
    m.number = "8613912345678";
    m.dcs = kDcsGsm7;
    m.text = u"€";
    EncodedPdu pdu;
    ASSERT_EQ(encodeSubmit(m, pdu), 0);
    EXPECT_EQ(pdu.hex.substr(pdu.hex.size() - 6), "029B32");  // length 2, then the packed pair

    m.text = u"hellohello";
    ASSERT_EQ(encodeSubmit(m, pdu), 0);
    EXPECT_EQ(pdu.hex.substr(pdu.hex.size() - 20), "0AE8329BFD4697D9EC37");

    m.text = std::u16string(160, u'a');
    EXPECT_EQ(encodeSubmit(m, pdu), 0);
    m.text = std::u16string(159, u'a') + u"€";  // 161 septets
    std::string why;
    EXPECT_EQ(encodeSubmit(m, pdu, &why), -1);
    EXPECT_EQ(why, "too-long");
}

TEST(Pdu, SeptetPackingRoundTripsAtEveryFill) {
    std::vector<uint8_t> septets;
    for (int i = 0; i < 37; ++i) septets.push_back(static_cast<uint8_t>((i * 37 + 5) & 0x7F));
    for (int fill = 0; fill < 7; ++fill) {
        const auto octets = packSeptets(septets, fill);
        EXPECT_EQ(unpackSeptets(octets.data(), octets.size(), septets.size(), fill), septets) << fill;
        // Asking for more than the octets hold stops at what is there.
        EXPECT_LE(unpackSeptets(octets.data(), octets.size(), 1000, fill).size(), septets.size() + 1);
    }
}

TEST(Pdu, ClassicDeliverDecodes) {
    ShortMessage m;
    ASSERT_EQ(decodeDeliver("07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37", m), 0);
    EXPECT_EQ(m.smsc, "27381000015");
    EXPECT_EQ(m.number, "27838890001");
    EXPECT_EQ(m.pid, 0);
    EXPECT_EQ(m.dcs, 0);
    EXPECT_EQ(m.scts, "99/03/29,15:16:59+08");
    EXPECT_EQ(m.text, u"hellohello");
}

// A DELIVER built field by field, for the decoder's mends.
std::string deliver(uint8_t first, const std::string& sender, uint8_t dcs, uint8_t udl, const std::string& udHex) {
    return "0891683108100005F0" + toHex({first}) + sender + "00" + toHex({dcs}) + "32102911453200" +
           toHex({udl}) + udHex;
}
const std::string kSender = "0D91683119325476F8";

TEST(Pdu, DecoderMendsIncomingMessages) {
    struct Case {
        const char* name;
        std::string pdu;
        std::u16string text;
        std::string number;
    };
    const std::vector<Case> cases = {
        {"ucs2", deliver(0x04, kSender, 0x08, 4, "4F60597D"), u"你好", "8613912345678"},
        {"septet 0 is @", deliver(0x04, kSender, 0x00, 3, toHex(packSeptets({0x00, 0x41, 0x00}))), u"@A@", "8613912345678"},
        {"euro", deliver(0x04, kSender, 0x00, 2, "9B32"), u"€", "8613912345678"},
        {"8-bit", deliver(0x04, kSender, 0x04, 2, "41FF"), u"A\u00FF", "8613912345678"},
        {"class 1 ucs2 group", deliver(0x04, kSender, 0x18, 2, "0041"), u"A", "8613912345678"},
        {"group F 7-bit", deliver(0x04, kSender, 0xF1, 1, "41"), u"A", "8613912345678"},
        {"group F data", deliver(0x04, kSender, 0xF4, 1, "41"), u"A", "8613912345678"},
        {"store ucs2 group", deliver(0x04, kSender, 0xE0, 2, "0041"), u"A", "8613912345678"},
        // TON 101: "Test" as packed septets, 7 semi-octets
        {"alphanumeric sender", deliver(0x04, "07D0D4F29C0E", 0x00, 1, "41"), u"A", "Test"},
        // UDH of 6 octets (concatenation), then "Hi" in UCS2
        {"ucs2 with header", deliver(0x44, kSender, 0x08, 10, "050003010201" "00480069"), u"Hi", "8613912345678"},
        // 7-bit: header of 6 octets = 7 septets incl. one fill bit, then "Hi"
        {"7-bit with header", deliver(0x44, kSender, 0x00, 9, "050003010201" + toHex(packSeptets({0x48, 0x69}, 1))),
         u"Hi", "8613912345678"},
        {"length beyond the data", deliver(0x04, kSender, 0x08, 140, "00410042"), u"AB", "8613912345678"},
        {"odd ucs2 length", deliver(0x04, kSender, 0x08, 3, "004100"), u"A", "8613912345678"},
        {"cut surrogate pair", deliver(0x04, kSender, 0x08, 4, "0041D83D"), u"A", "8613912345678"},
        {"septets beyond the data", deliver(0x04, kSender, 0x00, 160, "41"), u"A", "8613912345678"},
    };
    for (const Case& c : cases) {
        ShortMessage m;
        std::string why;
        ASSERT_EQ(decodeDeliver(c.pdu, m, &why), 0) << c.name << ": " << why;
        EXPECT_EQ(m.text, c.text) << c.name;
        EXPECT_EQ(m.number, c.number) << c.name;
    }
}

TEST(Pdu, DecoderRefusesWhatIsNoDeliver) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"status report", deliver(0x06, kSender, 0x00, 1, "41")},
        {"submit", deliver(0x11, kSender, 0x00, 1, "41")},
        {"compressed", deliver(0x04, kSender, 0x28, 1, "41")},
        {"odd hex", "0891683"},
        {"not hex", "08ZZ"},
        {"empty", ""},
        {"smsc longer than its field", "0C91683108100005F0000000000000"},
        {"smsc beyond the pdu", "0891683108"},
        {"sender beyond the pdu", "0891683108100005F0040D9168"},
        {"sender longer than its field", "0891683108100005F00415916831193254769812345678901234"},
        {"no time stamp", "0891683108100005F0040D91683119325476F80000321029"},
    };
    for (const auto& [name, pdu] : cases) {
        ShortMessage m;
        std::string why;
        EXPECT_EQ(decodeDeliver(pdu, m, &why), -1) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
}

TEST(Pdu, Utf8ConversionRefusesBrokenInput) {
    EXPECT_EQ(utf8ToUtf16("a\xE9"), std::nullopt);
    EXPECT_EQ(utf8ToUtf16("\xC0\x80"), std::nullopt);     // overlong
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), std::nullopt); // a surrogate
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
    EXPECT_EQ(utf16ToUtf8(u"通知您\U0001F600"), "通知您\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace korvex::modem
