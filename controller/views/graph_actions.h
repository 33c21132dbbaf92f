// The View menu and the toolbar's View group: Fit (Home), Move (Space, checked while on), Zoom In
// (Page Up), Zoom Out (Page Down), Grid (checked) and Full Screen (the large readout, checked).
// The keys are window shortcuts, so they act wherever the focus is in the main window.
#pragma once

#include <QObject>

#include <array>
#include <cstddef>
#include <cstdint>

class QAction;
class QMenu;
class QToolBar;

namespace korvex {

class CGraphView;

class GraphViewActions : public QObject {
    Q_OBJECT
public:
    enum class Entry : uint8_t { Fit, Move, ZoomIn, ZoomOut, Grid, FullScreen };
    static constexpr std::size_t kEntryCount = 6;

    // Fills `menu` in menu order and adds all but Grid to `toolBar`; a widget `parent` (the main
    // window) gets the entries as well, for their keys.
    GraphViewActions(QMenu* menu, QToolBar* toolBar, CGraphView* view, QObject* parent = nullptr);

    QAction* action(Entry entry) const { return actions_[static_cast<std::size_t>(entry)]; }

private:
    std::array<QAction*, kEntryCount> actions_{};
};

}  // namespace korvex
