// The main window's commands: the menus and toolbar from the action table, what each entry
// runs, the one recomputation of every entry, and File Close and Reset, the recent list and
// the Help boxes.
#include "controller/main_frame.h"

#include "controller/about_dialog.h"
#include "controller/action_table.h"
#include "controller/adjust/adjust_dialog.h"
#include "controller/card_events.h"
#include "controller/config/config_menu.h"
#include "controller/document/dcs_doc.h"
#include "controller/editor_handoff.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/notify/notifications.h"
#include "controller/status_panel_control.h"
#include "controller/views/button_view.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_actions.h"
#include "controller/views/graph_view.h"
#include "controller/views/mini_status_window.h"
#include "controller/views/statistics_dialog.h"
#include "platform/operator_interaction.h"

#ifdef KORVEX_HAVE_EDIT
#include "controller/edit/edit_menu.h"
#endif

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace korvex {

QMenu* CMainFrame::fileMenu() const { return actions_->menu(MenuId::File); }

void CMainFrame::buildMenus() {
    toolBar_ = addToolBar(qtTrId("menu.toolbar"));
    toolBar_->setObjectName(QStringLiteral("MainToolBar"));
    ActionTable::Sources sources;
    // The graph view's entries are made into a menu of their own; the table takes them over.
    auto* viewHolder = new QMenu(this);
    sources.view = new GraphViewActions(viewHolder, nullptr, graph_, this);
    sources.programTool = handOff_->programAction();
    sources.editor = handOff_->editAction();
#ifdef KORVEX_HAVE_EDIT
    EditCommandContext edit;
    edit.document = &document_;
    edit.operatorUi = &operatorUi_;
    edit.dialogParent = this;
    edit.boxTitle = [this] { return session_.alarmTitle(); };
    edit.ending = [this] { return linkLost_ || events_.linkFailureReported(); };
    edit.idle = [this] { return idle(); };
    edit.cardWorkState = [this] { return machine_ ? int(machine_->operations().runState().state) : (document_.isLoaded() ? 1 : 0); };
    edit.fastRolling = [this] { return machine_ && machine_->operations().rolling(); };
    edit.recoveryMarkPending = [this] { return document_.recoveryMark().has_value(); };
    edit.cardSettingsPath = [this] { return session_.cardSettings().path(); };
    edit.openProgram = [this](const QString& path) { return openRequest(path, OpenOrigin::Generator) == OpenOutcome::Opened; };
    auto* editSet = new EditCommandSet(std::move(edit), this);
    editSet->leaveEnablingToOwner();
    sources.edit = editSet;
#endif
    actions_ = new ActionTable(this, toolBar_, sources, this);
    delete viewHolder;
    using C = Command;
    auto on = [this](C command, auto run) { connect(actions_->action(command), &QAction::triggered, this, run); };
    on(C::Open, [this] { openFromMenu(); });
    on(C::Close, [this] { closeFromMenu(); });
    on(C::Reset, [this] { resetFromMenu(); });
    on(C::ClearRecent, [this] {
        finishRecentStore();
        recent_.clear();
        rebuildRecentMenu();
    });
    on(C::Statistics, [this] { showStatistics(); });
    on(C::About, [this] { showAbout(); });
    actions_->setAdjustHandler([this] { runAdjust(AdjustContext{&card_, &operatorUi_, machine_}, this); });
    on(C::Agent, [this] { showAgent(); });
    buildControlMenu();
    buildConfigMenu();
    // The list is read from Korvex.ini whenever the menu opens, so another instance's or a
    // hand edit's change shows at once.
    connect(actions_->menu(MenuId::File), &QMenu::aboutToShow, this, [this] { rebuildRecentMenu(); });
    rebuildRecentMenu();
}

void CMainFrame::buildControlMenu() {
    using C = Command;
    auto on = [this](C command, auto run) {
        connect(actions_->action(command), &QAction::triggered, this, [this, run] {
            if (machine_)
                run(machine_->operations());
            // A checkable entry ticked itself; it shows what the card has until the card answered.
            updateControls();
        });
    };
    on(C::Motor, [](MachiningOperations& ops) { ops.toggleMotor(); });
    on(C::Freq, [](MachiningOperations& ops) { ops.toggleHf(); });
    on(C::FastRoll, [](MachiningOperations& ops) { ops.pressFastRoll(); });
    on(C::SegmentStop, [this](MachiningOperations& ops) { ops.toggleSegmentStop(currentSegment()); });
    on(C::ReturnOrigin, [](MachiningOperations& ops) { ops.pressReturn(); });
    on(C::Walk, [](MachiningOperations& ops) { ops.press(Operation::Walk); });
    on(C::Cut, [](MachiningOperations& ops) { ops.press(Operation::Cut); });
    on(C::Back, [](MachiningOperations& ops) { ops.press(Operation::Back); });
    on(C::Reverse, [](MachiningOperations& ops) { ops.toggleReverse(); });
    on(C::IgnorePause, [](MachiningOperations& ops) { ops.toggleIgnorePause(); });
    on(C::SpeedUp, [this](MachiningOperations&) { stepFeed(+1); });
    on(C::SpeedDown, [this](MachiningOperations&) { stepFeed(-1); });
}

CommandConditions CMainFrame::commandConditions() const {
    CommandConditions c;
    c.machiningReady = machine_ && !linkLost_;
    if (machine_) {
        const MachiningOperations& ops = machine_->operations();
        c.run = ops.runState();
        c.flags = ops.flags();
    }
    if (const auto& mark = document_.recoveryMark()) {
        c.startMark = mark->kind == RecoveryMark::Kind::StartPosition;
        c.returnMark = mark->kind == RecoveryMark::Kind::ReturnRecovery;
    }
    c.programLoaded = document_.isLoaded();
    c.recentFiles = !recentShown_.isEmpty();
    return c;
}

void CMainFrame::updateControls() {
    actions_->recompute(commandConditions());
    const bool openAllowed = actions_->action(Command::Open)->isEnabled();
    for (QAction* entry : actions_->recentMenu()->actions())
        entry->setEnabled(openAllowed && entry->data().isValid());
    if (!machine_)
        return;
    const MachiningOperations& ops = machine_->operations();
    const std::array<ButtonLabel, 4> labels{ops.label(Operation::Simulate), ops.label(Operation::Walk),
                                            ops.label(Operation::Cut), ops.label(Operation::Back)};
    buttons_->show(panelState(ops.runState(), ops.flags()), labels, ops.motorOn(), ops.hfOn());
}

void CMainFrame::buildConfigMenu() {
    ConfigMenuContext config;
    config.session = &session_;
    config.card = &card_;
    config.operatorUi = &operatorUi_;
    config.pulseTable = &pulseTable_;
    config.machine = [this] { return machine_; };
    config.programLoaded = [this] { return document_.isLoaded(); };
    config.markPending = [this] { return document_.recoveryMark().has_value(); };
    config.mobileNotice = [this] {
        notifications_->configure();
        return 0;
    };
    config.tableChanged = [this] {
        graph_->update();
        if (miniStatus_)
            miniStatus_->update();
    };
    config.trackingMode = [this] { return statusPanel_->feed().trackingMode(); };
    config.feed = &statusPanel_->feed();
    config.cardSettingsChanged = [this] { showCardSettings(); };
    config.loopTotal = [this] { return loopTotal_; };
    config.loopTotalChanged = [this](int total) { showLoop(loopNumber_, total); };
    config.program = [this] { return document_.isLoaded() ? document_.program() : nullptr; };
    config.planPauseSet = [this](int32_t segment, int32_t percent) { graph_->setPlanPause(segment, percent); };
    runConfigEntry_ = [this, config](ConfigEntry entry) { runConfigEntry(entry, config, this); };
    config.machineNameChanged = [this] { updateTitle(); };
    actions_->setConfigContext(std::move(config), this);
}

void CMainFrame::rebuildRecentMenu() {
    finishRecentStore();
    rebuildRecentMenu(recent_.entries());
}

void CMainFrame::rebuildRecentMenu(const QStringList& entries) {
    QMenu* menu = actions_->recentMenu();
    menu->clear();
    for (int i = 0; i < entries.size(); ++i) {
        const QString path = entries[i];
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { openRequest(path); });
    }
    if (entries.isEmpty())
        menu->addAction(qtTrId("menu.no_recent"));
    recentShown_ = entries;
    updateControls();
}

bool CMainFrame::closeFromMenu() {
    if (document_.isLoading()) {
        refuseWhileBusy();
        return false;
    }
    if (!document_.isLoaded())
        return false;
    // The document asks, unloads, drops the card's work record and resets itself; its
    // programClosed resets the work (Ignore D, range, reverse, stops, marks) and the views.
    const bool closed = document_.closeProgram();
    if (closed) {
        graph_->clear();
        afterWorkCleared();
    }
    return closed;
}

bool CMainFrame::resetFromMenu() {
    if (document_.isLoading()) {
        refuseWhileBusy();
        return false;
    }
    if (!document_.isLoaded())
        return false;
    // The document asks, sends its descriptor again and drops the card's work record; its
    // workReset resets the work, clears the marks and fits the graph again.
    const bool reset = document_.resetWork();
    if (reset) {
        statusPanel_->setProgram(document_.program());
        afterWorkCleared();
    }
    return reset;
}

void CMainFrame::afterWorkCleared() {
    workStarted_ = false;
    showLoop(0, 1);
    codeList_->clearMarks();
    buttons_->refresh();
    updateControls();
}

void CMainFrame::showAbout() {
    CAboutDialog dialog(session_.cardId, session_.portLabel(), this);
    operatorUi_.exec(dialog, QLatin1String(CAboutDialog::kName));
}

void CMainFrame::showAgent() {
    CAgentDialog dialog(session_.cardId, session_.portLabel(), this);
    operatorUi_.exec(dialog, QLatin1String(CAgentDialog::kName));
}

void CMainFrame::showStatistics() {
    const auto program = document_.isLoaded() ? document_.program() : nullptr;
    const double lengthMm =
        program ? pathLengthMm(program->segments.data(), static_cast<int>(program->segments.size())) : 0.0;
    CStatisticsDialog dialog(lengthMm, machine_ ? machine_->usedSeconds() : 0, this);
    operatorUi_.exec(dialog, dialog.objectName());
}

}  // namespace korvex
