// The Config menu's entries that open the machine configuration dialogs.
#pragma once

#include <functional>

class QMenu;
class QObject;
class QWidget;

namespace korvex {

class CardControl;
class FeedControl;
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
    std::function<void()> cardSettingsShown;   // the Max Speed and Phase panes again
    std::function<void()> machineNameChanged;  // the window caption (alarm titles read the session)
    FeedControl* feed = nullptr;               // the status panel's: tracking mode, group entries, feed
};

// Adds the entries to `menu`; the Mult-Table entry (Ctrl+B) is always enabled.
void installConfigMenu(QMenu* menu, ConfigMenuContext context, QWidget* dialogParent);

// Each runs its dialog as the menu entry does and returns the dialog's result.
int runMultTable(const ConfigMenuContext& context, QWidget* dialogParent);
int runMultTest(const ConfigMenuContext& context, QWidget* dialogParent);  // CHANGE PARAM opens Mult-Table
int runClearance(const ConfigMenuContext& context, QWidget* dialogParent);

}  // namespace korvex
