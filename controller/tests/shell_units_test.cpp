#include "controller/command_line.h"
#include "controller/machine_session.h"
#include "controller/tests/shell_test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(CommandLine, OptionsAndTheProgramFile) {
    struct Case {
        QStringList args;
        std::optional<Language> language;
        QString port, connect, file;
        bool error;
    };
    const Case cases[] = {
        {{"korvex"}, std::nullopt, "", "", "", false},
        {{"korvex", "--lang", "zh", "--port", "/dev/ttyUSB0"}, Language::Chinese, "/dev/ttyUSB0", "", "", false},
        {{"korvex", "--lang=EN", "--connect", "/tmp/card", "/p/a.3b"}, Language::English, "", "/tmp/card", "/p/a.3b", false},
        {{"korvex", "--lang", "fr"}, std::nullopt, "", "", "", true},
        {{"korvex", "/p/a.3b", "/p/b.3b"}, std::nullopt, "", "", "", true},
        {{"korvex", "--bogus"}, std::nullopt, "", "", "", true},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(!line.error.isEmpty(), c.error);
        if (c.error)
            continue;
        EXPECT_EQ(line.language, c.language);
        EXPECT_EQ(line.portDevice, c.port);
        EXPECT_EQ(line.connectDevice, c.connect);
        EXPECT_EQ(line.programPath, c.file);
    }
    // A relative program path is made absolute against the working directory.
    EXPECT_EQ(parseCommandLine({"korvex", "part.3b"}).programPath, QDir::current().absoluteFilePath("part.3b"));
}

TEST(CommandLine, HelpAndVersionAreAnsweredWithoutTheWindow) {
    testing::ensureApplication();
    const std::optional<QString> version = infoText({"korvex", "--version"});
    ASSERT_TRUE(version.has_value());
    EXPECT_TRUE(version->startsWith(QStringLiteral("korvex %1").arg(kBuildVersion))) << version->toStdString();
    // The test program has no tables beside it: the embedded ones are named.
    EXPECT_TRUE(version->contains(QStringLiteral("\ntranslations: embedded"))) << version->toStdString();
    const std::optional<QString> help = infoText({"korvex", "--lang", "zh", "-h"});
    ASSERT_TRUE(help.has_value());
    for (const char* option : {"--connect", "--port", "--lang", "--version", "Example:"})
        EXPECT_TRUE(help->contains(option)) << option;
    EXPECT_FALSE(infoText({"korvex", "--connect", "/dev/ttyS0", "part.3b"}).has_value());
    // A line the start cannot understand is reported by the start itself.
    EXPECT_FALSE(infoText({"korvex", "--help", "--bogus"}).has_value());
}

TEST(MachineName, TakenUpToTheFirstZeroAndNeverCutInsideACharacter) {
    struct Case {
        QByteArray bytes;
        QString name;
    };
    const QByteArray han = QString::fromUtf8("线").toUtf8();  // three bytes
    QByteArray full(31, 'A');
    full += han.left(1);                                       // the card cut the last character
    QByteArray exact(29, 'B');
    exact += han;
    const Case cases[] = {
        {QByteArray("EDM-1\0garbage", 13), "EDM-1"},
        {full, QString(31, 'A')},
        {exact, QString(29, 'B') + QString::fromUtf8("线")},
        {QByteArray(QString::fromUtf8("一号机").toUtf8()).append('\0'), QString::fromUtf8("一号机")},
        {QByteArray(32, '\0'), ""},
    };
    for (const Case& c : cases) {
        QByteArray padded = c.bytes.left(kMaxMachineNameBytes);
        padded.resize(kMaxMachineNameBytes, '\0');
        EXPECT_EQ(machineNameFromBytes(padded.constData(), kMaxMachineNameBytes), c.name);
    }
    testing::ensureApplication();
    MachineSession session;
    session.takeMachineName();
    EXPECT_EQ(session.machineName, "Noname");
    session.port = {"/dev/ttyS2", 3};
    EXPECT_EQ(session.windowTitle("part.3b"), "Noname-part.3b : COM3");
    EXPECT_EQ(session.alarmTitle(), QString::fromUtf8("【Noname-COM3】"));
}

// Every text the shell asks the string table for must exist in it, in every language shipped;
// a missing one would show its bare identifier to the operator.
TEST(StringTable, EveryIdentifierTheShellUsesIsTranslated) {
    static const QRegularExpression use(QStringLiteral("qtTrId\\(\"([^\"]+)\"\\)"));
    static const QRegularExpression defined(QStringLiteral("<message id=\"([^\"]+)\""));
    const QDir root(QStringLiteral(KORVEX_SOURCE_DIR));
    QSet<QString> used;
    for (const QString sub : {"controller", "controller/views", "platform"}) {
        for (const QString& name : QDir(root.filePath(sub)).entryList({"*.cpp", "*.h"}, QDir::Files)) {
            QFile f(root.filePath(sub + "/" + name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (auto it = use.globalMatch(text); it.hasNext();)
                used.insert(it.next().captured(1));
        }
    }
    ASSERT_GT(used.size(), 30);
    for (const char* language : {"en", "zh"}) {
        QSet<QString> ids;
        QDir dir(root.filePath("resources/translations"));
        for (const QString& name : dir.entryList({QStringLiteral("*_%1.ts").arg(language)})) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (auto it = defined.globalMatch(text); it.hasNext();)
                ids.insert(it.next().captured(1));
        }
        for (const QString& id : used)
            EXPECT_TRUE(ids.contains(id)) << language << ": " << id.toStdString();
    }
}

}  // namespace
}  // namespace korvex
