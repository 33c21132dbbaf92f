#include "controller/config/config_menu.h"

#include "controller/card_control.h"
#include "controller/config/mult_table_dialog.h"
#include "controller/machine_control.h"
#include "controller/machining/card_worker.h"
#include "controller/machine_session.h"
#include "platform/data_dirs.h"
#include "platform/operator_interaction.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

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
            // Precise: a coarse timer may fire up to 5 % early, and the wait is a lower bound.
            QTimer::singleShot(kGroupHfDelayMs, Qt::PreciseTimer, owner, [ops, worker, card, wasIdle] {
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

void installConfigMenu(QMenu* menu, ConfigMenuContext context, QWidget* dialogParent) {
    if (context.timerOwner == nullptr)
        context.timerOwner = menu;
    QAction* multTable = menu->addAction(qtTrId("config.menu.multtable"));
    multTable->setObjectName(QStringLiteral("MultTableAction"));
    multTable->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    QObject::connect(multTable, &QAction::triggered, menu,
                     [context, dialogParent] { runMultTable(context, dialogParent); });
}

}  // namespace korvex
