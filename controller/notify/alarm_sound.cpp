#include "controller/notify/alarm_sound.h"

#include <array>
#include <chrono>
#include <system_error>

namespace korvex {
namespace {

constexpr std::array<int, 3> kStyle1Tones{800, 1200, 1600};
constexpr std::array<int, 8> kStyle2Tones{523, 587, 659, 698, 784, 880, 988, 1046};

void beepLoop(ToneOutput& output, StopSignal& stop, std::span<const int> pattern) {
    while (!stop.raised()) {
        for (int hz : pattern)
            if (!output.play(hz, kBeepToneMs, stop))
                return;
        if (!output.play(0, kBeepRestMs, stop))
            return;
    }
}

}  // namespace

std::span<const int> beepPattern(int style) {
    if (style == 1)
        return kStyle1Tones;
    if (style == 2)
        return kStyle2Tones;
    return {};
}

int loopSoundFor(int style) { return style == 1 ? kAlarmSoundId : kNoticeSoundId; }

void StopSignal::raise() {
    {
        std::lock_guard lock(mutex_);
        raised_ = true;
    }
    cv_.notify_all();
}

bool StopSignal::waitFor(int ms) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return raised_.load(); });
}

void StopSignal::markDone() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    cv_.notify_all();
}

bool StopSignal::done() {
    std::lock_guard lock(mutex_);
    return done_;
}

void StopSignal::waitDone() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return done_; });
}

BeepAlarm::BeepAlarm(std::shared_ptr<ToneOutput> output, std::function<bool()> shutMusic,
                     std::function<void(const QString&)> tellError)
    : output_(std::move(output)), shutMusic_(std::move(shutMusic)), tellError_(std::move(tellError)),
      starter_([](std::function<void()> run) { return std::thread(std::move(run)); }) {}

BeepAlarm::~BeepAlarm() {
    stop();
    joinLoops();
}

void BeepAlarm::start(int style) {
    if (shutMusic_ && shutMusic_())
        return;
    if (!output_ || !output_->available())
        return;
    stop();
    reapFinished();
    auto signal = std::make_shared<StopSignal>();
    // The new loop waits for the one before it, never the interface thread.
    std::shared_ptr<StopSignal> previous = loops_.empty() ? nullptr : loops_.back().signal;
    const std::span<const int> pattern = beepPattern(style);
    std::thread thread;
    try {
        thread = starter_([output = output_, signal, previous, pattern] {
            if (previous)
                previous->waitDone();
            beepLoop(*output, *signal, pattern);
            signal->markDone();
        });
    } catch (const std::system_error&) {
    }
    if (!thread.joinable()) {
        if (tellError_)
            tellError_(qtTrId("notify.sound_thread_error"));
        return;
    }
    ++loopsStarted_;
    loops_.push_back(Loop{std::move(thread), signal});
    current_ = signal;
    output_->startLoop(loopSoundFor(style));
}

void BeepAlarm::stop() {
    if (current_) {
        current_->raise();
        current_.reset();
    }
    if (output_)
        output_->stopLoop();
}

void BeepAlarm::reapFinished() {
    // Only loops that have ended are joined (at once); the last one stays, as the next loop
    // waits on its signal.
    while (loops_.size() > 1 && loops_.front().signal->done()) {
        loops_.front().thread.join();
        loops_.erase(loops_.begin());
    }
}

void BeepAlarm::joinLoops() {
    for (Loop& loop : loops_)
        if (loop.thread.joinable())
            loop.thread.join();
    loops_.clear();
}

}  // namespace korvex
