// The loading pipeline end to end on the document, with a recording card and a scripted
// operator: limits, messages, what reaches the card and in which order, what stays behind.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

#include "controller/document/tests/test_support.h"
#include "controller/document/wait_dialog.h"
#include "platform/file_lock.h"
#include "platform/settings_file.h"

namespace korvex::test {
namespace {

class DocumentLoad : public ::testing::Test {
protected:
    DocFixture f;
};

TEST_F(DocumentLoad, LoadsAProgramAndSendsItsDescriptor) {
    const QString path = f.write("square.iso", isoSquare());
    ASSERT_TRUE(f.doc.openPath(path));

    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_TRUE(f.ui.messages.empty());
    ASSERT_EQ(f.card.codes(), (std::vector<uint8_t>{cmdcode::CMD_LOAD_MODEL}));
    const CardCommand load = f.card.commands()[0];
    EXPECT_EQ(load.mode, LoadMode::New);

    std::array<uint8_t, kLoadDescriptorBytes> image{};
    encodeLoadDescriptor(load.descriptor, image);
    std::array<uint8_t, kLoadDescriptorBytes> expected{};
    const std::string title = "square.iso";
    std::copy(title.begin(), title.end(), expected.begin());
    expected[73] = 1;  // loop total; every other byte 0 (no taper)
    EXPECT_EQ(image, expected);

    auto program = f.doc.program();
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->segments.size(), 6u);
    EXPECT_EQ(f.doc.fileTitle(), QStringLiteral("square.iso"));
    EXPECT_EQ(f.lastFile(), path);
    EXPECT_TRUE(f.doc.windowTitle().contains(path));
    EXPECT_TRUE(f.doc.windowTitle().contains(QStringLiteral("COM3")));

    // The working copy for a later restore, and the held file that the editor may not write.
    f.doc.waitForWorkingCopy();
    QFile copy(f.dir.filePath("Tmp/square.iso"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll().toStdString(), isoSquare());
    EXPECT_TRUE(f.doc.holdsProgramFile());
    EXPECT_EQ(probeWriteAccess(path), -1);
}

// The working copy itself, opened from the temporary directory, stays the file the lock holds.
TEST_F(DocumentLoad, ProgramOpenedFromTheTemporaryDirectoryKeepsItsLock) {
    ASSERT_TRUE(QDir(f.dir.path()).mkpath(QStringLiteral("Tmp")));
    const QString path = f.write(QStringLiteral("Tmp/square.iso"), isoSquare());
    const QDateTime before = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    ASSERT_TRUE(f.doc.openPath(path));
    f.doc.waitForWorkingCopy();
    EXPECT_EQ(QFileInfo(path).fileTime(QFileDevice::FileModificationTime), before);
    EXPECT_EQ(probeWriteAccess(path), -1);
}

TEST_F(DocumentLoad, FileTitleOf63BytesLoadsAnd64IsRefusedBeforeAnythingHappens) {
    const QString ok = f.write(QString(59, 'a') + ".iso", isoSquare());   // 63 bytes
    const QString bad = f.write(QString(60, 'b') + ".iso", isoSquare());  // 64 bytes
    ASSERT_TRUE(f.doc.openPath(ok));
    ASSERT_EQ(f.card.commands().back().descriptor.title(), (std::string(59, 'a') + ".iso"));

    f.card.clear();
    EXPECT_FALSE(f.doc.openPath(bad));
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.front().text, qtTrId("61655"));
    EXPECT_EQ(qtTrId("61655"), QStringLiteral("The name is too long"));
    EXPECT_TRUE(f.card.codes().empty());
    EXPECT_TRUE(f.ui.questions.empty());  // the loaded program was never put in question
    EXPECT_TRUE(f.doc.isLoaded());
}

TEST_F(DocumentLoad, TitleIsMeasuredInUtf8Bytes) {
    // 21 three-byte characters are 63 bytes; one more ASCII letter is 64.
    const QString cjk = QString(21, QChar(0x5200));
    const QString fits = f.write(cjk.left(19) + ".iso", isoSquare());       // 57 + 4 bytes
    const QString tooLong = f.write(cjk + "x.iso", isoSquare());            // 63 + 5 bytes
    EXPECT_TRUE(f.doc.openDocument(fits));
    EXPECT_FALSE(f.doc.openDocument(tooLong));
    EXPECT_EQ(f.ui.messages.back().text, qtTrId("61655"));
}

TEST_F(DocumentLoad, LinesWithoutCodeLettersVanishFromTheFailingLineIndex) {
    // Blank lines, a comment and a banner are dropped; the bad statement is kept line 2.
    const QString path = f.write("bad.iso",
                                 "; a comment\n"
                                 "\n"
                                 "N0 G92 X0.000 Y0.000;\n"
                                 "   \n"
                                 "*****\n"
                                 "N1 G01 X1.000 Y0.000;\n"
                                 "N2 G90 X1.000 Y1.000;\n"
                                 "N3 M02;\n");
    EXPECT_FALSE(f.doc.openPath(path));
    ASSERT_EQ(f.ui.messages.size(), 2u);
    EXPECT_EQ(f.ui.messages[0].text,
              QStringLiteral("File opened failed!\nCode:  2  N2 G90 X1.000 Y1.000;\n"));
    EXPECT_EQ(f.ui.messages[0].icon, OperatorInteraction::Icon::Critical);
    EXPECT_EQ(f.ui.messages[1].text, qtTrId("61472"));
    EXPECT_FALSE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.program(), nullptr);
    EXPECT_TRUE(f.card.codes().empty());
    EXPECT_TRUE(f.lastFile().isEmpty());
}

TEST_F(DocumentLoad, ThreeBEndingInASingleDLoadsAndOneWithoutAnEndDoesNot) {
    const std::string body = "B 1000 B 0 B 1000 GX L1\nB 0 B 1000 B 1000 GY L2\n";
    ASSERT_TRUE(f.doc.openDocument(f.write("d.3b", body + "D\n")))
        << (f.ui.messages.empty() ? "" : f.ui.messages[0].text.toStdString());
    EXPECT_EQ(f.doc.program()->kind, 2);
    EXPECT_FALSE(f.doc.openDocument(f.write("none.3b", body)));
    EXPECT_EQ(f.ui.messages.back().text, qtTrId("61654"));
    EXPECT_FALSE(f.doc.isLoaded());
}

// Each limit: at capacity the program loads, one more fails with its message.
struct LimitCase {
    const char* name;
    std::string (*program)(int);
    int capacity;
    const char* message;
};

class DocumentLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(DocumentLimits, CapacityLoadsOneMoreFails) {
    const LimitCase& c = GetParam();
    DocFixture f;
    EXPECT_TRUE(f.doc.openDocument(f.write("at.iso", c.program(c.capacity))));
    EXPECT_TRUE(f.ui.messages.empty());
    f.card.clear();
    EXPECT_FALSE(f.doc.openDocument(f.write("over.iso", c.program(c.capacity + 1))));
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.front().text, qtTrId(c.message));
    EXPECT_TRUE(f.card.codes().empty());
    EXPECT_FALSE(f.doc.isLoaded());
}

INSTANTIATE_TEST_SUITE_P(
    JumpsAndSwitches, DocumentLimits,
    ::testing::Values(LimitCase{"Jumps", isoWithJumps, 500, "61479"},
                      LimitCase{"Switches", isoWithSwitches, 3000, "61626"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentLoad, TaperFileSendsItsBlockFirstAndTheAngleInTheDescriptor) {
    const std::string header =
        "Korvex -Version 2.0 -Type ZD -Height 40.000 -Width 20.000 -Base 10.000 -R 0.000 "
        "-Degree 1.500\n";
    const std::string body = "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
                             "N1 G01 X1.000 Y0.000; N1 G01 X1.100 Y0.000;\n"
                             "N2 M02; N2 M02;\n";
    f.doc.setTaperMachineType(2);
    ASSERT_TRUE(f.doc.openDocument(f.write("part.3nb", "; banner\n" + header + body)));
    ASSERT_EQ(f.card.codes(), (std::vector<uint8_t>{cmdcode::CMD_SET_TAPER, cmdcode::CMD_LOAD_MODEL}));
    const auto commands = f.card.commands();
    const TaperBlock& t = commands[0].taper;
    EXPECT_EQ(t.heightTenths, 400);
    EXPECT_EQ(t.widthTenths, 200);
    EXPECT_EQ(t.baseTenths, 100);
    EXPECT_EQ(t.radiusTenths, 0);
    EXPECT_EQ(t.degreeMilli, 1500);
    EXPECT_EQ(t.taperType, 2);
    EXPECT_EQ(commands[1].descriptor.taperAngleMilli, 1500);
    EXPECT_EQ(commands[1].descriptor.loopTotal, 1);
}

TEST_F(DocumentLoad, MalformedTaperHeaderFailsAndSendsNothing) {
    const std::string body = "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\nN1 M02; N1 M02;\n";
    const QString path =
        f.write("part.3nb", "; banner\nKorvex -Version 2.0 -Type ZD -Height 40 -Width 20\n" + body);
    EXPECT_FALSE(f.doc.openDocument(path));
    ASSERT_FALSE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.messages.front().text, qtTrId("61474"));
    EXPECT_TRUE(f.card.codes().empty());
}

TEST_F(DocumentLoad, TwoContourProgramWithoutUsableTaperValuesIsRefused) {
    // Its guide positions would divide by the thickness and the rollers' distance.
    const std::string body = "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
                             "N1 G01 X1.000 Y0.000; N1 G01 X1.100 Y0.000;\nN2 M02; N2 M02;\n";
    const std::string zeroWidth =
        "; banner\nKorvex -Version 2.0 -Type ZD -Height 40.000 -Width 0.000 -Base 10.000 -R 0.000 -Degree 0.000\n";
    for (const auto& [name, text] : {std::pair{"part.iso", body}, std::pair{"zero.4nb", zeroWidth + body}}) {
        f.ui.messages.clear();
        EXPECT_FALSE(f.doc.openDocument(f.write(name, text))) << name;
        EXPECT_EQ(f.messageTexts(), std::vector<QString>{qtTrId("61474")}) << name;
        EXPECT_FALSE(f.doc.isLoaded());
    }
}

TEST_F(DocumentLoad, CardRefusingTheLoadLeavesNothingLoaded) {
    f.card.loadResult = -1;
    EXPECT_FALSE(f.doc.openPath(f.write("square.iso", isoSquare())));
    EXPECT_FALSE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.program(), nullptr);
    EXPECT_FALSE(f.doc.holdsProgramFile());
    EXPECT_TRUE(f.lastFile().isEmpty());
    EXPECT_EQ(f.messageTexts(), std::vector<QString>{qtTrId("61472")});
}

TEST_F(DocumentLoad, CancelledReadingLeavesNoProgramAndTellsTheCardNothing) {
    // Cancel is pressed the moment the worker runs; whatever the worker got done is dropped.
    QObject::connect(&f.doc, &CDCSDoc::waitDialogStarted, &f.doc,
                     [](CWaitDialog* d) { d->cancel(); });
    int cleared = 0;
    QObject::connect(&f.doc, &CDCSDoc::programCleared, [&] { ++cleared; });
    EXPECT_FALSE(f.doc.openDocument(f.write("square.iso", isoWithJumps(100))));
    EXPECT_FALSE(f.doc.isLoaded());
    EXPECT_EQ(f.doc.program(), nullptr);
    EXPECT_TRUE(f.card.codes().empty());
    EXPECT_TRUE(f.ui.messages.empty());  // a cancel is not an error
    EXPECT_GE(cleared, 1);
}

TEST_F(DocumentLoad, NoForceZeroSettingKeepsTheLeadOutAsWritten) {
    // The lead-out ends 0.5 mm short of the start: closed unless NoForceZero is set.
    const std::string program = isoProgram({"G01 X1.000 Y0.000;", "G01 X0.000 Y1.000;",
                                            "G01 X-1.000 Y0.000;", "G01 X0.000 Y-0.500;"});
    ASSERT_TRUE(f.doc.openDocument(f.write("open.iso", program)));
    EXPECT_EQ(f.doc.program()->segments[4].lower.endY, -1000);
    SettingsFile(f.dir.filePath("Korvex.ini")).writeInt("Option", "NoForceZero", 1);
    ASSERT_TRUE(f.doc.openDocument(f.write("open2.iso", program)));
    EXPECT_EQ(f.doc.program()->segments[4].lower.endY, -500);
    // A value that is neither 0 nor 1 counts as absent: the program is closed.
    SettingsFile(f.dir.filePath("Korvex.ini")).writeInt("Option", "NoForceZero", 2);
    ASSERT_TRUE(f.doc.openDocument(f.write("open3.iso", program)));
    EXPECT_EQ(f.doc.program()->segments[4].lower.endY, -1000);
}

}  // namespace
}  // namespace korvex::test
