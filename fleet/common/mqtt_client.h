// A small owner of one MQTT connection over libmosquitto, with its own network thread.
//
// The network thread connects, keeps the connection alive, and after a refusal or a lost
// connection waits a back-off time (doubling from reconnectMin to reconnectMax, back to the
// minimum after a connection that worked) before it tries again. Every attempt starts from a
// fresh library session: messages handed over before a connection broke are not resent by the
// library, so the owner decides what to send again (the fleet publisher resends the events that
// were not acknowledged, in their order).
//
//   owner thread             network thread                     broker
//   start() ─────────────▶   connect ──────────────────────────▶  CONNECT
//                            ◀──────────────────────────────────  CONNACK
//   ◀── Connected ───────    (subscriptions made again)
//   publish() ─ queued ──▶   write ────────────────────────────▶  PUBLISH
//   ◀── published(mid) ──    ◀──────────────────────────────────  PUBACK (QoS 1)
//                            connection lost
//   ◀── Lost ────────────    wait back-off, connect again
//
// The handlers run on the network thread; they must be set before start() and must not call
// stop() or destroy the client. Publishing and subscribing are safe from any thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace korvex::fleet {

struct MqttMessage {
  std::string topic;
  std::string payload;
  int qos = 0;
  bool retain = false;
};

struct MqttOptions {
  std::string host = "localhost";
  int port = 1883;
  std::string clientId;  // empty: the broker gives one (then the session is always clean)
  // false (with a clientId): the broker keeps our subscriptions and QoS 1 messages while we are
  // away, so a listener misses nothing across its own reconnect.
  bool cleanSession = true;
  bool tls = false;
  std::string caFile;    // with tls: the CA certificate; empty uses the system's CA folder
  std::string user;      // empty: anonymous
  std::string passwordFile;  // its first line is the password; the password never sits in a setting
  int keepAliveSeconds = 30;
  std::optional<MqttMessage> will;
  std::chrono::milliseconds reconnectMin{1000};
  std::chrono::milliseconds reconnectMax{60000};
  // An attempt that has no answer from the broker after this long counts as failed.
  std::chrono::milliseconds connectTimeout{10000};
};

enum class MqttConnection {
  Connecting,     // an attempt is under way
  Connected,      // the broker accepted us
  NotAuthorised,  // the broker refused our name or password (or we may not connect)
  Refused,        // the broker refused for another reason (protocol, identifier, unavailable)
  Unreachable,    // no connection could be made, or it timed out
  Lost,           // a working connection broke
  Stopped,        // stop() ended the connection
};

class MqttClient {
 public:
  using MessageHandler = std::function<void(const MqttMessage&)>;
  // state and, for failures, a short English reason for logs and diagnostics.
  using ConnectionHandler = std::function<void(MqttConnection state, const std::string& reason)>;
  using PublishedHandler = std::function<void(int messageId)>;

  explicit MqttClient(MqttOptions options);
  ~MqttClient();
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  void onMessage(MessageHandler handler);
  void onConnection(ConnectionHandler handler);
  // Called when the broker acknowledged a QoS 1 message (or a QoS 0 message left the PC).
  void onPublished(PublishedHandler handler);
  // Called when the broker confirmed a subscription (after every connect, for each one).
  void onSubscribed(std::function<void()> handler);

  // Starts the network thread. Returns 0, or -1 when the options cannot work (the password file
  // cannot be read, the client cannot be created); lastError() then says why.
  int start();
  // Ends the connection cleanly (no last will) after writing what was already published, and
  // joins the network thread. Waits at most about a second for the broker.
  void stop();

  // Hands a message to the connection. Returns 0 and sets *messageId, or -1 when there is no
  // connection (nothing is kept) or the message is refused (too large, bad topic).
  int publish(const MqttMessage& message, int* messageId = nullptr);
  // Subscriptions are remembered and made again after every reconnect.
  int subscribe(const std::string& pattern, int qos);

  bool connected() const;
  std::string lastError() const;

 private:
  void run();
  bool openSession();  // a fresh library session for one attempt
  void closeSession();
  void report(MqttConnection state, const std::string& reason);
  void setError(const std::string& reason);
  bool waitBackoff(std::chrono::milliseconds delay);

  static void onConnectThunk(mosquitto*, void* self, int rc);
  static void onDisconnectThunk(mosquitto*, void* self, int rc);
  static void onPublishThunk(mosquitto*, void* self, int mid);
  static void onSubscribeThunk(mosquitto*, void* self, int mid, int count, const int* granted);
  static void onMessageThunk(mosquitto*, void* self, const mosquitto_message* message);

  const MqttOptions options_;
  std::string password_;
  MessageHandler messageHandler_;
  ConnectionHandler connectionHandler_;
  PublishedHandler publishedHandler_;
  std::function<void()> subscribedHandler_;

  // Lock order: none is held while another is taken, except that handleMutex_ is held around
  // library calls (which take the library's own locks); the library's callbacks never take
  // handleMutex_ or stateMutex_.
  mutable std::mutex handleMutex_;  // the library session's lifetime
  mosquitto* mosq_ = nullptr;
  std::mutex stateMutex_;           // start/stop and the back-off wait
  std::condition_variable wake_;
  bool running_ = false;
  bool stopping_ = false;
  std::atomic<bool> connected_{false};
  std::atomic<int> connackCode_{-1};  // the broker's answer to this attempt, -1 none yet
  mutable std::mutex subscriptionsMutex_;
  std::vector<std::pair<std::string, int>> subscriptions_;
  mutable std::mutex errorMutex_;
  std::string lastError_;
  std::thread thread_;
};

}  // namespace korvex::fleet
