// "SMS Config" and "Mobile Notice Config", the two dialogs of Config > Mobile Notice (Ctrl+E).
//
// SMS Config names the modem's port and the service centre. OK checks both, writes Work/SMSC and
// opens the modem; the dialog closes only once the modem answered, and after "Please check the
// port and SMSC!" or a failed open it stays for another try. Its OK is disabled once a modem is
// open (there is no way to close it short of leaving the program). Whether it ends with OK or
// Cancel, Mobile Notice Config follows: message or call, the operator's number, and the
// machine name the notices begin with.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace korvex {

class MachineSession;
class MobileNotice;
class OperatorInteraction;
class PortComboBox;

class CSmsConfigDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "SmsConfig";

    // `extraDevices` are offered besides the serial ports found (the virtual modem's link).
    CSmsConfigDialog(MobileNotice& notice, MachineSession& session, OperatorInteraction& operatorUi,
                     const QStringList& extraDevices, QWidget* parent = nullptr);

    QString portText() const;
    void setPortText(const QString& text);
    QString smsc() const;
    void setSmsc(const QString& text);
    QPushButton* okButton() const { return ok_; }

public slots:
    void accept() override;
    void reject() override;

private:
    void tell(const QString& text);

    MobileNotice& notice_;
    MachineSession& session_;
    OperatorInteraction& operatorUi_;
    PortComboBox* port_;
    QLineEdit* smsc_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool opening_ = false;  // the modem is being opened: the dialog cannot be closed
};

class CMobileNoticeConfigDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "MobileNoticeConfig";

    CMobileNoticeConfigDialog(MobileNotice& notice, MachineSession& session, OperatorInteraction& operatorUi,
                              QWidget* parent = nullptr);

    // 0 message ("SMS"), 1 call ("CALL").
    int noticeType() const;
    void setNoticeType(int type);
    QString number() const;
    void setNumber(const QString& text);
    QString machineName() const;

public slots:
    void accept() override;

private:
    MobileNotice& notice_;
    MachineSession& session_;
    OperatorInteraction& operatorUi_;
    QComboBox* type_;
    QLineEdit* number_;
    QLineEdit* machine_;
};

// Config > Mobile Notice: SMS Config, then Mobile Notice Config.
void configureMobileNotice(MobileNotice& notice, MachineSession& session, OperatorInteraction& operatorUi,
                           QWidget* parent);

// The devices offered besides the serial ports: the virtual modem named by KORVEX_VIRTUAL_MODEM.
QStringList extraModemDevices();

}  // namespace korvex
