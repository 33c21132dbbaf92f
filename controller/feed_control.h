// Set feed: the feed value v (1..200, V.F. = v / 2) the operator chooses on the status panel,
// and what follows from it: the value in Speed/Freq, the feed entry sent with CMD_SET_FEED, and
// the pulse group that both the current and the next segment run with.
//
// The entry comes from the feed table of the tracking mode; with the first table (mode 0) the
// short-circuit sensitivity is added to its second and third values before sending. A group
// record keeps the entry of the same table, without the sensitivity. A tracking mode other than
// 0 and 1 has no table: the entry bytes go out as zeros (the group keeps the first table's).
//
// Who sends: during start-up the UI thread (as every start-up command); once the machining
// operations run, their card worker, so the operator's slider never waits for the card.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "controller/machining/machining_card.h"

namespace korvex {

class PulseTable;
class SettingsFile;
struct LoadedProgram;

inline constexpr int kLeastFeed = 1;
inline constexpr int kMostFeed = 200;

// The 8 entry bytes of CMD_SET_FEED for v (four little-endian int16).
FeedBytes feedRequestEntry(int trackingMode, int feedValue, int shortSensitivity);

// The group whose V.F. follows the operator's feed: the one the current segment and the next
// segment share (nothing when they differ or no program is loaded).
std::optional<int> sharedFeedGroup(const LoadedProgram* program, int32_t currentSegment, int defaultGroup);

class FeedControl {
public:
    using Sender = std::function<void(const FeedBytes& entry, int feedValue)>;
    // The card's settings file (Speed/Freq, Others/ShortSensitivity, Multiple/SwitchWithoutVF and
    // Multiple/DefaultIndex are read and written at each use).
    using SettingsSource = std::function<SettingsFile()>;

    FeedControl(PulseTable& table, SettingsSource settings);

    void setSender(Sender send) { send_ = std::move(send); }
    // Whatever shows the value (the status panel's text and slider).
    void setDisplay(std::function<void(int feedValue)> show) { show_ = std::move(show); }
    // The program and segment the shared group is looked up at.
    void setSegmentSource(std::function<std::shared_ptr<const LoadedProgram>()> program,
                          std::function<int32_t()> currentSegment);
    void setTrackingMode(int mode) { trackingMode_ = mode; }
    int trackingMode() const { return trackingMode_; }
    int value() const { return value_; }

    // Set feed with v limited to 1..200: shown, written, stored in the shared group, sent.
    void setFeed(int feedValue);
    // "+" and "-" (and the Speed Up / Down keys): one step from the current value.
    void step(int delta) { setFeed(value_ + delta); }
    // Every group's feed entry from the feed table of the tracking mode, for its V.F. (after the
    // mode changed, or the card's settings were restored).
    void refreshGroupEntries();
    // Sends the value shown again, with the entry of the mode and sensitivity as they are now;
    // nothing before a value was ever set.
    void resend();
    // The card switched to group n: its V.F. is shown and written, nothing is sent (the card
    // switched the feed itself). Ignored with Multiple/SwitchWithoutVF 1 and for a group the
    // table does not hold.
    void groupSwitched(int group);

private:
    void show(int feedValue);

    PulseTable& table_;
    SettingsSource settings_;
    Sender send_;
    std::function<void(int)> show_;
    std::function<std::shared_ptr<const LoadedProgram>()> program_;
    std::function<int32_t()> currentSegment_;
    int trackingMode_ = 0;
    int value_ = 0;
};

}  // namespace korvex
