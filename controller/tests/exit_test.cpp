#include "controller/tests/controller_fixture.h"

#include "controller/document/wait_dialog.h"
#include "platform/data_dirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <thread>

namespace korvex::testing {
namespace {

using Answer = OperatorInteraction::Answer;

struct ExitCase {
    const char* name;
    bool workStarted;
    std::vector<Answer> answers;
    bool exits;
    const char* cardCommand;  // nullptr: neither CMD_CLOSE nor CMD_CLEAR_WORK
};

TEST_F(ControllerTest, ExitQuestionsDecideWhatTheCardKeeps) {
    const ExitCase cases[] = {
        {"nothing started, OK", false, {Answer::Ok}, true, nullptr},
        {"nothing started, Cancel", false, {Answer::Cancel}, false, nullptr},
        {"started, keep it", true, {Answer::Yes}, true, "CMD_CLOSE"},
        {"started, No then Yes", true, {Answer::No, Answer::Yes}, true, "CMD_CLOSE"},
        {"started, No twice", true, {Answer::No, Answer::No}, true, "CMD_CLEAR_WORK"},
        {"started, No then Cancel", true, {Answer::No, Answer::Cancel}, false, nullptr},
        {"started, Cancel", true, {Answer::Cancel}, false, nullptr},
    };
    for (const ExitCase& ec : cases) {
        SCOPED_TRACE(ec.name);
        ScratchDataDir caseData;
        ControllerParts c;
        ASSERT_TRUE(c.start());
        c.frame.setWorkStarted(ec.workStarted);
        c.operatorUi.answers.assign(ec.answers.begin(), ec.answers.end());
        EXPECT_EQ(c.frame.confirmExit(), ec.exits);
        EXPECT_TRUE(c.operatorUi.answers.empty());
        EXPECT_EQ(c.link.wasSent("CMD_CLOSE"), ec.cardCommand && std::string(ec.cardCommand) == "CMD_CLOSE");
        EXPECT_EQ(c.link.wasSent("CMD_CLEAR_WORK"), ec.cardCommand && std::string(ec.cardCommand) == "CMD_CLEAR_WORK");
        EXPECT_EQ(c.link.isOpen(), !ec.exits);
        EXPECT_EQ(c.frame.keepAliveRunning(), !ec.exits);
        // The table is written on every exit that gets past the questions.
        EXPECT_EQ(QFileInfo(pulseTablePath()).size(), ec.exits ? qint64(PulseTable::kTableBytes) : 0);
    }
}

TEST_F(ControllerTest, FailedTableWriteAsksBeforeTheCardIsToldAnything) {
    for (const bool exitAnyway : {false, true}) {
        ControllerParts c;
        ASSERT_TRUE(c.start());
        c.frame.setWorkStarted(true);
        // The table cannot be replaced while a directory stands in the way of its temporary file.
        ASSERT_TRUE(QFile::remove(pulseTablePath()));
        ASSERT_TRUE(QDir().mkpath(pulseTablePath()));
        c.operatorUi.answers = {Answer::No, Answer::No, exitAnyway ? Answer::Yes : Answer::No};
        EXPECT_EQ(c.frame.confirmExit(), exitAnyway);
        ASSERT_EQ(c.operatorUi.questions.size(), 3u);
        EXPECT_TRUE(c.operatorUi.questions[2].startsWith("Write Dao table failed"));
        // Staying keeps the card's work record; leaving drops it as the operator chose.
        EXPECT_EQ(c.link.wasSent("CMD_CLEAR_WORK"), exitAnyway);
        EXPECT_EQ(c.link.isOpen(), !exitAnyway);
        ASSERT_TRUE(QDir().rmdir(pulseTablePath()));
    }
}

TEST_F(ControllerTest, ExitUnloadsTheProgramAndLetsTheFileGo) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    ASSERT_EQ(c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b")), OpenOutcome::Opened);
    EXPECT_TRUE(c.document.holdsProgramFile());
    c.operatorUi.answers = {Answer::Ok};
    EXPECT_TRUE(c.frame.confirmExit());
    EXPECT_TRUE(c.link.wasSent("CMD_UNLOAD_MODEL"));
    EXPECT_FALSE(c.document.holdsProgramFile());
}

TEST_F(ControllerTest, LinkLossAfterStartUpEndsTheProgramWithItsMessage) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.card.server().setSilence(true);
    EXPECT_NE(c.link.keepAlive(), 0);
    // The failure reaches the window through the event queue, as from the reader thread.
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    EXPECT_TRUE(c.operatorUi.messages[0].text.contains("0x3b"));
    EXPECT_FALSE(c.link.isOpen());
    EXPECT_FALSE(c.frame.keepAliveRunning());
    EXPECT_FALSE(c.link.wasSent("CMD_CLEAR_WORK"));
}

TEST_F(ControllerTest, HeartbeatToASilentCardLeavesTheWindowFreeAndEndsInTheLostLinkMessage) {
    ControllerParts c;
    ASSERT_TRUE(c.start());
    c.frame.sendKeepAlive();
    c.frame.finishKeepAlive();
    EXPECT_TRUE(c.link.wasSent("CMD_KEEP_ALIVE"));
    EXPECT_NE(c.link.keepAliveThread, std::this_thread::get_id());
    EXPECT_TRUE(c.operatorUi.messages.empty());

    c.card.server().setSilence(true);
    c.frame.sendKeepAlive();  // returns at once; the attempts run beside the window
    c.frame.finishKeepAlive();
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(c.operatorUi.messages.size(), 1u);
    EXPECT_TRUE(c.operatorUi.messages[0].text.contains("0x3b"));
    EXPECT_FALSE(c.link.isOpen());
    EXPECT_FALSE(c.frame.keepAliveRunning());
}

struct SilentCardCase {
    const char* name;
    bool closeFromMenu;  // File > Close; otherwise the exit questions
    std::vector<Answer> answers;
    const char* command;
};

TEST_F(ControllerTest, CloseAndExitWaitForASilentCardBesideTheWindow) {
    const SilentCardCase cases[] = {
        {"exit keeping the work", false, {Answer::Yes}, "CMD_CLOSE"},
        {"exit dropping the work", false, {Answer::No, Answer::No}, "CMD_CLEAR_WORK"},
        {"File Close", true, {Answer::Yes}, "CMD_UNLOAD_MODEL"},
    };
    for (const SilentCardCase& sc : cases) {
        SCOPED_TRACE(sc.name);
        ScratchDataDir caseData;
        ControllerParts c;
        ASSERT_TRUE(c.start());
        if (sc.closeFromMenu) {
            ASSERT_EQ(c.frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b")), OpenOutcome::Opened);
        }
        c.frame.setWorkStarted(!sc.closeFromMenu);
        int dialogs = 0;
        QObject::connect(&c.document, &CDCSDoc::waitDialogStarted, &c.frame, [&](CWaitDialog*) { ++dialogs; });
        c.card.server().setSilence(true);
        c.operatorUi.answers.assign(sc.answers.begin(), sc.answers.end());

        if (sc.closeFromMenu) {
            EXPECT_FALSE(c.frame.closeFromMenu());
        } else {
            EXPECT_TRUE(c.frame.confirmExit());
        }
        QCoreApplication::sendPostedEvents();

        // The window's thread ran the wait dialog's event loop while the command went out
        // from a worker.
        EXPECT_GE(dialogs, 1);
        ASSERT_TRUE(c.link.wasSent(sc.command));
        EXPECT_NE(c.link.threadOf(sc.command), std::this_thread::get_id());
        EXPECT_FALSE(c.link.isOpen());
        if (sc.closeFromMenu) {
            // The lost link ends the program with its one alarm; the refused unload says
            // nothing after it.
            ASSERT_EQ(c.operatorUi.messages.size(), 1u);
            EXPECT_EQ(c.operatorUi.messages[0].text, linkLostText(cmdcode::CMD_UNLOAD_MODEL));
            EXPECT_EQ(c.quitStatuses, std::vector<int>{CMainFrame::kLinkLostExitStatus});
        } else {
            // An exit under way says nothing more about the link it is closing anyway.
            EXPECT_TRUE(c.operatorUi.messages.empty());
        }
    }
}

}  // namespace
}  // namespace korvex::testing
