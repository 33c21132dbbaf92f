#include "controller/config/setting_dialogs.h"

#include "code/loader.h"
#include "controller/card_control.h"
#include "controller/settings_keys.h"
#include "platform/operator_interaction.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <variant>

namespace korvex {
namespace {

constexpr int kFieldChars = 8;

QLineEdit* numberField(const QString& objectName, long long value) {
    auto* field = new QLineEdit(QString::number(value));
    field->setObjectName(objectName);
    field->setMaxLength(kFieldChars);
    return field;
}

// OK (or another accepting button) and Cancel, right-aligned.
QHBoxLayout* buttonRow(QDialog* dialog, QPushButton* ok, QPushButton* cancel) {
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace

// ---- Loop ----

LoopDialog::LoopDialog(int loopTotal, CardAccess access, std::function<void(int)> stored, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), stored_(std::move(stored)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.loop.title"));
    loops_ = numberField(QStringLiteral("loops"), loopTotal);
    ok_ = new QPushButton(qtTrId("comm.ok"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    buttons_ = {ok_, cancel};
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(qtTrId("config.loop.time")));
    row->addWidget(loops_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(new QLabel(qtTrId("config.loop.notice")));
    layout->addLayout(buttonRow(this, ok_, cancel));
}

void LoopDialog::accept() {
    const auto loops = integerInRange(loops_->text(), kLoopRange.low, kLoopRange.high);
    if (!loops) {
        warn(integerRangeMessage(kLoopRange));
        return;
    }
    send([n = *loops](CardControl& card) { return card.setLoop(n); },
         [this, n = *loops] {
             if (stored_)
                 stored_(n);
             QDialog::accept();
         });
}

// ---- Speed ----

SpeedDialog::SpeedDialog(SettingsBlock& settings, CardAccess access, std::function<void()> shown, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), settings_(settings), shown_(std::move(shown)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.speed.title"));
    const auto values = speedsInFieldOrder(settings.speeds);
    static constexpr const char* kNames[kSpeedFieldCount] = {"simulate", "manualBack", "maxXY", "maxUV", "cutXY", "cutUV"};
    for (std::size_t i = 0; i < kSpeedFieldCount; ++i)
        fields_[i] = numberField(QLatin1String(kNames[i]), values[i]);
    auto group = [this](const char* titleId, const char* firstId, SpeedField first, const char* secondId,
                        SpeedField second) {
        auto* box = new QGroupBox(qtTrId(titleId));
        auto* grid = new QGridLayout(box);
        grid->addWidget(new QLabel(qtTrId(firstId)), 0, 0);
        grid->addWidget(fields_[first], 0, 1);
        grid->addWidget(new QLabel(qtTrId(secondId)), 1, 0);
        grid->addWidget(fields_[second], 1, 1);
        return box;
    };
    save_ = new QPushButton(qtTrId("config.speed.save"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    buttons_ = {save_, cancel};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group("config.speed.simulate", "config.speed.motoroff", kSimulateField, "config.speed.manualback",
                            kManualBackField));
    layout->addWidget(group("config.speed.max", "config.speed.xy", kMaxXYField, "config.speed.uv", kMaxUVField));
    layout->addWidget(group("config.speed.cut", "config.speed.xy", kCutXYField, "config.speed.uv", kCutUVField));
    layout->addWidget(new QLabel(qtTrId("config.speed.unit")));
    layout->addLayout(buttonRow(this, save_, cancel));
}

void SpeedDialog::accept() {
    std::array<QString, kSpeedFieldCount> texts;
    for (std::size_t i = 0; i < kSpeedFieldCount; ++i)
        texts[i] = fields_[i]->text();
    const auto parsed = parseIntegerFields(texts, kSpeedRanges);
    if (const auto* bad = std::get_if<BadField>(&parsed)) {
        warn(integerRangeMessage(kSpeedRanges[bad->index]));
        fields_[bad->index]->setFocus();
        return;
    }
    const auto speeds = speedsInBlockOrder(std::get<0>(parsed));
    send([speeds](CardControl& card) { return card.setSpeedLimits(speeds); },
         [this, speeds] {
             settings_.speeds = speeds;
             if (shown_)
                 shown_();
             QDialog::accept();
         });
}

// ---- Back ----

BackDialog::BackDialog(SettingsBlock& settings, CardAccess access, QString cardSettingsPath, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), settings_(settings), cardSettingsPath_(std::move(cardSettingsPath)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.back.title"));
    fields_[kBackDelayField] = numberField(QStringLiteral("delay"), settings.backDelaySeconds);
    fields_[kBackStopField] = numberField(QStringLiteral("stop"), settings.backStopSeconds);
    fields_[kSensitivityField] =
        numberField(QStringLiteral("sensitivity"), readKey(SettingsFile(cardSettingsPath_), keys::kShortSensitivity));
    ok_ = new QPushButton(qtTrId("comm.ok"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    buttons_ = {ok_, cancel};
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(qtTrId("config.back.delay")), 0, 0);
    grid->addWidget(fields_[kBackDelayField], 0, 1);
    grid->addWidget(new QLabel(qtTrId("config.clearance.seconds")), 0, 2);
    grid->addWidget(new QLabel(qtTrId("config.back.stop")), 1, 0);
    grid->addWidget(fields_[kBackStopField], 1, 1);
    grid->addWidget(new QLabel(qtTrId("config.clearance.seconds")), 1, 2);
    grid->addWidget(new QLabel(qtTrId("config.back.sensitivity")), 2, 0);
    grid->addWidget(fields_[kSensitivityField], 2, 1);
    grid->addWidget(new QLabel(qtTrId("config.back.bigger")), 2, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow(this, ok_, cancel));
}

void BackDialog::accept() {
    const auto parsed = parseIntegerFields(
        std::array<QString, 3>{fields_[0]->text(), fields_[1]->text(), fields_[2]->text()}, kBackRanges);
    if (const auto* bad = std::get_if<BadField>(&parsed)) {
        warn(integerRangeMessage(kBackRanges[bad->index]));
        fields_[bad->index]->setFocus();
        return;
    }
    const auto v = std::get<0>(parsed);
    // Each byte is stored as soon as the card took it; a refused delay sends no stop time.
    send([d = v[kBackDelayField]](CardControl& card) { return card.setBackDelay(d); },
         [this, v] {
             settings_.backDelaySeconds = static_cast<uint8_t>(v[kBackDelayField]);
             send([s = v[kBackStopField]](CardControl& card) { return card.setBackStopTime(s); },
                  [this, v] {
                      settings_.backStopSeconds = static_cast<uint8_t>(v[kBackStopField]);
                      storeSensitivity(v[kSensitivityField]);
                  });
         });
}

void BackDialog::storeSensitivity(int sensitivity) {
    SettingsFile file(cardSettingsPath_);
    if (writeKey(file, keys::kShortSensitivity, sensitivity) != 0) {
        warn(qtTrId("config.setup.failed"));
        return;
    }
    QDialog::accept();
}

// ---- Planing-Stop ----

PlanPauseDialog::PlanPauseDialog(std::shared_ptr<const LoadedProgram> program, CardAccess access,
                                 std::function<void(const PlanPause&)> marked, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), program_(std::move(program)), marked_(std::move(marked)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.plan.title"));
    segment_ = new QLineEdit;
    segment_->setObjectName(QStringLiteral("segment"));
    segment_->setMaxLength(kFieldChars);
    percent_ = new QLineEdit;
    percent_->setObjectName(QStringLiteral("percent"));
    percent_->setMaxLength(kFieldChars);
    ok_ = new QPushButton(qtTrId("comm.ok"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    buttons_ = {ok_, cancel};
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(qtTrId("config.plan.at")));
    row->addWidget(segment_);
    row->addWidget(new QLabel(qtTrId("config.plan.and")));
    row->addWidget(percent_);
    row->addWidget(new QLabel(QStringLiteral("%")));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttonRow(this, ok_, cancel));
}

void PlanPauseDialog::accept() {
    const auto parsed = parsePlanPause(segment_->text(), percent_->text(), program_.get());
    if (const auto* refused = std::get_if<PlanPauseRefusal>(&parsed)) {
        warn(refused->message);
        (refused->focus == PlanPauseRefusal::kSegment ? segment_ : percent_)->setFocus();
        return;
    }
    const PlanPause pause = std::get<PlanPause>(parsed);
    send([pause](CardControl& card) { return card.setPlanPause(pause.segment, pause.percent); },
         [this, pause] {
             if (marked_)
                 marked_(pause);
             QDialog::accept();
         });
}

// ---- Track ----

TrackDialog::TrackDialog(SettingsBlock& settings, CardAccess access, std::function<void(int)> changed, QWidget* parent)
    : CardCommandDialog(std::move(access), parent), settings_(settings), changed_(std::move(changed)) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("config.track.title"));
    modes_[kTrackDefaultMode] = new QRadioButton(qtTrId("config.track.default"));
    modes_[kTrackDefaultMode]->setObjectName(QStringLiteral("defaultMode"));
    modes_[kTrackAutoMode] = new QRadioButton(qtTrId("config.track.auto"));
    modes_[kTrackAutoMode]->setObjectName(QStringLiteral("autoMode"));
    // A mode the card holds that no button offers leaves both unchecked.
    if (settings.trackMode < modes_.size())
        modes_[settings.trackMode]->setChecked(true);
    ok_ = new QPushButton(qtTrId("comm.ok"));
    auto* cancel = new QPushButton(qtTrId("comm.cancel"));
    buttons_ = {ok_, cancel};
    auto* layout = new QVBoxLayout(this);
    for (QRadioButton* b : modes_)
        layout->addWidget(b);
    layout->addLayout(buttonRow(this, ok_, cancel));
}

void TrackDialog::accept() {
    int mode = -1;
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        if (modes_[i]->isChecked())
            mode = static_cast<int>(i);
    }
    if (mode < 0) {
        warn(integerRangeMessage({kTrackDefaultMode, kTrackAutoMode}));
        return;
    }
    if (mode != settings_.trackMode) {
        access_.operatorUi->message(windowTitle(), qtTrId("config.track.changed"), OperatorInteraction::Icon::Warning);
        if (access_.operatorUi->ask(windowTitle(), qtTrId("config.track.sure"), OperatorInteraction::Buttons::YesNo) !=
            OperatorInteraction::Answer::Yes)
            return;
    }
    send([mode](CardControl& card) { return card.setTrack(mode); },
         [this, mode] {
             settings_.trackMode = static_cast<uint8_t>(mode);
             if (changed_)
                 changed_(mode);
             QDialog::accept();
         });
}

}  // namespace korvex
