#include <gtest/gtest.h>

#include <string>

#include "code/loader.h"
#include "code/taper_header.h"

namespace korvex {
namespace {

constexpr const char* kBody =
    "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\nN1 G01 X1.000 Y0.000; N1 G01 X2.000 Y0.000;\n"
    "N2 M02; N2 M02;\n";

std::string withHeader(const std::string& header) {
    return "****************************************\n" + header +
           "\n****************************************\n" + kBody;
}

int loadText(const std::string& text, const char* path, LoadedProgram& p, LoadFailure& f) {
    return loadProgramText(text, path, {}, p, f);
}

TEST(TaperHeaderRule, ProductsNearAnIntegerTakeItBeforeTruncation) {
    TaperValues v;
    ASSERT_TRUE(parseTaperHeaderLine("Korvex -Version 2.0 -Type ZD -Height 0.7 -Width 1.001 "
                                     "-Base -10.06 -R 0.29 -Degree -1.001",
                                     v));
    EXPECT_EQ(v.heightX10, 7);
    EXPECT_EQ(v.widthX10, 10);    // 10.01 truncates
    EXPECT_EQ(v.baseX10, -100);   // toward zero
    EXPECT_EQ(v.radiusX10, 2);    // 2.9 truncates
    EXPECT_EQ(v.angleX1000, -1001);  // -1000.9999999999999 means -1001
    int32_t out = 0;
    ASSERT_TRUE(scaleTaperValue(1.001, 1000, out));
    EXPECT_EQ(out, 1001);
    ASSERT_TRUE(scaleTaperValue(0.1 + 0.2, 10, out));
    EXPECT_EQ(out, 3);
    EXPECT_FALSE(scaleTaperValue(3e9, 1, out));
    EXPECT_FALSE(scaleTaperValue(1.0 / 0.0, 1, out));
}

TEST(TaperHeaderRule, TheLineDecidesAndATaperNameNeedsOne) {
    const std::string_view header = "Korvex -Version 2.0 -Type ZD -Height 40 -Width 20 -Base 10 "
                                    "-R 0 -Degree 1";
    const std::string_view plain = "N0 G92 X0 Y0;";
    TaperValues v;
    EXPECT_EQ(readTaperHeader(&header, "a.4nb", v), TaperHeaderState::kRead);
    EXPECT_EQ(v.heightX10, 400);
    EXPECT_EQ(readTaperHeader(&header, "a.iso", v), TaperHeaderState::kRead);
    EXPECT_EQ(readTaperHeader(&plain, "a.iso", v), TaperHeaderState::kNone);
    EXPECT_EQ(readTaperHeader(nullptr, "a.iso", v), TaperHeaderState::kNone);
    EXPECT_EQ(readTaperHeader(&plain, "/d/A.3NB", v), TaperHeaderState::kBad);
    EXPECT_EQ(readTaperHeader(nullptr, "/d/a.3nb", v), TaperHeaderState::kBad);
    // Only the end of the name counts.
    EXPECT_EQ(readTaperHeader(&plain, "/d.3nb/a.iso", v), TaperHeaderState::kNone);
    EXPECT_EQ(readTaperHeader(&plain, "/d/a.3nb.bak", v), TaperHeaderState::kNone);
}

TEST(TaperHeaderRule, TheLoaderFollowsTheRule) {
    const std::string good = withHeader(
        "Korvex -Version 2.0 -Type ZD -Height 50.000 -Width 1.001 -Base 10.000 -R 0.000 -Degree 1.001");
    LoadedProgram p;
    LoadFailure f;
    ASSERT_EQ(loadText(good, "/p/part.4nb", p, f), 0) << f.message;
    EXPECT_TRUE(p.taper.present);
    EXPECT_EQ(p.taper.widthX10, 10);
    EXPECT_EQ(p.taper.angleX1000, 1001);

    ASSERT_EQ(loadText(kBody, "/p/plain.iso", p, f), 0) << f.message;
    EXPECT_FALSE(p.taper.present);
    EXPECT_EQ(loadText(kBody, "/p/PLAIN.3Nb", p, f), -1);
    EXPECT_EQ(f.message, "Format error,invalid taper file!");
    // A header line that starts right but is incomplete fails whatever the name.
    EXPECT_EQ(loadText(withHeader("Korvex -Version 2.0 -Type ZD -Height 50"), "/p/x.iso", p, f), -1);
    EXPECT_EQ(f.status, LoadStatus::kBadTaperHeader);
}

TEST(TaperHeaderRule, AProgramToBeCutNeedsUsableTaperValues) {
    LoadOptions cut;
    cut.requireTaperValues = true;
    LoadedProgram p;
    LoadFailure f;
    for (const std::string& text :
         {std::string(kBody),
          withHeader("Korvex -Version 2.0 -Type ZD -Height 50 -Width 0.09 -Base 10 -R 0 -Degree 0"),
          withHeader("Korvex -Version 2.0 -Type ZD -Height 0 -Width 20 -Base 10 -R 0 -Degree 0")}) {
        EXPECT_EQ(loadProgramText(text, "/p/part.iso", cut, p, f), -1) << text;
        EXPECT_EQ(f.message, "Format error,invalid taper file!");
        EXPECT_EQ(loadProgramText(text, "/p/part.iso", {}, p, f), 0) << "inspection still loads it";
    }
    EXPECT_EQ(loadProgramText(withHeader("Korvex -Version 2.0 -Type ZD -Height 0.1 -Width 0.1 -Base 0 -R 0 "
                                         "-Degree 0"),
                              "/p/part.iso", cut, p, f),
              0)
        << f.message;
    // One contour needs no taper values.
    EXPECT_EQ(loadProgramText("N0 G92 X0 Y0;\nN1 G01 X1.000 Y0.000;\nN2 M02;\n", "/p/a.iso", cut, p, f), 0);
}

}  // namespace
}  // namespace korvex
