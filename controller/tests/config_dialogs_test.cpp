// The configuration dialogs on the whole controller and the virtual card. Mult-Table: what OK
// sends and in which order, what a bad cell, Cancel or an unwritable folder leave behind, and the
// saved rows. Mult-Test and Clearence: the bounds, and nothing kept that the card refused.
#include "controller/config/config_menu.h"
#include "controller/config/mult_table_dialog.h"
#include "controller/config/small_dialogs.h"
#include "controller/machine_control.h"
#include "controller/settings_keys.h"
#include "controller/tests/controller_fixture.h"
#include "platform/data_dirs.h"
#include "sim/card/card_engine.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QEventLoop>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QTableWidget>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <optional>

namespace korvex::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWaitMs = 10000;  // only a stuck worker or link takes this long

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

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ConfigDialogTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        c = std::make_unique<ControllerParts>();
        ASSERT_TRUE(c->start());
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
        context.session = &c->session;
        context.card = &c->link;
        context.operatorUi = &c->operatorUi;
        context.pulseTable = &c->pulseTable;
        context.machine = [this] { return &*machine; };
        context.timerOwner = &timerOwner;
    }
    void TearDown() override {
        machine.reset();
        c.reset();
    }
    // Commands of the dialog, in the order the card got them (start-up's and heartbeats left out).
    std::vector<std::string> sentSince(std::size_t from) const {
        const auto all = c->link.sent();
        std::vector<std::string> out;
        for (auto it = all.begin() + static_cast<std::ptrdiff_t>(from); it != all.end(); ++it) {
            if (*it != "CMD_KEEP_ALIVE")
                out.push_back(*it);
        }
        return out;
    }
    void switchHf(bool on) {
        if (machine->operations().hfOn() != on)
            machine->operations().toggleHf();
        ASSERT_TRUE(processUntil([&] { return machine->operations().hfOn() == on; }));
    }
    // The dialog gets `edit`, then OK is pressed; the answer arrives once the card took it.
    int runWith(std::function<void(MultTableDialog&)> edit, bool ok = true) {
        c->operatorUi.scripts[QStringLiteral("MultTable")] = [edit, ok](QDialog& d) {
            auto& dialog = static_cast<MultTableDialog&>(d);
            edit(dialog);
            if (!ok) {
                d.reject();
                return d.result();
            }
            d.setResult(-1);
            dialog.accept();
            // Busy while the card works; stays open (-1) after a refusal.
            processUntil([&] { return dialog.okButton()->isEnabled(); });
            return d.result();
        };
        return runMultTable(context, nullptr);
    }
    static void setCell(MultTableDialog& d, int row, int column, const QString& text) {
        d.table()->item(row, column)->setText(text);
    }
    template <class F>
    auto onCard(F f) {
        return c->card.server().withEngine(f);
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
    ConfigMenuContext context;
    QObject timerOwner;
};

TEST_F(ConfigDialogTest, OkWithHfOnSendsTheGroupBetweenHfOffAndHfOnTwoSecondsLater) {
    switchHf(true);
    const std::size_t before = c->link.sent().size();
    // The HF wait starts inside OK, before the dialog closes: measure from before the dialog,
    // else a slow close would make a correct wait look short.
    const auto opened = Clock::now();
    const int result = runWith([](MultTableDialog& d) {
        setCell(d, 0, 1, "20");
        setCell(d, 0, 2, "5");
        setCell(d, 0, 7, "0.5");
        d.fixedVf()->setChecked(true);
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_SET_FEED", "CMD_SET_SWITCH_WITHOUT_VF",
                                                           "CMD_SET_HF", "CMD_SET_PULSE_GROUP"}));
    EXPECT_FALSE(onCard([](sim::CardEngine& e) { return e.hfOn(); }));
    ASSERT_TRUE(processUntil([&] { return sentSince(before).size() == 5; }));
    EXPECT_GE(Clock::now() - opened, std::chrono::milliseconds(kGroupHfDelayMs));
    EXPECT_EQ(sentSince(before).back(), "CMD_SET_HF");
    ASSERT_TRUE(processUntil([&] { return onCard([](sim::CardEngine& e) { return e.hfOn(); }); }));

    // What the card holds is the table in memory and in dao.tbl.
    const PulseGroup& g = c->pulseTable.group(0);
    EXPECT_EQ(g.pulseIntervalUs, 100);
    EXPECT_EQ(g.feedValue, 1);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.pulseGroup(); }), encodePulseGroup(g));
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.feed(); }), 1);
    EXPECT_TRUE(onCard([](sim::CardEngine& e) { return e.switchWithoutVf(); }));
    EXPECT_EQ(readAll(pulseTablePath()).left(28), QByteArray(reinterpret_cast<const char*>(encodePulseGroup(g).data()), 28));
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kSwitchWithoutVf), 1);
}

TEST_F(ConfigDialogTest, HfSwitchedOffDuringTheWaitIsNotSwitchedBackOn) {
    switchHf(true);
    const std::size_t before = c->link.sent().size();
    ASSERT_EQ(runWith([](MultTableDialog&) {}), QDialog::Accepted);
    const auto closed = Clock::now();
    switchHf(false);
    // The delayed HF on would have come by now; the timer's owner still lives.
    ASSERT_TRUE(processUntil([&] { return Clock::now() - closed > std::chrono::milliseconds(kGroupHfDelayMs + 300); }));
    ASSERT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
    const auto sent = sentSince(before);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), std::string("CMD_SET_HF")), 1);
    EXPECT_FALSE(onCard([](sim::CardEngine& e) { return e.hfOn(); }));
}

TEST_F(ConfigDialogTest, BadCellOrCancelLeavesTableFileKeysAndCardAlone) {
    const QByteArray file = readAll(pulseTablePath());
    const PulseGroupImage group5 = encodePulseGroup(c->pulseTable.group(5));
    const std::size_t before = c->link.sent().size();
    struct Case { int column; const char* text; const char* message; };
    const Case cases[] = {
        {7, "100.5", "V.F. Error!Please input the value between 0.5 and 100"},
        {7, "0.4", "V.F. Error!Please input the value between 0.5 and 100"},
        {1, "0", "Pw(uS):must be an integer from 1 to 1000"},
        {5, "256", "Amp.:must be an integer from 0 to 255"},
    };
    for (const Case& k : cases) {
        c->operatorUi.messages.clear();
        EXPECT_NE(runWith([&](MultTableDialog& d) { setCell(d, 5, k.column, k.text); }), QDialog::Accepted);
        EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{QString::fromLatin1(k.message)});
    }
    EXPECT_EQ(runWith([](MultTableDialog& d) {
                  setCell(d, 5, 1, "40");
                  d.setDefaultIndex(3);
              }, false),
              QDialog::Rejected);
    EXPECT_EQ(sentSince(before), std::vector<std::string>{});
    EXPECT_EQ(readAll(pulseTablePath()), file);
    EXPECT_EQ(encodePulseGroup(c->pulseTable.group(5)), group5);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kDefaultIndex), 0);
}

TEST_F(ConfigDialogTest, RefusedCommandShowsSetupFailedKeepsTheDialogAndStoresNoKeys) {
    c->card.server().refuseNext(cmdcode::CMD_SET_SWITCH_WITHOUT_VF, 1);
    const std::size_t before = c->link.sent().size();
    const int result = runWith([](MultTableDialog& d) {
        d.fixedVf()->setChecked(true);
        d.setDefaultIndex(2);
    });
    EXPECT_NE(result, QDialog::Accepted);
    EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{"Setup failed"});
    // No group follows a refused step.
    EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_SET_FEED", "CMD_SET_SWITCH_WITHOUT_VF"}));
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kSwitchWithoutVf), 0);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kDefaultIndex), 0);
}

TEST_F(ConfigDialogTest, WaitFieldIsShownAndCheckedOnlyForTheWaitChoice) {
    const std::size_t before = c->link.sent().size();
    for (const char* text : {"0", "10", "x"}) {
        c->operatorUi.messages.clear();
        EXPECT_NE(runWith([&](MultTableDialog& d) {
                      EXPECT_FALSE(d.waitSeconds()->isVisibleTo(&d));
                      d.changeIndexes()->setCurrentIndex(1);
                      EXPECT_TRUE(d.waitSeconds()->isVisibleTo(&d));
                      d.waitSeconds()->setText(QString::fromLatin1(text));
                  }),
                  QDialog::Accepted);
        EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{"Please enter an integer from 1 to 9."});
    }
    EXPECT_EQ(sentSince(before), std::vector<std::string>{});
    for (int seconds : {1, 9}) {
        ASSERT_EQ(runWith([&](MultTableDialog& d) {
                      d.changeIndexes()->setCurrentIndex(1);
                      d.waitSeconds()->setText(QString::number(seconds));
                  }),
                  QDialog::Accepted);
        EXPECT_EQ(readKey(c->session.cardSettings(), keys::kSwitchTime), seconds);
        EXPECT_EQ(readKey(c->session.cardSettings(), keys::kSwitchType), 1);
    }
    // Another choice leaves the stored wait as it was, whatever the hidden field holds.
    ASSERT_EQ(runWith([](MultTableDialog& d) {
                  d.changeIndexes()->setCurrentIndex(3);
                  d.waitSeconds()->setText("77");
              }),
              QDialog::Accepted);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kSwitchTime), 9);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kSwitchType), 3);
}

TEST_F(ConfigDialogTest, MultTableEntryIsAlwaysEnabledWithCtrlB) {
    QAction* entry = c->frame.findChild<QAction*>(QStringLiteral("MultTableAction"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_TRUE(entry->isEnabled());
    switchHf(true);
    EXPECT_TRUE(entry->isEnabled());
}

TEST_F(ConfigDialogTest, UnwritableParameterFolderRefusesOkAndKeepsDaoTbl) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_EQ(c->pulseTable.write(pulseTablePath()), 0);
    const QByteArray file = readAll(pulseTablePath());
    const std::size_t before = c->link.sent().size();
    ::chmod(QFile::encodeName(parameterDirectory()).constData(), 0500);
    EXPECT_NE(runWith([](MultTableDialog& d) { setCell(d, 2, 1, "30"); }), QDialog::Accepted);
    ::chmod(QFile::encodeName(parameterDirectory()).constData(), 0700);
    EXPECT_EQ(c->operatorUi.messageTexts().back(), "Write Dao table failed");
    EXPECT_EQ(readAll(pulseTablePath()), file);
    EXPECT_EQ(c->pulseTable.group(2).pulseWidthUs, 1);
    EXPECT_EQ(sentSince(before), std::vector<std::string>{});
}

TEST_F(ConfigDialogTest, SavedRowsListEighteenInNameOrderAndRoundTrip) {
    // Save row 4 as "finish", then 20 more files: the pop-up offers 18, sorted by name.
    c->operatorUi.scripts[QStringLiteral("RowName")] = [](QDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("a:b"));
        return int(QDialog::Accepted);
    };
    int named = 0;
    c->operatorUi.scripts[QStringLiteral("MultTable")] = [&](QDialog& d) {
        auto& dialog = static_cast<MultTableDialog&>(d);
        setCell(dialog, 4, 1, "25");
        setCell(dialog, 4, 2, "4");
        c->operatorUi.scripts[QStringLiteral("RowName")] = [&](QDialog& nameDialog) {
            nameDialog.findChild<QLineEdit*>(QStringLiteral("name"))
                ->setText(named++ == 0 ? QStringLiteral("a:b") : QStringLiteral("finish"));
            return int(QDialog::Accepted);
        };
        dialog.popupFor(4)->actions().at(1)->trigger();  // Save the line
        for (int i = 0; i < 20; ++i) {
            QFile::copy(QDir(parameterDirectory()).filePath("finish.zif"),
                        QDir(parameterDirectory()).filePath(QStringLiteral("z%1.zif").arg(i, 2, 10, QLatin1Char('0'))));
        }
        const auto menu = dialog.popupFor(0);
        const auto actions = menu->actions();
        EXPECT_EQ(actions.size(), 4 + kMaxZifItems);
        EXPECT_EQ(actions.at(4)->text(), "finish[Pw:25,Pi:4,High:0,Low:0,Amp:0,WS:0,VF:50.0]");
        EXPECT_TRUE(actions.last()->text().startsWith("z16["));
        c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
        actions.at(4)->trigger();  // into row 0
        EXPECT_EQ(dialog.table()->item(0, 1)->text(), "25");
        EXPECT_EQ(dialog.table()->item(0, 0)->text(), "0");
        d.reject();
        return d.result();
    };
    runMultTable(context, nullptr);
    EXPECT_EQ(named, 2);
    ASSERT_FALSE(c->operatorUi.messageTexts().empty());
    EXPECT_EQ(c->operatorUi.messageTexts().front(), "Unvalid characters: . \\ / : * ? < > | ");
    EXPECT_EQ(readAll(QDir(parameterDirectory()).filePath("finish.zif")).size(), 28);
}

TEST_F(ConfigDialogTest, RestoreTakesAValidTableWholeAndNamesItAfterTheFile) {
    PulseTable other;
    other.group(3).pulseWidthUs = 60;
    other.group(3).pulseIntervalUs = 120;
    const QString good = QDir(parameterDirectory()).filePath("fine.tbl");
    ASSERT_EQ(other.writeUserTable(good), 0);
    QByteArray bad = readAll(good);
    bad[6 * 28 + 24] = char(201);
    const QString badPath = QDir(parameterDirectory()).filePath("bad.tbl");
    QFile f(badPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bad);
    f.close();

    c->operatorUi.scripts[QStringLiteral("MultTable")] = [&](QDialog& d) {
        auto& dialog = static_cast<MultTableDialog&>(d);
        c->operatorUi.openChoice = badPath;
        EXPECT_FALSE(dialog.restoreTable());
        EXPECT_EQ(dialog.table()->item(3, 1)->text(), "1");
        c->operatorUi.openChoice = good;
        EXPECT_TRUE(dialog.restoreTable());
        EXPECT_EQ(dialog.table()->item(3, 1)->text(), "60");
        EXPECT_EQ(dialog.table()->item(3, 2)->text(), "2");
        dialog.accept();
        processUntil([&] { return d.result() == QDialog::Accepted; });
        return d.result();
    };
    ASSERT_EQ(runMultTable(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{"Read Dao table failed"});
    EXPECT_EQ(c->pulseTable.tableName(), "fine");
    EXPECT_EQ(c->pulseTable.group(3).pulseIntervalUs, 120);
}

// Presses `press`, waits for the card's answer, and returns what the operator saw.
std::vector<QString> pressAndWait(ScriptedOperator& ui, QPushButton* press) {
    ui.messages.clear();
    press->click();
    processUntil([&] { return press->isEnabled(); });
    return ui.messageTexts();
}

TEST_F(ConfigDialogTest, MultTestSendsGroupsZeroToSevenAndRefusesTheRest) {
    c->pulseTable.group(7).pulseWidthUs = 44;
    const std::size_t before = c->link.sent().size();
    c->operatorUi.scripts[QStringLiteral("MultTest")] = [&](QDialog& d) {
        auto& dialog = static_cast<MultTestDialog&>(d);
        for (const char* bad : {"8", "-1", "", "x"}) {
            dialog.indexField()->setText(QString::fromLatin1(bad));
            EXPECT_EQ(pressAndWait(c->operatorUi, dialog.testButton()),
                      std::vector<QString>{"Please input the number between 0 and 7"}) << bad;
        }
        EXPECT_EQ(sentSince(before), std::vector<std::string>{});
        for (int n : {0, 7}) {
            dialog.indexField()->setText(QString::number(n));
            EXPECT_EQ(pressAndWait(c->operatorUi, dialog.testButton()), std::vector<QString>{});
            EXPECT_EQ(dialog.lastSent(), n);
            EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.pulseGroup(); }), encodePulseGroup(c->pulseTable.group(n)));
        }
        c->card.server().refuseNext(cmdcode::CMD_SET_PULSE_GROUP, 1);
        dialog.indexField()->setText("3");
        EXPECT_EQ(pressAndWait(c->operatorUi, dialog.testButton()), std::vector<QString>{"Setup failed"});
        EXPECT_EQ(dialog.lastSent(), 7);
        dialog.changeButton()->click();  // closes it and opens Mult-Table
        return d.result();
    };
    bool tableOpened = false;
    c->operatorUi.scripts[QStringLiteral("MultTable")] = [&](QDialog& d) {
        tableOpened = true;
        d.reject();
        return d.result();
    };
    EXPECT_EQ(runMultTest(context, nullptr), QDialog::Rejected);
    EXPECT_TRUE(tableOpened);
}

TEST_F(ConfigDialogTest, ClearanceTakesBothBoundsAndKeepsNothingTheCardRefused) {
    const std::size_t before = c->link.sent().size();
    c->operatorUi.scripts[QStringLiteral("Clearance")] = [&](QDialog& d) {
        auto& dialog = static_cast<ClearanceDialog&>(d);
        for (const char* bad : {"16", "-1", "1.5"}) {
            dialog.secondsField()->setText(QString::fromLatin1(bad));
            EXPECT_EQ(pressAndWait(c->operatorUi, dialog.okButton()),
                      std::vector<QString>{"Please enter an integer from 0 to 15."}) << bad;
        }
        EXPECT_EQ(sentSince(before), std::vector<std::string>{});
        c->card.server().refuseNext(cmdcode::CMD_SET_CLEARANCE, 1);
        dialog.secondsField()->setText("9");
        EXPECT_EQ(pressAndWait(c->operatorUi, dialog.okButton()), std::vector<QString>{"Setup failed"});
        EXPECT_NE(c->session.settings.clearanceSeconds, 9);
        EXPECT_EQ(d.result(), QDialog::Rejected);  // still open
        dialog.secondsField()->setText("15");
        pressAndWait(c->operatorUi, dialog.okButton());
        processUntil([&] { return d.result() == QDialog::Accepted; });
        return d.result();
    };
    ASSERT_EQ(runClearance(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(c->session.settings.clearanceSeconds, 15);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return int(e.settings().clearanceSeconds); }), 15);

    c->operatorUi.scripts[QStringLiteral("Clearance")] = [&](QDialog& d) {
        auto& dialog = static_cast<ClearanceDialog&>(d);
        EXPECT_EQ(dialog.secondsField()->text(), "15");
        dialog.secondsField()->setText("0");
        dialog.okButton()->click();
        processUntil([&] { return d.result() == QDialog::Accepted; });
        return d.result();
    };
    ASSERT_EQ(runClearance(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return int(e.settings().clearanceSeconds); }), 0);
}

}  // namespace
}  // namespace korvex::testing
