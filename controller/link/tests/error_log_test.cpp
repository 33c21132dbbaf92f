#include "controller/link/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace korvex {
namespace {

TEST(LogDirectory, DataDirThenXdgStateThenHome) {
    struct Case {
        const char* dataDir;
        const char* stateHome;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/srv/korvex/", "/xdg", "/home/op", "/srv/korvex/log"},
        {"", "/xdg/state/", "/home/op", "/xdg/state/Korvex-Z Files/log"},
        {nullptr, "relative/ignored", "/home/op", "/home/op/.local/state/Korvex-Z Files/log"},
        {nullptr, nullptr, "/home/op/", "/home/op/.local/state/Korvex-Z Files/log"},
        {nullptr, "/", nullptr, "/Korvex-Z Files/log"},
        {nullptr, nullptr, "", ""},  // no home at all: nothing is written anywhere
    };
    for (const Case& c : cases)
        EXPECT_EQ(LogDirectoryFrom(c.dataDir, c.stateHome, c.home), c.expected)
            << (c.dataDir ? c.dataDir : "-") << " " << (c.stateHome ? c.stateHome : "-");
}

class LogFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvex_logdir_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::filesystem::path root;
};

TEST_F(LogFolderTest, MakesMissingParentsPrivatelyAndRefusesAFileInTheWay) {
    const std::filesystem::path deep = root / "a b" / "Korvex-Z Files" / "log";
    ASSERT_EQ(MakeDirectories(deep.string()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_EQ(MakeDirectories(deep.string()), 0) << "an existing folder is fine";
    struct stat info {};
    ASSERT_EQ(::stat((root / "a b").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    std::ofstream(root / "plain") << "x";
    EXPECT_EQ(MakeDirectories((root / "plain").string()), -1);
    EXPECT_EQ(MakeDirectories((root / "plain" / "log").string()), -1);
    EXPECT_EQ(MakeDirectories(""), -1);
}

int append(ErrorLog& log, uint32_t id, const char* format, ...) __attribute__((format(printf, 3, 4)));
int append(ErrorLog& log, uint32_t id, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = log.Append(id, format, args);
    va_end(args);
    return result;
}

TEST_F(LogFolderTest, ErrorLogGoesToItsFolderPerCardAndNeverToTheCurrentDirectory) {
    const std::filesystem::path dir = root / "log";
    const std::filesystem::path cwd = root / "elsewhere";
    std::filesystem::create_directories(cwd);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(cwd);
    {
        ErrorLog log(dir.string());
        EXPECT_EQ(append(log, 0, "before the identity\n"), -1);
        EXPECT_FALSE(std::filesystem::exists(dir)) << "nothing to write, nothing made";
        EXPECT_EQ(append(log, 0x12, "one %d\n", 1), 0);
        EXPECT_EQ(append(log, 0xabc, "two\n"), 0);
        EXPECT_EQ(append(log, 0x12, "three\n"), 0);
    }
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::is_empty(cwd));
    auto linesOf = [](const std::filesystem::path& p) {
        std::ifstream in(p);
        std::string all, line;
        while (std::getline(in, line)) all += line.substr(line.find("] ") + 2) + "|";
        return all;
    };
    EXPECT_EQ(linesOf(dir / "00000012_Err.txt"), "one 1|three|");
    EXPECT_EQ(linesOf(dir / "00000abc_Err.txt"), "two|");

    ErrorLog nowhere("");
    EXPECT_EQ(append(nowhere, 1, "dropped\n"), -1);
}

}  // namespace
}  // namespace korvex
