// A card played by the test on the master side of a pseudo-terminal pair: the link under test
// opens the slave side as its serial device. Every request frame the card receives is kept, and
// a script decides which bytes go back.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "controller/link/frame.h"

namespace korvex::testing {

using Bytes = std::vector<uint8_t>;

struct Request {
    Bytes raw;
    FrameView view;  // payload points into raw
};

inline Bytes Response(uint8_t requestType, uint8_t status = 0, const Bytes& payload = {},
                      uint8_t sequence = 0) {
    uint8_t frame[CPS_MAX_FRAME_SIZE];
    const int n = PackResponseFrame(frame, sizeof frame, requestType, sequence, status, payload.data(),
                                    payload.size());
    return Bytes(frame, frame + (n > 0 ? n : 0));
}

inline Bytes Report(uint8_t code, const Bytes& data) {
    uint8_t frame[CPS_MAX_FRAME_SIZE];
    const int n = PackReportFrame(frame, sizeof frame, code, data.data(), data.size());
    return Bytes(frame, frame + (n > 0 ? n : 0));
}

// Several frames written in one go, as the card would in one burst.
inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

class ScriptedCard {
public:
    // Returns the bytes to send back for one request; empty = stay silent. The second argument
    // counts the requests received so far (0 for the first).
    using Script = std::function<Bytes(const FrameView& request, std::size_t index)>;

    ScriptedCard() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            char name[128];
            if (ptsname_r(master_, name, sizeof name) == 0) device_ = name;
        }
        wake_ = eventfd(0, EFD_CLOEXEC);
        script_ = [](const FrameView& r, std::size_t) { return Response(r.type); };
        thread_ = std::thread([this] { run(); });
    }
    ~ScriptedCard() {
        const uint64_t one = 1;
        (void)!::write(wake_, &one, sizeof one);
        thread_.join();
        ::close(wake_);
        if (master_ >= 0) ::close(master_);
    }

    const std::string& device() const { return device_; }
    bool ok() const { return master_ >= 0 && !device_.empty(); }

    void setScript(Script script) {
        std::lock_guard lock(mutex_);
        script_ = std::move(script);
    }

    // Bytes straight onto the line, outside any request.
    void send(const Bytes& bytes) { writeAll(bytes); }

    std::vector<Request> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::size_t requestCount() const {
        std::lock_guard lock(mutex_);
        return requests_.size();
    }
    // Waits until at least n requests have arrived and their replies are on the line, so bytes
    // sent afterwards follow those replies; false after a generous limit.
    bool waitForRequests(std::size_t n) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return answered_ >= n; });
    }

private:
    void writeAll(const Bytes& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }

    void run() {
        FrameQueue queue;
        uint8_t chunk[256];
        uint8_t frame[CPS_MAX_FRAME_SIZE];
        for (;;) {
            pollfd fds[2] = {{wake_, POLLIN, 0}, {master_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) continue;
            if (fds[0].revents != 0) return;
            const std::size_t room = queue.freeSpace() < sizeof chunk ? queue.freeSpace() : sizeof chunk;
            const ssize_t n = ::read(master_, chunk, room);
            if (n <= 0) {
                // The slave side is closed between two opens of the link: wait for it quietly.
                pollfd w{wake_, POLLIN, 0};
                if (::poll(&w, 1, 5) > 0) return;
                continue;
            }
            queue.Enqueue(chunk, static_cast<std::size_t>(n));
            for (int len; (len = queue.CutFrame()) > 0;) {
                queue.Dequeue(frame, static_cast<std::size_t>(len));
                Request request;
                request.raw.assign(frame, frame + len);
                if (CheckFrame(request.raw.data(), request.raw.size(), &request.view) != FrameFault::None) continue;
                Bytes reply;
                {
                    std::lock_guard lock(mutex_);
                    reply = script_(request.view, requests_.size());
                    requests_.push_back(std::move(request));
                    // view.payload must point into the stored copy
                    Request& stored = requests_.back();
                    stored.view.payload = stored.raw.data() + kFramePayloadOffset;
                }
                if (!reply.empty()) writeAll(reply);
                {
                    std::lock_guard lock(mutex_);
                    ++answered_;
                }
                arrived_.notify_all();
            }
        }
    }

    int master_ = -1;
    int wake_ = -1;
    std::string device_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    Script script_;
    std::vector<Request> requests_;
    std::size_t answered_ = 0;  // requests whose reply has been written
    std::thread thread_;
};

}  // namespace korvex::testing
