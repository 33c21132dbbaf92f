#include "controller/machining/event_routing.h"

#include "controller/link/records.h"

namespace korvex {

std::vector<RoutedEvent> routeCardEvent(uint8_t code, const std::array<uint8_t, kReportDataBytes>& rec) {
    using T = RoutedEvent::Target;
    std::vector<RoutedEvent> out;
    switch (code) {
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

}  // namespace korvex
