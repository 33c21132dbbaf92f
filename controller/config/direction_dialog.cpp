#include "controller/config/direction_dialog.h"

#include "controller/card_control.h"
#include "controller/machine_control.h"
#include "platform/operator_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace korvex {

namespace {

const char* const kAxisNames[kAxisCount] = {"X", "Y", "U", "V"};

}  // namespace

DirectionDialog::DirectionDialog(SettingsBlock& settings, CardAccess access, MotorStep motor, MachineControl* machine,
                                 QWidget* parent)
    : CardStepsDialog(std::move(access), parent), settings_(settings), motor_(std::move(motor)), machine_(machine) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.direction.title"));
    auto* layout = new QVBoxLayout(this);

    auto* invertBox = new QGroupBox(qtTrId("config.direction.invert"));
    auto* invertRow = new QHBoxLayout(invertBox);
    for (std::size_t axis = 0; axis < kAxisCount; ++axis) {
        auto* box = new QCheckBox(QLatin1String(kAxisNames[axis]));
        box->setObjectName(QStringLiteral("invert%1").arg(QLatin1String(kAxisNames[axis])));
        box->setChecked(settings_.axisInvert[axis] != 0);
        // clicked, not toggled: only the operator's click sends, never a box set from here.
        connect(box, &QCheckBox::clicked, this, [this, axis] { toggleInvert(axis); });
        invert_[axis] = box;
        invertRow->addWidget(box);
    }
    layout->addWidget(invertBox);

    auto* singleBox = new QGroupBox(qtTrId("config.direction.single"));
    auto* single = new QGridLayout(singleBox);
    auto* multiBox = new QGroupBox(qtTrId("config.direction.multi"));
    auto* multi = new QGridLayout(multiBox);
    steps_ = new QLineEdit;
    steps_->setObjectName(QStringLiteral("steps"));
    steps_->setMaxLength(10);
    multi->addWidget(new QLabel(qtTrId("config.direction.steps")), 0, 0);
    multi->addWidget(steps_, 0, 1, 1, 3);
    for (AxisDirection d : kAxisDirections) {
        const std::size_t axis = axisOf(d);
        const int column = signOf(d) > 0 ? 0 : 1;
        auto* stepButton = new QPushButton(directionName(d));
        connect(stepButton, &QPushButton::clicked, this, [this, d] { singleStep(d); });
        single->addWidget(stepButton, static_cast<int>(axis), column);
        step_[index(d)] = stepButton;
        auto* jogButton = new QPushButton(directionLabel(d));
        connect(jogButton, &QPushButton::clicked, this, [this, d] { multiSteps(d); });
        multi->addWidget(jogButton, 1 + static_cast<int>(axis), column);
        jog_[index(d)] = jogButton;
    }
    for (std::size_t axis = 0; axis < kAxisCount; ++axis) {
        counterLabels_[axis] = new QLabel(counterText(axis));
        counterLabels_[axis]->setObjectName(QStringLiteral("counter%1").arg(QLatin1String(kAxisNames[axis])));
        single->addWidget(counterLabels_[axis], static_cast<int>(axis), 2);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(singleBox);
    row->addWidget(multiBox);
    layout->addLayout(row);

    auto* close = new QPushButton(qtTrId("comm.cancel"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(close);
    layout->addLayout(closeRow);

    buttons_.append(QList<QPushButton*>(step_.begin(), step_.end()));
    buttons_.append(QList<QPushButton*>(jog_.begin(), jog_.end()));
}

QString DirectionDialog::counterText(std::size_t axis) const {
    return QStringLiteral("%1: %2").arg(QLatin1String(kAxisNames[axis])).arg(counters_.at(axis));
}

void DirectionDialog::setBusy(bool busy) {
    for (QCheckBox* box : invert_)
        box->setEnabled(!busy);
}

void DirectionDialog::toggleInvert(std::size_t axis) {
    // The box shows what the card holds: it goes back until the card took the new flags.
    invert_[axis]->setChecked(settings_.axisInvert[axis] != 0);
    const std::array<uint8_t, kAxisCount> flags = toggledInvert(settings_.axisInvert, axis);
    if (access_.post)
        setBusy(true);
    std::vector<Step> steps;
    steps.push_back({[flags](CardControl& c) { return c.setAxisInvert(flags) == 0; },
                     [this, flags] {
                         settings_.axisInvert = flags;
                         for (std::size_t a = 0; a < kAxisCount; ++a)
                             invert_[a]->setChecked(flags[a] != 0);
                     }});
    sendSteps(std::move(steps), [] {}, [this] { setBusy(false); });
}

void DirectionDialog::singleStep(AxisDirection d) {
    std::vector<Step> steps;
    steps.push_back({[motor = motor_](CardControl& c) { return motor(c, true); }, {}});
    steps.push_back({[mask = stepMask(d)](CardControl& c) { return c.stepAxis(mask) == 0; },
                     [this, d] {
                         const std::size_t axis = axisOf(d);
                         counters_[axis] += signOf(d);
                         counterLabels_[axis]->setText(counterText(axis));
                     }});
    sendSteps(std::move(steps), [] {});
}

void DirectionDialog::multiSteps(AxisDirection d) {
    const auto steps = integerInRange(steps_->text(), kJogStepsMin, kJogStepsMax);
    if (!steps) {
        warn(qtTrId("config.range").arg(kJogStepsMin).arg(kJogStepsMax));
        return;
    }
    DebuggingDialog debugging(d, *steps, access_, motor_, machine_, this);
    access_.operatorUi->exec(debugging, QLatin1String(DebuggingDialog::kObjectName));
}

// ---------------------------------------------------------------------------------------------
// Debugging...

DebuggingDialog::DebuggingDialog(AxisDirection direction, int steps, CardAccess access, MotorStep motor,
                                 MachineControl* machine, QWidget* parent)
    : QDialog(parent), direction_(direction), total_(steps), access_(std::move(access)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(directionLabel(direction));
    progress_ = new QLabel;
    progress_->setObjectName(QStringLiteral("progress"));
    stop_ = new QPushButton(qtTrId("config.debugging.stop"));
    connect(stop_, &QPushButton::clicked, this, &DebuggingDialog::stopAndClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qtTrId("config.debugging.title")));
    layout->addWidget(progress_);
    layout->addWidget(stop_);
    showDone(0);

    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &DebuggingDialog::poll);
    if (!access_.post || access_.card == nullptr) {
        QMetaObject::invokeMethod(this, [this] {
            access_.operatorUi->message(windowTitle(), qtTrId("config.setup.failed"), OperatorInteraction::Icon::Warning);
            QDialog::reject();
        }, Qt::QueuedConnection);
        return;
    }
    if (machine) {
        connect(machine, &MachineControl::linkLosing, this, [this] {
            if (!running_)
                return;
            poll_.stop();
            running_ = false;
            access_.card->stopWork();  // the worker is gone by now; the program is ending
            QDialog::reject();
        }, Qt::DirectConnection);
    }
    running_ = true;  // from the request on: leaving now must stop it
    QPointer<DebuggingDialog> self(this);
    CardControl* card = access_.card;
    access_.post(CardSequence("jog")
                     .then([card, motor](MachiningCard&) { return motor(*card, true); })
                     .then([card, counts = jogSteps(direction, steps)](MachiningCard&) { return card->jog(counts) == 0; })
                     .finally([self](bool ok) {
                         QMetaObject::invokeMethod(
                             qApp, [self, ok] {
                                 if (!self || !self->running_)
                                     return;
                                 if (ok) {
                                     self->poll_.start();
                                     return;
                                 }
                                 self->running_ = false;
                                 self->access_.operatorUi->message(self->windowTitle(), qtTrId("config.setup.failed"),
                                                                   OperatorInteraction::Icon::Warning);
                                 self->QDialog::reject();
                             },
                             Qt::QueuedConnection);
                     }));
}

DebuggingDialog::~DebuggingDialog() {
    // Closed without passing through reject (its parent went away): the jog still stops.
    if (running_ && access_.post && access_.card) {
        CardControl* card = access_.card;
        access_.post(CardSequence("jog stop").then([card](MachiningCard&) { return card->stopWork() == 0; }));
    }
}

QString DebuggingDialog::progressText() const { return progress_->text(); }

void DebuggingDialog::showDone(int done) {
    done_ = done;
    progress_->setText(qtTrId("config.debugging.progress").arg(done).arg(total_));
}

void DebuggingDialog::poll() {
    if (polling_)
        return;
    polling_ = true;
    QPointer<DebuggingDialog> self(this);
    CardControl* card = access_.card;
    auto status = std::make_shared<StatusBlock>();
    access_.post(CardSequence("jog poll")
                     .then([card, status](MachiningCard&) {
                         if (card->getStatus(*status) == 0)
                             return true;
                         // The jog can no longer be watched: stop it before anything else goes out.
                         card->stopWork();
                         return false;
                     })
                     .finally([self, status](bool ok) {
                         QMetaObject::invokeMethod(
                             qApp, [self, status, ok] {
                                 if (!self)
                                     return;
                                 self->polling_ = false;
                                 if (!self->running_)
                                     return;
                                 if (!ok) {
                                     self->poll_.stop();
                                     self->running_ = false;
                                     self->access_.operatorUi->message(self->windowTitle(), qtTrId("config.setup.failed"),
                                                                       OperatorInteraction::Icon::Warning);
                                     self->QDialog::reject();
                                     return;
                                 }
                                 self->showDone(jogStepsDone(*status, self->direction_, self->total_));
                                 if (self->done_ >= self->total_) {
                                     self->poll_.stop();
                                     self->running_ = false;
                                 }
                             },
                             Qt::QueuedConnection);
                     }));
}

void DebuggingDialog::stopAndClose() {
    poll_.stop();
    running_ = false;
    if (access_.post && access_.card) {
        CardControl* card = access_.card;
        OperatorInteraction* ui = access_.operatorUi;
        const QString title = windowTitle();
        access_.post(CardSequence("jog stop")
                         .then([card](MachiningCard&) { return card->stopWork() == 0; })
                         .finally([ui, title](bool ok) {
                             if (!ok)
                                 QMetaObject::invokeMethod(qApp, [ui, title] {
                                     ui->message(title, qtTrId("config.setup.failed"), OperatorInteraction::Icon::Warning);
                                 }, Qt::QueuedConnection);
                         }));
    }
    QDialog::reject();
}

void DebuggingDialog::reject() {
    if (running_) {
        stopAndClose();
        return;
    }
    poll_.stop();
    QDialog::reject();
}

}  // namespace korvex
