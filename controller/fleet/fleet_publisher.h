// The controller's side of the shop floor: tells a broker what this machine is doing, on a
// thread of its own, and never makes the machine wait for it.
//
// The card worker and the user-interface thread only hand over (publishState, publishEvent):
// a short lock, a copy, a notify. The publisher thread does the rest:
//
//   - state: only the latest is kept; it goes out retained at most once per stateInterval, and
//     at once when the run state changed. With the broker away the states coalesce to the last.
//   - events: kept in order, at most maxEvents (the oldest is dropped and counted). Each stays
//     until the broker acknowledged it (QoS 1); after a reconnect the unacknowledged ones go out
//     again in their order, so a viewer may see one twice, never out of order: it drops a seq it
//     has already seen.
//   - online: "1" retained on every connect; "0" retained as the last will, and before a clean
//     stop.
//
// Reconnecting backs off from reconnectMin to reconnectMax (the client's network thread).
// Nothing is subscribed: the fleet topics describe the machine and never steer it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "fleet/common/fleet_messages.h"
#include "fleet/common/mqtt_client.h"

namespace korvex::fleet {

struct FleetPublisherConfig {
  BrokerAddress broker;
  std::string caFile;
  std::string user;
  std::string passwordFile;
  std::string prefix{kDefaultTopicPrefix};
  std::string cardId;  // "%08x"
  std::chrono::milliseconds stateInterval{1000};
  std::chrono::milliseconds reconnectMin{1000};
  std::chrono::milliseconds reconnectMax{60000};
  std::size_t maxEvents = 1000;
};

// What the status-bar pane shows.
enum class FleetLink { Offline, Connected, NotAuthorised };

class FleetPublisher {
 public:
  explicit FleetPublisher(FleetPublisherConfig config);
  ~FleetPublisher();
  FleetPublisher(const FleetPublisher&) = delete;
  FleetPublisher& operator=(const FleetPublisher&) = delete;

  // Called on the publisher's threads whenever the link changes; must not block.
  void onLinkChanged(std::function<void(FleetLink)> handler) { linkHandler_ = std::move(handler); }

  // Starts connecting. -1 with lastError() when the settings cannot work (password file).
  int start();
  // Marks the machine offline, sends what it can within about a second, and disconnects.
  void stop();

  // The newest picture of the machine; runStateChanged sends it without waiting for the interval.
  void publishState(const FleetState& state, bool runStateChanged);
  // An alarm or milestone; stamped with the time and the next sequence number here.
  void publishEvent(FleetEventKind kind, std::string textId, std::string text, int segment);

  struct Counters {
    std::uint64_t statesSent = 0;
    std::uint64_t eventsAcknowledged = 0;
    std::uint64_t eventsDropped = 0;  // the oldest, when more than maxEvents waited
    std::size_t eventsWaiting = 0;
  };
  Counters counters() const;
  FleetLink link() const;
  std::string lastError() const { return client_.lastError(); }
  const FleetPublisherConfig& config() const { return config_; }

 private:
  struct PendingEvent {
    FleetEvent event;
    std::string payload;
    int messageId = -1;  // while handed to the connection and not yet acknowledged
  };

  void run();
  void connectionChanged(MqttConnection state);
  void acknowledged(int messageId);
  void setLink(FleetLink link);
  std::string topic(FleetTopic which) const;

  const FleetPublisherConfig config_;
  MqttClient client_;
  std::function<void(FleetLink)> linkHandler_;

  mutable std::mutex mutex_;  // guards everything below; never held while talking to the broker
  std::condition_variable wake_;
  bool running_ = false;
  bool stopping_ = false;
  bool connected_ = false;
  bool freshConnection_ = false;
  std::uint64_t session_ = 0;  // counts connects and losses: tells stale message ids apart  // connected since the thread last looked: online, state, resend
  FleetLink link_ = FleetLink::Offline;
  std::optional<FleetState> state_;  // the latest, not yet sent
  bool stateUrgent_ = false;
  std::optional<FleetState> lastSentState_;
  std::chrono::steady_clock::time_point lastStateSent_{};
  std::deque<PendingEvent> events_;
  std::set<int> earlyAcks_;  // acknowledgements that came before their id was recorded
  std::uint64_t nextSeq_ = 1;
  Counters counters_;
  std::thread thread_;
};

}  // namespace korvex::fleet
