// Card reports and link failures reach the user-interface thread here. The link calls the hook
// on its reader thread (reports) or on the thread whose transaction failed (code 0); the hook
// only queues the event onto the UI thread, where it is routed to the view that handles it:
//
//   (the table of who gets what is in controller/machining/event_routing.h)
//
// While start-up shows its own dialogs, events are held and delivered in arrival order when
// start-up ends, so no handler runs against a half-built window.
#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "controller/card_control.h"
#include "controller/machining/event_routing.h"

namespace korvex {

std::vector<RoutedEvent> routeCardEvent(const CardEvent& event);

class CardEventRouter : public QObject {
    Q_OBJECT
public:
    explicit CardEventRouter(QObject* parent = nullptr) : QObject(parent) {}

    // A hook for CardControl::setEventHook: safe to call from any thread, never blocks.
    CardControl::EventHook hook();

    // Where "segment reached" reports go on the thread that received them (the card worker's
    // window queue), ahead of and independent of the UI thread; the code list still gets its
    // notice. An empty function removes it.
    using SegmentSink = std::function<void(int32_t segment)>;
    void setSegmentSink(SegmentSink sink);

    // Holds delivered events until release(); release() hands them on in arrival order.
    void hold() { holding_ = true; }
    void release();
    // Drops the held events: reports of a work the previous run of the controller started
    // (a replayed group switch would restart the machine). A link failure is kept: it is a flag.
    void discardHeld();
    bool holding() const { return holding_; }
    // Whether a link failure was reported since the last call. Set by the hook itself, on the
    // thread whose transaction failed, so it is known as soon as the failed command returns.
    bool takeLinkFailure() { return linkFailure_.exchange(false); }
    // Whether a link failure was ever reported: the program is ending, and whatever fails
    // because of it says nothing more than the lost-link alarm.
    bool linkFailureReported() const { return linkFailureReported_; }

signals:
    void graphEvent(int kind, int argument);
    void buttonsRefresh();
    void segmentReached(int segment);
    void pulseGroupSwitched(int group);

private:
    void receive(const CardEvent& event);
    void deliver(const CardEvent& event);

    void sinkSegment(int32_t segment);

    std::mutex sinkMutex_;
    SegmentSink segmentSink_;
    bool holding_ = false;
    std::atomic<bool> linkFailure_{false};
    std::atomic<bool> linkFailureReported_{false};
    std::vector<CardEvent> held_;
};

}  // namespace korvex
