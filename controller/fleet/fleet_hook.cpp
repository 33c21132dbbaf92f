#include "controller/fleet/fleet_hook.h"

#include <QFileInfo>
#include <QLabel>
#include <QMetaObject>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTranslator>

#include <cstdio>

#include "code/loader.h"
#include "controller/card_events.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/main_frame.h"
#include "controller/settings_keys.h"
#include "controller/views/status_view.h"
#include "platform/string_table.h"

namespace korvex {

namespace {

using fleet::FleetEventKind;

// Status texts of the machining and the shop-floor event each one is.
struct TextEvent {
    const char* textId;
    FleetEventKind kind;
};
constexpr TextEvent kTextEvents[] = {
    {"61494", FleetEventKind::Start},        // Cutting...
    {"61573", FleetEventKind::Start},        // Simulating...
    {"61575", FleetEventKind::Start},        // walking
    {"61578", FleetEventKind::Start},        // Backing... (manual back)
    {"61576", FleetEventKind::Start},        // Returning...
    {"61574", FleetEventKind::Pause},        // the stops of each operation
    {"61614", FleetEventKind::Pause},
    {"61495", FleetEventKind::Pause},
    {"61496", FleetEventKind::Pause},
    {"61497", FleetEventKind::Pause},
    {"61577", FleetEventKind::Pause},
    {"61572", FleetEventKind::Pause},        // paused by the card
    {"61493", FleetEventKind::Short},        // short-circuit back started
    {"61622", FleetEventKind::Finish},       // finished
    {"61504", FleetEventKind::Finish},       // back finished
    {"61512", FleetEventKind::WireBreak},    // wire break or no HF
    {"61715", FleetEventKind::LinkLost},
    {"61638", FleetEventKind::GroupSwitch},  // paused for a group switch
    {"61719", FleetEventKind::Alarm},        // clean the workspace before the next group
};

constexpr char kShortBackTextId[] = "61493";
constexpr char kCuttingTextId[] = "61494";
constexpr char kGroupSwitchedTextId[] = "fleet.group_switched";
constexpr char kWorkContinuedTextId[] = "fleet.work_continued";

qint64 fieldNumber(const CStatusView* view, const char* name) {
    return view ? view->fieldText(name).trimmed().toLongLong() : 0;
}

// The "Loop:%d/%d" pane in either language: its last two numbers.
std::pair<int, int> loopOf(const QString& paneText) {
    static const QRegularExpression numbers(QStringLiteral("(\\d+)\\D+(\\d+)\\D*$"));
    const QRegularExpressionMatch m = numbers.match(paneText);
    if (!m.hasMatch())
        return {0, 0};
    return {m.captured(1).toInt(), m.captured(2).toInt()};
}

}  // namespace

std::optional<fleet::FleetPublisherConfig> fleetConfigFrom(const SettingsFile& settings, const QString& urlOverride,
                                                          uint32_t cardId, QString* error) {
    const QLatin1String section(keys::kFleetSection);
    fleet::FleetPublisherConfig c;
    if (!urlOverride.isEmpty()) {
        const auto address = fleet::parseBrokerUrl(urlOverride.toStdString());
        if (!address) {
            *error = QStringLiteral("unknown broker address \"%1\"").arg(urlOverride);
            return std::nullopt;
        }
        c.broker = *address;
    } else {
        const QString host = settings.readText(section, QLatin1String(keys::kFleetBrokerKey), QString()).trimmed();
        if (host.isEmpty())
            return std::nullopt;  // off
        c.broker.host = host.toStdString();
        c.broker.port = readKey(settings, keys::kFleetPort);
        c.broker.tls = readKey(settings, keys::kFleetTls) == 1;
    }
    c.caFile = settings.readText(section, QLatin1String(keys::kFleetCaFileKey), QString()).trimmed().toStdString();
    c.user = settings.readText(section, QLatin1String(keys::kFleetUserKey), QString()).trimmed().toStdString();
    c.passwordFile =
        settings.readText(section, QLatin1String(keys::kFleetPasswordFileKey), QString()).trimmed().toStdString();
    const QString prefix = settings
                               .readText(section, QLatin1String(keys::kFleetTopicKey),
                                         QString::fromLatin1(fleet::kDefaultTopicPrefix.data(),
                                                             static_cast<int>(fleet::kDefaultTopicPrefix.size())))
                               .trimmed();
    if (!fleet::isValidTopicPrefix(prefix.toStdString())) {
        *error = QStringLiteral("unusable topic prefix \"%1\"").arg(prefix);
        return std::nullopt;
    }
    c.prefix = prefix.toStdString();
    c.cardId = fleet::cardIdText(cardId);
    return c;
}

std::optional<FleetEventKind> fleetEventForText(const QString& textId, const QString& previous) {
    if (textId == QLatin1String(kCuttingTextId) && previous == QLatin1String(kShortBackTextId))
        return FleetEventKind::Recovery;  // cutting resumed after a short circuit
    for (const TextEvent& e : kTextEvents) {
        if (textId == QLatin1String(e.textId))
            return e.kind;
    }
    return std::nullopt;
}

FleetHook::FleetHook(MachineSession& session, CMainFrame& frame, MachineControl& control, CardEventRouter& events)
    : QObject(&frame), session_(session), frame_(frame), control_(control), events_(events) {}

FleetHook::~FleetHook() {
    if (publisher_)
        publisher_->stop();
}

QString FleetHook::englishText(const QString& textId) const {
    const QByteArray id = textId.toUtf8();
    for (const QTranslator* translator : english_) {
        const QString text = translator->translate(nullptr, id.constData());
        if (!text.isEmpty())
            return text;
    }
    return textId;
}

QString FleetHook::paneText() const { return pane_ ? pane_->text() : QString(); }

bool FleetHook::start(const QString& urlOverride) {
    QString error;
    const auto config = fleetConfigFrom(session_.machineSettings(), urlOverride, session_.cardId, &error);
    if (!config) {
        if (!error.isEmpty())
            std::fprintf(stderr, "korvex: shop-floor publisher off: %s\n", qPrintable(error));
        return error.isEmpty();
    }
    for (const QString& file : translationFiles(translationDirectory(), Language::English)) {
        auto* translator = new QTranslator(this);
        if (translator->load(file))
            english_.push_back(translator);
        else
            delete translator;
    }
    publisher_ = std::make_unique<fleet::FleetPublisher>(*config);
    pane_ = new QLabel(qtTrId("fleet.offline"), &frame_);
    pane_->setObjectName(QStringLiteral("FleetPane"));
    frame_.statusBar()->addPermanentWidget(pane_);
    // Called on the publisher's threads: the pane follows on the UI thread.
    publisher_->onLinkChanged([this](fleet::FleetLink link) {
        QMetaObject::invokeMethod(this, [this, link] { showLink(link); }, Qt::QueuedConnection);
    });
    if (publisher_->start() != 0) {
        std::fprintf(stderr, "korvex: shop-floor publisher off: %s\n", publisher_->lastError().c_str());
        publisher_.reset();
        pane_->setText(qtTrId("fleet.offline"));
        return false;
    }
    state_.machine = session_.machineName.toStdString();
    state_.port = session_.port.number;
    state_.group = control_.defaultGroup();  // until the card reports a switch
    chainHooks();
    publishState(true);
    return true;
}

void FleetHook::showLink(fleet::FleetLink link) {
    if (!pane_)
        return;
    switch (link) {
    case fleet::FleetLink::Connected: pane_->setText(qtTrId("fleet.connected")); break;
    case fleet::FleetLink::Offline: pane_->setText(qtTrId("fleet.offline")); break;
    case fleet::FleetLink::NotAuthorised: pane_->setText(qtTrId("fleet.not_authorised")); break;
    }
}

void FleetHook::chainHooks() {
    // Each hook keeps what the window did with it and adds the shop floor behind it.
    auto showTextId = control_.showTextId;
    control_.showTextId = [this, showTextId](const char* textId) {
        if (showTextId)
            showTextId(textId);
        statusText(textId);
    };
    auto showWork = control_.showWork;
    control_.showWork = [this, showWork](const WorkParams& work, int32_t speed) {
        if (showWork)
            showWork(work, speed);
        publishState(false);
    };
    auto showUsedTime = control_.showUsedTime;
    control_.showUsedTime = [this, showUsedTime](int seconds) {
        if (showUsedTime)
            showUsedTime(seconds);
        state_.used_seconds = seconds;
    };
    auto changed = control_.changed;
    control_.changed = [this, changed] {
        if (changed)
            changed();
        const RunState& run = control_.operations().runState();
        const bool runStateChanged = run.state != lastRunState_ || run.subState != lastSubState_;
        lastRunState_ = run.state;
        lastSubState_ = run.subState;
        publishState(runStateChanged);
    };
    auto recoveryUsed = control_.operations().recoveryUsed;
    control_.operations().recoveryUsed = [this, recoveryUsed] {
        if (recoveryUsed)
            recoveryUsed();
        publisher_->publishEvent(FleetEventKind::Recovery, kWorkContinuedTextId,
                                 englishText(QLatin1String(kWorkContinuedTextId)).toStdString(), state_.segment);
    };
    connect(&events_, &CardEventRouter::pulseGroupSwitched, this, [this](int group) {
        state_.group = group;
        publisher_->publishEvent(FleetEventKind::GroupSwitch, kGroupSwitchedTextId,
                                 englishText(QLatin1String(kGroupSwitchedTextId)).toStdString(), state_.segment);
        publishState(false);
    });
}

void FleetHook::statusText(const char* textId) {
    const QString id = QLatin1String(textId);
    state_.status = englishText(id).toStdString();
    if (const auto kind = fleetEventForText(id, lastTextId_))
        publisher_->publishEvent(*kind, textId, state_.status, state_.segment);
    lastTextId_ = id;
    publishState(false);
}

void FleetHook::publishState(bool runStateChanged) {
    const CStatusView* view = frame_.statusView();
    const MachiningOperations& operations = control_.operations();
    if (const auto& program = operations.program()) {
        state_.program = QFileInfo(QString::fromStdString(program->path)).fileName().toStdString();
        state_.program_kind = program->kind;
    } else {
        state_.program.clear();
        state_.program_kind = 0;
    }
    state_.run_state = operations.runState().state;
    state_.sub_state = operations.runState().subState;
    state_.segment = static_cast<int>(fieldNumber(view, "currentSegment"));
    state_.segments = static_cast<int>(fieldNumber(view, "totalSegments"));
    state_.over_steps = fieldNumber(view, "overSteps");
    state_.total_steps = fieldNumber(view, "totalSteps");
    state_.x = static_cast<int32_t>(fieldNumber(view, "x"));
    state_.y = static_cast<int32_t>(fieldNumber(view, "y"));
    state_.u = static_cast<int32_t>(fieldNumber(view, "u"));
    state_.v = static_cast<int32_t>(fieldNumber(view, "v"));
    state_.progress = view ? view->progressValue() : 0;
    state_.feed = view ? view->feedText().trimmed().toDouble() : 0;
    std::tie(state_.loop, state_.loops) = loopOf(frame_.paneText(CMainFrame::kLoopPane));
    state_.hf = operations.hfOn();
    state_.motor = operations.motorOn();
    publisher_->publishState(state_, runStateChanged);
}

}  // namespace korvex
