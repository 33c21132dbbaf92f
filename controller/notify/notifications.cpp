#include "controller/notify/notifications.h"

#include <QWidget>

#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/notify/alarm_sound.h"
#include "controller/notify/audio_tone_output.h"
#include "controller/notify/notice_dialogs.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"
#include "platform/operator_interaction.h"
#include "platform/power_off.h"

namespace korvex {

Notifications::Notifications(MachineSession& session, OperatorInteraction& operatorUi, PulseTable& pulseTable,
                             QWidget* window, modem::ModemTiming timing)
    : QObject(window),
      session_(session),
      operatorUi_(operatorUi),
      pulseTable_(pulseTable),
      window_(window),
      notice_(session, timing),
      powerOff_([] { powerOffMachine(); }) {}  // a refusal shows nothing: the program carries on

Notifications::~Notifications() { close(); }

void Notifications::configure() { configureMobileNotice(notice_, session_, operatorUi_, window_); }

bool Notifications::openAtStart(const QString& portText) {
    const QString title = session_.alarmTitle();
    if (notice_.storedSettings().smsc.empty()) {
        operatorUi_.message(title, qtTrId("notify.check_port_smsc"), OperatorInteraction::Icon::Warning);
        return false;
    }
    const modem::OpenResult result = notice_.open(portText);
    if (result != modem::OpenResult::Opened) {
        operatorUi_.message(title, MobileNotice::messageFor(result), OperatorInteraction::Icon::Warning);
        return false;
    }
    return true;
}

void Notifications::attach(MachineControl& control) {
    control_ = &control;
    control.sendNotice = [this](const char* textId) { notice_.notify(textId); };
    control.runFinishAction = [this](int kind) { runFinishAction(kind); };
    if (!toneOutput_)
        toneOutput_ = std::make_shared<AudioToneOutput>();
    control.setSound(std::make_unique<BeepAlarm>(
        toneOutput_, [this] { return readKey(session_.machineSettings(), keys::kShutMusic) == 1; },
        [this](const QString& text) {
            operatorUi_.message(session_.alarmTitle(), text, OperatorInteraction::Icon::Critical);
        }));
}

bool Notifications::runFinishAction(int kind) {
    AutoShutdown::Steps steps;
    if (control_)
        steps.motorOff = [this](std::function<void()> done) { control_->operations().motorOff(std::move(done)); };
    steps.writePulseTable = [this] { return pulseTable_.write(pulseTablePath()); };
    steps.noticesPending = [this] { return notice_.pending(); };
    steps.powerOff = powerOff_;
    AutoShutdown shutdown(session_, operatorUi_, std::move(steps), window_);
    return shutdown.run(kind);
}

void Notifications::close() { notice_.close(); }

}  // namespace korvex
