// ActionTable: the Control menu's entries with their keys, toolbar buttons, labels and enable
// rules. The rules come whole from the work state (menuState), so after every run-state read or
// flag change each entry is set again and none can be left enabled from an older state.
#pragma once

#include <QObject>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "controller/machining/work_state.h"

class QAction;
class QKeySequence;
class QMenu;
class QToolBar;

namespace korvex {

class ActionTable : public QObject {
    Q_OBJECT
public:
    enum class Entry : uint8_t {
        Motor, Freq, FastRoll, SegmentStop, ReturnOrigin, Walk, Cut, Back, Reverse, IgnorePause, SpeedUp, SpeedDown,
    };
    static constexpr std::size_t kEntryCount = 12;

    // Fills `menu` with the entries in menu order and adds the machining ones to `toolBar`.
    // Every entry starts disabled: nothing runs them until the machining operations exist.
    ActionTable(QMenu* menu, QToolBar* toolBar, QObject* parent = nullptr);

    QAction* action(Entry entry) const { return actions_[static_cast<std::size_t>(entry)]; }
    // Enables, checks and labels every entry from the work state. Speed Up and Down step the
    // status panel and are always offered once `machiningReady` is set.
    void apply(const MenuState& state);
    void setMachiningReady(bool ready) { ready_ = ready; }

    // An entry of the Config menu, enabled by the Config rule (not rolling, state 0, 1, 2 or 11)
    // through applyConfig. Starts disabled.
    QAction* addConfigEntry(QMenu* menu, const char* labelId, const QKeySequence& key);
    void applyConfig(const RunState& run, const WorkFlags& flags);
    static bool configAllowed(const RunState& run, const WorkFlags& flags);

    // The work-state control behind an entry; Speed Up and Down have none.
    static std::optional<Control> controlOf(Entry entry);
    // The text id of an entry's fixed label (or its start label when the label follows the state).
    static const char* labelIdOf(Entry entry);

private:
    void setLabel(QAction* action, const char* textId);

    std::array<QAction*, kEntryCount> actions_{};
    std::vector<QAction*> configActions_;
    bool ready_ = false;
};

}  // namespace korvex
