// The Taper command through its dialog, filled by a scripted operator: what is written, what is
// opened, what is kept for the next time, and every refusal leaving the files as they were.
#include <QDialog>
#include <QDoubleSpinBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

#include <gtest/gtest.h>

#include "controller/document/taper_settings.h"
#include "controller/edit/edit_menu.h"
#include "controller/edit/taper_command.h"
#include "controller/edit/taper_dialog.h"
#include "controller/edit/taper_rows_model.h"
#include "controller/edit/tests/edit_test_support.h"
#include "platform/settings_file.h"
#include "platform/string_table.h"

namespace korvex {
namespace {

template <typename W>
W* field(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// A fixture whose document and commands share a card settings file and a Korvex.ini.
struct TaperFixture {
    TaperFixture() {
        DocumentEnvironment env;
        env.operatorUi = &f.ui;
        env.card = &card;
        env.temporaryDirectory = f.dir.filePath(QStringLiteral("Tmp"));
        env.cardSettingsPath = cardIni;
        f.doc.setEnvironment(env);
        EditCommandContext c = f.context();
        c.cardSettingsPath = [this] { return cardIni; };
        commands = std::make_unique<EditCommands>(c);
        taper = std::make_unique<TaperCommand>(*commands);
        taper->machineSettingsPath = [this] { return machineIni; };
    }
    // Fills the dialog with `fill` and presses OK; the result is what OK gave.
    void script(std::function<void(QDialog&)> fill) {
        f.ui.scripts[QStringLiteral("TaperDialog")] = [fill, this](QDialog& d) {
            fill(d);
            d.accept();
            accepted = d.result() == QDialog::Accepted;
            return d.result();
        };
    }

    test::EditFixture f;
    struct TaperCard : test::CountingCard {
        int setTaper(const TaperBlock& t) override {
            blocks.push_back(t);
            return 0;
        }
        std::vector<TaperBlock> blocks;
    } card;
    QString cardIni = f.dir.filePath(QStringLiteral("card.ini"));
    QString machineIni = f.dir.filePath(QStringLiteral("Korvex.ini"));
    std::unique_ptr<EditCommands> commands;
    std::unique_ptr<TaperCommand> taper;
    bool accepted = false;
};

void setValues(QDialog& d, double height, double width, double base, double r, int type) {
    field<QDoubleSpinBox>(d, "height")->setValue(height);
    field<QDoubleSpinBox>(d, "width")->setValue(width);
    field<QDoubleSpinBox>(d, "base")->setValue(base);
    field<QDoubleSpinBox>(d, "r")->setValue(r);
    field<QComboBox>(d, "machineType")->setCurrentIndex(type);
}

TEST(TaperCommand, OneGraphOfTheLoadedProgramIsWrittenOpenedAndSentWithItsType) {
    TaperFixture t;
    const QString source = t.f.write(QStringLiteral("part.iso"), test::isoSquare10());
    ASSERT_TRUE(t.f.open(source));
    QStringList listed;
    t.script([&](QDialog& d) {
        // DefaultZD absent (1): the loaded program is the lower contour, listed line by line.
        EXPECT_EQ(field<QLineEdit>(d, "below")->text(), source);
        EXPECT_TRUE(field<QLineEdit>(d, "upper")->text().isEmpty());
        TaperRowsModel& rows = static_cast<CTaperDialog&>(d).rows();
        for (int i = 0; i < rows.rowCount(); ++i) listed << rows.index(i, 0).data().toString();
        setValues(d, 60, 20, 20, 1.5, kTaperLever);
        field<QDoubleSpinBox>(d, "degree")->setValue(1.5);
        EXPECT_EQ(rows.index(3, TaperRowsModel::kColumnDegree).data().toString(), QStringLiteral("1.500"))
            << "the Degree field writes every row";
    });
    EXPECT_EQ(t.taper->run(), 0);
    EXPECT_EQ(listed.size(), 9);
    EXPECT_EQ(listed.front(), QStringLiteral("N0 G92 X0.000 Y0.000;"));
    const QString written = source + QStringLiteral(".3nb");
    EXPECT_EQ(t.f.doc.path(), written);
    ASSERT_TRUE(t.f.doc.isLoaded());
    const auto program = t.f.doc.program();
    EXPECT_EQ(program->kind, 3);
    EXPECT_EQ(program->taper.heightX10, 600);
    EXPECT_EQ(program->taper.widthX10, 200);
    EXPECT_EQ(program->taper.radiusX10, 15);
    EXPECT_EQ(program->taper.angleX1000, 1500);
    ASSERT_EQ(t.card.blocks.size(), 1u);
    EXPECT_EQ(t.card.blocks[0].taperType, kTaperLever);
    EXPECT_EQ(t.card.blocks[0].heightTenths, 600);
    // Kept for the next dialog and for every later load.
    const TaperSettings kept = readTaperSettings(SettingsFile(t.cardIni));
    EXPECT_EQ(kept.type, kTaperLever);
    EXPECT_DOUBLE_EQ(kept.height, 60);
    EXPECT_DOUBLE_EQ(kept.degree, 1.5);
    EXPECT_EQ(t.f.doc.taperMachineType(), kTaperLever);
    EXPECT_EQ(taperValuesText(program->taper),
              QStringLiteral("Height:60.0  Width:20.0  Base:20.0  R:1.5  Degree:1.50"));
}

TEST(TaperCommand, DefaultZdOtherThanOneOffersTheProgramAsTheUpperContour) {
    TaperFixture t;
    SettingsFile(t.machineIni).writeInt(QStringLiteral("Option"), QStringLiteral("DefaultZD"), 0);
    const QString source = t.f.write(QStringLiteral("part.iso"), test::isoSquare10());
    ASSERT_TRUE(t.f.open(source));
    t.script([&](QDialog& d) {
        EXPECT_TRUE(field<QLineEdit>(d, "below")->text().isEmpty());
        EXPECT_EQ(field<QLineEdit>(d, "upper")->text(), source);
    });
    EXPECT_EQ(t.taper->run(), 0);
    EXPECT_TRUE(QFile::exists(source + QStringLiteral(".3nb")));
}

TEST(TaperCommand, ABadDegreeCellSelectsItsRowAndWritesNothing) {
    TaperFixture t;
    const QString source = t.f.write(QStringLiteral("part.iso"), test::isoSquare10());
    const QString target = source + QStringLiteral(".3nb");
    ASSERT_TRUE(t.f.open(source));
    int selected = -1;
    t.f.ui.scripts[QStringLiteral("TaperDialog")] = [&](QDialog& d) {
        TaperRowsModel& rows = static_cast<CTaperDialog&>(d).rows();
        rows.setData(rows.index(4, TaperRowsModel::kColumnDegree), QStringLiteral("90"), Qt::EditRole);
        d.accept();
        selected = field<QTableView>(d, "list")->currentIndex().row();
        EXPECT_EQ(d.result(), QDialog::Rejected) << "the dialog stays open";
        // Mended, the same dialog generates.
        rows.setData(rows.index(4, TaperRowsModel::kColumnDegree), QString(), Qt::EditRole);
        d.accept();
        return d.result();
    };
    EXPECT_EQ(t.taper->run(), 0);
    EXPECT_EQ(selected, 4);
    ASSERT_GE(t.f.ui.messages.size(), 1u);
    EXPECT_EQ(t.f.ui.messages[0].text, QStringLiteral("Upper graph generated failed"));
    EXPECT_TRUE(QFile::exists(target));
}

TEST(TaperCommand, RefusalsLeaveEarlierFilesAndTheProgramAlone) {
    TaperFixture t;
    const QString source = t.f.write(QStringLiteral("part.iso"), test::isoSquare10());
    const QString other = t.f.write(QStringLiteral("other.iso"), test::isoSquare10());
    const QString shorter = t.f.write(QStringLiteral("short.iso"),
                                      test::isoProgram({"G01 X1.000 Y0.000;", "G01 X0.000 Y1.000;"}));
    const QString earlier = t.f.write(QStringLiteral("part.iso.3nb"), "an earlier file\n");
    ASSERT_TRUE(t.f.open(other));
    struct Case {
        bool twoGraphs;
        QString below, upper;
        bool idle;
        QString message;
    };
    const Case cases[] = {
        {false, source, {}, false, QStringLiteral("Please stop the simulating or cutting work first!")},
        {false, {}, {}, true, QStringLiteral("Please select the below or upper graph")},
        {false, source, other, true, QStringLiteral("Can't select both graphs, please choose below or upper one")},
        {true, source, {}, true, QStringLiteral("Please select the upper and below graph")},
        {true, source, shorter, true, QStringLiteral("The upper and below graphs have different segments")},
        {true, source, t.f.dir.filePath(QStringLiteral("missing.iso")), true,
         QStringLiteral("The following file processed failed:\n") + t.f.dir.filePath(QStringLiteral("missing.iso"))},
    };
    for (const Case& c : cases) {
        t.f.ui.messages.clear();
        t.f.idle = c.idle;
        TaperRequest r;
        r.twoGraphs = c.twoGraphs;
        r.below = c.below;
        r.upper = c.upper;
        int badRow = 0;
        EXPECT_FALSE(t.taper->generate(r, badRow)) << c.message.toStdString();
        EXPECT_EQ(badRow, -1);
        ASSERT_EQ(t.f.ui.messages.size(), 1u) << c.message.toStdString();
        EXPECT_EQ(t.f.ui.messages[0].text, c.message);
        EXPECT_EQ(t.f.read(earlier), "an earlier file\n");
        EXPECT_EQ(t.f.doc.path(), other);
    }
}

TEST(TaperCommand, ATitleTheControllerCouldNotOpenIsRefusedBeforeWriting) {
    TaperFixture t;
    // 55 + ".iso" + ".3nb" = 63 bytes is the longest title that opens.
    const QString fits = t.f.write(QString(55, QLatin1Char('a')) + QStringLiteral(".iso"), test::isoSquare10());
    const QString tooLong = t.f.write(QString(56, QLatin1Char('b')) + QStringLiteral(".iso"), test::isoSquare10());
    TaperRequest r;
    r.below = tooLong;
    int badRow;
    EXPECT_FALSE(t.taper->generate(r, badRow));
    ASSERT_EQ(t.f.ui.messages.size(), 1u);
    EXPECT_EQ(t.f.ui.messages[0].text, QStringLiteral("The name is too long"));
    EXPECT_FALSE(QFile::exists(tooLong + QStringLiteral(".3nb")));
    r.below = fits;
    EXPECT_TRUE(t.taper->generate(r, badRow));
    EXPECT_EQ(t.f.doc.path(), fits + QStringLiteral(".3nb"));
}

TEST(TaperCommand, TwoGraphsPairsTheContoursUnderTheLowerFilesName) {
    TaperFixture t;
    const QString lower = t.f.write(QStringLiteral("low.iso"), test::isoSquare10());
    const QString upper = t.f.write(QStringLiteral("up.iso"), test::isoSquare10());
    t.script([&](QDialog& d) {
        field<QRadioButton>(d, "twoGraphs")->setChecked(true);
        auto* dialog = static_cast<CTaperDialog*>(&d);
        EXPECT_TRUE(dialog->setGraph(true, lower));
        EXPECT_TRUE(dialog->setGraph(false, upper));
        setValues(d, 80, 30, 10, 0, kTaperSwing);
    });
    EXPECT_EQ(t.taper->run(), 0);
    EXPECT_TRUE(t.accepted);
    EXPECT_EQ(t.f.doc.path(), lower + QStringLiteral("_up.iso.3nb"));
    ASSERT_EQ(t.card.blocks.size(), 1u);
    EXPECT_EQ(t.card.blocks[0].taperType, kTaperSwing);
    EXPECT_EQ(t.card.blocks[0].baseTenths, 100);
}

TEST(TaperSettingsFile, ValuesComeBackAsTypedAndBadOnesReadAsDefaults) {
    test::ensureApplication();
    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("card.ini")));
    TaperSettings s;
    s.type = kTaperSwing;
    s.base = 0.001;  // would be lost in tenths
    s.degree = -89.999;
    s.rmin = 0.5;
    ASSERT_EQ(writeTaperSettings(file, s), 0);
    const TaperSettings back = readTaperSettings(file);
    EXPECT_EQ(back.type, kTaperSwing);
    EXPECT_DOUBLE_EQ(back.base, 0.001);
    EXPECT_DOUBLE_EQ(back.degree, -89.999);
    EXPECT_DOUBLE_EQ(back.rmin, 0.5);
    file.writeText(QStringLiteral("Taper"), QStringLiteral("Width"), QStringLiteral("0"));
    file.writeText(QStringLiteral("Taper"), QStringLiteral("Height"), QStringLiteral("nan"));
    file.writeInt(QStringLiteral("taper"), QStringLiteral("type"), 7);
    const TaperSettings bad = readTaperSettings(file);
    EXPECT_DOUBLE_EQ(bad.width, TaperSettings{}.width) << "a thickness of 0 would divide by zero";
    EXPECT_DOUBLE_EQ(bad.height, TaperSettings{}.height);
    EXPECT_EQ(bad.type, kTaperSlide);
}

TEST(TaperMenu, TaperIsAlwaysOfferedAndSitsBeforeMultipleOnTheToolbar) {
    test::EditFixture f;
    f.workState = 3;
    f.rolling = true;
    f.mark = true;
    QObject owner;
    auto* set = new EditCommandSet(f.context(), &owner);
    set->refresh();
    EXPECT_TRUE(set->taperAction()->isEnabled());
    EXPECT_EQ(set->taperAction()->text(), QStringLiteral("Taper(&Z)"));
    const QList<QAction*> bar = set->toolBarActions();
    EXPECT_EQ(bar.indexOf(set->taperAction()) + 1, bar.indexOf(set->multipleAction()));
    set->taperAction()->trigger();
    EXPECT_EQ(f.ui.dialogsRun, (std::vector<QString>{QStringLiteral("TaperDialog")}));
}

// Not a check: writes docs/taper-dialog-en.png and -zh.png when KORVEX_SCREENSHOT_DIR is set.
TEST(TaperDialogPictures, Screenshots) {
    const char* dir = std::getenv("KORVEX_SCREENSHOT_DIR");
    if (!dir) GTEST_SKIP() << "KORVEX_SCREENSHOT_DIR not set";
    test::EditFixture f;
    const QString source = f.write(QStringLiteral("part.iso"), test::isoSquare10());
    TaperSettings s;
    s.height = 60;
    s.degree = 1.5;
    for (const Language language : {Language::English, Language::Chinese}) {
        if (language == Language::Chinese) installTranslations(Language::Chinese);
        CTaperDialog dialog(s, {});
        dialog.setGraph(true, source);
        dialog.rows().setData(dialog.rows().index(2, TaperRowsModel::kColumnFlag), QStringLiteral("ER"), Qt::EditRole);
        dialog.resize(dialog.sizeHint().width() + 200, dialog.sizeHint().height());
        EXPECT_TRUE(dialog.grab().save(
            QDir(QString::fromLocal8Bit(dir)).filePath("taper-dialog-" + languageCode(language) + ".png")));
    }
}

}  // namespace
}  // namespace korvex
