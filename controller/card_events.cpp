#include "controller/card_events.h"

#include <QMetaObject>
#include <QPointer>

namespace korvex {

std::vector<RoutedEvent> routeCardEvent(const CardEvent& event) {
    using T = RoutedEvent::Target;
    const auto& rec = event.data;
    std::vector<RoutedEvent> out;
    switch (event.code) {
    case reportcode::kLinkFailure:
        out.push_back({T::Graph, 6, rec[1]});
        break;
    case reportcode::kRunEvent: {
        const int mode = rec[0];
        switch (rec[1]) {
        case 6: out.push_back({T::Graph, 1, 0}); break;
        case 3:
            if (mode == 6)
                out.push_back({T::Graph, 2, 0});
            break;
        case 9: {
            const int activity = (mode == 6 || mode == 7) ? 3 : mode == 3 ? 2 : mode == 4 ? 1 : 0;
            out.push_back({T::Graph, 3, activity});
            break;
        }
        case 11: out.push_back({T::Graph, 4, mode == 3 ? 2 : mode == 4 ? 1 : 0}); break;
        case 10: out.push_back({T::Graph, 5, 0}); break;
        case 8: out.push_back({T::Graph, 7, 0}); break;
        case 16: out.push_back({T::Graph, 8, 0}); break;
        default: break;
        }
        out.push_back({T::Buttons, 9, 0});
        break;
    }
    case reportcode::kSegmentReached:
        out.push_back({T::CodeList, 10, GetLe32(&rec[4])});
        break;
    case reportcode::kPulseGroupSwitched:
        out.push_back({T::StatusPanel, 11, rec[2]});
        break;
    default:
        break;
    }
    return out;
}

CardControl::EventHook CardEventRouter::hook() {
    // Posted events to a destroyed router are dropped by Qt; the QPointer only guards the
    // (UI-thread) delivery.
    QPointer<CardEventRouter> self(this);
    return [self, target = this](const CardEvent& event) {
        if (event.code == reportcode::kLinkFailure)
            target->linkFailure_ = true;
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
