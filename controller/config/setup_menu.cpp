#include "controller/config/setup_menu.h"

#include "controller/card_control.h"
#include "controller/config/config_menu.h"
#include "controller/config/direction_dialog.h"
#include "controller/config/setup_dialogs.h"
#include "controller/feed_control.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/program_tool.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"
#include "platform/data_dirs.h"
#include "platform/operator_interaction.h"

#include <QApplication>
#include <QTimer>

#include <memory>

namespace korvex {

namespace {

CardAccess accessOf(const ConfigMenuContext& context) {
    CardAccess access;
    access.card = context.card;
    access.operatorUi = context.operatorUi;
    if (MachineControl* machine = context.machine ? context.machine() : nullptr) {
        CardWorker* worker = &machine->worker();
        access.post = [worker](CardSequence seq) { worker->post(std::move(seq)); };
    }
    return access;
}

// The motor as the button panel switches it: the panel's flag follows what the card took.
MotorStep motorStep(const ConfigMenuContext& context) {
    MachiningOperations* ops = nullptr;
    if (MachineControl* machine = context.machine ? context.machine() : nullptr)
        ops = &machine->operations();
    return [ops](CardControl& card, bool on) {
        if (card.setMotor(on) != 0)
            return false;
        if (ops)
            ops->motorSwitched(on);
        return true;
    };
}

QString text(const char* s) { return QLatin1String(s); }

OptionValues readOptions(const MachineSession& session) {
    const SettingsFile machine = session.machineSettings();
    const SettingsFile card = session.cardSettings();
    OptionValues v;
    v.machineName = session.machineName;
    v.programFolder = machine.readText(text(kToolSection), text(kToolFolderKey), QString());
    v.programFile = machine.readText(text(kToolSection), text(kToolFileKey), QString());
    v.shutAtEnd = readKey(card, keys::kAutoShutEnd) != 0;
    v.shutAtPause = readKey(card, keys::kAutoShutPause) != 0;
    v.noStopAll = readKey(card, keys::kNoStopAll) != 0;
    v.shutMusic = readKey(machine, keys::kShutMusic) != 0;
    v.noFunctionKeys = readKey(machine, keys::kNoFunctionKeys) != 0;
    v.noForceZero = readKey(machine, keys::kNoForceZero) != 0;
    v.taperDefault = readKey(machine, keys::kDefaultTaperType);
    return v;
}

SettingsValue intValue(const IntKey& key, int value) {
    return {text(key.section), text(key.key), QString::number(value)};
}

// One replace of each settings file.
int storeOptions(const MachineSession& session, const OptionValues& v) {
    SettingsFile machine = session.machineSettings();
    SettingsFile card = session.cardSettings();
    const int machineResult = machine.writeValues({
        {text(kToolSection), text(kToolFolderKey), v.programFolder},
        {text(kToolSection), text(kToolFileKey), v.programFile},
        intValue(keys::kShutMusic, v.shutMusic),
        intValue(keys::kNoFunctionKeys, v.noFunctionKeys),
        intValue(keys::kNoForceZero, v.noForceZero),
        intValue(keys::kDefaultTaperType, v.taperDefault),
    });
    const int cardResult = card.writeValues({
        intValue(keys::kNoStopAll, v.noStopAll),
        intValue(keys::kAutoShutEnd, v.shutAtEnd),
        intValue(keys::kAutoShutPause, v.shutAtPause),
    });
    return machineResult == 0 && cardResult == 0 ? 0 : -1;
}

void setupFailed(const ConfigMenuContext& context) {
    context.operatorUi->message(context.session->alarmTitle(), qtTrId("config.setup.failed"),
                                OperatorInteraction::Icon::Warning);
}

}  // namespace

int runPhase(const ConfigMenuContext& context, QWidget* dialogParent) {
    PhaseDialog dialog(context.session->settings, accessOf(context), motorStep(context), context.cardSettingsChanged,
                       dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(PhaseDialog::kObjectName));
}

int runDirection(const ConfigMenuContext& context, QWidget* dialogParent) {
    MachineControl* machine = context.machine ? context.machine() : nullptr;
    DirectionDialog dialog(context.session->settings, accessOf(context), motorStep(context), machine, dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(DirectionDialog::kObjectName));
}

int runStopMachine(const ConfigMenuContext& context, QWidget* dialogParent) {
    const bool noStopAll = readKey(context.session->cardSettings(), keys::kNoStopAll) != 0;
    QObject* owner = context.timerOwner ? context.timerOwner : qApp;
    auto later = [owner](int ms, std::function<void()> call) {
        // A coarse timer may fire up to 5 % early, a precise one within its millisecond.
        QTimer::singleShot(ms + 1, Qt::PreciseTimer, owner, std::move(call));
    };
    StopMachineDialog dialog(accessOf(context), noStopAll, later, dialogParent);
    return context.operatorUi->exec(dialog, QLatin1String(StopMachineDialog::kObjectName));
}

int runOption(const ConfigMenuContext& context, QWidget* dialogParent) {
    MachineSession* session = context.session;
    auto named = [session, changed = context.machineNameChanged](const std::string& name) {
        session->settings.machineName = {};
        std::copy(name.begin(), name.end(), session->settings.machineName.begin());
        session->takeMachineName();
        if (changed)
            changed();
    };
    OptionDialog dialog(readOptions(*session), accessOf(context),
                        [session](const OptionValues& v) { return storeOptions(*session, v); }, named, dialogParent);
    const int result = context.operatorUi->exec(dialog, QLatin1String(OptionDialog::kObjectName));
    if (result == QDialog::Accepted && context.pulseTable) {
        // Only the name line: the groups in memory may hold a V.F. set since start-up.
        context.pulseTable->readName(pulseTablePath());
        if (context.tableChanged)
            context.tableChanged();
    }
    return result;
}

int runRestoreDefault(const ConfigMenuContext& context, QWidget*) {
    if (context.operatorUi->ask(context.session->alarmTitle(), qtTrId("61718"), OperatorInteraction::Buttons::YesNo,
                                OperatorInteraction::Icon::Warning) != OperatorInteraction::Answer::Yes)
        return QDialog::Rejected;
    const CardAccess access = accessOf(context);
    if (!access.post || access.card == nullptr) {
        setupFailed(context);
        return QDialog::Accepted;
    }
    CardControl* card = access.card;
    auto block = std::make_shared<SettingsBlock>();
    access.post(CardSequence("restore defaults")
                    .then([card](MachiningCard&) { return card->restoreDefaults() == 0; })
                    .then([card, block](MachiningCard&) { return card->getSettings(*block) == 0; })
                    .finally([context, block](bool ok) {
                        QMetaObject::invokeMethod(
                            qApp, [context, block, ok] {
                                if (!ok) {
                                    setupFailed(context);
                                    return;
                                }
                                MachineSession& session = *context.session;
                                session.settings = *block;
                                session.takeMachineName();
                                if (context.machineNameChanged)
                                    context.machineNameChanged();
                                if (context.cardSettingsChanged)
                                    context.cardSettingsChanged();
                                if (FeedControl* feed = context.feed) {
                                    feed->setTrackingMode(block->trackMode);
                                    feed->refreshGroupEntries();
                                    feed->resend();
                                }
                            },
                            Qt::QueuedConnection);
                    }));
    return QDialog::Accepted;
}

}  // namespace korvex
