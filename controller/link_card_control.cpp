#include "controller/link_card_control.h"

#include "controller/link/commands.h"

namespace korvex {

LinkCardControl::LinkCardControl(LinkOptions options)
    : link_(std::make_unique<CardLink>(std::move(options))) {}

LinkCardControl::~LinkCardControl() { link_->Close(); }

void LinkCardControl::setEventHook(EventHook hook) {
    if (!hook) {
        link_->SetEventHook({});
        return;
    }
    link_->SetEventHook([hook = std::move(hook)](uint8_t code, const uint8_t* record) {
        CardEvent event;
        event.code = code;
        if (record)
            std::copy(record, record + event.data.size(), event.data.begin());
        hook(event);
    });
}

int LinkCardControl::open(const std::string& device) { return link_->Open(device); }

void LinkCardControl::close() { link_->Close(); }

bool LinkCardControl::isOpen() const { return link_->IsOpen(); }

int LinkCardControl::connect() { return CMD_CONNECT(*link_); }

int LinkCardControl::getCardId(uint32_t& id) {
    if (CMD_GET_CARD_ID(*link_, &id) != 0)
        return -1;
    link_->SetCardId(id);  // names the error log from now on
    return 0;
}

int LinkCardControl::getSettings(SettingsBlock& block) { return CMD_GET_SETTINGS(*link_, &block); }

int LinkCardControl::setPulseGroup(const PulseGroupImage& group) {
    return CMD_SET_PULSE_GROUP(*link_, group);
}

int LinkCardControl::setSwitchWithoutVf(uint8_t flag) {
    return CMD_SET_SWITCH_WITHOUT_VF(*link_, flag != 0);
}

int LinkCardControl::setHf(bool on) { return CMD_SET_HF(*link_, on); }

int LinkCardControl::setClearance(int seconds) { return CMD_SET_CLEARANCE(*link_, seconds); }

int LinkCardControl::adjustCenter() { return CMD_ADJUST_CENTER(*link_); }

int LinkCardControl::adjustBorder(int direction) { return CMD_ADJUST_BORDER(*link_, direction); }

int LinkCardControl::getStatus(StatusBlock& status) { return CMD_GET_STATUS(*link_, &status); }
int LinkCardControl::setLoop(int loops) { return CMD_SET_LOOP(*link_, loops); }
int LinkCardControl::setSpeedLimits(const std::array<int32_t, kSpeedCount>& speeds) {
    return CMD_SET_SPEED_LIMITS(*link_, speeds);
}
int LinkCardControl::setBackDelay(int seconds) { return CMD_SET_BACK_DELAY(*link_, seconds); }
int LinkCardControl::setBackStopTime(int seconds) { return CMD_SET_BACK_STOP_TIME(*link_, seconds); }
int LinkCardControl::setPlanPause(int32_t segment, int32_t percent) {
    return CMD_SET_PLAN_PAUSE(*link_, segment, percent);
}
int LinkCardControl::setTrack(int mode) { return CMD_SET_TRACK(*link_, mode); }

int LinkCardControl::setFeed(const std::array<uint8_t, kFeedEntryBytes>& entry, int feedValue) {
    return CMD_SET_FEED(*link_, entry, feedValue);
}

int LinkCardControl::getWorkRecord(WorkRecord& record) { return CMD_GET_WORK_RECORD(*link_, &record); }

int LinkCardControl::keepAlive() { return CMD_KEEP_ALIVE(*link_); }

int LinkCardControl::closeKeepingWork() { return CMD_CLOSE(*link_); }

int LinkCardControl::getRunState(RunState& state) { return CMD_GET_RUN_STATE(*link_, &state); }

int LinkCardControl::stopWork() {
    StatusBlock status;
    return CMD_STOP(*link_, &status);
}

int LinkCardControl::setMotor(bool on) { return CMD_SET_MOTOR(*link_, on); }

int LinkCardControl::logError(const QString& text) {
    return link_->LogError("%s\n", text.toUtf8().constData());
}

int LinkCardControl::setPhase(const std::array<uint8_t, kPhaseBytes>& phase) { return CMD_SET_PHASE(*link_, phase); }

int LinkCardControl::setRollGap(int32_t microseconds) { return CMD_SET_ROLL_GAP(*link_, microseconds); }

int LinkCardControl::setAxisInvert(const std::array<uint8_t, kAxisCount>& flags) {
    return CMD_SET_AXIS_INVERT(*link_, flags);
}

int LinkCardControl::stepAxis(uint8_t mask) { return CMD_STEP_AXIS(*link_, mask); }

int LinkCardControl::jog(const std::array<int32_t, kAxisCount>& steps) { return CMD_JOG(*link_, steps); }

int LinkCardControl::stopAll(bool stop) { return CMD_STOP_ALL(*link_, stop); }

int LinkCardControl::setMachineName(const std::string& name) { return CMD_SET_MACHINE_NAME(*link_, name); }

int LinkCardControl::restoreDefaults() { return CMD_RESTORE_DEFAULTS(*link_); }

int LinkCardControl::setTaper(const TaperBlock& taper) { return CMD_SET_TAPER(*link_, taper); }

int LinkCardControl::loadModel(const LoadDescriptor& descriptor, LoadMode mode) {
    return CMD_LOAD_MODEL(*link_, descriptor, mode == LoadMode::Restore);
}

int LinkCardControl::unloadModel() { return CMD_UNLOAD_MODEL(*link_); }

int LinkCardControl::clearWork() { return CMD_CLEAR_WORK(*link_); }

}  // namespace korvex
