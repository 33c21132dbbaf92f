// The operator-visible texts of both programs come from Qt's identifier-based translations:
// qtTrId("61482") looks the text up by its number. Every module keeps its texts in
// resources/translations/<module>_<lang>.ts; the build compiles all of them and embeds the
// results under ":/i18n/". English is installed first and the chosen language over it, so a text
// missing from a translation still shows in English rather than as its bare number.
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

// Installs a translator for every embedded ".qm" of `language` (and the English ones beneath
// it). Returns the number of translators installed, or -1 when none was found. Call once, on
// the user-interface thread, after the application object exists.
int installTranslations(Language language);

// The embedded translation files of one language, for diagnostics and tests.
QStringList embeddedTranslationFiles(Language language);

}  // namespace korvex
