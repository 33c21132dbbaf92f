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
    auto loop = std::make_shared<Loop>();
    loop->signal = std::make_shared<StopSignal>();
    // The new loop waits for the one before it (it was told to stop just now) and joins its
    // thread; the interface thread goes on at once.
    std::shared_ptr<Loop> previous = last_;
    const std::span<const int> pattern = beepPattern(style);
    try {
        loop->thread = starter_([output = output_, signal = loop->signal, previous, pattern] {
            if (previous && previous->thread.joinable())
                previous->thread.join();
            beepLoop(*output, *signal, pattern);
        });
    } catch (const std::system_error&) {
    }
    if (!loop->thread.joinable()) {
        if (tellError_)
            tellError_(qtTrId("notify.sound_thread_error"));
        return;
    }
    ++loopsStarted_;
    last_ = std::move(loop);
    current_ = last_->signal;
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

void BeepAlarm::joinLoops() {
    // Each loop's thread joins the one before it, so the last one's end is the end of all.
    if (last_ && last_->thread.joinable())
        last_->thread.join();
    last_.reset();
}

}  // namespace korvex
