// kvtable run as a program on pulse files in a folder of the test's own.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "controller/link/pulse_files.h"

namespace korvex {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    std::string out;
    std::string err;
    int status = -1;
};

class Kvtable : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kvtable_test_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        PulseFile dao;
        for (int i = 0; i < kPulseGroupCount; ++i)
            dao.groups.push_back(defaultPulseGroup(i, 0));
        dao.groups[2].pulseWidthUs = 0;
        dao.groups[2].pulseIntervalUs = 0;
        dao.name = "finish";
        ASSERT_EQ(writePulseFile(path("dao.tbl"), dao), 0);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    std::string contents(const char* name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    ToolRun run(const std::string& args) const {
        ToolRun r;
        const std::string errFile = path("stderr.txt");
        const std::string line = std::string(KVTABLE_PATH) + " " + args + " 2>" + errFile;
        std::FILE* pipe = ::popen(line.c_str(), "r");
        if (pipe == nullptr) return r;
        char buf[512];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(errFile);
        r.err.assign(std::istreambuf_iterator<char>(in), {});
        fs::remove(errFile);
        return r;
    }
    fs::path dir;
};

TEST_F(Kvtable, ShowPrintsTheNameThenTheCellsAsTheDialogShowsThem) {
    const ToolRun r = run("show " + path("dao.tbl"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "name=finish\n"
              "0 1 1 0 0 0 0 50.0\n1 1 1 0 0 0 0 50.0\n2 - - 0 0 0 0 50.0\n3 1 1 0 0 0 0 50.0\n"
              "4 1 1 0 0 0 0 50.0\n5 1 1 0 0 0 0 50.0\n6 1 1 0 0 0 0 50.0\n7 1 1 0 0 0 0 50.0\n");

    std::ofstream(path("row.zif"), std::ios::binary) << contents("dao.tbl").substr(28, 28);
    EXPECT_EQ(run("show " + path("row.zif")).out, "0 1 1 0 0 0 0 50.0\n");

    std::ofstream(path("short.tbl"), std::ios::binary) << contents("dao.tbl").substr(0, 100);
    for (const char* bad : {"short.tbl", "missing.tbl"}) {
        const ToolRun f = run(std::string("show ") + path(bad));
        EXPECT_EQ(f.status, 1) << bad;
        EXPECT_EQ(f.err, "Read Dao table failed\n");
        EXPECT_TRUE(f.out.empty());
    }
}

TEST_F(Kvtable, SetParsesTheRowAsOkDoesAndKeepsTheName) {
    ToolRun r = run("set " + path("dao.tbl") + " 4 20 5 1 2 3 4 0.5");
    ASSERT_EQ(r.status, 0) << r.err;
    PulseFile f;
    ASSERT_EQ(readPulseFile(path("dao.tbl"), f), 0);
    EXPECT_EQ(f.name, "finish");
    EXPECT_EQ(f.groups[4].pulseIntervalUs, 100);
    EXPECT_EQ(f.groups[4].feedValue, 1);
    EXPECT_EQ(f.groups[4].feed, feedEntry(0, 1));

    r = run("set --track 1 " + path("dao.tbl") + " 4 - - 0 0 0 0 100");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(readPulseFile(path("dao.tbl"), f), 0);
    EXPECT_EQ(f.groups[4].pulseWidthUs, 0);
    EXPECT_EQ(f.groups[4].pulseIntervalUs, 0);
    EXPECT_EQ(f.groups[4].feed, feedEntry(1, 200));
}

TEST_F(Kvtable, BadCellWritesNothingAndSaysTheDialogsMessage) {
    const std::string before = contents("dao.tbl");
    struct Case { const char* cells; const char* message; };
    const Case cases[] = {
        {"1 20 5 1 2 3 4 100.5", "V.F. Error!Please input the value between 0.5 and 100\n"},
        {"1 20 5 1 2 3 4 0.4", "V.F. Error!Please input the value between 0.5 and 100\n"},
        {"1 20 1001 1 2 3 4 50", "Pi:must be an integer from 1 to 1000\n"},
        {"1 20 5 1 2 256 4 50", "Amp.:must be an integer from 0 to 255\n"},
        {"8 20 5 1 2 3 4 50", "Please input the number between 0 and 7\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run("set " + path("dao.tbl") + " " + c.cells);
        EXPECT_EQ(r.status, 1) << c.cells;
        EXPECT_EQ(r.err, c.message);
    }
    EXPECT_EQ(contents("dao.tbl"), before);
}

}  // namespace
}  // namespace korvex
