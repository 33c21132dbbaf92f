// The card's command codes and the data records exchanged with it, as exact byte images.
//
// Payload integers are little-endian. Every record keeps the image it was decoded from in
// `image`; encoding starts from that image and writes the named fields over it, so the bytes the
// controller does not interpret go back to the card exactly as the card sent them. A record built
// from scratch has those bytes zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "code/segment.h"

namespace korvex {

// Command codes (request type byte). The command functions of the same names are in
// controller/link/commands.h.
namespace cmdcode {
inline constexpr uint8_t CMD_GET_CARD_ID = 0x00;
inline constexpr uint8_t CMD_GET_SETTINGS = 0x04;
inline constexpr uint8_t CMD_SET_PHASE = 0x05;
inline constexpr uint8_t CMD_SET_AXIS_INVERT = 0x06;
inline constexpr uint8_t CMD_SET_CLEARANCE = 0x07;
inline constexpr uint8_t CMD_SET_BACK_DELAY = 0x08;
inline constexpr uint8_t CMD_SET_SPEED_LIMITS = 0x09;
inline constexpr uint8_t CMD_SET_MACHINE_NAME = 0x0C;
inline constexpr uint8_t CMD_SET_MOTOR = 0x0D;
inline constexpr uint8_t CMD_SET_HF = 0x0E;
inline constexpr uint8_t CMD_SET_FEED = 0x0F;
inline constexpr uint8_t CMD_GET_WORK_RECORD = 0x10;
inline constexpr uint8_t CMD_CLEAR_WORK = 0x11;
inline constexpr uint8_t CMD_LOAD_MODEL = 0x12;
inline constexpr uint8_t CMD_UNLOAD_MODEL = 0x13;
inline constexpr uint8_t CMD_SET_RANGE = 0x14;
inline constexpr uint8_t CMD_SET_LOOP = 0x15;
inline constexpr uint8_t CMD_SEND_SEGMENTS = 0x17;
inline constexpr uint8_t CMD_START_CUT = 0x18;
inline constexpr uint8_t CMD_START_WALK = 0x19;
inline constexpr uint8_t CMD_START_SIMULATE = 0x1A;
inline constexpr uint8_t CMD_START_BACK = 0x1B;
inline constexpr uint8_t CMD_START_RETURN = 0x1C;
inline constexpr uint8_t CMD_ADJUST_CENTER = 0x1D;
inline constexpr uint8_t CMD_ADJUST_BORDER = 0x1E;
inline constexpr uint8_t CMD_JOG = 0x1F;
inline constexpr uint8_t CMD_STOP = 0x20;
inline constexpr uint8_t CMD_GET_STATUS = 0x21;
inline constexpr uint8_t CMD_GET_STATE = 0x22;
inline constexpr uint8_t CMD_SET_DIRECTION = 0x23;
inline constexpr uint8_t CMD_SET_SEGMENT_STOPS = 0x24;
inline constexpr uint8_t CMD_CLOSE = 0x25;
inline constexpr uint8_t CMD_SET_TRACK = 0x26;
inline constexpr uint8_t CMD_SET_IGNORE_PAUSE = 0x27;
inline constexpr uint8_t CMD_SET_TAPER = 0x28;
inline constexpr uint8_t CMD_GET_RUN_STATE = 0x2B;
inline constexpr uint8_t CMD_GET_POSITION = 0x30;
inline constexpr uint8_t CMD_GET_HF_LEVEL = 0x31;
inline constexpr uint8_t CMD_STEP_AXIS = 0x32;
inline constexpr uint8_t CMD_RESET_RUN_STATE = 0x33;
inline constexpr uint8_t CMD_STOP_ALL = 0x34;
inline constexpr uint8_t CMD_SET_PLAN_PAUSE = 0x35;
inline constexpr uint8_t CMD_SET_BACK_STOP_TIME = 0x3A;
inline constexpr uint8_t CMD_KEEP_ALIVE = 0x3B;
inline constexpr uint8_t CMD_SET_SWITCH_WITHOUT_VF = 0x3C;
inline constexpr uint8_t CMD_START_ADJUSTED = 0x3D;
inline constexpr uint8_t CMD_SET_PULSE_GROUP = 0x3E;
inline constexpr uint8_t CMD_RESTORE_DEFAULTS = 0x3F;
inline constexpr uint8_t CMD_START_FAST_ROLL = 0x40;
inline constexpr uint8_t CMD_STOP_FAST_ROLL = 0x41;
inline constexpr uint8_t CMD_SET_ROLL_GAP = 0x43;
inline constexpr uint8_t CMD_GET_ROLL_INFO = 0x42;
inline constexpr uint8_t CMD_CONNECT = 0x7F;
}  // namespace cmdcode

// Report codes the card sends on its own (the type byte of a kind-0 frame).
namespace reportcode {
inline constexpr uint8_t kLinkFailure = 0;    // raised by the link itself, never by the card
inline constexpr uint8_t kRunEvent = 1;
inline constexpr uint8_t kSegmentReached = 2;
inline constexpr uint8_t kPulseGroupSwitched = 4;
}  // namespace reportcode

// One entry of the command vocabulary, for the service tool and the virtual card.
struct CommandInfo {
    const char* name;          // "CMD_GET_CARD_ID"
    uint8_t code;
    uint16_t requestMin;       // payload bytes of the request
    uint16_t requestMax;
    uint16_t responseBytes;    // payload bytes of the answer
};
std::span<const CommandInfo> CommandTable();
// By code; nullptr when the code is not a command.
const CommandInfo* FindCommand(uint8_t code);
// By "CMD_GET_CARD_ID" or by the service tool's spelling "get-card-id"; nullptr when unknown.
const CommandInfo* FindCommand(const std::string& name);

// ---- record sizes ----
inline constexpr std::size_t kSettingsBlockBytes = 116;
inline constexpr std::size_t kStateBlockBytes = 268;
inline constexpr std::size_t kStatusBlockBytes = 140;
inline constexpr std::size_t kWorkParamsBytes = 96;
inline constexpr std::size_t kPositionBlockBytes = 100;
inline constexpr std::size_t kWorkRecordBytes = 248;
inline constexpr std::size_t kLoadDescriptorBytes = 128;
inline constexpr std::size_t kSegmentWindowRecords = 3;
inline constexpr std::size_t kSegmentWindowBytes = kSegmentWindowRecords * kCodeSegmentBytes;
inline constexpr std::size_t kPulseGroupBytes = 28;
inline constexpr std::size_t kStartPayloadBytes = 152;
inline constexpr std::size_t kTaperBlockBytes = 24;
inline constexpr std::size_t kReturnTargetBytes = 20;
inline constexpr std::size_t kRollInfoBytes = 20;
inline constexpr std::size_t kRunStateBytes = 2;
inline constexpr std::size_t kFeedRequestBytes = 12;
inline constexpr std::size_t kFeedEntryBytes = 8;
inline constexpr std::size_t kMachineNameBytes = 32;     // MAX_MASHINE_NAME_LEN
inline constexpr std::size_t kFileTitleBytes = 64;
inline constexpr std::size_t MAX_SEG_STOP_COUNT = 10;
inline constexpr std::size_t kSpeedCount = 6;
inline constexpr std::size_t kPhaseBytes = 16;
inline constexpr std::size_t kAxisCount = 4;             // X, Y, U, V

// A pulse parameter group is packed by its own module; the link carries it as bytes.
using PulseGroupImage = std::array<uint8_t, kPulseGroupBytes>;

// The card's settings block.
struct SettingsBlock {
    static constexpr std::size_t kBytes = kSettingsBlockBytes;
    std::array<int32_t, kSpeedCount> speeds{};   // steps/s: max X/Y, max U/V, simulate, back, cut X/Y, cut U/V
    std::array<uint8_t, kPhaseBytes> phase{};
    std::array<uint8_t, kAxisCount> axisInvert{};  // flags X, Y, U, V
    uint8_t trackMode = 0;
    uint8_t clearanceSeconds = 0;
    uint8_t backDelaySeconds = 0;
    uint8_t backStopSeconds = 0;
    std::array<char, kMachineNameBytes> machineName{};  // zero-padded, no terminator when full
    int32_t rollGapMicroseconds = 0;
    std::array<uint8_t, kBytes> image{};

    // The machine name as text (up to the first zero byte).
    std::string name() const;
};

// The card's record of the point reached in a work.
struct StepCursor {
    int32_t steps = 0;
    int32_t x = 0;
    int32_t y = 0;
};
struct WorkParams {
    static constexpr std::size_t kBytes = kWorkParamsBytes;
    int32_t segment = 0;
    StepCursor upper;
    StepCursor lower;
    int32_t guideU = 0, guideV = 0;     // microns
    int32_t guideX = 0, guideY = 0;     // microns
    int32_t rollerFractionX = 0;        // thousandths of a micron dropped from X
    int32_t loopIndex = 0;              // loop number minus 1
    std::array<uint8_t, kBytes> image{};
};

struct StatusBlock {
    static constexpr std::size_t kBytes = kStatusBlockBytes;
    uint8_t runState = 0;
    uint8_t subState = 0;  // what a paused or finished work was doing
    int8_t adjustFinished = 0;
    WorkParams work;
    int32_t speed = 0;
    std::array<int32_t, kAxisCount> remainingSteps{};
    int32_t edgeSteps = 0;
    std::array<uint8_t, kBytes> image{};
};

struct StateBlock {
    static constexpr std::size_t kBytes = kStateBlockBytes;
    int32_t rangeFirst = 0;
    int32_t rangeLast = 0;
    int8_t reverse = 0;
    StatusBlock status;
    std::array<uint8_t, kBytes> image{};
};

struct PositionBlock {
    static constexpr std::size_t kBytes = kPositionBlockBytes;
    WorkParams work;
    int32_t speed = 0;
};

// The block sent with CMD_LOAD_MODEL and kept by the card inside its work record.
struct LoadDescriptor {
    static constexpr std::size_t kBytes = kLoadDescriptorBytes;
    std::array<char, kFileTitleBytes> fileTitle{};  // file name with extension, zero-padded
    int32_t rangeFirst = 0;
    int32_t rangeLast = 0;
    uint8_t reverse = 0;
    uint8_t loopTotal = 0;
    uint8_t ignorePause = 0;
    int32_t taperAngleMilli = 0;   // degrees x 1000
    std::array<int32_t, MAX_SEG_STOP_COUNT> segmentStops{};  // 0 = empty slot
    std::array<int32_t, 2> graphValues{};
    std::array<uint8_t, kBytes> image{};

    std::string title() const;
    // Stores the title zero-padded; returns -1 (and stores nothing) when it is over 64 bytes.
    int setTitle(const std::string& title);
};

inline constexpr uint8_t kWorkRecordCut = 0x11;
inline constexpr uint8_t kWorkRecordReturn = 0x22;

// The work record the card keeps across restarts.
struct WorkRecord {
    static constexpr std::size_t kBytes = kWorkRecordBytes;
    uint8_t kind = 0;                   // 0x11 cut, 0x22 return to origin, else nothing to restore
    LoadDescriptor load;
    WorkParams work;
    int32_t returnSegment = 0;
    std::array<int32_t, kAxisCount> returnDistances{};
    std::array<uint8_t, kBytes> image{};

    bool restorable() const { return kind == kWorkRecordCut || kind == kWorkRecordReturn; }
};

// Three segment records around the segment being cut: previous, current, next. Each image
// carries its segment index in bytes 0..3.
struct SegmentWindow {
    static constexpr std::size_t kBytes = kSegmentWindowBytes;
    std::array<CodeSegment, kSegmentWindowRecords> segments{};
    std::array<int32_t, kSegmentWindowRecords> indices{};
};

// The payload of every start command.
struct StartPayload {
    static constexpr std::size_t kBytes = kStartPayloadBytes;
    WorkParams work;
    PulseGroupImage groupHere{};   // group of the start segment
    PulseGroupImage groupNext{};   // group of the segment after it
};

// Taper values of a taper program: lengths in tenths of a millimetre, degree x 1000.
struct TaperBlock {
    static constexpr std::size_t kBytes = kTaperBlockBytes;
    int32_t heightTenths = 0;
    int32_t widthTenths = 0;
    int32_t baseTenths = 0;
    int32_t radiusTenths = 0;
    int32_t degreeMilli = 0;
    int32_t taperType = 0;
};

// Return to origin: target segment and the remaining distances X, Y, U, V in steps.
struct ReturnTarget {
    static constexpr std::size_t kBytes = kReturnTargetBytes;
    int32_t segment = 0;
    std::array<int32_t, kAxisCount> distances{};
};

struct RunState {
    uint8_t state = 0;
    uint8_t subState = 0;
};

// Encoders write exactly kBytes; decoders read exactly kBytes.
void encodeSettingsBlock(const SettingsBlock& r, std::span<uint8_t, kSettingsBlockBytes> out);
SettingsBlock decodeSettingsBlock(std::span<const uint8_t, kSettingsBlockBytes> in);
void encodeWorkParams(const WorkParams& r, std::span<uint8_t, kWorkParamsBytes> out);
WorkParams decodeWorkParams(std::span<const uint8_t, kWorkParamsBytes> in);
void encodeStatusBlock(const StatusBlock& r, std::span<uint8_t, kStatusBlockBytes> out);
StatusBlock decodeStatusBlock(std::span<const uint8_t, kStatusBlockBytes> in);
void encodeStateBlock(const StateBlock& r, std::span<uint8_t, kStateBlockBytes> out);
StateBlock decodeStateBlock(std::span<const uint8_t, kStateBlockBytes> in);
void encodePositionBlock(const PositionBlock& r, std::span<uint8_t, kPositionBlockBytes> out);
PositionBlock decodePositionBlock(std::span<const uint8_t, kPositionBlockBytes> in);
void encodeLoadDescriptor(const LoadDescriptor& r, std::span<uint8_t, kLoadDescriptorBytes> out);
LoadDescriptor decodeLoadDescriptor(std::span<const uint8_t, kLoadDescriptorBytes> in);
void encodeWorkRecord(const WorkRecord& r, std::span<uint8_t, kWorkRecordBytes> out);
WorkRecord decodeWorkRecord(std::span<const uint8_t, kWorkRecordBytes> in);
void encodeSegmentWindow(const SegmentWindow& r, std::span<uint8_t, kSegmentWindowBytes> out);
SegmentWindow decodeSegmentWindow(std::span<const uint8_t, kSegmentWindowBytes> in);
void encodeStartPayload(const StartPayload& r, std::span<uint8_t, kStartPayloadBytes> out);
StartPayload decodeStartPayload(std::span<const uint8_t, kStartPayloadBytes> in);
void encodeTaperBlock(const TaperBlock& r, std::span<uint8_t, kTaperBlockBytes> out);
TaperBlock decodeTaperBlock(std::span<const uint8_t, kTaperBlockBytes> in);
void encodeReturnTarget(const ReturnTarget& r, std::span<uint8_t, kReturnTargetBytes> out);
ReturnTarget decodeReturnTarget(std::span<const uint8_t, kReturnTargetBytes> in);

// Little-endian helpers shared by the link and the virtual card.
void PutLe32(uint8_t* p, int32_t v);
int32_t GetLe32(const uint8_t* p);
void PutLe16(uint8_t* p, int16_t v);
int16_t GetLe16(const uint8_t* p);

}  // namespace korvex
