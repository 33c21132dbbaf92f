// The toolbar's 32 x 32 pictures, drawn rather than loaded, one per command name.
#pragma once

#include <QIcon>
#include <QString>

namespace tavrel {

// An empty icon for a name without a picture.
QIcon commandIcon(const QString& name);

}  // namespace tavrel
