// The recovery soak: cuts interrupted at seeded moments, either by a killed controller (the card
// runs on until the next controller stops it) or by a card power cut (the card starts again from
// its memory file), some of them again while restored and not yet continued. After each restart
// the controller restores without a question, the restored start is where the card stopped, the
// continued cut reports each remaining segment once and finishes where an uninterrupted run
// finishes, and the steps of all runs add up to those of the uninterrupted one.
//
// A short deterministic selection runs by default; KORVEX_SOAK=N runs N kills and 2N/5 power
// cuts (KORVEX_SOAK=25: 25 and 10), spread over the programs below.
#include "controller/link/commands.h"
#include "controller/tests/recovery_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

namespace korvex::testing {
namespace {

using SoakCase = SoakProgram;

constexpr const auto& kCases = kSoakPrograms;

// Faster than the other tests' card: the soak cuts whole programs many times.
constexpr double kSoakCard = 160.0;

enum class Interruption { Kill, PowerLoss };

struct Finish {
    uint64_t steps = 0;
    WorkParams at;
};

class RecoverySoak : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }

    QString stateDir() const { return dir.path(); }

    void freshCard() {
        card.reset();  // the last card writes its memory until it is gone
        for (const QString& name : QDir(stateDir()).entryList(QStringList{QStringLiteral("*.mem")}, QDir::Files))
            QFile::remove(QDir(stateDir()).filePath(name));
        card = std::make_unique<VirtualCard>(sim::kDefaultCardId, stateDir(), kSoakCard);
        stepsOfEarlierCards = 0;
    }
    // The card's power is cut and comes back: a new card from the memory file.
    void powerCycle() {
        stepsOfEarlierCards += stepsRun();
        card.reset();
        card = std::make_unique<VirtualCard>(sim::kDefaultCardId, stateDir(), kSoakCard);
    }
    template <class F>
    auto engine(F f) {
        return card->server().withEngine(f);
    }
    uint64_t stepsRun() {
        return engine([](sim::CardEngine& e) { return e.figures().stepsRun; });
    }
    uint64_t allSteps() { return stepsOfEarlierCards + stepsRun(); }

    // Opens the case's program with its settings and presses Cut.
    void startCut(Controller& c, const SoakCase& k) {
        ASSERT_TRUE(c.start());
        const std::string fault = c.beginCut(k, stateDir(), QStringLiteral(KORVEX_EXAMPLES_DIR));
        ASSERT_EQ(fault, "") << c.describe();
        ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunCutting; })) << c.describe();
    }

    // Presses Cut on a restored work and waits for the end; the segments reported on the way
    // are checked to run one way, once each per loop.
    void continueToTheEnd(Controller& c, const SoakCase& k) {
        c.pressCut();
        ASSERT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; })) << c.describe();
        EXPECT_EQ(reportedOnce(c.reported, k.reverse, k.loops), "");
    }

    Finish uninterrupted(const SoakCase& k) {
        freshCard();
        Finish f;
        Controller c(*card);
        startCut(c, k);
        if (::testing::Test::HasFatalFailure())
            return f;
        EXPECT_TRUE(processUntil([&] { return c.runState() == sim::kRunFinished; })) << c.describe();
        f.steps = stepsRun();
        f.at = engine([](sim::CardEngine& e) { return e.position(); });
        c.machine->worker().stop();
        return f;
    }

    // A controller started on the card as it stands: it must restore the work where the card
    // stopped, without a question.
    void expectRestored(Controller& c, const WorkParams& stoppedAt) {
        ASSERT_EQ(c.recovery.lastOutcome(), WorkRecovery::Outcome::CutMarked) << c.describe();
        EXPECT_TRUE(c.operatorUi.questions.empty()) << c.describe();
        ASSERT_TRUE(c.document.recoveryMark().has_value());
        const WorkParams& mark = c.document.recoveryMark()->work;
        EXPECT_EQ(mark.segment, stoppedAt.segment);
        EXPECT_EQ(mark.lower.steps, stoppedAt.lower.steps);
        EXPECT_EQ(mark.upper.steps, stoppedAt.upper.steps);
        EXPECT_EQ(mark.loopIndex, stoppedAt.loopIndex);
        EXPECT_EQ(mark.guideX, stoppedAt.guideX);
        EXPECT_EQ(mark.guideY, stoppedAt.guideY);
        EXPECT_EQ(mark.guideU, stoppedAt.guideU);
        EXPECT_EQ(mark.guideV, stoppedAt.guideV);
    }

    // One seeded moment: the cut interrupted once at a random step, perhaps once more while
    // restored, then continued to its end.
    void moment(const SoakCase& k, const Finish& whole, Interruption how, uint32_t seed) {
        std::mt19937 random(seed);
        const uint64_t at = 1 + random() % (whole.steps - 1);
        const bool againWhileRestored = random() % 3 == 0;
        std::printf("recovery soak: seed %u, %s, %s at step %llu of %llu%s\n", seed, k.file,
                    how == Interruption::Kill ? "kill" : "power cut", static_cast<unsigned long long>(at),
                    static_cast<unsigned long long>(whole.steps), againWhileRestored ? ", again while restored" : "");
        std::fflush(stdout);
        freshCard();
        WorkParams stoppedAt;
        {
            Controller c(*card);
            ASSERT_NO_FATAL_FAILURE(startCut(c, k));
            ASSERT_TRUE(processUntil([&] { return allSteps() >= at || c.runState() == sim::kRunFinished; }));
            ASSERT_NE(c.runState(), sim::kRunFinished) << "the moment came after the end";
            if (how == Interruption::PowerLoss) {
                card->server().powerLoss();
                stoppedAt = engine([](sim::CardEngine& e) { return e.position(); });
            }
            c.machine->worker().stop();  // gone without a word to the card
            c.link.close();
        }
        if (how == Interruption::PowerLoss)
            powerCycle();
        if (againWhileRestored) {
            Controller c(*card);
            ASSERT_TRUE(c.start());
            if (how == Interruption::Kill)
                stoppedAt = engine([](sim::CardEngine& e) { return e.position(); });
            ASSERT_NO_FATAL_FAILURE(expectRestored(c, stoppedAt));
            c.machine->worker().stop();
            c.link.close();
            if (how == Interruption::PowerLoss) {
                card->server().powerLoss();
                powerCycle();
            }
        }
        Controller c(*card);
        ASSERT_TRUE(c.start());
        if (how == Interruption::Kill && !againWhileRestored)
            stoppedAt = engine([](sim::CardEngine& e) { return e.position(); });
        ASSERT_NO_FATAL_FAILURE(expectRestored(c, stoppedAt));
        ASSERT_NO_FATAL_FAILURE(continueToTheEnd(c, k));
        const WorkParams end = engine([](sim::CardEngine& e) { return e.position(); });
        EXPECT_EQ(end.segment, whole.at.segment);
        EXPECT_EQ(end.guideX, whole.at.guideX);
        EXPECT_EQ(end.guideY, whole.at.guideY);
        EXPECT_EQ(end.guideU, whole.at.guideU);
        EXPECT_EQ(end.guideV, whole.at.guideV);
        EXPECT_EQ(allSteps(), whole.steps)
            << "no step cut twice or skipped; stopped at segment " << stoppedAt.segment << " step "
            << stoppedAt.lower.steps << " loop " << stoppedAt.loopIndex << ", ended in loop " << end.loopIndex;
        c.machine->worker().stop();
    }

    // In the working folder (the build tree under ctest), not in /tmp: a long soak's card memory
    // must outlive the sweeps of other processes on a shared test machine.
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/recovery-soak-XXXXXX")};
    std::unique_ptr<VirtualCard> card;
    uint64_t stepsOfEarlierCards = 0;
};

TEST_F(RecoverySoak, ACardLeftAtALoopsEndWaitingForTheNextWindowContinuesWithTheNextLoop) {
    const SoakCase& k = kCases[2];  // groups.iso, two loops
    const Finish whole = uninterrupted(k);
    ASSERT_FALSE(HasFatalFailure());
    const uint64_t loop = whole.steps / 2;
    freshCard();
    {
        Controller c(*card);
        ASSERT_NO_FATAL_FAILURE(startCut(c, k));
        ASSERT_TRUE(processUntil([&] { return stepsRun() >= loop - 1000; }));
        c.machine->worker().stop();  // killed: no window for the next loop ever comes
        c.link.close();
    }
    ASSERT_TRUE(processUntil([&] { return stepsRun() == loop; }));
    const WorkParams waiting = engine([](sim::CardEngine& e) { return e.position(); });
    EXPECT_EQ(waiting.loopIndex, 0) << "the next loop has not begun";
    Controller c(*card);
    ASSERT_TRUE(c.start());
    ASSERT_NO_FATAL_FAILURE(expectRestored(c, waiting));
    ASSERT_NO_FATAL_FAILURE(continueToTheEnd(c, k));
    EXPECT_EQ(allSteps(), whole.steps) << "the second loop is cut";
    c.machine->worker().stop();
}

TEST_F(RecoverySoak, KilledControllersAndPowerCutsAtSeededMomentsLoseNoStepAndCutNoneTwice) {
    const int soak = qEnvironmentVariableIntValue("KORVEX_SOAK");
    const int kills = soak > 0 ? soak : 2;
    const int powerCuts = soak > 0 ? (2 * soak + 4) / 5 : 2;
    constexpr int kCaseCount = static_cast<int>(std::size(kCases));
    std::vector<Finish> wholes(kCaseCount);
    std::vector<bool> measured(kCaseCount, false);
    // Kills and power cuts in a seeded order.
    std::vector<Interruption> order(static_cast<std::size_t>(kills), Interruption::Kill);
    order.insert(order.end(), static_cast<std::size_t>(powerCuts), Interruption::PowerLoss);
    std::shuffle(order.begin(), order.end(), std::mt19937(20261209u));
    for (int i = 0; i < kills + powerCuts; ++i) {
        const int which = i % kCaseCount;
        const SoakCase& k = kCases[which];
        SCOPED_TRACE(k.file);
        if (!measured[which]) {
            wholes[which] = uninterrupted(k);
            ASSERT_FALSE(HasFatalFailure());
            ASSERT_GT(wholes[which].steps, 1u);
            measured[which] = true;
        }
        const Interruption how = order[static_cast<std::size_t>(i)];
        const uint32_t seed = 1000u + static_cast<uint32_t>(i) * 7919u;
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_NO_FATAL_FAILURE(moment(k, wholes[which], how, seed));
    }
}

}  // namespace
}  // namespace korvex::testing
