#include "controller/machining/link_machining_card.h"

#include "controller/link/commands.h"

namespace korvex {

int LinkMachiningCard::sendSegments(const SegmentWindow& window) { return CMD_SEND_SEGMENTS(link_, window); }

int LinkMachiningCard::start(StartKind kind, const SegmentWindow& window, const StartPayload& payload) {
    switch (kind) {
    case StartKind::Simulate: return CMD_START_SIMULATE(link_, window, payload);
    case StartKind::Walk: return CMD_START_WALK(link_, window, payload);
    case StartKind::Cut: return CMD_START_CUT(link_, window, payload);
    case StartKind::Back: return CMD_START_BACK(link_, window, payload);
    case StartKind::Adjusted: return CMD_START_ADJUSTED(link_, window, payload);
    }
    return -1;
}

int LinkMachiningCard::startReturn(const ReturnTarget& target) { return CMD_START_RETURN(link_, target); }
int LinkMachiningCard::startFastRoll() { return CMD_START_FAST_ROLL(link_); }
int LinkMachiningCard::stopFastRoll(RollBlock& position) { return CMD_STOP_FAST_ROLL(link_, &position); }
int LinkMachiningCard::stop(StatusBlock& status) { return CMD_STOP(link_, &status); }
int LinkMachiningCard::resetRunState(int argument) { return CMD_RESET_RUN_STATE(link_, argument); }
int LinkMachiningCard::stopAll(bool stop) { return CMD_STOP_ALL(link_, stop); }
int LinkMachiningCard::setMotor(bool on) { return CMD_SET_MOTOR(link_, on); }
int LinkMachiningCard::setHf(bool on) { return CMD_SET_HF(link_, on); }
int LinkMachiningCard::setRange(int32_t first, int32_t last) { return CMD_SET_RANGE(link_, first, last); }
int LinkMachiningCard::setDirection(int direction) { return CMD_SET_DIRECTION(link_, direction); }
int LinkMachiningCard::setIgnorePause(bool ignore) { return CMD_SET_IGNORE_PAUSE(link_, ignore); }
int LinkMachiningCard::setSegmentStops(std::span<const int32_t> segments) {
    return CMD_SET_SEGMENT_STOPS(link_, segments);
}
int LinkMachiningCard::setFeed(const FeedBytes& entry, int value) { return CMD_SET_FEED(link_, entry, value); }
int LinkMachiningCard::getState(StateBlock& state) { return CMD_GET_STATE(link_, &state); }
int LinkMachiningCard::getStatus(StatusBlock& status) { return CMD_GET_STATUS(link_, &status); }
int LinkMachiningCard::getRunState(RunState& runState) { return CMD_GET_RUN_STATE(link_, &runState); }
int LinkMachiningCard::getPosition(PositionBlock& position) { return CMD_GET_POSITION(link_, &position); }
int LinkMachiningCard::getHfLevel(int32_t& level) { return CMD_GET_HF_LEVEL(link_, &level); }
int LinkMachiningCard::getRollInfo(RollBlock& info) { return CMD_GET_ROLL_INFO(link_, &info); }

}  // namespace korvex
