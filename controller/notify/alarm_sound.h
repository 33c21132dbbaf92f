// The alarm sound of the alarm boxes: a looped alarm sound and, on a thread of its own, a beep
// pattern played over and over until the alarm is stopped.
//
//   style 1   sound 241 looped, beeps 800, 1200, 1600 Hz
//   style 2   sound 242 looped, beeps 523 .. 1046 Hz (a scale)
//   other     sound 242 looped, no beeps
// Each beep lasts 120 ms; the pattern repeats after a 500 ms rest.
//
// Start and stop. Stop always stops, whatever Option/ShutMusic says now (ticking it while an
// alarm sounds must not leave that alarm sounding for ever). A new alarm stops the one playing
// and its beep thread first waits until the old beep loop has ended, so two patterns never
// overlap, while the interface thread that started it goes on at once.
#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "controller/machine_control.h"

namespace korvex {

inline constexpr int kBeepToneMs = 120;
inline constexpr int kBeepRestMs = 500;
inline constexpr int kAlarmSoundId = 241;   // style 1
inline constexpr int kNoticeSoundId = 242;  // every other style

// The beep pattern of a style (empty for styles without beeps).
std::span<const int> beepPattern(int style);
// The looped sound of a style: 241 for style 1, 242 for every other.
int loopSoundFor(int style);

// Set once by whoever stops an alarm; the beep loop's waits end at once on it.
class StopSignal {
public:
    void raise();
    bool raised() const { return raised_.load(); }
    // Waits up to ms; true when the signal was raised (at once or meanwhile).
    bool waitFor(int ms);

private:
    std::atomic<bool> raised_{false};
    std::mutex mutex_;
    std::condition_variable cv_;
};

// Where the alarm is heard: the audio output, or a test's recorder.
class ToneOutput {
public:
    virtual ~ToneOutput() = default;
    // False where the machine has no audio output: the alarm is then silent, with no message.
    virtual bool available() = 0;
    // The looped sound; called on the interface thread.
    virtual void startLoop(int soundId) = 0;
    virtual void stopLoop() = 0;
    // Beep thread: sounds one tone for ms, or a rest when hz is 0. False when stopped meanwhile.
    virtual bool play(int hz, int ms, StopSignal& stop) = 0;
};

class BeepAlarm : public AlarmSound {
public:
    // `shutMusic` reads Option/ShutMusic at each start; `tellError` shows a message box.
    BeepAlarm(std::shared_ptr<ToneOutput> output, std::function<bool()> shutMusic,
              std::function<void(const QString&)> tellError);
    ~BeepAlarm() override;

    void start(int style) override;
    void stop() override;

    // How a beep thread is started; tests make it fail.
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;
    void setThreadStarter(ThreadStarter starter) { starter_ = std::move(starter); }
    // Beep threads started so far.
    int loopsStarted() const { return loopsStarted_; }
    // Waits until every beep loop has ended (after stop()).
    void joinLoops();

private:
    // A beep loop: its thread is joined by the next loop's thread (or by joinLoops), never by
    // the interface thread while it may still be running.
    struct Loop {
        std::thread thread;
        std::shared_ptr<StopSignal> signal;
    };

    std::shared_ptr<ToneOutput> output_;
    std::function<bool()> shutMusic_;
    std::function<void(const QString&)> tellError_;
    ThreadStarter starter_;
    std::shared_ptr<StopSignal> current_;
    std::shared_ptr<Loop> last_;
    int loopsStarted_ = 0;
};

}  // namespace korvex
