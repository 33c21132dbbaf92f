// The card link's own costs: one transaction round trip against a card that answers at once over
// a pseudo-terminal (no wire time: the CPU column is the time our code spends per transaction on
// the calling thread, the real time includes the kernel's hand-over and the card's own work),
// and cutting frames out of a noisy byte stream.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "controller/link/card_link.h"
#include "controller/link/commands.h"
#include "controller/link/tests/scripted_card.h"

namespace korvex {
namespace {

using testing::Bytes;
using testing::Response;
using testing::ScriptedCard;

void BM_TransactionRoundTrip(benchmark::State& state) {
    const std::size_t answerBytes = static_cast<std::size_t>(state.range(0));
    ScriptedCard card;
    const Bytes answer(answerBytes, 0x5A);
    card.setScript([&answer](const FrameView& r, std::size_t) { return Response(r.type, 0, answer); });
    LinkOptions options;
    options.connectPauseMs = 0;
    CardLink link(options);
    if (link.Open(card.device()) != 0) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    uint8_t buffer[CPS_MAX_FRAME_SIZE];
    std::size_t got = 0;
    for (auto _ : state) {
        if (link.Transaction(cmdcode::CMD_GET_STATE, nullptr, 0, buffer, sizeof buffer, &got) != 0) {
            state.SkipWithError("transaction failed");
            break;
        }
        benchmark::DoNotOptimize(got);
    }
    link.Close();
}
BENCHMARK(BM_TransactionRoundTrip)->Arg(0)->Arg(268)->UseRealTime();
// The same with the CPU of the whole process: caller, reader thread and the test's card together,
// an upper bound of what the link costs per transaction.
BENCHMARK(BM_TransactionRoundTrip)->Name("BM_TransactionRoundTripProcessCpu")->Arg(0)->Arg(268)->UseRealTime()->MeasureProcessCPUTime();

// Frames of every size with 10 % noise between them, fed in 256-byte reads.
void BM_CutNoisyStream(benchmark::State& state) {
    std::mt19937 rng(7);
    Bytes stream;
    std::size_t frames = 0;
    while (stream.size() < (1u << 20)) {
        for (int k = static_cast<int>(rng() % 12); k > 0; --k) stream.push_back(static_cast<uint8_t>(rng()));
        Bytes payload(rng() % 270);
        for (auto& b : payload) b = static_cast<uint8_t>(rng());
        const Bytes f = Response(static_cast<uint8_t>(rng() % 0x44), 0, payload);
        stream.insert(stream.end(), f.begin(), f.end());
        ++frames;
    }
    constexpr std::size_t kChunk = 256;
    uint8_t frame[CPS_MAX_FRAME_SIZE];
    std::size_t cut = 0;
    for (auto _ : state) {
        FrameQueue queue;
        for (std::size_t at = 0; at < stream.size(); at += kChunk) {
            const std::size_t n = std::min(kChunk, stream.size() - at);
            queue.Enqueue(stream.data() + at, n);
            for (int len; (len = queue.CutFrame()) > 0;) {
                queue.Dequeue(frame, static_cast<std::size_t>(len));
                cut += ParseCmd(frame, static_cast<std::size_t>(len)) != 0;
            }
        }
    }
    benchmark::DoNotOptimize(cut);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_CutNoisyStream);

}  // namespace
}  // namespace korvex

BENCHMARK_MAIN();
