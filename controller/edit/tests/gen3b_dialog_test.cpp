#include "controller/edit/gen3b_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QSpinBox>

#include <gtest/gtest.h>

#include "code/loader.h"
#include "controller/edit/tests/edit_test_support.h"

namespace korvex {
namespace {

TEST(Manual3BList, AddInsertsAfterTheSelectionOrAppendsAndDeleteRemoves) {
    Manual3BList list;
    Manual3BStatement s;
    s.x = 1000;
    s.j = 1000;
    EXPECT_EQ(list.add(s, -1), 0);
    s.x = 2000;
    EXPECT_EQ(list.add(s, -1), 1);
    s.x = 3000;
    EXPECT_EQ(list.add(s, 0), 1);  // after row 0
    s.x = 4000;
    EXPECT_EQ(list.add(s, 7), 3);  // no such row: appended
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list.statements()[0], "B     1000 B        0 B     1000 GX  L1");
    EXPECT_EQ(list.statements()[1].substr(0, 10), "B     3000");
    EXPECT_EQ(list.statements()[2].substr(0, 10), "B     2000");

    s.code = k3BCodeCount;  // not one of the codes
    EXPECT_EQ(list.add(s, -1), -1);
    EXPECT_EQ(list.size(), 4);

    EXPECT_TRUE(list.remove(1));
    EXPECT_FALSE(list.remove(3));
    EXPECT_FALSE(list.remove(-1));
    EXPECT_EQ(list.size(), 3);
    EXPECT_EQ(list.statements()[1].substr(0, 10), "B     2000");
}

struct GeneratorFixture : test::EditFixture {
    GeneratorFixture() : commands(context()), dialog(commands) {}
    void type(int x, int y, int j, int direction, int code) {
        dialog.findChild<QSpinBox*>(QStringLiteral("x"))->setValue(x);
        dialog.findChild<QSpinBox*>(QStringLiteral("y"))->setValue(y);
        dialog.findChild<QSpinBox*>(QStringLiteral("j"))->setValue(j);
        dialog.findChild<QComboBox*>(QStringLiteral("direction"))->setCurrentIndex(direction);
        dialog.findChild<QComboBox*>(QStringLiteral("code"))->setCurrentIndex(code);
    }
    QListWidget* listView() { return dialog.findChild<QListWidget*>(QStringLiteral("statements")); }
    EditCommands commands;
    CGen3BDialog dialog;
};

TEST(Gen3BDialog, AddResetsTheFieldsAndTheWrittenFileLoadsAs3B) {
    GeneratorFixture f;
    f.dialog.findChild<QDoubleSpinBox*>(QStringLiteral("startX"))->setValue(1.5);
    f.type(1000, 0, 1000, 0, 0);  // GX L1: 1 mm along +X
    f.dialog.addStatement();
    EXPECT_EQ(f.dialog.findChild<QSpinBox*>(QStringLiteral("x"))->value(), 0);
    EXPECT_EQ(f.dialog.findChild<QComboBox*>(QStringLiteral("code"))->currentIndex(), 0);
    EXPECT_TRUE(f.listView()->selectedItems().isEmpty());
    f.type(0, 1000, 1000, 1, 1);  // GY L2: 1 mm along +Y
    f.dialog.addStatement();
    // Selecting the first statement and adding inserts after it.
    f.listView()->setCurrentRow(0);
    f.type(500, 0, 500, 0, 0);
    f.dialog.addStatement();
    ASSERT_EQ(f.listView()->count(), 3);
    EXPECT_EQ(f.listView()->item(1)->text(), QStringLiteral("B      500 B        0 B      500 GX  L1"));
    // Delete with nothing selected does nothing; with a row selected removes it.
    f.dialog.deleteStatement();
    EXPECT_EQ(f.listView()->count(), 3);
    f.listView()->setCurrentRow(1);
    f.dialog.deleteStatement();
    ASSERT_EQ(f.listView()->count(), 2);

    // Typed without an extension: the default ".3b" is added.
    f.ui.saveChoice = f.dir.filePath(QStringLiteral("manual"));
    EXPECT_EQ(f.dialog.generateFile(), 0);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("Code has been generated!"));
    const QString written = f.dir.filePath(QStringLiteral("manual.3b"));
    const std::string text = f.read(written);
    EXPECT_NE(text.find("Start Point  =   1.500 ,  0.000 ;\n"), std::string::npos) << text;
    EXPECT_NE(text.find("N    3: DD\n"), std::string::npos) << text;

    LoadedProgram program;
    LoadFailure failure;
    LoadOptions options;
    options.threads = 1;
    ASSERT_EQ(loadProgram(QFile::encodeName(written).constData(), options, program, failure), 0)
        << failure.message;
    EXPECT_EQ(program.kind, 2);
    ASSERT_EQ(program.segments.size(), 4u);  // start, two statements, end
    EXPECT_EQ(program.extents.maxX, 1000);
    EXPECT_EQ(program.extents.maxY, 1000);
}

TEST(Gen3BDialog, CancelledOrFailingSaveTellsTheOperator) {
    GeneratorFixture f;
    f.ui.saveChoice.reset();
    EXPECT_EQ(f.dialog.generateFile(), 1);
    EXPECT_TRUE(f.ui.messages.empty());

    // A directory where the file should go: it cannot be created.
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("taken.3b")));
    f.ui.saveChoice = f.dir.filePath(QStringLiteral("taken.3b"));
    EXPECT_EQ(f.dialog.generateFile(), -1);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, QStringLiteral("File opened failed!"));

    // An empty list still makes a file: banner, start point and the end numbered 1.
    f.ui.messages.clear();
    f.ui.saveChoice = f.dir.filePath(QStringLiteral("empty.3b"));
    EXPECT_EQ(f.dialog.generateFile(), 0);
    const std::string text = f.read(f.dir.filePath(QStringLiteral("empty.3b")));
    EXPECT_NE(text.find("N    1: DD\n"), std::string::npos) << text;
}

// The loaded program's file is never written over, whether the name was typed whole or without
// its extension; another existing file is replaced only after the question, which the name
// typed without ".3b" gets too. The save dialog opens where the loaded program lies.
TEST(Gen3BDialog, NeverWritesTheLoadedProgramAndAsksBeforeReplacing) {
    GeneratorFixture f;
    const QString loaded = f.write(QStringLiteral("mysq.3b"), "B 1000 B 0 B 1000 GX L1;\nDD\n");
    const QString other = f.write(QStringLiteral("other.3b"), "B 0 B 1000 B 1000 GY L2;\nDD\n");
    ASSERT_TRUE(f.open(loaded));
    const std::string loadedText = f.read(loaded);
    f.type(1000, 0, 1000, 0, 0);
    f.dialog.addStatement();

    for (const QString& typed : {QStringLiteral("mysq"), QStringLiteral("mysq.3b")}) {
        SCOPED_TRACE(typed.toStdString());
        f.ui.messages.clear();
        f.ui.defaultAnswer = OperatorInteraction::Answer::Yes;
        f.ui.saveChoice = f.dir.filePath(typed);
        EXPECT_EQ(f.dialog.generateFile(), -1);
        EXPECT_TRUE(f.ui.questions.empty());  // nothing to ask about a refused file
        ASSERT_EQ(f.ui.messages.size(), 1u);
        EXPECT_TRUE(f.ui.messages[0].text.contains(loaded)) << f.ui.messages[0].text.toStdString();
        EXPECT_EQ(f.read(loaded), loadedText);
        EXPECT_EQ(f.ui.saveDirectory, f.dir.path());
    }

    // "other" names other.3b, which exists: No keeps it, Yes replaces it.
    const std::string otherText = f.read(other);
    f.ui.messages.clear();
    f.ui.questions.clear();
    f.ui.defaultAnswer = OperatorInteraction::Answer::No;
    f.ui.saveChoice = f.dir.filePath(QStringLiteral("other"));
    EXPECT_EQ(f.dialog.generateFile(), 1);
    ASSERT_EQ(f.ui.questions.size(), 1u);
    EXPECT_TRUE(f.ui.questions[0].contains(other));
    EXPECT_EQ(f.read(other), otherText);
    EXPECT_TRUE(f.ui.messages.empty());
    f.ui.defaultAnswer = OperatorInteraction::Answer::Yes;
    EXPECT_EQ(f.dialog.generateFile(), 0);
    EXPECT_NE(f.read(other), otherText);
    // A name typed whole was asked about by the dialog itself: no second question.
    f.ui.questions.clear();
    f.ui.saveChoice = other;
    EXPECT_EQ(f.dialog.generateFile(), 0);
    EXPECT_TRUE(f.ui.questions.empty());
}

TEST(Gen3BDialog, SaveDialogOpensInTheFolderUsedLastWhenNothingIsLoaded) {
    GeneratorFixture f;
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("parts")));
    f.ui.saveChoice = f.dir.filePath(QStringLiteral("parts/first"));
    EXPECT_EQ(f.dialog.generateFile(), 0);
    EXPECT_TRUE(f.ui.saveDirectory.isEmpty());
    f.ui.saveChoice.reset();
    EXPECT_EQ(f.dialog.generateFile(), 1);
    EXPECT_EQ(f.ui.saveDirectory, f.dir.filePath(QStringLiteral("parts")));
}

}  // namespace
}  // namespace korvex
