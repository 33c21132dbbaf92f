// CMainFrame: the controller's main window. A fixed splitter of two rows; the upper row holds
// the button panel, the graph view and the code list from left to right, the lower row the
// status panel. It owns the status bar panes, the action table (every menu entry, key and
// toolbar button, main_frame_commands.cpp), the recent-file list, the function key filter, the
// 10-second keep-alive, file drops, and the exit sequence.
#pragma once

#include <QMainWindow>
#include <QList>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <functional>
#include <thread>

#include "controller/command_table.h"
#include "controller/machining/work_state.h"
#include "controller/recent_files.h"

class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace korvex {

class ActionTable;
class FunctionKeyFilter;
class CardControl;
class CardEventRouter;
class CButtonView;
class CDCSDoc;
class CDCSView;
class CGraphView;
class CStatusView;
class StatusPanelControl;
class CodeListModel;
class ControllerHandOff;
enum class OpenOutcome;
class MachineControl;
class MachineSession;
class Notifications;
class MiniStatusWindow;
class OperatorInteraction;
class PulseTable;

// The name of a motor phase mode 0..4 ("3-6", "4-8", "5-10", "MicroStep", "Servo"); any other
// value the card reports is shown as its number.
QString phaseModeName(int mode);

// Where an open request comes from: outside (recent entry, drop, command line, the editor),
// or a generator dialog of this window whose OK loads its result.
enum class OpenOrigin { Outside, Generator };

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kKeepAlivePeriodMs = 10'000;

    // Status bar panes, left to right.
    enum Pane { kMessagePane, kUsedTimePane, kLoopPane, kMaxSpeedPane, kPhasePane, kGridPane,
                kXPane, kYPane, kPaneCount };
    // Least widths in pixels; a pane is widened when its longest text needs more.
    static constexpr int kPaneWidths[kPaneCount] = {200, 160, 100, 140, 60, 100, 100, 100};
    static constexpr int kPanePaddingPx = 8;
    // The status the process ends with when the card stopped answering.
    static constexpr int kLinkLostExitStatus = 1;
    // Splitter sizes are written this long after the operator last moved a handle.
    static constexpr int kSplitterSaveDelayMs = 500;

    CMainFrame(MachineSession& session, CardControl& card, OperatorInteraction& operatorUi,
               CardEventRouter& events, PulseTable& pulseTable, CDCSDoc& document,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    CGraphView* graphView() const { return graph_; }
    CStatusView* statusView() const { return status_; }
    // The status panel's feed, progress and efficiency.
    StatusPanelControl& statusPanel() const { return *statusPanel_; }
    CButtonView* buttonView() const { return buttons_; }
    CDCSView* codeListView() const { return codeList_; }
    QWidget* miniStatusWindow() const;
    MiniStatusWindow* miniStatus() const { return miniStatus_; }
    QString paneText(Pane pane) const;
    void setPaneText(Pane pane, const QString& text);
    // The recent-file list, once a write still under way has landed.
    RecentFiles& recentFiles();
    QMenu* fileMenu() const;
    // Every menu entry, key and toolbar button.
    ActionTable& actionTable() const { return *actions_; }
    // The mobile notices, the alarm sound and the power-off after the last cut.
    Notifications& notifications() const { return *notifications_; }

    // The modeless mini status window, created hidden with no parent so it can stand in for the
    // minimised main window.
    void createMiniStatusWindow();
    void destroyMiniStatusWindow();

    // The Max Speed and Phase panes from the card's settings block.
    void showCardSettings();
    void setMessage(const QString& text);
    // A status text by its identifier: the message pane and the mini status window.
    void showStatusText(const char* textId);
    // The loop pane: "Loop:number/total".
    void showLoop(int number, int total);
    // The caption for the loaded program's title ("No Title" when none).
    void updateTitle();

    void startKeepAlive();
    bool keepAliveRunning() const { return keepAlive_.isActive(); }
    // One heartbeat, sent beside the interface thread: a card that has fallen silent costs the
    // link all its attempts, and the window must not freeze for them. A heartbeat still waiting
    // for the card makes the next one be skipped.
    void sendKeepAlive();
    // Waits for a heartbeat still under way (the link's own timeouts bound the wait).
    void finishKeepAlive();

    // Set once a simulation, walk, cut or back has been started (and by the finished event);
    // exit then asks whether to keep the work.
    void setWorkStarted(bool started) { workStarted_ = started; }
    bool workStarted() const { return workStarted_; }

    // Every way a file arrives (recent entry, drop, command line, the editor's hand-off) ends
    // here: File Open's checks without its dialog. Refused with 61482 while a work, a load or
    // a question of the operator's runs (a generator's own dialog excepted); a loaded program
    // is closed only after 61486.
    OpenOutcome openRequest(const QString& path, OpenOrigin origin = OpenOrigin::Outside);
    // The hand-off with the editor and the two toolbar buttons it serves.
    ControllerHandOff& handOff() const { return *handOff_; }
    // File Open and File Close of the menu.
    bool openFromMenu();
    // Files dropped on the window, opened one after the other.
    void openDroppedFiles(const QList<QUrl>& urls);
    bool closeFromMenu();
    // File Reset: the program told to the card afresh and the work started over.
    bool resetFromMenu();
    void showAbout();
    void showAgent();
    // What the menu entries' rules read now.
    CommandConditions commandConditions() const;
    // Every menu entry, key and panel button again from the run state, flags and marks.
    void updateControls();
    // Edit > Statistics: the program's cut length, area and efficiency.
    void showStatistics();

    // The exit sequence; true when the program may end (the window closes after it).
    bool confirmExit();
    // The exit sequence without its questions, for a signal to leave: the pulse table is written,
    // the card keeps its work record (CMD_CLOSE, which also stops a motion) and the link is
    // closed. Only once start-up has read the table. Nothing happens after a finished exit.
    void leaveOnSignal();

    // The machining operations, once start-up is done: their texts, flags and state changes go
    // to this window, the lost link becomes theirs alone, and the file commands, the edit
    // commands and the exit are refused while a work runs.
    void attachMachineControl(MachineControl& control);
    MachineControl* machineControl() const { return machine_; }
    // No simulation, walk, cut or back runs (always so without machining operations).
    bool idle() const;

    // True once the card stopped answering and the program is ending.
    bool linkLost() const { return linkLost_; }
    // How the program is ended after a lost link; by default every event loop of the process
    // is left (nested ones included: a wait dialog's) once the current handler returns. Tests
    // record the call instead.
    void setQuitHandler(std::function<void(int status)> quit) { quit_ = std::move(quit); }

    // The upper row's three panes and the two rows; remembered in Korvex.ini.
    QSplitter* paneSplitter() const { return upper_; }
    QSplitter* rowSplitter() const { return rows_; }
    void saveSplitterSizes();

signals:
    // The run state or a work flag changed: menu entries, keys and buttons follow.
    void machiningStateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void rebuildRecentMenu();
    void rebuildRecentMenu(const QStringList& entries);
    // The list is written beside the window: each key is a synced file replacement, and after
    // a large load the disk may be busy with the working copy.
    void storeRecentInBackground(const QStringList& entries);
    void finishRecentStore();
    // 61482: a load or a simulation, walk, cut or back is under way.
    void refuseWhileBusy();
    void onProgramParsed();
    void onProgramCleared();
    void onProgramLoaded(const QString& path);
    void onLinkLost(int failedCommand);
    // What follows a lost link once its alarm was shown: the table saved, no card command more,
    // the window closed and the program ended.
    void endAfterLinkLost();
    void showUsedTime(int seconds);
    void resetMachiningWork();
    // Hands the document's recovery mark to the machining operations.
    void applyRecoveryMark();
    void buildControlMenu();
    void buildConfigMenu();
    // Close's and Reset's common end: work-started flag, loop 0 of 1, code list marks, panel.
    void afterWorkCleared();
    // The segment the code list shows as reached, else its selected row.
    int32_t currentSegment() const;
    void stepFeed(int step);
    void pressPanelButton(PanelButton button);
    void restoreSplitterSizes();
    // Ends the keep-alive, unloads the program (when the card still answers), closes the link.
    void shutDown(bool cardAnswers = true);

    MachineSession& session_;
    CardControl& card_;
    OperatorInteraction& operatorUi_;
    CardEventRouter& events_;
    PulseTable& pulseTable_;
    CDCSDoc& document_;
    RecentFiles recent_;

    CButtonView* buttons_;
    CGraphView* graph_;
    CDCSView* codeList_;
    CStatusView* status_;
    StatusPanelControl* statusPanel_;
    CodeListModel* codeModel_;
    QLabel* panes_[kPaneCount] = {};
    QStringList recentShown_;
    FunctionKeyFilter* keyFilter_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    ActionTable* actions_ = nullptr;
    Notifications* notifications_ = nullptr;
    ControllerHandOff* handOff_ = nullptr;
    MiniStatusWindow* miniStatus_ = nullptr;
    QSplitter* upper_ = nullptr;
    QSplitter* rows_ = nullptr;
    QTimer splitterSave_;
    QTimer keepAlive_;
    std::thread keepAliveThread_;
    std::thread recentStore_;
    std::atomic<bool> keepAliveBusy_{false};
    bool workStarted_ = false;
    bool exiting_ = false;
    bool shutDown_ = false;
    bool linkLost_ = false;
    std::function<void(int)> quit_;
    MachineControl* machine_ = nullptr;
};

}  // namespace korvex
