// Arbitrary byte streams, in arbitrary chunkings, through the receive queue, the frame cutter and
// the frame checks, as the reader thread runs them. The first bytes of the input choose the
// chunk sizes and the queue's starting position, so the fuzzer also explores the wrap point.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "controller/link/frame.h"

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    FrameQueue queue;
    queue.resetAt(static_cast<std::size_t>(data[0]) << 2 | (data[1] & 3));
    const uint8_t chunkSeed = data[2];
    data += 3;
    size -= 3;

    uint8_t frame[CPS_MAX_FRAME_SIZE];
    std::size_t at = 0;
    std::size_t round = 0;
    while (at < size) {
        // Chunks of 1 .. 256 bytes, never more than the queue can take (the reader's own rule).
        std::size_t chunk = 1 + static_cast<std::size_t>((chunkSeed * 31 + round * 17) % 256);
        if (chunk > size - at) chunk = size - at;
        if (chunk > queue.freeSpace()) chunk = queue.freeSpace();
        if (chunk == 0 || queue.Enqueue(data + at, chunk) != static_cast<int>(chunk)) abort();
        at += chunk;
        ++round;
        for (int length; (length = queue.CutFrame()) > 0;) {
            if (static_cast<std::size_t>(length) > CPS_MAX_FRAME_SIZE) abort();
            if (queue.Dequeue(frame, static_cast<std::size_t>(length)) != length) abort();
            FrameView view;
            FrameFault fault = FrameFault::None;
            const int kind = ParseCmd(frame, static_cast<std::size_t>(length), &view, &fault);
            if (kind != 0) {
                // A frame the checks accept packs back to the very same bytes.
                uint8_t again[CPS_MAX_FRAME_SIZE];
                const int n = PackFrame(again, sizeof again, view.kind, view.sequence, view.type, view.status,
                                        view.payload, view.payloadLength);
                if (n != length || std::memcmp(again, frame, static_cast<std::size_t>(n)) != 0) abort();
            }
        }
        queue.takeNoiseBytes();
        // The cutter always leaves room: a stalled queue would end the reader.
        if (queue.freeSpace() == 0) abort();
    }
    return 0;
}
