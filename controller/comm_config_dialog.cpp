#include "controller/comm_config_dialog.h"

#include "controller/port_connector.h"
#include "platform/data_dirs.h"
#include "platform/serial_ports.h"
#include "platform/settings_file.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace korvex {

namespace {

// The system's own hardware tools, in order of preference; the button hides when none exists.
QString deviceManagerProgram() {
    for (const char* name : {"gnome-control-center", "systemsettings", "hardinfo", "lshw-gtk"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

constexpr int kPictureHeight = 110;

QString picturePath() { return QDir::current().filePath(QStringLiteral("comp.bmp")); }

// How a device is shown in the list: by its COM name when it has one.
QString listText(const QString& device, const SettingsFile& machine) {
    const int number = comNumberForDevice(device, machine);
    return number > 0 ? QStringLiteral("COM%1").arg(number) : device;
}

}  // namespace

PortComboBox::PortComboBox(QStringList extraDevices, QWidget* parent)
    : QComboBox(parent), extraDevices_(std::move(extraDevices)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumContentsLength(24);
}

void PortComboBox::refill() {
    const QString typed = currentText();
    const SettingsFile machine(machineSettingsPath());
    clear();
    for (const QString& device : enumerateSerialDevices(extraDevices_))
        addItem(listText(device, machine), device);
    setEditText(typed);
}

void PortComboBox::showPopup() {
    refill();
    QComboBox::showPopup();
}

CommConfigDialog::CommConfigDialog(PortConnector& connector, const QString& initialText,
                                   const QStringList& extraDevices, QWidget* parent)
    : QDialog(parent), connector_(connector) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("comm.title"));
    connector_.setConnectRunner(connectBesideEventLoop);

    port_ = new PortComboBox(extraDevices, this);
    port_->refill();
    port_->setEditText(initialText);

    auto* devices = new QPushButton(qtTrId("comm.dev_manager"), this);
    devices->setVisible(!deviceManagerProgram().isEmpty());
    connect(devices, &QPushButton::clicked, this, &CommConfigDialog::openDeviceManager);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(qtTrId("comm.ok"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(qtTrId("comm.cancel"), QDialogButtonBox::RejectRole);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CommConfigDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CommConfigDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(qtTrId("comm.port_label"), this));
    row->addWidget(port_, 1);
    row->addWidget(devices);
    auto* layout = new QVBoxLayout(this);
    if (QFileInfo::exists(picturePath()))
        layout->addSpacing(kPictureHeight + 10);  // room for the connection picture
    auto* hint = new QLabel(qtTrId("comm.hint"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void CommConfigDialog::accept() {
    // The selected entry's device is used when the text is still the entry's label.
    QString text = port_->currentText();
    const int index = port_->currentIndex();
    if (index >= 0 && port_->itemText(index) == text)
        text = port_->itemData(index).toString();
    if (connecting_)
        return;
    connecting_ = true;
    const bool connected = connector_.connectTo(text, [this] {
        ok_->setEnabled(false);
        cancel_->setEnabled(false);
    });
    connecting_ = false;
    ok_->setEnabled(true);
    cancel_->setEnabled(true);
    if (connected)
        QDialog::accept();
}

void CommConfigDialog::reject() {
    if (connecting_)
        return;  // Escape or the close box while the card is being reached
    connector_.cancel();
    QDialog::reject();
}

void CommConfigDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // An optional picture of the cable, from the working directory; nothing when it is absent.
    const QString picture = picturePath();
    if (QFileInfo::exists(picture)) {
        QPainter painter(this);
        painter.drawImage(QRect(10, 10, width() - 20, kPictureHeight), QImage(picture));
    }
}

void CommConfigDialog::openDeviceManager() {
    const QString program = deviceManagerProgram();
    if (!program.isEmpty())
        QProcess::startDetached(program, {});
}

}  // namespace korvex
