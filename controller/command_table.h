// The main window's commands as one declarative table: every menu entry with its menu, text id,
// object name, key and toolbar group, and the one function that decides from the work state
// whether an entry is offered. Widget-free, so the rules can be tested as a table.
#pragma once

#include <QKeyCombination>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "controller/config/config_rules.h"
#include "controller/machining/work_state.h"

namespace korvex {

enum class Command : uint8_t {
    // File
    Generate3B, Open, Close, Reset, ClearRecent, Quit,
    // Edit
    ForwardFlip, ReverseFlip, VerticalMirror, HorizontalMirror, Statistics, Offset, Taper, Multiple,
    SegmentMultiple,
    // View
    Fit, Move, ZoomIn, ZoomOut, ToolBar, StatusBar, Grid, FullScreen,
    // Config
    Phase, Speed, Backward, Clearance, Loop, Track, MobileNotice, MultTest, Direction, StopMachine,
    MultTable, PlanPause, RestoreDefault,
    // Control
    Motor, Freq, FastRoll, SegmentStop, ReturnOrigin, Walk, Cut, Back, Reverse, IgnorePause, SpeedUp,
    SpeedDown, Adjust,
    // Option
    Option,
    // Help
    About, Agent,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::Agent) + 1;

enum class MenuId : uint8_t { File, Edit, View, Config, Control, Option, Help };
inline constexpr std::size_t kMenuCount = 7;

struct CommandRow {
    Command command;
    MenuId menu;
    // Text id of the entry's label; nullptr where another module's action brings its own.
    const char* textId;
    const char* objectName;
    QKeyCombination key;  // Qt::Key_unknown: no key
    bool separatorBefore = false;
    bool checkable = false;
};

// Every entry in menu order.
std::span<const CommandRow> commandRows();
const CommandRow& commandRow(Command command);

// Everything the enable rules read.
struct CommandConditions {
    RunState run;                 // the card's last work state and sub-state
    WorkFlags flags;              // fast roll, reverse, Ignore D, card type
    bool startMark = false;       // a cut recovery's start position waits for the next start
    bool returnMark = false;      // a return recovery waits for Return Origin
    bool programLoaded = false;   // the PC holds a program (the card may hold a work without one)
    bool recentFiles = false;     // the recent-file list is not empty
    bool machiningReady = false;  // start-up ended and the card answers
    bool adjustAvailable = false; // the calibration dialog is there to open
    bool configDialog = false;    // the Config or Option entry's dialog exists
};

// Whether `command` is offered under `c`. The Control entries follow the machining rules
// (menuState), the Config and Option entries the configuration rules, the Edit entries the edit
// rules; what is added here is what only the window knows: a program must be loaded for the
// entries that act on it, since after a declined or failed recovery the card may hold a work
// while the PC holds none.
bool commandEnabled(Command command, const CommandConditions& c);

// The configuration registry's entry behind a Config or Option command.
std::optional<ConfigEntry> configEntryOf(Command command);

// The menu state the Control entries are labelled and checked from.
MenuState controlMenuState(const CommandConditions& c);

}  // namespace korvex
