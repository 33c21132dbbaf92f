// The Help menu's two boxes. About: the program's version, the card's identifier, the card
// type digit with the port ("V%x(%s)") and what that kind of card can drive. Agent: where this
// installation keeps its data and which card on which port it talks to.
#pragma once

#include <QDialog>

#include <cstdint>

namespace korvex {

// The capability text of a card type digit (0..4; any other digit has the unknown text).
QString cardCapabilityText(int cardType);
// "V%x(%s)": the card type digit in hexadecimal and the port.
QString cardTypeLine(int cardType, const QString& portLabel);

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "AboutDialog";
    CAboutDialog(uint32_t cardId, const QString& portLabel, QWidget* parent = nullptr);
};

class CAgentDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "AgentDialog";
    CAgentDialog(uint32_t cardId, const QString& portLabel, QWidget* parent = nullptr);
};

}  // namespace korvex
