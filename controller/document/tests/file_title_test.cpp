#include <gtest/gtest.h>

#include <array>

#include "controller/document/file_title.h"

namespace korvex {
namespace {

TEST(FileTitle, IsTheNameWithExtension) {
    EXPECT_EQ(fileTitleOf("/home/op/parts/gear.3b"), "gear.3b");
    EXPECT_EQ(fileTitleOf("gear.3b"), "gear.3b");
    EXPECT_TRUE(fileTitleFits(std::string(63, 'a')));
    EXPECT_FALSE(fileTitleFits(std::string(64, 'a')));
}

TEST(FileTitle, CutsNeverFallInsideACharacter) {
    const std::string cjk = "\xE5\x88\x80\xE5\x88\x80";  // two three-byte characters
    struct Case {
        std::size_t limit;
        std::size_t kept;
    };
    for (const Case c : {Case{6, 6}, Case{5, 3}, Case{4, 3}, Case{3, 3}, Case{2, 0}, Case{0, 0}})
        EXPECT_EQ(utf8Prefix(cjk, c.limit).size(), c.kept) << c.limit;

    std::array<uint8_t, 5> out;
    out.fill(0xFF);
    EXPECT_EQ(copyZeroPadded(cjk, out), 3u);  // room for 4 bytes of text: one character
    EXPECT_EQ(out, (std::array<uint8_t, 5>{0xE5, 0x88, 0x80, 0, 0}));
}

}  // namespace
}  // namespace korvex
