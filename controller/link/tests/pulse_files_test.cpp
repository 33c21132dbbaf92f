#include "controller/link/pulse_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace korvex {
namespace {

namespace fs = std::filesystem;

class PulseFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pulse_files_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        ::chmod(dir.c_str(), 0700);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    static std::string contents(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void put(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static PulseFile table(const char* name = nullptr) {
        PulseFile f;
        for (int i = 0; i < kPulseGroupCount; ++i)
            f.groups.push_back(defaultPulseGroup(i, 0));
        if (name)
            f.name = name;
        return f;
    }
    fs::path dir;
};

TEST_F(PulseFiles, SizeTellsTheKindAndRecordsTakeTheirRowAsIndex) {
    PulseFile written = table("rough");
    written.groups[5].index = 2;  // a stray index is no value of the row
    written.groups[5].pulseWidthUs = 30;
    ASSERT_EQ(writePulseFile(path("dao.tbl"), written), 0);
    EXPECT_EQ(contents(path("dao.tbl")).size(), 224u + 5u);

    PulseFile read;
    ASSERT_EQ(readPulseFile(path("dao.tbl"), read), 0);
    ASSERT_EQ(read.groups.size(), 8u);
    EXPECT_EQ(read.groups[5].index, 5);
    EXPECT_EQ(read.groups[5].pulseWidthUs, 30);
    EXPECT_EQ(read.name, "rough");

    put(path("user.tbl"), contents(path("dao.tbl")).substr(0, 224));
    ASSERT_EQ(readPulseFile(path("user.tbl"), read), 0);
    EXPECT_FALSE(read.name);

    PulseFile row;
    row.groups.push_back(written.groups[5]);
    ASSERT_EQ(writePulseFile(path("fine.zif"), row), 0);
    ASSERT_EQ(readPulseFile(path("fine.zif"), read), 0);
    ASSERT_EQ(read.groups.size(), 1u);
    EXPECT_EQ(read.groups[0].index, 0);
}

TEST_F(PulseFiles, WrongSizeOrInvalidRowIsRefusedWhole) {
    ASSERT_EQ(writePulseFile(path("t.tbl"), table()), 0);
    const std::string good = contents(path("t.tbl"));
    PulseFile read = table("kept");
    for (std::size_t size : {0u, 27u, 29u, 223u}) {
        put(path("bad.tbl"), good.substr(0, size));
        EXPECT_EQ(readPulseFile(path("bad.tbl"), read), -1) << size;
    }
    struct Damage { std::size_t at; uint8_t byte; };
    // V.F. 0, V.F. 201, width 1001 (0x3E9), Pi 1001 with width 1, interval behind an empty width.
    const Damage damages[] = {{24, 0}, {24, 201}, {0, 0xE9}, {4, 0xE9}};
    for (const Damage& d : damages) {
        std::string bytes = good;
        bytes[7 * 28 + d.at] = static_cast<char>(d.byte);
        if (d.at == 0 || d.at == 4)
            bytes[7 * 28 + d.at + 1] = 0x03;
        put(path("bad.tbl"), bytes);
        EXPECT_EQ(readPulseFile(path("bad.tbl"), read), -1) << d.at;
    }
    std::string emptyWidth = good;
    emptyWidth[3 * 28] = 0;  // width 0, interval 1
    put(path("bad.tbl"), emptyWidth);
    EXPECT_EQ(readPulseFile(path("bad.tbl"), read), -1);
    EXPECT_EQ(read.name, "kept");
    EXPECT_EQ(readPulseFile(path("missing.tbl"), read), -1);
    EXPECT_EQ(readPulseFile(dir.string(), read), -1);
}

TEST_F(PulseFiles, FailedWriteLeavesTheOldFileAndNoTemporary) {
    ASSERT_EQ(writePulseFile(path("dao.tbl"), table("old")), 0);
    const std::string before = contents(path("dao.tbl"));
    if (::geteuid() != 0) {  // root writes into read-only folders
        ::chmod(dir.c_str(), 0500);
        EXPECT_EQ(writePulseFile(path("dao.tbl"), table("new")), -1);
        ::chmod(dir.c_str(), 0700);
        EXPECT_EQ(contents(path("dao.tbl")), before);
    }
    fs::create_directory(dir / "blocked");
    EXPECT_EQ(writePulseFile(path("blocked"), table()), -1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(PulseFiles, LongNameIsCutOnACharacterBoundary) {
    std::string name(254, 'a');
    name += "\xE7\xB2\x97";  // one three-byte character across the 255-byte limit
    ASSERT_EQ(writePulseFile(path("dao.tbl"), table(name.c_str())), 0);
    PulseFile read;
    ASSERT_EQ(readPulseFile(path("dao.tbl"), read), 0);
    EXPECT_EQ(read.name, std::string(254, 'a'));
}

}  // namespace
}  // namespace korvex
