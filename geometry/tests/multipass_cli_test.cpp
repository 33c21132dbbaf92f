// `kvcode multipass` as other tools see it: the file printed on stdout, the messages and the exit
// statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "multipass_" + std::to_string(::getpid()) + "_" + name;
}

ToolRun kvcode(const std::string& args) {
    static int run = 0;
    const std::string errFile = tempPath("stderr_" + std::to_string(++run));
    const std::string command = std::string("'") + KVCODE_PATH + "' multipass " + args + " 2>'" + errFile + "'";
    ToolRun r;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errFile, std::ios::binary);
    r.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::remove(errFile.c_str());
    return r;
}

std::string writeProgram(const std::string& name, const std::string& text) {
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const char* const kEdge = "N0 G92 X0.000 Y0.000;\nN1 G01 X10.000 Y0.000;\nN2 M02;\n";
const char* const kSquare =
    "N0 G92 X0.000 Y0.000;\nN1 G01 X5.000 Y0.000;\nN2 G01 X40.000 Y0.000;\nN3 G01 X0.000 Y40.000;\n"
    "N4 G01 X-40.000 Y0.000;\nN5 G01 X0.000 Y-40.000;\nN6 G01 X-5.000 Y0.000;\nN7 M02;\n";

TEST(KvcodeMultipass, PrintsTheWrittenFileAndNothingElse) {
    const std::string square = writeProgram("square.iso", kSquare);
    const ToolRun r = kvcode("'" + square + "' --punch --count 2 --len 2 --groups 3,4 --in 5 --out 6 --first 1 --last 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("****************************************\nKorvex -Version 2.0\n"
                          "****************************************\nN0 G92 X0.000 Y0.000;\nN1 T17 E0F5L0Q0;\n"
                          "N2 G01 X4.000 Y-1.000 I0.000 J0.000;\nN3 T17 E5F3L0Q0;\n",
                          0),
              0u)
        << r.out;
    EXPECT_NE(r.out.find("T17 E3F4L1Q0;"), std::string::npos);
    EXPECT_NE(r.out.find("T17 E4F1L0Q1;"), std::string::npos);
    EXPECT_NE(r.out.find("T17 E1F2L0Q2;"), std::string::npos);
    EXPECT_NE(r.out.find("T17 E2F6L0Q0;\nN21 G01 X-5.000 Y0.000 I0.000 J0.000;\nN22 M02;\n"), std::string::npos);

    // Without --punch the length is not used: every pass is a full loop.
    const ToolRun matrix = kvcode("'" + square + "' --len 2 --count 2");
    ASSERT_EQ(matrix.status, 0) << matrix.err;
    EXPECT_NE(matrix.out.find("N7 G01 X0.000 Y-42.000 I0.000 J0.000;"), std::string::npos) << matrix.out;
}

TEST(KvcodeMultipass, SegmentTrimsTheLoadedLine) {
    const std::string edge = writeProgram("edge.iso", kEdge);
    const ToolRun r = kvcode("--segment 1 '" + edge + "' --count 2 --len 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("N2 G01 X0.000 Y1.000 I0.000 J0.000;\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("N8 T17 E2F0L2Q0;\nN9 G01 X0.000 Y-1.100 I0.000 J0.000;\nN10 M02;\n"), std::string::npos);
}

TEST(KvcodeMultipass, FailuresAndRefusals) {
    const std::string square = writeProgram("square2.iso", kSquare);
    const std::string edge = writeProgram("edge2.iso", kEdge);
    struct Case {
        std::string args;
        int status;
        std::string err;  // exact for the operator's messages; empty for usage errors
    };
    const Case cases[] = {
        {"/no/such/file.iso", 1, "The following file processed failed:\n/no/such/file.iso\n"},
        {"'" + square + "' --punch --len 200 --count 2", 1, "The reserved length is too large!\n"},
        {"'" + edge + "'", 1, "Generate multple file failed\n"},
        {"--segment 0 '" + edge + "'", 1, "Generate multple file failed\n"},
        {"--segment 1 '" + edge + "' --len -2", 1, "Generate multple file failed\n"},
        {"--segment 9 '" + edge + "' --len 2", 1, "Generate multple file failed\n"},
        {"'" + square + "' --count 9", 2, ""},
        {"'" + square + "' --count 1", 2, ""},
        {"'" + square + "' --groups 1,8", 2, ""},
        {"'" + square + "' --offsets 1,5.5", 2, ""},
        {"'" + square + "' --offsets 1,2,3,4,5,1,1,1,1", 2, ""},
        {"'" + square + "' --punch --len -1", 2, ""},
        {"'" + square + "' --last-len nan", 2, ""},
        {"'" + square + "' --count", 2, ""},
        {"'" + square + "' --bogus", 2, ""},
        {"--segment 1 '" + edge + "' --once", 2, ""},
        {"", 2, ""},
    };
    for (const Case& c : cases) {
        const ToolRun r = kvcode(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        if (!c.err.empty()) EXPECT_EQ(r.err, c.err) << c.args;
        else EXPECT_FALSE(r.err.empty()) << c.args;
    }
}

}  // namespace
