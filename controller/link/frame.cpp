#include "controller/link/frame.h"

#include <cstring>

#include "controller/link/trace.h"

namespace korvex {
namespace {

constexpr std::size_t kLengthOffset = 6;
constexpr std::size_t kKindOffset = 8;
constexpr std::size_t kSequenceOffset = 9;
constexpr std::size_t kTypeOffset = 10;
constexpr std::size_t kStatusOffset = 11;

}  // namespace

uint8_t FrameCheck(const uint8_t* bytes, std::size_t count) {
    uint8_t check = 0;
    for (std::size_t i = 0; i < count; ++i) check ^= bytes[i];
    return check;
}

int PackFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t kind, uint8_t sequence, uint8_t type,
              uint8_t status, const uint8_t* payload, std::size_t payloadLength) {
    if (buffer == nullptr || payloadLength > kMaxPayloadBytes ||
        bufferSize < payloadLength + kFrameOverheadBytes || (payloadLength > 0 && payload == nullptr))
        return -1;
    const std::size_t lengthField = payloadLength + kMinLengthField;
    std::memcpy(buffer, kFrameHead, kFrameHeadBytes);
    buffer[kLengthOffset] = static_cast<uint8_t>(lengthField >> 8);
    buffer[kLengthOffset + 1] = static_cast<uint8_t>(lengthField);
    buffer[kKindOffset] = kind;
    buffer[kSequenceOffset] = sequence;
    buffer[kTypeOffset] = type;
    buffer[kStatusOffset] = status;
    if (payloadLength > 0) std::memcpy(buffer + kFramePayloadOffset, payload, payloadLength);
    const std::size_t checkOffset = kFramePayloadOffset + payloadLength;
    buffer[checkOffset] = FrameCheck(buffer + kKindOffset, checkOffset - kKindOffset);
    std::memcpy(buffer + checkOffset + 1, kFrameTail, kFrameHeadBytes);
    return static_cast<int>(payloadLength + kFrameOverheadBytes);
}

int PackRequestFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t type, const uint8_t* payload,
                     std::size_t payloadLength, SequenceCounter& sequence) {
    if (buffer == nullptr || payloadLength > kMaxPayloadBytes ||
        bufferSize < payloadLength + kFrameOverheadBytes || (payloadLength > 0 && payload == nullptr)) {
        LinkTrace("ERROR: PackRequestFrame failed!\n");
        return -1;
    }
    return PackFrame(buffer, bufferSize, FRAME_CMD_REQUEST, sequence.take(type), type, 0, payload,
                     payloadLength);
}

int PackResponseFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t requestType, uint8_t sequence,
                      uint8_t status, const uint8_t* payload, std::size_t payloadLength) {
    return PackFrame(buffer, bufferSize, FRAME_CMD_RESPONSE, sequence,
                     static_cast<uint8_t>(requestType + kResponseTypeOffset), status, payload,
                     payloadLength);
}

int PackReportFrame(uint8_t* buffer, std::size_t bufferSize, uint8_t code, const uint8_t* payload,
                    std::size_t payloadLength) {
    if (payloadLength < kReportDataBytes) return -1;
    return PackFrame(buffer, bufferSize, FRAME_CMD_REQUEST, 0, code, 0, payload, payloadLength);
}

const char* FrameFaultName(FrameFault fault) {
    switch (fault) {
        case FrameFault::None: return "none";
        case FrameFault::Head: return "head";
        case FrameFault::Tail: return "tail";
        case FrameFault::Count: return "count";
        case FrameFault::Check: return "check";
        case FrameFault::ShortReport: return "short-report";
        case FrameFault::Kind: return "kind";
    }
    return "?";
}

FrameFault CheckFrame(const uint8_t* frame, std::size_t length, FrameView* view) {
    if (frame == nullptr || length < kFrameHeadBytes ||
        std::memcmp(frame, kFrameHead, kFrameHeadBytes) != 0)
        return FrameFault::Head;
    if (length < 2 * kFrameHeadBytes ||
        std::memcmp(frame + length - kFrameHeadBytes, kFrameTail, kFrameHeadBytes) != 0)
        return FrameFault::Tail;
    if (length < kFrameOverheadBytes) return FrameFault::Count;
    const std::size_t lengthField =
        static_cast<std::size_t>(frame[kLengthOffset]) << 8 | frame[kLengthOffset + 1];
    if (lengthField < kMinLengthField || lengthField + kFrameLengthExtraBytes != length)
        return FrameFault::Count;
    const std::size_t checkOffset = length - kFrameHeadBytes - 1;
    if (FrameCheck(frame + kKindOffset, checkOffset - kKindOffset) != frame[checkOffset])
        return FrameFault::Check;
    if (view != nullptr) {
        view->kind = frame[kKindOffset];
        view->sequence = frame[kSequenceOffset];
        view->type = frame[kTypeOffset];
        view->status = frame[kStatusOffset];
        view->payload = frame + kFramePayloadOffset;
        view->payloadLength = length - kFrameOverheadBytes;
    }
    return FrameFault::None;
}

int ParseCmd(const uint8_t* frame, std::size_t length, FrameView* view, FrameFault* fault) {
    FrameView local;
    FrameFault found = CheckFrame(frame, length, &local);
    if (found == FrameFault::None) {
        if (local.kind == FRAME_CMD_REQUEST) {
            if (local.payloadLength < kReportDataBytes) found = FrameFault::ShortReport;
        } else if (local.kind != FRAME_CMD_RESPONSE) {
            found = FrameFault::Kind;
        }
    }
    if (fault != nullptr) *fault = found;
    switch (found) {
        case FrameFault::None:
            if (view != nullptr) *view = local;
            if (local.kind == FRAME_CMD_REQUEST) {
                LinkTrace("Got FRAME_CMD_REQUEST: %d\n", local.type);
                return 2;
            }
            return 1;
        case FrameFault::Head: LinkTrace("ERROR ParseCmd format head wrong!\n"); break;
        case FrameFault::Tail: LinkTrace("ERROR ParseCmd format tail wrong!\n"); break;
        case FrameFault::Count: LinkTrace("ERROR ParseCmd count not right!\n"); break;
        case FrameFault::Check: LinkTrace("ERROR ParseCmd format CRC wrong!\n"); break;
        case FrameFault::ShortReport: LinkTrace("ERROR ParseCmd report too short!\n"); break;
        case FrameFault::Kind: LinkTrace("ERROR ParseCmd format cmd wrong!\n"); break;
    }
    return 0;
}

// ---- ring queue ----

int FrameQueue::Enqueue(const uint8_t* bytes, std::size_t count) {
    if (count >= kStorageBytes) {
        LinkTrace("Size is too big!\n");
        return -1;
    }
    if (count > freeSpace()) {
        LinkTrace("Queue isn't enough to write\n");
        return 0;
    }
    const std::size_t first = count < kStorageBytes - write_ ? count : kStorageBytes - write_;
    std::memcpy(data_ + write_, bytes, first);
    std::memcpy(data_, bytes + first, count - first);
    write_ = (write_ + count) % kStorageBytes;
    return static_cast<int>(count);
}

int FrameQueue::Dequeue(uint8_t* destination, std::size_t count) {
    if (count >= kStorageBytes) {
        LinkTrace("Size is too big!\n");
        return -1;
    }
    if (count > size()) {
        LinkTrace("Queue isn't enough to read\n");
        return 0;
    }
    const std::size_t first = count < kStorageBytes - read_ ? count : kStorageBytes - read_;
    std::memcpy(destination, data_ + read_, first);
    std::memcpy(destination + first, data_, count - first);
    read_ = (read_ + count) % kStorageBytes;
    return static_cast<int>(count);
}

bool FrameQueue::matchesAt(std::size_t offset, const uint8_t (&pattern)[kFrameHeadBytes]) const {
    for (std::size_t i = 0; i < kFrameHeadBytes; ++i)
        if (at(offset + i) != pattern[i]) return false;
    return true;
}

void FrameQueue::drop(std::size_t count) {
    read_ = (read_ + count) % kStorageBytes;
    noise_ += count;
}

void FrameQueue::clear() {
    read_ = write_ = 0;
    inFrame_ = false;
}

void FrameQueue::resetAt(std::size_t position) {
    read_ = write_ = position % kStorageBytes;
    inFrame_ = false;
}

int FrameQueue::CutFrame() {
    for (;;) {
        const std::size_t held = size();
        if (!inFrame_) {
            // Hunt for a head; everything before it is noise. Keep the last five bytes, they may
            // be the start of a head still arriving.
            std::size_t offset = 0;
            while (held - offset >= kFrameHeadBytes && !matchesAt(offset, kFrameHead)) ++offset;
            drop(offset);
            if (held - offset < kFrameHeadBytes) return 0;
            inFrame_ = true;
        }
        // A head sits at the read index.
        if (size() < kLengthOffset + 2) return 0;  // length field not here yet
        const std::size_t lengthField = static_cast<std::size_t>(at(kLengthOffset)) << 8 |
                                        at(kLengthOffset + 1);
        const std::size_t frameSize = lengthField + kFrameLengthExtraBytes;
        if (lengthField >= kMinLengthField && frameSize <= CPS_MAX_FRAME_SIZE) {
            if (size() < frameSize) return 0;  // wait for the rest
            if (matchesAt(frameSize - kFrameHeadBytes, kFrameTail)) {
                inFrame_ = false;
                return static_cast<int>(frameSize);
            }
        }
        // Not the head of a sound frame: drop its first byte and hunt again.
        drop(1);
        inFrame_ = false;
    }
}

}  // namespace korvex
