#include "fleet/viewer/alarm_chime.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace korvex::fleet {

AlarmChime::AlarmChime(bool enabled) {
    if (!enabled || QMediaDevices::defaultAudioOutput().isNull()) return;
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl(QStringLiteral("qrc:/kvfleet/alarm.wav")));
    effect_->setVolume(0.8f);
}

AlarmChime::~AlarmChime() = default;

void AlarmChime::play() {
    ++requested_;
    if (effect_) effect_->play();
}

}  // namespace korvex::fleet
