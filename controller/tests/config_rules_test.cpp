#include "controller/config/config_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace korvex {
namespace {

TEST(ConfigRules, EachEntryFollowsWorkStateRollingMarkAndProgram) {
    using E = ConfigEntry;
    struct Row { E entry; std::vector<int> enabledStates; bool blockedByRolling, blockedByMark, needsProgram; };
    const Row rows[] = {
        {E::Phase, {0, 1, 2, 11}, true, false, false},     {E::Speed, {0, 1, 2, 11}, true, false, false},
        {E::Backward, {0, 1, 2, 11}, true, false, false},  {E::Clearance, {0, 1, 2, 11}, true, false, false},
        {E::Loop, {0, 1, 2, 11}, true, false, false},      {E::Track, {0, 1, 2, 11}, true, false, false},
        {E::MultTest, {0, 1, 2, 11}, true, false, false},  {E::Direction, {0, 1}, true, true, false},
        {E::StopMachine, {0, 1}, true, true, false},       {E::PlanPause, {1, 2}, true, false, true},
        {E::RestoreDefault, {0}, false, false, false},     {E::MobileNotice, {0, 1, 2, 11}, true, false, false},
    };
    for (const Row& r : rows) {
        for (int s = 0; s <= 13; ++s) {
            const bool inState = std::find(r.enabledStates.begin(), r.enabledStates.end(), s) != r.enabledStates.end();
            ConfigConditions c{s, false, false, true};
            EXPECT_EQ(configEntryEnabled(r.entry, c), inState) << int(r.entry) << " s=" << s;
            c.rolling = true;
            EXPECT_EQ(configEntryEnabled(r.entry, c), inState && !r.blockedByRolling) << int(r.entry);
            c = {s, false, true, true};
            EXPECT_EQ(configEntryEnabled(r.entry, c), inState && !r.blockedByMark) << int(r.entry);
            c = {s, false, false, false};
            EXPECT_EQ(configEntryEnabled(r.entry, c), inState && !r.needsProgram) << int(r.entry);
        }
    }
    for (E always : {E::MultTable, E::Option}) {
        EXPECT_TRUE(configEntryEnabled(always, {3, true, true, false}));
    }
}

}  // namespace
}  // namespace korvex
