// The work state as the controller sees it: the card's run state and sub-state (read after every
// run event, start, stop, load and at start-up) and the PC's own flags, turned into what every
// menu entry, key, toolbar button and panel button offers. Recomputed as a whole after each
// read, so no control can be left enabled from an older state.
//
// Run states: 0 no program, 1 loaded, 2 paused (sub-state: what was paused; 5 a simulation and
// 12 a return, which Walk, Cut and Back cannot continue), 3 cutting, 4 walking, 5 simulating,
// 6 short-circuit back, 7 manual back, 8-10 stopped, 11 finished, 12 returning to origin.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "controller/link/records.h"

namespace korvex {

enum class Control : uint8_t {
    Motor, Freq, Simulate, Walk, Cut, Back, ReturnOrigin, FastRoll, Reverse, IgnorePause, SegmentStop, Adjust,
};
inline constexpr std::size_t kControlCount = 12;

// The PC's side of the state.
struct WorkFlags {
    bool recovering = false;   // a return-to-origin recovery waits to be continued
    bool rolling = false;      // fast roll runs
    bool reverse = false;
    bool ignorePause = false;
    int cardType = 0;          // the card type digit
};

// The card type digit: bits 16-19 plus bits 20-23 of the card identity, modulo 10.
int cardTypeDigit(uint32_t cardId);

// A menu entry (and its key and toolbar button): enabled, checked, and the text id of its
// label where the label follows the state.
struct MenuEntryState {
    bool enabled = false;
    bool checked = false;
    const char* labelId = nullptr;  // nullptr: the entry keeps its fixed label
};

struct MenuState {
    std::array<MenuEntryState, kControlCount> entries{};
    bool returning = false;  // the return-in-progress flag follows state 12
    const MenuEntryState& operator[](Control c) const { return entries[static_cast<std::size_t>(c)]; }
};

MenuState menuState(const RunState& run, const WorkFlags& flags);

// The six panel buttons.
enum class PanelButton : uint8_t { Simulate, Walk, Cut, Back, Motor, Freq };
inline constexpr std::size_t kPanelButtonCount = 6;

// Labels of the four operation buttons. A start label runs the start routine when pressed, a
// pause label the stop routine.
enum class ButtonLabel : uint8_t { Start, Pause };

struct PanelState {
    // nullopt: the button keeps what it had.
    std::array<std::optional<bool>, kPanelButtonCount> enabled{};
    std::array<std::optional<ButtonLabel>, 4> labels{};  // Simulate, Walk, Cut, Back
    std::optional<bool> operator[](PanelButton b) const { return enabled[static_cast<std::size_t>(b)]; }
};

PanelState panelState(const RunState& run, const WorkFlags& flags);

// The text ids of the operation buttons' labels.
const char* buttonLabelId(PanelButton button, ButtonLabel label);

}  // namespace korvex
