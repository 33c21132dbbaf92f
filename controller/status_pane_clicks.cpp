#include "controller/status_pane_clicks.h"

#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

namespace korvex {

std::optional<ConfigEntry> paneClickEntry(int x, int loopLeft, int loopRight, int maxSpeedRight, int phaseRight) {
    if (x < loopLeft)
        return std::nullopt;
    if (x <= loopRight)
        return ConfigEntry::Loop;
    if (x <= maxSpeedRight)
        return ConfigEntry::Speed;
    if (x <= phaseRight)
        return ConfigEntry::Phase;
    return std::nullopt;
}

StatusPaneClicks::StatusPaneClicks(QStatusBar* bar, QWidget* loopPane, QWidget* maxSpeedPane, QWidget* phasePane,
                                   Run run)
    : QObject(bar), loop_(loopPane), maxSpeed_(maxSpeedPane), phase_(phasePane), run_(std::move(run)) {
    // The panes pass the clicks they do not use on to the bar, which sees them here.
    bar->installEventFilter(this);
}

bool StatusPaneClicks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QObject::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    auto* bar = static_cast<QWidget*>(watched);
    const int x = static_cast<int>(mouse->position().x());
    const auto edge = [bar](QWidget* pane, bool right) {
        return pane->mapTo(bar, QPoint(right ? pane->width() - 1 : 0, 0)).x();
    };
    const auto entry = paneClickEntry(x, edge(loop_, false), edge(loop_, true), edge(maxSpeed_, true), edge(phase_, true));
    if (!entry)
        return false;
    // The dialog runs once the click has been handled, as a posted message would, so the bar
    // never sits under a nested event loop of its own press.
    QTimer::singleShot(0, this, [this, e = *entry] { run_(e); });
    return true;
}

}  // namespace korvex
