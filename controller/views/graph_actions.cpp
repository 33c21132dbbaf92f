#include "controller/views/graph_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "controller/views/graph_view.h"

namespace korvex {

namespace {

struct EntryInfo {
    GraphViewActions::Entry entry;
    const char* labelId;
    const char* tipId;
    QKeySequence key;
    bool checkable;
    bool toolBar;
};

}  // namespace

GraphViewActions::GraphViewActions(QMenu* menu, QToolBar* toolBar, CGraphView* view, QObject* parent)
    : QObject(parent) {
    using E = Entry;
    const EntryInfo entries[kEntryCount] = {
        {E::Fit, "view.fit", "view.fit.tip", QKeySequence(Qt::Key_Home), false, true},
        {E::Move, "view.move", "view.move.tip", QKeySequence(Qt::Key_Space), true, true},
        {E::ZoomIn, "view.zoom_in", "view.zoom_in.tip", QKeySequence(Qt::Key_PageUp), false, true},
        {E::ZoomOut, "view.zoom_out", "view.zoom_out.tip", QKeySequence(Qt::Key_PageDown), false, true},
        {E::Grid, "view.grid", "view.grid.tip", QKeySequence(), true, false},
        {E::FullScreen, "view.full_screen", "view.full_screen.tip", QKeySequence(), true, true},
    };
    for (const EntryInfo& info : entries) {
        QAction* action = menu->addAction(qtTrId(info.labelId));
        action->setObjectName(QString::fromLatin1(info.labelId));
        action->setShortcut(info.key);
        action->setCheckable(info.checkable);
        action->setToolTip(qtTrId(info.tipId));
        action->setStatusTip(qtTrId(info.tipId));
        if (toolBar && info.toolBar)
            toolBar->addAction(action);
        // On the window itself too, so the key acts wherever the window's focus is.
        if (auto* window = qobject_cast<QWidget*>(parent))
            window->addAction(action);
        actions_[static_cast<std::size_t>(info.entry)] = action;
    }
    connect(action(E::Fit), &QAction::triggered, view, &CGraphView::fit);
    connect(action(E::ZoomIn), &QAction::triggered, view, &CGraphView::zoomIn);
    connect(action(E::ZoomOut), &QAction::triggered, view, &CGraphView::zoomOut);
    connect(action(E::Move), &QAction::toggled, view, &CGraphView::setMoveMode);
    connect(view, &CGraphView::moveModeChanged, action(E::Move), &QAction::setChecked);
    connect(action(E::Grid), &QAction::toggled, view, &CGraphView::setGrid);
    connect(action(E::FullScreen), &QAction::toggled, view, &CGraphView::setLargeReadout);
    connect(view, &CGraphView::largeReadoutChanged, action(E::FullScreen), &QAction::setChecked);
}

}  // namespace korvex
