// The card commands of a running machine: starts and stops, the segment window, the outputs,
// the polls. The card worker sends them all; the machining logic never sees the link itself, so
// it runs against the card link, the virtual card, or a recording fake alike.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "controller/link/records.h"

namespace korvex {

using RollBlock = std::array<uint8_t, kRollInfoBytes>;
using FeedBytes = std::array<uint8_t, kFeedEntryBytes>;

// What a start command starts.
enum class StartKind : uint8_t { Simulate, Walk, Cut, Back, Adjusted };

class MachiningCard {
public:
    virtual ~MachiningCard() = default;
    // Each returns 0 on success and a negative value when the card refused or did not answer.
    virtual int sendSegments(const SegmentWindow& window) = 0;
    // Sends the window, then the start command only if the window was taken.
    virtual int start(StartKind kind, const SegmentWindow& window, const StartPayload& payload) = 0;
    virtual int startReturn(const ReturnTarget& target) = 0;
    virtual int startFastRoll() = 0;
    virtual int stopFastRoll(RollBlock& position) = 0;
    virtual int stop(StatusBlock& status) = 0;
    virtual int resetRunState(int argument) = 0;
    virtual int stopAll(bool stop) = 0;
    virtual int setMotor(bool on) = 0;
    virtual int setHf(bool on) = 0;
    virtual int setRange(int32_t first, int32_t last) = 0;
    virtual int setDirection(int direction) = 0;
    virtual int setIgnorePause(bool ignore) = 0;
    virtual int setSegmentStops(std::span<const int32_t> segments) = 0;
    virtual int setFeed(const FeedBytes& entry, int value) = 0;
    virtual int getState(StateBlock& state) = 0;
    virtual int getStatus(StatusBlock& status) = 0;
    virtual int getRunState(RunState& runState) = 0;
    virtual int getPosition(PositionBlock& position) = 0;
    virtual int getHfLevel(int32_t& level) = 0;
    virtual int getRollInfo(RollBlock& info) = 0;
};

}  // namespace korvex
