#include "controller/adjust/adjust_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controller/machine_control.h"
#include "platform/operator_interaction.h"

namespace korvex {

AdjustDialog::AdjustDialog(AdjustMachine machine, QWidget* parent)
    : QDialog(parent), session_(std::move(machine)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("adjust.title"));

    auto* directionBox = new QGroupBox(qtTrId("adjust.direction"));
    auto* directionRow = new QHBoxLayout(directionBox);
    auto* group = new QButtonGroup(this);
    static constexpr const char* kDirectionIds[kAdjustDirections] = {"adjust.l1", "adjust.l2", "adjust.l3",
                                                                      "adjust.l4"};
    for (int i = 0; i < kAdjustDirections; ++i) {
        auto* button = new QRadioButton(qtTrId(kDirectionIds[i]));
        button->setObjectName(QStringLiteral("L%1").arg(i + 1));
        group->addButton(button, i);
        directionRow->addWidget(button);
        directions_[static_cast<std::size_t>(i)] = button;
    }
    directions_[0]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { session_.setDirection(id); });

    speed_ = new QComboBox;
    speed_->setObjectName(QStringLiteral("speed"));
    for (const char* id : {"adjust.slowest", "adjust.slower", "adjust.faster", "adjust.fastest"})
        speed_->addItem(qtTrId(id));
    connect(speed_, &QComboBox::currentIndexChanged, this, [this](int index) { session_.setSpeed(index); });
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(qtTrId("adjust.speed")));
    speedRow->addWidget(speed_, 1);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    // The line keeps its height while it blinks between a text and a blank.
    status_->setMinimumHeight(status_->fontMetrics().height() * 2);
    status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(qtTrId("adjust.border_finished").arg(1000000)));

    center_ = new QPushButton;
    center_->setObjectName(QStringLiteral("center"));
    border_ = new QPushButton;
    border_->setObjectName(QStringLiteral("border"));
    center_->setAutoDefault(false);
    border_->setAutoDefault(false);
    connect(center_, &QPushButton::clicked, this, [this] { session_.pressCenter(); });
    connect(border_, &QPushButton::clicked, this, [this] { session_.pressBorder(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(center_);
    buttons->addWidget(border_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(directionBox);
    layout->addLayout(speedRow);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(&session_, &AdjustSession::changed, this, &AdjustDialog::showSession);
    connect(&session_, &AdjustSession::closeReady, this, [this] { QDialog::reject(); });
    showSession();
}

void AdjustDialog::showSession() {
    center_->setText(session_.centerText());
    border_->setText(session_.borderText());
    center_->setEnabled(session_.centerEnabled());
    border_->setEnabled(session_.borderEnabled());
    status_->setText(session_.statusText());
    // The direction and speed are those of the procedure under way.
    const bool idle = session_.phase() == AdjustPhase::Idle;
    for (QRadioButton* b : directions_)
        b->setEnabled(idle);
    speed_->setEnabled(idle);
}

void AdjustDialog::reject() {
    if (session_.requestClose())
        QDialog::reject();
}

int runAdjust(const AdjustContext& context, QWidget* parent) {
    MachineControl* machine = context.machine;
    if (machine == nullptr || context.card == nullptr || context.operatorUi == nullptr || machine->linkLost())
        return -1;
    MachiningOperations* ops = &machine->operations();
    AdjustMachine m;
    m.card = context.card;
    m.worker = &machine->worker();
    m.operatorUi = context.operatorUi;
    m.motorStep = [ops](bool on) { return ops->motorStep(on); };
    m.hfStep = [ops](bool on) { return ops->hfStep(on); };
    m.panelChanged = [ops] { ops->refresh(); };
    AdjustDialog dialog(std::move(m), parent);
    QObject::connect(machine, &MachineControl::linkWentDown, &dialog, [&dialog] { dialog.session().linkLost(); });
    return context.operatorUi->exec(dialog, QLatin1String(AdjustDialog::kObjectName));
}

}  // namespace korvex
