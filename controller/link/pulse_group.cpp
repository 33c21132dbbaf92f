#include "controller/link/pulse_group.h"

#include <algorithm>

namespace korvex {

namespace {

// The rows of the two feed tables that fix their form; values between them are interpolated
// linearly, which keeps each column monotonic like the card expects.
struct FeedKnot {
    int value;
    FeedTableEntry entry;
};
constexpr FeedKnot kFirstTable[] = {
    {1, {2000, 2, 10, 0}}, {2, {1900, 2, 10, 0}}, {10, {1210, 2, 10, 0}}, {50, {500, 2, 10, 0}},
    {100, {90, 2, 10, 0}}, {150, {52, 2, 10, 0}}, {199, {2, 2, 10, 0}},   {200, {1, 2, 10, 0}},
};
constexpr FeedKnot kSecondTable[] = {
    {1, {2000, 750, 2000, 0}},  {2, {1900, 740, 2000, 0}},  {10, {1210, 700, 1950, 0}},
    {50, {500, 500, 1560, 0}},  {100, {90, 288, 1330, 0}},  {150, {52, 174, 1000, 0}},
    {199, {3, 30, 340, 0}},     {200, {2, 20, 300, 0}},
};

template <std::size_t N>
FeedTableEntry interpolate(const FeedKnot (&knots)[N], int value) {
    value = std::clamp(value, kFeedValueMin, kFeedValueMax);
    std::size_t i = 0;
    while (i + 1 < N && knots[i + 1].value < value)
        ++i;
    const FeedKnot& a = knots[i];
    const FeedKnot& b = knots[std::min(i + 1, N - 1)];
    if (value <= a.value || a.value == b.value)
        return a.entry;
    FeedTableEntry out{};
    for (std::size_t k = 0; k < out.size(); ++k) {
        const int span = b.value - a.value;
        const int delta = (b.entry[k] - a.entry[k]) * (value - a.value);
        // Rounded to the nearest integer, halves away from zero.
        const int step = delta >= 0 ? (2 * delta + span) / (2 * span) : -((-2 * delta + span) / (2 * span));
        out[k] = static_cast<int16_t>(a.entry[k] + step);
    }
    return out;
}

void putI32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}
int32_t getI32(const uint8_t* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<uint32_t>(p[i]) << (8 * i);
    return static_cast<int32_t>(u);
}
void putI16(uint8_t* p, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
}
int16_t getI16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

// Byte offsets of the group record.
constexpr std::size_t kWidthAt = 0, kIntervalAt = 4, kHighAt = 8, kLowAt = 9, kIndexAt = 10,
                      kWireSpeedAt = 11, kCurrentAt = 13, kFeedAt = 16, kFeedValueAt = 24;
static_assert(kFeedValueAt + 1 + 3 == kPulseGroupBytes, "28-byte group record");
static_assert(kFeedAt + sizeof(int16_t) * 4 == kFeedValueAt, "feed entry is 8 bytes");

}  // namespace

FeedTableEntry feedEntry(int trackingMode, int feedValue) {
    return trackingMode == 1 ? interpolate(kSecondTable, feedValue)
                             : interpolate(kFirstTable, feedValue);
}

PulseGroupImage encodePulseGroup(const PulseGroup& group) {
    PulseGroupImage out = group.image;
    putI32(&out[kWidthAt], group.pulseWidthUs);
    putI32(&out[kIntervalAt], group.pulseIntervalUs);
    out[kHighAt] = group.groupingHigh;
    out[kLowAt] = group.groupingLow;
    out[kIndexAt] = group.index;
    out[kWireSpeedAt] = group.wireSpeed;
    out[kCurrentAt] = group.current;
    for (std::size_t k = 0; k < group.feed.size(); ++k)
        putI16(&out[kFeedAt + 2 * k], group.feed[k]);
    out[kFeedValueAt] = group.feedValue;
    return out;
}

PulseGroup decodePulseGroup(std::span<const uint8_t, kPulseGroupBytes> bytes) {
    PulseGroup g;
    std::copy(bytes.begin(), bytes.end(), g.image.begin());
    g.pulseWidthUs = getI32(&bytes[kWidthAt]);
    g.pulseIntervalUs = getI32(&bytes[kIntervalAt]);
    g.groupingHigh = bytes[kHighAt];
    g.groupingLow = bytes[kLowAt];
    g.index = bytes[kIndexAt];
    g.wireSpeed = bytes[kWireSpeedAt];
    g.current = bytes[kCurrentAt];
    for (std::size_t k = 0; k < g.feed.size(); ++k)
        g.feed[k] = getI16(&bytes[kFeedAt + 2 * k]);
    g.feedValue = bytes[kFeedValueAt];
    return g;
}

PulseGroup defaultPulseGroup(int index, int trackingMode) {
    PulseGroup g;
    g.pulseWidthUs = 1;
    g.pulseIntervalUs = 1;
    g.index = static_cast<uint8_t>(index);
    g.feedValue = kDefaultFeedValue;
    g.feed = feedEntry(trackingMode, kDefaultFeedValue);
    return g;
}

}  // namespace korvex
