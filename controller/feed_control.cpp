#include "controller/feed_control.h"

#include <algorithm>

#include "code/loader.h"
#include "controller/machining/start_payload.h"
#include "controller/machining/status_panel.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"

namespace korvex {
namespace {

constexpr int kTrackingFirstTable = 0;
constexpr int kTrackingSecondTable = 1;

}  // namespace

FeedBytes feedRequestEntry(int trackingMode, int feedValue, int shortSensitivity) {
    FeedBytes out{};
    if (trackingMode != kTrackingFirstTable && trackingMode != kTrackingSecondTable)
        return out;
    FeedTableEntry entry = feedEntry(trackingMode, std::clamp(feedValue, kLeastFeed, kMostFeed));
    if (trackingMode == kTrackingFirstTable) {
        entry[1] = static_cast<int16_t>(entry[1] + shortSensitivity);
        entry[2] = static_cast<int16_t>(entry[2] + shortSensitivity);
    }
    for (std::size_t k = 0; k < entry.size(); ++k)
        PutLe16(&out[2 * k], entry[k]);
    return out;
}

std::optional<int> sharedFeedGroup(const LoadedProgram* program, int32_t currentSegment, int defaultGroup) {
    if (!program || program->segments.empty())
        return std::nullopt;
    const int32_t last = static_cast<int32_t>(program->segments.size()) - 1;
    const GroupChoice groups = lookupGroups(program->switches, std::clamp(currentSegment, 0, last), defaultGroup);
    if (groups.current != groups.next)
        return std::nullopt;
    return groups.current;
}

FeedControl::FeedControl(PulseTable& table, SettingsSource settings)
    : table_(table), settings_(std::move(settings)) {}

void FeedControl::setSegmentSource(std::function<std::shared_ptr<const LoadedProgram>()> program,
                                   std::function<int32_t()> currentSegment) {
    program_ = std::move(program);
    currentSegment_ = std::move(currentSegment);
}

void FeedControl::show(int feedValue) {
    value_ = feedValue;
    if (show_)
        show_(feedValue);
    // Written only when it changes: the value read back is the same either way, and a first
    // start leaves no card settings file behind for the default.
    SettingsFile card = settings_();
    if (readKey(card, keys::kFreq) != feedValue)
        writeKey(card, keys::kFreq, feedValue);
}

void FeedControl::setFeed(int feedValue) {
    const int v = std::clamp(feedValue, kLeastFeed, kMostFeed);
    show(v);
    const SettingsFile card = settings_();
    const FeedBytes entry = feedRequestEntry(trackingMode_, v, readKey(card, keys::kShortSensitivity));

    const std::shared_ptr<const LoadedProgram> program = program_ ? program_() : nullptr;
    const int32_t segment = currentSegment_ ? currentSegment_() : 0;
    if (const std::optional<int> group = sharedFeedGroup(program.get(), segment, readKey(card, keys::kDefaultIndex))) {
        PulseGroup& g = table_.group(*group);
        g.feedValue = static_cast<uint8_t>(v);
        g.feed = feedEntry(trackingMode_, v);
    }
    if (send_)
        send_(entry, v);
}

void FeedControl::resend() {
    if (value_ >= kLeastFeed)
        setFeed(value_);
}

void FeedControl::refreshGroupEntries() {
    for (int i = 0; i < PulseTable::kGroupCount; ++i) {
        PulseGroup& g = table_.group(i);
        if (g.feedValue >= kLeastFeed && g.feedValue <= kMostFeed)
            g.feed = feedEntry(trackingMode_, g.feedValue);
    }
}

void FeedControl::groupSwitched(int group) {
    if (!validReportedGroup(group))
        return;
    if (readKey(settings_(), keys::kSwitchWithoutVf) == 1)
        return;
    const int v = table_.group(group).feedValue;
    if (v < kLeastFeed || v > kMostFeed)
        return;
    show(v);
}

}  // namespace korvex
