#include "controller/machine_control.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMetaObject>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWidget>

#include <utility>

#include "controller/card_events.h"
#include "controller/machine_session.h"
#include "platform/operator_interaction.h"
#include "controller/pulse_table.h"
#include "controller/segment_range_dialog.h"
#include "controller/settings_keys.h"

namespace korvex {
namespace {

constexpr int kAlarmTitleBlanks = 21;
constexpr int kSoundAlarm = 1;

OperatorInteraction::Icon iconOf(OperationsHost::Icon icon) {
    switch (icon) {
    case OperationsHost::Icon::Information: return OperatorInteraction::Icon::Information;
    case OperationsHost::Icon::Exclamation: return OperatorInteraction::Icon::Warning;
    case OperationsHost::Icon::Stop: return OperatorInteraction::Icon::Critical;
    case OperationsHost::Icon::Question: return OperatorInteraction::Icon::Question;
    }
    return OperatorInteraction::Icon::Warning;
}

}  // namespace

CSwitchDelayDialog::CSwitchDelayDialog(int seconds, QWidget* parent) : QDialog(parent), remaining_(seconds) {
    setObjectName(QStringLiteral("SwitchDelay"));
    setWindowTitle(qtTrId("switch.title"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qtTrId("61636"), this));
    count_ = new QLabel(QStringLiteral("%1").arg(remaining_, 2), this);
    layout->addWidget(count_);
    layout->addWidget(new QLabel(qtTrId("61637"), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CSwitchDelayDialog::tick);
    timer_.start();
}

void CSwitchDelayDialog::tick() {
    --remaining_;
    count_->setText(QStringLiteral("%1").arg(remaining_, 2));
    if (remaining_ <= 0) {
        timer_.stop();
        accept();
    }
}

MachineControl::MachineControl(MachineSession& session, CardLink& link, OperatorInteraction& operatorUi,
                               CardEventRouter& events, PulseTable& pulseTable, QWidget* window)
    : session_(session),
      link_(link),
      operatorUi_(operatorUi),
      events_(events),
      pulseTable_(pulseTable),
      window_(window),
      card_(link),
      worker_(card_, clock_),
      operations_(worker_, *this),
      sound_(std::make_unique<AlarmSound>()) {
    // Segment reports go from the reader thread to the worker; nothing else of them waits for us.
    events_.setSegmentSink([this](int32_t segment) { worker_.segmentReached(segment); });
    connect(&events_, &CardEventRouter::graphEvent, this, [this](int kind, int argument) {
        if (kind == 6)
            onLinkLost(argument);
        else
            operations_.onCardEvent(kind, argument);
    });
    connect(&events_, &CardEventRouter::buttonsRefresh, this, [this] { operations_.refresh(); });
    operations_.setCardType(cardTypeDigit(session_.cardId));
    worker_.start();
}

MachineControl::~MachineControl() {
    events_.setSegmentSink({});
    worker_.stop();
}

void MachineControl::onLinkLost(int failedCommand) {
    if (linkLost_)
        return;
    linkLost_ = true;
    operations_.linkLost();  // every timer and queued command is dropped; nothing new is sent
    emit linkLosing();
    if (stopHeartbeat)
        stopHeartbeat();
    link_.Close();  // ends a transaction still waiting on the lost card
    worker_.stop();
    emit linkWentDown();
    statusText("61715");
    const QString text = qtTrId("61507").arg(session_.portLabel()).arg(failedCommand, 0, 16);
    link_.LogError("%s\n", text.toUtf8().constData());
    showAlarm(text, Icon::Stop, kSoundAlarm);
    if (quit)
        quit();
}

void MachineControl::runOnUi(std::function<void()> call) {
    QMetaObject::invokeMethod(this, [call = std::move(call)] { call(); }, Qt::QueuedConnection);
}

std::optional<std::pair<int32_t, int32_t>> MachineControl::chooseRange(int32_t segmentCount, bool reverse) {
    CSegmentRangeDialog dialog(segmentCount, reverse, operatorUi_, session_.alarmTitle(), window_);
    connect(&dialog, &CSegmentRangeDialog::segmentFocused, this, &MachineControl::segmentFocused);
    if (const std::optional<RangeAnswer> answer = std::exchange(rangeAnswer_, std::nullopt)) {
        if (answer->range) {
            dialog.setStart(answer->range->first);
            dialog.setEnd(answer->range->second);
        }
        dialog.accept();  // a range the program cannot hold shows its box and keeps the dialog
        if (dialog.result() == QDialog::Accepted)
            return std::pair{static_cast<int32_t>(dialog.start()), static_cast<int32_t>(dialog.end())};
    }
    if (operatorUi_.exec(dialog, dialog.objectName()) != QDialog::Accepted)
        return std::nullopt;
    return std::pair{static_cast<int32_t>(dialog.start()), static_cast<int32_t>(dialog.end())};
}

bool MachineControl::ask(const char* textId, Icon icon, bool okCancel) {
    using B = OperatorInteraction::Buttons;
    using A = OperatorInteraction::Answer;
    const A answer = operatorUi_.ask(session_.alarmTitle(), qtTrId(textId), okCancel ? B::OkCancel : B::YesNo,
                                     iconOf(icon));
    return answer == A::Yes || answer == A::Ok;
}

std::optional<int32_t> MachineControl::chooseReturnSegment(int32_t segmentCount) {
    QDialog dialog(window_);
    dialog.setObjectName(QStringLiteral("ReturnSegment"));
    dialog.setWindowTitle(qtTrId("return.title"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(qtTrId("return.prompt"), &dialog));
    auto* field = new QSpinBox(&dialog);
    field->setObjectName(QStringLiteral("segment"));
    field->setRange(0, std::max(segmentCount - 1, 0));
    field->setValue(0);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (operatorUi_.exec(dialog, dialog.objectName()) != QDialog::Accepted)
        return std::nullopt;
    return field->value();
}

void MachineControl::message(const char* textId, Icon icon) {
    operatorUi_.message(session_.alarmTitle(), qtTrId(textId), iconOf(icon));
}

void MachineControl::statusText(const char* textId) {
    if (showTextId)
        showTextId(textId);
    else if (showText)
        showText(qtTrId(textId));
}

bool MachineControl::workStarted() const { return isWorkStarted ? isWorkStarted() : workStarted_; }

void MachineControl::setWorkStarted(bool started) {
    workStarted_ = started;
    if (markWorkStarted)
        markWorkStarted(started);
}

PulseGroupImage MachineControl::pulseGroup(int index) const {
    return encodePulseGroup(pulseTable_.group(std::clamp(index, 0, PulseTable::kGroupCount - 1)));
}

int MachineControl::defaultGroup() const { return readKey(session_.cardSettings(), keys::kDefaultIndex); }

QString MachineControl::alarmText(const QString& text) const {
    return session_.alarmTitle() + QString(kAlarmTitleBlanks, QLatin1Char(' ')) + QStringLiteral("\n\n") + text;
}

void MachineControl::showAlarm(const QString& text, Icon icon, int soundKind) {
    sound_->start(soundKind);
    operatorUi_.message(session_.alarmTitle(), alarmText(text), iconOf(icon));
    sound_->stop();
    if (window_ && window_->isMinimized())
        window_->showMaximized();
}

void MachineControl::alarm(const char* textId, Icon icon, int soundKind) { showAlarm(qtTrId(textId), icon, soundKind); }

void MachineControl::alarmSound(int kind, bool on) {
    if (on)
        sound_->start(kind);
    else
        sound_->stop();
}

void MachineControl::sms(const char* textId) {
    if (sendNotice)
        sendNotice(textId);
}

void MachineControl::finishAction(int kind) {
    if (runFinishAction)
        runFinishAction(kind);
}

void MachineControl::switchDelay(int seconds) {
    CSwitchDelayDialog dialog(seconds, window_);
    operatorUi_.exec(dialog, dialog.objectName());
}

EventSettings MachineControl::eventSettings() const {
    const SettingsFile card = session_.cardSettings();
    EventSettings s;
    s.noStopAll = readKey(card, keys::kNoStopAll) == 1;
    s.switchType = readKey(card, keys::kSwitchType);
    s.switchTimeSeconds = readKey(card, keys::kSwitchTime);
    return s;
}

void MachineControl::usedTime(int seconds) {
    usedSeconds_ = seconds;
    if (showUsedTime)
        showUsedTime(seconds);
}

void MachineControl::showPosition(const PositionBlock& position) {
    if (positionShown)
        positionShown(position);
    if (showWork)
        showWork(position.work, position.speed);
}

void MachineControl::showStatus(const StatusBlock& status) {
    if (statusShown)
        statusShown(status);
    if (showWork)
        showWork(status.work, status.speed);
}

void MachineControl::showHfLevel(int32_t level) {
    if (showLevel)
        showLevel(level);
}

void MachineControl::sendFeed(const FeedBytes& entry, int feedValue) {
    // A refusal shows nothing: the value stays shown and a lost link is reported on its own.
    worker_.post(CardSequence("set feed").then([entry, feedValue](MachiningCard& card) {
        return card.setFeed(entry, feedValue) == 0;
    }));
}

void MachineControl::pressAnswering(Operation op, std::optional<std::pair<int, int>> range) {
    rangeAnswer_ = RangeAnswer{op, range};
    operations_.press(op);
    if (operations_.idle())
        rangeAnswer_.reset();  // refused at once
}

void MachineControl::stateChanged() {
    // A start has ended once it runs or has given up; an answer it did not use goes with it.
    if (rangeAnswer_ && (operations_.idle() || operations_.label(rangeAnswer_->op) == ButtonLabel::Pause))
        rangeAnswer_.reset();
    if (changed)
        changed();
}

}  // namespace korvex
