#include "controller/about_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "controller/command_line.h"
#include "controller/machining/work_state.h"
#include "controller/menu_look.h"
#include "platform/data_dirs.h"

namespace korvex {
namespace {

QLabel* label(const QString& text, const QString& name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

// "%08X"
QString cardIdHex(uint32_t cardId) { return QStringLiteral("%1").arg(cardId, 8, 16, QLatin1Char('0')).toUpper(); }

QDialogButtonBox* okBox(QDialog* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    return box;
}

}  // namespace

QString cardCapabilityText(int cardType) {
    if (cardType < 0 || cardType > 4)
        return qtTrId("about.capability.unknown");
    return qtTrId(QStringLiteral("about.capability.%1").arg(cardType).toLatin1().constData());
}

QString cardTypeLine(int cardType, const QString& portLabel) {
    return QStringLiteral("V%1(%2)").arg(cardType, 0, 16).arg(portLabel);
}

CAboutDialog::CAboutDialog(uint32_t cardId, const QString& portLabel, QWidget* parent) : QDialog(parent) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("about.title"));
    const int cardType = cardTypeDigit(cardId);
    auto* icon = new QLabel(this);
    icon->setPixmap(toolBarIcon(Command::About).pixmap(kToolBarIconPx, kToolBarIconPx));
    auto* text = new QVBoxLayout;
    text->addWidget(label(qtTrId("about.version").arg(QLatin1String(kVersion), QLatin1String(kBuildVersion)),
                          QStringLiteral("AboutVersion"), this));
    text->addWidget(label(qtTrId("about.card_id").arg(cardIdHex(cardId)), QStringLiteral("AboutCardId"), this));
    text->addWidget(label(cardTypeLine(cardType, portLabel), QStringLiteral("AboutCardType"), this));
    text->addWidget(label(cardCapabilityText(cardType), QStringLiteral("AboutCapability"), this));
    text->addWidget(label(qtTrId("about.copyright"), QStringLiteral("AboutCopyright"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(12);
    row->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(okBox(this));
}

CAgentDialog::CAgentDialog(uint32_t cardId, const QString& portLabel, QWidget* parent) : QDialog(parent) {
    setObjectName(QLatin1String(kName));
    setWindowTitle(qtTrId("agent.title"));
    auto* form = new QFormLayout;
    form->addRow(qtTrId("agent.version"), label(QLatin1String(kBuildVersion), QStringLiteral("AgentVersion"), this));
    form->addRow(qtTrId("agent.data_dir"), label(dataDirectory(), QStringLiteral("AgentDataDir"), this));
    form->addRow(qtTrId("agent.port"), label(portLabel, QStringLiteral("AgentPort"), this));
    form->addRow(qtTrId("agent.card_id"), label(cardIdHex(cardId), QStringLiteral("AgentCardId"), this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(qtTrId("agent.text"), QStringLiteral("AgentText"), this));
    layout->addLayout(form);
    layout->addWidget(okBox(this));
}

}  // namespace korvex
