// The wait dialog's hand-over between the UI thread and its worker: results, cancel, a worker
// that throws, and the card dialog that cannot be cancelled.
#include <gtest/gtest.h>

#include <QDialog>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>

#include "controller/document/tests/test_support.h"
#include "controller/document/wait_dialog.h"

namespace korvex::test {
namespace {

using Style = CWaitDialog::Style;

struct ResultCase {
    int workerResult;
    int dialogCode;
};

class WaitDialogResult : public ::testing::TestWithParam<ResultCase> {};

TEST_P(WaitDialogResult, ClosesWithTheWorkersVerdict) {
    ensureApplication();
    CWaitDialog dialog(Style::Reading, "error", nullptr);
    const int r = GetParam().workerResult;
    dialog.setWork([r](WaitContext& context) {
        for (int p = 0; p <= 100; p += 10) context.setProgress(p);
        return r;
    });
    EXPECT_EQ(dialog.exec(), GetParam().dialogCode);
    EXPECT_EQ(dialog.result(), r);
    EXPECT_TRUE(dialog.workerEnded());
    EXPECT_FALSE(dialog.cancelledByOperator());
}

INSTANTIATE_TEST_SUITE_P(Verdicts, WaitDialogResult,
                         ::testing::Values(ResultCase{0, QDialog::Accepted},
                                           ResultCase{42, QDialog::Accepted},
                                           ResultCase{-1, QDialog::Rejected}));

TEST(WaitDialog, CancelStopsAWorkerThatPollsTheFlag) {
    ensureApplication();
    CWaitDialog dialog(Style::Reading, "error", nullptr);
    dialog.setWork([](WaitContext& context) {
        while (!context.cancelled()) std::this_thread::yield();
        return 0;  // finished work after a cancel does not count
    });
    QObject::connect(&dialog, &CWaitDialog::workerStarted, &dialog, &CWaitDialog::cancel);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(dialog.cancelledByOperator());
    EXPECT_TRUE(dialog.workerEnded());
}

TEST(WaitDialog, AWorkerDeafToCancelIsLeftBehindAndKeepsItsState) {
    ensureApplication();
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    {
        CWaitDialog dialog(Style::Reading, "error", nullptr);
        dialog.setCancelWaitMs(10);
        dialog.setWork([release, finished](WaitContext& context) {
            while (!release->load()) std::this_thread::yield();
            context.setProgress(100);  // the dialog is gone by now: nothing may break
            finished->store(true);
            return 0;
        });
        QObject::connect(&dialog, &CWaitDialog::workerStarted, &dialog, &CWaitDialog::cancel);
        EXPECT_EQ(dialog.exec(), QDialog::Rejected);
        EXPECT_FALSE(dialog.workerEnded());
    }
    release->store(true);
    while (!finished->load()) std::this_thread::yield();
}

TEST(WaitDialog, CancelFlagIsClearedForEachRun) {
    ensureApplication();
    for (int run = 0; run < 2; ++run) {
        CWaitDialog dialog(Style::Reading, "error", nullptr);
        dialog.setWork([](WaitContext& context) { return context.cancelled() ? -1 : 1; });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted) << run;
    }
}

TEST(WaitDialog, AThrowingWorkerStillSignalsDone) {
    ensureApplication();
    CWaitDialog dialog(Style::Reading, "error", nullptr);
    dialog.setWork([](WaitContext&) -> int { throw std::runtime_error("boom"); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(dialog.workerEnded());
    EXPECT_FALSE(dialog.cancelledByOperator());
}

TEST(WaitDialog, CardDialogWaitsForTheCardEvenWhenCancelIsTried) {
    ensureApplication();
    CWaitDialog dialog(Style::Card, "error", nullptr);
    std::atomic<bool> release{false};
    dialog.setWork([&release](WaitContext&) {
        while (!release.load()) std::this_thread::yield();
        return 7;
    });
    QObject::connect(&dialog, &CWaitDialog::workerStarted, &dialog, [&] {
        dialog.cancel();
        dialog.reject();  // Escape
        release.store(true);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.result(), 7);
}

}  // namespace
}  // namespace korvex::test
