// The alarm heard through the machine's default audio output (Qt Multimedia). Both looped sounds
// and the beeps are synthesised here, mixed into one stream that the audio sink pulls; no sound
// file is needed. Where no audio output exists the alarm is silent.
#pragma once

#include <QIODevice>

#include <memory>
#include <mutex>
#include <vector>

#include "controller/notify/alarm_sound.h"

class QAudioSink;

namespace korvex {

inline constexpr int kToneSampleRate = 22050;

// 16-bit mono samples of the looped sound (241: a two-tone siren, 242: a soft two-note chime).
std::vector<int16_t> synthesiseLoopSound(int soundId);

// The mixed stream: the looped sound plus the beep under way. Read by the audio sink, fed from
// the interface thread (loop) and the beep thread (tones).
class ToneMixer : public QIODevice {
    Q_OBJECT
public:
    explicit ToneMixer(QObject* parent = nullptr);
    void setLoop(std::vector<int16_t> samples);
    void setTone(int hz, int ms);
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    mutable std::mutex mutex_;
    std::vector<int16_t> loop_;
    std::size_t loopAt_ = 0;
    int toneHz_ = 0;
    int64_t toneSamplesLeft_ = 0;
    int64_t tonePhase_ = 0;
};

class AudioToneOutput : public ToneOutput {
public:
    AudioToneOutput();
    ~AudioToneOutput() override;
    bool available() override;
    void startLoop(int soundId) override;
    void stopLoop() override;
    bool play(int hz, int ms, StopSignal& stop) override;

private:
    std::unique_ptr<ToneMixer> mixer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace korvex
