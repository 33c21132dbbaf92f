// kvfleet's window: the table of machines (most urgent first, alarm rows red until acknowledged),
// the Acknowledge button, a chime on each new alarm, and each machine's recent events on a
// double-click or Enter. The broker's state shows in the status bar only: a supervisor's screen
// must never be covered by a box because the network had a hiccup.
//
// Keys: Up/Down choose a machine, Enter shows its events, Space acknowledges its alarm,
// Ctrl+Shift+Space acknowledges every alarm, Ctrl+Q quits.
#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

#include "fleet/common/mqtt_client.h"
#include "fleet/viewer/alarm_chime.h"
#include "fleet/viewer/fleet_feed.h"
#include "fleet/viewer/fleet_table.h"
#include "fleet/viewer/fleet_table_model.h"

class QAction;
class QDialog;
class QLabel;
class QTableView;
class QTimer;

namespace korvex::fleet {

class FleetWindow : public QMainWindow {
    Q_OBJECT
public:
    // `table` outlives the window. `sound` false keeps the chime silent (tests, load check).
    explicit FleetWindow(FleetTable& table, bool sound = true, QWidget* parent = nullptr);
    ~FleetWindow() override;

    // Takes the feed's messages and connection changes from now on.
    void attach(FleetFeed& feed);
    // One batch of messages into the table, then one refresh of the rows.
    void apply(const std::vector<ArrivedMessage>& messages);
    void showConnection(MqttConnection state, const QString& reason);
    // The broker's address shown before its state ("mqtt://host:1883: connected").
    void setBrokerText(const QString& text) { brokerText_ = text; }
    // No broker on the command line or in the settings: the status bar says how to give one.
    void showNoBroker();

    // Acknowledges the current row's alarm; false when it had none.
    bool acknowledgeCurrent();
    int acknowledgeAll();
    // The events of the machine in `row`, newest first, in a dialog left open (not modal).
    QDialog* showEvents(int row);

    // The time ages and rates are measured to; the wall clock unless a test sets another.
    void setClock(std::function<FleetClock::time_point()> clock);

    QTableView* view() const { return view_; }
    FleetTableModel& model() { return *model_; }
    const AlarmChime& chime() const { return *chime_; }
    QString connectionText() const;
    QAction* action(const char* name) const;

private:
    void refresh();
    void updateCounts();

    FleetTable& table_;
    std::unique_ptr<FleetTableModel> model_;
    std::unique_ptr<AlarmChime> chime_;
    std::function<FleetClock::time_point()> clock_;
    QTableView* view_ = nullptr;
    QLabel* connectionLabel_ = nullptr;
    QLabel* countsLabel_ = nullptr;
    QTimer* ageTimer_ = nullptr;
    QString brokerText_;
    std::uint64_t alarmsHeard_ = 0;
};

}  // namespace korvex::fleet
