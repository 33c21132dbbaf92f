// The entry points around the load: the close question, refusals while busy, File Close, the
// open dialog, and the code list that shows the loaded program.
#include <gtest/gtest.h>

#include "controller/document/code_list_model.h"
#include "controller/document/open_dialog.h"
#include "controller/document/program_preview.h"

#include <QImage>

#include <array>
#include <QPixmap>
#include "controller/document/tests/test_support.h"
#include "controller/document/wait_dialog.h"
#include "platform/file_lock.h"

namespace korvex::test {
namespace {

using Answer = OperatorInteraction::Answer;

class DocumentEntry : public ::testing::Test {
protected:
    void SetUp() override {
        first = f.write("first.iso", isoSquare());
        second = f.write("second.iso", isoWithJumps(2));
        ASSERT_TRUE(f.doc.openPath(first));
        f.card.clear();
    }
    DocFixture f;
    QString first, second;
};

TEST_F(DocumentEntry, AnsweringNoToTheCloseQuestionKeepsTheLoadedProgram) {
    f.ui.answers = {Answer::No};
    EXPECT_FALSE(f.doc.openPath(second));
    EXPECT_EQ(f.ui.questions, std::vector<QString>{qtTrId("61486")});
    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.path(), first);
    EXPECT_TRUE(f.card.codes().empty());
    EXPECT_TRUE(f.doc.holdsProgramFile());
}

TEST_F(DocumentEntry, AnsweringYesUnloadsDropsTheWorkAndLoadsTheNewProgram) {
    f.ui.answers = {Answer::Yes};
    int closed = 0;
    QObject::connect(&f.doc, &CDCSDoc::programClosed, [&] { ++closed; });
    EXPECT_TRUE(f.doc.openPath(second));
    EXPECT_EQ(f.card.codes(),
              (std::vector<uint8_t>{cmdcode::CMD_UNLOAD_MODEL, cmdcode::CMD_CLEAR_WORK, cmdcode::CMD_LOAD_MODEL}));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(f.doc.path(), second);
    EXPECT_EQ(probeWriteAccess(first), 0);  // the old file is no longer held
    EXPECT_EQ(probeWriteAccess(second), -1);
}

TEST_F(DocumentEntry, ABadFileIsRefusedBeforeTheLoadedProgramIsPutInQuestion) {
    for (const QString& bad : {f.dir.filePath("missing.iso"),
                               f.write(QString(61, 'x') + ".iso", isoSquare())}) {
        EXPECT_FALSE(f.doc.openPath(bad));
    }
    EXPECT_TRUE(f.ui.questions.empty());
    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.path(), first);
    EXPECT_TRUE(f.card.codes().empty());
    const auto texts = f.messageTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("The following file can't be opened:\n")));
    EXPECT_TRUE(texts[0].endsWith(QStringLiteral("missing.iso")));
    EXPECT_EQ(texts[2], qtTrId("61655"));
}

TEST_F(DocumentEntry, EveryEntryIsRefusedWhileAnOperationRuns) {
    f.idle = false;
    f.ui.answers = {Answer::Yes, Answer::Yes};
    EXPECT_FALSE(f.doc.openPath(second));
    EXPECT_FALSE(f.doc.closeProgram());
    EXPECT_FALSE(f.doc.openFromDialog());
    EXPECT_EQ(f.messageTexts(), std::vector<QString>(3, qtTrId("61482")));
    EXPECT_TRUE(f.ui.questions.empty());
    EXPECT_TRUE(f.ui.dialogsRun.empty());
    EXPECT_EQ(f.doc.path(), first);
}

TEST_F(DocumentEntry, AnOpenArrivingDuringALoadIsRefused) {
    // A file dropped while the reading dialog is up: refused, and the running load finishes.
    f.ui.answers = {Answer::Yes};
    bool nestedResult = true;
    size_t dialogs = 0;
    QObject::connect(&f.doc, &CDCSDoc::waitDialogStarted, &f.doc, [&](CWaitDialog*) {
        ++dialogs;
        if (f.doc.isLoading()) nestedResult = f.doc.openPath(first);
    });
    EXPECT_TRUE(f.doc.openPath(second));
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(f.doc.path(), second);
    // Unload and clear work of the old program, then reading and loading the new one.
    EXPECT_EQ(dialogs, 4u);
    EXPECT_EQ(f.messageTexts(), std::vector<QString>(dialogs, qtTrId("61482")));  // one per dialog
}

TEST_F(DocumentEntry, AnOpenArrivingWhileTheCloseQuestionIsOpenIsRefused) {
    f.ui.answers = {Answer::Yes};
    bool nested = true;
    f.ui.whileAsking = [&] { nested = f.doc.openPath(first); };
    EXPECT_TRUE(f.doc.openPath(second));
    EXPECT_FALSE(nested);
    EXPECT_EQ(f.ui.questions.size(), 1u);
    EXPECT_EQ(f.doc.path(), second);
    EXPECT_EQ(f.messageTexts(), std::vector<QString>{qtTrId("61482")});
}

TEST_F(DocumentEntry, CloseSendsUnloadAndClearWorkAndResets) {
    f.ui.answers = {Answer::Yes};
    EXPECT_TRUE(f.doc.closeProgram());
    EXPECT_EQ(f.card.codes(), (std::vector<uint8_t>{cmdcode::CMD_UNLOAD_MODEL, cmdcode::CMD_CLEAR_WORK}));
    EXPECT_FALSE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.program(), nullptr);
    EXPECT_FALSE(f.doc.holdsProgramFile());
    EXPECT_TRUE(f.doc.windowTitle().contains(qtTrId("61446")));
}

TEST_F(DocumentEntry, AFailingUnloadKeepsTheProgramAndAbortsTheClose) {
    f.ui.answers = {Answer::Yes};
    f.card.unloadResult = -1;
    EXPECT_FALSE(f.doc.closeProgram());
    EXPECT_EQ(f.card.codes(), (std::vector<uint8_t>{cmdcode::CMD_UNLOAD_MODEL}));
    EXPECT_EQ(f.messageTexts(), std::vector<QString>{qtTrId("doc.unload_failed")});
    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_TRUE(f.doc.holdsProgramFile());
}

TEST_F(DocumentEntry, OpenDialogChoosesFirstAndCancellingChangesNothing) {
    f.ui.openChoice.reset();
    EXPECT_FALSE(f.doc.openFromDialog());
    EXPECT_TRUE(f.ui.questions.empty());
    EXPECT_EQ(f.ui.dialogsRun, std::vector<QString>{QStringLiteral("CMyOpenDlg")});
    EXPECT_TRUE(f.doc.isLoaded());

    f.ui.openChoice = second;
    f.ui.answers = {Answer::Yes};
    EXPECT_TRUE(f.doc.openFromDialog());
    EXPECT_EQ(f.doc.path(), second);
}

TEST_F(DocumentEntry, CodeListShowsOneRowPerSegment) {
    CodeListModel model(&f.doc);
    ASSERT_EQ(model.rowCount(), 6);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.data(model.index(3, 0)).toString(), QStringLiteral("   3"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QStringLiteral("N1 G01 X1.000 Y0.000;"));

    f.ui.answers = {Answer::Yes};
    ASSERT_TRUE(f.doc.openPath(second));
    EXPECT_EQ(model.rowCount(), static_cast<int>(f.doc.program()->segments.size()));
    f.ui.answers = {Answer::Yes};
    ASSERT_TRUE(f.doc.closeProgram());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.commandText(0), QString());
}

}  // namespace
}  // namespace korvex::test

namespace korvex::test {
namespace {

TEST(OpenDialogPreview, DrawsAProgramAndNothingForAFileThatIsNotOne) {
    DocFixture f;
    CMyOpenDlg dialog;
    dialog.preview()->resize(220, 220);
    const QString arcs = f.write("arcs.3b", "B 1000 B 0 B 2000 GY NR1\nB 0 B 0 B 1000 GX L3\nDD\n");
    dialog.preview()->showFile(arcs);
    EXPECT_TRUE(dialog.preview()->hasDrawing());
    const QImage drawn = dialog.preview()->grab().toImage();
    bool lit = false;
    for (int y = 0; y < drawn.height() && !lit; ++y)
        for (int x = 0; x < drawn.width() && !lit; ++x) lit = drawn.pixelColor(x, y) != Qt::black;
    EXPECT_TRUE(lit);

    dialog.preview()->showFile(f.write("notes.txt", "nothing to cut here\n"));
    EXPECT_FALSE(dialog.preview()->hasDrawing());
}

}  // namespace
}  // namespace korvex::test

namespace korvex::test {
namespace {

TEST(DocumentReset, OkResendsTheSameDescriptorAndDropsTheWorkCancelDoesNothing) {
    DocFixture f;
    ASSERT_TRUE(f.doc.openPath(f.write("square.iso", isoSquare())));
    const LoadDescriptor sent = f.card.commands().back().descriptor;
    f.card.clear();

    f.ui.answers = {OperatorInteraction::Answer::Cancel};
    EXPECT_FALSE(f.doc.resetWork());
    EXPECT_TRUE(f.card.codes().empty());

    int resets = 0;
    QObject::connect(&f.doc, &CDCSDoc::workReset, [&] { ++resets; });
    f.ui.answers = {OperatorInteraction::Answer::Ok};
    EXPECT_TRUE(f.doc.resetWork());
    EXPECT_EQ(f.ui.questions.back(), qtTrId("61487"));
    ASSERT_EQ(f.card.codes(),
              (std::vector<uint8_t>{cmdcode::CMD_LOAD_MODEL, cmdcode::CMD_CLEAR_WORK}));
    std::array<uint8_t, kLoadDescriptorBytes> before{}, after{};
    encodeLoadDescriptor(sent, before);
    encodeLoadDescriptor(f.card.commands()[0].descriptor, after);
    EXPECT_EQ(before, after);
    EXPECT_EQ(resets, 1);
    EXPECT_TRUE(f.doc.isLoaded());

    // A card that refuses the descriptor leaves no program loaded.
    f.card.loadResult = -1;
    f.ui.answers = {OperatorInteraction::Answer::Ok};
    EXPECT_FALSE(f.doc.resetWork());
    EXPECT_FALSE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.program(), nullptr);
}

}  // namespace
}  // namespace korvex::test
