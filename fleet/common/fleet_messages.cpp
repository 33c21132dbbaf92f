#include "fleet/common/fleet_messages.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <utility>

#include <nlohmann/json.hpp>

namespace korvex::fleet {

using nlohmann::json;

namespace {

constexpr std::array<std::pair<FleetEventKind, std::string_view>, 9> kEventKindNames{{
    {FleetEventKind::Start, "start"},
    {FleetEventKind::Pause, "pause"},
    {FleetEventKind::Finish, "finish"},
    {FleetEventKind::Short, "short"},
    {FleetEventKind::WireBreak, "wire_break"},
    {FleetEventKind::LinkLost, "link_lost"},
    {FleetEventKind::GroupSwitch, "group_switch"},
    {FleetEventKind::Recovery, "recovery"},
    {FleetEventKind::Alarm, "alarm"},
}};

// Reads one optional key into `out`. A key of another type makes the whole message unusable:
// a viewer must not show a half-understood state as if it were whole.
template <typename T>
bool readKey(const json& object, const char* key, T& out) {
  const auto it = object.find(key);
  if (it == object.end() || it->is_null()) return true;
  if constexpr (std::is_same_v<T, bool>) {
    if (!it->is_boolean()) return false;
    out = it->template get<bool>();
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (!it->is_string()) return false;
    out = it->template get<std::string>();
  } else if constexpr (std::is_floating_point_v<T>) {
    if (!it->is_number()) return false;
    out = it->template get<T>();
  } else {
    if (!it->is_number_integer()) return false;
    out = it->template get<T>();
  }
  return true;
}

std::optional<json> parseObject(std::string_view text) {
  json parsed = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded() || !parsed.is_object()) return std::nullopt;
  return parsed;
}

}  // namespace

std::string_view eventKindName(FleetEventKind kind) {
  for (const auto& [k, name] : kEventKindNames) {
    if (k == kind) return name;
  }
  return "alarm";
}

std::optional<FleetEventKind> eventKindFromName(std::string_view name) {
  for (const auto& [k, n] : kEventKindNames) {
    if (n == name) return k;
  }
  return std::nullopt;
}

json toJson(const FleetState& s) {
  return json{
      {"machine", s.machine},
      {"port", s.port},
      {"program", s.program},
      {"program_kind", s.program_kind},
      {"run_state", s.run_state},
      {"sub_state", s.sub_state},
      {"status", s.status},
      {"segment", s.segment},
      {"segments", s.segments},
      {"over_steps", s.over_steps},
      {"total_steps", s.total_steps},
      {"progress", s.progress},
      {"x", s.x},
      {"y", s.y},
      {"u", s.u},
      {"v", s.v},
      {"feed", s.feed},
      {"group", s.group},
      {"used_seconds", s.used_seconds},
      {"loop", s.loop},
      {"loops", s.loops},
      {"hf", s.hf},
      {"motor", s.motor},
      {"time", s.time},
  };
}

json toJson(const FleetEvent& e) {
  return json{
      {"kind", std::string(eventKindName(e.kind))},
      {"text_id", e.text_id},
      {"text", e.text},
      {"segment", e.segment},
      {"time", e.time},
      {"seq", e.seq},
  };
}

// Texts come from files and the card; a byte sequence that is not UTF-8 is replaced rather than
// making the whole message fail to serialise.
std::string toJsonText(const FleetState& state) {
  return toJson(state).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string toJsonText(const FleetEvent& event) {
  return toJson(event).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::optional<FleetState> stateFromJson(std::string_view text) {
  const auto object = parseObject(text);
  if (!object) return std::nullopt;
  const json& o = *object;
  FleetState s;
  const bool ok = readKey(o, "machine", s.machine) && readKey(o, "port", s.port) &&
                  readKey(o, "program", s.program) && readKey(o, "program_kind", s.program_kind) &&
                  readKey(o, "run_state", s.run_state) && readKey(o, "sub_state", s.sub_state) &&
                  readKey(o, "status", s.status) && readKey(o, "segment", s.segment) &&
                  readKey(o, "segments", s.segments) && readKey(o, "over_steps", s.over_steps) &&
                  readKey(o, "total_steps", s.total_steps) && readKey(o, "progress", s.progress) &&
                  readKey(o, "x", s.x) && readKey(o, "y", s.y) && readKey(o, "u", s.u) &&
                  readKey(o, "v", s.v) && readKey(o, "feed", s.feed) &&
                  readKey(o, "group", s.group) && readKey(o, "used_seconds", s.used_seconds) &&
                  readKey(o, "loop", s.loop) && readKey(o, "loops", s.loops) &&
                  readKey(o, "hf", s.hf) && readKey(o, "motor", s.motor) &&
                  readKey(o, "time", s.time);
  if (!ok) return std::nullopt;
  return s;
}

std::optional<FleetEvent> eventFromJson(std::string_view text) {
  const auto object = parseObject(text);
  if (!object) return std::nullopt;
  const json& o = *object;
  FleetEvent e;
  std::string kind;
  if (!readKey(o, "kind", kind)) return std::nullopt;
  const auto parsedKind = eventKindFromName(kind);
  if (!parsedKind) return std::nullopt;  // a viewer cannot rank an event it does not know
  e.kind = *parsedKind;
  const bool ok = readKey(o, "text_id", e.text_id) && readKey(o, "text", e.text) &&
                  readKey(o, "segment", e.segment) && readKey(o, "time", e.time) &&
                  readKey(o, "seq", e.seq);
  if (!ok) return std::nullopt;
  return e;
}

std::string utcIsoTime(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return std::string(text, length);
}

std::optional<std::chrono::system_clock::time_point> parseUtcIsoTime(std::string_view text) {
  // Exactly "YYYY-MM-DDTHH:MM:SSZ".
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
      text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
    return std::nullopt;
  }
  auto number = [&](std::size_t at, std::size_t len, int& out) {
    const char* first = text.data() + at;
    const auto [end, ec] = std::from_chars(first, first + len, out);
    return ec == std::errc{} && end == first + len;
  };
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!number(0, 4, year) || !number(5, 2, month) || !number(8, 2, day) ||
      !number(11, 2, hour) || !number(14, 2, minute) || !number(17, 2, second)) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || hour > 23 || minute > 59 || second > 60) return std::nullopt;
  return std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
         std::chrono::seconds{second};
}

std::string_view topicLeaf(FleetTopic topic) {
  switch (topic) {
    case FleetTopic::Online: return "online";
    case FleetTopic::State: return "state";
    case FleetTopic::Event: return "event";
  }
  return "state";
}

std::string cardIdText(std::uint32_t cardId) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", cardId);
  return text;
}

std::string fleetTopic(std::string_view prefix, std::string_view cardId, FleetTopic topic) {
  std::string t;
  t.reserve(prefix.size() + cardId.size() + 10);
  t.append(prefix).append("/").append(cardId).append("/").append(topicLeaf(topic));
  return t;
}

std::string fleetWildcard(std::string_view prefix, FleetTopic topic) {
  return fleetTopic(prefix, "+", topic);
}

std::optional<ParsedTopic> parseFleetTopic(std::string_view prefix, std::string_view topic) {
  if (topic.size() <= prefix.size() + 1 || topic.substr(0, prefix.size()) != prefix ||
      topic[prefix.size()] != '/') {
    return std::nullopt;
  }
  const std::string_view rest = topic.substr(prefix.size() + 1);
  const auto slash = rest.find('/');
  if (slash == std::string_view::npos || slash == 0) return std::nullopt;
  const std::string_view id = rest.substr(0, slash);
  const std::string_view leaf = rest.substr(slash + 1);
  for (FleetTopic t : {FleetTopic::Online, FleetTopic::State, FleetTopic::Event}) {
    if (leaf == topicLeaf(t)) return ParsedTopic{std::string(id), t};
  }
  return std::nullopt;
}

bool isValidTopicPrefix(std::string_view prefix) {
  if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/') return false;
  return prefix.find_first_of(std::string_view("+#\0", 3)) == std::string_view::npos;
}

std::optional<BrokerAddress> parseBrokerUrl(std::string_view url) {
  BrokerAddress address;
  constexpr std::string_view kPlain = "mqtt://";
  constexpr std::string_view kTls = "mqtts://";
  if (url.starts_with(kTls)) {
    address.tls = true;
    address.port = kDefaultMqttTlsPort;
    url.remove_prefix(kTls.size());
  } else if (url.starts_with(kPlain)) {
    url.remove_prefix(kPlain.size());
  } else {
    return std::nullopt;
  }
  if (!url.empty() && url.back() == '/') url.remove_suffix(1);  // "mqtt://host/" is common
  if (url.empty() || url.find_first_of("/@?# \t") != std::string_view::npos) return std::nullopt;

  std::string_view host;
  std::string_view portText;
  if (url.front() == '[') {
    const auto close = url.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    host = url.substr(1, close - 1);
    const std::string_view after = url.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      portText = after.substr(1);
      if (portText.empty()) return std::nullopt;
    }
  } else {
    const auto colon = url.find(':');
    host = url.substr(0, colon);
    if (colon != std::string_view::npos) {
      portText = url.substr(colon + 1);
      if (portText.empty()) return std::nullopt;
    }
  }
  if (host.empty()) return std::nullopt;
  if (!portText.empty()) {
    int port = 0;
    const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (ec != std::errc{} || end != portText.data() + portText.size() || port < 1 || port > 65535) {
      return std::nullopt;
    }
    address.port = port;
  }
  address.host = std::string(host);
  return address;
}

}  // namespace korvex::fleet
