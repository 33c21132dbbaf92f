// When each Config and Option entry may be used: from the card work state s, the fast-roll flag,
// a pending recovery mark and whether a program is loaded. Settings that a running work reads
// (phase, speeds, back, loop, ...) wait for an idle or paused card; the motion tests also for
// no recovery mark, since they move the axes the mark's positions refer to.
#pragma once

#include <cstdint>

namespace korvex {

enum class ConfigEntry : uint8_t {
    Phase, Direction, StopMachine, MultTest, Speed, MultTable, Backward, Clearance, Loop, PlanPause, Track,
    RestoreDefault, Option, MobileNotice,
};

struct ConfigConditions {
    int workState = 0;
    bool rolling = false;
    bool markPending = false;
    bool programLoaded = false;
};

bool configEntryEnabled(ConfigEntry entry, const ConfigConditions& c);

}  // namespace korvex
