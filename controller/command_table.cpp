#include "controller/command_table.h"

#ifdef KORVEX_HAVE_EDIT
#include "controller/edit/edit_commands.h"
#endif

#include <array>
#include <optional>

namespace korvex {
namespace {

using C = Command;
using M = MenuId;

constexpr QKeyCombination none() { return QKeyCombination(Qt::Key_unknown); }
constexpr QKeyCombination ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }
constexpr QKeyCombination plain(Qt::Key key) { return QKeyCombination(key); }

// Menu order. Entries whose action another module makes (the edit commands, the graph view's
// View entries, the Config dialogs) keep that module's text; their rows still fix the key.
constexpr CommandRow kRows[] = {
    {C::Generate3B, M::File, "ed-menu-generate3b", "ed-menu-generate3b", ctrl(Qt::Key_N)},
    {C::Open, M::File, "menu.open", "menu.open", ctrl(Qt::Key_O), true},
    {C::Close, M::File, "menu.close", "menu.close", ctrl(Qt::Key_Q)},
    {C::Reset, M::File, "menu.reset", "menu.reset", ctrl(Qt::Key_Z)},
    {C::ClearRecent, M::File, "menu.clear_recent", "menu.clear_recent", none(), true},
    {C::Quit, M::File, "menu.quit", "menu.quit", none(), true},

    {C::ForwardFlip, M::Edit, "ed-menu-forward-flip", "ed-menu-forward-flip", none()},
    {C::ReverseFlip, M::Edit, "ed-menu-reverse-flip", "ed-menu-reverse-flip", none()},
    {C::VerticalMirror, M::Edit, "ed-menu-vertical-mirror", "ed-menu-vertical-mirror", ctrl(Qt::Key_X)},
    {C::HorizontalMirror, M::Edit, "ed-menu-horizontal-mirror", "ed-menu-horizontal-mirror", ctrl(Qt::Key_Y)},
    {C::Statistics, M::Edit, "menu.statistics", "menu.statistics", none(), true},
    {C::Offset, M::Edit, "ed-menu-offset", "ed-menu-offset", none(), true},
    {C::Taper, M::Edit, "tp-menu-taper", "tp-menu-taper", none()},
    {C::Multiple, M::Edit, "mp-menu-multiple", "mp-menu-multiple", none()},
    {C::SegmentMultiple, M::Edit, "mp-menu-segment", "mp-menu-segment", none()},

    {C::Fit, M::View, "view.fit", "view.fit", plain(Qt::Key_Home)},
    {C::Move, M::View, "view.move", "view.move", plain(Qt::Key_Space), false, true},
    {C::ZoomIn, M::View, "view.zoom_in", "view.zoom_in", plain(Qt::Key_PageUp)},
    {C::ZoomOut, M::View, "view.zoom_out", "view.zoom_out", plain(Qt::Key_PageDown)},
    {C::ToolBar, M::View, "menu.view_toolbar", "menu.view_toolbar", none(), true, true},
    {C::StatusBar, M::View, "menu.view_status_bar", "menu.view_status_bar", none(), false, true},
    {C::Grid, M::View, "view.grid", "view.grid", none(), true, true},
    {C::FullScreen, M::View, "view.full_screen", "view.full_screen", none(), false, true},

    {C::Phase, M::Config, "menu.phase", "PhaseAction", ctrl(Qt::Key_H)},
    {C::Speed, M::Config, "menu.speed", "SpeedAction", ctrl(Qt::Key_V)},
    {C::Backward, M::Config, "menu.backward", "BackwardAction", ctrl(Qt::Key_C)},
    {C::Clearance, M::Config, "config.menu.clearance", "ClearanceAction", ctrl(Qt::Key_R)},
    {C::Loop, M::Config, "menu.loop", "LoopAction", ctrl(Qt::Key_L)},
    {C::Track, M::Config, "menu.track", "TrackAction", ctrl(Qt::Key_G)},
    {C::MobileNotice, M::Config, "menu.mobile_notice", "menu.mobile_notice", ctrl(Qt::Key_E)},
    {C::MultTest, M::Config, "config.menu.multtest", "MultTestAction", ctrl(Qt::Key_M)},
    {C::Direction, M::Config, "menu.direction", "DirectionAction", ctrl(Qt::Key_D), true},
    {C::StopMachine, M::Config, "menu.stop_machine", "StopMachineAction", ctrl(Qt::Key_T)},
    {C::MultTable, M::Config, "config.menu.multtable", "MultTableAction", ctrl(Qt::Key_B), true},
    {C::PlanPause, M::Config, "menu.plan_pause", "PlanPauseAction", ctrl(Qt::Key_F)},
    {C::RestoreDefault, M::Config, "menu.restore_default", "RestoreDefaultAction", none(), true},

    {C::Motor, M::Control, "menu.motor", "menu.motor", plain(Qt::Key_F1)},
    {C::Freq, M::Control, "menu.freq", "menu.freq", plain(Qt::Key_F2)},
    {C::FastRoll, M::Control, "menu.fast_roll", "menu.fast_roll", plain(Qt::Key_F9), false, true},
    {C::SegmentStop, M::Control, "menu.segment_stop", "menu.segment_stop", plain(Qt::Key_F10)},
    {C::ReturnOrigin, M::Control, "menu.return", "menu.return", plain(Qt::Key_F12), true, true},
    {C::Walk, M::Control, "menu.walk", "menu.walk", plain(Qt::Key_F3), false, true},
    {C::Cut, M::Control, "menu.cut", "menu.cut", plain(Qt::Key_F4), false, true},
    {C::Back, M::Control, "menu.back", "menu.back", plain(Qt::Key_F5), false, true},
    {C::Reverse, M::Control, "menu.reverse", "menu.reverse", plain(Qt::Key_F6), false, true},
    {C::IgnorePause, M::Control, "menu.ignore_d", "menu.ignore_d", none(), true, true},
    {C::SpeedUp, M::Control, "menu.speed_up", "menu.speed_up", plain(Qt::Key_Equal)},
    {C::SpeedDown, M::Control, "menu.speed_down", "menu.speed_down", plain(Qt::Key_Minus)},
    {C::Adjust, M::Control, "menu.adjust", "menu.adjust", plain(Qt::Key_F11), true},

    {C::Option, M::Option, "menu.option_korvex", "OptionAction", none()},

    {C::About, M::Help, "menu.about", "menu.about", none()},
    {C::Agent, M::Help, "menu.agent", "menu.agent", none()},
};
static_assert(std::size(kRows) == kCommandCount);

constexpr bool rowsInCommandOrder() {
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (static_cast<std::size_t>(kRows[i].command) != i)
            return false;
    return true;
}
static_assert(rowsInCommandOrder(), "commandRow indexes the rows by command");

bool in(int value, std::initializer_list<int> set) {
    for (int v : set)
        if (v == value)
            return true;
    return false;
}

}  // namespace

std::optional<ConfigEntry> configEntryOf(Command command) {
    switch (command) {
    case C::Phase: return ConfigEntry::Phase;
    case C::Speed: return ConfigEntry::Speed;
    case C::Backward: return ConfigEntry::Backward;
    case C::Clearance: return ConfigEntry::Clearance;
    case C::Loop: return ConfigEntry::Loop;
    case C::Track: return ConfigEntry::Track;
    case C::MobileNotice: return ConfigEntry::MobileNotice;
    case C::MultTest: return ConfigEntry::MultTest;
    case C::Direction: return ConfigEntry::Direction;
    case C::StopMachine: return ConfigEntry::StopMachine;
    case C::MultTable: return ConfigEntry::MultTable;
    case C::PlanPause: return ConfigEntry::PlanPause;
    case C::RestoreDefault: return ConfigEntry::RestoreDefault;
    case C::Option: return ConfigEntry::Option;
    default: return std::nullopt;
    }
}

namespace {

std::optional<Control> controlOf(Command command) {
    switch (command) {
    case C::Motor: return Control::Motor;
    case C::Freq: return Control::Freq;
    case C::FastRoll: return Control::FastRoll;
    case C::SegmentStop: return Control::SegmentStop;
    case C::ReturnOrigin: return Control::ReturnOrigin;
    case C::Walk: return Control::Walk;
    case C::Cut: return Control::Cut;
    case C::Back: return Control::Back;
    case C::Reverse: return Control::Reverse;
    case C::IgnorePause: return Control::IgnorePause;
    case C::Adjust: return Control::Adjust;
    default: return std::nullopt;
    }
}

bool markPending(const CommandConditions& c) { return c.startMark || c.returnMark; }

}  // namespace

std::span<const CommandRow> commandRows() { return kRows; }

const CommandRow& commandRow(Command command) { return kRows[static_cast<std::size_t>(command)]; }

MenuState controlMenuState(const CommandConditions& c) {
    WorkFlags flags = c.flags;
    // The return recovery's mark is what the machining rules call recovering.
    flags.recovering = flags.recovering || c.returnMark;
    return menuState(c.run, flags);
}

bool commandEnabled(Command command, const CommandConditions& c) {
    const int s = c.run.state;
    const bool rolling = c.flags.rolling;
    if (const auto entry = configEntryOf(command)) {
        if (!c.configDialog)
            return false;
        ConfigConditions config;
        config.workState = s;
        config.rolling = rolling;
        config.markPending = markPending(c);
        config.programLoaded = c.programLoaded;
        // Phase switches the motor off, and with a return recovery waiting the motor must stay
        // as the recovery left it (Motor is disabled then too).
        if (command == C::Phase && c.returnMark)
            return false;
        return configEntryEnabled(*entry, config);
    }
    if (const auto control = controlOf(command)) {
        if (!c.machiningReady)
            return false;
        if (command == C::Adjust && !c.adjustAvailable)
            return false;
        // Fast roll switches the motor off, which a waiting return recovery must not lose.
        if (command == C::FastRoll && c.returnMark)
            return false;
        const bool actsOnProgram = in(static_cast<int>(command),
                                      {int(C::SegmentStop), int(C::ReturnOrigin), int(C::Walk), int(C::Cut),
                                       int(C::Back), int(C::Reverse)});
        if (actsOnProgram && !c.programLoaded)
            return false;
        return controlMenuState(c)[*control].enabled;
    }
#ifdef KORVEX_HAVE_EDIT
    EditState edit;
    edit.cardWorkState = s;
    edit.fastRolling = rolling;
    edit.recoveryMarkPending = markPending(c);
#endif
    switch (command) {
    case C::Open: return !rolling && in(s, {0, 1, 2, 11});
    case C::Close:
    case C::Reset: return c.programLoaded && !rolling && in(s, {1, 2, 11});
    case C::ClearRecent: return c.recentFiles;
    case C::Statistics: return c.programLoaded && !rolling && in(s, {1, 2});
#ifdef KORVEX_HAVE_EDIT
    case C::Generate3B: return generate3BEnabled(edit);
    case C::ForwardFlip:
    case C::ReverseFlip:
    case C::VerticalMirror:
    case C::HorizontalMirror:
    case C::Offset: return c.programLoaded && deriveEnabled(edit);
    case C::Multiple:
    case C::SegmentMultiple: return c.programLoaded && multipleEnabled(edit);
    case C::Taper: return true;
#endif
    case C::SpeedUp:
    case C::SpeedDown: return c.machiningReady;
    case C::Quit:
    case C::Fit:
    case C::Move:
    case C::ZoomIn:
    case C::ZoomOut:
    case C::ToolBar:
    case C::StatusBar:
    case C::Grid:
    case C::FullScreen:
    case C::About:
    case C::Agent: return true;
    default: return false;
    }
}

}  // namespace korvex
