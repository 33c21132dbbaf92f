// The whole controller cutting on the virtual card (through its pseudo-terminal) while it
// reports to a private broker: what the shop floor sees of a cut, and that a broker that goes
// away or refuses the machine changes nothing of the cut.
#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>

#include "controller/fleet/fleet_hook.h"
#include "controller/machine_control.h"
#include "controller/settings_keys.h"
#include "controller/tests/controller_fixture.h"
#include "fleet/common/tests/broker_fixture.h"
#include "fleet/common/tests/mqtt_probe.h"
#include "sim/card/card_engine.h"

namespace korvex::testing {
namespace {

using fleet::FleetEvent;
using fleet::FleetEventKind;
using fleet::MqttMessage;
using fleet::testing::MqttProbe;
using fleet::testing::TestBroker;
using fleet::testing::TestBrokerOptions;

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
constexpr int kWaitMs = 20000;  // generous: only a stuck worker, link or broker takes this long
constexpr double kFastCard = 150.0;  // the card's motion runs this much faster than real time

template <class F>
bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class FleetCutTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        if (!TestBroker::available())
            GTEST_SKIP() << TestBroker::missingMessage();
    }
    void TearDown() override {
        machine.reset();  // before the window it writes to
        c.reset();
    }

    void startWithSquare(double speedScale) {
        c = std::make_unique<ControllerParts>(sim::kDefaultCardId, speedScale);
        ASSERT_TRUE(c->start());
        ASSERT_EQ(c->frame.openRequest(kSquare), OpenOutcome::Opened);
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        c->operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
            d.accept();  // the whole program
            return d.result();
        };
        hook = new FleetHook(c->session, c->frame, *machine, c->events);  // the window owns it
    }
    std::string topic(fleet::FleetTopic which) const {
        return fleet::fleetTopic("korvex", fleet::cardIdText(c->session.cardId), which);
    }
    std::vector<FleetEvent> eventsIn(const std::vector<MqttMessage>& messages) const {
        std::vector<FleetEvent> events;
        for (const auto& m : messages)
            if (m.topic == topic(fleet::FleetTopic::Event))
                if (auto e = fleet::eventFromJson(m.payload))
                    events.push_back(*e);
        return events;
    }
    // The window's events go on meanwhile: the cut needs them.
    bool sawEvent(MqttProbe& viewer, FleetEventKind kind) {
        return processUntil([&] {
            for (const auto& e : eventsIn(viewer.messages()))
                if (e.kind == kind)
                    return true;
            return false;
        });
    }
    bool cutFinished() { return c->frame.paneText(CMainFrame::kMessagePane) == qtTrId("61622"); }
    sim::CardFigures cardFigures() {
        return c->card.server().withEngine([](sim::CardEngine& e) { return e.figures(); });
    }
    fleet::MqttOptions listenerFor(const TestBroker& broker) const {
        fleet::MqttOptions o;
        o.host = broker.host();
        o.port = broker.port();
        return o;
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
    FleetHook* hook = nullptr;
};

TEST_F(FleetCutTest, ACutPublishesStatesWhoseSegmentsNeverGoBackAndAFinishEvent) {
    TestBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error();
    startWithSquare(kFastCard);
    MqttProbe viewer(listenerFor(broker));
    ASSERT_TRUE(viewer.listen({"korvex/#"}));
    ASSERT_TRUE(hook->start(QString::fromStdString(broker.url())));
    ASSERT_TRUE(processUntil([&] { return hook->paneText() == qtTrId("fleet.connected"); }));

    machine->pressAnswering(Operation::Cut, std::nullopt);
    ASSERT_TRUE(processUntil([&] { return cutFinished(); }));
    ASSERT_TRUE(sawEvent(viewer, FleetEventKind::Finish));

    const auto events = eventsIn(viewer.messages());
    EXPECT_EQ(events.front().kind, FleetEventKind::Start);
    EXPECT_EQ(events.front().text, "Cutting...");
    EXPECT_EQ(events.back().text_id, "61622");
    EXPECT_EQ(events.back().text, "Finished");
    int last = -1;
    int states = 0;
    for (const auto& m : viewer.messagesOn(topic(fleet::FleetTopic::State))) {
        const auto state = fleet::stateFromJson(m.payload);
        ASSERT_TRUE(state);
        EXPECT_GE(state->segment, last) << "segment went back";
        last = state->segment;
        ++states;
        EXPECT_EQ(state->program, "square.3b");
    }
    EXPECT_GE(states, 2);
    EXPECT_GT(last, 0);
}

TEST_F(FleetCutTest, BrokerStoppedMidCutTheCutFinishesAndTheGapsEventsFollowInOrder) {
    TestBroker broker;
    ASSERT_TRUE(broker.start()) << broker.error();
    startWithSquare(kFastCard);
    fleet::MqttOptions lasting = listenerFor(broker);
    lasting.clientId = "supervisor";
    lasting.cleanSession = false;  // the broker keeps the gap's events for it across the restart
    MqttProbe viewer(lasting);
    ASSERT_TRUE(viewer.listen({"korvex/+/event"}));
    ASSERT_TRUE(hook->start(QString::fromStdString(broker.url())));
    ASSERT_TRUE(processUntil([&] { return hook->paneText() == qtTrId("fleet.connected"); }));

    machine->pressAnswering(Operation::Cut, std::nullopt);
    ASSERT_TRUE(sawEvent(viewer, FleetEventKind::Start));
    broker.stop();
    ASSERT_TRUE(processUntil([&] { return hook->paneText() == qtTrId("fleet.offline"); }));
    ASSERT_FALSE(cutFinished()) << "the cut ended before the broker was away; use a slower card";
    ASSERT_TRUE(processUntil([&] { return cutFinished(); }));
    EXPECT_EQ(cardFigures().starvations, 0u);

    ASSERT_TRUE(broker.start()) << broker.error();
    ASSERT_TRUE(sawEvent(viewer, FleetEventKind::Finish));
    std::vector<std::uint64_t> seqs;  // as a viewer keeps them: a repeat is dropped
    for (const auto& e : eventsIn(viewer.messages()))
        if (seqs.empty() || e.seq > seqs.back())
            seqs.push_back(e.seq);
    for (std::size_t i = 0; i < seqs.size(); ++i)
        EXPECT_EQ(seqs[i], i + 1) << "an event was lost or came out of order";
    EXPECT_EQ(hook->publisher()->counters().eventsDropped, 0u);
}

TEST_F(FleetCutTest, AWrongPasswordShowsInThePaneAndTheCutRunsAsAlways) {
    const std::string card = fleet::cardIdText(sim::kDefaultCardId);
    TestBroker broker(TestBrokerOptions::withUsers({{card, "right"}}, fleet::testing::kMachineAcl));
    ASSERT_TRUE(broker.start()) << broker.error();
    startWithSquare(kFastCard);
    // Through Korvex.ini, as a shop sets it up.
    SettingsFile ini = c->session.machineSettings();
    const QLatin1String section(keys::kFleetSection);
    ini.writeText(section, QLatin1String(keys::kFleetBrokerKey), QString::fromStdString(broker.host()));
    writeKey(ini, keys::kFleetPort, broker.port());
    ini.writeText(section, QLatin1String(keys::kFleetUserKey), QString::fromStdString(card));
    ini.writeText(section, QLatin1String(keys::kFleetPasswordFileKey),
                  QString::fromStdString(broker.passwordFileFor(card, "wrong")));
    ASSERT_TRUE(hook->start(QString()));
    ASSERT_TRUE(processUntil([&] { return hook->paneText() == qtTrId("fleet.not_authorised"); }));

    const std::size_t boxesBefore = c->operatorUi.messages.size();
    machine->pressAnswering(Operation::Cut, std::nullopt);
    ASSERT_TRUE(processUntil([&] { return cutFinished(); }));
    EXPECT_EQ(cardFigures().starvations, 0u);
    // Only the cut's own "Finished" box: the broker's refusal never shows one.
    EXPECT_EQ(c->operatorUi.messages.size(), boxesBefore + 1);
    EXPECT_EQ(hook->paneText(), qtTrId("fleet.not_authorised"));
}

TEST(FleetHookTexts, StatusTextsBecomeTheirShopFloorEvents) {
    struct Case {
        const char* text;
        const char* previous;
        std::optional<FleetEventKind> kind;
    };
    const Case cases[] = {
        {"61494", "", FleetEventKind::Start},
        {"61494", "61493", FleetEventKind::Recovery},  // cutting again after a short circuit
        {"61493", "61494", FleetEventKind::Short},
        {"61572", "", FleetEventKind::Pause},
        {"61495", "", FleetEventKind::Pause},
        {"61622", "", FleetEventKind::Finish},
        {"61512", "", FleetEventKind::WireBreak},
        {"61715", "", FleetEventKind::LinkLost},
        {"61638", "", FleetEventKind::GroupSwitch},
        {"61719", "", FleetEventKind::Alarm},
        {"status.ready", "", std::nullopt},
    };
    for (const Case& k : cases)
        EXPECT_EQ(fleetEventForText(QLatin1String(k.text), QLatin1String(k.previous)), k.kind) << k.text;
}

TEST_F(ControllerTest, FleetSettingsAreOffWithoutABrokerAndTheCommandLineWins) {
    MachineSession session;
    SettingsFile ini = session.machineSettings();
    QString error;
    EXPECT_FALSE(fleetConfigFrom(ini, QString(), 0x0a1b2c3d, &error));
    EXPECT_TRUE(error.isEmpty());  // off, not wrong

    ini.writeText(QStringLiteral("Fleet"), QStringLiteral("Broker"), QStringLiteral("hall.lan"));
    ini.writeInt(QStringLiteral("Fleet"), QStringLiteral("Tls"), 1);
    ini.writeInt(QStringLiteral("Fleet"), QStringLiteral("Port"), 8884);
    auto config = fleetConfigFrom(ini, QString(), 0x0a1b2c3d, &error);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->broker, (fleet::BrokerAddress{"hall.lan", 8884, true}));
    EXPECT_EQ(config->prefix, "korvex");
    EXPECT_EQ(config->cardId, "0a1b2c3d");

    config = fleetConfigFrom(ini, QStringLiteral("mqtt://other:1999"), 0x0a1b2c3d, &error);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->broker, (fleet::BrokerAddress{"other", 1999, false}));

    ini.writeText(QStringLiteral("Fleet"), QStringLiteral("Topic"), QStringLiteral("hall/#"));
    EXPECT_FALSE(fleetConfigFrom(ini, QString(), 0x0a1b2c3d, &error));
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace korvex::testing
