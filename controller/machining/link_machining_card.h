// MachiningCard over the card link: each call is one command function, one transaction.
#pragma once

#include "controller/link/card_link.h"
#include "controller/machining/machining_card.h"

namespace korvex {

class LinkMachiningCard : public MachiningCard {
public:
    explicit LinkMachiningCard(CardLink& link) : link_(link) {}

    int sendSegments(const SegmentWindow& window) override;
    int start(StartKind kind, const SegmentWindow& window, const StartPayload& payload) override;
    int startReturn(const ReturnTarget& target) override;
    int startFastRoll() override;
    int stopFastRoll(RollBlock& position) override;
    int stop(StatusBlock& status) override;
    int resetRunState(int argument) override;
    int stopAll(bool stop) override;
    int setMotor(bool on) override;
    int setHf(bool on) override;
    int setRange(int32_t first, int32_t last) override;
    int setDirection(int direction) override;
    int setIgnorePause(bool ignore) override;
    int setSegmentStops(std::span<const int32_t> segments) override;
    int setFeed(const FeedBytes& entry, int value) override;
    int getState(StateBlock& state) override;
    int getStatus(StatusBlock& status) override;
    int getRunState(RunState& runState) override;
    int getPosition(PositionBlock& position) override;
    int getHfLevel(int32_t& level) override;
    int getRollInfo(RollBlock& info) override;

private:
    CardLink& link_;
};

}  // namespace korvex
