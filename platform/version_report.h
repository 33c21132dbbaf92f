// What --version of the two Qt programs prints: the version line every Korvex program shows and
// the folder the program's string tables are read from, so that an installer can see at once
// whether an installed program finds its translations.
#pragma once

#include <QString>

#include <korvex_version.h>

namespace korvex {

// "korvex 6.5.0.1 (git ...)\ntranslations: /usr/share/korvex/translations\n", with a line
// "package: korvex 6.5.0.1" before the last when `version` is not the product's. Needs the
// application object (the folder is found from the program's own path).
QString versionReport(const char* program, const char* version = kProductVersion);

}  // namespace korvex
