// "Comm Config": the first dialog of every start. The operator picks or types the card's port
// ("COMx" or a device path); OK opens it and connects, and the dialog stays open with a message
// until that works or the operator cancels.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QStringList>

class QPushButton;

namespace korvex {

class PortConnector;

// The port list is filled again each time it drops down, so a USB adapter plugged in while the
// dialog is open shows up.
class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PortComboBox(QStringList extraDevices, QWidget* parent = nullptr);
    void refill();
    void showPopup() override;

private:
    QStringList extraDevices_;
};

class CommConfigDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr char kObjectName[] = "CommConfig";

    // `initialText` is what the port field shows first ("COM3", or the device given with
    // --port); `extraDevices` are offered besides the serial ports found (the virtual card).
    CommConfigDialog(PortConnector& connector, const QString& initialText,
                     const QStringList& extraDevices, QWidget* parent = nullptr);

    QString portText() const { return port_->currentText(); }
    void setPortText(const QString& text) { port_->setEditText(text); }

public slots:
    void accept() override;
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openDeviceManager();

    PortConnector& connector_;
    PortComboBox* port_;
    bool connecting_ = false;  // the card is being reached: the dialog cannot be closed
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace korvex
