#include "sim/card/card_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "sim/card/memory_file.h"

namespace korvex::sim {
namespace {

constexpr int64_t kMicrosPerMs = 1000;

// Requests after which the trace shows where the work stands: the starts and the stop.
bool carriesPoint(uint8_t type) {
    using namespace cmdcode;
    return type == CMD_START_CUT || type == CMD_START_WALK || type == CMD_START_SIMULATE || type == CMD_START_BACK ||
           type == CMD_START_ADJUSTED || type == CMD_START_RETURN || type == CMD_STOP || type == CMD_ADJUST_CENTER ||
           type == CMD_ADJUST_BORDER;
}
constexpr std::size_t kCheckByteFromEnd = kFrameHeadBytes + 1;  // the check byte sits before the tail

int64_t steadyMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

CardServer::CardServer(ServerOptions options)
    : options_(std::move(options)), engine_(options_.cardId), noise_(options_.noiseSeed) {}

CardServer::~CardServer() { stop(); }

int CardServer::start() {
    if (thread_.joinable()) return 0;
    if (options_.speedScale <= 0) {
        error_ = "the speed scale must be above 0";
        return -1;
    }
    if (!options_.statePath.empty()) {
        CardMemory memory;
        const int got = readMemoryFile(options_.statePath, memory, error_);
        if (got < 0) return -1;
        if (got == 1) engine_.restoreMemory(memory);
        // Written once now, so a path that cannot be written is refused before a work depends on it.
        if (writeMemoryFile(options_.statePath, engine_.memory(), error_) != 0) return -1;
    }
    if (!options_.tracePath.empty() && trace_.open(options_.tracePath) != 0) {
        error_ = "cannot create the trace file " + options_.tracePath + ": " + std::strerror(errno);
        return -1;
    }

    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (masterFd_ < 0 || ::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0 ||
        ::ptsname_r(masterFd_, name, sizeof name) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        stop();
        return -1;
    }
    devicePath_ = name;
    ::fcntl(masterFd_, F_SETFL, ::fcntl(masterFd_, F_GETFL) | O_NONBLOCK);
    // A raw line from the start, so nothing is echoed or translated before the PC sets it up.
    if (const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC); slave >= 0) {
        termios tio{};
        if (::tcgetattr(slave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slave, TCSANOW, &tio);
        }
        ::close(slave);
    }
    hungUp_ = true;  // until the PC opens the device

    if (!options_.linkPath.empty()) {
        struct stat st {};
        if (::lstat(options_.linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error_ = options_.linkPath + " exists and is not a symbolic link; not replaced";
                stop();
                return -1;
            }
            ::unlink(options_.linkPath.c_str());
        }
        if (::symlink(name, options_.linkPath.c_str()) != 0) {
            error_ = "cannot make the link " + options_.linkPath + ": " + std::strerror(errno);
            stop();
            return -1;
        }
        linkMade_ = true;
    }
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = std::string("cannot create a pipe: ") + std::strerror(errno);
        stop();
        return -1;
    }
    startMicros_ = steadyMicros();
    stopping_ = false;
    thread_ = std::thread([this] { threadLoop(); });
    return 0;
}

void CardServer::stop() {
    stopping_ = true;
    wake();
    if (thread_.joinable()) thread_.join();
    {
        std::lock_guard lock(mutex_);
        if (masterFd_ >= 0) persistLocked(true);
    }
    if (masterFd_ >= 0) ::close(masterFd_);
    masterFd_ = -1;
    for (int& fd : wakePipe_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    if (linkMade_) {
        // Only our own link: another simulator may have taken the name since.
        char target[256] = {};
        const ssize_t n = ::readlink(options_.linkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && devicePath_ == std::string(target, static_cast<std::size_t>(n)))
            ::unlink(options_.linkPath.c_str());
        linkMade_ = false;
    }
}

void CardServer::wake() {
    if (wakePipe_[1] >= 0) {
        const uint8_t b = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakePipe_[1], &b, 1);
    }
}

int64_t CardServer::clockMicros() const {
    return options_.manualClock ? manualMicros_.load() : steadyMicros() - startMicros_;
}

int64_t CardServer::lineMicros() const { return steadyMicros() - startMicros_; }

double CardServer::traceSeconds() const { return static_cast<double>(clockMicros()) / 1e6; }

ServerCounters CardServer::counters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

// ---------------------------------------------------------------------------------------------
// The thread

int CardServer::pollTimeoutMs() const {
    int64_t ms = kIdlePollMs;
    if (!options_.manualClock && engine_.busy()) ms = kBusyPollMs;
    if (hungUp_) ms = std::min(ms, kHangupRetryMs);
    for (const std::deque<Pending>* q : {&output_, &incoming_}) {
        if (q->empty()) continue;
        const int64_t wait = (q->front().dueMicros - lineMicros() + kMicrosPerMs - 1) / kMicrosPerMs;
        ms = std::clamp<int64_t>(wait, 0, ms);
    }
    return static_cast<int>(ms);
}

void CardServer::threadLoop() {
    while (!stopping_) {
        pollfd fds[2] = {};
        nfds_t count = 1;
        fds[0] = {wakePipe_[0], POLLIN, 0};
        int timeout = 0;
        {
            std::lock_guard lock(mutex_);
            timeout = pollTimeoutMs();
            if (!hungUp_) {
                const bool writing = !output_.empty() && output_.front().dueMicros <= lineMicros();
                fds[1] = {masterFd_, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0};
                count = 2;
            }
        }
        const int ready = ::poll(fds, count, timeout);
        if (ready < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) {
            uint8_t drain[64];
            while (::read(wakePipe_[0], drain, sizeof drain) > 0) {
            }
        }
        if (stopping_) break;

        std::lock_guard lock(mutex_);
        readInput();
        if (poweredOff_) continue;
        executeDueRequestsLocked();
        if (!options_.manualClock) syncEngineLocked();
        collectReportsLocked();
        checkPcSilenceLocked();
        flushOutputLocked();
        persistLocked(false);
    }
}

void CardServer::readInput() {
    // While nobody has the device open this is tried every kHangupRetryMs (the poll time-out).
    for (;;) {
        uint8_t chunk[FrameQueue::kStorageBytes];
        const std::size_t room = queue_.freeSpace();
        if (room == 0) {
            processFramesLocked();
            if (queue_.freeSpace() == 0) queue_.clear();  // cannot happen with a sound cutter
            continue;
        }
        const ssize_t n = ::read(masterFd_, chunk, std::min(room, sizeof chunk));
        if (n > 0) {
            hungUp_ = false;
            if (poweredOff_) continue;  // a card without power hears nothing
            queue_.Enqueue(chunk, static_cast<std::size_t>(n));
            processFramesLocked();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            hungUp_ = false;
            return;
        }
        // EIO: no one has the slave side open (the PC closed the device or never opened it).
        // The next PC starts its sequence afresh, so its first request is never a retry.
        hungUp_ = true;
        haveLast_ = false;
        return;
    }
}

void CardServer::processFramesLocked() {
    for (;;) {
        const int length = queue_.CutFrame();
        if (length <= 0) break;
        uint8_t frame[CPS_MAX_FRAME_SIZE];
        if (static_cast<std::size_t>(length) > sizeof frame) {
            queue_.clear();
            break;
        }
        queue_.Dequeue(frame, static_cast<std::size_t>(length));
        if (options_.baud <= 0) {
            handleFrameLocked(frame, static_cast<std::size_t>(length));
            continue;
        }
        // The request is complete when its last byte has crossed the line.
        const int64_t start = std::max(lineMicros(), rxLineFreeAt_);
        rxLineFreeAt_ = start + static_cast<int64_t>(length) * kBitsPerByte * 1000000 / options_.baud;
        incoming_.push_back({rxLineFreeAt_, std::vector<uint8_t>(frame, frame + length)});
    }
    executeDueRequestsLocked();
}

void CardServer::executeDueRequestsLocked() {
    while (!incoming_.empty() && incoming_.front().dueMicros <= lineMicros()) {
        const Pending request = std::move(incoming_.front());
        incoming_.pop_front();
        handleFrameLocked(request.bytes.data(), request.bytes.size());
    }
}

void CardServer::handleFrameLocked(const uint8_t* frame, std::size_t length) {
    FrameView view;
    const FrameFault fault = CheckFrame(frame, length, &view);
    if (fault != FrameFault::None || view.kind != FRAME_CMD_REQUEST) {
        ++counters_.badFrames;
        trace_.badFrame(traceSeconds(), fault != FrameFault::None ? FrameFaultName(fault) : "kind", length);
        return;
    }
    ++counters_.requests;
    const int64_t now = clockMicros();
    lastRequestMicros_ = now;
    pcSeen_ = true;
    pcLostHandled_ = false;
    if (silence_) {
        trace_.request(traceSeconds(), view.sequence, view.type, view.payload, view.payloadLength, 0,
                       engine_.runState(), engine_.subState(), false, true);
        return;
    }

    std::vector<uint8_t> key;
    key.reserve(view.payloadLength + 2);
    key.push_back(view.sequence);
    key.push_back(view.type);
    key.insert(key.end(), view.payload, view.payload + view.payloadLength);
    if (haveLast_ && key == lastRequest_ && now - lastExecutedMicros_ <= kRetryWindowMs * kMicrosPerMs) {
        ++counters_.retries;
        trace_.request(traceSeconds(), view.sequence, view.type, view.payload, view.payloadLength,
                       lastAnswer_[11], engine_.runState(), engine_.subState(), true, false);
        queueAnswerLocked(lastAnswer_);
        return;
    }

    if (!options_.manualClock) syncEngineLocked();
    CardAnswer answer;
    if (int& left = refusals_[view.type]; left > 0) {
        --left;  // refused unexecuted: the engine never sees it
        answer.status = kStatusRefused;
    } else {
        answer = engine_.handle(view.type, view.payload, view.payloadLength);
    }
    uint8_t out[CPS_MAX_FRAME_SIZE];
    const int n = PackResponseFrame(out, sizeof out, view.type, view.sequence, answer.status,
                                    answer.payload.data(), answer.payload.size());
    if (n < 0) return;
    lastRequest_ = std::move(key);
    lastAnswer_.assign(out, out + n);
    lastExecutedMicros_ = now;
    haveLast_ = true;
    trace_.request(traceSeconds(), view.sequence, view.type, view.payload, view.payloadLength, answer.status,
                   engine_.runState(), engine_.subState(), false, false,
                   carriesPoint(view.type) ? describePoint(engine_.position(), engine_.figures().stepsRun) : "");
    queueAnswerLocked(lastAnswer_);
    // Reports the request caused (a window that ends a wait) follow its answer.
    collectReportsLocked();
}

void CardServer::syncEngineLocked() {
    const int64_t cardNow = static_cast<int64_t>(static_cast<double>(clockMicros()) * options_.speedScale);
    // Held time is spent, not owed: the card does not leap forward when released.
    if (cardNow > cardMicrosRun_ && !hold_) engine_.advance(cardNow - cardMicrosRun_);
    cardMicrosRun_ = std::max(cardMicrosRun_, cardNow);
}

void CardServer::collectReportsLocked() {
    for (const std::string& what : engine_.takeNotes())
        trace_.note(traceSeconds(), what, describePoint(engine_.position(), engine_.figures().stepsRun));
    for (const CardReport& r : engine_.takeReports()) {
        if (silence_ || poweredOff_) continue;
        uint8_t out[CPS_MAX_FRAME_SIZE];
        const int n = PackReportFrame(out, sizeof out, r.code, r.data.data(), r.data.size());
        if (n < 0) continue;
        trace_.report(traceSeconds(), r);
        queueLocked(std::vector<uint8_t>(out, out + n), 0);
        ++counters_.reportsSent;
    }
}

void CardServer::queueLocked(std::vector<uint8_t> bytes, int64_t extraDelayMicros) {
    int64_t due = lineMicros() + extraDelayMicros;
    if (!output_.empty()) due = std::max(due, output_.back().dueMicros);
    if (options_.baud > 0) {
        const int64_t start = std::max(due, lineFreeAt_);
        due = start + static_cast<int64_t>(bytes.size()) * kBitsPerByte * 1000000 / options_.baud;
        lineFreeAt_ = due;
    }
    output_.push_back({due, std::move(bytes)});
    std::size_t total = 0;
    for (const Pending& p : output_) total += p.bytes.size();
    while (total > kMaxPendingOutputBytes && output_.size() > 1) {
        total -= output_.front().bytes.size();
        output_.pop_front();
    }
}

void CardServer::queueAnswerLocked(const std::vector<uint8_t>& frame) {
    if (dropNext_) {
        dropNext_ = false;
        trace_.fault(traceSeconds(), "drop-response");
        return;
    }
    std::vector<uint8_t> out = frame;
    if (corruptNext_) {
        corruptNext_ = false;
        out[out.size() - kCheckByteFromEnd] ^= 0x01;
        trace_.fault(traceSeconds(), "corrupt-response");
    }
    if (duplicateNext_) {
        // Back to back in one write, as a card that repeats its answer at once.
        duplicateNext_ = false;
        trace_.fault(traceSeconds(), "duplicate-response");
        const std::vector<uint8_t> once = out;
        out.insert(out.end(), once.begin(), once.end());
    }
    queueLocked(std::move(out), delayMicros_);
    ++counters_.answersSent;
}

void CardServer::flushOutputLocked() {
    const int64_t now = lineMicros();
    while (!output_.empty() && output_.front().dueMicros <= now) {
        Pending& p = output_.front();
        if (hungUp_ || poweredOff_) {  // nobody on the line: the bytes are lost
            output_.pop_front();
            continue;
        }
        const ssize_t n = ::write(masterFd_, p.bytes.data(), p.bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // the PC reads slowly
        if (n < 0) {
            hungUp_ = true;
            continue;
        }
        p.bytes.erase(p.bytes.begin(), p.bytes.begin() + n);
        if (p.bytes.empty()) output_.pop_front();
    }
}

void CardServer::checkPcSilenceLocked() {
    if (options_.pcSilenceMs <= 0 || !pcSeen_ || pcLostHandled_) return;
    if (clockMicros() - lastRequestMicros_ < options_.pcSilenceMs * kMicrosPerMs) return;
    pcLostHandled_ = true;
    engine_.stopForLostPc();
    trace_.fault(traceSeconds(), "pc-silent");
    persistLocked(true);
}

void CardServer::persistLocked(bool force) {
    if (options_.statePath.empty()) return;
    persistPending_ = engine_.takeMemoryChanged() || persistPending_;
    const int64_t now = clockMicros();
    if (!persistPending_ && !force) return;
    if (!force && lastPersist_ != 0 && now - lastPersist_ < kPersistIntervalMs * kMicrosPerMs) return;
    persistPending_ = false;
    std::string error;
    if (writeMemoryFile(options_.statePath, engine_.memory(), error) != 0) trace_.fault(traceSeconds(), error);
    lastPersist_ = now == 0 ? 1 : now;
}

// ---------------------------------------------------------------------------------------------
// Virtual time and faults

uint64_t CardServer::advance(int64_t micros) {
    std::lock_guard lock(mutex_);
    if (options_.manualClock && micros > 0 && !poweredOff_) {
        const int64_t target = manualMicros_.load() + micros;
        // A PC-silence deadline inside the step stops the card at the deadline, not after.
        if (options_.pcSilenceMs > 0 && pcSeen_ && !pcLostHandled_) {
            const int64_t deadline = lastRequestMicros_ + options_.pcSilenceMs * kMicrosPerMs;
            if (deadline < target && deadline > manualMicros_.load()) {
                manualMicros_ = deadline;
                syncEngineLocked();
                collectReportsLocked();
                checkPcSilenceLocked();
            }
        }
        manualMicros_ = target;
        syncEngineLocked();
        collectReportsLocked();
        checkPcSilenceLocked();
        flushOutputLocked();
        persistLocked(false);
    }
    wake();
    return counters_.reportsSent;
}

int CardServer::shortCircuit(int seconds) {
    std::lock_guard lock(mutex_);
    if (!options_.manualClock) syncEngineLocked();
    const int r = engine_.injectShortCircuit(seconds < 0 ? -1 : int64_t{seconds} * kMicrosPerSecond);
    const std::string what = seconds < 0 ? "short" : "short " + std::to_string(seconds);
    trace_.fault(traceSeconds(), r == 0 ? what : what + " (refused: not cutting)");
    collectReportsLocked();
    flushOutputLocked();
    wake();
    return r;
}

int CardServer::wireBreak() {
    std::lock_guard lock(mutex_);
    if (!options_.manualClock) syncEngineLocked();
    const int r = engine_.injectWireBreak();
    trace_.fault(traceSeconds(), r == 0 ? "break" : "break (refused: no wire running)");
    collectReportsLocked();
    flushOutputLocked();
    wake();
    return r;
}

void CardServer::setHold(bool on) {
    std::lock_guard lock(mutex_);
    syncEngineLocked();  // the time up to now is the card's
    hold_ = on;
    trace_.fault(traceSeconds(), on ? "hold on" : "hold off");
}

void CardServer::setSilence(bool on) {
    std::lock_guard lock(mutex_);
    silence_ = on;
    trace_.fault(traceSeconds(), on ? "silence on" : "silence off");
}

void CardServer::injectNoise(int count) {
    std::lock_guard lock(mutex_);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::max(count, 0)));
    std::uniform_int_distribution<int> byte(0, 255);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(byte(noise_));
    trace_.fault(traceSeconds(), "noise " + std::to_string(bytes.size()));
    if (!bytes.empty()) queueLocked(std::move(bytes), 0);
    flushOutputLocked();
    wake();
}

void CardServer::dropNextResponse() {
    std::lock_guard lock(mutex_);
    dropNext_ = true;
}

void CardServer::corruptNextResponse() {
    std::lock_guard lock(mutex_);
    corruptNext_ = true;
}

void CardServer::duplicateNextResponse() {
    std::lock_guard lock(mutex_);
    duplicateNext_ = true;
}

void CardServer::setResponseDelay(int64_t ms) {
    std::lock_guard lock(mutex_);
    delayMicros_ = std::max<int64_t>(ms, 0) * kMicrosPerMs;
    trace_.fault(traceSeconds(), "delay " + std::to_string(ms));
}

void CardServer::refuseNext(uint8_t type, int count) {
    std::lock_guard lock(mutex_);
    refusals_[type] = std::max(count, 0);
    const CommandInfo* info = FindCommand(type);
    trace_.fault(traceSeconds(), "refuse " + std::string(info ? info->name : std::to_string(type)) + " " +
                                     std::to_string(std::max(count, 0)));
}

void CardServer::injectReport(uint8_t type, const std::array<uint8_t, kReportDataBytes>& data) {
    std::lock_guard lock(mutex_);
    if (poweredOff_) return;
    uint8_t out[CPS_MAX_FRAME_SIZE];
    const int n = PackReportFrame(out, sizeof out, type, data.data(), data.size());
    if (n < 0) return;
    trace_.fault(traceSeconds(), "report " + std::to_string(type));
    trace_.report(traceSeconds(), CardReport{type, data});
    queueLocked(std::vector<uint8_t>(out, out + n), 0);
    ++counters_.reportsSent;
    flushOutputLocked();
    wake();
}

void CardServer::powerLoss() {
    std::lock_guard lock(mutex_);
    if (poweredOff_) return;
    if (!options_.manualClock) syncEngineLocked();
    engine_.stopForLostPc();
    engine_.takeReports();
    output_.clear();
    incoming_.clear();
    trace_.fault(traceSeconds(), "powerloss", describePoint(engine_.position(), engine_.figures().stepsRun));
    persistLocked(true);
    poweredOff_ = true;
    wake();
}

}  // namespace korvex::sim
