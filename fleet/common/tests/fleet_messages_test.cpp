#include "fleet/common/fleet_messages.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace korvex::fleet {
namespace {

FleetState sampleState() {
  FleetState s;
  s.machine = "Line 3";
  s.port = 2;
  s.program = "die-plate.3b";
  s.program_kind = 2;
  s.run_state = 3;
  s.sub_state = 3;
  s.status = "Cutting...";
  s.segment = 41;
  s.segments = 120;
  s.over_steps = 5'000'000'000;  // beyond 32 bits: a long multi-pass work
  s.total_steps = 9'000'000'000;
  s.progress = 33.5;
  s.x = -12345;
  s.y = 678;
  s.u = 0;
  s.v = -1;
  s.feed = 75.5;
  s.group = 4;
  s.used_seconds = 3723;
  s.loop = 1;
  s.loops = 3;
  s.hf = true;
  s.motor = true;
  s.time = "2026-12-09T03:04:05Z";
  return s;
}

TEST(FleetMessages, StateKeepsEveryFieldThroughJson) {
  const FleetState s = sampleState();
  const auto back = stateFromJson(toJsonText(s));
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, s);
}

TEST(FleetMessages, StateUsesTheAgreedKeysAndNoOthers) {
  const auto object = toJson(sampleState());
  const std::vector<std::string> keys{
      "machine", "port", "program", "program_kind", "run_state", "sub_state", "status",
      "segment", "segments", "over_steps", "total_steps", "progress", "x", "y", "u", "v", "feed",
      "group", "used_seconds", "loop", "loops", "hf", "motor", "time"};
  EXPECT_EQ(object.size(), keys.size());
  for (const auto& key : keys) EXPECT_TRUE(object.contains(key)) << key;
  EXPECT_TRUE(object["hf"].is_boolean());
  EXPECT_TRUE(object["progress"].is_number());
}

TEST(FleetMessages, EventKeepsEveryFieldAndEveryKindThroughJson) {
  for (FleetEventKind kind :
       {FleetEventKind::Start, FleetEventKind::Pause, FleetEventKind::Finish,
        FleetEventKind::Short, FleetEventKind::WireBreak, FleetEventKind::LinkLost,
        FleetEventKind::GroupSwitch, FleetEventKind::Recovery, FleetEventKind::Alarm}) {
    FleetEvent e{kind, "61494", "Cutting...", 17, "2026-12-09T03:04:05Z", 42};
    const auto back = eventFromJson(toJsonText(e));
    ASSERT_TRUE(back) << eventKindName(kind);
    EXPECT_EQ(*back, e);
  }
  EXPECT_EQ(eventKindName(FleetEventKind::WireBreak), "wire_break");
  EXPECT_EQ(toJson(FleetEvent{}).size(), 6u);
}

TEST(FleetMessages, ReceivedTextThatIsNotAUsableMessageIsRefusedWithoutThrowing) {
  const char* bad[] = {"", "not json", "[1,2]", "{\"segment\": \"twelve\"}", "{\"hf\": 1}",
                       "{\"machine\": 5}", "{\"x\": 1.5}", "{\"truncated\": "};
  for (const char* text : bad) EXPECT_FALSE(stateFromJson(text)) << text;
  EXPECT_FALSE(eventFromJson("{\"kind\": \"explosion\"}"));
  EXPECT_FALSE(eventFromJson("{\"kind\": \"finish\", \"seq\": \"1\"}"));
  EXPECT_FALSE(eventFromJson("{}"));  // an event without a kind cannot be ranked
}

TEST(FleetMessages, MissingKeysKeepDefaultsSoAnOlderPublisherIsStillShown) {
  const auto s = stateFromJson(R"({"machine": "M1", "segment": 3, "extra": [1]})");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->machine, "M1");
  EXPECT_EQ(s->segment, 3);
  EXPECT_EQ(s->segments, 0);
  EXPECT_FALSE(s->hf);
}

TEST(FleetMessages, TextThatIsNotUtf8StillSerialises) {
  FleetState s;
  s.program = "\xb9\xa4\xbc\xfe.3b";  // a GBK file name
  const std::string text = toJsonText(s);
  const auto back = stateFromJson(text);
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->program.empty());
}

TEST(FleetMessages, TimeIsUtcIsoAndReadsBack) {
  using namespace std::chrono;
  const sys_seconds when = sys_days{2026y / December / 9} + 3h + 4min + 5s;
  EXPECT_EQ(utcIsoTime(when), "2026-12-09T03:04:05Z");
  EXPECT_EQ(parseUtcIsoTime("2026-12-09T03:04:05Z"), when);
  for (const char* bad : {"2026-12-09 03:04:05Z", "2026-13-09T03:04:05Z", "2026-02-30T00:00:00Z",
                          "2026-12-09T03:04:05", "2026-12-09T3:04:05Z", ""}) {
    EXPECT_FALSE(parseUtcIsoTime(bad)) << bad;
  }
}

TEST(FleetTopics, NamesAndParsesTheThreeTopics) {
  EXPECT_EQ(cardIdText(0x0a1b2c3d), "0a1b2c3d");
  EXPECT_EQ(fleetTopic("korvex", "0a1b2c3d", FleetTopic::Online), "korvex/0a1b2c3d/online");
  EXPECT_EQ(fleetTopic("shop/hall2", "0a1b2c3d", FleetTopic::State), "shop/hall2/0a1b2c3d/state");
  EXPECT_EQ(fleetWildcard("korvex", FleetTopic::Event), "korvex/+/event");

  const auto parsed = parseFleetTopic("shop/hall2", "shop/hall2/0a1b2c3d/event");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->cardId, "0a1b2c3d");
  EXPECT_EQ(parsed->topic, FleetTopic::Event);
  for (const char* other : {"korvex/0a1b2c3d/command", "korvex//state", "korvexx/1/state",
                            "korvex/1/state/more", "other/1/state", "korvex"}) {
    EXPECT_FALSE(parseFleetTopic("korvex", other)) << other;
  }
}

TEST(FleetTopics, PrefixMustNotHoldWildcardsOrOuterSlashes) {
  EXPECT_TRUE(isValidTopicPrefix("korvex"));
  EXPECT_TRUE(isValidTopicPrefix("plant/hall-2"));
  for (const char* bad : {"", "/korvex", "korvex/", "kor+vex", "#"}) {
    EXPECT_FALSE(isValidTopicPrefix(bad)) << bad;
  }
}

TEST(BrokerUrl, ReadsSchemeHostAndPort) {
  struct Case {
    const char* url;
    BrokerAddress expected;
  };
  const Case cases[] = {
      {"mqtt://broker.local", {"broker.local", 1883, false}},
      {"mqtts://broker.local", {"broker.local", 8883, true}},
      {"mqtt://10.0.0.5:1884", {"10.0.0.5", 1884, false}},
      {"mqtts://10.0.0.5:443/", {"10.0.0.5", 443, true}},
      {"mqtt://[fe80::1]:1999", {"fe80::1", 1999, false}},
      {"mqtts://[::1]", {"::1", 8883, true}},
  };
  for (const auto& c : cases) {
    const auto parsed = parseBrokerUrl(c.url);
    ASSERT_TRUE(parsed) << c.url;
    EXPECT_EQ(*parsed, c.expected) << c.url;
  }
}

TEST(BrokerUrl, RefusesWhatIsNotABrokerAddress) {
  for (const char* bad :
       {"", "broker.local", "http://broker", "mqtt://", "mqtt://:1883", "mqtt://host:",
        "mqtt://host:0", "mqtt://host:65536", "mqtt://host:12ab", "mqtt://user@host",
        "mqtt://host/path", "mqtt://[::1", "mqtt://[::1]x", "mqtt://ho st", "MQTT://host"}) {
    EXPECT_FALSE(parseBrokerUrl(bad)) << bad;
  }
}

}  // namespace
}  // namespace korvex::fleet
