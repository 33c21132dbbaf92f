// A tone output that records what the alarm plays instead of sounding it. A rest can be held
// (the loop then waits there until it is stopped, or until the test opens the gate) so a test
// decides how many cycles a loop plays without depending on time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

#include "controller/notify/alarm_sound.h"

namespace korvex::testing {

class ToneRecorder : public ToneOutput {
public:
    struct Tone {
        int hz;
        int ms;
        bool operator==(const Tone&) const = default;
    };

    bool audio = true;
    // From this many rests on, a rest waits for the stop (when stubborn, while the gate is shut,
    // for the gate alone).
    int holdAfterRests = 2;
    bool stubborn = false;

    bool available() override { return audio; }
    void startLoop(int soundId) override {
        std::lock_guard lock(mutex_);
        loops_.push_back(soundId);
        looping_ = soundId;
    }
    void stopLoop() override {
        std::lock_guard lock(mutex_);
        looping_ = 0;
    }
    bool play(int hz, int ms, StopSignal& stop) override {
        int rests = 0;
        {
            std::lock_guard lock(mutex_);
            tones_.push_back({hz, ms});
            rests = hz == 0 ? ++rests_ : rests_;
        }
        cv_.notify_all();
        if (hz != 0 || rests < holdAfterRests)
            return !stop.raised();
        {
            std::unique_lock lock(mutex_);
            if (stubborn && !gateOpen_) {
                cv_.wait(lock, [this] { return gateOpen_; });
                return !stop.raised();
            }
        }
        while (!stop.waitFor(kHoldSliceMs)) {
        }
        return false;
    }

    // Waits (bounded, for a broken build only) until this many rests were played.
    bool waitForRests(int n) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(10), [&] { return rests_ >= n; });
    }
    void openGate() {
        {
            std::lock_guard lock(mutex_);
            gateOpen_ = true;
        }
        cv_.notify_all();
    }
    std::vector<Tone> tones() const {
        std::lock_guard lock(mutex_);
        return tones_;
    }
    std::vector<int> loops() const {
        std::lock_guard lock(mutex_);
        return loops_;
    }
    int looping() const {
        std::lock_guard lock(mutex_);
        return looping_;
    }

private:
    static constexpr int kHoldSliceMs = 1000;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<Tone> tones_;
    std::vector<int> loops_;
    int looping_ = 0;
    int rests_ = 0;
    bool gateOpen_ = false;
};

}  // namespace korvex::testing
