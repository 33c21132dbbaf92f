// The Adjust dialog on the whole controller and the virtual card: starts and cancels, the result
// texts, CMD_STOP at every end, closing while a procedure runs, and what the card may answer
// wrongly (a stale finished flag, a refused start or stop, a lost link).
#include "controller/adjust/adjust_dialog.h"
#include "controller/machine_control.h"
#include "controller/tests/controller_fixture.h"
#include "sim/card/adjust_motion.h"
#include "sim/card/card_engine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <atomic>
#include <chrono>
#include <optional>

namespace korvex::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWaitMs = 20000;  // only a stuck worker or link takes this long
constexpr double kFastCard = 20.0;  // a centering takes well under two seconds

template <class F>
bool processUntil(F done) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class AdjustTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        c = std::make_unique<ControllerParts>(sim::kDefaultCardId, kFastCard);
        ASSERT_TRUE(c->start());
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        context.card = &c->link;
        context.operatorUi = &c->operatorUi;
        context.machine = &*machine;
    }
    void TearDown() override {
        machine.reset();
        c.reset();
    }
    // Runs the dialog with `script`; the dialog closes when the script returns.
    int run(std::function<void(AdjustDialog&)> script) {
        c->operatorUi.scripts[QLatin1String(AdjustDialog::kObjectName)] = [script](QDialog& d) {
            d.setResult(-1);
            d.show();
            script(static_cast<AdjustDialog&>(d));
            return d.result();
        };
        return runAdjust(context);
    }
    // The card's commands from `from` on, polls and heartbeats left out.
    std::vector<std::string> sentSince(std::size_t from) const {
        const auto all = c->link.sent();
        std::vector<std::string> out;
        for (auto it = all.begin() + static_cast<std::ptrdiff_t>(from); it != all.end(); ++it)
            if (*it != "CMD_KEEP_ALIVE" && *it != "CMD_GET_STATUS")
                out.push_back(*it);
        return out;
    }
    static bool waitIdle(AdjustDialog& d) {
        return processUntil([&] { return d.session().phase() == AdjustPhase::Idle; });
    }
    static bool waitRunning(AdjustDialog& d) {
        return processUntil([&] { return d.session().phase() == AdjustPhase::Running; });
    }
    template <class F>
    auto onCard(F f) {
        return c->card.server().withEngine(f);
    }
    int64_t wireX() {
        return onCard([](sim::CardEngine& e) { return e.position().guideX; });
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
    AdjustContext context;
};

TEST_F(AdjustTest, CenterPressedTwiceStartsThenCancelsWithMotorOnAndHfOff) {
    machine->operations().toggleHf();
    ASSERT_TRUE(processUntil([&] { return machine->operations().hfOn(); }));
    const std::size_t before = c->link.sent().size();
    run([&](AdjustDialog& d) {
        EXPECT_EQ(d.centerButton()->text(), "Adjust Center");
        EXPECT_EQ(d.borderButton()->text(), "Adjust Border");
        d.centerButton()->click();
        ASSERT_TRUE(waitRunning(d));
        EXPECT_EQ(d.centerButton()->text(), "Cancel");
        EXPECT_TRUE(d.centerButton()->isEnabled());
        EXPECT_FALSE(d.borderButton()->isEnabled()) << "one procedure at a time";
        // The status line blinks with the polls.
        ASSERT_TRUE(processUntil([&] { return d.statusLine()->text() == "Please wait for adjusting center..."; }));
        ASSERT_TRUE(processUntil([&] { return d.statusLine()->text().isEmpty(); }));
        d.centerButton()->click();
        ASSERT_TRUE(waitIdle(d));
        EXPECT_EQ(d.statusLine()->text(), "Adjust Center has been canceled!");
        EXPECT_EQ(d.centerButton()->text(), "Adjust Center");
        EXPECT_TRUE(d.centerButton()->isEnabled());
        EXPECT_TRUE(d.borderButton()->isEnabled());
        d.reject();
    });
    EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_ADJUST_CENTER", "CMD_STOP"}));
    EXPECT_TRUE(onCard([](sim::CardEngine& e) { return e.motorOn() && !e.hfOn(); }));
    EXPECT_TRUE(machine->operations().motorOn()) << "the panel's flags follow the card";
    EXPECT_FALSE(machine->operations().hfOn());
    const int64_t x = wireX();
    const auto stoppedAt = Clock::now();
    processUntil([&] { return Clock::now() - stoppedAt > std::chrono::milliseconds(300); });
    EXPECT_EQ(wireX(), x) << "the wire stands still after the stop";
}

TEST_F(AdjustTest, NormalEndsStopTheCardAndShowTheResultL3SendsFourWithItsSteps) {
    const std::size_t before = c->link.sent().size();
    run([&](AdjustDialog& d) {
        d.centerButton()->click();
        ASSERT_TRUE(waitRunning(d));
        ASSERT_TRUE(waitIdle(d));
        EXPECT_EQ(d.statusLine()->text(), "Adjust Center finished!");

        d.directionButton(2)->click();
        d.borderButton()->click();
        ASSERT_TRUE(waitRunning(d));
        EXPECT_FALSE(d.centerButton()->isEnabled());
        EXPECT_EQ(d.borderButton()->text(), "Cancel");
        ASSERT_TRUE(waitIdle(d));
        // From the hole's centre the X- wall is one radius away.
        EXPECT_EQ(d.statusLine()->text(), QString("Adjust Border finished! Steps:%1").arg(sim::kHoleRadius));
        EXPECT_EQ(d.session().lastSteps(), sim::kHoleRadius);
        d.reject();
    });
    EXPECT_EQ(sentSince(before),
              (std::vector<std::string>{"CMD_ADJUST_CENTER", "CMD_STOP", "CMD_ADJUST_BORDER", "CMD_STOP"}));
    EXPECT_EQ(c->link.borderDirectionsSent, (std::vector<int>{4}));
    EXPECT_EQ(wireX(), sim::kHoleCenterX - sim::kHoleRadius);
}

TEST_F(AdjustTest, EscapeAndTheCloseBoxStopTheRunningProcedureBeforeClosing) {
    for (const bool escape : {true, false}) {
        const std::size_t before = c->link.sent().size();
        const int result = run([&](AdjustDialog& d) {
            d.centerButton()->click();
            ASSERT_TRUE(waitRunning(d));
            if (escape) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&d, &key);
            } else {
                d.close();
            }
            EXPECT_EQ(d.result(), -1) << "open until the card took the stop";
            ASSERT_TRUE(processUntil([&] { return d.result() == QDialog::Rejected; }));
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_ADJUST_CENTER", "CMD_STOP"})) << escape;
        const int64_t x = wireX();
        const auto stoppedAt = Clock::now();
        processUntil([&] { return Clock::now() - stoppedAt > std::chrono::milliseconds(200); });
        EXPECT_EQ(wireX(), x) << "the wire stands still after the stop";
    }
}

TEST_F(AdjustTest, AStaleFinishedFlagCountsOnlyAfterAZeroWasRead) {
    // The first read still carries the 1 of the procedure before.
    std::atomic<int> stale{1};
    c->link.statusFilter = [&stale](StatusBlock& s) {
        if (stale.fetch_sub(1) > 0)
            s.adjustFinished = 1;
    };
    run([&](AdjustDialog& d) {
        d.centerButton()->click();
        ASSERT_TRUE(waitRunning(d));
        ASSERT_TRUE(waitIdle(d));
        EXPECT_EQ(d.statusLine()->text(), "Adjust Center finished!");
        d.reject();
    });
    EXPECT_LE(stale.load(), 0);
    EXPECT_EQ(wireX(), sim::kHoleCenterX) << "finished where the card finished, not at a stale flag";
    c->link.statusFilter = {};
}

TEST_F(AdjustTest, RefusedStartAndRefusedStopAreToldAndLeaveTheTruth) {
    c->card.server().refuseNext(cmdcode::CMD_ADJUST_CENTER, 1);
    run([&](AdjustDialog& d) {
        d.centerButton()->click();
        ASSERT_TRUE(processUntil([&] { return !c->operatorUi.messages.empty(); }));
        EXPECT_EQ(d.session().phase(), AdjustPhase::Idle);
        EXPECT_EQ(d.centerButton()->text(), "Adjust Center");
        EXPECT_TRUE(d.borderButton()->isEnabled());
        EXPECT_EQ(c->operatorUi.messages.back().text, qtTrId("adjust.start_refused"));

        c->card.server().refuseNext(cmdcode::CMD_STOP, 1);
        d.borderButton()->click();
        ASSERT_TRUE(waitRunning(d));
        d.reject();  // the close box, refused by the card
        ASSERT_TRUE(processUntil([&] { return c->operatorUi.messages.size() == 2; }));
        EXPECT_EQ(c->operatorUi.messages.back().text, qtTrId("adjust.stop_refused"));
        EXPECT_EQ(d.session().phase(), AdjustPhase::Running) << "the card still moves";
        EXPECT_EQ(d.borderButton()->text(), "Cancel");
        EXPECT_EQ(d.result(), -1) << "the dialog stays over a running procedure";
        d.borderButton()->click();
        ASSERT_TRUE(waitIdle(d));
        d.reject();
    });
    EXPECT_EQ(c->operatorUi.messages.size(), 2u);
}

TEST_F(AdjustTest, ALostLinkEndsThePollsAndLetsTheDialogClose) {
    run([&](AdjustDialog& d) {
        d.centerButton()->click();
        ASSERT_TRUE(waitRunning(d));
        c->card.server().setSilence(true);
        ASSERT_TRUE(processUntil([&] { return d.session().linkDown(); }));
        EXPECT_FALSE(machine->worker().timerRunning(kTimerAdjustCenter));
        EXPECT_FALSE(d.centerButton()->isEnabled());
        EXPECT_FALSE(d.borderButton()->isEnabled());
        EXPECT_EQ(d.statusLine()->text(), qtTrId("adjust.link_lost"));
        d.reject();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    });
    EXPECT_EQ(runAdjust(context), -1) << "no dialog on a lost link";
}

}  // namespace
}  // namespace korvex::testing
