#include "controller/notify/notice_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controller/comm_config_dialog.h"
#include "controller/machine_session.h"
#include "controller/modem/notice_rules.h"
#include "controller/notify/mobile_notice.h"
#include "controller/settings_keys.h"
#include "platform/operator_interaction.h"

namespace korvex {
namespace {

constexpr int kNoticeTypeMessage = 0;
constexpr int kNoticeTypeCall = 1;
// Longer than any number the notice rules take; the field refuses to grow past it.
constexpr int kNumberFieldChars = 32;

bool numberUsable(const QString& text, modem::NumberUse use) {
    return !modem::normaliseNumber(text.toStdString(), use).empty();
}

QDialogButtonBox* okCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
    auto* buttons = new QDialogButtonBox(dialog);
    ok = buttons->addButton(qtTrId("comm.ok"), QDialogButtonBox::AcceptRole);
    cancel = buttons->addButton(qtTrId("comm.cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

QStringList extraModemDevices() {
    const QString virtualModem = qEnvironmentVariable("KORVEX_VIRTUAL_MODEM");
    return virtualModem.isEmpty() ? QStringList() : QStringList{virtualModem};
}

CSmsConfigDialog::CSmsConfigDialog(MobileNotice& notice, MachineSession& session, OperatorInteraction& operatorUi,
                                   const QStringList& extraDevices, QWidget* parent)
    : QDialog(parent), notice_(notice), session_(session), operatorUi_(operatorUi) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("notify.sms_title"));
    port_ = new PortComboBox(extraDevices, this);
    port_->setObjectName(QStringLiteral("port"));
    port_->refill();
    const QString lastPort = notice_.portText();
    port_->setEditText(lastPort.isEmpty() ? QString::fromLatin1(MobileNotice::kDefaultPort) : lastPort);
    smsc_ = new QLineEdit(notice_.proposedSmsc(), this);
    smsc_->setObjectName(QStringLiteral("smsc"));
    smsc_->setMaxLength(kNumberFieldChars);

    auto* form = new QFormLayout;
    form->addRow(qtTrId("comm.port_label"), port_);
    form->addRow(qtTrId("notify.smsc_label"), smsc_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this, ok_, cancel_));
    // One modem per run: once it is open, this dialog only leads on to the notice settings.
    ok_->setEnabled(!notice_.enabled());
}

QString CSmsConfigDialog::portText() const {
    // The selected entry's device is used when the text is still the entry's label.
    const QString text = port_->currentText().trimmed();
    const int index = port_->currentIndex();
    if (index >= 0 && port_->itemText(index) == text)
        return port_->itemData(index).toString();
    return text;
}

void CSmsConfigDialog::setPortText(const QString& text) { port_->setEditText(text); }
QString CSmsConfigDialog::smsc() const { return smsc_->text().trimmed(); }
void CSmsConfigDialog::setSmsc(const QString& text) { smsc_->setText(text); }

void CSmsConfigDialog::tell(const QString& text) {
    operatorUi_.message(windowTitle(), text, OperatorInteraction::Icon::Warning);
}

void CSmsConfigDialog::accept() {
    if (opening_ || notice_.enabled())
        return;
    if (portText().isEmpty() || smsc().isEmpty() || !numberUsable(smsc(), modem::NumberUse::Message)) {
        tell(qtTrId("notify.check_port_smsc"));
        return;
    }
    SettingsFile card = session_.cardSettings();
    card.writeText(QLatin1String(keys::kWorkSection), QLatin1String(keys::kSmscKey), smsc());
    opening_ = true;
    ok_->setEnabled(false);
    cancel_->setEnabled(false);
    const modem::OpenResult result = notice_.open(portText());
    opening_ = false;
    cancel_->setEnabled(true);
    if (result == modem::OpenResult::Opened) {
        QDialog::accept();
        return;
    }
    ok_->setEnabled(true);
    tell(MobileNotice::messageFor(result));
}

void CSmsConfigDialog::reject() {
    if (opening_)
        return;  // Escape or the close box while the modem is being reached
    QDialog::reject();
}

CMobileNoticeConfigDialog::CMobileNoticeConfigDialog(MobileNotice& notice, MachineSession& session,
                                                     OperatorInteraction& operatorUi, QWidget* parent)
    : QDialog(parent), notice_(notice), session_(session), operatorUi_(operatorUi) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("notify.mobile_title"));
    const modem::NoticeSettings stored = notice_.storedSettings();
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("type"));
    type_->addItem(qtTrId("notify.type_sms"), kNoticeTypeMessage);
    type_->addItem(qtTrId("notify.type_call"), kNoticeTypeCall);
    setNoticeType(stored.noticeType);
    number_ = new QLineEdit(QString::fromStdString(stored.number), this);
    number_->setObjectName(QStringLiteral("number"));
    number_->setMaxLength(kNumberFieldChars);
    machine_ = new QLineEdit(session_.machineName, this);
    machine_->setObjectName(QStringLiteral("machineName"));
    machine_->setReadOnly(true);

    auto* form = new QFormLayout;
    form->addRow(qtTrId("notify.type_label"), type_);
    form->addRow(qtTrId("notify.phone_label"), number_);
    form->addRow(qtTrId("notify.machine_label"), machine_);
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this, ok, cancel));
}

int CMobileNoticeConfigDialog::noticeType() const { return type_->currentData().toInt(); }
void CMobileNoticeConfigDialog::setNoticeType(int type) {
    type_->setCurrentIndex(type == kNoticeTypeCall ? 1 : 0);
}
QString CMobileNoticeConfigDialog::number() const { return number_->text().trimmed(); }
void CMobileNoticeConfigDialog::setNumber(const QString& text) { number_->setText(text); }
QString CMobileNoticeConfigDialog::machineName() const { return machine_->text(); }

void CMobileNoticeConfigDialog::accept() {
    const QString title = windowTitle();
    if (number().isEmpty() && notice_.enabled()) {
        operatorUi_.message(title, qtTrId("notify.input_number"), OperatorInteraction::Icon::Warning);
        return;
    }
    // A number the notices could never use is refused here rather than at the first notice.
    const modem::NumberUse use = noticeType() == kNoticeTypeCall ? modem::NumberUse::Call : modem::NumberUse::Message;
    if (!number().isEmpty() && !numberUsable(number(), use)) {
        operatorUi_.message(title, qtTrId("notify.bad_number"), OperatorInteraction::Icon::Warning);
        return;
    }
    SettingsFile card = session_.cardSettings();
    writeKey(card, keys::kNoticeType, noticeType());
    card.writeText(QLatin1String(keys::kWorkSection), QLatin1String(keys::kNoticeNumberKey), number());
    QDialog::accept();
}

void configureMobileNotice(MobileNotice& notice, MachineSession& session, OperatorInteraction& operatorUi,
                           QWidget* parent) {
    {
        CSmsConfigDialog sms(notice, session, operatorUi, extraModemDevices(), parent);
        operatorUi.exec(sms, sms.objectName());
    }
    CMobileNoticeConfigDialog mobile(notice, session, operatorUi, parent);
    operatorUi.exec(mobile, mobile.objectName());
}

}  // namespace korvex
