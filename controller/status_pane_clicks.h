// Left clicks on the status bar's panes open their dialogs: inside the Loop pane the Loop dialog,
// further right up to the end of the Max Speed pane the Speed dialog, further right up to the
// end of the Phase pane the Phase dialog. Each runs through its Config entry, so a click is
// refused whenever the entry's key would be (Fast roll on, or a work state other than 0, 1, 2
// and 11).
#pragma once

#include <QObject>

#include <functional>
#include <optional>

#include "controller/config/config_rules.h"

class QStatusBar;
class QWidget;

namespace korvex {

// The entry a click at status-bar x opens, from the right edges of the panes (their left edge
// for the Loop pane); nothing left of the Loop pane or right of the Phase pane.
std::optional<ConfigEntry> paneClickEntry(int x, int loopLeft, int loopRight, int maxSpeedRight, int phaseRight);

class StatusPaneClicks : public QObject {
    Q_OBJECT
public:
    using Run = std::function<void(ConfigEntry)>;
    // Watches `bar`; the three panes are its widgets.
    StatusPaneClicks(QStatusBar* bar, QWidget* loopPane, QWidget* maxSpeedPane, QWidget* phasePane, Run run);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* loop_;
    QWidget* maxSpeed_;
    QWidget* phase_;
    Run run_;
};

}  // namespace korvex
