// The sound of a new alarm on the shop floor: a short two-note chime of our own (alarm.wav,
// embedded), played once per new alarm. Where the PC has no audio output it stays silent, with no
// message: the red row is the alarm, the sound only draws the eye to it.
#pragma once

#include <memory>

class QSoundEffect;

namespace korvex::fleet {

class AlarmChime {
public:
    // `enabled` false makes a silent chime (tests, the load check).
    explicit AlarmChime(bool enabled = true);
    ~AlarmChime();
    AlarmChime(const AlarmChime&) = delete;
    AlarmChime& operator=(const AlarmChime&) = delete;

    void play();
    // How often play() was asked for, heard or not.
    int requested() const { return requested_; }

private:
    std::unique_ptr<QSoundEffect> effect_;  // none without an audio output
    int requested_ = 0;
};

}  // namespace korvex::fleet
