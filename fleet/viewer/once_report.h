// kvfleet --once --json: connects, reads what the broker holds (the retained online flags and
// states of every machine, and whatever events arrive meanwhile), prints the table as JSON and
// ends. The broker sends the retained messages in one burst right after the subscription, so the
// burst is over once no message came for kQuietTime, or after kMostTime at most.
#pragma once

#include <chrono>
#include <cstdio>

#include "fleet/viewer/fleet_options.h"

namespace korvex::fleet {

struct OnceTiming {
    std::chrono::milliseconds quietTime{500};
    std::chrono::milliseconds mostTime{3000};
    std::chrono::milliseconds connectTime{5000};  // longest wait for the first connection
};

// Returns the exit status: 0 with the table on `out`, 1 with a message on `err` when the broker
// cannot be reached (or refuses us), 2 when no broker is configured.
int runOnce(const ViewerOptions& options, std::FILE* out, std::FILE* err, OnceTiming timing = {});

}  // namespace korvex::fleet
