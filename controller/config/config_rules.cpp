#include "controller/config/config_rules.h"

namespace korvex {

bool configEntryEnabled(ConfigEntry entry, const ConfigConditions& c) {
    const int s = c.workState;
    const bool settled = !c.rolling && (s == 0 || s == 1 || s == 2 || s == 11);
    switch (entry) {
    case ConfigEntry::Phase:
    case ConfigEntry::Speed:
    case ConfigEntry::Backward:
    case ConfigEntry::Clearance:
    case ConfigEntry::Loop:
    case ConfigEntry::Track:
    case ConfigEntry::MultTest:
    case ConfigEntry::MobileNotice:
        return settled;
    case ConfigEntry::Direction:
    case ConfigEntry::StopMachine:
        return !c.markPending && !c.rolling && (s == 0 || s == 1);
    case ConfigEntry::PlanPause:
        return c.programLoaded && !c.rolling && (s == 1 || s == 2);
    case ConfigEntry::RestoreDefault:
        return s == 0;
    case ConfigEntry::MultTable:
    case ConfigEntry::Option:
        return true;
    }
    return false;
}

}  // namespace korvex
