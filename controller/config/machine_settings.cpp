#include "controller/config/machine_settings.h"

#include "code/loader.h"
#include "controller/config/small_dialogs.h"
#include "controller/pulse_table.h"

namespace korvex {

QString integerRangeMessage(IntRange range) { return qtTrId("config.range").arg(range.low).arg(range.high); }

template <std::size_t N>
FieldValues<N> parseIntegerFields(const std::array<QString, N>& texts, const std::array<IntRange, N>& ranges) {
    std::array<int, N> values{};
    for (std::size_t i = 0; i < N; ++i) {
        const auto v = integerInRange(texts[i], ranges[i].low, ranges[i].high);
        if (!v)
            return BadField{i};
        values[i] = *v;
    }
    return values;
}
template FieldValues<1> parseIntegerFields(const std::array<QString, 1>&, const std::array<IntRange, 1>&);
template FieldValues<3> parseIntegerFields(const std::array<QString, 3>&, const std::array<IntRange, 3>&);
template FieldValues<kSpeedFieldCount> parseIntegerFields(const std::array<QString, kSpeedFieldCount>&,
                                                          const std::array<IntRange, kSpeedFieldCount>&);

std::array<int32_t, kSpeedCount> speedsInBlockOrder(const std::array<int, kSpeedFieldCount>& f) {
    return {f[kMaxXYField], f[kMaxUVField], f[kSimulateField], f[kManualBackField], f[kCutXYField], f[kCutUVField]};
}

std::array<int32_t, kSpeedFieldCount> speedsInFieldOrder(const std::array<int32_t, kSpeedCount>& b) {
    std::array<int32_t, kSpeedFieldCount> f{};
    f[kMaxXYField] = b[0];
    f[kMaxUVField] = b[1];
    f[kSimulateField] = b[2];
    f[kManualBackField] = b[3];
    f[kCutXYField] = b[4];
    f[kCutUVField] = b[5];
    return f;
}

std::variant<PlanPause, PlanPauseRefusal> parsePlanPause(const QString& segmentText, const QString& percentText,
                                                         const LoadedProgram* program) {
    using R = PlanPauseRefusal;
    const bool haveSegment = !segmentText.trimmed().isEmpty();
    const bool havePercent = !percentText.trimmed().isEmpty();
    if (!haveSegment)
        return R{qtTrId("config.plan.nosegment"), R::kSegment};
    if (!havePercent)
        return R{qtTrId("config.plan.nopercent"), R::kPercent};
    const int count = program ? static_cast<int>(program->segments.size()) : 0;
    if (count == 0)
        return R{qtTrId("config.plan.invalid").arg(segmentText.trimmed()), R::kSegment};
    const int last = count - 1;
    bool isNumber = false;
    const qlonglong segment = segmentText.trimmed().toLongLong(&isNumber);
    if (!isNumber || segment < 0)
        return R{integerRangeMessage({0, last}), R::kSegment};
    if (segment > last)
        return R{qtTrId("config.plan.maximum").arg(last), R::kSegment};
    const auto percent = integerInRange(percentText, kPlanPercentRange.low, kPlanPercentRange.high);
    if (!percent)
        return R{integerRangeMessage(kPlanPercentRange), R::kPercent};
    const int32_t kind = program->segments[static_cast<std::size_t>(segment)].lower.kind;
    if (kind != kElementLine && kind != kElementArcCw && kind != kElementArcCcw)
        return R{qtTrId("config.plan.invalid").arg(segment), R::kSegment};
    return PlanPause{static_cast<int32_t>(segment), *percent};
}

void refreshGroupFeeds(PulseTable& table, int mode) {
    for (int i = 0; i < PulseTable::kGroupCount; ++i) {
        PulseGroup& g = table.group(i);
        g.feed = feedEntry(mode, g.feedValue);
    }
}

}  // namespace korvex
