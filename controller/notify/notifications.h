// Everything that reaches the operator away from the screen, as the main window holds it: the
// mobile notices through the GSM modem, the alarm sound of the alarm boxes, and the power-off
// after the last cut. The machining operations call into it through their host's hooks.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "controller/notify/auto_shutdown.h"
#include "controller/notify/mobile_notice.h"

class QWidget;

namespace korvex {

class MachineControl;
class MachineSession;
class OperatorInteraction;
class PulseTable;
class ToneOutput;

class Notifications : public QObject {
    Q_OBJECT
public:
    Notifications(MachineSession& session, OperatorInteraction& operatorUi, PulseTable& pulseTable,
                  QWidget* window, modem::ModemTiming timing = {});
    ~Notifications() override;

    MobileNotice& notice() { return notice_; }

    // Config > Mobile Notice: SMS Config, then Mobile Notice Config.
    void configure();
    // --modem DEVICE at the end of start-up, with the stored service centre; a failure only
    // shows its message.
    bool openAtStart(const QString& portText);
    // The card events' notices, the finish actions and the alarm sound of these operations.
    void attach(MachineControl& control);
    // The exit: the modem's worker stops and its port closes.
    void close();

    // Tests and the benchmark: where tones go (before attach), and what powers off.
    void setToneOutput(std::shared_ptr<ToneOutput> output) { toneOutput_ = std::move(output); }
    void setPowerOff(std::function<void()> powerOff) { powerOff_ = std::move(powerOff); }
    // Runs the finish action of that kind (what the machining operations call).
    bool runFinishAction(int kind);

private:
    MachineSession& session_;
    OperatorInteraction& operatorUi_;
    PulseTable& pulseTable_;
    QWidget* window_;
    MobileNotice notice_;
    MachineControl* control_ = nullptr;
    std::shared_ptr<ToneOutput> toneOutput_;
    std::function<void()> powerOff_;
};

}  // namespace korvex
