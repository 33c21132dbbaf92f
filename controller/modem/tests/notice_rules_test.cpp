#include "controller/modem/notice_rules.h"

#include <gtest/gtest.h>

#include "controller/modem/at_reply.h"

namespace korvex::modem {
namespace {

TEST(NoticeRules, NumbersFollowThePlusAndCountryCodeRules) {
    struct Case {
        const char* typed;
        NumberUse use;
        const char* expected;  // "" = refused
    };
    const Case cases[] = {
        {"+8613912345678", NumberUse::Message, "8613912345678"},
        {"13912345678", NumberUse::Message, "8613912345678"},
        {"8613912345678", NumberUse::Message, "8613912345678"},
        {"139 1234-5678", NumberUse::Message, "8613912345678"},
        {"+86 139 1234 5678", NumberUse::Call, "+8613912345678"},
        {"13912345678", NumberUse::Call, "13912345678"},
        {"139;ATH", NumberUse::Call, ""},
        {"1391234567;", NumberUse::Message, ""},
        {"++8613912345678", NumberUse::Message, ""},
        {"139+12345678", NumberUse::Message, ""},
        {"", NumberUse::Message, ""},
        {" - ", NumberUse::Call, ""},
        {"+", NumberUse::Message, ""},
        {"8612345678901234", NumberUse::Message, ""},   // 16 digits
        {"861234567890123", NumberUse::Message, "861234567890123"},  // 15
        {"1234567890123", NumberUse::Message, "861234567890123"},  // 15 with "86" in front
        {"12345678901234", NumberUse::Message, ""},  // 16 with "86" in front
        {"1234567890123456", NumberUse::Call, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(normaliseNumber(c.typed, c.use), c.expected) << c.typed;
}

TEST(NoticeRules, TextAlwaysFitsOneMessage) {
    const std::string name32(32, 'M');  // a 32-byte machine name
    struct Case {
        std::string name;
        std::size_t textUnits;
        std::size_t expectedNameUnits;  // SIZE_MAX = not sent
    };
    const Case cases[] = {
        {"Noname", 1, 6},     {"Noname", 59, 6},  {"Noname", 60, 5}, {name32, 33, 32},
        {name32, 34, 31},     {name32, 65, 0},    {name32, 66, SIZE_MAX},
        {name32, 69, SIZE_MAX}, {name32, 70, SIZE_MAX}, {"Noname", 0, SIZE_MAX},
        {"机床一号", 62, 3},
    };
    for (const Case& c : cases) {
        ShortMessage m;
        const int rc = composeNotice("+8613800100500", "13912345678", c.name, std::string(c.textUnits, 'x'), m);
        if (c.expectedNameUnits == SIZE_MAX) {
            EXPECT_EQ(rc, -1) << c.name << " " << c.textUnits;
            continue;
        }
        ASSERT_EQ(rc, 0) << c.name << " " << c.textUnits;
        EXPECT_EQ(m.text.size(), c.expectedNameUnits + 5 + c.textUnits);
        EncodedPdu pdu;
        ASSERT_EQ(encodeSubmit(m, pdu), 0);
        EXPECT_LE(pdu.cmgsLength, 15 + static_cast<int>(kMaxUserDataOctets));  // header + one message
    }
}

TEST(NoticeRules, ShorteningNeverSplitsASurrogatePair) {
    ShortMessage m;
    // Each emoji is two units; 64 units of text leave one unit for the name.
    ASSERT_EQ(composeNotice("8613800100500", "13912345678", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80",
                            std::string(64, 'x'), m), 0);
    EXPECT_EQ(m.text.substr(0, 5), u"通知您: ");
}

TEST(NoticeRules, RefusalsNameTheirReason) {
    ShortMessage m;
    std::string why;
    EXPECT_EQ(composeNotice("", "139", "N", "t", m, &why), -1);
    EXPECT_EQ(why, "bad-smsc");
    EXPECT_EQ(composeNotice("8613800100500", "139;H", "N", "t", m, &why), -1);
    EXPECT_EQ(why, "bad-number");
    EXPECT_EQ(composeNotice("8613800100500", "139", "N", "\xFF", m, &why), -1);
    EXPECT_EQ(why, "bad-text");
}

TEST(AtReply, ResultsAreWholeLines) {
    EXPECT_TRUE(hasOkLine("\r\n+CMGS: 12\r\n\r\nOK\r\n\r\n+CMTI: \"SM\",3\r\n"));
    EXPECT_FALSE(hasOkLine("\r\nOKAY\r\n"));
    EXPECT_FALSE(hasOkLine("\r\nOK"));  // not ended yet
    EXPECT_TRUE(hasErrorLine("\r\nERROR\r\n"));
    EXPECT_TRUE(hasErrorLine("\r\n+CMS ERROR: 304\r\n"));
    EXPECT_FALSE(hasErrorLine("\r\n+CMTI: \"SM\",1\r\n"));
    EXPECT_TRUE(hasPrompt("AT+CMGS=63\r\r\n> "));
    EXPECT_TRUE(hasPrompt("\r\nRING\r\n\r\n> "));
    EXPECT_EQ(lastAnswer("\r\n+CMS ERROR: 500\r\n"), "+CMS ERROR: 500");
    EXPECT_EQ(callEnd("\r\nOK\r\n\r\nBUSY\r\n"), CallEnd::Busy);
    EXPECT_EQ(callEnd("\r\nNO CARRIER\r\n"), CallEnd::NoCarrier);
    EXPECT_EQ(callEnd("\r\nOK\r\n"), CallEnd::None);
}

TEST(AtReply, ListingGivesEveryIndexEvenWithoutAPdu) {
    const auto listed = parseListing(
        "\r\n+CMGL: 1,0,,23\r\n07911326040000F0\r\n+CMGL: 7,1,,5\r\n+CMGL: x\r\n"
        "+CMGL: 99999999999,1,,5\r\nAB\r\n+CMGL: 12,1,,5\r\n\r\nOK\r\n");
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].index, 1);
    EXPECT_EQ(listed[0].pdu, "07911326040000F0");
    EXPECT_EQ(listed[1].index, 7);
    EXPECT_EQ(listed[1].pdu, "");
    EXPECT_EQ(listed[2].index, 12);
    EXPECT_EQ(listed[2].pdu, "");
}

}  // namespace
}  // namespace korvex::modem
