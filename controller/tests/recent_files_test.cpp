#include "controller/recent_files.h"

#include "platform/settings_file.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(RecentFiles, MostRecentFirstWithoutRepeatsAndAtMostFour) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Korvex.ini");
    RecentFiles recent(ini);
    EXPECT_TRUE(recent.entries().isEmpty());
    for (const char* p : {"/p/a.3b", "/p/b.3b", "/p/c.iso", "/p/d.3b"})
        ASSERT_EQ(recent.add(p), 0);
    EXPECT_EQ(recent.entries(), (QStringList{"/p/d.3b", "/p/c.iso", "/p/b.3b", "/p/a.3b"}));
    // A path already listed moves to the top, whatever its letter case.
    ASSERT_EQ(recent.add("/P/B.3B"), 0);
    EXPECT_EQ(recent.entries(), (QStringList{"/P/B.3B", "/p/d.3b", "/p/c.iso", "/p/a.3b"}));
    // The fifth distinct file pushes the oldest out.
    ASSERT_EQ(recent.add("/p/e.3b"), 0);
    EXPECT_EQ(recent.entries(), (QStringList{"/p/e.3b", "/P/B.3B", "/p/d.3b", "/p/c.iso"}));
    SettingsFile file(ini);
    EXPECT_EQ(file.readInt("Mru File", "FileNum", -1), 4);
    EXPECT_EQ(file.readText("Mru File", "1", ""), "/p/e.3b");

    ASSERT_EQ(recent.clear(), 0);
    EXPECT_TRUE(recent.entries().isEmpty());
    EXPECT_EQ(file.readInt("Mru File", "FileNum", -1), 0);
    EXPECT_FALSE(file.readText("Mru File", "1").has_value());
}

TEST(RecentFiles, DamagedListsAreReadSafely) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Korvex.ini");
    SettingsFile file(ini);
    ASSERT_EQ(file.writeText("Mru File", "1", "/p/a.3b"), 0);
    ASSERT_EQ(file.writeText("Mru File", "2", "/P/A.3b"), 0);
    ASSERT_EQ(file.writeText("Mru File", "4", "/p/d.3b"), 0);
    ASSERT_EQ(file.writeInt("Mru File", "FileNum", 7), 0);  // out of range: none
    EXPECT_TRUE(RecentFiles(ini).entries().isEmpty());
    ASSERT_EQ(file.writeInt("Mru File", "FileNum", 4), 0);  // gap and repeat skipped
    EXPECT_EQ(RecentFiles(ini).entries(), (QStringList{"/p/a.3b", "/p/d.3b"}));
}

}  // namespace
}  // namespace korvex
