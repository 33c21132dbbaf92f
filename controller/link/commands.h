// The card's command set: one function per command, each a single transaction over the link.
// All return 0 on success and -1 on failure: the transaction's result, or -1 from an argument
// check before anything is sent (with its trace text). Records are passed and returned decoded;
// their opaque bytes travel unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "controller/link/card_link.h"
#include "controller/link/records.h"

namespace korvex {

using PhaseSettings = std::array<uint8_t, kPhaseBytes>;
using AxisFlags = std::array<uint8_t, kAxisCount>;
using AxisSteps = std::array<int32_t, kAxisCount>;
using SpeedLimits = std::array<int32_t, kSpeedCount>;
using FeedEntry = std::array<uint8_t, kFeedEntryBytes>;
using RollInfo = std::array<uint8_t, kRollInfoBytes>;

inline constexpr int kMinFeedValue = 1;
inline constexpr int kMaxFeedValue = 200;
inline constexpr int kMinLoops = 1;
inline constexpr int kMaxLoops = 255;

// ---- link ----
// On success the sequence and report counters restart at 0 and the call pauses
// options().connectPauseMs so the card settles. A failure never reaches the event hook.
int CMD_CONNECT(CardLink& link);
// Also makes the identity the link's own (it names the error log and the diagnostics file).
int CMD_GET_CARD_ID(CardLink& link, uint32_t* id);
int CMD_KEEP_ALIVE(CardLink& link);
int CMD_CLOSE(CardLink& link);

// ---- machine settings ----
int CMD_GET_SETTINGS(CardLink& link, SettingsBlock* settings);
int CMD_RESTORE_DEFAULTS(CardLink& link);
int CMD_SET_PHASE(CardLink& link, const PhaseSettings& phase);
int CMD_SET_ROLL_GAP(CardLink& link, int32_t microseconds);
int CMD_SET_AXIS_INVERT(CardLink& link, const AxisFlags& invert);
int CMD_SET_CLEARANCE(CardLink& link, int seconds);
int CMD_SET_BACK_DELAY(CardLink& link, int seconds);
int CMD_SET_BACK_STOP_TIME(CardLink& link, int seconds);
int CMD_SET_SPEED_LIMITS(CardLink& link, const SpeedLimits& speeds);
int CMD_SET_TRACK(CardLink& link, int mode);
int CMD_SET_LOOP(CardLink& link, int loops);                    // 1 .. 255
int CMD_SET_MACHINE_NAME(CardLink& link, std::string_view name);  // 1 .. 32 bytes
int CMD_STOP_ALL(CardLink& link, bool stop);

// ---- outputs and manual motion ----
int CMD_SET_MOTOR(CardLink& link, bool on);
int CMD_SET_HF(CardLink& link, bool on);
int CMD_JOG(CardLink& link, const AxisSteps& steps);
int CMD_STEP_AXIS(CardLink& link, uint8_t mask);
int CMD_ADJUST_CENTER(CardLink& link);
int CMD_ADJUST_BORDER(CardLink& link, int direction);  // 1, 2, 4 or 8

// ---- pulse parameters and feed ----
int CMD_SET_PULSE_GROUP(CardLink& link, const PulseGroupImage& group);
int CMD_SET_SWITCH_WITHOUT_VF(CardLink& link, bool on);
int CMD_SET_FEED(CardLink& link, const FeedEntry& entry, int value);  // value 1 .. 200

// ---- program and work ----
int CMD_GET_WORK_RECORD(CardLink& link, WorkRecord* record);
int CMD_LOAD_MODEL(CardLink& link, const LoadDescriptor& descriptor, bool restore);
int CMD_UNLOAD_MODEL(CardLink& link);
int CMD_CLEAR_WORK(CardLink& link);
int CMD_SET_RANGE(CardLink& link, int32_t first, int32_t last);
int CMD_SEND_SEGMENTS(CardLink& link, const SegmentWindow& window);
int CMD_SET_DIRECTION(CardLink& link, int direction);  // 0 forward, 1 reverse
int CMD_SET_IGNORE_PAUSE(CardLink& link, bool ignore);
int CMD_SET_SEGMENT_STOPS(CardLink& link, std::span<const int32_t> segments);  // at most 10
int CMD_SET_PLAN_PAUSE(CardLink& link, int32_t segment, int32_t percent);
int CMD_SET_TAPER(CardLink& link, const TaperBlock& taper);

// ---- running: each start sends the segment window first and stops if that fails ----
int CMD_START_CUT(CardLink& link, const SegmentWindow& window, const StartPayload& start);
int CMD_START_WALK(CardLink& link, const SegmentWindow& window, const StartPayload& start);
int CMD_START_SIMULATE(CardLink& link, const SegmentWindow& window, const StartPayload& start);
int CMD_START_BACK(CardLink& link, const SegmentWindow& window, const StartPayload& start);
int CMD_START_ADJUSTED(CardLink& link, const SegmentWindow& window, const StartPayload& start);
int CMD_START_RETURN(CardLink& link, const ReturnTarget& target);
int CMD_START_FAST_ROLL(CardLink& link);
int CMD_STOP_FAST_ROLL(CardLink& link, RollInfo* position);
int CMD_STOP(CardLink& link, StatusBlock* status);
int CMD_RESET_RUN_STATE(CardLink& link, int argument);

// ---- status polling ----
int CMD_GET_STATUS(CardLink& link, StatusBlock* status);
int CMD_GET_STATE(CardLink& link, StateBlock* state);
int CMD_GET_RUN_STATE(CardLink& link, RunState* runState);
int CMD_GET_POSITION(CardLink& link, PositionBlock* position);
int CMD_GET_HF_LEVEL(CardLink& link, int32_t* level);
int CMD_GET_ROLL_INFO(CardLink& link, RollInfo* info);

}  // namespace korvex
