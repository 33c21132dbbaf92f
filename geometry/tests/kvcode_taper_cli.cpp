// kvcode taper and kvcode guides as other tools see them: exact output, messages, exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun kvcode(const std::string& args) {
    static int runNumber = 0;
    const std::string errFile = ::testing::TempDir() + "kvcode_taper_stderr_" + std::to_string(::getpid()) + "_" +
                                std::to_string(++runNumber) + ".txt";
    const std::string command = std::string("cd '") + KORVEX_SOURCE_DIR + "' && '" + KVCODE_PATH + "' " + args +
                                " 2>'" + errFile + "'";
    ToolRun run;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
    const int raw = pclose(p);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errFile, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::remove(errFile.c_str());
    return run;
}

std::string writeTemp(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const char* kSquare =
    "N0 G92 X0.000 Y0.000;\nN1 G01 X5.000 Y0.000;\nN2 G01 X10.000 Y0.000;\nN3 G01 X0.000 Y10.000;\n"
    "N4 G01 X-10.000 Y0.000;\nN5 G01 X0.000 Y-10.000;\nN6 G01 X-5.000 Y0.000;\nN7 M02;\n";
const char* kBanner = "****************************************\n";

TEST(KvcodeTaper, OneGraphPrintsTheFileExactly) {
    const std::string below = writeTemp("below.iso", kSquare);
    const ToolRun r = kvcode("taper one --below '" + below +
                             "' --height 60 --width 10.05 --base 20 --r 0.5 --degree 45 --cell 4=0 --cell 5=");
    ASSERT_EQ(r.status, 0) << r.err;
    // The top side (row 4) and the left one after it (empty: the row above's 0) stay; the
    // bottom and right sides move out by tan 45 * 10.0 (the thickness the card keeps).
    EXPECT_EQ(r.out, std::string(kBanner) +
                         "Korvex -Version 2.0 -Type ZD -Height 60.000 -Width 10.050 -Base 20.000 -R 0.500 "
                         "-Degree 45.000\n" +
                         kBanner +
                         "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
                         "N1 G01 X5.000 Y-10.000 I0.000 J0.000; N1 G01 X5.000 Y0.000;\n"
                         "N2 G01 X20.000 Y0.000 I0.000 J0.000; N2 G01 X10.000 Y0.000;\n"
                         "N3 G01 X0.000 Y20.000 I0.000 J0.000; N3 G01 X0.000 Y10.000;\n"
                         "N4 G01 X-20.000 Y0.000 I0.000 J0.000; N4 G01 X-10.000 Y0.000;\n"
                         "N5 G01 X0.000 Y-20.000 I0.000 J0.000; N5 G01 X0.000 Y-10.000;\n"
                         "N6 G01 X-5.000 Y10.000; N6 G01 X-5.000 Y0.000;\n"
                         "N7 M02; N7 M02;\n");
}

TEST(KvcodeTaper, RefusalsCarryTheDialogsMessagesAndStatuses) {
    const std::string a = writeTemp("a.iso", kSquare);
    const std::string values = " --height 60 --width 10 --base 20";
    struct Case {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {"taper one" + values, 1, "Please select the below or upper graph\n"},
        {"taper one --below '" + a + "' --upper '" + a + "'" + values, 1,
         "Can't select both graphs, please choose below or upper one\n"},
        {"taper one --upper '" + a + "'" + values + " --cell 3=91", 1, "Below graph generated failed\n"},
        {"taper one --below /nonexistent.iso" + values, 1, "The graph showed failed!\n"},
        {"taper two --below '" + a + "'" + values, 1, "Please select the upper and below graph\n"},
        {"taper two --below /nonexistent.iso --upper '" + a + "'" + values, 1,
         "The following file processed failed:\n/nonexistent.iso\n"},
        // A two-contour program cannot be one half of another.
        {"taper two --below '" + a + "' --upper examples/taper-square.iso" + values, 1,
         "The following file processed failed:\nexamples/taper-square.iso\n"},
        {"taper one --below examples/taper-square.iso" + values, 1, "Upper graph generated failed\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = kvcode(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }
    for (const char* bad : {" --height 60 --width 0.05 --base 20", " --height 60 --width 10 --base 20 --degree 90",
                            " --height 60 --width 10.0001 --base 20", " --height 60 --width 10",
                            " --height 60 --width 10 --base 20 --r 101", " --height 60 --width 10 --base 20 --bogus 1"}) {
        EXPECT_EQ(kvcode("taper one --below '" + a + "'" + bad).status, 2) << bad;
    }
}

TEST(KvcodeTaper, TwoGraphsPairsLinesOfEqualCount) {
    const std::string lower = writeTemp("lower.iso", kSquare);
    std::string longer = kSquare;
    longer.insert(longer.find("N3"), "N2 G01 X0.000 Y1.000;\n");
    const std::string upper = writeTemp("upper.iso", longer);
    const ToolRun r = kvcode("taper two --below '" + lower + "' --upper '" + upper + "' --height 60 --width 10 --base 20");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The upper and below graphs have different segments\n");
    const ToolRun same = kvcode("taper two --below '" + lower + "' --upper '" + lower + "' --height 60 --width 10 --base 20");
    ASSERT_EQ(same.status, 0) << same.err;
    EXPECT_NE(same.out.find("\nN3 G01 X0.000 Y10.000; N3 G01 X0.000 Y10.000;\n"), std::string::npos) << same.out;
}

TEST(KvcodeGuides, PrintsTheGuidesAtACursor) {
    // The sample: H 60, T 20, B 20; segment 1 ends with upper (6, 1) over lower (5, 0).
    EXPECT_EQ(kvcode("guides examples/taper-square.iso 1 --end").out, "4000 -1000 3000 3000 0\n");
    EXPECT_EQ(kvcode("guides examples/taper-square.iso 2").out, "4000 -1000 3000 3000 0\n");
    EXPECT_EQ(kvcode("guides examples/taper-square.iso 2 --steps 1000,2000").out, "4000 -1000 6000 3000 0\n");
    EXPECT_EQ(kvcode("guides examples/two-holes.iso 2 --end").status, 0);
    EXPECT_EQ(kvcode("guides examples/taper-square.iso 99").status, 2);
    EXPECT_EQ(kvcode("guides examples/taper-square.iso 1 --steps 1").status, 2);
}

TEST(KvcodeGuides, RefusesTaperValuesThatCannotBeUsed) {
    std::string body;
    std::ifstream in(std::string(KORVEX_SOURCE_DIR) + "/examples/taper-square.iso");
    body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const std::string noHeader = body.substr(body.find("N0 G92"));
    for (const std::string& text :
         {noHeader, std::string(kBanner) +
                        "Korvex -Version 2.0 -Type ZD -Height 60 -Width 0 -Base 20 -R 0 -Degree 0\n" + kBanner + noHeader}) {
        const ToolRun r = kvcode("guides '" + writeTemp("t.iso", text) + "' 1");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Format error,invalid taper file!\n");
    }
    // Thickness 0.1 mm under 100 m rollers' distance: U = 10^6 * 3000 / 1 does not fit.
    const ToolRun far = kvcode(
        "guides '" +
        writeTemp("far.iso", std::string(kBanner) +
                                 "Korvex -Version 2.0 -Type ZD -Height 100000 -Width 0.1 -Base 20 -R 0 -Degree 0\n" +
                                 kBanner +
                                 "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
                                 "N1 G01 X8.000 Y0.000; N1 G01 X5.000 Y0.000;\nN2 M02; N2 M02;\n") +
        "' 1 --end");
    EXPECT_EQ(far.status, 1);
    EXPECT_EQ(far.err, "Guide positions out of range, check the taper values!\n");
}

}  // namespace
