// Frames on the card's serial line, the receive ring queue and the frame cutter.
//
// Every frame, in both directions:
//
//   offset  size  field
//   0       6     head  B7 BA BE BB BA AD
//   6       2     length, big-endian: N + 5 (kind .. check byte)
//   8       1     kind: 0 request from the PC or report from the card, 1 response
//   9       1     sequence (requests; the card's value is not checked)
//   10      1     type: command code, or command code + 0x80 in a response
//   11      1     status: 0 in requests; in responses 0 = done, else refused
//   12      N     payload (multi-byte fields little-endian)
//   12+N    1     check: XOR of bytes 8 .. 11+N
//   13+N    6     tail  AB BE B6 B3 BA AD
//
// There is no escaping, so a head pattern may occur inside a payload. The cutter therefore
// trusts a head only when the length field names a plausible frame and the tail sits exactly
// where that length puts it; otherwise the head's first byte is dropped as noise and the hunt
// goes on from the next byte. A frame that follows a broken one is thus never lost, and a
// payload that happens to contain the tail pattern is cut whole.
//
// These functions are shared with the virtual card, which packs responses and reports and
// checks the requests it receives with the same code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex {

inline constexpr std::size_t CPS_MAX_FRAME_SIZE = 340;   // every frame buffer, bytes
inline constexpr std::size_t kFrameHeadBytes = 6;
inline constexpr std::size_t kFrameOverheadBytes = 19;   // head, length, 4 header bytes, check, tail
inline constexpr std::size_t kFramePayloadOffset = 12;
inline constexpr std::size_t kMaxPayloadBytes = CPS_MAX_FRAME_SIZE - kFrameOverheadBytes;  // 321
inline constexpr std::size_t kFrameLengthExtraBytes = 14;  // frame size = length field + 14
inline constexpr std::size_t kMinLengthField = 5;          // kind, sequence, type, status, check
inline constexpr std::size_t kReportDataBytes = 8;         // report payload passed to the event hook

inline constexpr uint8_t FRAME_CMD_REQUEST = 0;   // PC request, or a report from the card
inline constexpr uint8_t FRAME_CMD_RESPONSE = 1;
inline constexpr uint8_t kResponseTypeOffset = 0x80;  // response type = request type + 0x80
inline constexpr uint8_t kConnectCode = 0x7F;         // always sent with sequence 0

inline constexpr uint8_t kFrameHead[kFrameHeadBytes] = {0xB7, 0xBA, 0xBE, 0xBB, 0xBA, 0xAD};
inline constexpr uint8_t kFrameTail[kFrameHeadBytes] = {0xAB, 0xBE, 0xB6, 0xB3, 0xBA, 0xAD};

// XOR of count bytes, starting from 0. The trace texts call it "CRC".
uint8_t FrameCheck(const uint8_t* bytes, std::size_t count);

// The module-wide request sequence: connect carries 0 and leaves the counter alone; every
// other request carries the counter, which then advances and wraps from 255 to 0. A
// successful connect resets it.
class SequenceCounter {
public:
    uint8_t take(uint8_t type) { return type == kConnectCode ? 0 : next_++; }
    void reset() { next_ = 0; }
    uint8_t peek() const { return next_; }

private:
    uint8_t next_ = 0;
};

// Packs any frame. Returns its length, or -1 when the payload is over kMaxPayloadBytes or the
// buffer is smaller than payloadLength + 19.
int PackFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t kind, uint8_t sequence, uint8_t type,
              uint8_t status, const uint8_t* payload, std::size_t payloadLength);

// A request of the PC; takes its sequence byte from the counter. On failure traces
// "ERROR: PackRequestFrame failed!\n" and returns -1 without touching the counter.
int PackRequestFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t type, const uint8_t* payload,
                     std::size_t payloadLength, SequenceCounter& sequence);

// The card's answer to a request of requestType (kind 1, type + 0x80). The card echoes the
// request's sequence byte.
int PackResponseFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t requestType, uint8_t sequence,
                      uint8_t status, const uint8_t* payload, std::size_t payloadLength);

// A report the card sends on its own (kind 0); the payload holds at least 8 bytes.
int PackReportFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t code, const uint8_t* payload,
                    std::size_t payloadLength);

// Why a frame was refused, in the order of the checks.
enum class FrameFault : uint8_t {
    None = 0,
    Head,         // "ERROR ParseCmd format head wrong!\n"
    Tail,         // "ERROR ParseCmd format tail wrong!\n"
    Count,        // "ERROR ParseCmd count not right!\n" (also a length field below 5)
    Check,        // "ERROR ParseCmd format CRC wrong!\n"
    ShortReport,  // a report with fewer than 8 payload bytes
    Kind,         // "ERROR ParseCmd format cmd wrong!\n"
};
inline constexpr int kFrameFaultCount = 7;
const char* FrameFaultName(FrameFault fault);

// The fields of a frame that passed the checks; payload points into the checked bytes.
struct FrameView {
    uint8_t kind = 0;
    uint8_t sequence = 0;
    uint8_t type = 0;
    uint8_t status = 0;
    const uint8_t* payload = nullptr;
    std::size_t payloadLength = 0;
};

// Checks head, tail, size against the length field, and the check byte, in that order, without
// tracing. Fills view when it is given and the frame is sound. Any kind byte is accepted here;
// the virtual card uses this for the requests it receives.
FrameFault CheckFrame(const uint8_t* frame, std::size_t length, FrameView* view);

// The PC's classification of a received frame: 1 a response, 2 a card report (kind 0 with at
// least 8 payload bytes), 0 refused with its trace text. fault tells why when it is given.
int ParseCmd(const uint8_t* frame, std::size_t length, FrameView* view = nullptr,
             FrameFault* fault = nullptr);

// The receive ring queue with its frame cutter. 1024 bytes of storage, of which at most 1023 are
// held (read == write means empty). Used by one thread only.
class FrameQueue {
public:
    static constexpr std::size_t kStorageBytes = 1024;
    static constexpr std::size_t kCapacityBytes = kStorageBytes - 1;

    // Returns count; 0 when fewer than count bytes are free; -1 when count is 1024 or more
    // ("Size is too big!\n").
    int Enqueue(const uint8_t* bytes, std::size_t count);
    // Returns count; 0 when fewer than count bytes are queued; -1 when count is 1024 or more.
    int Dequeue(uint8_t* destination, std::size_t count);
    // Length of the complete frame that now starts at the read index, or 0 when none is
    // complete yet. Drops noise before a head and heads that do not start a sound frame. The
    // frame stays queued; the caller dequeues exactly the returned count.
    int CutFrame();

    std::size_t size() const { return (write_ + kStorageBytes - read_) % kStorageBytes; }
    std::size_t freeSpace() const { return kCapacityBytes - size(); }
    bool inFrame() const { return inFrame_; }
    // Bytes dropped by the cutter since the last call; the count is then cleared.
    std::size_t takeNoiseBytes() {
        std::size_t n = noise_;
        noise_ = 0;
        return n;
    }
    void clear();
    // Places both indexes at position (mod 1024) with nothing queued, so tests and the benchmark
    // can put a frame across the end of the storage.
    void resetAt(std::size_t position);

private:
    uint8_t at(std::size_t offset) const { return data_[(read_ + offset) % kStorageBytes]; }
    bool matchesAt(std::size_t offset, const uint8_t (&pattern)[kFrameHeadBytes]) const;
    void drop(std::size_t count);

    uint8_t data_[kStorageBytes] = {};
    std::size_t read_ = 0;
    std::size_t write_ = 0;
    bool inFrame_ = false;
    std::size_t noise_ = 0;
};

}  // namespace korvex
