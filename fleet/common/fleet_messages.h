// What a controller tells the shop floor, and where: the JSON of the machine's state and events,
// the topic names, and the broker address the operator types.
//
// Topics, under a prefix ("korvex" unless the settings say otherwise) and the card identifier
// written as in the per-card settings file name (eight lower-case hex digits):
//
//   <prefix>/<card id>/online   "1" retained while the controller is connected, "0" as last will
//   <prefix>/<card id>/state    FleetState JSON, retained: the latest picture of the machine
//   <prefix>/<card id>/event    FleetEvent JSON, QoS 1, not retained: one per alarm or milestone
//
// Nothing here is a command: the fleet topics only describe machines, no message moves one.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace korvex::fleet {

inline constexpr std::string_view kDefaultTopicPrefix = "korvex";
inline constexpr int kDefaultMqttPort = 1883;
inline constexpr int kDefaultMqttTlsPort = 8883;

// The latest picture of one machine. Positions and step counters are the card's steps, as the
// status panel shows them.
struct FleetState {
  std::string machine;  // machine name from the settings
  int port = 0;         // serial port number the card is on ("COM%d")
  std::string program;  // program title (file name of the loaded program)
  int program_kind = 0; // detected program kind (1 ISO, 2 3B, ...; 0 none loaded)
  int run_state = 0;    // the card's work state and sub-state as last read
  int sub_state = 0;
  std::string status;   // the status text in English ("Cutting...", "Finished", ...)
  int segment = 0;      // current segment and number of segments of the program
  int segments = 0;
  std::int64_t over_steps = 0;
  std::int64_t total_steps = 0;
  double progress = 0;  // percent of the work range, 0 to 100
  std::int32_t x = 0, y = 0, u = 0, v = 0;
  double feed = 0;      // the speed-adjust value as the status panel shows it (V.F.)
  int group = 0;        // current pulse group
  std::int64_t used_seconds = 0;
  int loop = 0;         // current loop and loop count
  int loops = 0;
  bool hf = false;
  bool motor = false;
  std::string time;     // UTC, "YYYY-MM-DDTHH:MM:SSZ"

  bool operator==(const FleetState&) const = default;
};

enum class FleetEventKind {
  Start,
  Pause,
  Finish,
  Short,
  WireBreak,
  LinkLost,
  GroupSwitch,
  Recovery,
  Alarm,
};

// One alarm or milestone. seq counts up per publisher from 1 so a viewer sees gaps and order.
struct FleetEvent {
  FleetEventKind kind = FleetEventKind::Alarm;
  std::string text_id;  // the string-table identifier of the text, e.g. "61494"
  std::string text;     // its English text
  int segment = 0;
  std::string time;     // UTC, "YYYY-MM-DDTHH:MM:SSZ"
  std::uint64_t seq = 0;

  bool operator==(const FleetEvent&) const = default;
};

std::string_view eventKindName(FleetEventKind kind);
std::optional<FleetEventKind> eventKindFromName(std::string_view name);

nlohmann::json toJson(const FleetState& state);
nlohmann::json toJson(const FleetEvent& event);
std::string toJsonText(const FleetState& state);
std::string toJsonText(const FleetEvent& event);

// Parse a received payload. Missing keys keep their defaults (an older publisher may send fewer);
// a key of the wrong type or text that is not a JSON object gives nullopt. Never throws.
std::optional<FleetState> stateFromJson(std::string_view text);
std::optional<FleetEvent> eventFromJson(std::string_view text);

// "YYYY-MM-DDTHH:MM:SSZ" for the given instant (UTC).
std::string utcIsoTime(std::chrono::system_clock::time_point when);
// The instant of such a text, or nullopt when it is not one.
std::optional<std::chrono::system_clock::time_point> parseUtcIsoTime(std::string_view text);

// --- Topics ---------------------------------------------------------------------------------

enum class FleetTopic { Online, State, Event };

std::string_view topicLeaf(FleetTopic topic);   // "online", "state", "event"
std::string cardIdText(std::uint32_t cardId);   // "%08x"
std::string fleetTopic(std::string_view prefix, std::string_view cardId, FleetTopic topic);
// The subscription pattern for one kind of topic of every machine: "<prefix>/+/state".
std::string fleetWildcard(std::string_view prefix, FleetTopic topic);

struct ParsedTopic {
  std::string cardId;
  FleetTopic topic;
};
// Split "<prefix>/<card id>/<leaf>"; nullopt for any other topic.
std::optional<ParsedTopic> parseFleetTopic(std::string_view prefix, std::string_view topic);

// A topic prefix is usable when it is not empty, holds no wildcard, no NUL and does not start
// or end with '/'.
bool isValidTopicPrefix(std::string_view prefix);

// --- Broker address ---------------------------------------------------------------------------

struct BrokerAddress {
  std::string host;
  int port = kDefaultMqttPort;
  bool tls = false;

  bool operator==(const BrokerAddress&) const = default;
};

// "mqtt://host[:port]" or "mqtts://host[:port]" (port 1883 or 8883 when left out; an IPv6 host
// in brackets). nullopt for anything else, including a path, user info or a port outside 1-65535.
std::optional<BrokerAddress> parseBrokerUrl(std::string_view url);

}  // namespace korvex::fleet
