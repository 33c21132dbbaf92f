// What the "Comm Config" dialog does with the port the operator chose: read the text ("COMx" or
// a device path), open the device, remember the port in Korvex.ini, and connect to the card.
// Kept apart from the dialog so that "--connect DEVICE" runs exactly the same steps.
#pragma once

#include <QString>

#include <functional>

#include "platform/serial_ports.h"

namespace korvex {

class CardControl;
class OperatorInteraction;

class PortConnector {
public:
    PortConnector(CardControl& card, OperatorInteraction& operatorUi)
        : card_(card), operatorUi_(operatorUi) {}

    // The OK button. Shows the operator what went wrong and returns false when the dialog must
    // stay open; true when the card answered the connect. `beforeConnect` runs after the port
    // opened and before the connect is sent (the dialog disables its buttons there).
    bool connectTo(const QString& portText, const std::function<void()>& beforeConnect = {});
    // The Cancel button: a port opened by an earlier attempt is closed again.
    void cancel();

    // How the connect is waited for. The dialog runs it beside its event loop so the window
    // keeps repainting while the card is reached; without a runner it is sent right here.
    using ConnectRunner = std::function<int(const std::function<int()>& connect)>;
    void setConnectRunner(ConnectRunner runner) { connectRunner_ = std::move(runner); }

    const SerialPortChoice& choice() const { return choice_; }

private:
    void tell(const QString& text);

    CardControl& card_;
    OperatorInteraction& operatorUi_;
    SerialPortChoice choice_;
    ConnectRunner connectRunner_;
};

// Runs `connect` on a thread of its own while this thread goes on handling events other than
// the operator's input, so the windows repaint during the link's attempts.
int connectBesideEventLoop(const std::function<int()>& connect);

}  // namespace korvex
