// The Multiple and Segment Multiple commands headless: the dialogs answered through the operator
// interaction, the result opened as the document, the settings read on opening and written only
// after a program was generated.
#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QToolBar>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <cstdlib>

#include "code/loader.h"
#include "controller/edit/edit_commands.h"
#include "controller/edit/edit_menu.h"
#include "controller/edit/multipass_dialogs.h"
#include "controller/edit/multipass_settings.h"
#include "controller/edit/tests/edit_test_support.h"
#include "platform/settings_file.h"
#include "platform/string_table.h"

namespace korvex {
namespace {

using test::EditFixture;
using test::isoProgram;

// A 40 mm square, counter-clockwise, entered at its corner.
std::string square40() {
    return isoProgram({"G01 X5.000 Y0.000;", "G01 X40.000 Y0.000;", "G01 X0.000 Y40.000;", "G01 X-40.000 Y0.000;",
                       "G01 X0.000 Y-40.000;", "G01 X-5.000 Y0.000;"});
}

struct MultipleFixture : EditFixture {
    MultipleFixture() {
        source = write(QStringLiteral("part.iso"), square40());
        settingsPath = dir.filePath(QStringLiteral("12345678.ini"));
    }
    EditCommandContext multipleContext() {
        EditCommandContext c = context();
        c.cardSettingsPath = [this] { return settingsPath; };
        c.selectedLine = [this] { return selected; };
        return c;
    }
    QString source;
    QString settingsPath;
    int selected = -1;
};

template <typename T>
T* field(QDialog& d, const char* name) {
    T* w = d.findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Fills the Multiple dialog for a punch of `count` passes with a step of `len` mm and presses OK;
// the dialog's result says whether it closed.
std::function<int(QDialog&)> pressOk(int count, double len) {
    return [count, len](QDialog& d) {
        field<QComboBox>(d, "mode")->setCurrentIndex(1);
        field<QComboBox>(d, "count")->setCurrentIndex(count - 2);
        field<QDoubleSpinBox>(d, "len")->setValue(len);
        d.accept();
        return d.result();
    };
}

TEST(MultipleCommand, GeneratesOpensTheResultAndSavesTheSettings) {
    MultipleFixture f;
    ASSERT_TRUE(f.open(f.source));
    EditCommands commands(f.multipleContext());
    attachEditDialogs(commands);
    f.ui.scripts[QLatin1String(CMultipleDialog::kName)] = pressOk(2, 2.0);

    ASSERT_EQ(commands.multiple(), 0);
    const QString result = f.source + QStringLiteral(".4nb");
    EXPECT_EQ(f.doc.path(), result);
    ASSERT_TRUE(f.doc.program());
    EXPECT_EQ(f.doc.program()->kind, kKindIsoSwitches);
    EXPECT_EQ(f.doc.program()->switches.size(), 6u);
    EXPECT_TRUE(f.ui.messages.empty());

    // The file is the generator's, byte for byte.
    LoadedProgram program;
    LoadFailure failure;
    ASSERT_EQ(loadProgram(QFile::encodeName(f.source).constData(), LoadOptions{}, program, failure), 0);
    MultipassSettings s;
    s.mode = 1;
    s.count = 2;
    s.len = 2.0;
    std::string text, error;
    ASSERT_EQ(multipassFileText(program, s, text, error), 0);
    EXPECT_EQ(f.read(result), text);

    const SettingsFile settings(f.settingsPath);
    EXPECT_EQ(settings.readInt(QStringLiteral("Multiple"), QStringLiteral("Mode"), -1), 1);
    EXPECT_EQ(settings.readInt(QStringLiteral("Multiple"), QStringLiteral("Count"), -1), 2);
    EXPECT_EQ(settings.readText(QStringLiteral("Multiple"), QStringLiteral("Len"), QString()), QStringLiteral("2"));
    EXPECT_EQ(readMultipleSettings(settings).offset, MultipassSettings{}.offset);
}

TEST(MultipleCommand, ARefusedGenerationKeepsTheDialogOpenAndWritesNothing) {
    MultipleFixture f;
    ASSERT_TRUE(f.open(f.source));
    EditCommands commands(f.multipleContext());
    attachEditDialogs(commands);
    int closedWith = -1;
    f.ui.scripts[QLatin1String(CMultipleDialog::kName)] = [&](QDialog& d) {
        closedWith = pressOk(2, 500.0)(d);  // longer than the contour
        d.reject();
        return d.result();
    };
    EXPECT_EQ(commands.multiple(), 1);
    EXPECT_EQ(closedWith, QDialog::Rejected);  // OK did not close it
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("The reserved length is too large!"));
    EXPECT_FALSE(QFile::exists(f.source + QStringLiteral(".4nb")));
    EXPECT_FALSE(QFile::exists(f.settingsPath));
    EXPECT_EQ(f.doc.path(), f.source);

    // While an operation runs the result would replace the program under the card.
    f.idle = false;
    f.ui.messages.clear();
    MultipassSettings s;
    EXPECT_EQ(commands.applyMultiple(s), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, qtTrId("61482"));
    EXPECT_FALSE(QFile::exists(f.source + QStringLiteral(".4nb")));
}

TEST(MultipleCommand, DialogOpensWithTheStoredValuesOutOfRangeOnesAsDefaults) {
    MultipleFixture f;
    ASSERT_TRUE(f.open(f.source));
    SettingsFile settings(f.settingsPath);
    settings.writeInt(QStringLiteral("Multiple"), QStringLiteral("Count"), 4);
    settings.writeText(QStringLiteral("Multiple"), QStringLiteral("Offset2"), QStringLiteral("0.25"));
    settings.writeText(QStringLiteral("Multiple"), QStringLiteral("Offset3"), QStringLiteral("7"));
    settings.writeInt(QStringLiteral("Multiple"), QStringLiteral("Dao3"), 9);
    settings.writeInt(QStringLiteral("Multiple"), QStringLiteral("LastDao"), 6);
    EditCommands commands(f.multipleContext());
    attachEditDialogs(commands);
    f.ui.scripts[QLatin1String(CMultipleDialog::kName)] = [](QDialog& d) {
        EXPECT_EQ(field<QComboBox>(d, "count")->currentText(), QStringLiteral("4"));
        EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>(d, "offset2")->value(), 0.25);
        EXPECT_DOUBLE_EQ(field<QDoubleSpinBox>(d, "offset3")->value(), 0.8);
        EXPECT_EQ(field<QSpinBox>(d, "dao3")->value(), 3);
        EXPECT_EQ(field<QSpinBox>(d, "lastDao")->value(), 6);
        // Passes beyond the count are not offered; a matrix keeps no step.
        EXPECT_TRUE(field<QSpinBox>(d, "dao4")->isEnabled());
        EXPECT_FALSE(field<QSpinBox>(d, "dao5")->isEnabled());
        EXPECT_FALSE(field<QDoubleSpinBox>(d, "offset5")->isEnabled());
        EXPECT_FALSE(field<QDoubleSpinBox>(d, "len")->isEnabled());
        field<QComboBox>(d, "mode")->setCurrentIndex(1);
        EXPECT_TRUE(field<QDoubleSpinBox>(d, "len")->isEnabled());
        field<QDoubleSpinBox>(d, "len")->setValue(3);
        field<QComboBox>(d, "mode")->setCurrentIndex(0);
        EXPECT_EQ(field<QDoubleSpinBox>(d, "len")->value(), 0);
        return static_cast<int>(QDialog::Rejected);
    };
    EXPECT_EQ(commands.multiple(), 1);
    EXPECT_EQ(f.ui.dialogsRun.size(), 1u);
}

TEST(SegmentMultipleCommand, TrimsTheSelectedLine) {
    MultipleFixture f;
    ASSERT_TRUE(f.open(f.source));
    EditCommands commands(f.multipleContext());
    attachEditDialogs(commands);
    f.ui.scripts[QLatin1String(CSegmentMultipleDialog::kName)] = [](QDialog& d) {
        field<QDoubleSpinBox>(d, "len")->setValue(2);
        field<QComboBox>(d, "count")->setCurrentIndex(0);
        d.accept();
        return d.result();
    };
    // No line selected: nothing to trim.
    EXPECT_EQ(commands.segmentMultiple(), 1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Generate multple file failed"));
    EXPECT_FALSE(QFile::exists(f.settingsPath));

    f.selected = 2;  // the first side of the square
    f.ui.messages.clear();
    ASSERT_EQ(commands.segmentMultiple(), 0);
    const QString result = f.source + QStringLiteral("_single.4nb");
    EXPECT_EQ(f.doc.path(), result);
    EXPECT_EQ(f.doc.program()->kind, kKindIsoSwitches);
    EXPECT_NE(f.read(result).find("N4 G01 X40.000 Y0.000 I0.000 J0.000;\nN5 G01 X0.000 Y0.100"), std::string::npos);
    const SettingsFile settings(f.settingsPath);
    EXPECT_EQ(settings.readInt(QStringLiteral("SingleMultiple"), QStringLiteral("Count"), -1), 2);
    EXPECT_EQ(settings.readText(QStringLiteral("SingleMultiple"), QStringLiteral("Len"), QString()), QStringLiteral("2"));
}

TEST(MultipleCommand, OfferedWheneverTheCardWorkStateIsNotZero) {
    MultipleFixture f;
    QMenu menu;
    QToolBar bar;
    EditCommandSet* set = installEditCommands(nullptr, &menu, &bar, f.multipleContext(), &menu);
    for (const int state : {0, 1, 2, 3, 11}) {
        f.workState = state;
        set->refresh();
        EXPECT_EQ(set->multipleAction()->isEnabled(), state != 0) << state;
        EXPECT_EQ(set->segmentMultipleAction()->isEnabled(), state != 0) << state;
    }
    EXPECT_TRUE(menu.actions().contains(set->multipleAction()));
    const QList<QAction*> buttons = bar.actions();
    ASSERT_GE(buttons.size(), 2);
    EXPECT_EQ(buttons[buttons.size() - 2], set->multipleAction());
    EXPECT_EQ(buttons.last(), set->segmentMultipleAction());
}

// Pictures of both dialogs for the documentation, taken only when KORVEX_SCREENSHOT_DIR names a
// folder (the Chinese texts stay installed afterwards, so this runs last and alone).
TEST(MultipleDialogs, Screenshots) {
    const char* dir = std::getenv("KORVEX_SCREENSHOT_DIR");
    if (!dir) GTEST_SKIP() << "KORVEX_SCREENSHOT_DIR not set";
    test::ensureApplication();
    MultipassSettings m;
    m.mode = 1;
    m.len = 2;
    SegmentMultipleSettings s;
    s.len = 2;
    for (const Language language : {Language::English, Language::Chinese}) {
        if (language == Language::Chinese) installTranslations(Language::Chinese);
        const QString code = languageCode(language);
        CMultipleDialog multiple(m, nullptr);
        multiple.adjustSize();
        EXPECT_TRUE(multiple.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("multiple-dialog-" + code + ".png")));
        CSegmentMultipleDialog segment(s, nullptr);
        segment.adjustSize();
        EXPECT_TRUE(segment.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("segment-multiple-dialog-" + code + ".png")));
    }
}

}  // namespace
}  // namespace korvex
