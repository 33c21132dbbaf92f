// The registry of the Config and Option menus' dialogs: one row per entry that has a dialog,
// with its text, object name, key and the function that runs it. The main window's action table
// builds the menu entries from these rows and enables them by configEntryEnabled.
#pragma once

#include <Qt>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "controller/config/config_rules.h"

class QMenu;
class QObject;
class QWidget;

namespace korvex {

class CardControl;
class FeedControl;
struct LoadedProgram;
class MachineControl;
class MachineSession;
class OperatorInteraction;
class PulseTable;

struct ConfigMenuContext {
    MachineSession* session = nullptr;
    CardControl* card = nullptr;
    OperatorInteraction* operatorUi = nullptr;
    PulseTable* pulseTable = nullptr;
    std::function<MachineControl*()> machine;   // none before start-up ends
    std::function<int()> trackingMode;          // the status panel's
    std::function<int()> currentGroup;          // of the segment the work is at; -1 when none
    std::function<void()> tableChanged;         // graph view and mini status window
    QObject* timerOwner = nullptr;              // the delayed HF on dies with it
    std::function<bool()> programLoaded;
    // The set-up dialogs and Restore Default, once the card took a change:
    std::function<void()> machineNameChanged;  // the window caption (alarm titles read the session)
    FeedControl* feed = nullptr;               // the status panel's: tracking mode, group entries, feed
    // A recovery mark of either kind waits; default: the machining's return-recovery flag.
    std::function<bool()> markPending;
    std::function<int()> mobileNotice;          // runs the mobile notice settings
    std::function<void()> cardSettingsChanged;  // the Max Speed and Phase panes again
    std::function<int()> loopTotal;
    std::function<void(int)> loopTotalChanged;  // the card took a new loop count
    std::function<std::shared_ptr<const LoadedProgram>()> program;
    std::function<void(int32_t segment, int32_t percent)> planPauseSet;  // the graph view's mark
};

// One entry with a dialog. `key` is taken with Ctrl; Qt::Key_unknown for none.
struct ConfigMenuItem {
    ConfigEntry entry;
    const char* textId;
    const char* objectName;
    Qt::Key key;
    int (*run)(const ConfigMenuContext&, QWidget*);
};

// Every row, in no particular order (the menu's order is the action table's).
std::span<const ConfigMenuItem> configMenuItems();
// The row of `entry`; nullptr while its dialog does not exist.
const ConfigMenuItem* configMenuItem(ConfigEntry entry);
// What the rules look at, read from the context now.
ConfigConditions configConditions(const ConfigMenuContext& context);

// Adds the rows' entries to `menu`, each enabled by its rule when the menu opens (tests and
// tools without the main window's action table).
void installConfigMenu(QMenu* menu, ConfigMenuContext context, QWidget* dialogParent);

// Each runs its dialog as the menu entry does and returns the dialog's result.
int runMultTable(const ConfigMenuContext& context, QWidget* dialogParent);
int runMultTest(const ConfigMenuContext& context, QWidget* dialogParent);  // CHANGE PARAM opens Mult-Table
int runClearance(const ConfigMenuContext& context, QWidget* dialogParent);
int runMobileNotice(const ConfigMenuContext& context, QWidget* dialogParent);
int runLoop(const ConfigMenuContext& context, QWidget* dialogParent);
int runSpeed(const ConfigMenuContext& context, QWidget* dialogParent);  // asks first; Cancel opens nothing
int runBack(const ConfigMenuContext& context, QWidget* dialogParent);
int runPlanPause(const ConfigMenuContext& context, QWidget* dialogParent);
int runTrack(const ConfigMenuContext& context, QWidget* dialogParent);

// Runs the entry's dialog as its menu entry does, when the entry is enabled now; -1 when it is
// not, or no entry runs it.
int runConfigEntry(ConfigEntry entry, const ConfigMenuContext& context, QWidget* dialogParent);

}  // namespace korvex
