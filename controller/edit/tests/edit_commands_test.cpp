#include "controller/edit/edit_commands.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "controller/edit/edit_menu.h"
#include "controller/edit/offset_dialog.h"
#include "controller/edit/tests/edit_test_support.h"

namespace korvex {
namespace {

using test::EditFixture;
using test::isoProgram;
using test::isoSquare10;

TEST(EditEnableRules, FollowTheWorkStateRollingAndRecoveryMark) {
    struct Case {
        int state;
        bool rolling;
        bool mark;
        bool generate;
        bool derive;
    };
    const Case cases[] = {
        {0, false, false, true, false},  {1, false, false, true, true},
        {2, false, false, true, false},  {3, false, false, false, false},
        {11, false, false, false, false}, {1, true, false, false, false},
        {0, true, false, false, false},  {1, false, true, true, false},
        {2, false, true, true, false},
    };
    for (const Case& c : cases) {
        const EditState s{c.state, c.rolling, c.mark};
        EXPECT_EQ(generate3BEnabled(s), c.generate) << c.state << c.rolling << c.mark;
        EXPECT_EQ(deriveEnabled(s), c.derive) << c.state << c.rolling << c.mark;
    }
}

TEST(EditPaths, DerivedNameReplacesAnEarlierSuffixAndKeepsTheExtension) {
    const struct {
        const char* source;
        const char* suffix;
        const char* expected;
    } cases[] = {
        {"/w/part.iso", "@_@_gap.iso", "/w/part.iso@_@_gap.iso"},
        {"/w/part.3b", "@_@_gap.iso", "/w/part.3b@_@_gap.iso"},
        {"/w/part.iso@_@_tx.iso", "@_@_gap.iso", "/w/part.iso@_@_gap.iso"},
        {"/w/part.iso@_@_tx.iso@_@_gap.iso", "@_@_tm.iso", "/w/part.iso@_@_tm.iso"},
        // A folder named with the mark keeps the result beside its source.
        {"/w/old@_@_tx.iso/part.iso", "@_@_gap.iso", "/w/old@_@_tx.iso/part.iso@_@_gap.iso"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(derivedProgramPath(QString::fromUtf8(c.source), QString::fromUtf8(c.suffix)),
                  QString::fromUtf8(c.expected));
    EXPECT_EQ(withDefault3BExtension(QStringLiteral("/w/part")), QStringLiteral("/w/part.3b"));
    EXPECT_EQ(withDefault3BExtension(QStringLiteral("/w/part.txt")), QStringLiteral("/w/part.txt"));
}

TEST(EditTransform, WritesBesideTheSourceAndOpensItAsTheDocument) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("part.iso"),
                                   isoProgram({"G01 X1.000 Y2.000;", "G02 X1.000 Y1.000 I1.000 J0.000;"}));
    ASSERT_TRUE(f.open(source));
    const int loadsBefore = f.card.loads;
    EditCommands commands(f.context());
    attachEditDialogs(commands);

    ASSERT_EQ(commands.transform(Transform::kVerticalMirror), 0);
    const QString mirrored = source + QStringLiteral("@_@_tx.iso");
    EXPECT_EQ(f.doc.path(), mirrored);
    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_EQ(f.card.loads, loadsBefore + 1);
    EXPECT_EQ(f.read(mirrored),
              "N0 G92;\nN1 G01 X1.000 Y-2.000;\nN2 G03 X1.000 Y-1.000 I1.000 J0.000;\nN3 M02;\n");
    EXPECT_TRUE(f.ui.messages.empty());

    // Mirrored again from the mirrored program: the name does not grow, so the result would
    // land on the loaded program's own file. It is refused and the file keeps what the card has.
    EXPECT_EQ(commands.transform(Transform::kVerticalMirror), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_TRUE(f.ui.messages[0].text.contains(mirrored)) << f.ui.messages[0].text.toStdString();
    EXPECT_EQ(f.doc.path(), mirrored);
    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_EQ(f.card.loads, loadsBefore + 1);
    EXPECT_EQ(f.read(mirrored),
              "N0 G92;\nN1 G01 X1.000 Y-2.000;\nN2 G03 X1.000 Y-1.000 I1.000 J0.000;\nN3 M02;\n");

    ASSERT_EQ(commands.transform(Transform::kForwardFlip), 0);
    EXPECT_EQ(f.doc.path(), source + QStringLiteral("@_@_tm.iso"));
    ASSERT_EQ(commands.transform(Transform::kReverseFlip), 0);
    EXPECT_EQ(f.doc.path(), source + QStringLiteral("@_@_tn.iso"));
    // The two flips cancel.
    EXPECT_EQ(f.read(f.doc.path()),
              "N0 G92;\nN1 G01 X1.000 Y-2.000;\nN2 G03 X1.000 Y-1.000 I1.000 J0.000;\nN3 M02;\n");
}

TEST(EditTransform, A3BProgramIsTransformedInItsTranslatedForm) {
    EditFixture f;
    const QString source =
        f.write(QStringLiteral("part.3b"), "B 1000 B 0 B 1000 GX L1;\nDD\n");
    ASSERT_TRUE(f.open(source));
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    ASSERT_EQ(commands.transform(Transform::kHorizontalMirror), 0);
    EXPECT_EQ(f.doc.path(), source + QStringLiteral("@_@_ty.iso"));
    const auto program = f.doc.program();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->kind, 1);
    EXPECT_EQ(program->extents.minX, -1000);
    EXPECT_EQ(program->extents.maxX, 0);
}

TEST(EditTransform, TwoContourRotationIsRefusedAndNothingChanges) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("taper.iso"),
                                   "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
                                   "N1 G01 X1.000 Y0.000; N1 G01 X1.000 Y0.000;\n"
                                   "N2 M02; N2 M02;\n");
    ASSERT_TRUE(f.open(source));
    ASSERT_EQ(f.doc.program()->kind, 3);
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    for (Transform t : {Transform::kVerticalMirror, Transform::kHorizontalMirror,
                        Transform::kForwardFlip, Transform::kReverseFlip}) {
        f.ui.messages.clear();
        EXPECT_EQ(commands.transform(t), -1);
        ASSERT_EQ(f.ui.messages.size(), 1u);
        EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Not supported!"));
        EXPECT_EQ(f.doc.path(), source);
        EXPECT_TRUE(f.doc.isLoaded());
    }
    EXPECT_FALSE(QFile::exists(source + QStringLiteral("@_@_tx.iso")));
}

TEST(EditTransform, NotOfferedOrRefusedOutsideTheLoadedIdleState) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("part.iso"), isoSquare10());
    ASSERT_TRUE(f.open(source));
    EditCommands commands(f.context());
    attachEditDialogs(commands);

    // A stale shortcut in another state does nothing at all.
    for (auto set : std::vector<std::function<void()>>{[&] { f.workState = 2; },
                                                        [&] { f.rolling = true; },
                                                        [&] { f.mark = true; }}) {
        f.workState = 1;
        f.rolling = false;
        f.mark = false;
        set();
        EXPECT_EQ(commands.transform(Transform::kVerticalMirror), -1);
        EXPECT_EQ(commands.offset(), -1);
    }
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_TRUE(f.ui.dialogsRun.empty());

    f.workState = 1;
    f.rolling = false;
    f.mark = false;
    f.idle = false;
    EXPECT_EQ(commands.transform(Transform::kVerticalMirror), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Please stop the simulating or cutting work first!"));
    EXPECT_EQ(f.doc.path(), source);
}

TEST(EditTransform, AnUnwritableTargetSaysFileOpenedFailedAndKeepsTheProgram) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("part.iso"), isoSquare10());
    ASSERT_TRUE(f.open(source));
    // A directory where the file should go cannot be created as a file, even by root.
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("part.iso@_@_tx.iso")));
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    EXPECT_EQ(commands.transform(Transform::kVerticalMirror), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("File opened failed!"));
    EXPECT_EQ(f.doc.path(), source);
    EXPECT_TRUE(f.doc.isLoaded());
}

// ---- Offset ----

// Answers the Offset dialog with the given value and corner; records what the dialog showed.
void answerOffset(EditFixture& f, double mm, bool round, double* shown = nullptr) {
    f.ui.scripts[QLatin1String(COffsetDialog::kName)] = [=](QDialog& d) {
        auto* field = d.findChild<QDoubleSpinBox*>(QStringLiteral("offset"));
        if (shown) *shown = field->value();
        field->setValue(mm);
        d.findChild<QRadioButton*>(QLatin1String(round ? "round" : "sharp"))->setChecked(true);
        return static_cast<int>(QDialog::Accepted);
    };
}

TEST(EditOffset, CompensatedProgramIsWrittenAsGapFileAndOpened) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("square.iso"), isoSquare10());
    ASSERT_TRUE(f.open(source));
    const Extents before = f.doc.program()->extents;
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    answerOffset(f, 0.1, false);

    ASSERT_EQ(commands.offset(), 0);
    EXPECT_TRUE(f.ui.messages.empty());
    const QString gap = source + QStringLiteral("@_@_gap.iso");
    EXPECT_EQ(f.doc.path(), gap);
    const auto program = f.doc.program();
    ASSERT_TRUE(program);
    EXPECT_EQ(program->kind, 1);
    // Counter-clockwise square, offset to the right of travel: it grows 100 um on every side;
    // the lead-in still starts at 0, 0, the lowest point.
    EXPECT_EQ(program->extents.maxX, before.maxX + 100);
    EXPECT_EQ(program->extents.maxY, before.maxY + 100);
    EXPECT_EQ(program->extents.minX, before.minX - 100);
    EXPECT_EQ(program->extents.minY, 0);
    const std::string text = f.read(gap);
    EXPECT_EQ(text.rfind("N0 G92 X0.000 Y0.000;\nN1 G01 X0.000 Y0.900 I0.000 J0.000;\n", 0), 0u) << text;

    // Compensating the compensated program again would write over the loaded file: refused,
    // after the dialog (which shows the last value entered).
    const std::string compensated = f.read(gap);
    double shown = 0;
    answerOffset(f, -0.1, true, &shown);
    EXPECT_EQ(commands.offset(), -1);
    EXPECT_DOUBLE_EQ(shown, 0.1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_TRUE(f.ui.messages[0].text.startsWith("This file holds the program loaded now")) << f.ui.messages[0].text.toStdString();
    EXPECT_EQ(f.doc.path(), gap);
    EXPECT_EQ(f.read(gap), compensated);
}

// The shipped examples: the slot entered along its side cannot be offset (the lead-in and the
// moved side never meet), the slot entered square to its side can, either way round.
TEST(EditOffset, ShippedSlotExamplesRefuseAndAccept) {
    struct Case {
        const char* file;
        double offsetMm;
        bool compensated;
    };
    const Case cases[] = {
        {"slot.iso", 0.1, false}, {"slot-offset.iso", 0.1, true}, {"slot-offset.iso", -0.1, true},
        {"slot-offset.iso", 0.5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.offsetMm));
        EditFixture f;
        // A copy, so the derived file lands in the scratch folder and not in the checkout.
        QFile example(QStringLiteral(KORVEX_EXAMPLES_DIR "/") + QLatin1String(c.file));
        ASSERT_TRUE(example.open(QIODevice::ReadOnly));
        const QString source = f.write(QLatin1String(c.file), example.readAll().toStdString());
        ASSERT_TRUE(f.open(source));
        EditCommands commands(f.context());
        attachEditDialogs(commands);
        answerOffset(f, c.offsetMm, false);
        EXPECT_EQ(commands.offset(), c.compensated ? 0 : -1);
        if (c.compensated) {
            EXPECT_EQ(f.doc.path(), source + QStringLiteral("@_@_gap.iso"));
            EXPECT_TRUE(f.ui.messages.empty());
        } else {
            EXPECT_EQ(f.ui.messageTexts(), std::vector<QString>{QStringLiteral("Offset setup failed!")});
            EXPECT_EQ(f.doc.path(), source);
        }
    }
}

TEST(EditOffset, RefusalsComeInOrderTaperThenJumpsThenFailure) {
    EditFixture f;
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    answerOffset(f, 0.1, false);

    // Two-contour program: refused before the dialog opens.
    const QString taper = f.write(QStringLiteral("taper.iso"),
                                  "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
                                  "N1 G01 X1.000 Y0.000; N1 G01 X1.000 Y0.000;\n"
                                  "N2 M02; N2 M02;\n");
    ASSERT_TRUE(f.open(taper));
    EXPECT_EQ(commands.offset(), -1);
    EXPECT_TRUE(f.ui.dialogsRun.empty());
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Sorry!The function is not supported by taper or multiple!"));

    // Group switches make it a multi-pass program: refused the same way.
    f.ui.messages.clear();
    ASSERT_TRUE(f.open(f.write(QStringLiteral("groups.iso"),
                               isoProgram({"T17 E1F2L0Q0;", "G01 X1.000 Y0.000;"}))));
    ASSERT_EQ(f.doc.program()->kind, 4);
    EXPECT_EQ(commands.offset(), -1);
    EXPECT_TRUE(f.ui.dialogsRun.empty());
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Sorry!The function is not supported by taper or multiple!"));

    // Jump segments: refused after the dialog, before anything is computed or written.
    f.ui.messages.clear();
    const QString jumps = f.write(
        QStringLiteral("jumps.iso"),
        isoProgram({"G01 X1.000 Y0.000;", "G01 X0.000 Y1.000;", "G01 X-1.000 Y0.000;",
                    "G01 X0.000 Y-1.000;", "M00;", "G01 X2.000 Y0.000;", "M00;",
                    "G01 X1.000 Y0.000;", "G01 X0.000 Y1.000;", "G01 X-1.000 Y0.000;",
                    "G01 X0.000 Y-1.000;"}));
    ASSERT_TRUE(f.open(jumps));
    ASSERT_FALSE(f.doc.program()->jumps.empty());
    EXPECT_EQ(commands.offset(), -1);
    EXPECT_EQ(f.ui.dialogsRun.size(), 1u);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("The codes with jump segments are not supported in the version!"));
    EXPECT_FALSE(QFile::exists(jumps + QStringLiteral("@_@_gap.iso")));
    EXPECT_EQ(f.doc.path(), jumps);

    // An arc of radius 2 with an offset that shrinks it by 3: the compensation fails.
    f.ui.messages.clear();
    const QString arc = f.write(QStringLiteral("arc.iso"),
                                isoProgram({"G01 X2.000 Y0.000;", "G03 X0.000 Y0.000 I-2.000 J0.000;",
                                            "G01 X-2.000 Y0.000;"}));
    ASSERT_TRUE(f.open(arc));
    answerOffset(f, -3.0, false);
    EXPECT_EQ(commands.offset(), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Offset setup failed!"));
    EXPECT_FALSE(QFile::exists(arc + QStringLiteral("@_@_gap.iso")));
    EXPECT_EQ(f.doc.path(), arc);
    EXPECT_TRUE(f.doc.isLoaded());
}

TEST(EditOffset, AOneContourTaperFileKeepsItsHeaderSoTheResultLoads) {
    EditFixture f;
    const std::string header =
        "****************************************\n"
        "Korvex -Version 2.0 -Type ZD -Height 40.000 -Width 0.180 -Base 20.000 -R 0.000 -Degree 1.500\n"
        "****************************************\n";
    const QString source = f.write(QStringLiteral("part.3nb"), header + isoSquare10());
    ASSERT_TRUE(f.open(source));
    ASSERT_EQ(f.doc.program()->kind, 1);
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    answerOffset(f, 0.1, false);
    ASSERT_EQ(commands.offset(), 0);
    EXPECT_EQ(f.doc.path(), source + QStringLiteral("@_@_gap.iso"));
    EXPECT_EQ(f.read(f.doc.path()).rfind(header, 0), 0u);
    EXPECT_TRUE(f.doc.program()->taper.present);
}

TEST(EditOffset, CancelledDialogChangesNothing) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("square.iso"), isoSquare10());
    ASSERT_TRUE(f.open(source));
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    f.ui.scripts[QLatin1String(COffsetDialog::kName)] = [](QDialog&) {
        return static_cast<int>(QDialog::Rejected);
    };
    EXPECT_EQ(commands.offset(), 1);
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.doc.path(), source);
}

TEST(EditOffset, AnOffsetBeyondFiveMillimetresIsRefused) {
    EditFixture f;
    const QString source = f.write(QStringLiteral("square.iso"), isoSquare10());
    ASSERT_TRUE(f.open(source));
    EditCommands commands(f.context());
    attachEditDialogs(commands);
    EXPECT_EQ(commands.applyOffset(OffsetRequest{5.5, CornerType::Sharp}), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.doc.path(), source);
}

}  // namespace
}  // namespace korvex
