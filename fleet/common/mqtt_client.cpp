#include "fleet/common/mqtt_client.h"

#include <algorithm>
#include <fstream>

#include <mosquitto.h>

namespace korvex::fleet {

namespace {

// How long one pass of the network loop may block: bounds how late stop() is noticed.
constexpr int kLoopSliceMs = 100;
// At stop: how many loop passes may still write what was published, and end the session.
constexpr int kFlushPasses = 10;
// MQTT 3.1.1 CONNACK codes for a bad name or password and for "not authorised".
constexpr int kConnackBadCredentials = 4;
constexpr int kConnackNotAuthorised = 5;
constexpr const char* kSystemCaFolder = "/etc/ssl/certs";

void initLibraryOnce() {
  static std::once_flag once;
  // The library stays initialised for the life of the process; cleanup at exit would race the
  // last client's destructor in static teardown.
  std::call_once(once, [] { mosquitto_lib_init(); });
}

std::optional<std::string> readPasswordFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

}  // namespace

MqttClient::MqttClient(MqttOptions options) : options_(std::move(options)) { initLibraryOnce(); }

MqttClient::~MqttClient() { stop(); }

void MqttClient::onMessage(MessageHandler handler) { messageHandler_ = std::move(handler); }
void MqttClient::onConnection(ConnectionHandler handler) {
  connectionHandler_ = std::move(handler);
}
void MqttClient::onPublished(PublishedHandler handler) { publishedHandler_ = std::move(handler); }
void MqttClient::onSubscribed(std::function<void()> handler) {
  subscribedHandler_ = std::move(handler);
}

int MqttClient::start() {
  std::lock_guard lock(stateMutex_);
  if (running_) return 0;
  if (!options_.passwordFile.empty()) {
    const auto password = readPasswordFile(options_.passwordFile);
    if (!password) {
      setError("cannot read the password file " + options_.passwordFile);
      return -1;
    }
    password_ = *password;
  }
  running_ = true;
  stopping_ = false;
  thread_ = std::thread([this] { run(); });
  return 0;
}

void MqttClient::stop() {
  {
    std::lock_guard lock(stateMutex_);
    if (!running_) return;
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
  std::lock_guard lock(stateMutex_);
  running_ = false;
}

bool MqttClient::connected() const { return connected_.load(); }

std::string MqttClient::lastError() const {
  std::lock_guard lock(errorMutex_);
  return lastError_;
}

void MqttClient::setError(const std::string& reason) {
  std::lock_guard lock(errorMutex_);
  lastError_ = reason;
}

int MqttClient::publish(const MqttMessage& message, int* messageId) {
  std::lock_guard lock(handleMutex_);
  if (!mosq_ || !connected_.load()) return -1;
  int mid = 0;
  const int rc = mosquitto_publish(mosq_, &mid, message.topic.c_str(),
                                   static_cast<int>(message.payload.size()),
                                   message.payload.data(), message.qos, message.retain);
  if (rc != MOSQ_ERR_SUCCESS) {
    setError(mosquitto_strerror(rc));
    return -1;
  }
  if (messageId) *messageId = mid;
  return 0;
}

int MqttClient::subscribe(const std::string& pattern, int qos) {
  {
    std::lock_guard lock(subscriptionsMutex_);
    subscriptions_.emplace_back(pattern, qos);
  }
  std::lock_guard lock(handleMutex_);
  if (mosq_ && connected_.load()) {
    if (mosquitto_subscribe(mosq_, nullptr, pattern.c_str(), qos) != MOSQ_ERR_SUCCESS) return -1;
  }
  return 0;  // otherwise made when the connection comes up
}

void MqttClient::report(MqttConnection state, const std::string& reason) {
  if (!reason.empty()) setError(reason);
  if (connectionHandler_) connectionHandler_(state, reason);
}

bool MqttClient::openSession() {
  std::lock_guard lock(handleMutex_);
  const char* id = options_.clientId.empty() ? nullptr : options_.clientId.c_str();
  mosq_ = mosquitto_new(id, options_.cleanSession || !id, this);
  if (!mosq_) return false;
  mosquitto_threaded_set(mosq_, true);
  mosquitto_connect_callback_set(mosq_, &MqttClient::onConnectThunk);
  mosquitto_disconnect_callback_set(mosq_, &MqttClient::onDisconnectThunk);
  mosquitto_publish_callback_set(mosq_, &MqttClient::onPublishThunk);
  mosquitto_message_callback_set(mosq_, &MqttClient::onMessageThunk);
  mosquitto_subscribe_callback_set(mosq_, &MqttClient::onSubscribeThunk);
  if (!options_.user.empty()) {
    mosquitto_username_pw_set(mosq_, options_.user.c_str(),
                              options_.passwordFile.empty() ? nullptr : password_.c_str());
  }
  if (options_.will) {
    const MqttMessage& will = *options_.will;
    mosquitto_will_set(mosq_, will.topic.c_str(), static_cast<int>(will.payload.size()),
                       will.payload.data(), will.qos, will.retain);
  }
  if (options_.tls) {
    const int rc = options_.caFile.empty()
                       ? mosquitto_tls_set(mosq_, nullptr, kSystemCaFolder, nullptr, nullptr, nullptr)
                       : mosquitto_tls_set(mosq_, options_.caFile.c_str(), nullptr, nullptr,
                                           nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
      mosquitto_destroy(mosq_);
      mosq_ = nullptr;
      return false;
    }
  }
  return true;
}

void MqttClient::closeSession() {
  std::lock_guard lock(handleMutex_);
  if (mosq_) mosquitto_destroy(mosq_);
  mosq_ = nullptr;
  connected_ = false;
}

bool MqttClient::waitBackoff(std::chrono::milliseconds delay) {
  std::unique_lock lock(stateMutex_);
  return !wake_.wait_for(lock, delay, [this] { return stopping_; });
}

void MqttClient::run() {
  auto backoff = options_.reconnectMin;
  auto isStopping = [this] {
    std::lock_guard lock(stateMutex_);
    return stopping_;
  };

  while (!isStopping()) {
    report(MqttConnection::Connecting, {});
    connackCode_ = -1;
    if (!openSession()) {
      report(MqttConnection::Refused, "cannot set up the MQTT session (TLS CA file?)");
      if (!waitBackoff(backoff)) break;
      backoff = std::min(backoff * 2, options_.reconnectMax);
      continue;
    }
    // The session is ours alone until closeSession(): publish() only uses it once connected_.
    mosquitto* mosq = mosq_;
    int rc = mosquitto_connect_async(mosq, options_.host.c_str(), options_.port,
                                     options_.keepAliveSeconds);
    bool wasConnected = false;
    if (rc == MOSQ_ERR_SUCCESS) {
      const auto deadline = std::chrono::steady_clock::now() + options_.connectTimeout;
      while (!isStopping()) {
        rc = mosquitto_loop(mosq, kLoopSliceMs, 1);
        if (connected_) wasConnected = true;
        if (rc != MOSQ_ERR_SUCCESS) break;
        if (connackCode_ < 0 && std::chrono::steady_clock::now() > deadline) {
          rc = MOSQ_ERR_CONN_LOST;  // no answer: count it as unreachable
          break;
        }
      }
      if (isStopping() && connected_) {
        // Write what was published before stop(), then end the session cleanly (no last will).
        for (int pass = 0; pass < kFlushPasses && mosquitto_want_write(mosq); ++pass) {
          if (mosquitto_loop(mosq, kLoopSliceMs, 1) != MOSQ_ERR_SUCCESS) break;
        }
        mosquitto_disconnect(mosq);
        for (int pass = 0; pass < kFlushPasses; ++pass) {
          if (mosquitto_loop(mosq, kLoopSliceMs, 1) != MOSQ_ERR_SUCCESS) break;
        }
      }
    }
    const int connack = connackCode_;
    closeSession();
    if (isStopping()) break;

    if (wasConnected) {
      backoff = options_.reconnectMin;  // a connection that worked starts the back-off afresh
      report(MqttConnection::Lost, "connection to the broker lost");
    } else if (connack == kConnackBadCredentials || connack == kConnackNotAuthorised) {
      report(MqttConnection::NotAuthorised, mosquitto_connack_string(connack));
    } else if (connack > 0) {
      report(MqttConnection::Refused, mosquitto_connack_string(connack));
    } else {
      report(MqttConnection::Unreachable,
             rc == MOSQ_ERR_ERRNO ? "cannot reach the broker" : mosquitto_strerror(rc));
    }
    if (!waitBackoff(backoff)) break;
    if (!wasConnected) backoff = std::min(backoff * 2, options_.reconnectMax);
  }
  report(MqttConnection::Stopped, {});
}

void MqttClient::onConnectThunk(mosquitto* mosq, void* self, int rc) {
  auto* client = static_cast<MqttClient*>(self);
  client->connackCode_ = rc;
  if (rc != 0) return;  // the broker closes the connection; the loop reports the refusal
  std::vector<std::pair<std::string, int>> subscriptions;
  {
    std::lock_guard lock(client->subscriptionsMutex_);
    subscriptions = client->subscriptions_;
  }
  for (const auto& [pattern, qos] : subscriptions) {
    mosquitto_subscribe(mosq, nullptr, pattern.c_str(), qos);
  }
  client->connected_ = true;
  client->report(MqttConnection::Connected, {});
}

void MqttClient::onDisconnectThunk(mosquitto*, void* self, int) {
  static_cast<MqttClient*>(self)->connected_ = false;
}

void MqttClient::onPublishThunk(mosquitto*, void* self, int mid) {
  auto* client = static_cast<MqttClient*>(self);
  if (client->publishedHandler_) client->publishedHandler_(mid);
}

void MqttClient::onSubscribeThunk(mosquitto*, void* self, int, int, const int*) {
  auto* client = static_cast<MqttClient*>(self);
  if (client->subscribedHandler_) client->subscribedHandler_();
}

void MqttClient::onMessageThunk(mosquitto*, void* self, const mosquitto_message* message) {
  auto* client = static_cast<MqttClient*>(self);
  if (!client->messageHandler_ || !message->topic) return;
  MqttMessage m;
  m.topic = message->topic;
  if (message->payload && message->payloadlen > 0) {
    m.payload.assign(static_cast<const char*>(message->payload),
                     static_cast<std::size_t>(message->payloadlen));
  }
  m.qos = message->qos;
  m.retain = message->retain;
  client->messageHandler_(m);
}

}  // namespace korvex::fleet
