// The supervisor's table on hand-made messages: which row comes first, how long an alarm stays,
// when a time left can be told, and what happens to messages that are late, doubled or broken.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "fleet/viewer/fleet_table.h"

namespace korvex::fleet {
namespace {

using namespace std::chrono_literals;

const FleetClock::time_point kT0 = *parseUtcIsoTime("2026-12-09T02:00:00Z");

FleetState stateOf(const std::string& name, int runState, double progress, FleetClock::time_point at,
                   const std::string& program = "part.3b") {
    FleetState s;
    s.machine = name;
    s.program = program;
    s.run_state = runState;
    s.progress = progress;
    s.status = "Cutting...";
    s.time = utcIsoTime(at);
    return s;
}

FleetEvent eventOf(FleetEventKind kind, std::uint64_t seq, FleetClock::time_point at) {
    FleetEvent e;
    e.kind = kind;
    e.seq = seq;
    e.text = std::string(eventKindName(kind));
    e.time = utcIsoTime(at);
    return e;
}

struct Fixture {
    FleetTable table{"korvex", 5};
    FleetTable::Outcome state(const std::string& id, const FleetState& s) {
        return table.apply("korvex/" + id + "/state", toJsonText(s), kT0);
    }
    FleetTable::Outcome event(const std::string& id, const FleetEvent& e) {
        return table.apply("korvex/" + id + "/event", toJsonText(e), kT0);
    }
    FleetTable::Outcome online(const std::string& id, const char* value) {
        return table.apply("korvex/" + id + "/online", value, kT0);
    }
    std::vector<std::string> order() const {
        std::vector<std::string> ids;
        for (const Machine* m : table.rows()) ids.push_back(m->cardId);
        return ids;
    }
};

TEST(FleetTable, RunStatesMapToTheirUrgency) {
    const struct {
        int runState;
        Urgency urgency;
    } cases[] = {
        {0, Urgency::Idle},     {1, Urgency::Idle},     {2, Urgency::Paused},   {3, Urgency::Cutting},
        {4, Urgency::Cutting},  {5, Urgency::Cutting},  {6, Urgency::Cutting},  {7, Urgency::Cutting},
        {8, Urgency::Paused},   {9, Urgency::Paused},   {10, Urgency::Paused},  {11, Urgency::Idle},
        {12, Urgency::Cutting}, {13, Urgency::Idle},    {-1, Urgency::Idle},
    };
    for (const auto& c : cases) EXPECT_EQ(urgencyOfRunState(c.runState), c.urgency) << c.runState;
}

TEST(FleetTable, RowsAreOrderedAlarmPausedCuttingIdleOfflineThenByName) {
    Fixture f;
    f.state("0000000a", stateOf("Idle B", 1, 0, kT0));
    f.state("0000000b", stateOf("Cut", 3, 40, kT0));
    f.state("0000000c", stateOf("Gone", 3, 40, kT0));
    f.online("0000000c", "0");
    f.state("0000000d", stateOf("Paused", 2, 10, kT0));
    f.state("0000000e", stateOf("Broken", 3, 50, kT0));
    f.event("0000000e", eventOf(FleetEventKind::WireBreak, 1, kT0));
    f.state("0000000f", stateOf("Idle A", 11, 100, kT0));
    f.online("00000010", "1");  // online, no state yet: idle under its card id
    EXPECT_EQ(f.order(), (std::vector<std::string>{"0000000e", "0000000d", "0000000b", "00000010", "0000000f",
                                                   "0000000a", "0000000c"}));
    EXPECT_EQ(f.table.find("0000000c")->urgency(), Urgency::Offline);
    EXPECT_EQ(f.table.find("00000010")->displayName(), "00000010");
}

TEST(FleetTable, AnAlarmStaysUntilAcknowledgedWhateverFollows) {
    Fixture f;
    f.state("00000001", stateOf("M1", 3, 10, kT0));
    EXPECT_FALSE(f.table.acknowledge("00000001"));
    f.event("00000001", eventOf(FleetEventKind::Short, 1, kT0));
    f.event("00000001", eventOf(FleetEventKind::Recovery, 2, kT0 + 5s));
    f.state("00000001", stateOf("M1", 3, 11, kT0 + 6s));
    f.online("00000001", "0");
    EXPECT_EQ(f.table.find("00000001")->urgency(), Urgency::Alarm);
    EXPECT_EQ(f.table.alarmsRaised(), 1u);
    EXPECT_TRUE(f.table.acknowledge("00000001"));
    EXPECT_EQ(f.table.find("00000001")->urgency(), Urgency::Offline);
    EXPECT_FALSE(f.table.acknowledge("00000001"));
    EXPECT_FALSE(f.table.acknowledge("unknown"));

    // Milestones raise nothing; every alarm kind does.
    for (FleetEventKind kind : {FleetEventKind::Start, FleetEventKind::Pause, FleetEventKind::Finish,
                                FleetEventKind::GroupSwitch, FleetEventKind::Recovery})
        EXPECT_FALSE(isAlarmKind(kind)) << eventKindName(kind);
    std::uint64_t seq = 3;
    for (FleetEventKind kind : {FleetEventKind::Alarm, FleetEventKind::WireBreak, FleetEventKind::LinkLost}) {
        f.event("00000002", eventOf(kind, seq++, kT0));
        f.event("00000003", eventOf(kind, seq++, kT0));
    }
    EXPECT_EQ(f.table.acknowledgeAll(), 2);
    EXPECT_EQ(f.table.alarmsRaised(), 7u);
}

TEST(FleetTable, TimeLeftNeedsTwoStatesApartInProgress) {
    Fixture f;
    const std::string id = "00000001";
    f.state(id, stateOf("M1", 3, 10, kT0));
    EXPECT_FALSE(f.table.find(id)->timeLeft());
    f.state(id, stateOf("M1", 3, 10, kT0 + 30s));
    EXPECT_FALSE(f.table.find(id)->timeLeft());
    f.state(id, stateOf("M1", 3, 20, kT0 + 60s));
    ASSERT_TRUE(f.table.find(id)->timeLeft());
    EXPECT_EQ(f.table.find(id)->timeLeft()->count(), 480);  // 10 % a minute, 80 % to go

    // Paused: no estimate; cutting again starts a new window.
    f.state(id, stateOf("M1", 2, 20, kT0 + 90s));
    EXPECT_FALSE(f.table.find(id)->timeLeft());
    f.state(id, stateOf("M1", 3, 20, kT0 + 120s));
    EXPECT_FALSE(f.table.find(id)->timeLeft());
    f.state(id, stateOf("M1", 3, 30, kT0 + 140s));
    EXPECT_EQ(f.table.find(id)->timeLeft()->count(), 140);

    // A new program, or progress going back, forgets the old rate.
    f.state(id, stateOf("M1", 3, 5, kT0 + 150s));
    EXPECT_FALSE(f.table.find(id)->timeLeft());
    f.state(id, stateOf("M1", 3, 10, kT0 + 160s, "other.3b"));
    EXPECT_FALSE(f.table.find(id)->timeLeft());
}

TEST(FleetTable, TimeLeftFollowsTheRecentRateOnly) {
    Fixture f;
    const std::string id = "00000001";
    // Slow for an hour, then ten times faster for twenty minutes: the window sees the fast part.
    for (int minute = 0; minute <= 60; ++minute)
        f.state(id, stateOf("M1", 3, minute * 0.5, kT0 + std::chrono::minutes(minute)));
    for (int minute = 1; minute <= 20; ++minute)
        f.state(id, stateOf("M1", 3, 30 + minute * 2.0, kT0 + std::chrono::minutes(60 + minute)));
    const auto left = f.table.find(id)->timeLeft();
    ASSERT_TRUE(left);
    EXPECT_EQ(left->count(), 30 * 30);  // 30 % left at 2 % a minute
}

TEST(FleetTable, EventsKeepTheirOrderAndDropLateOrDoubledOnes) {
    Fixture f;  // keeps 5 events per machine
    const std::string id = "00000001";
    for (std::uint64_t seq : {1, 2, 2, 3, 1, 4}) f.event(id, eventOf(FleetEventKind::GroupSwitch, seq, kT0));
    EXPECT_EQ(f.table.outOfOrder(), 2u);
    for (std::uint64_t seq = 5; seq <= 8; ++seq) f.event(id, eventOf(FleetEventKind::Start, seq, kT0));
    const Machine* m = f.table.find(id);
    ASSERT_EQ(m->events.size(), 5u);
    for (std::size_t i = 0; i < m->events.size(); ++i) EXPECT_EQ(m->events[i].event.seq, 4 + i);
    EXPECT_EQ(m->lastEvent()->event.seq, 8u);

    // The controller started again: its numbering starts again once it is online again.
    f.online(id, "0");
    EXPECT_EQ(f.event(id, eventOf(FleetEventKind::Start, 1, kT0)), FleetTable::Outcome::OutOfOrder);
    f.online(id, "1");
    EXPECT_EQ(f.event(id, eventOf(FleetEventKind::Start, 1, kT0)), FleetTable::Outcome::Applied);
}

TEST(FleetTable, TheNewestStateWinsAndAClockSetBackOnlyRestartsTheRate) {
    Fixture f;
    const std::string id = "00000001";
    f.state(id, stateOf("M1", 3, 50, kT0 + 1h));
    f.state(id, stateOf("M1", 3, 60, kT0 + 1h + 60s));
    ASSERT_TRUE(f.table.find(id)->timeLeft());
    // The machine's clock is corrected by an hour.
    EXPECT_EQ(f.state(id, stateOf("M1", 3, 61, kT0 + 61s)), FleetTable::Outcome::Applied);
    EXPECT_EQ(f.table.find(id)->state->progress, 61);
    EXPECT_FALSE(f.table.find(id)->timeLeft());
    f.state(id, stateOf("M1", 3, 62, kT0 + 67s));
    EXPECT_EQ(f.table.find(id)->timeLeft()->count(), 38 * 6);
}

TEST(FleetTable, BrokenMessagesAreCountedAndChangeNothing) {
    Fixture f;
    const struct {
        const char* topic;
        const char* payload;
        FleetTable::Outcome outcome;
    } cases[] = {
        {"korvex/00000001/state", "{not json", FleetTable::Outcome::Malformed},
        {"korvex/00000001/state", "[1,2]", FleetTable::Outcome::Malformed},
        {"korvex/00000001/state", "{\"progress\":\"half\"}", FleetTable::Outcome::Malformed},
        {"korvex/00000001/event", "{\"kind\":\"explode\",\"seq\":1}", FleetTable::Outcome::Malformed},
        {"korvex/00000001/event", "", FleetTable::Outcome::Malformed},
        {"korvex/00000001/online", "yes", FleetTable::Outcome::Malformed},
        {"korvex/00000001/command", "1", FleetTable::Outcome::NotOurs},
        {"other/00000001/state", "{}", FleetTable::Outcome::NotOurs},
        {"korvex//state", "{}", FleetTable::Outcome::NotOurs},
        {"korvex/state", "{}", FleetTable::Outcome::NotOurs},
    };
    for (const auto& c : cases)
        EXPECT_EQ(f.table.apply(c.topic, c.payload, kT0), c.outcome) << c.topic << " " << c.payload;
    EXPECT_EQ(f.table.size(), 0u);
    EXPECT_EQ(f.table.malformed(), 6u);
    EXPECT_EQ(f.table.notOurs(), 4u);
    EXPECT_EQ(f.table.applied(), 0u);
}

TEST(FleetTable, JsonListsEveryMachineWithItsProgressAndLastEvent) {
    Fixture f;
    f.state("00000001", stateOf("M1", 3, 10, kT0));
    f.state("00000001", stateOf("M1", 3, 20, kT0 + 60s));
    f.event("00000001", eventOf(FleetEventKind::Start, 1, kT0));
    f.online("00000002", "0");
    const nlohmann::json json = f.table.toJson(kT0 + 90s);
    ASSERT_EQ(json["machines"].size(), 2u);
    const nlohmann::json& m1 = json["machines"][0];
    EXPECT_EQ(m1["card_id"], "00000001");
    EXPECT_EQ(m1["name"], "M1");
    EXPECT_EQ(m1["urgency"], "cutting");
    EXPECT_EQ(m1["progress"], 20.0);
    EXPECT_EQ(m1["seconds_left"], 480);
    EXPECT_EQ(m1["last_event"]["kind"], "start");
    EXPECT_EQ(m1["last_event"]["age_seconds"], 90);
    EXPECT_EQ(json["machines"][1]["urgency"], "offline");
    EXPECT_TRUE(json["machines"][1]["progress"].is_null());
}

}  // namespace
}  // namespace korvex::fleet
