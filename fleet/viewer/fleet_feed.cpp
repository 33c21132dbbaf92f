#include "fleet/viewer/fleet_feed.h"

#include <QMetaObject>

namespace korvex::fleet {

namespace {

// Events go with QoS 1 from the machines; the viewer asks for the same, so none is lost between
// the broker and the window while connected.
constexpr int kSubscriptionQos = 1;

}  // namespace

MqttOptions viewerMqttOptions(const ViewerOptions& options) {
    MqttOptions mqtt;
    if (options.broker) {
        mqtt.host = options.broker->host;
        mqtt.port = options.broker->port;
        mqtt.tls = options.broker->tls;
    }
    mqtt.caFile = options.caFile;
    mqtt.user = options.user;
    mqtt.passwordFile = options.passwordFile;
    return mqtt;
}

std::vector<std::string> viewerSubscriptions(const std::string& prefix) {
    return {fleetWildcard(prefix, FleetTopic::Online), fleetWildcard(prefix, FleetTopic::State),
            fleetWildcard(prefix, FleetTopic::Event)};
}

FleetFeed::FleetFeed(const ViewerOptions& options, QObject* parent)
    : QObject(parent), client_(std::make_unique<MqttClient>(viewerMqttOptions(options))),
      patterns_(viewerSubscriptions(options.topicPrefix)) {
    if (options.broker)
        brokerText_ = QStringLiteral("%1://%2:%3")
                          .arg(options.broker->tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"),
                               QString::fromStdString(options.broker->host))
                          .arg(options.broker->port);
    client_->onMessage([this](const MqttMessage& message) {
        bool wasEmpty = false;
        {
            std::lock_guard lock(inboxMutex_);
            wasEmpty = inbox_.empty();
            inbox_.push_back({message.topic, message.payload, FleetClock::now()});
        }
        if (wasEmpty) QMetaObject::invokeMethod(this, &FleetFeed::messagesWaiting, Qt::QueuedConnection);
    });
    client_->onConnection([this](MqttConnection state, const std::string& reason) {
        QMetaObject::invokeMethod(
            this, [this, state, text = QString::fromStdString(reason)] { emit connectionChanged(int(state), text); },
            Qt::QueuedConnection);
    });
}

FleetFeed::~FleetFeed() {
    // The network thread ends before the inbox and this object go.
    client_->stop();
}

int FleetFeed::start() {
    for (const std::string& pattern : patterns_) client_->subscribe(pattern, kSubscriptionQos);
    return client_->start();
}

QString FleetFeed::lastError() const { return QString::fromStdString(client_->lastError()); }

QString FleetFeed::brokerText() const { return brokerText_; }

std::vector<ArrivedMessage> FleetFeed::take() {
    std::vector<ArrivedMessage> taken;
    std::lock_guard lock(inboxMutex_);
    taken.swap(inbox_);
    return taken;
}

}  // namespace korvex::fleet
