#include "controller/config/machine_setup.h"

#include "controller/config/small_dialogs.h"

#include <algorithm>
#include <cstdlib>

namespace korvex {

namespace {

AxisPairForm pairFrom(const std::array<uint8_t, kPhaseBytes>& phase, std::size_t at) {
    AxisPairForm f;
    f.driveType = phase[at + kPhaseTypeByte];
    f.rate = QString::number(phase[at + kPhaseRateByte]);
    f.width = QString::number(phase[at + kPhaseWidthByte]);
    f.lockLevel = phase[at + kPhaseLockByte];
    return f;
}

template <std::size_t N>
bool offered(const std::array<int, N>& types, int type) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace

PhaseForm phaseFormFrom(const SettingsBlock& settings) {
    PhaseForm f;
    f.xy = pairFrom(settings.phase, 0);
    f.uv = pairFrom(settings.phase, kPhaseUvOffset);
    f.rollGap = QString::number(settings.rollGapMicroseconds);
    return f;
}

std::variant<PhaseChange, FieldError> parsePhase(const PhaseForm& form, const std::array<uint8_t, kPhaseBytes>& current) {
    using F = FieldError;
    PhaseChange change;
    change.phase = current;
    struct Pair {
        const AxisPairForm& form;
        std::size_t at;
        bool uv;
    };
    for (const Pair& p : {Pair{form.xy, 0, false}, Pair{form.uv, kPhaseUvOffset, true}}) {
        const bool typeOk = p.uv ? offered(kUvDriveTypes, p.form.driveType) : offered(kXyDriveTypes, p.form.driveType);
        if (!typeOk)
            return F{p.uv ? F::UvType : F::XyType, kDrive36, kDriveServo, true};
        const auto rate = integerInRange(p.form.rate, kPulseRateMin, kPulseRateMax);
        if (!rate)
            return F{p.uv ? F::UvRate : F::XyRate, kPulseRateMin, kPulseRateMax};
        const auto width = integerInRange(p.form.width, kPulseWidthMin, kPulseWidthMax);
        if (!width)
            return F{p.uv ? F::UvWidth : F::XyWidth, kPulseWidthMin, kPulseWidthMax};
        if (p.form.lockLevel < kLockLevelMin || p.form.lockLevel > kLockLevelMax)
            return F{p.uv ? F::UvLock : F::XyLock, kLockLevelMin, kLockLevelMax};
        change.phase[p.at + kPhaseTypeByte] = static_cast<uint8_t>(p.form.driveType);
        change.phase[p.at + kPhaseRateByte] = static_cast<uint8_t>(*rate);
        change.phase[p.at + kPhaseWidthByte] = static_cast<uint8_t>(*width);
        change.phase[p.at + kPhaseLockByte] = static_cast<uint8_t>(p.form.lockLevel);
    }
    const auto gap = integerInRange(form.rollGap, kRollGapMin, kRollGapMax);
    if (!gap)
        return F{F::RollGap, kRollGapMin, kRollGapMax};
    change.rollGapMicroseconds = *gap;
    return change;
}

bool driveTypeChanged(const PhaseChange& change, const std::array<uint8_t, kPhaseBytes>& current) {
    return change.phase[kPhaseTypeByte] != current[kPhaseTypeByte] ||
           change.phase[kPhaseUvOffset + kPhaseTypeByte] != current[kPhaseUvOffset + kPhaseTypeByte];
}

std::size_t axisOf(AxisDirection d) { return (static_cast<std::size_t>(d) - 1) / 2; }

int signOf(AxisDirection d) { return (static_cast<int>(d) % 2 == 1) ? 1 : -1; }

uint8_t stepMask(AxisDirection d) {
    // Plus bits: X 0, Y 1, U 4, V 5; the minus bit of each lies two above its plus bit.
    static constexpr uint8_t kPlusBit[kAxisCount] = {0, 1, 4, 5};
    const uint8_t bit = static_cast<uint8_t>(kPlusBit[axisOf(d)] + (signOf(d) > 0 ? 0 : 2));
    return static_cast<uint8_t>(1u << bit);
}

std::array<int32_t, kAxisCount> jogSteps(AxisDirection d, int steps) {
    std::array<int32_t, kAxisCount> out{};
    out[axisOf(d)] = signOf(d) * steps;
    return out;
}

int jogStepsDone(const StatusBlock& status, AxisDirection d, int total) {
    const int64_t left = std::llabs(static_cast<int64_t>(status.remainingSteps[axisOf(d)]));
    return static_cast<int>(std::clamp<int64_t>(total - left, 0, total));
}

QString directionName(AxisDirection d) {
    static const char* const kAxes = "XYUV";
    return QStringLiteral("%1%2").arg(QLatin1Char(kAxes[axisOf(d)])).arg(signOf(d) > 0 ? QLatin1Char('+') : QLatin1Char('-'));
}

QString directionLabel(AxisDirection d) {
    // The lamps L1..L4 light for X+/U+, Y+/V+, X-/U-, Y-/V-.
    const int lamp = (axisOf(d) % 2 == 0 ? 1 : 2) + (signOf(d) > 0 ? 0 : 2);
    return QStringLiteral("%1 (L%2)").arg(directionName(d)).arg(lamp);
}

std::array<uint8_t, kAxisCount> toggledInvert(std::array<uint8_t, kAxisCount> flags, std::size_t axis) {
    flags.at(axis) = flags.at(axis) != 0 ? 0 : 1;
    return flags;
}

std::optional<std::string> machineNameBytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() < kMachineNameMinBytes || utf8.size() > kMachineNameMaxBytes || utf8.contains('\0'))
        return std::nullopt;
    return utf8.toStdString();
}

}  // namespace korvex
