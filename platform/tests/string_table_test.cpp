#include "platform/string_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace korvex {
namespace {

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
    for (const QString& en : dir.entryList({"korvex_en.ts"})) {
        QString zh = en;
        zh.replace("_en.ts", "_zh.ts");
        EXPECT_EQ(idsOf(dir.filePath(en)), idsOf(dir.filePath(zh))) << en.toStdString();
    }
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

}  // namespace
}  // namespace korvex
