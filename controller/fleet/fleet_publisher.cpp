#include "controller/fleet/fleet_publisher.h"

#include <utility>
#include <vector>

namespace korvex::fleet {

namespace {

constexpr int kEventQos = 1;
constexpr int kStateQos = 0;  // retained and superseded by the next one
constexpr int kOnlineQos = 1;
constexpr const char* kOnline = "1";
constexpr const char* kOffline = "0";

MqttOptions clientOptions(const FleetPublisherConfig& c) {
  MqttOptions o;
  o.host = c.broker.host;
  o.port = c.broker.port;
  o.tls = c.broker.tls;
  o.caFile = c.caFile;
  o.user = c.user;
  o.passwordFile = c.passwordFile;
  o.clientId = "korvex-" + c.cardId;
  o.will = MqttMessage{fleetTopic(c.prefix, c.cardId, FleetTopic::Online), kOffline, kOnlineQos, true};
  o.reconnectMin = c.reconnectMin;
  o.reconnectMax = c.reconnectMax;
  return o;
}

}  // namespace

FleetPublisher::FleetPublisher(FleetPublisherConfig config)
    : config_(std::move(config)), client_(clientOptions(config_)) {
  client_.onConnection([this](MqttConnection state, const std::string&) { connectionChanged(state); });
  client_.onPublished([this](int messageId) { acknowledged(messageId); });
}

FleetPublisher::~FleetPublisher() { stop(); }

std::string FleetPublisher::topic(FleetTopic which) const {
  return fleetTopic(config_.prefix, config_.cardId, which);
}

int FleetPublisher::start() {
  std::lock_guard lock(mutex_);
  if (running_) return 0;
  if (client_.start() != 0) return -1;
  running_ = true;
  stopping_ = false;
  thread_ = std::thread([this] { run(); });
  return 0;
}

void FleetPublisher::stop() {
  {
    std::lock_guard lock(mutex_);
    if (!running_) return;
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
  if (client_.connected()) {
    // The last events (a lost link just before the program ends) still go, then "offline":
    // a clean disconnect sends no last will.
    std::vector<std::string> rest;
    {
      std::lock_guard lock(mutex_);
      for (const auto& pending : events_)
        if (pending.messageId < 0) rest.push_back(pending.payload);
    }
    for (const auto& payload : rest) client_.publish({topic(FleetTopic::Event), payload, kEventQos, false});
    client_.publish({topic(FleetTopic::Online), kOffline, kOnlineQos, true});
  }
  client_.stop();
  std::lock_guard lock(mutex_);
  running_ = false;
  connected_ = false;
}

void FleetPublisher::publishState(const FleetState& state, bool runStateChanged) {
  {
    std::lock_guard lock(mutex_);
    state_ = state;
    stateUrgent_ = stateUrgent_ || runStateChanged;
  }
  wake_.notify_one();
}

void FleetPublisher::publishEvent(FleetEventKind kind, std::string textId, std::string text,
                                  int segment) {
  {
    std::lock_guard lock(mutex_);
    PendingEvent pending;
    pending.event = FleetEvent{kind, std::move(textId), std::move(text), segment,
                               utcIsoTime(std::chrono::system_clock::now()), nextSeq_++};
    pending.payload = toJsonText(pending.event);
    if (events_.size() >= config_.maxEvents) {
      events_.pop_front();  // its acknowledgement, should it still come, finds nothing
      ++counters_.eventsDropped;
    }
    events_.push_back(std::move(pending));
  }
  wake_.notify_one();
}

FleetPublisher::Counters FleetPublisher::counters() const {
  std::lock_guard lock(mutex_);
  Counters c = counters_;
  c.eventsWaiting = events_.size();
  return c;
}

FleetLink FleetPublisher::link() const {
  std::lock_guard lock(mutex_);
  return link_;
}

void FleetPublisher::setLink(FleetLink link) {
  {
    std::lock_guard lock(mutex_);
    if (link_ == link) return;
    link_ = link;
  }
  if (linkHandler_) linkHandler_(link);
}

void FleetPublisher::connectionChanged(MqttConnection state) {
  switch (state) {
    case MqttConnection::Connected: {
      {
        std::lock_guard lock(mutex_);
        connected_ = true;
        freshConnection_ = true;
        ++session_;
      }
      wake_.notify_one();
      setLink(FleetLink::Connected);
      return;
    }
    case MqttConnection::Connecting:
      return;  // the pane keeps what the last attempt said until this one ends
    case MqttConnection::NotAuthorised:
    case MqttConnection::Refused:
    case MqttConnection::Unreachable:
    case MqttConnection::Lost:
    case MqttConnection::Stopped: {
      {
        std::lock_guard lock(mutex_);
        connected_ = false;
        ++session_;
        // Whatever was handed over and not acknowledged goes again on the next connection.
        for (auto& pending : events_) pending.messageId = -1;
        earlyAcks_.clear();
      }
      setLink(state == MqttConnection::NotAuthorised ? FleetLink::NotAuthorised : FleetLink::Offline);
      return;
    }
  }
}

void FleetPublisher::acknowledged(int messageId) {
  std::lock_guard lock(mutex_);
  for (auto it = events_.begin(); it != events_.end(); ++it) {
    if (it->messageId == messageId) {
      events_.erase(it);
      ++counters_.eventsAcknowledged;
      return;
    }
  }
  earlyAcks_.insert(messageId);  // an event's acknowledgement before we noted its id, or a state's
}

void FleetPublisher::run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    const auto now = std::chrono::steady_clock::now();
    const auto stateDue = lastStateSent_ + config_.stateInterval;
    const bool stateReady = state_ && (stateUrgent_ || now >= stateDue);
    bool eventReady = false;
    for (const auto& pending : events_) eventReady = eventReady || pending.messageId < 0;

    if (!connected_ || (!freshConnection_ && !stateReady && !eventReady)) {
      // Sleep until something arrives, or until a waiting state may go out.
      if (connected_ && state_) {
        wake_.wait_until(lock, stateDue);
      } else {
        wake_.wait(lock);
      }
      continue;
    }

    // Take what is to be sent; the broker is talked to without the lock.
    const bool fresh = std::exchange(freshConnection_, false);
    const std::uint64_t session = session_;
    std::optional<FleetState> state;
    if (fresh && !state_ && lastSentState_) state_ = lastSentState_;  // a restarted broker lost it
    if (state_ && (fresh || stateReady)) {
      state = std::exchange(state_, std::nullopt);
      stateUrgent_ = false;
      lastStateSent_ = now;
      lastSentState_ = state;
    }
    std::vector<std::pair<std::uint64_t, std::string>> toSend;
    for (const auto& pending : events_) {
      if (pending.messageId < 0) toSend.emplace_back(pending.event.seq, pending.payload);
    }
    lock.unlock();

    if (fresh) client_.publish({topic(FleetTopic::Online), kOnline, kOnlineQos, true});
    bool stateSent = false;
    if (state) {
      state->time = utcIsoTime(std::chrono::system_clock::now());
      stateSent = client_.publish({topic(FleetTopic::State), toJsonText(*state), kStateQos, true}) == 0;
    }
    std::vector<std::pair<std::uint64_t, int>> handed;
    std::optional<std::uint64_t> refused;
    for (const auto& [seq, payload] : toSend) {
      int messageId = -1;
      if (client_.publish({topic(FleetTopic::Event), payload, kEventQos, false}, &messageId) != 0) {
        refused = seq;
        break;
      }
      handed.emplace_back(seq, messageId);
    }
    const bool stillConnected = client_.connected();

    lock.lock();
    if (state) {
      if (stateSent) {
        ++counters_.statesSent;
      } else if (!state_) {
        state_ = state;  // not out: it is still the latest unless a newer one came meanwhile
      }
    }
    // Ids handed to a connection that has ended meanwhile mean nothing: those events stay
    // unsent and go on the next connection.
    if (session != session_) handed.clear();
    for (const auto& [seq, messageId] : handed) {
      for (auto it = events_.begin(); it != events_.end(); ++it) {
        if (it->event.seq != seq) continue;
        if (earlyAcks_.erase(messageId)) {
          events_.erase(it);
          ++counters_.eventsAcknowledged;
        } else {
          it->messageId = messageId;
        }
        break;
      }
    }
    // Other acknowledgements (the state's, the online flag's) are of no interest.
    earlyAcks_.clear();
    if (refused && session == session_) {
      if (stillConnected) {
        // The connection is up and still refused it: it can never go, so it must not block
        // the ones behind it.
        for (auto it = events_.begin(); it != events_.end(); ++it) {
          if (it->event.seq == *refused) {
            events_.erase(it);
            ++counters_.eventsDropped;
            break;
          }
        }
      } else {
        connected_ = false;  // gone while sending: wait for the next connection, do not spin
      }
    }
  }
}

}  // namespace korvex::fleet
