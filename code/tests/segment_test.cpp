#include "code/segment.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(SegmentImage, FieldsSitAtTheirOffsetsLittleEndian) {
    CodeSegment s;
    s.twoContour = 1;
    s.upper.kind = kElementLine;
    s.upper.endX = 0x01020304;
    s.lower.kind = kElementArcCcw;
    s.lower.startX = -1;
    s.lower.radiusSquared = 0x0102030405060708LL;
    s.lower.groupE = 7;
    s.lower.groupQ = 9;
    s.lower.steps = 0x0A0B0C0D;

    const CodeSegmentImage img = encodeCodeSegment(s, 0x11223344);
    EXPECT_EQ(img[0], 0x44); EXPECT_EQ(img[3], 0x11);
    EXPECT_EQ(img[4], 1);
    EXPECT_EQ(img[5], 0); EXPECT_EQ(img[6], 0); EXPECT_EQ(img[7], 0);
    EXPECT_EQ(img[8], 1);                         // upper kind
    EXPECT_EQ(img[8 + 12], 0x04); EXPECT_EQ(img[8 + 15], 0x01);  // upper endX
    EXPECT_EQ(img[48], 3);                        // lower kind
    EXPECT_EQ(img[48 + 4], 0xFF); EXPECT_EQ(img[48 + 7], 0xFF);  // lower startX = -1
    EXPECT_EQ(img[48 + 24], 0x08); EXPECT_EQ(img[48 + 31], 0x01);
    EXPECT_EQ(img[48 + 32], 7); EXPECT_EQ(img[48 + 35], 9);
    EXPECT_EQ(img[48 + 36], 0x0D); EXPECT_EQ(img[48 + 39], 0x0A);

    int32_t index = 0;
    EXPECT_EQ(decodeCodeSegment(img, &index), s);
    EXPECT_EQ(index, 0x11223344);
}

TEST(RoundMicron, UsesThePointFiftyOneThreshold) {
    struct Case { double in; int32_t out; };
    const Case cases[] = {
        {1.5, 1}, {1.51, 1}, {1.52, 2}, {-1.5, -1}, {-1.52, -2}, {2.51, 2}, {2.52, 3},
        {-2.6, -3}, {0.0, 0}, {1000.5, 1000}, {1e12, INT32_MAX}, {-1e12, INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(roundMicron(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace korvex
