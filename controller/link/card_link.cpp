#include "controller/link/card_link.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "controller/link/trace.h"

namespace korvex {

CardLink::CardLink(LinkOptions options)
    : options_(std::move(options)), errorLog_(options_.logDir), history_(std::make_unique<FrameHistory>()) {}

CardLink::~CardLink() { Close(); }

int CardLink::SetEventHook(EventHook hook) {
    if (IsOpen()) return -1;
    eventHook_ = std::move(hook);
    return 0;
}

bool CardLink::IsOpen() const { return port_.isOpen(); }

int CardLink::Open(const std::string& device) {
    Close();
    if (port_.Open(device) != 0) return -1;
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        LinkTrace("Can't create RxData Event!\n");
        port_.Close();
        return -1;
    }
    {
        std::lock_guard lock(slotMutex_);
        slotArmed_ = slotFilled_ = closing_ = false;
    }
    try {
        reader_ = std::thread([this] { readerLoop(); });
    } catch (...) {
        LinkTrace("Can't start ReadTheard!\n");
        ::close(wakeFd_);
        wakeFd_ = -1;
        port_.Close();
        return -1;
    }
    return 0;
}

void CardLink::Close() {
    if (!reader_.joinable() && !port_.isOpen()) return;
    {
        // A transaction waiting on another thread gives up at once.
        std::lock_guard lock(slotMutex_);
        closing_ = true;
    }
    slotReady_.notify_all();
    if (reader_.joinable()) {
        const uint64_t one = 1;
        while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
        reader_.join();
        readerId_.store(std::thread::id());
    }
    std::lock_guard order(orderMutex_);
    if (wakeFd_ >= 0) ::close(wakeFd_);
    wakeFd_ = -1;
    port_.Close();
    std::lock_guard lock(slotMutex_);
    closing_ = false;
}

uint8_t CardLink::ReportCount() const { return reportCount_.load(); }
void CardLink::SetCardId(uint32_t id) { cardId_.store(id); }
uint32_t CardLink::CardId() const { return cardId_.load(); }

// ---- reader thread ----

void CardLink::readerLoop() {
    readerId_.store(std::this_thread::get_id());
    LinkTrace("CPS INIT THREADID = %d\n", static_cast<int>(::syscall(SYS_gettid)));
    FrameQueue queue;
    uint8_t chunk[kReadChunkBytes];
    uint8_t frame[CPS_MAX_FRAME_SIZE];
    bool lineUp = true;
    for (;;) {
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {port_.fd(), POLLIN, 0}};
        // After a hang-up only the wake-up is watched: a dead line would wake poll() forever.
        const int ready = ::poll(fds, lineUp ? 2 : 1, -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            LinkTrace("read error1\n");
            return;
        }
        if (fds[0].revents != 0) return;  // Close()
        if (!lineUp || fds[1].revents == 0) continue;
        // Read no more than the queue can take, so enqueueing never fails: whatever cannot be
        // read now stays in the driver until frames have been cut.
        const std::size_t room = queue.freeSpace();
        const ssize_t n = ::read(port_.fd(), chunk, room < sizeof chunk ? room : sizeof chunk);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) {
            LinkTrace("ReadFile error\n");
            lineUp = false;
            continue;
        }
        counters_.add(LinkCounters::kBytesRead, static_cast<uint64_t>(n));
        queue.Enqueue(chunk, static_cast<std::size_t>(n));
        // Noise is counted before the frame behind it is handed over, so the counters a
        // transaction reads on return already include what was dropped on the way to its answer.
        auto countNoise = [&queue, this] {
            if (const std::size_t noise = queue.takeNoiseBytes(); noise > 0)
                counters_.add(LinkCounters::kNoiseBytes, noise);
        };
        for (int length; (length = queue.CutFrame()) > 0;) {
            countNoise();
            queue.Dequeue(frame, static_cast<std::size_t>(length));
            handleFrame(frame, static_cast<std::size_t>(length));
        }
        countNoise();
    }
}

void CardLink::handleFrame(const uint8_t* frame, std::size_t length) {
    history_->record(false, frame, length);
    FrameView view;
    FrameFault fault = FrameFault::None;
    switch (ParseCmd(frame, length, &view, &fault)) {
        case 1: {
            counters_.add(LinkCounters::kResponses);
            std::unique_lock lock(slotMutex_);
            if (!slotArmed_ || slotFilled_) {
                lock.unlock();
                LinkTrace("Response 0x%x dropped: no transaction waits for it\n", view.type);
                counters_.add(LinkCounters::kStrayResponses);
                return;
            }
            std::memcpy(slot_, frame, length);
            slotLength_ = length;
            slotFilled_ = true;
            lock.unlock();
            slotReady_.notify_all();
            return;
        }
        case 2:
            counters_.add(LinkCounters::kReports);
            reportCount_.fetch_add(1);
            if (eventHook_) eventHook_(view.type, view.payload);
            return;
        default:
            counters_.reject(fault);
            return;
    }
}

// ---- transactions ----

int CardLink::FrameWriteComm(const uint8_t* frame, std::size_t length) {
    history_->record(true, frame, length);
    counters_.add(LinkCounters::kFramesSent);
    if (port_.WriteAll(frame, length, options_.writeTimeoutMs) != 0) {
        counters_.add(LinkCounters::kWriteFailures);
        return -1;
    }
    counters_.add(LinkCounters::kBytesWritten, length);
    return 0;
}

int CardLink::Transaction(uint8_t type, const uint8_t* payload, std::size_t payloadLength,
                          uint8_t* response, std::size_t capacity, std::size_t* responseLength) {
    if (responseLength != nullptr) *responseLength = 0;
    if (capacity > 0 && response == nullptr) return -1;
    if (std::this_thread::get_id() == readerId_.load()) {
        // Only the reader delivers answers: a transaction on its thread could never complete.
        LinkTrace("ERROR: transaction 0x%x run from the event hook\n", type);
        return -1;
    }
    std::unique_lock order(orderMutex_);
    uint8_t request[CPS_MAX_FRAME_SIZE];
    const int requestLength = PackRequestFrame(request, sizeof request, type, payload, payloadLength, sequence_);
    if (requestLength < 0) return -1;
    const uint8_t expectedType = static_cast<uint8_t>(type + kResponseTypeOffset);

    for (int attempt = 0; attempt < kTransactionAttempts; ++attempt) {
        if (attempt > 0) counters_.add(LinkCounters::kAttemptsRetried);
        {
            std::lock_guard lock(slotMutex_);
            if (closing_) break;
            slotArmed_ = true;
            slotFilled_ = false;
        }
        if (FrameWriteComm(request, static_cast<std::size_t>(requestLength)) != 0) {
            LinkTrace("FrameWriteComm error\n");
            std::lock_guard lock(slotMutex_);
            slotArmed_ = false;
            continue;
        }

        uint8_t answer[CPS_MAX_FRAME_SIZE];
        std::size_t answerLength = 0;
        {
            std::unique_lock lock(slotMutex_);
            const bool got = slotReady_.wait_for(lock, std::chrono::milliseconds(options_.responseTimeoutMs),
                                                 [this] { return slotFilled_ || closing_; });
            slotArmed_ = false;
            if (!got || !slotFilled_) {
                lock.unlock();
                if (!got) {
                    LinkTrace("ERROR: Send Frame 0x%x TIMEOUT! try another %d chance!\n", type,
                              kTransactionAttempts - 1 - attempt);
                    counters_.add(LinkCounters::kTimeouts);
                }
                continue;
            }
            slotFilled_ = false;
            answerLength = slotLength_;
            if (answerLength > CPS_MAX_FRAME_SIZE) {
                LinkTrace("error: read buffer overflow!\n");
                continue;
            }
            std::memcpy(answer, slot_, answerLength);
        }
        FrameView view;
        CheckFrame(answer, answerLength, &view);
        if (view.type != expectedType) {
            LinkTrace("ResType is not Type+0x80\n");
            counters_.add(LinkCounters::kWrongType);
            continue;
        }
        if (view.payloadLength > capacity) {
            LinkTrace("ERROR: RvcDataLen > RvcBufLen\n");
            counters_.add(LinkCounters::kOversize);
            return -1;
        }
        if (view.status != 0) {
            LinkTrace("ERROR: Frame 0x%x Return -1!\n", view.type);
            counters_.add(LinkCounters::kRefused);
            return -1;
        }
        if (view.payloadLength > 0) std::memcpy(response, view.payload, view.payloadLength);
        if (responseLength != nullptr) *responseLength = view.payloadLength;
        if (type == kConnectCode) {
            // The card starts counting afresh: the next request carries sequence 0.
            sequence_.reset();
            reportCount_.store(0);
        }
        counters_.add(LinkCounters::kTransactionsOk);
        return 0;
    }

    bool closing = false;
    {
        std::lock_guard lock(slotMutex_);
        closing = closing_;
    }
    order.unlock();
    counters_.add(LinkCounters::kTransactionsFailed);
    if (closing) return -1;  // cut short by Close(): not a lost link
    char title[96];
    std::snprintf(title, sizeof title, "Command 0x%02x failed after %d attempts", type, kTransactionAttempts);
    WriteFrameHistory(title);
    if (type != kConnectCode && eventHook_) {
        uint8_t record[kReportDataBytes] = {};
        record[1] = type;
        eventHook_(0, record);
    }
    return -1;
}

// ---- files in the log folder ----

int CardLink::WriteFrameHistory(const std::string& title) {
    if (options_.logDir.empty() || MakeDirectories(options_.logDir) != 0) return -1;
    return history_->appendTo(CardLogPath(options_.logDir, cardId_.load(), "_Link.txt"), title);
}

int CardLink::LogError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = errorLog_.Append(cardId_.load(), format, args);
    va_end(args);
    return result;
}

}  // namespace korvex
