// Helpers of the supervisor window's tests: a machine that publishes as a controller does (each
// message handed over only once the broker acknowledged it, so a reader started afterwards is
// sure to find it), and a bounded wait that keeps the window's event loop running.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "fleet/common/fleet_messages.h"
#include "fleet/common/mqtt_client.h"

namespace korvex::fleet::testing {

class TestMachine {
public:
    TestMachine(const std::string& host, int port, std::string cardId, std::string prefix = "korvex")
        : cardId_(std::move(cardId)), prefix_(std::move(prefix)), client_(options(host, port)) {
        client_.onConnection([this](MqttConnection state, const std::string&) {
            std::lock_guard lock(mutex_);
            connected_ = state == MqttConnection::Connected;
            changed_.notify_all();
        });
        client_.onPublished([this](int mid) {
            std::lock_guard lock(mutex_);
            acknowledged_.insert(mid);
            changed_.notify_all();
        });
    }

    bool connect(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        if (client_.start() != 0) return false;
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [this] { return connected_; })) return false;
        lock.unlock();
        return send(FleetTopic::Online, "1", true);
    }

    bool sendState(const FleetState& state) { return send(FleetTopic::State, toJsonText(state), true); }
    bool sendEvent(const FleetEvent& event) { return send(FleetTopic::Event, toJsonText(event), false); }

    // Publishes with QoS 1 and waits for the broker's acknowledgement.
    bool send(FleetTopic topic, const std::string& payload, bool retain,
              std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        int mid = 0;
        if (client_.publish({fleetTopic(prefix_, cardId_, topic), payload, 1, retain}, &mid) != 0) return false;
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return acknowledged_.count(mid) > 0; });
    }

    const std::string& cardId() const { return cardId_; }

private:
    MqttOptions options(const std::string& host, int port) const {
        MqttOptions o;
        o.host = host;
        o.port = port;
        o.will = MqttMessage{fleetTopic(prefix_, cardId_, FleetTopic::Online), "0", 1, true};
        return o;
    }

    std::string cardId_;
    std::string prefix_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool connected_ = false;
    std::set<int> acknowledged_;
    MqttClient client_;  // last: its thread ends before the members above go
};

// Runs the event loop until `done` holds or `timeout` passes; returns `done()`.
inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    QDeadlineTimer deadline(timeout.count());
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

}  // namespace korvex::fleet::testing
