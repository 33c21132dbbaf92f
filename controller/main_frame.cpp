#include "controller/main_frame.h"

#include "controller/action_table.h"
#include "controller/function_key_filter.h"
#include "controller/card_control.h"
#include "controller/card_events.h"
#include "controller/document/code_list_model.h"
#include "controller/document/dcs_doc.h"
#include "controller/editor_handoff.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/notify/notifications.h"
#include "platform/operator_interaction.h"
#include "controller/pulse_table.h"
#include "controller/startup.h"
#include "controller/status_panel_control.h"
#include "controller/views/button_view.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_view.h"
#include "controller/views/graph_wiring.h"
#include "controller/views/mini_status_window.h"
#include "controller/views/status_view.h"
#include "controller/working_copies.h"
#include "platform/data_dirs.h"
#include "platform/settings_file.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace korvex {

namespace {

constexpr int kSplitterHandlePx = 5;
constexpr char kWindowSection[] = "Window";
constexpr char kPaneSizesKey[] = "Panes";
constexpr char kRowSizesKey[] = "Rows";

QString sizesText(const QList<int>& sizes) {
    QStringList parts;
    for (int size : sizes)
        parts << QString::number(size);
    return parts.join(QLatin1Char(','));
}

// Sizes as written by sizesText; nothing when the text does not hold `count` positive numbers.
QList<int> sizesFromText(const QString& text, int count) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return {};
    QList<int> sizes;
    for (const QString& part : parts) {
        bool ok = false;
        const int size = part.trimmed().toInt(&ok);
        if (!ok || size <= 0 || size > 100'000)
            return {};
        sizes << size;
    }
    return sizes;
}

}  // namespace

QString phaseModeName(int mode) {
    if (mode >= 0 && mode <= 4)
        return qtTrId(QStringLiteral("phase.%1").arg(mode).toLatin1().constData());
    return QString::number(mode);
}

CMainFrame::CMainFrame(MachineSession& session, CardControl& card, OperatorInteraction& operatorUi,
                       CardEventRouter& events, PulseTable& pulseTable, CDCSDoc& document,
                       QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      card_(card),
      operatorUi_(operatorUi),
      events_(events),
      pulseTable_(pulseTable),
      document_(document),
      recent_(machineSettingsPath()) {
    setObjectName(QStringLiteral("Korvex"));
    setAcceptDrops(true);
    notifications_ = new Notifications(session_, operatorUi_, pulseTable_, this);

    buttons_ = new CButtonView(this);
    graph_ = new CGraphView(this);
    codeList_ = new CDCSView(this);
    status_ = new CStatusView(this);
    codeModel_ = new CodeListModel(&document_, this);
    statusPanel_ = new StatusPanelControl(
        *status_, pulseTable_, [this] { return session_.cardSettings(); }, operatorUi_,
        [this] { return session_.alarmTitle(); }, this);
    // Start-up sends the feed itself; the machining work's worker takes over once it exists.
    statusPanel_->feed().setSender([this](const FeedBytes& entry, int v) { card_.setFeed(entry, v); });
    statusPanel_->feed().setSegmentSource(
        [this] { return document_.isLoaded() ? document_.program() : nullptr; },
        [this] { return statusPanel_->polledSegment() >= 0 ? statusPanel_->polledSegment() : currentSegment(); });
    codeList_->attachModel(codeModel_, CodeListModel::kIndexWidthPx, CodeListModel::kCommandWidthPx);

    upper_ = new QSplitter(Qt::Horizontal);
    upper_->setObjectName(QStringLiteral("PaneSplitter"));
    upper_->addWidget(buttons_);
    upper_->addWidget(graph_);
    upper_->addWidget(codeList_);
    upper_->setStretchFactor(1, 1);
    rows_ = new QSplitter(Qt::Vertical);
    rows_->setObjectName(QStringLiteral("RowSplitter"));
    rows_->addWidget(upper_);
    rows_->addWidget(status_);
    rows_->setStretchFactor(0, 1);
    // The panes keep their order, but the operator may widen the code list to read long
    // statements or give the graph more room; no view can be dragged away entirely.
    splitterSave_.setSingleShot(true);
    splitterSave_.setInterval(kSplitterSaveDelayMs);
    connect(&splitterSave_, &QTimer::timeout, this, &CMainFrame::saveSplitterSizes);
    for (QSplitter* s : {upper_, rows_}) {
        s->setChildrenCollapsible(false);
        s->setHandleWidth(kSplitterHandlePx);
        connect(s, &QSplitter::splitterMoved, this, [this] { splitterSave_.start(); });
    }
    setCentralWidget(rows_);
    restoreSplitterSizes();

    buildStatusBar();
    handOff_ = new ControllerHandOff(this, document_, operatorUi_, [this](const QString& path) { return openRequest(path); },
                                     [this] { return session_.alarmTitle(); }, this);
    buildMenus();
    keyFilter_ = new FunctionKeyFilter(machineSettingsPath(), this);
    qApp->installEventFilter(keyFilter_);

    connect(&events_, &CardEventRouter::graphEvent, graph_, &CGraphView::onCardEvent);
    connect(&events_, &CardEventRouter::buttonsRefresh, buttons_, &CButtonView::refresh);
    connect(&events_, &CardEventRouter::segmentReached, codeList_, &CDCSView::onSegmentReached);
    connect(&events_, &CardEventRouter::pulseGroupSwitched, statusPanel_, &StatusPanelControl::groupSwitched);
    connect(graph_, &CGraphView::linkLost, this, &CMainFrame::onLinkLost);
    connectGraphView(*this, *graph_, document_, operatorUi_, session_);
    connect(codeList_, &CDCSView::stopToggleRequested, this, [this](int segment) {
        if (machine_)
            machine_->operations().toggleSegmentStop(segment);
    });

    connect(&document_, &CDCSDoc::programParsed, this, &CMainFrame::onProgramParsed);
    connect(&document_, &CDCSDoc::programCleared, this, &CMainFrame::onProgramCleared);
    connect(&document_, &CDCSDoc::programLoaded, this, &CMainFrame::onProgramLoaded);
    connect(&document_, &CDCSDoc::titleChanged, this, [this] { updateTitle(); });
    // Loading, closing and the recovery marks change what the entries offer at once.
    connect(&document_, &CDCSDoc::programLoaded, this, [this] { updateControls(); });
    connect(&document_, &CDCSDoc::programCleared, this, [this] { updateControls(); });
    connect(&document_, &CDCSDoc::recoveryMarkChanged, this, [this] { updateControls(); });

    keepAlive_.setInterval(kKeepAlivePeriodMs);
    // The answer is not needed: a card that stops answering is reported through the event hook.
    connect(&keepAlive_, &QTimer::timeout, this, &CMainFrame::sendKeepAlive);
}

void CMainFrame::restoreSplitterSizes() {
    const SettingsFile machine(machineSettingsPath());
    const QList<int> panes = sizesFromText(
        machine.readText(QLatin1String(kWindowSection), QLatin1String(kPaneSizesKey), QString()), upper_->count());
    if (!panes.isEmpty())
        upper_->setSizes(panes);
    const QList<int> rows = sizesFromText(
        machine.readText(QLatin1String(kWindowSection), QLatin1String(kRowSizesKey), QString()), rows_->count());
    if (!rows.isEmpty())
        rows_->setSizes(rows);
}

void CMainFrame::saveSplitterSizes() {
    splitterSave_.stop();
    SettingsFile machine(machineSettingsPath());
    machine.writeText(QLatin1String(kWindowSection), QLatin1String(kPaneSizesKey), sizesText(upper_->sizes()));
    machine.writeText(QLatin1String(kWindowSection), QLatin1String(kRowSizesKey), sizesText(rows_->sizes()));
}

CMainFrame::~CMainFrame() {
    finishKeepAlive();
    finishRecentStore();
    destroyMiniStatusWindow();
}

void CMainFrame::pressPanelButton(PanelButton button) {
    if (!machine_)
        return;
    MachiningOperations& ops = machine_->operations();
    switch (button) {
    case PanelButton::Simulate: ops.press(Operation::Simulate); break;
    case PanelButton::Walk: ops.press(Operation::Walk); break;
    case PanelButton::Cut: ops.press(Operation::Cut); break;
    case PanelButton::Back: ops.press(Operation::Back); break;
    case PanelButton::Motor: ops.toggleMotor(); break;
    case PanelButton::Freq: ops.toggleHf(); break;
    }
}

int32_t CMainFrame::currentSegment() const {
    const int reached = codeList_->lastReportedSegment();
    if (reached >= 0)
        return reached;
    return codeList_->currentIndex().isValid() ? codeList_->currentIndex().row() : 0;
}

void CMainFrame::stepFeed(int step) { statusPanel_->feed().step(step); }

void CMainFrame::storeRecentInBackground(const QStringList& entries) {
    finishRecentStore();
    try {
        recentStore_ = std::thread([this, entries] { recent_.store(entries); });
    } catch (const std::system_error&) {
        recent_.store(entries);  // no thread to spare: written here
    }
}

RecentFiles& CMainFrame::recentFiles() {
    finishRecentStore();
    return recent_;
}

void CMainFrame::finishRecentStore() {
    if (recentStore_.joinable())
        recentStore_.join();
}

void CMainFrame::buildStatusBar() {
    // The widest text each pane shows, so that a larger font or a longer translation widens the
    // pane instead of cutting its text.
    const QString widest[kPaneCount] = {
        QString(),
        qtTrId("61528").arg(99).arg(59).arg(59),
        qtTrId("61529").arg(255).arg(255),
        qtTrId("61535").arg(20000),
        qtTrId("phase.pair").arg(phaseModeName(3), phaseModeName(3)),
        qtTrId("61489").arg(100000),
        QStringLiteral("X=-9999999"),
        QStringLiteral("Y=-9999999"),
    };
    for (int i = 0; i < kPaneCount; ++i) {
        panes_[i] = new QLabel(this);
        const int textWidth = panes_[i]->fontMetrics().horizontalAdvance(widest[i]) + kPanePaddingPx;
        panes_[i]->setFixedWidth(std::max(kPaneWidths[i], textWidth));
        statusBar()->addWidget(panes_[i]);
    }
    panes_[kPaneCount - 1]->setObjectName(QStringLiteral("LastPane"));
    setMessage(qtTrId("status.ready"));
    panes_[kUsedTimePane]->setText(qtTrId("61528").arg(0).arg(0, 2, 10, QLatin1Char('0')).arg(0, 2, 10, QLatin1Char('0')));
    panes_[kLoopPane]->setText(qtTrId("61529").arg(0).arg(1));
    panes_[kGridPane]->setText(qtTrId("61489").arg(0));
    panes_[kXPane]->setText(QStringLiteral("X=0"));
    panes_[kYPane]->setText(QStringLiteral("Y=0"));
}

QString CMainFrame::paneText(Pane pane) const { return panes_[pane]->text(); }

void CMainFrame::setMessage(const QString& text) { panes_[kMessagePane]->setText(text); }

void CMainFrame::setPaneText(Pane pane, const QString& text) { panes_[pane]->setText(text); }

void CMainFrame::showCardSettings() {
    panes_[kMaxSpeedPane]->setText(qtTrId("61535").arg(session_.settings.speeds[0]));
    const auto& phase = session_.settings.phase;
    // XY mode at settings byte 28, UV mode at byte 36.
    panes_[kPhasePane]->setText(qtTrId("phase.pair").arg(phaseModeName(phase[0]), phaseModeName(phase[8])));
}

void CMainFrame::updateTitle() {
    // A loaded program shows its whole path, so the operator sees which copy of a file runs.
    const QString title = document_.isLoaded() ? document_.path() : qtTrId("61446");
    setWindowTitle(session_.windowTitle(title));
}

void CMainFrame::createMiniStatusWindow() {
    if (!miniStatus_)
        miniStatus_ = korvex::createMiniStatusWindow(*this, *graph_, session_);
}

QWidget* CMainFrame::miniStatusWindow() const { return miniStatus_; }

void CMainFrame::showStatusText(const char* textId) {
    setMessage(qtTrId(textId));
    if (miniStatus_)
        miniStatus_->setStatus(textId);
}

void CMainFrame::destroyMiniStatusWindow() {
    delete miniStatus_;
    miniStatus_ = nullptr;
}

void CMainFrame::startKeepAlive() { keepAlive_.start(); }

void CMainFrame::sendKeepAlive() {
    if (keepAliveBusy_)
        return;
    finishKeepAlive();
    keepAliveBusy_ = true;
    try {
        keepAliveThread_ = std::thread([this] {
            card_.keepAlive();  // the answer is not needed; a silent card reaches the event hook
            keepAliveBusy_ = false;
        });
    } catch (const std::system_error&) {
        keepAliveBusy_ = false;  // no thread to spare: this beat is skipped
    }
}

void CMainFrame::finishKeepAlive() {
    if (keepAliveThread_.joinable())
        keepAliveThread_.join();
}

void CMainFrame::refuseWhileBusy() {
    operatorUi_.message(session_.alarmTitle(), qtTrId("61482"), OperatorInteraction::Icon::Warning);
}

OpenOutcome CMainFrame::openRequest(const QString& path, OpenOrigin origin) {
    // A dialog of the operator's is open (a question, a setting): the file waits for nothing
    // and replaces nothing behind it. A generator's own dialog is the one that asks.
    const bool dialogOpen = origin == OpenOrigin::Outside && QApplication::activeModalWidget();
    if (document_.isLoading() || dialogOpen) {
        refuseWhileBusy();
        return OpenOutcome::Refused;
    }
    document_.openPath(path);
    return document_.lastOpenOutcome();
}

bool CMainFrame::openFromMenu() {
    if (document_.isLoading()) {
        refuseWhileBusy();
        return false;
    }
    return document_.openFromDialog();
}

void CMainFrame::onProgramParsed() {
    const auto program = document_.program();
    if (!graph_->setProgram(program))
        return;  // 61516 was shown and the load fails
    statusPanel_->setProgram(program);
    codeList_->clearMarks();
}

void CMainFrame::onProgramCleared() {
    graph_->clearProgram();
    statusPanel_->setProgram(nullptr);
    codeList_->clearMarks();
    updateTitle();
}

void CMainFrame::onProgramLoaded(const QString& path) {
    finishRecentStore();
    const QStringList entries = RecentFiles::withPath(recent_.entries(), path);
    storeRecentInBackground(entries);
    rebuildRecentMenu(entries);
    // The copy of this program is the newest; copies of programs long gone are not kept.
    pruneWorkingCopies(temporaryDirectory(), document_.fileTitle());
    panes_[kLoopPane]->setText(qtTrId("61529").arg(0).arg(1));
    updateTitle();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    // Opened once the drop has ended, so the source application is not kept waiting behind
    // the load's dialogs.
    const QList<QUrl> urls = event->mimeData()->urls();
    QMetaObject::invokeMethod(this, [this, urls] { openDroppedFiles(urls); }, Qt::QueuedConnection);
}

void CMainFrame::openDroppedFiles(const QList<QUrl>& urls) {
    // Each dropped file in turn; the last one that loads stays loaded.
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            openRequest(url.toLocalFile());
}

bool CMainFrame::confirmExit() {
    if (document_.isLoading() || !idle()) {
        refuseWhileBusy();
        return false;
    }
    using A = OperatorInteraction::Answer;
    using B = OperatorInteraction::Buttons;
    const QString title = session_.alarmTitle();
    A answer = A::Ok;
    if (workStarted_) {
        answer = operatorUi_.ask(title, qtTrId("61483"), B::YesNoCancel, OperatorInteraction::Icon::Question);
        if (answer == A::No)
            answer = operatorUi_.ask(title, qtTrId("61623"), B::YesNoCancel, OperatorInteraction::Icon::Question);
    } else {
        answer = operatorUi_.ask(title, qtTrId("61531"), B::OkCancel, OperatorInteraction::Icon::Question);
    }
    if (answer == A::Cancel)
        return false;
    // The table is saved before the card is told anything: if the operator chooses to stay
    // after a failed write, the card must still hold its work record.
    if (pulseTable_.write(pulseTablePath()) != 0) {
        const QString text = qtTrId("61657") + QStringLiteral("\n\n") + qtTrId("korvex.exit_anyway");
        if (operatorUi_.ask(title, text, B::YesNo, OperatorInteraction::Icon::Warning) != A::Yes)
            return false;
    }
    // The card's answer is awaited beside the event loop. The exit goes on whatever it says, so
    // neither a heartbeat nor a lost-link report may start anything meanwhile.
    exiting_ = true;
    keepAlive_.stop();
    if (answer == A::Yes)
        document_.runCardCommand([this] { return card_.closeKeepingWork(); });
    else if (answer == A::No)
        document_.runCardCommand([this] { return card_.clearWork(); });
    shutDown();
    return true;
}

void CMainFrame::leaveOnSignal() {
    if (shutDown_)
        return;
    exiting_ = true;
    keepAlive_.stop();
    // Nobody is there to answer a question about a failed write: it is told on standard error
    // and the card is still told to keep its work.
    if (pulseTable_.write(pulseTablePath()) != 0)
        std::fprintf(stderr, "korvex: %s\n", qPrintable(qtTrId("61657")));
    if (card_.isOpen())
        document_.runCardCommand([this] { return card_.closeKeepingWork(); });
    shutDown();
    close();
}

void CMainFrame::shutDown(bool cardAnswers) {
    if (shutDown_)
        return;
    shutDown_ = true;
    keepAlive_.stop();
    if (splitterSave_.isActive())
        saveSplitterSizes();
    finishRecentStore();
    // No poll or window of the machining worker follows the exit's last commands.
    if (machine_)
        machine_->worker().stop();
    if (cardAnswers && document_.isLoaded() && card_.isOpen())
        document_.unload();  // a refusal does not stop the exit
    card_.close();  // the hook can only be removed once the reader has stopped
    finishKeepAlive();  // a heartbeat under way ends with the closed link
    card_.setEventHook({});
    destroyMiniStatusWindow();
    notifications_->close();
    document_.resetDocument();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (shutDown_ || confirmExit()) {
        event->accept();
        return;
    }
    event->ignore();
}

void CMainFrame::onLinkLost(int failedCommand) {
    if (exiting_ || shutDown_)
        return;
    const QString text = linkLostText(failedCommand);
    card_.logError(text);  // the message outlives the program in the card's error log
    operatorUi_.message(session_.alarmTitle(), text, OperatorInteraction::Icon::Critical);
    endAfterLinkLost();
}

void CMainFrame::endAfterLinkLost() {
    if (shutDown_)
        return;
    exiting_ = true;
    linkLost_ = true;
    keepAlive_.stop();
    // The card keeps its work record; the pulse table is saved so nothing of this session is
    // lost, and the program ends as the operator was told. A load or a command waiting behind
    // a wait dialog unwinds quietly (the document says nothing more once the link failed).
    pulseTable_.write(pulseTablePath());
    shutDown(false);
    close();
    if (quit_) {
        quit_(kLinkLostExitStatus);
    } else {
        // Queued, so the process also ends when the loss came before the main loop started.
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::exit(kLinkLostExitStatus); }, Qt::QueuedConnection);
    }
}

bool CMainFrame::idle() const { return !machine_ || machine_->operations().idle(); }

void CMainFrame::showUsedTime(int seconds) {
    panes_[kUsedTimePane]->setText(qtTrId("61528")
                                       .arg(seconds / 3600)
                                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                       .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void CMainFrame::resetMachiningWork() {
    MachiningOperations& operations = machine_->operations();
    operations.setProgram(document_.isLoaded() ? document_.program() : nullptr);
    operations.resetWork();
    applyRecoveryMark();
    operations.refresh();
}

void CMainFrame::showLoop(int number, int total) { panes_[kLoopPane]->setText(qtTrId("61529").arg(number).arg(total)); }

void CMainFrame::applyRecoveryMark() {
    const std::optional<RecoveryMark>& mark = document_.recoveryMark();
    if (mark)
        workStarted_ = true;  // the card holds a work: exit asks whether to keep it
    if (!machine_)
        return;
    MachiningOperations& operations = machine_->operations();
    operations.clearRecovery();
    if (!mark)
        return;
    operations.setReverse(mark->reverse);
    operations.setRestoredFlags(mark->ignorePause, mark->stops);
    if (mark->kind == RecoveryMark::Kind::ReturnRecovery)
        operations.setPendingReturn(mark->returnSegment, mark->returnDistances);
    else
        operations.setRestoredWork(mark->work);
}

void CMainFrame::attachMachineControl(MachineControl& control) {
    machine_ = &control;
    // The machining side owns the lost link from here on: it ends its worker and timers first.
    disconnect(graph_, &CGraphView::linkLost, this, &CMainFrame::onLinkLost);
    control.showText = [this](const QString& text) { setMessage(text); };
    control.showTextId = [this](const char* textId) { showStatusText(textId); };
    control.isWorkStarted = [this] { return workStarted_; };
    control.markWorkStarted = [this](bool started) { workStarted_ = started; };
    control.stopHeartbeat = [this] {
        exiting_ = true;  // no heartbeat starts while the alarm is on screen
        keepAlive_.stop();
    };
    control.quit = [this] { endAfterLinkLost(); };
    control.showUsedTime = [this](int seconds) { showUsedTime(seconds); };
    attachGraphToMachining(*graph_, control);
    control.showWork = [this](const WorkParams& work, int32_t speed) { statusPanel_->showWork(work, speed); };
    control.showLevel = [this](int32_t level) {
        statusPanel_->showHfLevel(level);
        graph_->setHfLevel(level);
    };
    statusPanel_->feed().setSender([&control](const FeedBytes& entry, int v) { control.sendFeed(entry, v); });
    statusPanel_->setRangeSource([this]() -> std::optional<std::pair<int32_t, int32_t>> {
        if (!machine_)
            return std::nullopt;
        if (const auto chosen = machine_->operations().chosenRange())
            return chosen;
        const WorkRange r = machine_->worker().range();
        if (r.lo == r.hi)
            return std::nullopt;
        return machine_->operations().reverse() ? std::pair{r.hi, r.lo} : std::pair{r.lo, r.hi};
    });
    connect(&control, &MachineControl::segmentFocused, codeList_, &CDCSView::onSegmentFocused);
    control.changed = [this] {
        syncGraphWithMachining(*graph_, *machine_, pulseTable_);
        codeList_->setStopSegments(machine_->operations().segmentStops());
        if (!machine_->operations().hfOn()) {
            statusPanel_->showHfLevel(0);  // no HF, no level: the polls of it have stopped
            graph_->setHfLevel(0);
        }
        buttons_->refresh();
        updateControls();
        emit machiningStateChanged();
    };
    notifications_->attach(control);
    document_.setIdleTest([this] { return idle(); });
    connect(buttons_, &CButtonView::pressed, this, &CMainFrame::pressPanelButton);
    // Load, close and reset start the work afresh.
    connect(&document_, &CDCSDoc::programLoaded, this, [this] { resetMachiningWork(); });
    connect(&document_, &CDCSDoc::programClosed, this, [this] { resetMachiningWork(); });
    connect(&document_, &CDCSDoc::workReset, this, [this] { resetMachiningWork(); });
    // A recovery mark is used up by the start the card took; setting or clearing one updates
    // the panel and the commands at once.
    control.operations().recoveryUsed = [this] { document_.setRecoveryMark(std::nullopt); };
    connect(&document_, &CDCSDoc::recoveryMarkChanged, this, [this] {
        applyRecoveryMark();
        buttons_->refresh();
        updateControls();
    });
    resetMachiningWork();
    updateControls();
}

}  // namespace korvex
