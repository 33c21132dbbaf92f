#include "controller/link/records.h"

#include <algorithm>
#include <cstring>

namespace korvex {

void PutLe32(uint8_t* p, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}
int32_t GetLe32(const uint8_t* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(p[i]) << (8 * i);
    return static_cast<int32_t>(u);
}
void PutLe16(uint8_t* p, int16_t v) {
    const uint16_t u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
}
int16_t GetLe16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

namespace {

// ---- command vocabulary ----
constexpr CommandInfo kCommands[] = {
    {"CMD_CONNECT", cmdcode::CMD_CONNECT, 0, 0, 0},
    {"CMD_GET_CARD_ID", cmdcode::CMD_GET_CARD_ID, 0, 0, 4},
    {"CMD_KEEP_ALIVE", cmdcode::CMD_KEEP_ALIVE, 0, 0, 0},
    {"CMD_CLOSE", cmdcode::CMD_CLOSE, 0, 0, 0},
    {"CMD_GET_SETTINGS", cmdcode::CMD_GET_SETTINGS, 0, 0, kSettingsBlockBytes},
    {"CMD_RESTORE_DEFAULTS", cmdcode::CMD_RESTORE_DEFAULTS, 0, 0, 0},
    {"CMD_SET_PHASE", cmdcode::CMD_SET_PHASE, kPhaseBytes, kPhaseBytes, 0},
    {"CMD_SET_ROLL_GAP", cmdcode::CMD_SET_ROLL_GAP, 4, 4, 0},
    {"CMD_SET_AXIS_INVERT", cmdcode::CMD_SET_AXIS_INVERT, 4, 4, 0},
    {"CMD_SET_CLEARANCE", cmdcode::CMD_SET_CLEARANCE, 1, 1, 0},
    {"CMD_SET_BACK_DELAY", cmdcode::CMD_SET_BACK_DELAY, 1, 1, 0},
    {"CMD_SET_BACK_STOP_TIME", cmdcode::CMD_SET_BACK_STOP_TIME, 1, 1, 0},
    {"CMD_SET_SPEED_LIMITS", cmdcode::CMD_SET_SPEED_LIMITS, 24, 24, 0},
    {"CMD_SET_TRACK", cmdcode::CMD_SET_TRACK, 1, 1, 0},
    {"CMD_SET_LOOP", cmdcode::CMD_SET_LOOP, 1, 1, 0},
    {"CMD_SET_MACHINE_NAME", cmdcode::CMD_SET_MACHINE_NAME, 1, kMachineNameBytes, 0},
    {"CMD_STOP_ALL", cmdcode::CMD_STOP_ALL, 1, 1, 0},
    {"CMD_SET_MOTOR", cmdcode::CMD_SET_MOTOR, 1, 1, 0},
    {"CMD_SET_HF", cmdcode::CMD_SET_HF, 1, 1, 0},
    {"CMD_JOG", cmdcode::CMD_JOG, 16, 16, 0},
    {"CMD_STEP_AXIS", cmdcode::CMD_STEP_AXIS, 1, 1, 0},
    {"CMD_ADJUST_CENTER", cmdcode::CMD_ADJUST_CENTER, 0, 0, 0},
    {"CMD_ADJUST_BORDER", cmdcode::CMD_ADJUST_BORDER, 1, 1, 0},
    {"CMD_SET_PULSE_GROUP", cmdcode::CMD_SET_PULSE_GROUP, kPulseGroupBytes, kPulseGroupBytes, 0},
    {"CMD_SET_SWITCH_WITHOUT_VF", cmdcode::CMD_SET_SWITCH_WITHOUT_VF, 1, 1, 0},
    {"CMD_SET_FEED", cmdcode::CMD_SET_FEED, kFeedRequestBytes, kFeedRequestBytes, 0},
    {"CMD_GET_WORK_RECORD", cmdcode::CMD_GET_WORK_RECORD, 0, 0, kWorkRecordBytes},
    {"CMD_LOAD_MODEL", cmdcode::CMD_LOAD_MODEL, kLoadDescriptorBytes + 1, kLoadDescriptorBytes + 1, 0},
    {"CMD_UNLOAD_MODEL", cmdcode::CMD_UNLOAD_MODEL, 0, 0, 0},
    {"CMD_CLEAR_WORK", cmdcode::CMD_CLEAR_WORK, 0, 0, 0},
    {"CMD_SET_RANGE", cmdcode::CMD_SET_RANGE, 8, 8, 0},
    {"CMD_SEND_SEGMENTS", cmdcode::CMD_SEND_SEGMENTS, kSegmentWindowBytes, kSegmentWindowBytes, 0},
    {"CMD_SET_DIRECTION", cmdcode::CMD_SET_DIRECTION, 1, 1, 0},
    {"CMD_SET_IGNORE_PAUSE", cmdcode::CMD_SET_IGNORE_PAUSE, 1, 1, 0},
    {"CMD_SET_SEGMENT_STOPS", cmdcode::CMD_SET_SEGMENT_STOPS, 0, 4 * MAX_SEG_STOP_COUNT, 0},
    {"CMD_SET_PLAN_PAUSE", cmdcode::CMD_SET_PLAN_PAUSE, 8, 8, 0},
    {"CMD_SET_TAPER", cmdcode::CMD_SET_TAPER, kTaperBlockBytes, kTaperBlockBytes, 0},
    {"CMD_START_CUT", cmdcode::CMD_START_CUT, kStartPayloadBytes, kStartPayloadBytes, 0},
    {"CMD_START_WALK", cmdcode::CMD_START_WALK, kStartPayloadBytes, kStartPayloadBytes, 0},
    {"CMD_START_SIMULATE", cmdcode::CMD_START_SIMULATE, kStartPayloadBytes, kStartPayloadBytes, 0},
    {"CMD_START_BACK", cmdcode::CMD_START_BACK, kStartPayloadBytes, kStartPayloadBytes, 0},
    {"CMD_START_ADJUSTED", cmdcode::CMD_START_ADJUSTED, kStartPayloadBytes, kStartPayloadBytes, 0},
    {"CMD_START_RETURN", cmdcode::CMD_START_RETURN, kReturnTargetBytes, kReturnTargetBytes, 0},
    {"CMD_START_FAST_ROLL", cmdcode::CMD_START_FAST_ROLL, 0, 0, 0},
    {"CMD_STOP_FAST_ROLL", cmdcode::CMD_STOP_FAST_ROLL, 0, 0, kRollInfoBytes},
    {"CMD_STOP", cmdcode::CMD_STOP, 0, 0, kStatusBlockBytes},
    {"CMD_RESET_RUN_STATE", cmdcode::CMD_RESET_RUN_STATE, 1, 1, 0},
    {"CMD_GET_STATUS", cmdcode::CMD_GET_STATUS, 0, 0, kStatusBlockBytes},
    {"CMD_GET_STATE", cmdcode::CMD_GET_STATE, 0, 0, kStateBlockBytes},
    {"CMD_GET_RUN_STATE", cmdcode::CMD_GET_RUN_STATE, 0, 0, kRunStateBytes},
    {"CMD_GET_POSITION", cmdcode::CMD_GET_POSITION, 0, 0, kPositionBlockBytes},
    {"CMD_GET_HF_LEVEL", cmdcode::CMD_GET_HF_LEVEL, 0, 0, 4},
    {"CMD_GET_ROLL_INFO", cmdcode::CMD_GET_ROLL_INFO, 0, 0, kRollInfoBytes},
};
static_assert(sizeof(kCommands) / sizeof(kCommands[0]) == 53);

// ---- settings block ----
constexpr std::size_t kSetSpeeds = 4, kSetPhase = 28, kSetInvert = 44, kSetTrack = 48,
                      kSetClearance = 49, kSetBackDelay = 50, kSetBackStop = 51, kSetName = 76,
                      kSetRollGap = 108;
static_assert(kSetRollGap + 4 + 4 == kSettingsBlockBytes);

// ---- work parameter block ----
constexpr std::size_t kWpSegment = 0, kWpUpper = 8, kWpLower = 20, kWpGuideUV = 32, kWpGuideXY = 40,
                      kWpRollerX = 64, kWpLoop = 92;
static_assert(kWpLoop + 4 == kWorkParamsBytes);

// ---- status block ----
constexpr std::size_t kStRun = 0, kStSub = 1, kStAdjust = 2, kStWork = 4, kStSpeed = 104, kStRemaining = 112,
                      kStEdge = 128;
static_assert(kStWork + kWorkParamsBytes <= kStSpeed && kStEdge + 4 <= kStatusBlockBytes);

// ---- state block ----
constexpr std::size_t kSbFirst = 64, kSbLast = 68, kSbReverse = 72, kSbStatus = 128;
static_assert(kSbStatus + kStatusBlockBytes == kStateBlockBytes);

// ---- load descriptor ----
constexpr std::size_t kLdTitle = 0, kLdFirst = 64, kLdLast = 68, kLdReverse = 72, kLdLoops = 73,
                      kLdIgnore = 74, kLdTaper = 76, kLdStops = 80, kLdGraph = 120;
static_assert(kLdGraph + 8 == kLoadDescriptorBytes);

// ---- work record ----
constexpr std::size_t kWrKind = 0, kWrLoad = 4, kWrWork = 132, kWrReturn = 228, kWrDistances = 232;
static_assert(kWrLoad + kLoadDescriptorBytes == kWrWork);
static_assert(kWrWork + kWorkParamsBytes == kWrReturn);
static_assert(kWrDistances + 16 == kWorkRecordBytes);

static_assert(kWorkParamsBytes + 2 * kPulseGroupBytes == kStartPayloadBytes);
static_assert(kWorkParamsBytes + 4 == kPositionBlockBytes);
static_assert(6 * 4 == kTaperBlockBytes);
static_assert(5 * 4 == kReturnTargetBytes);
static_assert(kSegmentWindowBytes == 264);

void putCursor(uint8_t* p, const StepCursor& c) {
    PutLe32(p, c.steps);
    PutLe32(p + 4, c.x);
    PutLe32(p + 8, c.y);
}
StepCursor getCursor(const uint8_t* p) { return {GetLe32(p), GetLe32(p + 4), GetLe32(p + 8)}; }

template <std::size_t N>
std::string textOf(const std::array<char, N>& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

std::string spellingOf(const std::string& name) {
    // "get-card-id" -> "CMD_GET_CARD_ID"
    std::string out = "CMD_";
    for (char c : name) {
        if (c == '-') out += '_';
        else if (c >= 'a' && c <= 'z') out += static_cast<char>(c - 'a' + 'A');
        else out += c;
    }
    return out;
}

}  // namespace

std::span<const CommandInfo> CommandTable() { return kCommands; }

const CommandInfo* FindCommand(uint8_t code) {
    for (const CommandInfo& c : kCommands)
        if (c.code == code) return &c;
    return nullptr;
}

const CommandInfo* FindCommand(const std::string& name) {
    const std::string wanted = name.rfind("CMD_", 0) == 0 ? name : spellingOf(name);
    for (const CommandInfo& c : kCommands)
        if (wanted == c.name) return &c;
    return nullptr;
}

std::string SettingsBlock::name() const { return textOf(machineName); }
std::string LoadDescriptor::title() const { return textOf(fileTitle); }

int LoadDescriptor::setTitle(const std::string& title) {
    if (title.size() > kFileTitleBytes) return -1;
    fileTitle.fill('\0');
    std::copy(title.begin(), title.end(), fileTitle.begin());
    return 0;
}

// ---- settings block ----

void encodeSettingsBlock(const SettingsBlock& r, std::span<uint8_t, kSettingsBlockBytes> out) {
    uint8_t* p = out.data();
    std::memcpy(p, r.image.data(), kSettingsBlockBytes);
    for (std::size_t i = 0; i < kSpeedCount; ++i) PutLe32(p + kSetSpeeds + 4 * i, r.speeds[i]);
    std::memcpy(p + kSetPhase, r.phase.data(), kPhaseBytes);
    std::memcpy(p + kSetInvert, r.axisInvert.data(), kAxisCount);
    p[kSetTrack] = r.trackMode;
    p[kSetClearance] = r.clearanceSeconds;
    p[kSetBackDelay] = r.backDelaySeconds;
    p[kSetBackStop] = r.backStopSeconds;
    std::memcpy(p + kSetName, r.machineName.data(), kMachineNameBytes);
    PutLe32(p + kSetRollGap, r.rollGapMicroseconds);
}

SettingsBlock decodeSettingsBlock(std::span<const uint8_t, kSettingsBlockBytes> in) {
    const uint8_t* p = in.data();
    SettingsBlock r;
    std::memcpy(r.image.data(), p, kSettingsBlockBytes);
    for (std::size_t i = 0; i < kSpeedCount; ++i) r.speeds[i] = GetLe32(p + kSetSpeeds + 4 * i);
    std::memcpy(r.phase.data(), p + kSetPhase, kPhaseBytes);
    std::memcpy(r.axisInvert.data(), p + kSetInvert, kAxisCount);
    r.trackMode = p[kSetTrack];
    r.clearanceSeconds = p[kSetClearance];
    r.backDelaySeconds = p[kSetBackDelay];
    r.backStopSeconds = p[kSetBackStop];
    std::memcpy(r.machineName.data(), p + kSetName, kMachineNameBytes);
    r.rollGapMicroseconds = GetLe32(p + kSetRollGap);
    return r;
}

// ---- work parameter block ----

void encodeWorkParams(const WorkParams& r, std::span<uint8_t, kWorkParamsBytes> out) {
    uint8_t* p = out.data();
    std::memcpy(p, r.image.data(), kWorkParamsBytes);
    PutLe32(p + kWpSegment, r.segment);
    putCursor(p + kWpUpper, r.upper);
    putCursor(p + kWpLower, r.lower);
    PutLe32(p + kWpGuideUV, r.guideU);
    PutLe32(p + kWpGuideUV + 4, r.guideV);
    PutLe32(p + kWpGuideXY, r.guideX);
    PutLe32(p + kWpGuideXY + 4, r.guideY);
    PutLe32(p + kWpRollerX, r.rollerFractionX);
    PutLe32(p + kWpLoop, r.loopIndex);
}

WorkParams decodeWorkParams(std::span<const uint8_t, kWorkParamsBytes> in) {
    const uint8_t* p = in.data();
    WorkParams r;
    std::memcpy(r.image.data(), p, kWorkParamsBytes);
    r.segment = GetLe32(p + kWpSegment);
    r.upper = getCursor(p + kWpUpper);
    r.lower = getCursor(p + kWpLower);
    r.guideU = GetLe32(p + kWpGuideUV);
    r.guideV = GetLe32(p + kWpGuideUV + 4);
    r.guideX = GetLe32(p + kWpGuideXY);
    r.guideY = GetLe32(p + kWpGuideXY + 4);
    r.rollerFractionX = GetLe32(p + kWpRollerX);
    r.loopIndex = GetLe32(p + kWpLoop);
    return r;
}

// ---- status block ----

void encodeStatusBlock(const StatusBlock& r, std::span<uint8_t, kStatusBlockBytes> out) {
    uint8_t* p = out.data();
    std::memcpy(p, r.image.data(), kStatusBlockBytes);
    p[kStRun] = r.runState;
    p[kStSub] = r.subState;
    p[kStAdjust] = static_cast<uint8_t>(r.adjustFinished);
    encodeWorkParams(r.work, std::span<uint8_t, kWorkParamsBytes>(p + kStWork, kWorkParamsBytes));
    PutLe32(p + kStSpeed, r.speed);
    for (std::size_t i = 0; i < kAxisCount; ++i) PutLe32(p + kStRemaining + 4 * i, r.remainingSteps[i]);
    PutLe32(p + kStEdge, r.edgeSteps);
}

StatusBlock decodeStatusBlock(std::span<const uint8_t, kStatusBlockBytes> in) {
    const uint8_t* p = in.data();
    StatusBlock r;
    std::memcpy(r.image.data(), p, kStatusBlockBytes);
    r.runState = p[kStRun];
    r.subState = p[kStSub];
    r.adjustFinished = static_cast<int8_t>(p[kStAdjust]);
    r.work = decodeWorkParams(std::span<const uint8_t, kWorkParamsBytes>(p + kStWork, kWorkParamsBytes));
    r.speed = GetLe32(p + kStSpeed);
    for (std::size_t i = 0; i < kAxisCount; ++i) r.remainingSteps[i] = GetLe32(p + kStRemaining + 4 * i);
    r.edgeSteps = GetLe32(p + kStEdge);
    return r;
}

// ---- state block ----

void encodeStateBlock(const StateBlock& r, std::span<uint8_t, kStateBlockBytes> out) {
    uint8_t* p = out.data();
    std::memcpy(p, r.image.data(), kStateBlockBytes);
    PutLe32(p + kSbFirst, r.rangeFirst);
    PutLe32(p + kSbLast, r.rangeLast);
    p[kSbReverse] = static_cast<uint8_t>(r.reverse);
    encodeStatusBlock(r.status, std::span<uint8_t, kStatusBlockBytes>(p + kSbStatus, kStatusBlockBytes));
}

StateBlock decodeStateBlock(std::span<const uint8_t, kStateBlockBytes> in) {
    const uint8_t* p = in.data();
    StateBlock r;
    std::memcpy(r.image.data(), p, kStateBlockBytes);
    r.rangeFirst = GetLe32(p + kSbFirst);
    r.rangeLast = GetLe32(p + kSbLast);
    r.reverse = static_cast<int8_t>(p[kSbReverse]);
    r.status = decodeStatusBlock(
        std::span<const uint8_t, kStatusBlockBytes>(p + kSbStatus, kStatusBlockBytes));
    return r;
}

// ---- position block ----

void encodePositionBlock(const PositionBlock& r, std::span<uint8_t, kPositionBlockBytes> out) {
    encodeWorkParams(r.work, out.first<kWorkParamsBytes>());
    PutLe32(out.data() + kWorkParamsBytes, r.speed);
}

PositionBlock decodePositionBlock(std::span<const uint8_t, kPositionBlockBytes> in) {
    PositionBlock r;
    r.work = decodeWorkParams(in.first<kWorkParamsBytes>());
    r.speed = GetLe32(in.data() + kWorkParamsBytes);
    return r;
}

// ---- load descriptor ----

void encodeLoadDescriptor(const LoadDescriptor& r, std::span<uint8_t, kLoadDescriptorBytes> out) {
    uint8_t* p = out.data();
    std::memcpy(p, r.image.data(), kLoadDescriptorBytes);
    std::memcpy(p + kLdTitle, r.fileTitle.data(), kFileTitleBytes);
    PutLe32(p + kLdFirst, r.rangeFirst);
    PutLe32(p + kLdLast, r.rangeLast);
    p[kLdReverse] = r.reverse;
    p[kLdLoops] = r.loopTotal;
    p[kLdIgnore] = r.ignorePause;
    PutLe32(p + kLdTaper, r.taperAngleMilli);
    for (std::size_t i = 0; i < MAX_SEG_STOP_COUNT; ++i) PutLe32(p + kLdStops + 4 * i, r.segmentStops[i]);
    PutLe32(p + kLdGraph, r.graphValues[0]);
    PutLe32(p + kLdGraph + 4, r.graphValues[1]);
}

LoadDescriptor decodeLoadDescriptor(std::span<const uint8_t, kLoadDescriptorBytes> in) {
    const uint8_t* p = in.data();
    LoadDescriptor r;
    std::memcpy(r.image.data(), p, kLoadDescriptorBytes);
    std::memcpy(r.fileTitle.data(), p + kLdTitle, kFileTitleBytes);
    r.rangeFirst = GetLe32(p + kLdFirst);
    r.rangeLast = GetLe32(p + kLdLast);
    r.reverse = p[kLdReverse];
    r.loopTotal = p[kLdLoops];
    r.ignorePause = p[kLdIgnore];
    r.taperAngleMilli = GetLe32(p + kLdTaper);
    for (std::size_t i = 0; i < MAX_SEG_STOP_COUNT; ++i) r.segmentStops[i] = GetLe32(p + kLdStops + 4 * i);
    r.graphValues[0] = GetLe32(p + kLdGraph);
    r.graphValues[1] = GetLe32(p + kLdGraph + 4);
    return r;
}

// ---- work record ----

void encodeWorkRecord(const WorkRecord& r, std::span<uint8_t, kWorkRecordBytes> out) {
    uint8_t* p = out.data();
    std::memcpy(p, r.image.data(), kWorkRecordBytes);
    p[kWrKind] = r.kind;
    encodeLoadDescriptor(r.load, std::span<uint8_t, kLoadDescriptorBytes>(p + kWrLoad, kLoadDescriptorBytes));
    encodeWorkParams(r.work, std::span<uint8_t, kWorkParamsBytes>(p + kWrWork, kWorkParamsBytes));
    PutLe32(p + kWrReturn, r.returnSegment);
    for (std::size_t i = 0; i < kAxisCount; ++i) PutLe32(p + kWrDistances + 4 * i, r.returnDistances[i]);
}

WorkRecord decodeWorkRecord(std::span<const uint8_t, kWorkRecordBytes> in) {
    const uint8_t* p = in.data();
    WorkRecord r;
    std::memcpy(r.image.data(), p, kWorkRecordBytes);
    r.kind = p[kWrKind];
    r.load = decodeLoadDescriptor(
        std::span<const uint8_t, kLoadDescriptorBytes>(p + kWrLoad, kLoadDescriptorBytes));
    r.work = decodeWorkParams(std::span<const uint8_t, kWorkParamsBytes>(p + kWrWork, kWorkParamsBytes));
    r.returnSegment = GetLe32(p + kWrReturn);
    for (std::size_t i = 0; i < kAxisCount; ++i) r.returnDistances[i] = GetLe32(p + kWrDistances + 4 * i);
    return r;
}

// ---- segment window ----

void encodeSegmentWindow(const SegmentWindow& r, std::span<uint8_t, kSegmentWindowBytes> out) {
    for (std::size_t i = 0; i < kSegmentWindowRecords; ++i) {
        const CodeSegmentImage image = encodeCodeSegment(r.segments[i], r.indices[i]);
        std::memcpy(out.data() + i * kCodeSegmentBytes, image.data(), kCodeSegmentBytes);
    }
}

SegmentWindow decodeSegmentWindow(std::span<const uint8_t, kSegmentWindowBytes> in) {
    SegmentWindow r;
    for (std::size_t i = 0; i < kSegmentWindowRecords; ++i)
        r.segments[i] = decodeCodeSegment(
            std::span<const uint8_t, kCodeSegmentBytes>(in.data() + i * kCodeSegmentBytes, kCodeSegmentBytes),
            &r.indices[i]);
    return r;
}

// ---- start payload ----

void encodeStartPayload(const StartPayload& r, std::span<uint8_t, kStartPayloadBytes> out) {
    encodeWorkParams(r.work, out.first<kWorkParamsBytes>());
    std::memcpy(out.data() + kWorkParamsBytes, r.groupHere.data(), kPulseGroupBytes);
    std::memcpy(out.data() + kWorkParamsBytes + kPulseGroupBytes, r.groupNext.data(), kPulseGroupBytes);
}

StartPayload decodeStartPayload(std::span<const uint8_t, kStartPayloadBytes> in) {
    StartPayload r;
    r.work = decodeWorkParams(in.first<kWorkParamsBytes>());
    std::memcpy(r.groupHere.data(), in.data() + kWorkParamsBytes, kPulseGroupBytes);
    std::memcpy(r.groupNext.data(), in.data() + kWorkParamsBytes + kPulseGroupBytes, kPulseGroupBytes);
    return r;
}

// ---- taper block and return target ----

void encodeTaperBlock(const TaperBlock& r, std::span<uint8_t, kTaperBlockBytes> out) {
    const int32_t values[] = {r.heightTenths, r.widthTenths, r.baseTenths,
                              r.radiusTenths, r.degreeMilli, r.taperType};
    for (std::size_t i = 0; i < 6; ++i) PutLe32(out.data() + 4 * i, values[i]);
}

TaperBlock decodeTaperBlock(std::span<const uint8_t, kTaperBlockBytes> in) {
    const uint8_t* p = in.data();
    return {GetLe32(p), GetLe32(p + 4), GetLe32(p + 8), GetLe32(p + 12), GetLe32(p + 16), GetLe32(p + 20)};
}

void encodeReturnTarget(const ReturnTarget& r, std::span<uint8_t, kReturnTargetBytes> out) {
    PutLe32(out.data(), r.segment);
    for (std::size_t i = 0; i < kAxisCount; ++i) PutLe32(out.data() + 4 + 4 * i, r.distances[i]);
}

ReturnTarget decodeReturnTarget(std::span<const uint8_t, kReturnTargetBytes> in) {
    ReturnTarget r;
    r.segment = GetLe32(in.data());
    for (std::size_t i = 0; i < kAxisCount; ++i) r.distances[i] = GetLe32(in.data() + 4 + 4 * i);
    return r;
}

}  // namespace korvex
