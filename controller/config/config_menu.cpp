#include "controller/config/config_menu.h"

#include "code/loader.h"
#include "controller/card_control.h"
#include "controller/config/config_rules.h"
#include "controller/config/mult_table_dialog.h"
#include "controller/config/setting_dialogs.h"
#include "controller/config/setup_menu.h"
#include "controller/config/small_dialogs.h"
#include "controller/machine_control.h"
#include "controller/machining/card_worker.h"
#include "controller/machine_session.h"
#include "controller/feed_control.h"
#include "controller/pulse_table.h"
#include "platform/data_dirs.h"
#include "platform/operator_interaction.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include <vector>

namespace korvex {

int runMultTable(const ConfigMenuContext& context, QWidget* dialogParent) {
    MultTableContext c;
    c.table = context.pulseTable;
    c.tablePath = pulseTablePath();
    c.parameterDir = parameterDirectory();
    c.cardSettingsPath = context.session->cardSettings().path();
    c.card = context.card;
    c.operatorUi = context.operatorUi;
    c.trackingMode = context.trackingMode ? context.trackingMode() : 0;
    c.currentGroup = context.currentGroup ? context.currentGroup() : -1;
    c.changed = context.tableChanged;
    if (MachineControl* machine = context.machine ? context.machine() : nullptr) {
        MachiningOperations* ops = &machine->operations();
        CardWorker* worker = &machine->worker();
        c.hfOn = ops->hfOn();
        c.post = [worker](CardSequence seq) { worker->post(std::move(seq)); };
        CardControl* card = context.card;
        QObject* owner = context.timerOwner;
        c.resumeHfLater = [ops, worker, card, owner, wasIdle = ops->idle()] {
            // The wait is a lower bound: a coarse timer may fire up to 5 % early, a precise one
            // up to a fraction of its millisecond, hence the extra millisecond.
            QTimer::singleShot(kGroupHfDelayMs + 1, Qt::PreciseTimer, owner, [ops, worker, card, wasIdle] {
                // The operator switched HF off, or the work stopped, while the group settled.
                if (!ops->hfOn() || (!wasIdle && ops->idle()))
                    return;
                worker->post(CardSequence("pulse table hf").then([card](MachiningCard&) { return card->setHf(true) == 0; }));
            });
        };
    }
    MultTableDialog dialog(std::move(c), dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(MultTableDialog::kObjectName));
}

namespace {

CardAccess cardAccess(const ConfigMenuContext& context) {
    CardAccess access;
    access.card = context.card;
    access.operatorUi = context.operatorUi;
    if (MachineControl* machine = context.machine ? context.machine() : nullptr) {
        CardWorker* worker = &machine->worker();
        access.post = [worker](CardSequence seq) { worker->post(std::move(seq)); };
    }
    return access;
}

}  // namespace

ConfigConditions configConditions(const ConfigMenuContext& context) {
    ConfigConditions c;
    c.programLoaded = context.programLoaded && context.programLoaded();
    if (MachineControl* machine = context.machine ? context.machine() : nullptr) {
        const MachiningOperations& ops = machine->operations();
        c.workState = ops.runState().state;
        c.rolling = ops.rolling();
        c.markPending = ops.flags().recovering;
    }
    if (context.markPending)
        c.markPending = context.markPending();
    return c;
}

int runMultTest(const ConfigMenuContext& context, QWidget* dialogParent) {
    MultTestDialog dialog(*context.pulseTable, cardAccess(context), dialogParent);
    const int result = context.operatorUi->exec(dialog, QLatin1String(MultTestDialog::kObjectName));
    if (result == MultTestDialog::kChangeParam)
        return runMultTable(context, dialogParent);
    return result;
}

int runClearance(const ConfigMenuContext& context, QWidget* dialogParent) {
    ClearanceDialog dialog(context.session->settings, cardAccess(context), dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(ClearanceDialog::kObjectName));
}

int runMobileNotice(const ConfigMenuContext& context, QWidget*) {
    return context.mobileNotice ? context.mobileNotice() : -1;
}

int runLoop(const ConfigMenuContext& context, QWidget* dialogParent) {
    const int total = context.loopTotal ? context.loopTotal() : 1;
    LoopDialog dialog(total, cardAccess(context), context.loopTotalChanged, dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(LoopDialog::kObjectName));
}

int runSpeed(const ConfigMenuContext& context, QWidget* dialogParent) {
    if (context.operatorUi->ask(qtTrId("config.speed.title"), qtTrId("config.speed.ask"),
                                OperatorInteraction::Buttons::OkCancel) != OperatorInteraction::Answer::Ok)
        return QDialog::Rejected;
    SpeedDialog dialog(context.session->settings, cardAccess(context), context.cardSettingsChanged, dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(SpeedDialog::kObjectName));
}

int runBack(const ConfigMenuContext& context, QWidget* dialogParent) {
    BackDialog dialog(context.session->settings, cardAccess(context), context.session->cardSettings().path(), dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(BackDialog::kObjectName));
}

int runPlanPause(const ConfigMenuContext& context, QWidget* dialogParent) {
    std::function<void(const PlanPause&)> marked;
    if (context.planPauseSet)
        marked = [set = context.planPauseSet](const PlanPause& p) { set(p.segment, p.percent); };
    PlanPauseDialog dialog(context.program ? context.program() : nullptr, cardAccess(context), std::move(marked),
                           dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(PlanPauseDialog::kObjectName));
}

int runTrack(const ConfigMenuContext& context, QWidget* dialogParent) {
    // The mode the card took picks the table of every group's feed entry and of the feed the
    // status panel sends, which goes out again at once from the new table.
    auto changed = [table = context.pulseTable, feed = context.feed](int mode) {
        if (table)
            refreshGroupFeeds(*table, mode);
        if (feed) {
            feed->setTrackingMode(mode);
            feed->setFeed(feed->value());
        }
    };
    TrackDialog dialog(context.session->settings, cardAccess(context), changed, dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(TrackDialog::kObjectName));
}

namespace {

// The dialogs of the Config and Option menus.
constexpr ConfigMenuItem kEntries[] = {
    {ConfigEntry::Clearance, "config.menu.clearance", "ClearanceAction", Qt::Key_R, &runClearance},
    {ConfigEntry::MultTest, "config.menu.multtest", "MultTestAction", Qt::Key_M, &runMultTest},
    {ConfigEntry::MultTable, "config.menu.multtable", "MultTableAction", Qt::Key_B, &runMultTable},
    {ConfigEntry::MobileNotice, "menu.mobile_notice", "menu.mobile_notice", Qt::Key_E, &runMobileNotice},
    {ConfigEntry::Speed, "menu.speed", "SpeedAction", Qt::Key_V, &runSpeed},
    {ConfigEntry::Backward, "menu.backward", "BackwardAction", Qt::Key_C, &runBack},
    {ConfigEntry::Loop, "menu.loop", "LoopAction", Qt::Key_L, &runLoop},
    {ConfigEntry::PlanPause, "menu.plan_pause", "PlanPauseAction", Qt::Key_F, &runPlanPause},
    {ConfigEntry::Track, "menu.track", "TrackAction", Qt::Key_G, &runTrack},
    {ConfigEntry::Phase, "menu.phase", "PhaseAction", Qt::Key_H, &runPhase},
    {ConfigEntry::Direction, "menu.direction", "DirectionAction", Qt::Key_D, &runDirection},
    {ConfigEntry::StopMachine, "menu.stop_machine", "StopMachineAction", Qt::Key_T, &runStopMachine},
    {ConfigEntry::RestoreDefault, "menu.restore_default", "RestoreDefaultAction", Qt::Key_unknown, &runRestoreDefault},
    {ConfigEntry::Option, "menu.option_korvex", "OptionAction", Qt::Key_unknown, &runOption},
};

}  // namespace

std::span<const ConfigMenuItem> configMenuItems() { return kEntries; }

const ConfigMenuItem* configMenuItem(ConfigEntry entry) {
    for (const ConfigMenuItem& item : kEntries)
        if (item.entry == entry)
            return &item;
    return nullptr;
}

int runConfigEntry(ConfigEntry entry, const ConfigMenuContext& context, QWidget* dialogParent) {
    const ConfigMenuItem* item = configMenuItem(entry);
    if (item == nullptr || !configEntryEnabled(entry, configConditions(context)))
        return -1;
    return item->run(context, dialogParent);
}

void installConfigMenu(QMenu* menu, ConfigMenuContext context, QWidget* dialogParent) {
    if (context.timerOwner == nullptr)
        context.timerOwner = menu;
    std::vector<std::pair<QAction*, ConfigEntry>> actions;
    for (const ConfigMenuItem& item : kEntries) {
        QAction* action = menu->addAction(qtTrId(item.textId));
        action->setObjectName(QLatin1String(item.objectName));
        if (item.key != Qt::Key_unknown)
            action->setShortcut(QKeySequence(Qt::CTRL | item.key));
        actions.emplace_back(action, item.entry);
        QObject::connect(action, &QAction::triggered, menu, [context, dialogParent, item] {
            // A key may come while the menu's states are older than the card's.
            if (configEntryEnabled(item.entry, configConditions(context)))
                item.run(context, dialogParent);
        });
    }
    auto refresh = [context, actions] {
        const ConfigConditions now = configConditions(context);
        for (const auto& [action, entry] : actions)
            action->setEnabled(configEntryEnabled(entry, now));
    };
    QObject::connect(menu, &QMenu::aboutToShow, menu, refresh);
    refresh();
}

}  // namespace korvex
