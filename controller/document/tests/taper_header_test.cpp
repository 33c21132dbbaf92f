#include <gtest/gtest.h>

#include "controller/document/taper_header.h"

namespace korvex {
namespace {

TEST(TaperHeader, ValuesAreScaledAndTruncatedTowardZero) {
    TaperBlock b;
    ASSERT_EQ(parseTaperHeader("Korvex -Version 2.0 -Type ZD -Height 40.019 -Width 20.5 "
                               "-Base -10.06 -R 0.29 -Degree -1.5009",
                               3, b),
              0);
    EXPECT_EQ(b.heightTenths, 400);
    EXPECT_EQ(b.widthTenths, 205);
    EXPECT_EQ(b.baseTenths, -100);
    EXPECT_EQ(b.radiusTenths, 2);
    EXPECT_EQ(b.degreeMilli, -1500);
    EXPECT_EQ(b.taperType, 3);
}

TEST(TaperHeader, MalformedHeadersAreRefused) {
    for (const char* line : {
             "",
             "Korvex -Version 2.0 -Type ZD -Height 40 -Width 20 -Base 10 -R 0",
             "Korvex -Version 2.1 -Type ZD -Height 40 -Width 20 -Base 10 -R 0 -Degree 1",
             "Korvex -Version 2.0 -Type ZD -Height x -Width 20 -Base 10 -R 0 -Degree 1",
             "Korvex -Version 2.0 -Type ZD -Height 1e300 -Width 20 -Base 10 -R 0 -Degree 1",
             "Korvex -Version 2.0 -Type ZD -Height nan -Width 20 -Base 10 -R 0 -Degree 1",
         }) {
        TaperBlock b;
        b.heightTenths = 77;
        EXPECT_EQ(parseTaperHeader(line, 0, b), -1) << line;
        EXPECT_EQ(b.heightTenths, 77) << "left unchanged: " << line;
    }
}

TEST(TaperHeader, EveryFileIsLookedAtWhateverItsName) {
    EXPECT_TRUE(pathHasTaperHeader("/p/part.3nb"));
    EXPECT_TRUE(pathHasTaperHeader("/p/part.4nb"));
    EXPECT_TRUE(pathHasTaperHeader("/p/part.3b"));
}

}  // namespace
}  // namespace korvex
