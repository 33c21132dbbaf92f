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

// Each named field, written through its record, lands on the byte offset the card reads it from.
TEST(Records, EveryNamedFieldIsEncodedAtItsOffset) {
    struct Field {
        const char* name;
        std::size_t offset;
        int32_t value;
    };
    auto expectInts = [](const char* record, const uint8_t* image, std::initializer_list<Field> fields) {
        for (const Field& f : fields) EXPECT_EQ(GetLe32(image + f.offset), f.value) << record << ": " << f.name;
    };

    WorkParams w;
    w.segment = 11;
    w.upper = {12, 13, 14};
    w.lower = {15, 16, 17};
    w.guideU = 18;
    w.guideV = 19;
    w.guideX = 20;
    w.guideY = 21;
    w.rollerFractionX = 22;
    w.loopIndex = 23;
    std::array<uint8_t, kWorkParamsBytes> wp{};
    encodeWorkParams(w, wp);
    expectInts("work params", wp.data(),
               {{"segment", 0, 11}, {"upper steps", 8, 12}, {"upper x", 12, 13}, {"upper y", 16, 14},
                {"lower steps", 20, 15}, {"lower x", 24, 16}, {"lower y", 28, 17}, {"U", 32, 18}, {"V", 36, 19},
                {"X", 40, 20}, {"Y", 44, 21}, {"roller fraction", 64, 22}, {"loop index", 92, 23}});

    StatusBlock st;
    st.runState = 3;
    st.subState = 5;
    st.adjustFinished = 1;
    st.work = w;
    st.speed = 31;
    st.remainingSteps = {32, 33, 34, 35};
    st.edgeSteps = 1234;
    std::array<uint8_t, kStatusBlockBytes> sb{};
    encodeStatusBlock(st, sb);
    EXPECT_EQ(sb[0], 3);
    EXPECT_EQ(sb[1], 5);
    EXPECT_EQ(sb[2], 1);
    expectInts("status", sb.data(),
               {{"work segment", 4, 11}, {"work loop", 4 + 92, 23}, {"speed", 104, 31}, {"remaining X", 112, 32},
                {"remaining V", 124, 35}, {"edge steps", 128, 1234}});

    PositionBlock pos{w, 41};
    std::array<uint8_t, kPositionBlockBytes> pb{};
    encodePositionBlock(pos, pb);
    expectInts("position", pb.data(), {{"segment", 0, 11}, {"speed", 96, 41}});

    SettingsBlock set;
    set.speeds = {51, 52, 53, 54, 55, 56};
    set.phase[0] = 0x61;
    set.axisInvert = {0, 1, 0, 1};
    set.trackMode = 1;
    set.clearanceSeconds = 7;
    set.backDelaySeconds = 8;
    std::array<uint8_t, kSettingsBlockBytes> sets{};
    encodeSettingsBlock(set, sets);
    expectInts("settings", sets.data(), {{"max X/Y", 4, 51}, {"cut U/V", 24, 56}});
    EXPECT_EQ(sets[28], 0x61);
    EXPECT_EQ(sets[45], 1);
    EXPECT_EQ(sets[47], 1);
    EXPECT_EQ(sets[48], 1);
    EXPECT_EQ(sets[49], 7);
    EXPECT_EQ(sets[50], 8);

    WorkRecord rec;
    rec.kind = kWorkRecordReturn;
    rec.load.ignorePause = 1;
    rec.load.taperAngleMilli = 1500;
    rec.load.segmentStops[0] = 71;
    rec.load.graphValues = {72, 73};
    rec.work = w;
    rec.returnSegment = 74;
    rec.returnDistances = {75, 76, 77, 78};
    std::array<uint8_t, kWorkRecordBytes> wr{};
    encodeWorkRecord(rec, wr);
    EXPECT_EQ(wr[0], 0x22);
    EXPECT_EQ(wr[78], 1);
    expectInts("work record", wr.data(),
               {{"taper", 80, 1500}, {"first stop", 84, 71}, {"graph values", 124, 72}, {"graph values", 128, 73},
                {"segment", 132, 11}, {"progress", 152, 15}, {"loop index", 224, 23}, {"return segment", 228, 74},
                {"distance X", 232, 75}, {"distance V", 244, 78}});

    StartPayload start;
    start.work = w;
    start.groupHere[0] = 0x81;
    start.groupNext[27] = 0x82;
    std::array<uint8_t, kStartPayloadBytes> sp{};
    encodeStartPayload(start, sp);
    EXPECT_EQ(GetLe32(sp.data()), 11);
    EXPECT_EQ(sp[96], 0x81);
    EXPECT_EQ(sp[151], 0x82);

    std::array<uint8_t, kTaperBlockBytes> tb{};
    encodeTaperBlock(TaperBlock{91, 92, 93, 94, 95, 96}, tb);
    expectInts("taper", tb.data(), {{"height", 0, 91}, {"degree", 16, 95}, {"type", 20, 96}});
    std::array<uint8_t, kReturnTargetBytes> rt{};
    encodeReturnTarget(ReturnTarget{97, {98, 0, 0, 99}}, rt);
    expectInts("return target", rt.data(), {{"segment", 0, 97}, {"X", 4, 98}, {"V", 16, 99}});
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
