// The operator-visible texts of both programs come from Qt's identifier-based translations:
// qtTrId("61482") looks the text up by its number. Every module keeps its texts in
// resources/translations/<module>_<lang>.ts; the build compiles all of them, embeds the results
// under ":/i18n/" and also places the ".qm" files where a program finds them on disk: in
// "translations" beside a program of the build tree, and in /usr/share/korvex/translations for
// an installed one. Files on disk win, so a package's tables can be corrected without a new
// build; the embedded copies serve when none are there. English is installed first and the
// chosen language over it, so a text missing from a translation still shows in English rather
// than as its bare number.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCoreApplication;
class QLocale;

namespace korvex {

enum class Language { English, Chinese };

// "en" or "zh" (letter case ignored); anything else is not a language we ship.
std::optional<Language> parseLanguage(const QString& text);
// Chinese for a Chinese locale, English for every other.
Language languageForLocale(const QLocale& locale);
// The file-name suffix of a language: "en" or "zh".
QString languageCode(Language language);

// Installs a translator for every ".qm" of `language` (and the English ones beneath it) from
// translationDirectory(). Returns the number of translators installed, or -1 when none was
// found. Call once, on the user-interface thread, after the application object exists.
int installTranslations(Language language);

// The folder holding the tables for a program in `programDir`: "<programDir>/translations"
// (build tree), else "<programDir>/../share/korvex/translations" (installed, wherever the
// package's root is), else the embedded ":/i18n". A folder counts when it holds an English table.
QString findTranslationDirectory(const QString& programDir);
// findTranslationDirectory() for the running program; needs the application object.
QString translationDirectory();

// The translation files of one language in `directory`, sorted by name.
QStringList translationFiles(const QString& directory, Language language);
// The embedded translation files of one language, for diagnostics and tests.
QStringList embeddedTranslationFiles(Language language);

}  // namespace korvex
