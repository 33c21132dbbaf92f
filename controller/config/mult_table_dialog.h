// The Mult-Table dialog: the 8 pulse groups edited in place, saved rows and tables, the Multiple
// keys. It edits a copy; the table in memory, dao.tbl, the card and the keys change only at OK
// (see mult_table.h for the order).
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

#include "controller/config/mult_table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace korvex {

class OperatorInteraction;

struct MultTableContext {
    PulseTable* table = nullptr;
    QString tablePath;       // dao.tbl
    QString parameterDir;    // the .zif files
    QString cardSettingsPath;  // the Multiple keys
    CardControl* card = nullptr;
    OperatorInteraction* operatorUi = nullptr;
    int trackingMode = 0;
    int currentGroup = -1;   // from the loaded program; outside 0..7 means the default group
    bool hfOn = false;
    // After a successful OK with HF on: HF back on kGroupHfDelayMs later, unless it is dropped.
    std::function<void()> resumeHfLater;
    // Queues a sequence on the card worker; empty when no worker runs (nothing can be sent).
    std::function<void(CardSequence)> post;
    // After a successful OK: the graph view and the mini status window show the new table.
    std::function<void()> changed;
};

class MultTableDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "MultTable";
    static constexpr int kColumnWidths[8] = {50, 100, 150, 150, 150, 100, 100, 100};

    explicit MultTableDialog(MultTableContext context, QWidget* parent = nullptr);

    QTableWidget* table() const { return grid_; }
    QComboBox* changeIndexes() const { return changeIndexes_; }
    QLineEdit* waitSeconds() const { return wait_; }
    QCheckBox* fixedVf() const { return fixedVf_; }
    QPushButton* okButton() const { return ok_; }
    int defaultIndex() const { return defaultIndex_; }
    void setDefaultIndex(int row);
    // The pop-up of a row, as built for a right click (tests run its actions).
    std::unique_ptr<class QMenu> popupFor(int row);
    bool saveTable();
    bool restoreTable();

    void accept() override;

private:
    void fill();
    void colourRows();
    void saveRow(int row);
    void loadRow(int row, const QString& path);
    void showWait();
    void finish(bool sent, GroupSwitchSettings keys);
    void setBusy(bool busy);

    MultTableContext context_;
    MultTableModel model_;
    int defaultIndex_ = 0;
    QTableWidget* grid_ = nullptr;
    QComboBox* changeIndexes_ = nullptr;
    QLabel* waitLabel_ = nullptr;
    QLineEdit* wait_ = nullptr;
    QCheckBox* fixedVf_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* restore_ = nullptr;
    bool filling_ = false;
};

}  // namespace korvex
