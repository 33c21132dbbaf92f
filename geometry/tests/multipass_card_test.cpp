// A multi-pass program cut on the virtual card through the real card link, the test playing the
// controller: the card stops at every "T17" line as a group switch point, the adjusted start
// continues with the group switched to, and the cut ends with "Finished" where it began.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/multipass.h"
#include "sim/card/tests/pc_side.h"

namespace korvex::sim::testing {
namespace {

const char* const kSquare =
    "N0 G92 X0.000 Y0.000;\nN1 G01 X5.000 Y0.000;\nN2 G01 X10.000 Y0.000;\nN3 G01 X0.000 Y10.000;\n"
    "N4 G01 X-10.000 Y0.000;\nN5 G01 X0.000 Y-10.000;\nN6 G01 X-5.000 Y0.000;\nN7 M02;\n";

TEST(MultipassOnTheCard, CutsToFinishedSwitchingAtEveryGroupSwitchLine) {
    LoadedProgram source;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText(kSquare, "part.iso", LoadOptions{}, source, failure), 0) << failure.message;
    MultipassSettings s;
    s.mode = 1;
    s.count = 3;
    s.len = 2;
    s.lastLen = 0.05;
    s.dao = {3, 5, 7, 1, 2, 3, 4, 5};
    s.inDao = 6;
    s.outDao = 2;
    s.firstDao = 4;
    s.lastDao = 1;
    std::string text, error;
    ASSERT_EQ(multipassFileText(source, s, text, error), 0) << error;
    Program program;
    ASSERT_EQ(loadProgramText(text, "part.iso.4nb", LoadOptions{}, program.loaded, failure), 0) << failure.message;
    ASSERT_EQ(program.loaded.kind, kKindIsoSwitches);
    ASSERT_EQ(program.loaded.switches.size(), 8u);

    CardServer server{virtualCardOptions()};
    ASSERT_EQ(server.start(), 0) << server.error();
    PcSide pc{server};
    ASSERT_EQ(pc.connect(), 0);
    const int32_t last = program.count() - 1;
    pc.load(program, 0, last, false);
    ASSERT_EQ(CMD_SET_MOTOR(pc.link(), true), 0);
    ASSERT_EQ(CMD_START_CUT(pc.link(), pc.windowAround(0), pc.freshStart(0)), 0);

    std::vector<int32_t> switchPoints;
    Event e;
    for (size_t guard = 0; guard < 2 * program.loaded.switches.size() + 2; ++guard) {
        e = pc.run({kEventFinished, kEventGroupSwitch});
        if (e.kind() != kEventGroupSwitch) break;
        PositionBlock at;
        ASSERT_EQ(CMD_GET_POSITION(pc.link(), &at), 0);
        switchPoints.push_back(at.work.segment);
        ASSERT_EQ(CMD_START_ADJUSTED(pc.link(), pc.windowAround(at.work.segment), pc.startFrom(at.work)), 0);
    }
    EXPECT_EQ(e.kind(), kEventFinished);
    EXPECT_EQ(e.mode(), kRunCutting);

    // A switch point at every "T17" segment, and each group switched to in order.
    std::vector<int32_t> expectedPoints;
    std::vector<int> expectedGroups;
    for (const SwitchEntry& w : program.loaded.switches) {
        expectedPoints.push_back(w.segment);
        expectedGroups.push_back(w.f);
    }
    EXPECT_EQ(switchPoints, expectedPoints);
    std::vector<int> groups;
    for (const Event& r : pc.events)
        if (r.code == reportcode::kPulseGroupSwitched) groups.push_back(r.data[2]);
    EXPECT_EQ(groups, expectedGroups);
    EXPECT_EQ(expectedGroups, (std::vector<int>{6, 3, 5, 7, 4, 5, 1, 2}));

    PositionBlock end;
    ASSERT_EQ(CMD_GET_POSITION(pc.link(), &end), 0);
    EXPECT_EQ(end.work.guideX, 0);
    EXPECT_EQ(end.work.guideY, 0);
    EXPECT_TRUE(pc.linkFailures.empty());
}

}  // namespace
}  // namespace korvex::sim::testing
