#include "platform/data_dirs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvex {
namespace {

class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name), had_(qEnvironmentVariableIsSet(name)),
        old_(qgetenv(name)) {}
    ~EnvGuard() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(DataDirs, EnvironmentOverrideThenXdgThenHome) {
    EnvGuard data("KORVEX_DATA_DIR"), xdg("XDG_DATA_HOME");
    qputenv("KORVEX_DATA_DIR", "/srv/korvex/");
    EXPECT_EQ(dataDirectory(), "/srv/korvex");
    EXPECT_EQ(parameterDirectory(), "/srv/korvex/Param");
    EXPECT_EQ(temporaryDirectory(), "/srv/korvex/Tmp");
    EXPECT_EQ(machineSettingsPath(), "/srv/korvex/Korvex.ini");
    EXPECT_EQ(cardSettingsPath(0x00ab12cdu), "/srv/korvex/00ab12cd.ini");

    qunsetenv("KORVEX_DATA_DIR");
    qputenv("XDG_DATA_HOME", "/xdg");
    EXPECT_EQ(dataDirectory(), "/xdg/Korvex-Z Files");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(dataDirectory(), QDir::homePath() + "/.local/share/Korvex-Z Files");
}

TEST(DataDirs, LogFolderBesideTheDataOrInTheXdgStateDirectory) {
    EnvGuard data("KORVEX_DATA_DIR"), state("XDG_STATE_HOME"), home("HOME");
    qputenv("KORVEX_DATA_DIR", "/srv/korvex/");
    qputenv("XDG_STATE_HOME", "/xdg/state");
    EXPECT_EQ(logDirectory(), "/srv/korvex/log");
    qunsetenv("KORVEX_DATA_DIR");
    EXPECT_EQ(logDirectory(), "/xdg/state/Korvex-Z Files/log");
    qputenv("XDG_STATE_HOME", "relative/ignored");
    qputenv("HOME", "/home/op");
    EXPECT_EQ(logDirectory(), "/home/op/.local/state/Korvex-Z Files/log");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(logDirectory(), "/home/op/.local/state/Korvex-Z Files/log");
    // Without HOME the account's home directory stands in (or no folder at all); never a path
    // relative to the current directory.
    qunsetenv("HOME");
    const QString withoutHome = logDirectory();
    EXPECT_TRUE(withoutHome.isEmpty() || withoutHome.startsWith(QLatin1Char('/'))) << withoutHome.toStdString();
}

// What Qt's file dialogs remember lands in the data directory, not in the user's configuration.
TEST(DataDirs, QtOwnSettingsAreKeptInTheDataDirectory) {
    EnvGuard data("KORVEX_DATA_DIR"), config("XDG_CONFIG_HOME");
    QTemporaryDir dataDir, configDir;
    ASSERT_TRUE(dataDir.isValid() && configDir.isValid());
    qputenv("KORVEX_DATA_DIR", dataDir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", configDir.path().toUtf8());
    keepQtSettingsInDataDirectory();
    {
        QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
        settings.setValue(QStringLiteral("FileDialog/lastVisited"), QStringLiteral("file:///tmp"));
    }
    EXPECT_TRUE(QFileInfo::exists(dataDir.filePath("QtProject.conf")));
    EXPECT_TRUE(QDir(configDir.path()).isEmpty());
}

TEST(DataDirs, CreationMakesAllThreeAndToleratesExistingOnes) {
    EnvGuard data("KORVEX_DATA_DIR");
    QTemporaryDir root;
    qputenv("KORVEX_DATA_DIR", root.filePath("a b/Korvex-Z Files").toUtf8());
    ASSERT_EQ(createDataDirectories(), 0);
    ASSERT_EQ(createDataDirectories(), 0);
    EXPECT_TRUE(QFileInfo(temporaryDirectory()).isDir());
    EXPECT_TRUE(QFileInfo(parameterDirectory()).isDir());
}

}  // namespace
}  // namespace korvex
