// The alarm sound through a tone recorder: what each style plays, ShutMusic, and the stop and
// restart rules that keep an alarm from sounding on or two patterns from overlapping.
#include "controller/notify/alarm_sound.h"

#include <gtest/gtest.h>

#include <QString>

#include "controller/notify/tests/tone_recorder.h"

namespace korvex::testing {
namespace {

using Tone = ToneRecorder::Tone;

std::vector<Tone> cycles(std::initializer_list<int> pattern, int count) {
    std::vector<Tone> out;
    for (int i = 0; i < count; ++i) {
        for (int hz : pattern)
            out.push_back({hz, kBeepToneMs});
        out.push_back({0, kBeepRestMs});
    }
    return out;
}

struct AlarmRig {
    std::shared_ptr<ToneRecorder> tones = std::make_shared<ToneRecorder>();
    bool shutMusic = false;
    std::vector<QString> errors;
    BeepAlarm alarm{tones, [this] { return shutMusic; }, [this](const QString& text) { errors.push_back(text); }};
};

TEST(AlarmSound, EachStyleLoopsItsSoundAndBeepsItsPatternWithItsTimings) {
    struct Case {
        int style;
        int sound;
        std::vector<Tone> twoCycles;
    };
    const Case cases[] = {
        {1, 241, cycles({800, 1200, 1600}, 2)},
        {2, 242, cycles({523, 587, 659, 698, 784, 880, 988, 1046}, 2)},
        {5, 242, cycles({}, 2)},  // any other style: the sound alone, no beep
    };
    for (const Case& c : cases) {
        AlarmRig rig;
        rig.alarm.start(c.style);
        ASSERT_TRUE(rig.tones->waitForRests(2));
        rig.alarm.stop();
        rig.alarm.joinLoops();
        EXPECT_EQ(rig.tones->tones(), c.twoCycles) << "style " << c.style;
        EXPECT_EQ(rig.tones->loops(), std::vector<int>{c.sound}) << "style " << c.style;
        EXPECT_EQ(rig.tones->looping(), 0);
    }
}

TEST(AlarmSound, ShutMusicKeepsItSilentAndStopStopsEvenWhenTickedMidAlarm) {
    AlarmRig silent;
    silent.shutMusic = true;
    silent.alarm.start(1);
    EXPECT_EQ(silent.alarm.loopsStarted(), 0);
    EXPECT_TRUE(silent.tones->loops().empty());

    AlarmRig ticked;
    ticked.alarm.start(1);
    ASSERT_TRUE(ticked.tones->waitForRests(1));
    ticked.shutMusic = true;  // the Option dialog's box ticked while the alarm sounds
    ticked.alarm.stop();
    ticked.alarm.joinLoops();  // returns only once the beep loop ended
    EXPECT_EQ(ticked.tones->looping(), 0);
}

TEST(AlarmSound, NoAudioOutputIsSilentWithoutAMessageAndAFailedThreadSaysSo) {
    AlarmRig noAudio;
    noAudio.tones->audio = false;
    noAudio.alarm.start(1);
    EXPECT_EQ(noAudio.alarm.loopsStarted(), 0);
    EXPECT_TRUE(noAudio.errors.empty());

    AlarmRig noThread;
    noThread.alarm.setThreadStarter([](std::function<void()>) { return std::thread(); });
    noThread.alarm.start(2);
    ASSERT_EQ(noThread.errors.size(), 1u);
    EXPECT_EQ(noThread.errors[0], qtTrId("notify.sound_thread_error"));
    EXPECT_TRUE(noThread.tones->loops().empty());  // no sound without its beep thread
}

TEST(AlarmSound, ANewAlarmStartsAtOnceButBeepsOnlyOnceTheOldLoopEnded) {
    AlarmRig rig;
    rig.tones->holdAfterRests = 1;
    rig.tones->stubborn = true;  // the old loop ignores its stop until the gate opens
    rig.alarm.start(1);
    ASSERT_TRUE(rig.tones->waitForRests(1));
    rig.alarm.start(2);  // returns although the old loop is still in its rest
    EXPECT_EQ(rig.tones->loops(), (std::vector<int>{241, 242}));
    EXPECT_EQ(rig.tones->tones(), cycles({800, 1200, 1600}, 1));  // nothing of style 2 yet
    rig.tones->openGate();
    ASSERT_TRUE(rig.tones->waitForRests(2));
    rig.alarm.stop();
    rig.alarm.joinLoops();
    std::vector<Tone> expected = cycles({800, 1200, 1600}, 1);
    const std::vector<Tone> second = cycles({523, 587, 659, 698, 784, 880, 988, 1046}, 1);
    expected.insert(expected.end(), second.begin(), second.end());
    const std::vector<Tone> played = rig.tones->tones();
    ASSERT_GE(played.size(), expected.size());
    EXPECT_EQ(std::vector<Tone>(played.begin(), played.begin() + static_cast<long>(expected.size())), expected);
}

}  // namespace
}  // namespace korvex::testing
