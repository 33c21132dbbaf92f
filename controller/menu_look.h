// The look of the main window's menus and toolbar: menus drawn by the window's own style (a
// coloured band behind the check marks, a framed highlight, the key right-aligned) and the
// toolbar's 32 x 32 pictures, drawn here so the program ships no picture files.
#pragma once

#include <QIcon>

#include "controller/command_table.h"

class QObject;
class QProxyStyle;

namespace korvex {

inline constexpr int kToolBarIconPx = 32;

// The style the menus are drawn with; owned by `parent`.
QProxyStyle* createMenuStyle(QObject* parent);

// The toolbar picture of a command (a null icon for one that has none).
QIcon toolBarIcon(Command command);
QIcon programToolIcon();
QIcon editorIcon();

}  // namespace korvex
