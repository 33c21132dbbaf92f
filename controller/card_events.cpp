#include "controller/card_events.h"

#include <QMetaObject>
#include <QPointer>

namespace korvex {

std::vector<RoutedEvent> routeCardEvent(const CardEvent& event) { return routeCardEvent(event.code, event.data); }

CardControl::EventHook CardEventRouter::hook() {
    // Posted events to a destroyed router are dropped by Qt; the QPointer only guards the
    // (UI-thread) delivery.
    QPointer<CardEventRouter> self(this);
    return [self, target = this](const CardEvent& event) {
        if (event.code == reportcode::kLinkFailure) {
            target->linkFailureReported_ = true;
            target->linkFailure_ = true;
        }
        if (event.code == reportcode::kSegmentReached)
            target->sinkSegment(GetLe32(&event.data[4]));
        QMetaObject::invokeMethod(
            target, [self, event] { if (self) self->receive(event); }, Qt::QueuedConnection);
    };
}

void CardEventRouter::setSegmentSink(SegmentSink sink) {
    std::lock_guard lock(sinkMutex_);
    segmentSink_ = std::move(sink);
}

void CardEventRouter::sinkSegment(int32_t segment) {
    std::lock_guard lock(sinkMutex_);
    if (segmentSink_)
        segmentSink_(segment);
}

void CardEventRouter::receive(const CardEvent& event) {
    if (holding_) {
        held_.push_back(event);
        return;
    }
    deliver(event);
}

void CardEventRouter::release() {
    holding_ = false;
    std::vector<CardEvent> pending;
    pending.swap(held_);
    for (const CardEvent& event : pending)
        deliver(event);
}

void CardEventRouter::discardHeld() { held_.clear(); }

void CardEventRouter::deliver(const CardEvent& event) {
    for (const RoutedEvent& routed : routeCardEvent(event)) {
        switch (routed.target) {
        case RoutedEvent::Target::Graph: emit graphEvent(routed.kind, routed.argument); break;
        case RoutedEvent::Target::Buttons: emit buttonsRefresh(); break;
        case RoutedEvent::Target::CodeList: emit segmentReached(routed.argument); break;
        case RoutedEvent::Target::StatusPanel: emit pulseGroupSwitched(routed.argument); break;
        }
    }
}

}  // namespace korvex
