// Where the card link's files go when the controller drives it.
#include "controller/link/error_log.h"
#include "controller/tests/controller_fixture.h"
#include "platform/data_dirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvex::testing {
namespace {

// The controller finds the folder with Qt, the tools without: both must name the same one.
TEST(LogFolder, ControllerAndToolsAgree) {
    const char* names[] = {"KORVEX_DATA_DIR", "XDG_STATE_HOME", "HOME"};
    std::vector<std::pair<QByteArray, bool>> saved;
    for (const char* n : names)
        saved.emplace_back(qgetenv(n), qEnvironmentVariableIsSet(n));
    struct Case {
        const char* dataDir;
        const char* stateHome;
        const char* home;
    };
    const Case cases[] = {
        {"/srv/korvex", "/xdg", "/home/op"},
        {nullptr, "/xdg/state", "/home/op"},
        {nullptr, "relative", "/home/op"},
        {nullptr, nullptr, "/home/op"},
    };
    for (const Case& c : cases) {
        const char* values[] = {c.dataDir, c.stateHome, c.home};
        for (int i = 0; i < 3; ++i)
            values[i] ? qputenv(names[i], values[i]) : qunsetenv(names[i]);
        EXPECT_EQ(logDirectory().toStdString(), DefaultLogDirectory());
    }
    for (int i = 0; i < 3; ++i)
        saved[i].second ? qputenv(names[i], saved[i].first) : qunsetenv(names[i]);
}

TEST_F(ControllerTest, ALostLinkIsWrittenToTheCardsErrorLogInTheLogFolder) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.card.server().setSilence(true);
    EXPECT_NE(c.link.keepAlive(), 0);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    QFile log(QDir(logDirectory()).filePath(QStringLiteral("00220000_Err.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << log.fileName().toStdString();
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.startsWith(QLatin1Char('['))) << text.toStdString();
    EXPECT_TRUE(text.contains(c.operatorUi.messages[0].text.section(QLatin1Char('\n'), 0, 0)));
    EXPECT_TRUE(text.endsWith(QLatin1Char('\n')));
    // The link's frames of the failed heartbeat lie beside it.
    EXPECT_TRUE(QFileInfo::exists(QDir(logDirectory()).filePath(QStringLiteral("00220000_Link.txt"))));
    EXPECT_FALSE(QFileInfo::exists(QDir(data.path()).filePath(QStringLiteral("00220000_Err.txt"))));
}

}  // namespace
}  // namespace korvex::testing
