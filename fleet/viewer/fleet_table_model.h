// The fleet table as the window's QTableView sees it: one row per machine in the table's order
// (most urgent first), texts from the string table. refresh() is called after each batch of
// messages and once a second (ages and times left move on): it keeps the current row and the
// selection on the same machine when the order changes.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <vector>

#include "fleet/viewer/fleet_table.h"

namespace korvex::fleet {

class FleetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Program, State, Progress, TimeLeft, LastEvent, ColumnCount };
    enum Role {
        ProgressRole = Qt::UserRole + 1,  // double percent, or invalid without a state
        CardIdRole,                       // QString
        UrgencyRole,                      // int (Urgency)
    };

    FleetTableModel(const FleetTable& table, QObject* parent = nullptr);

    // Takes the table's new contents and order; `now` is the time ages are measured to.
    void refresh(FleetClock::time_point now);
    FleetClock::time_point now() const { return now_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The machine of a row, or nullptr.
    const Machine* machineAt(int row) const;
    int rowOf(const std::string& cardId) const;

private:
    const FleetTable& table_;
    std::vector<std::string> order_;  // card ids as the rows show them
    FleetClock::time_point now_{};
};

// The texts the rows show; also used by the events dialog.
QString runStateText(const FleetState& state);
QString urgencyText(Urgency urgency);
QString eventKindText(FleetEventKind kind);
// The event's own text in the interface language where the string table knows its identifier,
// else the English text it came with.
QString eventText(const FleetEvent& event);
QString ageText(std::chrono::seconds age);
QString durationText(std::chrono::seconds duration);

}  // namespace korvex::fleet
