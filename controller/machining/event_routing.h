// Which part of the controller each card report is for. The link hands over reports on its
// reader thread (and link failures on the thread whose transaction failed); this table turns
// each into the messages of the views:
//
//   code 0 (link failure)        -> graph view, kind 6, argument = the failed command
//   code 1 (run event), rec[1]:     6 -> kind 1; 3 with rec[0] = 6 -> kind 2; 9 -> kind 3;
//                                   11 -> kind 4; 10 -> kind 5; 8 -> kind 7; 16 -> kind 8;
//                                   then, for every run event, the button panel refreshes
//   code 2 (segment reached)     -> code list, segment = rec[4..7] little-endian
//   code 4 (pulse group switched)-> status panel, group = rec[2]
//   code 3 and 5 and above       -> nobody
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "controller/link/frame.h"

namespace korvex {

// One message the event produces.
struct RoutedEvent {
    enum class Target { Graph, Buttons, CodeList, StatusPanel };
    Target target;
    int kind;      // graph event kind 1..8, or 9/10/11 for the other views
    int argument;
};

std::vector<RoutedEvent> routeCardEvent(uint8_t code, const std::array<uint8_t, kReportDataBytes>& rec);

}  // namespace korvex
