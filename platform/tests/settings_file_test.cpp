#include "platform/settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvex {
namespace {

void writeRaw(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readRaw(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SettingsFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Korvex.ini"); }
};

TEST_F(SettingsFileTest, MissingFileReadsDefaultsAndIsNotCreatedByReading) {
    SettingsFile ini(path());
    EXPECT_EQ(ini.readInt("Port", "COMM", 3), 3);
    EXPECT_EQ(ini.readText("Doc", "LastFile", "none"), "none");
    EXPECT_FALSE(ini.readText("Doc", "LastFile").has_value());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(SettingsFileTest, SectionsAndKeysIgnoreLetterCase) {
    writeRaw(path(), "[mru file]\nfilenum=2\n[PORT]\nComm = 7\n");
    SettingsFile ini(path());
    EXPECT_EQ(ini.readInt("Mru File", "FileNum", 0), 2);
    EXPECT_EQ(ini.readInt("Port", "COMM", 3), 7);
    // Writing with another spelling changes the existing key instead of adding a second one.
    ASSERT_EQ(ini.writeInt("port", "comm", 9), 0);
    EXPECT_EQ(ini.readInt("Port", "COMM", 3), 9);
    EXPECT_EQ(readRaw(path()).count("omm"), 1);
}

TEST_F(SettingsFileTest, ValuesThatAreNotIntegersOrOutOfRangeCountAsAbsent) {
    writeRaw(path(), "[Multiple]\nDefaultIndex=9\nSwitchTime=abc\nFreq=150\nNeg=-4\nBlank=\n");
    SettingsFile ini(path());
    struct Case { const char* key; int fallback, min, max, expected; };
    const Case cases[] = {
        {"DefaultIndex", 0, 0, 7, 0},  // out of range
        {"SwitchTime", 5, 1, 9, 5},    // not a number
        {"Freq", 1, 1, 200, 150},      // in range
        {"Neg", 0, -10, 10, -4},
        {"Blank", 3, 0, 10, 3},
        {"Missing", 1, 0, 10, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.readInt("Multiple", c.key, c.fallback, c.min, c.max), c.expected) << c.key;
}

TEST_F(SettingsFileTest, WritesKeepOtherKeysAndCommentsAndLeaveNoTemporaryFile) {
    writeRaw(path(), "; written by the operator\n[Option]\nShutMusic=1\n[Port]\nCOM5=/dev/ttyUSB0\n");
    SettingsFile ini(path());
    ASSERT_EQ(ini.writeInt("Port", "COMM", 5), 0);
    ASSERT_EQ(ini.writeText("Mru File", "1", "/home/op/parts/ring 1.3b"), 0);
    EXPECT_EQ(ini.readInt("Option", "ShutMusic", 0), 1);
    EXPECT_EQ(ini.readText("Port", "COM5", ""), "/dev/ttyUSB0");
    EXPECT_EQ(ini.readText("Mru File", "1", ""), "/home/op/parts/ring 1.3b");
    EXPECT_TRUE(readRaw(path()).contains("; written by the operator"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Korvex.ini"});
}

TEST_F(SettingsFileTest, KeysOfSeveralSectionsLandInOneReplace) {
    SettingsFile ini(path());
    ASSERT_EQ(ini.writeText("Option", "Kept", "1"), 0);
    ASSERT_EQ(ini.writeValues({{"Option", "PGPath", "/opt/cam/"}, {"Others", "NoStopAll", "1"}, {"option", "kept", "2"}}), 0);
    EXPECT_EQ(ini.readText("Option", "PGPath", {}), "/opt/cam/");
    EXPECT_EQ(ini.readInt("Others", "NoStopAll", 0), 1);
    EXPECT_EQ(ini.readInt("Option", "Kept", 0), 2);
    // A file that cannot be read back is not replaced.
    ::chmod(QFile::encodeName(path()).constData(), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(ini.writeValues({{"Option", "PGFile", "cam"}}), -1);
    }
    ::chmod(QFile::encodeName(path()).constData(), 0600);
    EXPECT_FALSE(ini.readText("Option", "PGFile").has_value());
}

TEST_F(SettingsFileTest, TextSurvivesNonAsciiAndRemovalOfKeys) {
    SettingsFile ini(path());
    ASSERT_EQ(ini.writeText("Doc", "LastFile", QString::fromUtf8("/工件/齿轮.3b")), 0);
    EXPECT_EQ(ini.readText("Doc", "LastFile", ""), QString::fromUtf8("/工件/齿轮.3b"));
    ASSERT_EQ(ini.removeKey("Doc", "LastFile"), 0);
    EXPECT_FALSE(ini.readText("Doc", "LastFile").has_value());
    EXPECT_EQ(ini.removeKey("Doc", "Absent"), 0);
}

// Two controllers on one PC share Korvex.ini; neither may lose the other's keys.
TEST_F(SettingsFileTest, WritersInTwoProcessesLoseNoKey) {
    constexpr int kKeysEach = 40;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const char* who = child == 0 ? "child" : "parent";
    SettingsFile ini(path());
    for (int i = 0; i < kKeysEach; ++i)
        ini.writeInt(who, QString::number(i), i);
    if (child == 0)
        _exit(0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    for (const char* section : {"child", "parent"})
        for (int i = 0; i < kKeysEach; ++i)
            EXPECT_EQ(ini.readInt(section, QString::number(i), -1), i) << section << i;
}

TEST_F(SettingsFileTest, WriteFailsCleanlyWhenTheDirectoryIsGone) {
    SettingsFile ini(dir.filePath("no/such/dir/Korvex.ini"));
    EXPECT_EQ(ini.writeInt("Port", "COMM", 4), -1);
}

}  // namespace
}  // namespace korvex
