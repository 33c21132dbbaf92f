#include "fleet/common/mqtt_client.h"

#include <gtest/gtest.h>

#include "fleet/common/tests/broker_fixture.h"
#include "fleet/common/tests/mqtt_probe.h"

namespace korvex::fleet {
namespace {

using testing::MqttProbe;
using testing::TestBroker;
using testing::TestBrokerOptions;

constexpr const char* kMachineA = "0a1b2c3d";
constexpr const char* kMachineB = "11223344";
constexpr const char* kSupervisor = "supervisor";

MqttOptions optionsFor(const TestBroker& broker, std::string user = {},
                       std::string passwordFile = {}) {
  MqttOptions o;
  o.host = broker.host();
  o.port = broker.port();
  o.user = std::move(user);
  o.passwordFile = std::move(passwordFile);
  return o;
}

bool hasPayload(const std::vector<MqttMessage>& messages, const std::string& topic,
                const std::string& payload) {
  for (const auto& m : messages) {
    if (m.topic == topic && m.payload == payload) return true;
  }
  return false;
}

class MqttClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestBroker::available()) GTEST_SKIP() << TestBroker::missingMessage();
  }
};

TEST_F(MqttClientTest, PublishedMessageReachesASubscriberAndRetainedOneALateSubscriber) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();

  MqttProbe publisher(optionsFor(broker));
  ASSERT_TRUE(publisher.listen({}));
  MqttProbe early(optionsFor(broker));
  ASSERT_TRUE(early.listen({"korvex/+/state"}));

  ASSERT_EQ(publisher.client().publish({"korvex/0a1b2c3d/state", "{\"segment\":1}", 1, true}), 0);
  EXPECT_TRUE(early.waitForMessages([](const auto& m) {
    return hasPayload(m, "korvex/0a1b2c3d/state", "{\"segment\":1}");
  }));

  MqttProbe late(optionsFor(broker));
  ASSERT_TRUE(late.listen({"korvex/#"}));
  ASSERT_TRUE(late.waitForMessages([](const auto& m) { return !m.empty(); }));
  EXPECT_TRUE(late.messages().front().retain);
}

TEST_F(MqttClientTest, PublishedHandlerConfirmsEachQos1Message) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttClient client(optionsFor(broker));
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> confirmed;
  bool up = false;
  client.onPublished([&](int mid) {
    std::lock_guard lock(mutex);
    confirmed.push_back(mid);
    changed.notify_all();
  });
  client.onConnection([&](MqttConnection state, const std::string&) {
    std::lock_guard lock(mutex);
    up = state == MqttConnection::Connected;
    changed.notify_all();
  });
  ASSERT_EQ(client.start(), 0);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return up; }));
  }
  std::vector<int> sent;
  for (int i = 0; i < 5; ++i) {
    int mid = 0;
    ASSERT_EQ(client.publish({"korvex/0a1b2c3d/event", std::to_string(i), 1, false}, &mid), 0);
    sent.push_back(mid);
  }
  std::unique_lock lock(mutex);
  ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10),
                               [&] { return confirmed.size() == sent.size(); }));
  EXPECT_EQ(confirmed, sent);
}

TEST_F(MqttClientTest, PublishWithoutConnectionIsRefusedNotKept) {
  MqttOptions o;
  o.port = 1;  // nothing listens there
  MqttClient client(o);
  EXPECT_EQ(client.publish({"korvex/x/state", "{}", 0, false}), -1);
}

TEST_F(MqttClientTest, ReconnectsAndSubscribesAgainAfterTheBrokerReturns) {
  TestBroker broker;
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttProbe subscriber(optionsFor(broker));
  ASSERT_TRUE(subscriber.listen({"korvex/+/event"}));

  broker.stop();
  ASSERT_TRUE(subscriber.waitForState(MqttConnection::Lost));
  subscriber.clearStates();
  ASSERT_TRUE(broker.start()) << broker.error();
  ASSERT_TRUE(subscriber.waitForState(MqttConnection::Connected));

  MqttProbe publisher(optionsFor(broker));
  ASSERT_TRUE(publisher.listen({}));
  ASSERT_EQ(publisher.client().publish({"korvex/0a1b2c3d/event", "after", 1, false}), 0);
  EXPECT_TRUE(subscriber.waitForMessages(
      [](const auto& m) { return hasPayload(m, "korvex/0a1b2c3d/event", "after"); }));
}

TEST_F(MqttClientTest, WrongPasswordIsReportedAsNotAuthorised) {
  TestBroker broker(TestBrokerOptions::withUsers({{kMachineA, "right"}}));
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttProbe machine(optionsFor(broker, kMachineA, broker.passwordFileFor(kMachineA, "wrong")));
  EXPECT_FALSE(machine.listen({}, std::chrono::milliseconds(0)));
  EXPECT_TRUE(machine.waitForState(MqttConnection::NotAuthorised)) << broker.log();
  EXPECT_FALSE(machine.client().connected());

  MqttProbe good(optionsFor(broker, kMachineA, broker.passwordFileFor(kMachineA, "right")));
  EXPECT_TRUE(good.listen({}));
}

TEST_F(MqttClientTest, UnreadablePasswordFileFailsAtStartWithAReason) {
  MqttOptions o;
  o.user = kMachineA;
  o.passwordFile = "/nonexistent/korvex.password";
  MqttClient client(o);
  EXPECT_EQ(client.start(), -1);
  EXPECT_NE(client.lastError().find("password file"), std::string::npos);
}

TEST_F(MqttClientTest, AclLetsAMachineWriteOnlyUnderItsOwnCardId) {
  TestBroker broker(TestBrokerOptions::withUsers(
      {{kMachineA, "a"}, {kMachineB, "b"}, {kSupervisor, "s"}}, testing::kMachineAcl));
  ASSERT_TRUE(broker.start()) << broker.error();
  MqttProbe supervisor(optionsFor(broker, kSupervisor, broker.passwordFileFor(kSupervisor, "s")));
  ASSERT_TRUE(supervisor.listen({"korvex/#"}));
  MqttProbe machineA(optionsFor(broker, kMachineA, broker.passwordFileFor(kMachineA, "a")));
  ASSERT_TRUE(machineA.listen({}));

  // The forbidden message goes first on the same connection: once the allowed one has arrived,
  // the broker has already dealt with the other.
  ASSERT_EQ(machineA.client().publish({"korvex/11223344/state", "forged", 1, true}), 0);
  ASSERT_EQ(machineA.client().publish({"korvex/0a1b2c3d/state", "own", 1, true}), 0);
  ASSERT_TRUE(supervisor.waitForMessages(
      [](const auto& m) { return hasPayload(m, "korvex/0a1b2c3d/state", "own"); }));
  EXPECT_TRUE(supervisor.messagesOn("korvex/11223344/state").empty());
}

}  // namespace
}  // namespace korvex::fleet
