#include "editor/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "editor/code_lists.h"
#include "editor/command_icons.h"
#include "editor/graph_view.h"
#include "editor/picture_panel.h"
#include "editor/quick_machining.h"
#include "editor/operator_prompter.h"
#include "platform/settings_file.h"

namespace tavrel {
namespace {

constexpr int kRecentFiles = 4;
constexpr const char* kRecentSection = "Recent File List";
constexpr const char* kVersion = "1.0.0.2";
constexpr int kMessagePaneMin = 200;
constexpr int kPathPaneWidth = 300;
constexpr int kSmallPaneWidth = 100;

QLabel* pane(QStatusBar* bar, int width, const QString& text) {
    auto* label = new QLabel(text, bar);
    label->setFixedWidth(width);
    bar->addPermanentWidget(label);
    return label;
}

}  // namespace

CMainFrame::CMainFrame(OperatorPrompter& prompter, QString recentFilesPath, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), session_(prompter), recentFilesPath_(std::move(recentFilesPath)) {
    setObjectName("Tavrel");
    setAcceptDrops(true);

    graph_ = new CGraphView(session_.doc(), this);
    codeList_ = new CTavrelView(session_.doc(), this);
    findList_ = new CFindListView(session_.doc(), this);
    lists_ = new QSplitter(Qt::Horizontal);
    lists_->addWidget(codeList_);
    lists_->addWidget(findList_);
    findList_->hide();
    rows_ = new QSplitter(Qt::Vertical, this);
    rows_->addWidget(graph_);
    rows_->addWidget(lists_);
    setCentralWidget(rows_);

    handOff_ = new EditorHandOff(*this, prompter_, this);
    buildActions();
    buildMenus();
    buildToolBar();
    buildStatusBar();

    connect(graph_, &CGraphView::gridScaleChanged, this, [this](qint64 um) {
        gridPane_->setText(qtTrId("61208").arg(um));
    });
    connect(graph_, &CGraphView::positionChanged, this, [this](qint64 x, qint64 y) {
        xPane_->setText(QStringLiteral("X=%1").arg(x));
        yPane_->setText(QStringLiteral("Y=%1").arg(y));
    });
    connect(graph_, &CGraphView::hoverClicked, this, [this](int segment) { codeList_->showRow(segment); });
    connect(codeList_, &ReportList::rowChosen, this, [this](int row) { chooseSegment(row, codeList_); });
    connect(codeList_, &ReportList::rowActivated, this, [this](int row) {
        codeList_->selectRow(row);
        onModify();
    });
    connect(findList_, &ReportList::rowChosen, this, [this](int row) {
        chooseSegment(findList_->model().segmentAt(row), findList_);
    });

    setWindowTitle(QString::fromStdString(session_.title()));
    documentChanged(0);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QString CMainFrame::paneText(const QString& name) const {
    if (name == "path") return pathPane_->text();
    if (name == "grid") return gridPane_->text();
    if (name == "x") return xPane_->text();
    if (name == "y") return yPane_->text();
    return {};
}

QAction* CMainFrame::addCommand(const QString& name, const char* textId, const char* tipId,
                                const QKeySequence& key, void (CMainFrame::*slot)()) {
    auto* a = new QAction(qtTrId(textId), this);
    a->setObjectName(name);
    a->setIcon(commandIcon(name));
    if (tipId) {
        a->setStatusTip(qtTrId(tipId));
        a->setToolTip(qtTrId(tipId));
    }
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, slot);
    actions_[name] = a;
    addAction(a);
    return a;
}

void CMainFrame::buildActions() {
    addCommand("open", "tavrel.cmd.open", "tavrel.tip.open", QKeySequence(Qt::CTRL | Qt::Key_O), &CMainFrame::onOpen);
    addCommand("save", "tavrel.cmd.save", "tavrel.tip.save", QKeySequence(Qt::CTRL | Qt::Key_S), &CMainFrame::onSave);
    addCommand("saveAs", "tavrel.cmd.save_as", "tavrel.tip.save_as", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), &CMainFrame::onSaveAs);
    addCommand("close", "tavrel.cmd.close", "tavrel.tip.close", {}, &CMainFrame::onClose);
    addCommand("exit", "tavrel.cmd.exit", "tavrel.tip.exit", {}, &CMainFrame::onExit);
    addCommand("fit", "tavrel.cmd.fit", "tavrel.tip.fit", QKeySequence(Qt::Key_Home), &CMainFrame::onFit);
    addCommand("move", "tavrel.cmd.move", "tavrel.tip.move", QKeySequence(Qt::Key_Space), &CMainFrame::onMove);
    addCommand("zoomIn", "tavrel.cmd.zoom_in", "tavrel.tip.zoom_in", QKeySequence(Qt::Key_PageUp), &CMainFrame::onZoomIn);
    addCommand("zoomOut", "tavrel.cmd.zoom_out", "tavrel.tip.zoom_out", QKeySequence(Qt::Key_PageDown), &CMainFrame::onZoomOut);
    addCommand("toolbar", "tavrel.cmd.toolbar", "tavrel.tip.toolbar", {}, &CMainFrame::onToggleToolbar)->setCheckable(true);
    addCommand("statusBar", "tavrel.cmd.status_bar", "tavrel.tip.status_bar", {}, &CMainFrame::onToggleStatusBar)->setCheckable(true);
    addCommand("grid", "tavrel.cmd.grid", "tavrel.tip.grid", {}, &CMainFrame::onToggleGrid)->setCheckable(true);
    addCommand("undo", "tavrel.cmd.undo", "tavrel.tip.undo", QKeySequence(Qt::CTRL | Qt::Key_Z), &CMainFrame::onUndo);
    addCommand("redo", "tavrel.cmd.redo", "tavrel.tip.redo", QKeySequence(Qt::CTRL | Qt::Key_Y), &CMainFrame::onRedo);
    addCommand("add", "tavrel.cmd.add", "tavrel.tip.add", QKeySequence(Qt::Key_Insert), &CMainFrame::onAdd);
    addCommand("modify", "tavrel.cmd.modify", "tavrel.tip.modify", QKeySequence(Qt::Key_Return), &CMainFrame::onModify);
    addCommand("delete", "tavrel.cmd.delete", "tavrel.tip.delete", QKeySequence(Qt::Key_Delete), &CMainFrame::onDelete);
    addCommand("copy", "tavrel.cmd.copy", "tavrel.tip.copy", QKeySequence(Qt::CTRL | Qt::Key_C), &CMainFrame::onCopy);
    addCommand("paste", "tavrel.cmd.paste", "tavrel.tip.paste", QKeySequence(Qt::CTRL | Qt::Key_V), &CMainFrame::onPaste);
    addCommand("cut", "tavrel.cmd.cut", "tavrel.tip.cut", QKeySequence(Qt::CTRL | Qt::Key_X), &CMainFrame::onCut);
    addCommand("join", "tavrel.cmd.join", "tavrel.tip.join", QKeySequence(Qt::CTRL | Qt::Key_U), &CMainFrame::onJoin);
    addCommand("hfGroup", "tavrel.cmd.hf_group", "tavrel.tip.hf_group", QKeySequence(Qt::CTRL | Qt::Key_H), &CMainFrame::onHfGroup);
    addCommand("recognise", "tavrel.cmd.recognise", "tavrel.tip.recognise", QKeySequence(Qt::CTRL | Qt::Key_M), &CMainFrame::onRecognise);
    addCommand("quick", "tavrel.cmd.quick", "tavrel.tip.quick", QKeySequence(Qt::CTRL | Qt::Key_W), &CMainFrame::onQuickMachining);
    addCommand("about", "tavrel.cmd.about", "tavrel.tip.about", {}, &CMainFrame::onAbout);
    action("modify")->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    action("toolbar")->setChecked(true);
    action("statusBar")->setChecked(true);

    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(next, &QShortcut::activated, this, [this] { focusPane(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previous, &QShortcut::activated, this, [this] { focusPane(-1); });
}

void CMainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu(qtTrId("tavrel.menu.file"));
    for (const char* name : {"open", "save", "saveAs", "close"}) file->addAction(action(name));
    file->addSeparator();
    recentMenu_ = file->addMenu(qtTrId("tavrel.menu.recent"));
    rebuildRecentMenu();
    file->addSeparator();
    file->addAction(action("exit"));

    QMenu* view = menuBar()->addMenu(qtTrId("tavrel.menu.view"));
    for (const char* name : {"fit", "move", "zoomIn", "zoomOut"}) view->addAction(action(name));
    view->addSeparator();
    for (const char* name : {"toolbar", "statusBar", "grid"}) view->addAction(action(name));

    QMenu* code = menuBar()->addMenu(qtTrId("tavrel.menu.code"));
    for (const char* name : {"undo", "redo"}) code->addAction(action(name));
    code->addSeparator();
    for (const char* name : {"add", "modify", "delete", "copy", "paste", "cut"}) code->addAction(action(name));
    code->addSeparator();
    code->addAction(action("join"));

    QMenu* machining = menuBar()->addMenu(qtTrId("tavrel.menu.machining"));
    for (const char* name : {"hfGroup", "recognise", "quick"}) machining->addAction(action(name));

    QMenu* help = menuBar()->addMenu(qtTrId("tavrel.menu.help"));
    help->addAction(action("about"));
}

void CMainFrame::buildToolBar() {
    toolBar_ = addToolBar(qtTrId("tavrel.toolbar"));
    toolBar_->setObjectName("MainToolBar");
    toolBar_->setIconSize(QSize(32, 32));
    const std::vector<std::vector<const char*>> groups = {
        {"open", "save", "close"}, {"fit", "move", "zoomIn", "zoomOut"},
        {"add", "modify", "delete", "cut", "copy", "paste", "undo", "redo"},
        {"hfGroup", "recognise", "quick"}, {"about"}};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (g > 0) toolBar_->addSeparator();
        for (const char* name : groups[g]) toolBar_->addAction(action(name));
    }
    // The picture panel sits at the right end of the toolbar band.
    auto* spacer = new QWidget(toolBar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(spacer);
    pictures_ = new PicturePanel(toolBar_);
    toolBar_->addWidget(pictures_);
}

void CMainFrame::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setMinimumWidth(kMessagePaneMin);
    pathPane_ = pane(bar, kPathPaneWidth, QString());
    pathPane_->setObjectName("61213");
    pathPane_->setToolTip(qtTrId("61213"));
    gridPane_ = pane(bar, kSmallPaneWidth, qtTrId("61211"));
    xPane_ = pane(bar, kSmallPaneWidth, QStringLiteral("X"));
    yPane_ = pane(bar, kSmallPaneWidth, QStringLiteral("Y"));
}

void CMainFrame::focusPane(int step) {
    std::vector<QWidget*> panes = {graph_, codeList_};
    if (findList_->isVisible()) panes.push_back(findList_);
    int at = 0;
    for (std::size_t i = 0; i < panes.size(); ++i) {
        if (panes[i]->hasFocus()) at = static_cast<int>(i);
    }
    const int n = static_cast<int>(panes.size());
    panes[static_cast<std::size_t>(((at + step) % n + n) % n)]->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------------------------
// Views and enable rules

void CMainFrame::documentChanged(int hint) {
    prompter_.setUtf8(session_.doc().textIsUtf8());
    currentSegment_ = session_.doc().clampSegment(currentSegment_);
    if (hint == 0 || hint == 2) {
        codeList_->model().rebuild();
        findList_->model().rebuild();
    }
    graph_->setCaption(QString::fromStdString(session_.doc().fileName()));
    graph_->documentUpdated(hint);
    if (hint == 0) {
        pathPane_->setText(QString::fromStdString(session_.path()));
        setWindowTitle(session_.path().empty() ? qtTrId("tavrel.untitled")
                                               : QString::fromStdString(session_.title()));
    }
    updateActions();
}

void CMainFrame::updateActions() {
    action("undo")->setEnabled(session_.canUndo());
    action("redo")->setEnabled(session_.canRedo());
    // Join and the Machining commands need a machinable program (kinds 1, 2 and 4).
    for (const char* name : {"join", "hfGroup", "recognise"}) action(name)->setEnabled(session_.doc().machinable());
    action("quick")->setEnabled(handOff_->quickEnabled());
    action("grid")->setChecked(graph_->gridShown());
}

void CMainFrame::chooseSegment(int segment, QObject* from) {
    if (segment < 0 || segment >= session_.doc().count()) return;
    currentSegment_ = segment;
    graph_->setSelectedSegment(segment);
    if (from != codeList_) codeList_->showRow(segment);
    if (from != findList_) {
        const int row = findList_->model().rowOf(segment);
        if (row >= 0) findList_->showRow(row);
    }
}

void CMainFrame::showRecognisedList() {
    recognisedShown_ = true;
    findList_->show();
    applyProportions();
}

void CMainFrame::applyProportions() {
    const int h = rows_->height(), w = lists_->width();
    rows_->setSizes({h * 2 / 3, h - h * 2 / 3});
    if (recognisedShown_) lists_->setSizes({w * 2 / 3, w - w * 2 / 3});
}

void CMainFrame::resizeEvent(QResizeEvent* ev) {
    QMainWindow::resizeEvent(ev);
    applyProportions();
}

// ---------------------------------------------------------------------------------------------
// Files

bool CMainFrame::openFile(const QString& name) {
    // The document keeps the full path: it is shown, remembered and handed on.
    const QString path = QFileInfo(name).absoluteFilePath();
    const bool ok = session_.open(path.toStdString());
    if (ok) rememberRecent(path);
    currentSegment_ = 0;
    graph_->setSelectedSegment(0);
    documentChanged(0);
    return ok;
}

void CMainFrame::onOpen() {
    const auto path = prompter_.ui().chooseOpenFile(qtTrId("tavrel.open"), QString(), openFilter());
    if (path && !path->isEmpty()) openFile(*path);
}

void CMainFrame::onSave() {
    session_.save();
    updateActions();
}

void CMainFrame::onSaveAs() {
    session_.saveAs();
    updateActions();
}

void CMainFrame::onClose() {
    if (session_.close()) documentChanged(0);
}

void CMainFrame::onExit() { close(); }

void CMainFrame::closeEvent(QCloseEvent* ev) {
    // A save that does not complete keeps the window open with the edits.
    if (session_.saveModified()) ev->accept();
    else ev->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* ev) {
    if (ev->mimeData()->hasUrls()) ev->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* ev) {
    for (const QUrl& url : ev->mimeData()->urls()) {
        if (url.isLocalFile()) {
            openFile(url.toLocalFile());
            break;
        }
    }
    ev->acceptProposedAction();
}

QStringList CMainFrame::recentFiles() const {
    korvex::SettingsFile ini(recentFilesPath_);
    QStringList files;
    for (int i = 1; i <= kRecentFiles; ++i) {
        const auto f = ini.readText(kRecentSection, QStringLiteral("File%1").arg(i));
        if (f && !f->isEmpty()) files << *f;
    }
    return files;
}

void CMainFrame::rememberRecent(const QString& path) {
    if (recentFilesPath_.isEmpty()) return;
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    korvex::SettingsFile ini(recentFilesPath_);
    for (int i = 0; i < kRecentFiles; ++i) {
        const QString key = QStringLiteral("File%1").arg(i + 1);
        if (i < files.size()) ini.writeText(kRecentSection, key, files[i]);
        else ini.removeKey(kRecentSection, key);
    }
    rebuildRecentMenu();
}

void CMainFrame::rebuildRecentMenu() {
    recentMenu_->clear();
    const QStringList files = recentFilesPath_.isEmpty() ? QStringList() : recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(a, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    recentMenu_->setEnabled(!files.isEmpty());
}

// ---------------------------------------------------------------------------------------------
// View commands

void CMainFrame::onFit() { graph_->fitToWindow(); }
void CMainFrame::onMove() { graph_->setMoveMode(true); }
void CMainFrame::onZoomIn() { graph_->zoomIn(); }
void CMainFrame::onZoomOut() { graph_->zoomOut(); }
void CMainFrame::onToggleToolbar() { toolBar_->setVisible(action("toolbar")->isChecked()); }
void CMainFrame::onToggleStatusBar() { statusBar()->setVisible(action("statusBar")->isChecked()); }

void CMainFrame::onToggleGrid() {
    graph_->setGridShown(!graph_->gridShown());
    updateActions();
}

// ---------------------------------------------------------------------------------------------
// Line commands

void CMainFrame::runLineCommand(int (EditorSession::*command)(const std::vector<int>&)) {
    const int select = (session_.*command)(codeList_->selectedRows());
    documentChanged(2);
    if (select >= 0) {
        codeList_->selectRow(select);
        chooseSegment(select, codeList_);
    }
}

void CMainFrame::onAdd() { runLineCommand(&EditorSession::add); }
void CMainFrame::onModify() { runLineCommand(&EditorSession::modify); }
void CMainFrame::onDelete() { runLineCommand(&EditorSession::deleteLines); }
void CMainFrame::onPaste() { runLineCommand(&EditorSession::paste); }
void CMainFrame::onCut() { runLineCommand(&EditorSession::cut); }

void CMainFrame::onCopy() {
    session_.copy(codeList_->selectedRows());  // the document does not change
}

void CMainFrame::onUndo() {
    if (session_.undo()) documentChanged(2);
}

void CMainFrame::onRedo() {
    if (session_.redo()) documentChanged(2);
}

void CMainFrame::onQuickMachining() { handOff_->quickMachining(); }

void CMainFrame::onAbout() {
    prompter_.ui().message(qtTrId("tavrel.about.title"), qtTrId("tavrel.about.text").arg(kVersion),
                           korvex::OperatorInteraction::Icon::Information);
}

}  // namespace tavrel
