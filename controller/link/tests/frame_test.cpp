#include "controller/link/frame.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace korvex {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes request(uint8_t type, const Bytes& payload, SequenceCounter& seq) {
    uint8_t buf[CPS_MAX_FRAME_SIZE];
    const int n = PackRequestFrame(buf, sizeof buf, type, payload.data(), payload.size(), seq);
    return n < 0 ? Bytes{} : Bytes(buf, buf + n);
}

Bytes response(uint8_t type, const Bytes& payload, uint8_t status = 0) {
    uint8_t buf[CPS_MAX_FRAME_SIZE];
    const int n = PackResponseFrame(buf, sizeof buf, type, 0, status, payload.data(), payload.size());
    return Bytes(buf, buf + n);
}

TEST(Frame, WorkedFramesAreExact) {
    SequenceCounter seq;
    EXPECT_EQ(request(0x7F, {}, seq), (Bytes{0xB7, 0xBA, 0xBE, 0xBB, 0xBA, 0xAD, 0x00, 0x05, 0x00, 0x00,
                                             0x7F, 0x00, 0x7F, 0xAB, 0xBE, 0xB6, 0xB3, 0xBA, 0xAD}));
    for (int i = 0; i < 3; ++i) request(0x3B, {}, seq);
    EXPECT_EQ(request(0x0C, {'a', 'b', 'c'}, seq),
              (Bytes{0xB7, 0xBA, 0xBE, 0xBB, 0xBA, 0xAD, 0x00, 0x08, 0x00, 0x03, 0x0C,
                     0x00, 0x61, 0x62, 0x63, 0x6F, 0xAB, 0xBE, 0xB6, 0xB3, 0xBA, 0xAD}));
}

TEST(Frame, EmptyPayloadIsNineteenBytesWithSequenceXorType) {
    SequenceCounter seq;
    for (int i = 0; i < 0x45; ++i) seq.take(0x3B);
    const Bytes f = request(0x22, {}, seq);
    ASSERT_EQ(f.size(), 19u);
    EXPECT_EQ(f[7], 5);
    EXPECT_EQ(f[12], 0x45 ^ 0x22);
}

TEST(Frame, SequenceSkipsConnectAndWraps) {
    SequenceCounter seq;
    EXPECT_EQ(seq.take(0x3B), 0);
    EXPECT_EQ(seq.take(0x7F), 0);  // connect: always 0, counter unchanged
    EXPECT_EQ(seq.take(0x3B), 1);
    seq.reset();
    for (int i = 0; i < 256; ++i) EXPECT_EQ(seq.take(0x21), i);
    EXPECT_EQ(seq.take(0x21), 0);
}

TEST(Frame, PackRefusesSmallBufferAndOversizePayload) {
    SequenceCounter seq;
    uint8_t buf[CPS_MAX_FRAME_SIZE];
    const uint8_t payload[4] = {1, 2, 3, 4};
    EXPECT_EQ(PackRequestFrame(buf, 22, 0x10, payload, 4, seq), -1);
    EXPECT_EQ(seq.peek(), 0) << "a refused pack must not use a sequence number";
    EXPECT_EQ(PackRequestFrame(buf, 23, 0x10, payload, 4, seq), 23);
    Bytes big(kMaxPayloadBytes + 1, 0);
    EXPECT_EQ(PackRequestFrame(buf, sizeof buf, 0x10, big.data(), big.size(), seq), -1);
    big.pop_back();
    EXPECT_EQ(PackRequestFrame(buf, sizeof buf, 0x10, big.data(), big.size(), seq), 340);
}

TEST(Frame, ParseCmdChecksInOrder) {
    const Bytes good = response(0x04, {1, 2, 3});
    Bytes reportFrame(CPS_MAX_FRAME_SIZE);
    const uint8_t data[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    reportFrame.resize(static_cast<std::size_t>(PackReportFrame(reportFrame.data(), reportFrame.size(), 2, data, 8)));
    uint8_t shortReport[CPS_MAX_FRAME_SIZE];
    const int shortLen = PackFrame(shortReport, sizeof shortReport, 0, 0, 2, 0, data, 7);
    uint8_t badKind[CPS_MAX_FRAME_SIZE];
    const int badKindLen = PackFrame(badKind, sizeof badKind, 2, 0, 0x84, 0, data, 3);

    struct Case {
        const char* name;
        Bytes frame;
        int result;
        FrameFault fault;
    };
    auto with = [&](std::size_t at, uint8_t value) {
        Bytes f = good;
        f[at] = value;
        return f;
    };
    Bytes lengthFour = good;
    lengthFour[7] = 4;
    const std::vector<Case> cases = {
        {"response", good, 1, FrameFault::None},
        {"report", reportFrame, 2, FrameFault::None},
        {"head", with(0, 0xB6), 0, FrameFault::Head},
        {"tail", with(good.size() - 1, 0), 0, FrameFault::Tail},
        {"length field", with(7, 9), 0, FrameFault::Count},
        {"length below five", lengthFour, 0, FrameFault::Count},
        {"check byte", with(good.size() - 7, 0), 0, FrameFault::Check},
        {"payload bit", with(12, 0x41), 0, FrameFault::Check},
        {"short report", Bytes(shortReport, shortReport + shortLen), 0, FrameFault::ShortReport},
        {"kind 2", Bytes(badKind, badKind + badKindLen), 0, FrameFault::Kind},
        {"too short", Bytes(good.begin(), good.begin() + 10), 0, FrameFault::Tail},
    };
    for (const Case& c : cases) {
        FrameFault fault = FrameFault::None;
        FrameView view;
        EXPECT_EQ(ParseCmd(c.frame.data(), c.frame.size(), &view, &fault), c.result) << c.name;
        EXPECT_EQ(fault, c.fault) << c.name;
    }
    FrameView view;
    ASSERT_EQ(ParseCmd(good.data(), good.size(), &view), 1);
    EXPECT_EQ(view.type, 0x84);
    ASSERT_EQ(view.payloadLength, 3u);
    EXPECT_EQ(view.payload[2], 3);
}

// Feeds bytes, cuts every frame it can; returns the frames cut.
std::vector<Bytes> feed(FrameQueue& q, const Bytes& bytes) {
    std::vector<Bytes> out;
    EXPECT_EQ(q.Enqueue(bytes.data(), bytes.size()), static_cast<int>(bytes.size()));
    for (int n; (n = q.CutFrame()) > 0;) {
        Bytes f(static_cast<std::size_t>(n));
        EXPECT_EQ(q.Dequeue(f.data(), f.size()), n);
        out.push_back(f);
    }
    return out;
}

TEST(FrameQueue, NoiseBeforeHeadIsDroppedAndCounted) {
    FrameQueue q;
    const Bytes f = response(0x3B, {});
    Bytes stream = {0x00, 0xB7, 0xBA, 0x11, 0xAD};
    stream.insert(stream.end(), f.begin(), f.end());
    const auto frames = feed(q, stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], f);
    EXPECT_EQ(q.takeNoiseBytes(), 5u);
    EXPECT_EQ(q.size(), 0u);
}

TEST(FrameQueue, HeadWithoutTailWaitsForMoreBytes) {
    FrameQueue q;
    const Bytes f = response(0x22, Bytes(268, 0x5A));
    for (std::size_t cutAt : {3u, 6u, 8u, 100u, 286u}) {
        q.clear();
        EXPECT_TRUE(feed(q, Bytes(f.begin(), f.begin() + static_cast<long>(cutAt))).empty());
        EXPECT_EQ(q.size(), cutAt) << "nothing of a frame in progress may be dropped";
        const auto frames = feed(q, Bytes(f.begin() + static_cast<long>(cutAt), f.end()));
        ASSERT_EQ(frames.size(), 1u) << cutAt;
        EXPECT_EQ(frames[0], f);
    }
}

TEST(FrameQueue, FrameAcrossTheWrapIsCutWhole) {
    FrameQueue q;
    const Bytes f = response(0x17, Bytes(40, 0xC3));
    for (std::size_t start = 1024 - 45; start < 1024; ++start) {
        q.resetAt(start);
        const auto frames = feed(q, f);
        ASSERT_EQ(frames.size(), 1u) << start;
        EXPECT_EQ(frames[0], f);
    }
}

TEST(FrameQueue, BrokenFrameDoesNotSwallowTheNext) {
    FrameQueue q;
    const Bytes good = response(0x21, Bytes(20, 1));
    Bytes brokenTail = response(0x21, Bytes(20, 2));
    brokenTail[brokenTail.size() - 2] = 0;
    Bytes wrongLength = response(0x21, Bytes(20, 3));
    wrongLength[7] = 200;  // promises far more bytes than follow
    Bytes stream = brokenTail;
    stream.insert(stream.end(), good.begin(), good.end());
    auto frames = feed(q, stream);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], good);

    q.clear();
    stream = wrongLength;
    for (int i = 0; i < 12; ++i) stream.insert(stream.end(), good.begin(), good.end());
    frames = feed(q, stream);
    ASSERT_GE(frames.size(), 1u);
    for (const Bytes& f : frames) EXPECT_EQ(f, good);
}

TEST(FrameQueue, TailPatternInsidePayloadIsCutWhole) {
    FrameQueue q;
    Bytes payload = {1, 0xAB, 0xBE, 0xB6, 0xB3, 0xBA, 0xAD, 2, 0xB7, 0xBA, 0xBE, 0xBB, 0xBA, 0xAD};
    const Bytes f = response(0x30, payload);
    const auto frames = feed(q, f);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], f);
}

TEST(FrameQueue, EnqueueAndDequeueLimits) {
    FrameQueue q;
    Bytes block(1023, 7);
    EXPECT_EQ(q.Enqueue(block.data(), 1024), -1);
    EXPECT_EQ(q.Enqueue(block.data(), 1023), 1023);
    EXPECT_EQ(q.Enqueue(block.data(), 1), 0) << "1023 bytes is full";
    Bytes out(1023);
    EXPECT_EQ(q.Dequeue(out.data(), 1024), -1);
    EXPECT_EQ(q.Dequeue(out.data(), 1023), 1023) << "the whole content can be read";
    EXPECT_EQ(q.Dequeue(out.data(), 1), 0);
}

// Sound frames with noise between them, fed in random chunks, all come out in order.
TEST(FrameQueue, RandomChunkingAndNoiseRecoverEveryFrame) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        std::vector<Bytes> sent;
        Bytes stream;
        for (int i = 0; i < 8; ++i) {
            for (int k = static_cast<int>(rng() % 20); k > 0; --k) stream.push_back(static_cast<uint8_t>(rng() % 0xB0));
            Bytes payload(rng() % 270);
            for (auto& b : payload) b = static_cast<uint8_t>(rng());
            sent.push_back(response(static_cast<uint8_t>(rng() % 0x44), payload));
            stream.insert(stream.end(), sent.back().begin(), sent.back().end());
        }
        FrameQueue q;
        q.resetAt(rng() % 1024);
        std::vector<Bytes> got;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min<std::size_t>(1 + rng() % 300, stream.size() - at);
            for (auto& f : feed(q, Bytes(stream.begin() + static_cast<long>(at), stream.begin() + static_cast<long>(at + n))))
                got.push_back(f);
            at += n;
        }
        ASSERT_EQ(got, sent) << "round " << round;
    }
}

}  // namespace
}  // namespace korvex
