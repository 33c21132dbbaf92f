#include "controller/fleet/fleet_publisher.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <thread>
#include <sstream>

#include "fleet/common/tests/broker_fixture.h"
#include "fleet/common/tests/mqtt_probe.h"

namespace korvex::fleet {
namespace {

using testing::MqttProbe;
using testing::TestBroker;
using testing::TestBrokerOptions;

constexpr const char* kCard = "0a1b2c3d";
constexpr auto kWait = std::chrono::seconds(15);

FleetPublisherConfig configFor(const TestBroker& broker) {
  FleetPublisherConfig c;
  c.broker = {broker.host(), broker.port(), false};
  c.cardId = kCard;
  c.reconnectMin = std::chrono::milliseconds(50);
  c.reconnectMax = std::chrono::milliseconds(200);
  return c;
}

MqttOptions listenerFor(const TestBroker& broker) {
  MqttOptions o;
  o.host = broker.host();
  o.port = broker.port();
  return o;
}

std::vector<FleetEvent> eventsIn(const std::vector<MqttMessage>& messages) {
  std::vector<FleetEvent> events;
  for (const auto& m : messages) {
    if (m.topic != "korvex/0a1b2c3d/event") continue;
    if (auto e = eventFromJson(m.payload)) events.push_back(*e);
  }
  return events;
}

// A viewer drops a seq it has already seen (a resend after a lost acknowledgement).
std::vector<std::uint64_t> distinctSeqs(const std::vector<FleetEvent>& events) {
  std::vector<std::uint64_t> seqs;
  for (const auto& e : events) {
    if (seqs.empty() || e.seq > seqs.back()) seqs.push_back(e.seq);
  }
  return seqs;
}

class FleetPublisherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestBroker::available()) GTEST_SKIP() << TestBroker::missingMessage();
  }
};

TEST_F(FleetPublisherTest, ConnectsOnlineAndSendsStateAndEventsInOrder) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttProbe viewer(listenerFor(broker));
  ASSERT_TRUE(viewer.listen({"korvex/#"}));

  FleetPublisher publisher(configFor(broker));
  ASSERT_EQ(publisher.start(), 0);
  FleetState s;
  s.machine = "M1";
  s.segment = 3;
  publisher.publishState(s, true);
  publisher.publishEvent(FleetEventKind::Start, "61494", "Cutting...", 3);
  publisher.publishEvent(FleetEventKind::Finish, "61622", "Finished", 9);

  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) { return eventsIn(m).size() == 2; }, kWait));
  const auto events = eventsIn(viewer.messages());
  EXPECT_EQ(events[0].kind, FleetEventKind::Start);
  EXPECT_EQ(events[1].kind, FleetEventKind::Finish);
  EXPECT_EQ(events[1].text, "Finished");
  EXPECT_LT(events[0].seq, events[1].seq);
  EXPECT_TRUE(parseUtcIsoTime(events[0].time));

  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) {
    for (const auto& x : m)
      if (x.topic == "korvex/0a1b2c3d/state") return true;
    return false;
  }, kWait));
  const auto states = viewer.messagesOn("korvex/0a1b2c3d/state");
  const auto state = stateFromJson(states.front().payload);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->machine, "M1");
  EXPECT_TRUE(parseUtcIsoTime(state->time));
  ASSERT_FALSE(viewer.messagesOn("korvex/0a1b2c3d/online").empty());
  EXPECT_EQ(viewer.messagesOn("korvex/0a1b2c3d/online").back().payload, "1");
  EXPECT_EQ(publisher.link(), FleetLink::Connected);

  // The program ends right after a lost link: that event still goes out, then "offline".
  publisher.publishEvent(FleetEventKind::LinkLost, "61715", "Link lost", 9);
  publisher.stop();
  EXPECT_TRUE(viewer.waitForMessages([](const auto& m) {
    return !m.empty() && m.back().topic == "korvex/0a1b2c3d/online" && m.back().payload == "0";
  }, kWait));
  EXPECT_EQ(eventsIn(viewer.messages()).back().kind, FleetEventKind::LinkLost);
}

TEST_F(FleetPublisherTest, StatesBetweenRunStateChangesAreCoalescedToTheLatest) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttProbe viewer(listenerFor(broker));
  ASSERT_TRUE(viewer.listen({"korvex/+/state"}));
  FleetPublisherConfig config = configFor(broker);
  config.stateInterval = std::chrono::hours(1);  // only run-state changes may pass at once
  FleetPublisher publisher(config);
  ASSERT_EQ(publisher.start(), 0);

  FleetState s;
  s.run_state = 3;
  for (int segment = 1; segment <= 50; ++segment) {
    s.segment = segment;
    publisher.publishState(s, segment == 1);
  }
  s.run_state = 11;
  s.segment = 51;
  publisher.publishState(s, true);
  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) {
    for (const auto& x : m)
      if (auto st = stateFromJson(x.payload); st && st->run_state == 11) return true;
    return false;
  }, kWait));
  // At most: the first, perhaps the one the thread saw before the change, and the change.
  EXPECT_LE(viewer.messages().size(), 3u);
  EXPECT_EQ(stateFromJson(viewer.messages().back().payload)->segment, 51);
}

TEST_F(FleetPublisherTest, EventsOfABrokerGapArriveInOrderOnceItReturns) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  FleetPublisher publisher(configFor(broker));
  ASSERT_EQ(publisher.start(), 0);
  // A lasting session: the broker keeps what comes for the viewer while the viewer itself is
  // still reconnecting, so the test does not depend on which of the two is back first.
  MqttOptions lasting = listenerFor(broker);
  lasting.clientId = "viewer";
  lasting.cleanSession = false;
  MqttProbe viewer(lasting);
  ASSERT_TRUE(viewer.listen({"korvex/+/event"}));
  publisher.publishEvent(FleetEventKind::Start, "61494", "Cutting...", 0);
  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) { return eventsIn(m).size() == 1; }, kWait));

  broker.stop();
  ASSERT_TRUE(viewer.waitForState(MqttConnection::Lost, kWait));
  for (int i = 1; i <= 30; ++i) publisher.publishEvent(FleetEventKind::Short, "61493", "Backing...", i);
  publisher.publishEvent(FleetEventKind::Finish, "61622", "Finished", 31);
  ASSERT_TRUE(broker.start()) << broker.error();

  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) {
    const auto e = eventsIn(m);
    return !e.empty() && e.back().kind == FleetEventKind::Finish;
  }, kWait));
  const auto seqs = distinctSeqs(eventsIn(viewer.messages()));
  ASSERT_EQ(seqs.size(), 32u);  // none lost, none out of order
  for (std::size_t i = 0; i < seqs.size(); ++i) EXPECT_EQ(seqs[i], i + 1);
  EXPECT_EQ(publisher.counters().eventsDropped, 0u);
}

TEST_F(FleetPublisherTest, BeyondTheLimitTheOldestEventsAreDroppedAndCounted) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  FleetPublisherConfig config = configFor(broker);
  config.maxEvents = 5;
  broker.kill();  // away from the start
  FleetPublisher publisher(config);
  ASSERT_EQ(publisher.start(), 0);
  for (int i = 1; i <= 8; ++i) publisher.publishEvent(FleetEventKind::Alarm, "61513", "x", i);
  EXPECT_EQ(publisher.counters().eventsDropped, 3u);
  EXPECT_EQ(publisher.counters().eventsWaiting, 5u);

  MqttProbe viewer(listenerFor(broker));
  ASSERT_TRUE(broker.start()) << broker.error();
  ASSERT_TRUE(viewer.listen({"korvex/+/event"}));
  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) {
    const auto e = eventsIn(m);
    return !e.empty() && e.back().seq == 8;
  }, kWait));
  EXPECT_EQ(distinctSeqs(eventsIn(viewer.messages())), (std::vector<std::uint64_t>{4, 5, 6, 7, 8}));
}

TEST_F(FleetPublisherTest, WrongPasswordShowsNotAuthorised) {
  TestBroker broker(TestBrokerOptions::withUsers({{kCard, "right"}}));
  ASSERT_TRUE(broker.start()) << broker.error();
  FleetPublisherConfig config = configFor(broker);
  config.user = kCard;
  config.passwordFile = broker.passwordFileFor(kCard, "wrong");
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<FleetLink> links;
  FleetPublisher publisher(config);  // after what its handler uses, so it stops first
  publisher.onLinkChanged([&](FleetLink link) {
    std::lock_guard lock(mutex);
    links.push_back(link);
    changed.notify_all();
  });
  ASSERT_EQ(publisher.start(), 0);
  publisher.publishEvent(FleetEventKind::Start, "61494", "Cutting...", 0);  // only waits
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, kWait, [&] {
      return !links.empty() && links.back() == FleetLink::NotAuthorised;
    }));
  }
  EXPECT_EQ(publisher.counters().eventsWaiting, 1u);
}

// For a condition nobody signals (a counter of the publisher): looked at again and again, with
// a bound.
template <typename Predicate>
bool pollUntil(Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::string readText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(FleetPublisherTest, TheShippedAclKeepsEachMachineToItsOwnCardId) {
  const std::string acl = readText(KORVEX_SOURCE_DIR "/packaging/fleet/korvex.acl");
  ASSERT_FALSE(acl.empty());
  constexpr const char* kOther = "11223344";
  TestBroker broker(TestBrokerOptions::withUsers(
      {{kCard, "a"}, {kOther, "b"}, {"supervisor", "s"}}, acl));
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttOptions supervisor = listenerFor(broker);
  supervisor.user = "supervisor";
  supervisor.passwordFile = broker.passwordFileFor("supervisor", "s");
  MqttProbe viewer(supervisor);
  ASSERT_TRUE(viewer.listen({"korvex/#"}));

  // Machine 0a1b2c3d claims to be 11223344.
  FleetPublisherConfig forged = configFor(broker);
  forged.cardId = kOther;
  forged.user = kCard;
  forged.passwordFile = broker.passwordFileFor(kCard, "a");
  FleetPublisher impostor(forged);
  ASSERT_EQ(impostor.start(), 0);
  impostor.publishEvent(FleetEventKind::Finish, "61622", "Finished", 0);
  // The broker acknowledges a denied message too: once it has, it has decided.
  ASSERT_TRUE(pollUntil([&] { return impostor.counters().eventsAcknowledged == 1; }));

  FleetPublisherConfig own = configFor(broker);
  own.user = kOther;
  own.cardId = kOther;
  own.passwordFile = broker.passwordFileFor(kOther, "b");
  FleetPublisher machine(own);
  ASSERT_EQ(machine.start(), 0);
  machine.publishEvent(FleetEventKind::Start, "61494", "Cutting...", 0);
  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) {
    for (const auto& x : m)
      if (x.topic == "korvex/11223344/event") return true;
    return false;
  }, kWait));
  for (const auto& m : viewer.messagesOn("korvex/11223344/event")) {
    const auto e = eventFromJson(m.payload);
    ASSERT_TRUE(e);
    EXPECT_NE(e->kind, FleetEventKind::Finish) << "the forged event got through";
  }
}

TEST_F(FleetPublisherTest, LastWillMarksAKilledControllerOffline) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttProbe viewer(listenerFor(broker));
  ASSERT_TRUE(viewer.listen({"korvex/+/online"}));

  const std::string command = std::string(KORVEX_FLEET_CHILD) + " " + broker.host() + " " +
                              std::to_string(broker.port()) + " " + kCard;
  int toParent[2];
  ASSERT_EQ(::pipe(toParent), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(toParent[1], STDOUT_FILENO);
    ::execl(KORVEX_FLEET_CHILD, KORVEX_FLEET_CHILD, broker.host().c_str(),
            std::to_string(broker.port()).c_str(), kCard, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(toParent[1]);
  char line[16] = {};
  const ssize_t got = ::read(toParent[0], line, sizeof line - 1);  // "connected"
  ::close(toParent[0]);
  ASSERT_GT(got, 0);
  ASSERT_TRUE(viewer.waitForMessages([](const auto& m) {
    return !m.empty() && m.back().payload == "1";
  }, kWait));

  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(viewer.waitForMessages([](const auto& m) {
    return !m.empty() && m.back().topic == "korvex/0a1b2c3d/online" && m.back().payload == "0";
  }, kWait)) << command;
}

}  // namespace
}  // namespace korvex::fleet
