// kvcode's contract as other tools see it: output shapes, messages and exit statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs kvcode with `args` (already quoted for the shell), from the source directory.
ToolRun kvcode(const std::string& args) {
    // CTest runs the tests of this file in parallel processes: each run gets a file of its own.
    static int runNumber = 0;
    const std::string errFile = ::testing::TempDir() + "kvcode_stderr_" +
                                std::to_string(::getpid()) + "_" + std::to_string(++runNumber) + ".txt";
    const std::string command = std::string("cd '") + KORVEX_SOURCE_DIR + "' && '" + KVCODE_PATH +
                                "' " + args + " 2>'" + errFile + "'";
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

TEST(Kvcode, ParsePrintsTheProgramAsJson) {
    const ToolRun r = kvcode("parse examples/two-holes.iso");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"kind\": 1,\n \"lines\": [\"N0 G92 X0.000 Y0.000;\",", 0), 0u) << r.out;
    // The second lead-out missed its start by 1 um and was closed.
    EXPECT_NE(r.out.find("\"N9 G01 X-3.000 Y0.000;\""), std::string::npos);
    EXPECT_NE(r.out.find("{\"twoContour\": 0, \"upper\": {\"kind\": 0, \"startX\": 0, \"startY\": 0, "
                         "\"endX\": 0, \"endY\": 0, \"radius\": 0, \"radiusSquared\": 0, \"groupE\": 0, "
                         "\"groupF\": 0, \"groupL\": 0, \"groupQ\": 0, \"steps\": 0}, \"lower\": {\"kind\": 2, "
                         "\"startX\": 2000, \"startY\": 0, \"endX\": 2000, \"endY\": 0, \"radius\": 2000, "
                         "\"radiusSquared\": 4000000,"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"jumps\": [{\"line\": 5, \"x\": 20, \"y\": 0}],\n \"switches\": [],\n"
                         " \"extents\": {\"minX\": -2000, \"minY\": -3000, \"maxX\": 23000, \"maxY\": 3000},\n"
                         " \"totalSteps\": "),
              std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');

    const ToolRun raw = kvcode("parse --no-force-zero examples/two-holes.iso");
    EXPECT_NE(raw.out.find("\"N9 G01 X-2.999 Y0.000;\""), std::string::npos);

    const ToolRun groups = kvcode("parse examples/groups.iso");
    EXPECT_NE(groups.out.find("\"switches\": [{\"segment\": 1, \"e\": 1, \"f\": 2, \"l\": 0, \"q\": 0}, "
                              "{\"segment\": 4, \"e\": 3, \"f\": 4, \"l\": 1, \"q\": 0}]"),
              std::string::npos);
}

TEST(Kvcode, LinesAreValidJsonWhateverTheirBytes) {
    const std::string path = writeTemp("bytes.iso", "N0 G92 X0 Y0;\nN1 G01 X1 Y0; \xE9\x01\t\"\\\nN2 M02;\n");
    const ToolRun r = kvcode("parse '" + path + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"N1 G01 X1 Y0; \\u00e9\\u0001\\t\\\"\\\\\""), std::string::npos) << r.out;
}

TEST(Kvcode, StepsPrintsCodesAndTheFinalCursor) {
    const ToolRun forward = kvcode("steps examples/square.3b 1");
    ASSERT_EQ(forward.status, 0) << forward.err;
    std::string ones;
    for (int i = 0; i < 5000; ++i) ones += i ? " 1" : "1";
    EXPECT_EQ(forward.out, ones + "\n5000 0 5000\n");
    const ToolRun backward = kvcode("steps examples/square.3b 2 --backward");
    EXPECT_EQ(backward.out.substr(0, 6), "2 2 2 ");
    EXPECT_EQ(backward.out.substr(backward.out.size() - 7), "\n0 0 0\n");
    const ToolRun none = kvcode("steps examples/square.3b 0");
    EXPECT_EQ(none.out, "\n0 0 0\n");
    const ToolRun upper = kvcode("steps examples/taper-square.iso 1 --upper");
    EXPECT_EQ(upper.out.substr(upper.out.size() - 16), "\n6000 1000 6000\n");
    EXPECT_EQ(kvcode("steps examples/square.3b 9").status, 1);
    EXPECT_EQ(kvcode("steps examples/square.3b").status, 2);
}

TEST(Kvcode, InfoPrintsKeyValueLines) {
    const ToolRun r = kvcode("info examples/square.3b");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("kind=2\nlines=9\nsegments=9\njumps=0\nswitches=0\ntotalSteps=50000\n"
                          "lengthMm=50.000\nminX=0\nminY=-5000\nmaxX=15000\nmaxY=5000\nloadMs=", 0),
              0u)
        << r.out;
}

TEST(Kvcode, FailuresExitWithOneAndTheLoadersMessage) {
    struct Case { std::string text; std::string message; };
    const Case cases[] = {
        {"", "The following file can't be opened:\n"},
        {"N0 G92 X0 Y0;\nN1 G01 X1 Y1;\n", "Code error:No end\n"},
        {"hello GDMT\n", "Unknown Code\n"},
        {"B 1 B 2 GX L1\nDD\n", "3B translated failed!\n"},
        {"N0 G92 X0 Y0;\nN1 G07 X1 Y1;\nN2 M02;\n", "File opened failed!\nCode:  1  N1 G07 X1 Y1;\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = writeTemp("fail" + std::to_string(n++) + ".iso", c.text);
        const ToolRun r = kvcode("parse '" + path + "'");
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_EQ(r.out, "");
        if (c.text.empty()) {
            EXPECT_EQ(r.err, c.message + path + "\n");
        } else {
            EXPECT_EQ(r.err, c.message);
        }
    }
    EXPECT_EQ(kvcode("parse").status, 2);
}

// A FIFO, a device or a directory is refused at once by every command that reads a program.
TEST(Kvcode, ReadsOnlyRegularFiles) {
    std::string dir = ::testing::TempDir() + "kvcode_XXXXXX";
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    const std::string fifo = dir + "/pipe.3b";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {std::string("/dev/zero"), fifo, dir}) {
        for (const char* command : {"parse", "info", "transform hmirror", "offset"}) {
            const std::string args =
                std::string(command) + " '" + path + "'" + (std::string(command) == "offset" ? " 0.1" : "");
            const ToolRun r = kvcode(args);
            EXPECT_EQ(r.status, 1) << args;
            EXPECT_EQ(r.err, "The following file can't be opened:\n" + path + "\n") << args;
        }
    }
    std::remove(fifo.c_str());
    rmdir(dir.c_str());
}

TEST(Kvcode, TransformPrintsTheLinesItWouldWrite) {
    const ToolRun flip = kvcode("transform forward-flip examples/square.3b");
    ASSERT_EQ(flip.status, 0) << flip.err;
    EXPECT_EQ(flip.out.rfind("N0 G92;\nN1 G01 X0.000 Y-5.000;\nN2 G01 X-5.000 Y0.000;\n", 0), 0u) << flip.out;
    EXPECT_EQ(flip.out.substr(flip.out.size() - 8), "N8 M02;\n");

    // Reversal keeps the first and last lines; a group switch becomes an empty line.
    const ToolRun reversed = kvcode("transform reverse examples/groups.iso");
    ASSERT_EQ(reversed.status, 0) << reversed.err;
    EXPECT_EQ(reversed.out,
              "N0 G92 X0.000 Y0.000;\nN1 G00 X0.000 Y5.000;\nN2 G01 X5.000 Y0.000;\n\n"
              "N4 G01 X0.000 Y-5.000;\nN5 G01 X-5.000 Y0.000;\n\nN7 M02;\n");

    const ToolRun taper = kvcode("transform vmirror examples/taper-square.iso");
    EXPECT_EQ(taper.status, 1);
    EXPECT_EQ(taper.out, "");
    EXPECT_EQ(taper.err, "Not supported!\n");

    const ToolRun missing = kvcode("transform hmirror examples/no-such-file.iso");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "The following file can't be opened:\nexamples/no-such-file.iso\n");
    EXPECT_EQ(kvcode("transform spin examples/square.3b").status, 2);
}

TEST(Kvcode, Gen3BPrintsTheGeneratorsFile) {
    const std::string input = writeTemp("gen3b.txt", "1.5 -2\n1000 0 1000 GX L1\n3000 4000 2000 GY SR1\n");
    const ToolRun r = kvcode("gen3b < '" + input + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "****************************************\nKorvex -Version 2.0\n"
              "****************************************\nStart Point  =   1.500 , -2.000 ;\n"
              "N    1: B     1000 B        0 B     1000 GX  L1;\n"
              "N    2: B     3000 B     4000 B     2000 GY  SR1;\n"
              "N    3: DD\n");
    const std::string bad = writeTemp("gen3b-bad.txt", "0 0\n1 2 3 GZ L1\n");
    EXPECT_NE(kvcode("gen3b < '" + bad + "'").status, 0);
}

TEST(Kvcode, OffsetPrintsTheCompensatedProgramOrTheOperatorsMessage) {
    const ToolRun r = kvcode("offset examples/square.3b 0.1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "N0 G92 X0.000 Y0.000;\n"
              "N1 G01 X4.900 Y0.000 I0.000 J0.000;\n"
              "N2 G01 X0.000 Y-5.100 I0.000 J0.000;\n"
              "N3 G01 X10.200 Y0.000 I0.000 J0.000;\n"
              "N4 G01 X0.000 Y10.200 I0.000 J0.000;\n"
              "N5 G01 X-10.200 Y0.000 I0.000 J0.000;\n"
              "N6 G01 X0.000 Y-5.100 I0.000 J0.000;\n"
              "N7 G01 X-4.900 Y0.000 I0.000 J0.000;\n"
              "N8 M02;\n");

    struct Case { std::string args; std::string message; };
    // An arc whose end lies off its circle fails the load, as it does for `parse`.
    const std::string offCircle = writeTemp(
        "offcircle.iso",
        "N0 G92 X0.000 Y0.000;\nN1 G01 X1.000 Y0.000;\nN2 G02 X1.000 Y0.000 I5.000 J0.000;\n"
        "N3 G01 X-2.000 Y0.000;\nN4 M02;\n");
    const Case cases[] = {
        {"examples/taper-square.iso 0.1", "Sorry!The function is not supported by taper or multiple!\n"},
        {"examples/groups.iso 0.1", "Sorry!The function is not supported by taper or multiple!\n"},
        {"examples/two-holes.iso 0.1", "The codes with jump segments are not supported in the version!\n"},
        {"examples/square.3b 5.5", "Offset setup failed!\n"},
        {"'" + offCircle + "' 0.1",
         "File opened failed!\nCode:  2  N2 G02 X1.000 Y0.000 I5.000 J0.000;\n"},
    };
    for (const Case& c : cases) {
        const ToolRun f = kvcode("offset " + c.args);
        EXPECT_EQ(f.status, 1) << c.args;
        EXPECT_EQ(f.out, "") << c.args;
        EXPECT_EQ(f.err, c.message) << c.args;
    }
}

}  // namespace
