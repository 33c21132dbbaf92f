// The broker's messages on their way to the window. The MQTT client's network thread only appends
// each message to an inbox and, when the inbox was empty, posts one wake-up to the interface
// thread; the interface thread takes the whole inbox at once. So the network never waits for the
// window, and a burst (the retained states of thirty machines at connect) costs one refresh.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fleet/common/mqtt_client.h"
#include "fleet/viewer/fleet_options.h"
#include "fleet/viewer/fleet_table.h"

namespace korvex::fleet {

struct ArrivedMessage {
    std::string topic;
    std::string payload;
    FleetClock::time_point at;
};

// The client's settings for a viewer: a clean session of its own, the three subscriptions.
MqttOptions viewerMqttOptions(const ViewerOptions& options);
// The three patterns a viewer subscribes: "<prefix>/+/online", "/state", "/event".
std::vector<std::string> viewerSubscriptions(const std::string& prefix);

class FleetFeed : public QObject {
    Q_OBJECT
public:
    FleetFeed(const ViewerOptions& options, QObject* parent = nullptr);
    ~FleetFeed() override;

    // Starts connecting (in the background). Returns 0, or -1 with lastError() when the
    // options cannot work (a password file that cannot be read).
    int start();
    QString lastError() const;

    // Everything that arrived since the last call, in arrival order.
    std::vector<ArrivedMessage> take();

    QString brokerText() const;

signals:
    // Posted once when the inbox turns non-empty.
    void messagesWaiting();
    // On the interface thread: the connection's new state and, for a failure, its reason.
    void connectionChanged(int state, const QString& reason);

private:
    std::unique_ptr<MqttClient> client_;
    QString brokerText_;
    std::vector<std::string> patterns_;
    std::mutex inboxMutex_;
    std::vector<ArrivedMessage> inbox_;
};

}  // namespace korvex::fleet
