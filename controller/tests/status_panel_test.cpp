// The status panel: the feed the operator sets reaches the virtual card through the card worker
// (and only an operator's move sends), the card's pulse group report shows that group's feed,
// the work's progress in running order, and the efficiency from the thickness asked for.
#include "controller/status_panel_control.h"

#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <chrono>

#include "code/loader.h"
#include "controller/card_events.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/pulse_table.h"
#include "controller/settings_keys.h"
#include "controller/tests/shell_test_support.h"
#include "sim/card/card_engine.h"
#include "sim/card/control.h"

namespace korvex::testing {
namespace {

constexpr int kWaitMs = 10000;

std::array<int, 4> entryValues(const FeedBytes& bytes) {
    return {GetLe16(&bytes[0]), GetLe16(&bytes[2]), GetLe16(&bytes[4]), GetLe16(&bytes[6])};
}

TEST(FeedEntry, FollowsTheTrackingModeTableAndAddsTheSensitivityToTheFirstOnly) {
    struct Case {
        int mode, v, sensitivity;
        std::array<int, 4> entry;
    };
    const Case cases[] = {
        {0, 100, 0, {90, 2, 10, 0}},
        {0, 100, 7, {90, 9, 17, 0}},
        {0, 1, 500, {2000, 502, 510, 0}},
        {1, 100, 7, {90, 288, 1330, 0}},
        {1, 200, 0, {2, 20, 300, 0}},
        {2, 100, 7, {0, 0, 0, 0}},   // no table for this mode: the bytes carry nothing
        {-1, 50, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(entryValues(feedRequestEntry(c.mode, c.v, c.sensitivity)), c.entry)
            << "mode " << c.mode << " v " << c.v;
}

TEST(WorkProgress, CountsTheStepsDoneInRunningOrderAndNeverLooksOutsideTheProgram) {
    LoadedProgram program;
    program.segments.resize(5);
    const int32_t steps[] = {10, 20, 30, 40, 50};
    std::vector<int64_t> prefix{0};
    for (int i = 0; i < 5; ++i) {
        program.segments[static_cast<std::size_t>(i)].lower.steps = steps[i];
        prefix.push_back(prefix.back() + steps[i]);
    }
    WorkParams work;
    work.segment = 2;
    work.lower.steps = 5;
    work.guideX = -7;
    StatusProgress p = workProgress(program, prefix, 1, 3, work);
    EXPECT_EQ(p.totalSteps, 90);
    EXPECT_EQ(p.overSteps, 25) << "segment 1 whole, 5 steps into 2";
    EXPECT_EQ(p.x, -7);
    EXPECT_EQ(p.totalSegments, 5);
    // Backwards from 3 to 1: segment 3 done, segment 2 from its end with 5 steps left.
    p = workProgress(program, prefix, 3, 1, work);
    EXPECT_EQ(p.overSteps, 40 + 25);
    EXPECT_EQ(p.startSegment, 3);
    work.segment = 4;  // outside the range
    EXPECT_EQ(workProgress(program, prefix, 1, 3, work).overSteps, 0);
    work.segment = 900;  // outside the program
    EXPECT_EQ(workProgress(program, prefix, 0, 900, work).totalSteps, 0);
}

class StatusPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        card = std::make_unique<LinkCardControl>(fastLinkOptions());
        card->setEventHook(events.hook());
        ASSERT_EQ(card->open(virtualCard.device()), 0);
        ASSERT_EQ(card->connect(), 0);
        uint32_t id = 0;
        ASSERT_EQ(card->getCardId(id), 0);
        session.cardId = id;
        session.cardKnown = true;
        control = std::make_unique<MachineControl>(session, card->link(), op, events, pulseTable, nullptr);
        panel = std::make_unique<StatusPanelControl>(
            view, pulseTable, [this] { return session.cardSettings(); }, op, [] { return QStringLiteral("M1"); });
        panel->feed().setSender([this](const FeedBytes& e, int v) { control->sendFeed(e, v); });
        QObject::connect(&events, &CardEventRouter::pulseGroupSwitched, panel.get(), &StatusPanelControl::groupSwitched);
    }
    void TearDown() override {
        panel.reset();
        control.reset();
        card->close();
    }
    // What the card took last, once the worker has sent everything queued.
    std::pair<int, std::array<int, 4>> cardFeed() {
        EXPECT_TRUE(control->worker().waitUntilIdle(kWaitMs));
        return virtualCard.server().withEngine([](sim::CardEngine& e) {
            FeedBytes bytes;
            std::copy(e.feedEntry().begin(), e.feedEntry().end(), bytes.begin());
            return std::pair{e.feed(), entryValues(bytes)};
        });
    }
    bool processUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    // The panel is a widget, built with the fixture: the application must exist before it, also
    // when a test runs alone.
    struct ApplicationFirst {
        ApplicationFirst() { ensureApplication(); }
    } applicationFirst;
    ScratchDataDir data;
    VirtualCard virtualCard;
    CardEventRouter events;
    ScriptedOperator op;
    MachineSession session;
    PulseTable pulseTable;
    CStatusView view;
    std::unique_ptr<LinkCardControl> card;
    std::unique_ptr<MachineControl> control;
    std::unique_ptr<StatusPanelControl> panel;
};

TEST_F(StatusPanelTest, OnlyTheOperatorsMovesSendAndEachReachesTheCardWithItsEntry) {
    SettingsFile ini = session.cardSettings();
    ASSERT_EQ(writeKey(ini, keys::kShortSensitivity, 7), 0);
    FeedControl& feed = panel->feed();
    feed.setTrackingMode(0);

    feed.setFeed(1);
    EXPECT_EQ(cardFeed(), (std::pair{1, std::array<int, 4>{2000, 9, 17, 0}}));
    EXPECT_EQ(view.feedText(), QStringLiteral("0.5"));
    view.feedDownButton()->click();  // "-" at 1 stays at 1, and still sends
    EXPECT_EQ(feed.value(), 1);
    view.feedUpButton()->click();
    EXPECT_EQ(cardFeed().first, 2);
    EXPECT_EQ(readKey(session.cardSettings(), keys::kFreq), 2);

    view.feedSlider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(cardFeed().first, 2 + view.feedSlider()->pageStep());
    EXPECT_EQ(view.feedSlider()->value(), feed.value());

    // Shown from elsewhere (the group report, start-up's display): the card is not told.
    view.showFeed(150);
    QCoreApplication::processEvents();
    EXPECT_EQ(cardFeed().first, 2 + view.feedSlider()->pageStep());

    feed.setTrackingMode(1);
    feed.setFeed(300);  // limited to the most
    EXPECT_EQ(cardFeed(), (std::pair{200, std::array<int, 4>{2, 20, 300, 0}}));
    feed.setTrackingMode(3);
    feed.setFeed(100);
    EXPECT_EQ(cardFeed(), (std::pair{100, std::array<int, 4>{0, 0, 0, 0}}));
}

TEST_F(StatusPanelTest, GroupReportShowsThatGroupsFeedWithoutSendingAndIgnoresForeignGroups) {
    pulseTable.group(2).feedValue = 37;
    panel->feed().setFeed(80);
    ASSERT_EQ(cardFeed().first, 80);

    std::string reply;
    ASSERT_EQ(sim::applyControlCommand(virtualCard.server(), "report 4 0000020000000000", reply), 0) << reply;
    ASSERT_TRUE(processUntil([&] { return panel->feed().value() == 37; }));
    EXPECT_EQ(view.feedText(), QStringLiteral("18.5"));
    EXPECT_EQ(readKey(session.cardSettings(), keys::kFreq), 37);
    EXPECT_EQ(cardFeed().first, 80) << "the card switched its feed itself";

    // A group the table does not hold is ignored; the next report is shown as usual.
    pulseTable.group(3).feedValue = 44;
    ASSERT_EQ(sim::applyControlCommand(virtualCard.server(), "report 4 0000090000000000", reply), 0) << reply;
    ASSERT_EQ(sim::applyControlCommand(virtualCard.server(), "report 4 0000FF0000000000", reply), 0) << reply;
    ASSERT_EQ(sim::applyControlCommand(virtualCard.server(), "report 4 0000030000000000", reply), 0) << reply;
    ASSERT_TRUE(processUntil([&] { return panel->feed().value() == 44; }));
    panel->groupSwitched(-1);
    EXPECT_EQ(panel->feed().value(), 44);

    SettingsFile ini = session.cardSettings();
    ASSERT_EQ(writeKey(ini, keys::kSwitchWithoutVf, 1), 0);
    panel->groupSwitched(0);
    EXPECT_EQ(panel->feed().value(), 44) << "Fixed VF: the feed stays";
}

TEST_F(StatusPanelTest, FeedIsKeptInTheGroupTheCurrentAndNextSegmentShare) {
    SettingsFile ini = session.cardSettings();
    ASSERT_EQ(writeKey(ini, keys::kDefaultIndex, 4), 0);
    panel->feed().setTrackingMode(1);
    panel->feed().setFeed(60);
    EXPECT_EQ(pulseTable.group(4).feedValue, 100) << "no program: no segment to follow";

    auto program = std::make_shared<LoadedProgram>();
    LoadOptions options;
    options.threads = 1;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText("N 1: B 1000 B 0 B 1000 GX L1;\nN 2: B 0 B 1000 B 1000 GY L2;\nN 3: DD\n",
                              "two.3b", options, *program, failure), 0);
    panel->feed().setSegmentSource([program] { return program; }, [] { return 0; });
    panel->feed().setFeed(10);
    EXPECT_EQ(pulseTable.group(4).feedValue, 10);
    // The entry of the current tracking mode's table (here the second), without the sensitivity.
    EXPECT_EQ(pulseTable.group(4).feed, feedEntry(1, 10));
    ASSERT_EQ(writeKey(ini, keys::kShortSensitivity, 9), 0);
    panel->feed().setTrackingMode(0);
    panel->feed().setFeed(11);
    EXPECT_EQ(pulseTable.group(4).feed, feedEntry(0, 11));
}

TEST_F(StatusPanelTest, EfficiencyFollowsTheSpeedOnceAThicknessWasGiven) {
    view.setCurrentSpeed(20);
    EXPECT_EQ(view.efficiencyText(), qtTrId("status.press_to_calculate"));
    op.scripts[QStringLiteral("ThicknessInput")] = [](QDialog& d) {
        d.findChild<QDoubleSpinBox*>(QStringLiteral("thickness"))->setValue(12.5);
        d.accept();
        return d.result();
    };
    view.efficiencyButton()->click();
    EXPECT_DOUBLE_EQ(view.thickness(), 12.5);
    view.setCurrentSpeed(20);  // 20 um/s x 12.5 mm x 3.6
    EXPECT_EQ(view.efficiencyText(), qtTrId("status.efficiency_value").arg(QStringLiteral("900")));
    EXPECT_EQ(view.fieldText("speed"), QStringLiteral("20"));

    StatusProgress p;
    p.startSegment = 10;
    p.endSegment = 20;
    p.currentSegment = 15;
    view.showProgress(p);
    EXPECT_EQ(view.progressText(), QStringLiteral("50%"));
    p.currentSegment = 25;
    view.showProgress(p);
    EXPECT_EQ(view.progressText(), QStringLiteral("0%"));
    EXPECT_EQ(view.fieldText("currentSegment"), QStringLiteral("      25"));
    view.reset();
    EXPECT_EQ(view.progressText(), QStringLiteral("0%"));
    EXPECT_EQ(view.fieldText("currentSegment"), QString());
    EXPECT_EQ(view.efficiencyText(), qtTrId("status.press_to_calculate"));
}

}  // namespace
}  // namespace korvex::testing
