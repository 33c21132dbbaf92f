#include "controller/config/small_dialogs.h"

#include "controller/card_control.h"
#include "controller/config/mult_table.h"
#include "controller/machining/card_worker.h"
#include "platform/operator_interaction.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvex {

std::optional<int> integerInRange(const QString& text, int low, int high) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

CardCommandDialog::CardCommandDialog(CardAccess access, QWidget* parent)
    : QDialog(parent), access_(std::move(access)) {}

void CardCommandDialog::warn(const QString& text) {
    access_.operatorUi->message(windowTitle(), text, OperatorInteraction::Icon::Warning);
}

void CardCommandDialog::send(std::function<int(CardControl&)> command, std::function<void()> done) {
    if (!access_.post || access_.card == nullptr) {
        warn(qtTrId("config.setup.failed"));
        return;
    }
    for (QPushButton* b : buttons_)
        b->setEnabled(false);
    QPointer<CardCommandDialog> self(this);
    CardControl* card = access_.card;
    access_.post(CardSequence("settings")
                     .then([card, command](MachiningCard&) { return command(*card) == 0; })
                     .finally([self, done](bool ok) {
                         QMetaObject::invokeMethod(
                             qApp, [self, done, ok] {
                                 if (!self)
                                     return;
                                 for (QPushButton* b : self->buttons_)
                                     b->setEnabled(true);
                                 if (ok)
                                     done();
                                 else
                                     self->warn(qtTrId("config.setup.failed"));
                             },
                             Qt::QueuedConnection);
                     }));
}

MultTestDialog::MultTestDialog(const PulseTable& table, CardAccess access, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), table_(table) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.multtest.title"));
    index_ = new QLineEdit;
    index_->setObjectName(QStringLiteral("index"));
    index_->setMaxLength(8);
    test_ = new QPushButton(qtTrId("config.multtest.test"));
    change_ = new QPushButton(qtTrId("config.multtest.change"));
    buttons_ = {test_, change_};
    connect(test_, &QPushButton::clicked, this, [this] { test(); });
    connect(change_, &QPushButton::clicked, this, [this] { done(kChangeParam); });
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(qtTrId("config.multtest.index")));
    row->addWidget(index_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test_);
    buttons->addWidget(change_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void MultTestDialog::test() {
    const auto index = integerInRange(index_->text(), 0, PulseTable::kGroupCount - 1);
    if (!index) {
        warn(qtTrId("config.multtest.range").arg(PulseTable::kGroupCount - 1));
        return;
    }
    const PulseGroupImage image = encodePulseGroup(table_.group(*index));
    send([image](CardControl& card) { return card.setPulseGroup(image); }, [this, n = *index] { lastSent_ = n; });
}

ClearanceDialog::ClearanceDialog(SettingsBlock& settings, CardAccess access, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), settings_(settings) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.clearance.title"));
    // A value the card holds outside the range is shown as it is; OK refuses it like typed text.
    seconds_ = new QLineEdit(QString::number(settings.clearanceSeconds));
    seconds_->setObjectName(QStringLiteral("seconds"));
    seconds_->setMaxLength(8);
    ok_ = new QPushButton(qtTrId("comm.ok"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    buttons_ = {ok_, cancel};
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(qtTrId("config.clearance.wait")));
    row->addWidget(seconds_);
    row->addWidget(new QLabel(qtTrId("config.clearance.seconds")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void ClearanceDialog::accept() {
    const auto seconds = integerInRange(seconds_->text(), kMinSeconds, kMaxSeconds);
    if (!seconds) {
        warn(qtTrId("config.range").arg(kMinSeconds).arg(kMaxSeconds));
        return;
    }
    send([s = *seconds](CardControl& card) { return card.setClearance(s); },
         [this, s = *seconds] {
             settings_.clearanceSeconds = static_cast<uint8_t>(s);
             QDialog::accept();
         });
}

}  // namespace korvex
