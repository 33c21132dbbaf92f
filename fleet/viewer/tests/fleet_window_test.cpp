// The supervisor's window offscreen, fed hand-made messages: rows follow urgency while the chosen
// machine stays chosen, an alarm row is red and chimes once until acknowledged from the keyboard,
// the events dialog lists the newest first, and broker trouble only changes the status bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBrush>
#include <QDialog>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "fleet/viewer/fleet_window.h"

namespace korvex::fleet {
namespace {

using namespace std::chrono_literals;

const FleetClock::time_point kT0 = *parseUtcIsoTime("2026-12-09T02:00:00Z");

ArrivedMessage stateMessage(const std::string& id, const std::string& name, int runState, double progress,
                            FleetClock::time_point at) {
    FleetState s;
    s.machine = name;
    s.program = name + ".3b";
    s.run_state = runState;
    s.progress = progress;
    s.time = utcIsoTime(at);
    return {"korvex/" + id + "/state", toJsonText(s), at};
}

ArrivedMessage eventMessage(const std::string& id, FleetEventKind kind, std::uint64_t seq, FleetClock::time_point at) {
    FleetEvent e;
    e.kind = kind;
    e.seq = seq;
    e.segment = int(seq);
    e.text = "event " + std::to_string(seq);
    e.time = utcIsoTime(at);
    return {"korvex/" + id + "/event", toJsonText(e), at};
}

struct KvfleetWindow : ::testing::Test {
    FleetTable table;
    FleetWindow window{table, false};
    FleetClock::time_point now = kT0 + 120s;

    void SetUp() override {
        window.setClock([this] { return now; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));  // the keys are the window's shortcuts
        window.apply({stateMessage("00000001", "A", 3, 30, kT0), stateMessage("00000001", "A", 3, 40, kT0 + 60s),
                      stateMessage("00000002", "B", 1, 0, kT0), stateMessage("00000003", "C", 2, 70, kT0)});
    }
    QString cell(int row, int column) { return window.model().index(row, column).data().toString(); }
    std::string idAt(int row) {
        return window.model().index(row, 0).data(FleetTableModel::CardIdRole).toString().toStdString();
    }
};

TEST_F(KvfleetWindow, RowsFollowUrgencyAndTheChosenMachineStaysChosen) {
    ASSERT_EQ(window.model().rowCount(), 3);
    EXPECT_EQ(idAt(0), "00000003");  // paused
    EXPECT_EQ(idAt(1), "00000001");  // cutting
    EXPECT_EQ(idAt(2), "00000002");  // idle
    EXPECT_EQ(cell(1, FleetTableModel::Progress), "40%");
    EXPECT_EQ(cell(1, FleetTableModel::TimeLeft), "6 min");  // 10 % a minute, 60 % to go
    EXPECT_EQ(cell(1, FleetTableModel::State), "Cutting");
    EXPECT_EQ(cell(0, FleetTableModel::TimeLeft), "–");

    window.view()->setCurrentIndex(window.model().index(1, 0));
    window.apply({stateMessage("00000003", "C", 3, 71, kT0 + 61s)});  // C cuts again, now after A
    EXPECT_EQ(idAt(0), "00000001");
    EXPECT_EQ(window.view()->currentIndex().row(), 0);
}

TEST_F(KvfleetWindow, AnAlarmRowIsRedAndChimesOnceUntilAcknowledgedWithSpace) {
    window.view()->setFocus();
    window.view()->setCurrentIndex(window.model().index(2, 0));  // B, idle
    window.apply({eventMessage("00000002", FleetEventKind::WireBreak, 1, kT0 + 90s)});
    ASSERT_EQ(idAt(0), "00000002");
    EXPECT_EQ(window.view()->currentIndex().row(), 0);
    EXPECT_EQ(window.chime().requested(), 1);
    const QBrush red = window.model().index(0, 0).data(Qt::BackgroundRole).value<QBrush>();
    EXPECT_EQ(red.color(), QColor(0xe5, 0x39, 0x35));
    EXPECT_EQ(cell(0, FleetTableModel::State), "Alarm: Wire break");
    EXPECT_EQ(cell(0, FleetTableModel::LastEvent), "event 1 · 30 s ago");

    // Later states keep it red and silent.
    window.apply({stateMessage("00000002", "B", 1, 0, kT0 + 100s)});
    EXPECT_EQ(idAt(0), "00000002");
    EXPECT_EQ(window.chime().requested(), 1);

    QTest::keyClick(window.view(), Qt::Key_Space);
    EXPECT_EQ(table.find("00000002")->urgency(), Urgency::Idle);
    EXPECT_FALSE(window.model().index(window.model().rowOf("00000002"), 0).data(Qt::BackgroundRole).isValid());

    // A second alarm chimes again.
    window.apply({eventMessage("00000001", FleetEventKind::LinkLost, 1, kT0 + 110s),
                  eventMessage("00000003", FleetEventKind::Alarm, 1, kT0 + 110s)});
    EXPECT_EQ(window.chime().requested(), 2);
    EXPECT_EQ(window.acknowledgeAll(), 2);
}

TEST_F(KvfleetWindow, EnterShowsTheMachinesEventsNewestFirst) {
    std::vector<ArrivedMessage> events;
    for (std::uint64_t seq = 1; seq <= 4; ++seq)
        events.push_back(eventMessage("00000001", FleetEventKind::GroupSwitch, seq, kT0 + std::chrono::seconds(seq)));
    window.apply(events);
    window.view()->setFocus();
    window.view()->setCurrentIndex(window.model().index(window.model().rowOf("00000001"), 0));
    QTest::keyClick(window.view(), Qt::Key_Return);
    auto* dialog = window.findChild<QDialog*>(QStringLiteral("events_dialog"));
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("events_list"));
    ASSERT_EQ(list->rowCount(), 4);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(list->item(row, 4)->text(), QString::number(4 - row));
    EXPECT_EQ(list->item(0, 1)->text(), "Group switched");
    dialog->close();
}

TEST_F(KvfleetWindow, BrokerTroubleOnlyChangesTheStatusBar) {
    window.showConnection(MqttConnection::NotAuthorised, QStringLiteral("not authorised"));
    EXPECT_EQ(window.connectionText(), "offline: user name or password refused");
    window.showConnection(MqttConnection::Connected, {});
    EXPECT_EQ(window.connectionText(), "connected");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window.findChildren<QDialog*>().size(), 0);
    // Broken messages are counted where the supervisor can see them, and change no row.
    window.apply({{"korvex/00000001/state", "{broken", kT0}, {"korvex/00000009/event", "[]", kT0}});
    EXPECT_EQ(window.model().rowCount(), 3);
    EXPECT_EQ(table.malformed(), 2u);
}

}  // namespace
}  // namespace korvex::fleet
