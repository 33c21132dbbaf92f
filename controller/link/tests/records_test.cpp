#include "controller/link/records.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace korvex {
namespace {

template <std::size_t N>
std::array<uint8_t, N> randomImage(std::mt19937& rng) {
    std::array<uint8_t, N> a;
    for (auto& b : a) b = static_cast<uint8_t>(rng());
    return a;
}

// decode then encode gives back every byte, the opaque ones included.
template <std::size_t N, typename Decode, typename Encode>
void expectRoundTrip(const char* name, Decode decode, Encode encode) {
    std::mt19937 rng(N);
    for (int i = 0; i < 20; ++i) {
        const auto image = randomImage<N>(rng);
        std::array<uint8_t, N> out{};
        encode(decode(std::span<const uint8_t, N>(image)), std::span<uint8_t, N>(out));
        ASSERT_EQ(out, image) << name;
    }
}

TEST(Records, EveryRecordRoundTripsByteForByte) {
    expectRoundTrip<kSettingsBlockBytes>("settings", decodeSettingsBlock, encodeSettingsBlock);
    expectRoundTrip<kWorkParamsBytes>("work params", decodeWorkParams, encodeWorkParams);
    expectRoundTrip<kStatusBlockBytes>("status", decodeStatusBlock, encodeStatusBlock);
    expectRoundTrip<kStateBlockBytes>("state", decodeStateBlock, encodeStateBlock);
    expectRoundTrip<kPositionBlockBytes>("position", decodePositionBlock, encodePositionBlock);
    expectRoundTrip<kLoadDescriptorBytes>("load descriptor", decodeLoadDescriptor, encodeLoadDescriptor);
    expectRoundTrip<kWorkRecordBytes>("work record", decodeWorkRecord, encodeWorkRecord);
    expectRoundTrip<kStartPayloadBytes>("start payload", decodeStartPayload, encodeStartPayload);
    expectRoundTrip<kTaperBlockBytes>("taper", decodeTaperBlock, encodeTaperBlock);
    expectRoundTrip<kReturnTargetBytes>("return target", decodeReturnTarget, encodeReturnTarget);
}

TEST(Records, FieldsSitAtTheirOffsets) {
    std::array<uint8_t, kWorkRecordBytes> rec{};
    rec[0] = 0x11;
    rec[4] = 'a';
    rec[5] = 'b';
    PutLe32(&rec[68], 7);          // range first
    PutLe32(&rec[72], 90);         // range last
    rec[76] = 1;                   // reverse
    rec[77] = 3;                   // loops
    PutLe32(&rec[84 + 36], 55);    // tenth segment stop
    PutLe32(&rec[132], 42);        // work: segment
    PutLe32(&rec[132 + 20], -5);   // work: lower cursor steps
    PutLe32(&rec[224], 2);         // work: loop index
    PutLe32(&rec[228], 12);        // return target
    PutLe32(&rec[244], -300);      // V distance
    const WorkRecord r = decodeWorkRecord(rec);
    EXPECT_TRUE(r.restorable());
    EXPECT_EQ(r.load.title(), "ab");
    EXPECT_EQ(r.load.rangeFirst, 7);
    EXPECT_EQ(r.load.rangeLast, 90);
    EXPECT_EQ(r.load.reverse, 1);
    EXPECT_EQ(r.load.loopTotal, 3);
    EXPECT_EQ(r.load.segmentStops[9], 55);
    EXPECT_EQ(r.work.segment, 42);
    EXPECT_EQ(r.work.lower.steps, -5);
    EXPECT_EQ(r.work.loopIndex, 2);
    EXPECT_EQ(r.returnSegment, 12);
    EXPECT_EQ(r.returnDistances[3], -300);

    std::array<uint8_t, kStateBlockBytes> state{};
    PutLe32(&state[64], 3);
    PutLe32(&state[68], 9);
    state[72] = 1;
    state[128] = 10;                          // run state
    PutLe32(&state[128 + 4], 5);              // current segment
    PutLe32(&state[128 + 104], 1500);         // speed
    PutLe32(&state[128 + 112 + 12], -8);      // V remaining
    const StateBlock s = decodeStateBlock(state);
    EXPECT_EQ(s.rangeFirst, 3);
    EXPECT_EQ(s.rangeLast, 9);
    EXPECT_EQ(s.reverse, 1);
    EXPECT_EQ(s.status.runState, 10);
    EXPECT_EQ(s.status.work.segment, 5);
    EXPECT_EQ(s.status.speed, 1500);
    EXPECT_EQ(s.status.remainingSteps[3], -8);

    SettingsBlock settings;
    settings.rollGapMicroseconds = 0x01020304;
    settings.machineName = {'M', '7'};
    settings.backStopSeconds = 9;
    std::array<uint8_t, kSettingsBlockBytes> image{};
    encodeSettingsBlock(settings, image);
    EXPECT_EQ(image[108], 4);
    EXPECT_EQ(image[111], 1);
    EXPECT_EQ(image[76], 'M');
    EXPECT_EQ(image[51], 9);
    EXPECT_EQ(decodeSettingsBlock(image).name(), "M7");
}

TEST(Records, SegmentWindowCarriesEachIndex) {
    SegmentWindow w;
    for (int i = 0; i < 3; ++i) {
        w.indices[static_cast<std::size_t>(i)] = 100 + i;
        w.segments[static_cast<std::size_t>(i)].lower.kind = kElementLine;
        w.segments[static_cast<std::size_t>(i)].lower.endX = 1000 * i;
    }
    std::array<uint8_t, kSegmentWindowBytes> image{};
    encodeSegmentWindow(w, image);
    EXPECT_EQ(GetLe32(&image[0]), 100);
    EXPECT_EQ(GetLe32(&image[88]), 101);
    EXPECT_EQ(GetLe32(&image[176]), 102);
    const SegmentWindow back = decodeSegmentWindow(image);
    EXPECT_EQ(back.indices, w.indices);
    EXPECT_EQ(back.segments, w.segments);
}

TEST(Records, LoadDescriptorTitleLimit) {
    LoadDescriptor d;
    EXPECT_EQ(d.setTitle(std::string(64, 'x')), 0);
    EXPECT_EQ(d.title().size(), 64u);
    EXPECT_EQ(d.setTitle(std::string(65, 'y')), -1);
    EXPECT_EQ(d.title(), std::string(64, 'x'));
}

TEST(Records, CommandNamesResolve) {
    ASSERT_NE(FindCommand("get-card-id"), nullptr);
    EXPECT_EQ(FindCommand("get-card-id")->code, 0x00);
    EXPECT_EQ(FindCommand("set-segment-stops")->code, 0x24);
    EXPECT_EQ(FindCommand("CMD_GET_STATE")->responseBytes, 268);
    EXPECT_EQ(FindCommand("no-such-command"), nullptr);
    for (const CommandInfo& c : CommandTable()) EXPECT_EQ(FindCommand(c.code), &c) << c.name;
}

}  // namespace
}  // namespace korvex
