#include "platform/string_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvex {

namespace {
constexpr char kEmbeddedDir[] = ":/i18n";
// Relative to the program's folder, in the order they are tried.
constexpr const char* kDiskDirs[] = {"translations", "../share/korvex/translations"};
}

std::optional<Language> parseLanguage(const QString& text) {
    const QString code = text.trimmed().toLower();
    if (code == QLatin1String("en"))
        return Language::English;
    if (code == QLatin1String("zh"))
        return Language::Chinese;
    return std::nullopt;
}

Language languageForLocale(const QLocale& locale) {
    return locale.language() == QLocale::Chinese ? Language::Chinese : Language::English;
}

QString languageCode(Language language) {
    return language == Language::Chinese ? QStringLiteral("zh") : QStringLiteral("en");
}

QStringList translationFiles(const QString& directory, Language language) {
    const QDir dir(directory);
    const QString pattern = QStringLiteral("*_%1.qm").arg(languageCode(language));
    QStringList files;
    for (const QString& name : dir.entryList({pattern}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

QStringList embeddedTranslationFiles(Language language) {
    return translationFiles(QString::fromLatin1(kEmbeddedDir), language);
}

QString findTranslationDirectory(const QString& programDir) {
    if (!programDir.isEmpty()) {
        for (const char* relative : kDiskDirs) {
            const QString dir = QDir::cleanPath(programDir + QLatin1Char('/') + QLatin1String(relative));
            if (!translationFiles(dir, Language::English).isEmpty())
                return dir;
        }
    }
    return QString::fromLatin1(kEmbeddedDir);
}

QString translationDirectory() { return findTranslationDirectory(QCoreApplication::applicationDirPath()); }

int installTranslations(Language language) {
    const QString directory = translationDirectory();
    QStringList files = translationFiles(directory, Language::English);
    if (language != Language::English)
        files << translationFiles(directory, language);
    int installed = 0;
    for (const QString& file : files) {
        // Owned by the application object: translators stay installed for the process's life.
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(file) && QCoreApplication::installTranslator(translator))
            ++installed;
        else
            delete translator;
    }
    if (language == Language::Chinese) {
        // Qt's own texts (the OK, Cancel, Yes and No of message boxes, the file dialogs) from the
        // system's Qt catalogue when it is installed; without it those stay in English.
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QStringLiteral("qtbase_zh_CN"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(translator))
            ++installed;
        else
            delete translator;
    }
    return installed > 0 ? installed : -1;
}

}  // namespace korvex
