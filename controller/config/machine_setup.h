// What the Phase, Direction, Stop-Machine and Option dialogs decide, without widgets: the fields'
// ranges, the bytes sent to the card, the manual moves and the machine name's rule. The dialogs
// only show these values and hand back what the operator typed.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "controller/link/records.h"

namespace korvex {

// ---- Phase ----

// Drive type codes of the phase block's type bytes.
enum DriveType : int { kDrive36 = 0, kDrive48 = 1, kDrive510 = 2, kDriveMicroStep = 3, kDriveServo = 4 };
inline constexpr std::array<int, 5> kXyDriveTypes{kDrive36, kDrive48, kDrive510, kDriveMicroStep, kDriveServo};
inline constexpr std::array<int, 3> kUvDriveTypes{kDrive36, kDriveMicroStep, kDriveServo};

// Phase block layout: the XY pair's bytes from 0, the UV pair's from 8; bytes 4..7 and 12..15
// go back to the card as it sent them.
inline constexpr std::size_t kPhaseUvOffset = 8;
inline constexpr std::size_t kPhaseTypeByte = 0, kPhaseRateByte = 1, kPhaseWidthByte = 2, kPhaseLockByte = 3;

inline constexpr int kPulseRateMin = 1, kPulseRateMax = 100;    // micrometres
inline constexpr int kPulseWidthMin = 1, kPulseWidthMax = 10;   // microseconds
inline constexpr int kLockLevelMin = 0, kLockLevelMax = 1;      // list index: low, high
inline constexpr int kRollGapMin = 0, kRollGapMax = 200;        // microseconds

// One axis pair as the dialog holds it: the type chosen (-1 none), texts as typed, the lock
// level's list index.
struct AxisPairForm {
    int driveType = -1;
    QString rate;
    QString width;
    int lockLevel = 0;
};
struct PhaseForm {
    AxisPairForm xy;
    AxisPairForm uv;
    QString rollGap;
};

// The field an entry was refused for, with the range to name. `drive` marks a drive type that
// no button offers (none checked).
struct FieldError {
    enum Field { XyType, XyRate, XyWidth, XyLock, UvType, UvRate, UvWidth, UvLock, RollGap } field;
    int min = 0;
    int max = 0;
    bool drive = false;
};

struct PhaseChange {
    std::array<uint8_t, kPhaseBytes> phase{};
    int32_t rollGapMicroseconds = 0;
};

// The form as the card holds it (values outside a range shown as they are).
PhaseForm phaseFormFrom(const SettingsBlock& settings);
// The bytes to send: `current`'s block with the form's fields written over it, or the first
// field that is out of range.
std::variant<PhaseChange, FieldError> parsePhase(const PhaseForm& form, const std::array<uint8_t, kPhaseBytes>& current);
// Either drive type differs from the card's: the operator is asked twice before it is sent.
bool driveTypeChanged(const PhaseChange& change, const std::array<uint8_t, kPhaseBytes>& current);

// ---- Direction ----

// The eight directions of the manual moves, numbered as the card's jog directions.
enum class AxisDirection : uint8_t { XPlus = 1, XMinus, YPlus, YMinus, UPlus, UMinus, VPlus, VMinus };
inline constexpr std::array<AxisDirection, 8> kAxisDirections{
    AxisDirection::XPlus, AxisDirection::XMinus, AxisDirection::YPlus, AxisDirection::YMinus,
    AxisDirection::UPlus, AxisDirection::UMinus, AxisDirection::VPlus, AxisDirection::VMinus};
inline constexpr int kJogStepsMin = 1, kJogStepsMax = 1000000;

// 0 X, 1 Y, 2 U, 3 V.
std::size_t axisOf(AxisDirection d);
int signOf(AxisDirection d);
// The CMD_STEP_AXIS mask of one step: bit 0 X+, 1 Y+, 2 X-, 3 Y-, 4 U+, 5 V+, 6 U-, 7 V-.
uint8_t stepMask(AxisDirection d);
// The CMD_JOG counts: `steps` on the direction's axis, negative for a minus direction.
std::array<int32_t, kAxisCount> jogSteps(AxisDirection d, int steps);
// The steps of a jog done so far from a status block: the total less what is left on its axis.
int jogStepsDone(const StatusBlock& status, AxisDirection d, int total);
// "X+ (L1)" and so on: the button and the Debugging... dialog's title (no translation needed:
// axis names and lamp numbers).
QString directionLabel(AxisDirection d);
// "X+", ...: the single-step buttons.
QString directionName(AxisDirection d);

// The flags with one axis's flag turned over.
std::array<uint8_t, kAxisCount> toggledInvert(std::array<uint8_t, kAxisCount> flags, std::size_t axis);

// ---- Option ----

inline constexpr int kMachineNameMinBytes = 1;
inline constexpr int kMachineNameMaxBytes = static_cast<int>(kMachineNameBytes);

// The machine name as the card gets it: 1 to 32 bytes of UTF-8 without a zero byte, never cut;
// nothing when the text does not fit.
std::optional<std::string> machineNameBytes(const QString& text);

// The program settings file's Option keys and the card settings file's keys the Option dialog
// edits, with what the dialog shows.
struct OptionValues {
    QString machineName;
    QString programFolder;  // ends in "/" when set
    QString programFile;
    bool shutAtEnd = false;
    bool shutAtPause = false;
    bool noStopAll = false;
    bool shutMusic = false;
    bool noFunctionKeys = false;
    bool noForceZero = false;
    int taperDefault = 1;  // 0 upper graph, 1 below graph
};
inline constexpr int kTaperDefaultChoices = 2;

}  // namespace korvex
