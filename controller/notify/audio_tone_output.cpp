#include "controller/notify/audio_tone_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvex {
namespace {

constexpr double kBeepAmplitude = 9000.0;
constexpr double kLoopAmplitude = 6000.0;
constexpr int kSirenHalfMs = 250;
constexpr int kSirenLowHz = 960;
constexpr int kSirenHighHz = 1280;
constexpr int kChimeNoteMs = 400;
constexpr int kChimeQuietMs = 400;
constexpr int kChimeFirstHz = 660;
constexpr int kChimeSecondHz = 880;

int64_t samplesFor(int ms) { return static_cast<int64_t>(kToneSampleRate) * ms / 1000; }

void appendSine(std::vector<int16_t>& out, int hz, int ms, double amplitude, bool fade) {
    const int64_t n = samplesFor(ms);
    for (int64_t i = 0; i < n; ++i) {
        const double envelope = fade ? 1.0 - static_cast<double>(i) / static_cast<double>(n) : 1.0;
        const double v = amplitude * envelope * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kToneSampleRate);
        out.push_back(static_cast<int16_t>(v));
    }
}

}  // namespace

std::vector<int16_t> synthesiseLoopSound(int soundId) {
    std::vector<int16_t> out;
    if (soundId == kAlarmSoundId) {
        appendSine(out, kSirenLowHz, kSirenHalfMs, kLoopAmplitude, false);
        appendSine(out, kSirenHighHz, kSirenHalfMs, kLoopAmplitude, false);
    } else {
        appendSine(out, kChimeFirstHz, kChimeNoteMs, kLoopAmplitude, true);
        appendSine(out, kChimeSecondHz, kChimeNoteMs, kLoopAmplitude, true);
        out.resize(out.size() + static_cast<std::size_t>(samplesFor(kChimeQuietMs)), 0);
    }
    return out;
}

ToneMixer::ToneMixer(QObject* parent) : QIODevice(parent) { open(QIODevice::ReadOnly); }

void ToneMixer::setLoop(std::vector<int16_t> samples) {
    std::lock_guard lock(mutex_);
    loop_ = std::move(samples);
    loopAt_ = 0;
}

void ToneMixer::setTone(int hz, int ms) {
    std::lock_guard lock(mutex_);
    toneHz_ = hz;
    toneSamplesLeft_ = hz > 0 ? samplesFor(ms) : 0;
    tonePhase_ = 0;
}

qint64 ToneMixer::bytesAvailable() const {
    // An endless stream: the sink may always read a full buffer.
    return samplesFor(1000) * static_cast<qint64>(sizeof(int16_t)) + QIODevice::bytesAvailable();
}

qint64 ToneMixer::readData(char* data, qint64 maxSize) {
    std::lock_guard lock(mutex_);
    const qint64 count = maxSize / static_cast<qint64>(sizeof(int16_t));
    auto* out = reinterpret_cast<int16_t*>(data);
    for (qint64 i = 0; i < count; ++i) {
        double v = 0;
        if (!loop_.empty()) {
            v += loop_[loopAt_];
            loopAt_ = (loopAt_ + 1) % loop_.size();
        }
        if (toneSamplesLeft_ > 0) {
            v += kBeepAmplitude *
                 std::sin(2.0 * std::numbers::pi * toneHz_ * static_cast<double>(tonePhase_++) / kToneSampleRate);
            --toneSamplesLeft_;
        }
        out[i] = static_cast<int16_t>(std::clamp(v, -32767.0, 32767.0));
    }
    return count * static_cast<qint64>(sizeof(int16_t));
}

AudioToneOutput::AudioToneOutput() : mixer_(std::make_unique<ToneMixer>()) {}

AudioToneOutput::~AudioToneOutput() {
    if (sink_)
        sink_->stop();
}

bool AudioToneOutput::available() { return !QMediaDevices::defaultAudioOutput().isNull(); }

void AudioToneOutput::startLoop(int soundId) {
    mixer_->setLoop(synthesiseLoopSound(soundId));
    if (!sink_) {
        QAudioFormat format;
        format.setSampleRate(kToneSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    }
    if (sink_->state() != QAudio::ActiveState)
        sink_->start(mixer_.get());
}

void AudioToneOutput::stopLoop() {
    mixer_->setLoop({});
    mixer_->setTone(0, 0);
    if (sink_)
        sink_->stop();
}

bool AudioToneOutput::play(int hz, int ms, StopSignal& stop) {
    if (stop.raised())
        return false;
    mixer_->setTone(hz, ms);
    return !stop.waitFor(ms);
}

}  // namespace korvex
