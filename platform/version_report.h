// What --version of the two Qt programs prints: the version lines every Korvex program shows and
// the folder the program's string tables are read from, so that an installer can see at once
// whether an installed program finds its translations.
#pragma once

#include <QString>

namespace korvex {

// `versionLines` (the program's own: "korvex 6.5.0.1 (git ...)", from <korvex_revision.h>)
// followed by "translations: /usr/share/korvex/translations" and a line end. Needs the
// application object (the folder is found from the program's own path).
QString versionReport(const QString& versionLines);

}  // namespace korvex
