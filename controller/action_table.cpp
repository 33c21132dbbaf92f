#include "controller/action_table.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>

#include <optional>

namespace korvex {
namespace {

struct EntryInfo {
    ActionTable::Entry entry;
    const char* labelId;
    QKeySequence key;
    bool toolBar;
    bool checkable;
};

// Menu order; the keys act wherever the focus is in the window (an edit field keeps its own
// characters, so "=" and "-" still type there).
const std::array<EntryInfo, ActionTable::kEntryCount>& entryInfo() {
    using E = ActionTable::Entry;
    static const std::array<EntryInfo, ActionTable::kEntryCount> info{{
        {E::Motor, "menu.motor", QKeySequence(Qt::Key_F1), true, false},
        {E::Freq, "menu.freq", QKeySequence(Qt::Key_F2), true, false},
        {E::FastRoll, "menu.fast_roll", QKeySequence(Qt::Key_F9), true, true},
        {E::SegmentStop, "menu.segment_stop", QKeySequence(Qt::Key_F10), true, false},
        {E::ReturnOrigin, "menu.return", QKeySequence(Qt::Key_F12), true, true},
        {E::Walk, "menu.walk", QKeySequence(Qt::Key_F3), true, true},
        {E::Cut, "menu.cut", QKeySequence(Qt::Key_F4), true, true},
        {E::Back, "menu.back", QKeySequence(Qt::Key_F5), true, true},
        {E::Reverse, "menu.reverse", QKeySequence(Qt::Key_F6), true, true},
        {E::IgnorePause, "menu.ignore_d", QKeySequence(), true, true},
        {E::SpeedUp, "menu.speed_up", QKeySequence(Qt::Key_Equal), true, false},
        {E::SpeedDown, "menu.speed_down", QKeySequence(Qt::Key_Minus), true, false},
    }};
    return info;
}

}  // namespace

ActionTable::ActionTable(QMenu* menu, QToolBar* toolBar, QObject* parent) : QObject(parent) {
    for (const EntryInfo& info : entryInfo()) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(info.labelId));
        setLabel(action, info.labelId);
        if (!info.key.isEmpty())
            action->setShortcut(info.key);
        action->setCheckable(info.checkable);
        action->setEnabled(false);
        if (toolBar && info.toolBar)
            toolBar->addAction(action);
        actions_[static_cast<std::size_t>(info.entry)] = action;
        if (info.entry == Entry::SegmentStop || info.entry == Entry::Reverse)
            menu->addSeparator();
    }
}

std::optional<Control> ActionTable::controlOf(Entry entry) {
    switch (entry) {
    case Entry::Motor: return Control::Motor;
    case Entry::Freq: return Control::Freq;
    case Entry::FastRoll: return Control::FastRoll;
    case Entry::SegmentStop: return Control::SegmentStop;
    case Entry::ReturnOrigin: return Control::ReturnOrigin;
    case Entry::Walk: return Control::Walk;
    case Entry::Cut: return Control::Cut;
    case Entry::Back: return Control::Back;
    case Entry::Reverse: return Control::Reverse;
    case Entry::IgnorePause: return Control::IgnorePause;
    case Entry::SpeedUp:
    case Entry::SpeedDown: return std::nullopt;
    }
    return std::nullopt;
}

const char* ActionTable::labelIdOf(Entry entry) { return entryInfo()[static_cast<std::size_t>(entry)].labelId; }

void ActionTable::setLabel(QAction* action, const char* textId) {
    const QString text = qtTrId(textId);
    action->setText(text);
    // The toolbar shows the name without the key written after the tab.
    action->setIconText(text.section(QLatin1Char('\t'), 0, 0));
}

QAction* ActionTable::addConfigEntry(QMenu* menu, const char* labelId, const QKeySequence& key) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(labelId));
    setLabel(action, labelId);
    action->setShortcut(key);
    action->setEnabled(false);
    configActions_.push_back(action);
    return action;
}

bool ActionTable::configAllowed(const RunState& run, const WorkFlags& flags) {
    const int s = run.state;
    return !flags.rolling && (s == 0 || s == 1 || s == 2 || s == 11);
}

void ActionTable::applyConfig(const RunState& run, const WorkFlags& flags) {
    for (QAction* action : configActions_)
        action->setEnabled(ready_ && configAllowed(run, flags));
}

void ActionTable::apply(const MenuState& state) {
    for (const EntryInfo& info : entryInfo()) {
        QAction* action = actions_[static_cast<std::size_t>(info.entry)];
        const std::optional<Control> control = controlOf(info.entry);
        if (!control) {
            action->setEnabled(ready_);
            continue;
        }
        const MenuEntryState& entry = state[*control];
        action->setEnabled(ready_ && entry.enabled);
        if (action->isCheckable())
            action->setChecked(entry.checked);
        setLabel(action, entry.labelId ? entry.labelId : info.labelId);
    }
}

}  // namespace korvex
