#include "controller/machining/work_state.h"

#include <initializer_list>

namespace korvex {
namespace {

bool in(int value, std::initializer_list<int> set) {
    for (int v : set)
        if (v == value)
            return true;
    return false;
}

// Paused work that Walk, Cut and Back may continue: not a paused simulation or return.
bool pausedWork(const RunState& r) { return r.state == 2 && r.subState != 5 && r.subState != 12; }

bool simulateAllowed(const RunState& r) {
    return in(r.state, {1, 5}) || (r.state == 2 && in(r.subState, {5, 9})) || (r.state == 11 && r.subState == 5);
}
bool walkAllowed(const RunState& r) { return in(r.state, {1, 4, 8, 9, 10, 11}) || pausedWork(r); }
bool cutAllowed(const RunState& r) { return in(r.state, {1, 3, 6, 8, 9, 10, 11}) || pausedWork(r); }
bool backAllowed(const RunState& r) { return in(r.state, {7, 8, 9}) || pausedWork(r); }
bool motorAllowed(const RunState& r) { return in(r.state, {0, 1, 2, 11}); }
bool freqAllowed(const RunState& r) { return in(r.state, {0, 1, 2, 4, 7, 11}); }

}  // namespace

int cardTypeDigit(uint32_t cardId) { return static_cast<int>(((cardId >> 16) & 0xF) + ((cardId >> 20) & 0xF)) % 10; }

MenuState menuState(const RunState& r, const WorkFlags& f) {
    MenuState m;
    auto set = [&m](Control c, bool enabled, bool checked = false, const char* label = nullptr) {
        m.entries[static_cast<std::size_t>(c)] = {enabled, checked, label};
    };
    const bool free = !f.recovering && !f.rolling;
    set(Control::Motor, free && motorAllowed(r));
    set(Control::Freq, !f.recovering && freqAllowed(r));
    set(Control::Simulate, simulateAllowed(r));
    set(Control::Walk, free && walkAllowed(r), r.state == 4, r.state == 4 ? "menu.pause_walk" : "menu.walk");
    set(Control::Cut, free && cutAllowed(r), r.state == 3, r.state == 3 ? "menu.pause_cut" : "menu.cut");
    set(Control::Back, free && backAllowed(r), r.state == 7, r.state == 7 ? "menu.pause_back" : "menu.back");
    const bool returnAllowed = in(r.state, {12, 8, 9}) || (r.state == 11 && r.subState != 5) ||
                               (r.state == 2 && r.subState != 5);
    set(Control::ReturnOrigin, !f.rolling && returnAllowed, r.state == 12,
        r.state == 12 ? "menu.pause_return" : "menu.return");
    // Fast roll switches the motor off, which a pending return recovery must keep on.
    set(Control::FastRoll, !f.recovering && in(f.cardType, {4, 6}) && in(r.state, {0, 1, 2}), f.rolling);
    set(Control::Reverse, r.state == 1, f.reverse);
    // State 0 clears Ignore D, so it never shows checked there.
    set(Control::IgnorePause, r.state != 0, r.state != 0 && f.ignorePause);
    set(Control::SegmentStop, r.state != 0);
    set(Control::Adjust, in(r.state, {0, 1}));
    m.returning = r.state == 12;
    return m;
}

PanelState panelState(const RunState& r, const WorkFlags& f) {
    PanelState p;
    auto enable = [&p](PanelButton b, bool on) { p.enabled[static_cast<std::size_t>(b)] = on; };
    if (f.recovering) {
        for (auto& e : p.enabled)
            e = false;
        return p;
    }
    if (f.rolling) {
        for (PanelButton b : {PanelButton::Motor, PanelButton::Simulate, PanelButton::Walk, PanelButton::Cut,
                              PanelButton::Back})
            enable(b, false);
        return p;
    }
    enable(PanelButton::Motor, motorAllowed(r));
    enable(PanelButton::Freq, freqAllowed(r));
    enable(PanelButton::Simulate, simulateAllowed(r));
    enable(PanelButton::Walk, walkAllowed(r));
    enable(PanelButton::Cut, cutAllowed(r));
    enable(PanelButton::Back, backAllowed(r));
    // Labels follow the state both ways; in the states not named a button keeps its label.
    auto label = [&p](PanelButton b, std::optional<ButtonLabel> l) {
        if (l)
            p.labels[static_cast<std::size_t>(b)] = l;
    };
    using L = ButtonLabel;
    const int s = r.state;
    label(PanelButton::Simulate, in(s, {1, 2, 11}) ? L::Start : s == 5 ? std::optional(L::Pause) : std::nullopt);
    label(PanelButton::Walk, in(s, {1, 2, 8, 9, 10, 11}) ? L::Start : s == 4 ? std::optional(L::Pause) : std::nullopt);
    label(PanelButton::Cut, in(s, {1, 2, 8, 9, 10, 11}) ? L::Start : in(s, {3, 6}) ? std::optional(L::Pause) : std::nullopt);
    label(PanelButton::Back, in(s, {2, 8, 9, 11}) ? L::Start : s == 7 ? std::optional(L::Pause) : std::nullopt);
    return p;
}

const char* buttonLabelId(PanelButton button, ButtonLabel label) {
    const bool start = label == ButtonLabel::Start;
    switch (button) {
    case PanelButton::Simulate: return start ? "button.simulate" : "button.pause_simulate";
    case PanelButton::Walk: return start ? "button.walk" : "button.pause_walk";
    case PanelButton::Cut: return start ? "button.cut" : "button.pause_cut";
    case PanelButton::Back: return start ? "button.back" : "button.pause_back";
    case PanelButton::Motor: return "button.motor_off";
    case PanelButton::Freq: return "button.freq_off";
    }
    return "";
}

}  // namespace korvex
