#include "platform/string_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvex {
namespace {

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

QSet<QString> idsOf(const QString& tsFile) {
    QFile file(tsFile);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << tsFile.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    QSet<QString> ids;
    static const QRegularExpression id(QStringLiteral("<message id=\"([^\"]+)\""));
    for (auto it = id.globalMatch(text); it.hasNext();)
        ids.insert(it.next().captured(1));
    return ids;
}

TEST(StringTable, LanguageOptionAndLocale) {
    EXPECT_EQ(parseLanguage("zh"), Language::Chinese);
    EXPECT_EQ(parseLanguage(" EN "), Language::English);
    EXPECT_FALSE(parseLanguage("fr"));
    EXPECT_EQ(languageForLocale(QLocale(QLocale::Chinese, QLocale::Taiwan)), Language::Chinese);
    EXPECT_EQ(languageForLocale(QLocale(QLocale::German)), Language::English);
}

// Every text the controller shows in English must also exist in Chinese, and the other way.
TEST(StringTable, EnglishAndChineseTablesHoldTheSameIdentifiers) {
    const QDir dir(QStringLiteral(KORVEX_TRANSLATIONS_DIR));
    const QStringList tables = dir.entryList({"*_en.ts"});
    EXPECT_GE(tables.size(), 3);
    for (const QString& en : tables) {
        QString zh = en;
        zh.replace("_en.ts", "_zh.ts");
        EXPECT_EQ(idsOf(dir.filePath(en)), idsOf(dir.filePath(zh))) << en.toStdString();
    }
}

// A text asked for by an identifier no table holds shows the bare identifier to the operator.
TEST(StringTable, EveryIdentifierTheProgramsAskForIsInATable) {
    const QDir dir(QStringLiteral(KORVEX_TRANSLATIONS_DIR));
    QSet<QString> known;
    for (const QString& en : dir.entryList({"*_en.ts"}))
        known += idsOf(dir.filePath(en));
    static const QRegularExpression use(QStringLiteral("qtTrId\\(\"([^\"]+)\"\\)"));
    int uses = 0;
    for (const char* folder : {"controller", "platform"}) {
        QDirIterator it(QString::fromUtf8(KORVEX_SOURCE_DIR) + QLatin1Char('/') + QLatin1String(folder),
                        {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QLatin1String("/tests/")))
                continue;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QString text = QString::fromUtf8(file.readAll());
            for (auto m = use.globalMatch(text); m.hasNext(); ++uses) {
                const QString id = m.next().captured(1);
                EXPECT_TRUE(known.contains(id)) << id.toStdString() << " in " << path.toStdString();
            }
        }
    }
    EXPECT_GT(uses, 50);
}

TEST(StringTable, ChineseIsInstalledOverEnglishFromTheEmbeddedFiles) {
    int argc = 1;
    char name[] = "platform_tests";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    EXPECT_FALSE(embeddedTranslationFiles(Language::English).isEmpty());
    EXPECT_EQ(qtTrId("61656"), QString("61656"));  // nothing installed yet
    ASSERT_GT(installTranslations(Language::Chinese), 1);
    EXPECT_EQ(qtTrId("61656"), QString::fromUtf8("读取组号表失败！"));
    EXPECT_EQ(qtTrId("61537"), QString::fromUtf8("无机床名"));
}

// Beside the program (a build tree) first, then ../share/korvex/translations (a package unpacked
// under any root), then the embedded tables; a folder without the English tables is passed over.
TEST(StringTable, TablesBesideTheProgramThenInstalledThenEmbedded) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath("usr/bin");
    const QString installed = root.filePath("usr/share/korvex/translations");
    const QString beside = bin + "/translations";
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(installed));
    EXPECT_EQ(findTranslationDirectory(bin), ":/i18n");
    touch(installed + "/korvex_zh.qm");
    EXPECT_EQ(findTranslationDirectory(bin), ":/i18n");
    touch(installed + "/korvex_en.qm");
    touch(installed + "/tavrel_zh.qm");
    EXPECT_EQ(findTranslationDirectory(bin), installed);
    EXPECT_EQ(translationFiles(installed, Language::Chinese),
              QStringList({installed + "/korvex_zh.qm", installed + "/tavrel_zh.qm"}));
    ASSERT_TRUE(QDir().mkpath(beside));
    touch(beside + "/tavrel_en.qm");
    EXPECT_EQ(findTranslationDirectory(bin), beside);
    EXPECT_EQ(findTranslationDirectory(QString()), ":/i18n");
}

}  // namespace
}  // namespace korvex
