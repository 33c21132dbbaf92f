#include "fleet/viewer/once_report.h"

#include <condition_variable>
#include <mutex>
#include <optional>

#include <nlohmann/json.hpp>

#include "fleet/common/mqtt_client.h"
#include "fleet/viewer/fleet_feed.h"
#include "fleet/viewer/fleet_table.h"

namespace korvex::fleet {

int runOnce(const ViewerOptions& options, std::FILE* out, std::FILE* err, OnceTiming timing) {
    if (!options.broker) {
        std::fputs("kvfleet: no broker: give --broker mqtt://host or set Broker in [Fleet] of Korvex.ini\n", err);
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    std::mutex mutex;
    std::condition_variable changed;
    FleetTable table(options.topicPrefix);
    std::optional<MqttConnection> outcome;  // the first answer to connecting
    std::string reason;
    Clock::time_point lastMessage{};

    MqttOptions mqtt = viewerMqttOptions(options);
    // One attempt is all a script waits for.
    mqtt.connectTimeout = timing.connectTime;
    MqttClient client(mqtt);
    client.onMessage([&](const MqttMessage& message) {
        std::lock_guard lock(mutex);
        table.apply(message.topic, message.payload, FleetClock::now());
        lastMessage = Clock::now();
        changed.notify_all();
    });
    client.onConnection([&](MqttConnection state, const std::string& why) {
        if (state == MqttConnection::Connecting) return;
        std::lock_guard lock(mutex);
        if (!outcome) {
            outcome = state;
            reason = why;
            lastMessage = Clock::now();
            changed.notify_all();
        }
    });
    for (const std::string& pattern : viewerSubscriptions(options.topicPrefix)) client.subscribe(pattern, 1);
    if (client.start() != 0) {
        std::fprintf(err, "kvfleet: %s\n", client.lastError().c_str());
        return 1;
    }

    std::unique_lock lock(mutex);
    const bool answered = changed.wait_for(lock, timing.connectTime + std::chrono::seconds(1),
                                           [&] { return outcome.has_value(); });
    if (!answered || *outcome != MqttConnection::Connected) {
        const std::string address = options.broker->host + ":" + std::to_string(options.broker->port);
        std::fprintf(err, "kvfleet: cannot read the broker at %s: %s\n", address.c_str(),
                     answered ? (reason.empty() ? "refused" : reason.c_str()) : "no answer");
        lock.unlock();
        client.stop();
        return 1;
    }
    // The retained burst: wait until it has been quiet for a while, or for the longest wait.
    const Clock::time_point deadline = Clock::now() + timing.mostTime;
    while (Clock::now() < deadline) {
        const Clock::time_point quietAt = lastMessage + timing.quietTime;
        if (Clock::now() >= quietAt) break;
        changed.wait_until(lock, std::min(quietAt, deadline));
    }
    const std::string text = table.toJson(FleetClock::now()).dump(2);
    lock.unlock();
    client.stop();
    std::fprintf(out, "%s\n", text.c_str());
    return 0;
}

}  // namespace korvex::fleet
