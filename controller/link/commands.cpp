#include "controller/link/commands.h"

#include <chrono>
#include <thread>

#include "controller/link/trace.h"

namespace korvex {
namespace {


int send(CardLink& link, uint8_t code, const uint8_t* payload = nullptr, std::size_t length = 0) {
    return link.Transaction(code, payload, length, nullptr, 0, nullptr);
}

int sendByte(CardLink& link, uint8_t code, int value) {
    const uint8_t byte = static_cast<uint8_t>(value);  // the low byte of the argument
    return send(link, code, &byte, 1);
}

// Reads an answer of exactly N bytes: a shorter one would leave part of the record undefined.
template <std::size_t N>
int fetch(CardLink& link, uint8_t code, std::array<uint8_t, N>& out) {
    std::size_t got = 0;
    if (link.Transaction(code, nullptr, 0, out.data(), N, &got) != 0) return -1;
    if (got != N) {
        LinkTrace("ERROR: Frame 0x%x answered %zu bytes, %zu expected\n", code, got, N);
        return -1;
    }
    return 0;
}

// The longest list of integers any command carries: the segment stops.
constexpr std::size_t kMaxIntArguments = MAX_SEG_STOP_COUNT;

int sendInts(CardLink& link, uint8_t code, std::span<const int32_t> values) {
    uint8_t payload[4 * kMaxIntArguments];
    if (values.size() > kMaxIntArguments) return -1;
    for (std::size_t i = 0; i < values.size(); ++i) PutLe32(payload + 4 * i, values[i]);
    return send(link, code, payload, 4 * values.size());
}

int startWith(CardLink& link, uint8_t code, const SegmentWindow& window, const StartPayload& start) {
    if (korvex::CMD_SEND_SEGMENTS(link, window) != 0) return -1;
    std::array<uint8_t, kStartPayloadBytes> payload;
    encodeStartPayload(start, payload);
    return send(link, code, payload.data(), payload.size());
}

}  // namespace

// ---- link ----

int CMD_CONNECT(CardLink& link) {
    if (send(link, cmdcode::CMD_CONNECT) != 0) return -1;
    if (link.options().connectPauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(link.options().connectPauseMs));
    return 0;
}

int CMD_GET_CARD_ID(CardLink& link, uint32_t* id) {
    std::array<uint8_t, 4> answer;
    if (id == nullptr || fetch(link, cmdcode::CMD_GET_CARD_ID, answer) != 0) return -1;
    *id = static_cast<uint32_t>(GetLe32(answer.data()));
    link.SetCardId(*id);
    return 0;
}

int CMD_KEEP_ALIVE(CardLink& link) { return send(link, cmdcode::CMD_KEEP_ALIVE); }
int CMD_CLOSE(CardLink& link) { return send(link, cmdcode::CMD_CLOSE); }

// ---- machine settings ----

int CMD_GET_SETTINGS(CardLink& link, SettingsBlock* settings) {
    std::array<uint8_t, kSettingsBlockBytes> answer;
    if (settings == nullptr || fetch(link, cmdcode::CMD_GET_SETTINGS, answer) != 0) return -1;
    *settings = decodeSettingsBlock(answer);
    return 0;
}

int CMD_RESTORE_DEFAULTS(CardLink& link) { return send(link, cmdcode::CMD_RESTORE_DEFAULTS); }

int CMD_SET_PHASE(CardLink& link, const PhaseSettings& phase) {
    return send(link, cmdcode::CMD_SET_PHASE, phase.data(), phase.size());
}

int CMD_SET_ROLL_GAP(CardLink& link, int32_t microseconds) {
    const int32_t value[] = {microseconds};
    return sendInts(link, cmdcode::CMD_SET_ROLL_GAP, value);
}

int CMD_SET_AXIS_INVERT(CardLink& link, const AxisFlags& invert) {
    return send(link, cmdcode::CMD_SET_AXIS_INVERT, invert.data(), invert.size());
}

int CMD_SET_CLEARANCE(CardLink& link, int seconds) { return sendByte(link, cmdcode::CMD_SET_CLEARANCE, seconds); }
int CMD_SET_BACK_DELAY(CardLink& link, int seconds) { return sendByte(link, cmdcode::CMD_SET_BACK_DELAY, seconds); }
int CMD_SET_BACK_STOP_TIME(CardLink& link, int seconds) {
    return sendByte(link, cmdcode::CMD_SET_BACK_STOP_TIME, seconds);
}

int CMD_SET_SPEED_LIMITS(CardLink& link, const SpeedLimits& speeds) {
    return sendInts(link, cmdcode::CMD_SET_SPEED_LIMITS, speeds);
}

int CMD_SET_TRACK(CardLink& link, int mode) { return sendByte(link, cmdcode::CMD_SET_TRACK, mode); }

int CMD_SET_LOOP(CardLink& link, int loops) {
    // The low byte of 256 would be 0 loops: refuse rather than send something else.
    if (loops < kMinLoops || loops > kMaxLoops) {
        LinkTrace("ERROR: loop count is wrong!\n");
        return -1;
    }
    return sendByte(link, cmdcode::CMD_SET_LOOP, loops);
}

int CMD_SET_MACHINE_NAME(CardLink& link, std::string_view name) {
    if (name.size() > kMachineNameBytes) {
        LinkTrace("ERROR: len > MAX_MASHINE_NAME_LEN\n");
        return -1;
    }
    if (name.empty()) {
        LinkTrace("ERROR: machine name is empty\n");
        return -1;
    }
    return send(link, cmdcode::CMD_SET_MACHINE_NAME, reinterpret_cast<const uint8_t*>(name.data()), name.size());
}

int CMD_STOP_ALL(CardLink& link, bool stop) { return sendByte(link, cmdcode::CMD_STOP_ALL, stop ? 1 : 0); }

// ---- outputs and manual motion ----

int CMD_SET_MOTOR(CardLink& link, bool on) { return sendByte(link, cmdcode::CMD_SET_MOTOR, on ? 1 : 0); }
int CMD_SET_HF(CardLink& link, bool on) { return sendByte(link, cmdcode::CMD_SET_HF, on ? 1 : 0); }
int CMD_JOG(CardLink& link, const AxisSteps& steps) { return sendInts(link, cmdcode::CMD_JOG, steps); }
int CMD_STEP_AXIS(CardLink& link, uint8_t mask) { return sendByte(link, cmdcode::CMD_STEP_AXIS, mask); }
int CMD_ADJUST_CENTER(CardLink& link) { return send(link, cmdcode::CMD_ADJUST_CENTER); }

int CMD_ADJUST_BORDER(CardLink& link, int direction) {
    if (direction != 1 && direction != 2 && direction != 4 && direction != 8) {
        LinkTrace("ERROR: JudgeSpeed is wrong!\n");
        return -1;
    }
    return sendByte(link, cmdcode::CMD_ADJUST_BORDER, direction);
}

// ---- pulse parameters and feed ----

int CMD_SET_PULSE_GROUP(CardLink& link, const PulseGroupImage& group) {
    return send(link, cmdcode::CMD_SET_PULSE_GROUP, group.data(), group.size());
}

int CMD_SET_SWITCH_WITHOUT_VF(CardLink& link, bool on) {
    return sendByte(link, cmdcode::CMD_SET_SWITCH_WITHOUT_VF, on ? 1 : 0);
}

int CMD_SET_FEED(CardLink& link, const FeedEntry& entry, int value) {
    if (value < kMinFeedValue || value > kMaxFeedValue) {
        LinkTrace("ERROR: feed value is wrong!\n");
        return -1;
    }
    uint8_t payload[kFeedRequestBytes] = {};  // the last three bytes carry nothing
    std::copy(entry.begin(), entry.end(), payload);
    payload[kFeedEntryBytes] = static_cast<uint8_t>(value);
    return send(link, cmdcode::CMD_SET_FEED, payload, sizeof payload);
}

// ---- program and work ----

int CMD_GET_WORK_RECORD(CardLink& link, WorkRecord* record) {
    std::array<uint8_t, kWorkRecordBytes> answer;
    if (record == nullptr || fetch(link, cmdcode::CMD_GET_WORK_RECORD, answer) != 0) return -1;
    *record = decodeWorkRecord(answer);
    return 0;
}

int CMD_LOAD_MODEL(CardLink& link, const LoadDescriptor& descriptor, bool restore) {
    uint8_t payload[kLoadDescriptorBytes + 1];
    encodeLoadDescriptor(descriptor, std::span<uint8_t, kLoadDescriptorBytes>(payload, kLoadDescriptorBytes));
    payload[kLoadDescriptorBytes] = restore ? 1 : 0;
    return send(link, cmdcode::CMD_LOAD_MODEL, payload, sizeof payload);
}

int CMD_UNLOAD_MODEL(CardLink& link) { return send(link, cmdcode::CMD_UNLOAD_MODEL); }
int CMD_CLEAR_WORK(CardLink& link) { return send(link, cmdcode::CMD_CLEAR_WORK); }

int CMD_SET_RANGE(CardLink& link, int32_t first, int32_t last) {
    const int32_t values[] = {first, last};
    return sendInts(link, cmdcode::CMD_SET_RANGE, values);
}

int CMD_SEND_SEGMENTS(CardLink& link, const SegmentWindow& window) {
    std::array<uint8_t, kSegmentWindowBytes> payload;
    encodeSegmentWindow(window, payload);
    return send(link, cmdcode::CMD_SEND_SEGMENTS, payload.data(), payload.size());
}

int CMD_SET_DIRECTION(CardLink& link, int direction) {
    if (direction != 0 && direction != 1) {
        LinkTrace("ERROR: Dirc is wrong!\n");
        return -1;
    }
    return sendByte(link, cmdcode::CMD_SET_DIRECTION, direction);
}

int CMD_SET_IGNORE_PAUSE(CardLink& link, bool ignore) {
    return sendByte(link, cmdcode::CMD_SET_IGNORE_PAUSE, ignore ? 1 : 0);
}

int CMD_SET_SEGMENT_STOPS(CardLink& link, std::span<const int32_t> segments) {
    if (segments.size() > MAX_SEG_STOP_COUNT) {
        LinkTrace("ERROR: count > MAX_SEG_STOP_COUNT!\n");
        return -1;
    }
    return sendInts(link, cmdcode::CMD_SET_SEGMENT_STOPS, segments);
}

int CMD_SET_PLAN_PAUSE(CardLink& link, int32_t segment, int32_t percent) {
    const int32_t values[] = {segment, percent};
    return sendInts(link, cmdcode::CMD_SET_PLAN_PAUSE, values);
}

int CMD_SET_TAPER(CardLink& link, const TaperBlock& taper) {
    std::array<uint8_t, kTaperBlockBytes> payload;
    encodeTaperBlock(taper, payload);
    return send(link, cmdcode::CMD_SET_TAPER, payload.data(), payload.size());
}

// ---- running ----

int CMD_START_CUT(CardLink& link, const SegmentWindow& w, const StartPayload& s) {
    return startWith(link, cmdcode::CMD_START_CUT, w, s);
}
int CMD_START_WALK(CardLink& link, const SegmentWindow& w, const StartPayload& s) {
    return startWith(link, cmdcode::CMD_START_WALK, w, s);
}
int CMD_START_SIMULATE(CardLink& link, const SegmentWindow& w, const StartPayload& s) {
    return startWith(link, cmdcode::CMD_START_SIMULATE, w, s);
}
int CMD_START_BACK(CardLink& link, const SegmentWindow& w, const StartPayload& s) {
    return startWith(link, cmdcode::CMD_START_BACK, w, s);
}
int CMD_START_ADJUSTED(CardLink& link, const SegmentWindow& w, const StartPayload& s) {
    return startWith(link, cmdcode::CMD_START_ADJUSTED, w, s);
}

int CMD_START_RETURN(CardLink& link, const ReturnTarget& target) {
    std::array<uint8_t, kReturnTargetBytes> payload;
    encodeReturnTarget(target, payload);
    return send(link, cmdcode::CMD_START_RETURN, payload.data(), payload.size());
}

int CMD_START_FAST_ROLL(CardLink& link) { return send(link, cmdcode::CMD_START_FAST_ROLL); }

int CMD_STOP_FAST_ROLL(CardLink& link, RollInfo* position) {
    RollInfo answer;
    if (position == nullptr || fetch(link, cmdcode::CMD_STOP_FAST_ROLL, answer) != 0) return -1;
    *position = answer;
    return 0;
}

int CMD_STOP(CardLink& link, StatusBlock* status) {
    std::array<uint8_t, kStatusBlockBytes> answer;
    if (status == nullptr || fetch(link, cmdcode::CMD_STOP, answer) != 0) return -1;
    *status = decodeStatusBlock(answer);
    return 0;
}

int CMD_RESET_RUN_STATE(CardLink& link, int argument) {
    return sendByte(link, cmdcode::CMD_RESET_RUN_STATE, argument);
}

// ---- status polling ----

int CMD_GET_STATUS(CardLink& link, StatusBlock* status) {
    std::array<uint8_t, kStatusBlockBytes> answer;
    if (status == nullptr || fetch(link, cmdcode::CMD_GET_STATUS, answer) != 0) return -1;
    *status = decodeStatusBlock(answer);
    return 0;
}

int CMD_GET_STATE(CardLink& link, StateBlock* state) {
    std::array<uint8_t, kStateBlockBytes> answer;
    if (state == nullptr || fetch(link, cmdcode::CMD_GET_STATE, answer) != 0) return -1;
    *state = decodeStateBlock(answer);
    return 0;
}

int CMD_GET_RUN_STATE(CardLink& link, RunState* runState) {
    std::array<uint8_t, kRunStateBytes> answer;
    if (runState == nullptr || fetch(link, cmdcode::CMD_GET_RUN_STATE, answer) != 0) return -1;
    runState->state = answer[0];
    runState->subState = answer[1];
    return 0;
}

int CMD_GET_POSITION(CardLink& link, PositionBlock* position) {
    std::array<uint8_t, kPositionBlockBytes> answer;
    if (position == nullptr || fetch(link, cmdcode::CMD_GET_POSITION, answer) != 0) return -1;
    *position = decodePositionBlock(answer);
    return 0;
}

int CMD_GET_HF_LEVEL(CardLink& link, int32_t* level) {
    std::array<uint8_t, 4> answer;
    if (level == nullptr || fetch(link, cmdcode::CMD_GET_HF_LEVEL, answer) != 0) return -1;
    *level = GetLe32(answer.data());
    return 0;
}

int CMD_GET_ROLL_INFO(CardLink& link, RollInfo* info) {
    RollInfo answer;
    if (info == nullptr || fetch(link, cmdcode::CMD_GET_ROLL_INFO, answer) != 0) return -1;
    *info = answer;
    return 0;
}

}  // namespace korvex
