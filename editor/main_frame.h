// CMainFrame: the editor's window (object name "Tavrel"): menus, toolbar, status panes, the
// drawing above the code list and the recognised list, recent files and dropped files. Every
// command runs through EditorSession; the views only show and steer the document.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <map>

#include "editor/document/editor_session.h"

class QAction;
class QLabel;
class QSplitter;
class QMenu;

namespace tavrel {

class CGraphView;
class CTavrelView;
class CFindListView;
class EditorHandOff;
class PicturePanel;
class OperatorPrompter;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `recentFilesPath` is the INI file of the recent-file list. Every question goes through
    // the prompter's operator interaction.
    CMainFrame(OperatorPrompter& prompter, QString recentFilesPath, QWidget* parent = nullptr);
    ~CMainFrame() override;

    EditorSession& session() { return session_; }
    CGraphView* graph() const { return graph_; }
    CTavrelView* codeList() const { return codeList_; }
    CFindListView* findList() const { return findList_; }
    // An action by its command name ("add", "undo", "fit", ...).
    QAction* action(const QString& name) const;
    QString paneText(const QString& pane) const;  // "path", "grid", "x", "y"
    QStringList recentFiles() const;

    // Opens a file as File Open, the recent list, a drop or the command line do.
    bool openFile(const QString& path);
    // Shows the recognised list beside the code list (after recognition was confirmed once).
    void showRecognisedList();
    // Makes a segment current in all views, as a click in a list does.
    void chooseSegment(int segment, QObject* from);
    // Quick machining and the hand-offs from the controller.
    EditorHandOff& handOff() const { return *handOff_; }

protected:
    void closeEvent(QCloseEvent* ev) override;
    void resizeEvent(QResizeEvent* ev) override;
    void dragEnterEvent(QDragEnterEvent* ev) override;
    void dropEvent(QDropEvent* ev) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QAction* addCommand(const QString& name, const char* textId, const char* tipId, const QKeySequence& key,
                        void (CMainFrame::*slot)());
    void documentChanged(int hint);
    void updateActions();
    void applyProportions();
    void rememberRecent(const QString& path);
    void rebuildRecentMenu();
    void focusPane(int step);

    void onOpen();
    void onSave();
    void onSaveAs();
    void onClose();
    void onExit();
    void onFit();
    void onMove();
    void onZoomIn();
    void onZoomOut();
    void onToggleToolbar();
    void onToggleStatusBar();
    void onToggleGrid();
    void onUndo();
    void onRedo();
    void onAdd();
    void onModify();
    void onDelete();
    void onCopy();
    void onPaste();
    void onCut();
    void onQuickMachining();
    // Machining menu and Join (machining_menu.cpp).
    void onHfGroup();
    void onRecognise();
    void onJoin();
    void onAbout();
    void runLineCommand(int (EditorSession::*command)(const std::vector<int>&));

    OperatorPrompter& prompter_;
    EditorSession session_;
    QString recentFilesPath_;
    std::map<QString, QAction*> actions_;
    QSplitter* rows_ = nullptr;
    QSplitter* lists_ = nullptr;
    CGraphView* graph_ = nullptr;
    CTavrelView* codeList_ = nullptr;
    CFindListView* findList_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QLabel* pathPane_ = nullptr;
    QLabel* gridPane_ = nullptr;
    QLabel* xPane_ = nullptr;
    QLabel* yPane_ = nullptr;
    PicturePanel* pictures_ = nullptr;
    EditorHandOff* handOff_ = nullptr;
    bool recognisedShown_ = false;
    int currentSegment_ = 0;
};

}  // namespace tavrel
