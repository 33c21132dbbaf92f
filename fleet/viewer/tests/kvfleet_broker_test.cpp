// kvfleet against a real broker of its own (mosquitto on a free port): the program's --once
// --json lists what machines published, the window receives events in their order, and a
// machine that dies is shown offline through its last will.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include "fleet/common/tests/broker_fixture.h"
#include "fleet/viewer/fleet_window.h"
#include "fleet/viewer/tests/fleet_test_support.h"

namespace korvex::fleet {
namespace {

using testing::TestBroker;
using testing::TestMachine;
using testing::waitFor;

FleetState cuttingState(const std::string& name, double progress) {
    FleetState s;
    s.machine = name;
    s.program = "die.3b";
    s.run_state = 3;
    s.progress = progress;
    s.segment = 12;
    s.segments = 40;
    s.time = utcIsoTime(FleetClock::now());
    return s;
}

struct KvfleetBroker : ::testing::Test {
    std::unique_ptr<TestBroker> broker;
    QTemporaryDir dataDir;

    void SetUp() override {
        if (!TestBroker::available()) GTEST_SKIP() << TestBroker::missingMessage();
        broker = std::make_unique<TestBroker>();
        ASSERT_TRUE(broker->start()) << broker->error();
    }

    // Runs the kvfleet program; its settings come from an empty data directory of its own.
    int runKvfleet(const QStringList& arguments, QByteArray* out, QByteArray* err) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVEX_DATA_DIR"), dataDir.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KVFLEET_PATH), arguments);
        if (!process.waitForFinished(30000)) return -1;
        *out = process.readAllStandardOutput();
        *err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    ViewerOptions viewerOptions() const {
        ViewerOptions options;
        options.broker = BrokerAddress{broker->host(), broker->port(), false};
        return options;
    }
};

TEST_F(KvfleetBroker, OnceJsonListsThePublishedMachinesWithTheirProgress) {
    TestMachine first(broker->host(), broker->port(), "0a1b2c3d");
    TestMachine second(broker->host(), broker->port(), "0a1b2c3e");
    ASSERT_TRUE(first.connect());
    ASSERT_TRUE(second.connect());
    ASSERT_TRUE(first.sendState(cuttingState("Line 1", 37.5)));
    FleetState paused = cuttingState("Line 2", 80);
    paused.run_state = 2;
    ASSERT_TRUE(second.sendState(paused));

    QByteArray out, err;
    ASSERT_EQ(runKvfleet({"--once", "--json", "--broker", QString::fromStdString(broker->url())}, &out, &err), 0)
        << err.toStdString();
    const nlohmann::json table = nlohmann::json::parse(out.toStdString());
    ASSERT_EQ(table["machines"].size(), 2u) << out.toStdString();
    EXPECT_EQ(table["machines"][0]["card_id"], "0a1b2c3e");  // paused comes before cutting
    EXPECT_EQ(table["machines"][0]["urgency"], "paused");
    EXPECT_EQ(table["machines"][1]["name"], "Line 1");
    EXPECT_EQ(table["machines"][1]["progress"], 37.5);
    EXPECT_EQ(table["machines"][1]["online"], true);
    EXPECT_EQ(table["machines"][1]["program"], "die.3b");
}

TEST_F(KvfleetBroker, OnceJsonFailsWithAMessageWhenTheBrokerIsAway) {
    const std::string url = broker->url();
    broker->stop();
    QByteArray out, err;
    EXPECT_EQ(runKvfleet({"--once", "--json", "--broker", QString::fromStdString(url)}, &out, &err), 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.contains("kvfleet: cannot read the broker")) << err.toStdString();
    // A broken address is refused before any connection.
    EXPECT_EQ(runKvfleet({"--once", "--json", "--broker", "http://x"}, &out, &err), 2);
    EXPECT_TRUE(err.contains("--broker")) << err.toStdString();
}

TEST_F(KvfleetBroker, TheWindowGetsEveryEventInItsOrder) {
    FleetTable table;
    FleetWindow window(table, false);
    FleetFeed feed(viewerOptions());
    window.attach(feed);
    ASSERT_EQ(feed.start(), 0);
    ASSERT_TRUE(waitFor([&] { return window.connectionText().endsWith("connected"); }))
        << window.connectionText().toStdString();

    TestMachine machine(broker->host(), broker->port(), "00c0ffee");
    ASSERT_TRUE(machine.connect());
    constexpr int kEvents = 50;
    for (int seq = 1; seq <= kEvents; ++seq) {
        FleetEvent event;
        event.kind = seq % 10 == 0 ? FleetEventKind::Short : FleetEventKind::GroupSwitch;
        event.seq = std::uint64_t(seq);
        event.segment = seq;
        event.time = utcIsoTime(FleetClock::now());
        ASSERT_TRUE(machine.sendEvent(event));
    }
    ASSERT_TRUE(waitFor([&] {
        const Machine* m = table.find("00c0ffee");
        return m && m->events.size() == kEvents;
    }));
    const Machine* m = table.find("00c0ffee");
    for (int i = 0; i < kEvents; ++i) EXPECT_EQ(m->events[std::size_t(i)].event.seq, std::uint64_t(i + 1));
    EXPECT_EQ(table.outOfOrder(), 0u);
    EXPECT_EQ(m->urgency(), Urgency::Alarm);
    EXPECT_GE(window.chime().requested(), 1);
}

TEST_F(KvfleetBroker, AMachineThatDiesIsShownOfflineByItsLastWill) {
    FleetTable table;
    FleetWindow window(table, false);
    FleetFeed feed(viewerOptions());
    window.attach(feed);
    ASSERT_EQ(feed.start(), 0);

    // The machine is a process of its own, killed as a crash would end the controller.
    QProcess machine;
    machine.start(QStringLiteral(PUBLISHER_PATH),
                  {QString::fromStdString(broker->host()), QString::number(broker->port()), "0badf00d"});
    ASSERT_TRUE(machine.waitForStarted());
    ASSERT_TRUE(waitFor([&] {
        const Machine* m = table.find("0badf00d");
        return m && m->online == true && m->state;
    })) << machine.readAllStandardError().toStdString();
    EXPECT_EQ(table.find("0badf00d")->urgency(), Urgency::Cutting);

    machine.kill();
    machine.waitForFinished();
    ASSERT_TRUE(waitFor([&] { return table.find("0badf00d")->online == false; }));
    const int row = window.model().rowOf("0badf00d");
    EXPECT_EQ(window.model().index(row, FleetTableModel::State).data().toString(), "Offline");
    EXPECT_EQ(row, window.model().rowCount() - 1);
}

}  // namespace
}  // namespace korvex::fleet
