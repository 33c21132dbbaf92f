// ActionTable: every entry of the main window's menus as one QAction, built from the command
// rows (command_table.h) in menu order, with the toolbar's groups and the owner-drawn menus.
// The rules come whole from the work state, so recompute() sets every entry again after each
// run-state read, flag or mark change and none can be left enabled from an older state.
//
// Actions another module makes (the graph view's View entries, the Edit commands, the hand-off
// buttons) are adopted: placed, keyed and enabled here, triggered there. The Config and Option
// entries run the dialogs of the configuration registry (configMenuItems); an entry whose
// dialog does not exist yet stays disabled.
#pragma once

#include <QObject>

#include <array>
#include <functional>
#include <optional>

#include "controller/command_table.h"
#include "controller/config/config_menu.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QProxyStyle;

namespace korvex {

class GraphViewActions;
class EditCommandSet;

class ActionTable : public QObject {
    Q_OBJECT
public:
    using Entry = Command;

    struct Sources {
        GraphViewActions* view = nullptr;   // Fit, Move, Zoom In, Zoom Out, Grid, Full Screen
        EditCommandSet* edit = nullptr;     // Generate 3B, transforms, Offset, Taper, Multiple
        QAction* programTool = nullptr;     // toolbar only
        QAction* editor = nullptr;          // toolbar only
    };

    // Fills the window's menu bar and `toolBar`. Every entry starts disabled.
    ActionTable(QMainWindow* window, QToolBar* toolBar, const Sources& sources, QObject* parent = nullptr);

    QAction* action(Command command) const { return actions_[static_cast<std::size_t>(command)]; }
    QMenu* menu(MenuId id) const { return menus_[static_cast<std::size_t>(id)]; }
    // The File menu's "Recent Files" submenu, filled by the window.
    QMenu* recentMenu() const { return recentMenu_; }

    // Enables, checks and labels every entry from `conditions`; the one place that does.
    void recompute(const CommandConditions& conditions);
    const CommandConditions& conditions() const { return conditions_; }

    // The Config and Option entries run their registry rows with this context.
    void setConfigContext(ConfigMenuContext context, QWidget* dialogParent);
    // The calibration dialog's opener; Adjust stays disabled until one is set.
    void setAdjustHandler(std::function<void()> handler);
    bool adjustAvailable() const { return static_cast<bool>(adjust_); }

    // The Config rule of Mobile Notice and the settings dialogs (not rolling, state 0, 1, 2, 11).
    static bool configAllowed(const RunState& run, const WorkFlags& flags);
    // The text id of an entry's fixed label (or its start label when the label follows the state).
    static const char* labelIdOf(Command command) { return commandRow(command).textId; }

private:
    QAction* makeAction(const CommandRow& row);
    void buildToolBar(QToolBar* toolBar, const Sources& sources);
    void setLabel(QAction* action, const char* textId);

    QMainWindow* window_;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<QMenu*, kMenuCount> menus_{};
    QMenu* recentMenu_ = nullptr;
    QProxyStyle* menuStyle_ = nullptr;
    CommandConditions conditions_;
    std::optional<ConfigMenuContext> config_;
    QWidget* configParent_ = nullptr;
    std::function<void()> adjust_;
};

}  // namespace korvex
