// A listening client for tests: subscribes, keeps every message and connection state it sees,
// and lets a test wait, with a bound, until a condition over them holds.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "fleet/common/mqtt_client.h"

namespace korvex::fleet::testing {

class MqttProbe {
 public:
  explicit MqttProbe(MqttOptions options) : client_(withFastRetry(std::move(options))) {
    client_.onMessage([this](const MqttMessage& m) {
      {
        std::lock_guard lock(mutex_);
        messages_.push_back(m);
      }
      changed_.notify_all();
    });
    client_.onConnection([this](MqttConnection state, const std::string&) {
      {
        std::lock_guard lock(mutex_);
        states_.push_back(state);
        if (state == MqttConnection::Connected) subscribed_ = 0;
      }
      changed_.notify_all();
    });
    client_.onSubscribed([this] {
      {
        std::lock_guard lock(mutex_);
        ++subscribed_;
      }
      changed_.notify_all();
    });
  }

  MqttClient& client() { return client_; }

  // Subscribes and starts; true once the broker accepted the connection and confirmed every
  // subscription (so nothing published afterwards can pass the probe by).
  bool listen(const std::vector<std::string>& patterns,
              std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    patterns_ = patterns.size();
    for (const auto& pattern : patterns) client_.subscribe(pattern, 1);
    if (client_.start() != 0) return false;
    return waitForState(MqttConnection::Connected, timeout) && waitForSubscriptions(timeout);
  }

  // After a reconnect: every subscription confirmed again.
  bool waitForSubscriptions(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return waitUntil([&] { return subscribed_ >= patterns_; }, timeout);
  }

  bool waitForState(MqttConnection state,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return waitUntil([&] {
      for (auto s : states_) if (s == state) return true;
      return false;
    }, timeout);
  }

  // Waits until `done` holds over the messages seen so far (called with the lock held).
  bool waitForMessages(const std::function<bool(const std::vector<MqttMessage>&)>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return waitUntil([&] { return done(messages_); }, timeout);
  }

  std::vector<MqttMessage> messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  std::vector<MqttMessage> messagesOn(const std::string& topic) {
    std::lock_guard lock(mutex_);
    std::vector<MqttMessage> found;
    for (const auto& m : messages_) if (m.topic == topic) found.push_back(m);
    return found;
  }
  std::vector<MqttConnection> states() {
    std::lock_guard lock(mutex_);
    return states_;
  }
  void clearStates() {
    std::lock_guard lock(mutex_);
    states_.clear();
  }

 private:
  static MqttOptions withFastRetry(MqttOptions options) {
    options.reconnectMin = std::chrono::milliseconds(50);
    options.reconnectMax = std::chrono::milliseconds(200);
    return options;
  }

  template <typename Predicate>
  bool waitUntil(Predicate predicate, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, predicate);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<MqttMessage> messages_;
  std::vector<MqttConnection> states_;
  std::size_t patterns_ = 0;
  std::size_t subscribed_ = 0;
  MqttClient client_;  // last: its thread stops before the members above go away
};

}  // namespace korvex::fleet::testing
