// The machine set-up dialogs on the whole controller and the virtual card: Phase (bounds, the
// type questions, what the card holds afterwards), Direction (invert, single steps, the watched
// jog), Stop-Machine, Option and Restore Default.
#include "controller/config/config_menu.h"
#include "controller/config/direction_dialog.h"
#include "controller/config/setup_dialogs.h"
#include "controller/config/setup_menu.h"
#include "controller/machine_control.h"
#include "controller/settings_keys.h"
#include "controller/status_panel_control.h"
#include "controller/tests/controller_fixture.h"
#include "platform/data_dirs.h"
#include "sim/card/card_engine.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <optional>

// Readable QString values in failure messages.
static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

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

class SetupDialogTest : public ControllerTest {
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
        context.cardSettingsChanged = [this] { c->frame.showCardSettings(); };
        context.machineNameChanged = [this] { c->frame.updateTitle(); };
        context.feed = &c->frame.statusPanel().feed();
    }
    void TearDown() override {
        machine.reset();
        c.reset();
    }
    std::vector<std::string> sentSince(std::size_t from) const {
        const auto all = c->link.sent();
        std::vector<std::string> out;
        for (auto it = all.begin() + static_cast<std::ptrdiff_t>(from); it != all.end(); ++it) {
            if (*it != "CMD_KEEP_ALIVE")
                out.push_back(*it);
        }
        return out;
    }
    // Presses `press` and waits until the card answered; returns the boxes shown meanwhile.
    std::vector<QString> pressAndWait(QPushButton* press) {
        c->operatorUi.messages.clear();
        press->click();
        processUntil([&] { return press->isEnabled(); });
        EXPECT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
        QCoreApplication::processEvents();
        return c->operatorUi.messageTexts();
    }
    template <class F>
    auto onCard(F f) {
        return c->card.server().withEngine(f);
    }
    // The card holds these drive types, the copy too (as start-up would have read them).
    void holdDriveTypes(uint8_t xy, uint8_t uv) {
        std::array<uint8_t, kPhaseBytes> phase = cardSettings().phase;
        phase[0] = xy;
        phase[8] = uv;
        ASSERT_EQ(onCard([&](sim::CardEngine& e) { return e.handle(cmdcode::CMD_SET_PHASE, phase.data(), phase.size()).status; }), 0);
        c->session.settings.phase = phase;
    }
    SettingsBlock cardSettings() {
        return onCard([](sim::CardEngine& e) { return e.settings(); });
    }
    static std::array<uint8_t, kSettingsBlockBytes> image(const SettingsBlock& b) {
        std::array<uint8_t, kSettingsBlockBytes> out{};
        encodeSettingsBlock(b, out);
        return out;
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
    ConfigMenuContext context;
    QObject timerOwner;
};

// A form every field of which is in range.
PhaseForm goodPhase() {
    PhaseForm f;
    f.xy = {kDriveServo, "5", "2", 1};
    f.uv = {kDriveMicroStep, "7", "3", 0};
    f.rollGap = "150";
    return f;
}

TEST_F(SetupDialogTest, PhaseFieldsTakeBothBoundsAndRefuseOneStepBeyond) {
    c->operatorUi.answers.assign(20, OperatorInteraction::Answer::Yes);  // the type questions
    struct Field {
        const char* name;
        std::function<void(PhaseForm&, const QString&)> set;
        int low, high;
    };
    const Field fields[] = {
        {"xy rate", [](PhaseForm& f, const QString& t) { f.xy.rate = t; }, 1, 100},
        {"xy width", [](PhaseForm& f, const QString& t) { f.xy.width = t; }, 1, 10},
        {"uv rate", [](PhaseForm& f, const QString& t) { f.uv.rate = t; }, 1, 100},
        {"uv width", [](PhaseForm& f, const QString& t) { f.uv.width = t; }, 1, 10},
        {"roll gap", [](PhaseForm& f, const QString& t) { f.rollGap = t; }, 0, 200},
    };
    c->operatorUi.scripts[QStringLiteral("Phase")] = [&](QDialog& d) {
        auto& dialog = static_cast<PhaseDialog&>(d);
        for (const Field& field : fields) {
            const QString message = QStringLiteral("Please enter an integer from %1 to %2.").arg(field.low).arg(field.high);
            for (int bad : {field.low - 1, field.high + 1}) {
                PhaseForm f = goodPhase();
                field.set(f, QString::number(bad));
                dialog.setForm(f);
                const std::size_t before = c->link.sent().size();
                EXPECT_EQ(pressAndWait(dialog.okButton()), std::vector<QString>{message}) << field.name << " " << bad;
                EXPECT_EQ(sentSince(before), std::vector<std::string>{}) << field.name;
            }
            for (int good : {field.low, field.high}) {
                PhaseForm f = goodPhase();
                field.set(f, QString::number(good));
                dialog.setForm(f);
                d.setResult(-1);
                const auto shown = pressAndWait(dialog.okButton());
                EXPECT_TRUE(std::find(shown.begin(), shown.end(), QStringLiteral("Setup failed")) == shown.end());
                EXPECT_EQ(d.result(), QDialog::Accepted) << field.name << " " << good;
                // What the card holds is the controller's copy.
                EXPECT_EQ(image(cardSettings()), image(c->session.settings)) << field.name << " " << good;
            }
        }
        return d.result();
    };
    ASSERT_EQ(runPhase(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(c->session.settings.rollGapMicroseconds, 200);  // the last value taken
    EXPECT_FALSE(onCard([](sim::CardEngine& e) { return e.motorOn(); }));  // switched off first
}

TEST_F(SetupDialogTest, PhaseStoresUvTypesAndAsksTwiceBeforeATypeChange) {
    // The card's UV type 1 is one no button offers: none is checked and OK refuses it.
    holdDriveTypes(kDrive48, kDrive48);
    c->operatorUi.scripts[QStringLiteral("Phase")] = [&](QDialog& d) {
        auto& dialog = static_cast<PhaseDialog&>(d);
        EXPECT_EQ(dialog.uvTypes()->checkedId(), -1);
        PhaseForm f = dialog.form();
        const PhaseForm good = goodPhase();
        f.xy = good.xy;
        f.uv.rate = good.uv.rate;
        f.uv.width = good.uv.width;
        f.rollGap = good.rollGap;
        dialog.setForm(f);
        const std::size_t before = c->link.sent().size();
        EXPECT_EQ(pressAndWait(dialog.okButton()), std::vector<QString>{"Please choose the drive type."});
        EXPECT_EQ(sentSince(before), std::vector<std::string>{});
        d.reject();
        return d.result();
    };
    ASSERT_EQ(runPhase(context, nullptr), QDialog::Rejected);

    struct Case { int uvButton; uint8_t stored; };
    for (const Case k : {Case{kDriveMicroStep, 3}, Case{kDriveServo, 4}, Case{kDrive36, 0}}) {
        c->operatorUi.questions.clear();
        c->operatorUi.scripts[QStringLiteral("Phase")] = [&](QDialog& d) {
            auto& dialog = static_cast<PhaseDialog&>(d);
            dialog.setForm(goodPhase());
            dialog.uvTypes()->button(k.uvButton)->click();
            // No to the second question keeps the dialog open and sends nothing.
            const std::size_t before = c->link.sent().size();
            c->operatorUi.answers = {OperatorInteraction::Answer::No};
            EXPECT_EQ(pressAndWait(dialog.okButton()),
                      std::vector<QString>{"The choice is different with last time, be careful!"});
            EXPECT_EQ(c->operatorUi.questions, std::vector<QString>{"Are you sure to modify it?"});
            EXPECT_EQ(sentSince(before), std::vector<std::string>{});
            c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
            d.setResult(-1);
            pressAndWait(dialog.okButton());
            EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_SET_MOTOR", "CMD_SET_PHASE", "CMD_SET_ROLL_GAP"}));
            return d.result();
        };
        ASSERT_EQ(runPhase(context, nullptr), QDialog::Accepted);
        EXPECT_EQ(cardSettings().phase[8], k.stored);
        EXPECT_EQ(c->session.settings.phase[8], k.stored);
        EXPECT_EQ(c->frame.paneText(CMainFrame::kPhasePane), QStringLiteral("Servo,%1").arg(qtTrId(QStringLiteral("phase.%1").arg(k.stored).toLatin1().constData())));
    }
    // The same types again: no question.
    c->operatorUi.questions.clear();
    c->operatorUi.scripts[QStringLiteral("Phase")] = [&](QDialog& d) {
        pressAndWait(static_cast<PhaseDialog&>(d).okButton());
        return d.result();
    };
    EXPECT_EQ(runPhase(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(c->operatorUi.questions, std::vector<QString>{});
}

TEST_F(SetupDialogTest, PhaseRefusedByTheCardKeepsTheCopyAndTheDialog) {
    holdDriveTypes(kDrive36, kDrive36);
    c->card.server().refuseNext(cmdcode::CMD_SET_ROLL_GAP, 1);
    const SettingsBlock before = c->session.settings;
    c->operatorUi.answers.assign(2, OperatorInteraction::Answer::Yes);
    c->operatorUi.scripts[QStringLiteral("Phase")] = [&](QDialog& d) {
        auto& dialog = static_cast<PhaseDialog&>(d);
        dialog.setForm(goodPhase());
        EXPECT_EQ(pressAndWait(dialog.okButton()),
                  (std::vector<QString>{"The choice is different with last time, be careful!", "Setup failed"}));
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.reject();
        return d.result();
    };
    ASSERT_EQ(runPhase(context, nullptr), QDialog::Rejected);
    // The phase the card took is kept; the gap it refused is not.
    EXPECT_EQ(c->session.settings.phase, cardSettings().phase);
    EXPECT_NE(c->session.settings.phase, before.phase);
    EXPECT_EQ(c->session.settings.rollGapMicroseconds, before.rollGapMicroseconds);
}

TEST_F(SetupDialogTest, InvertedXStepsOnePlusWhileTheMotorTurnsBack) {
    c->operatorUi.scripts[QStringLiteral("Direction")] = [&](QDialog& d) {
        auto& dialog = static_cast<DirectionDialog&>(d);
        dialog.invertBox(0)->click();
        EXPECT_TRUE(processUntil([&] { return dialog.invertBox(0)->isEnabled(); }));
        EXPECT_TRUE(dialog.invertBox(0)->isChecked());
        EXPECT_TRUE(pressAndWait(dialog.stepButton(AxisDirection::XPlus)).empty());
        EXPECT_EQ(dialog.counter(0), 1);
        EXPECT_EQ(dialog.counterText(0), "X: 1");
        EXPECT_TRUE(pressAndWait(dialog.stepButton(AxisDirection::YMinus)).empty());
        EXPECT_EQ(dialog.counter(1), -1);
        // A refused step is shown and not counted.
        c->card.server().refuseNext(cmdcode::CMD_STEP_AXIS, 1);
        EXPECT_EQ(pressAndWait(dialog.stepButton(AxisDirection::XPlus)), std::vector<QString>{"Setup failed"});
        EXPECT_EQ(dialog.counter(0), 1);
        d.reject();
        return d.result();
    };
    runDirection(context, nullptr);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.motorPositions(); }),
              (std::array<int64_t, kAxisCount>{-1, -1, 0, 0}));
    EXPECT_EQ(c->session.settings.axisInvert, (std::array<uint8_t, kAxisCount>{1, 0, 0, 0}));
    EXPECT_EQ(cardSettings().axisInvert, c->session.settings.axisInvert);
    EXPECT_TRUE(machine->operations().motorOn());  // the panel knows the motor is on
}

TEST_F(SetupDialogTest, JogIsWatchedUntilDoneAndStoppedWhenLeft) {
    // Steps beyond the range are refused before anything is sent.
    c->operatorUi.scripts[QStringLiteral("Direction")] = [&](QDialog& d) {
        auto& dialog = static_cast<DirectionDialog&>(d);
        for (const char* bad : {"0", "1000001", ""}) {
            dialog.stepsField()->setText(QLatin1String(bad));
            c->operatorUi.messages.clear();
            dialog.jogButton(AxisDirection::UMinus)->click();
            EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{"Please enter an integer from 1 to 1000000."});
        }
        EXPECT_FALSE(c->link.wasSent("CMD_JOG"));

        // A short jog: the polls follow it to its total and then stop.
        dialog.stepsField()->setText("1");
        c->operatorUi.scripts[QStringLiteral("Debugging")] = [&](QDialog& dd) {
            auto& debugging = static_cast<DebuggingDialog&>(dd);
            EXPECT_EQ(debugging.windowTitle(), "U- (L3)");
            EXPECT_TRUE(processUntil([&] { return !debugging.jogRunning(); }));
            EXPECT_EQ(debugging.progressText(), "  1 / 1 Steps");
            const std::size_t before = c->link.sent().size();
            debugging.reject();  // nothing runs: Escape only closes
            EXPECT_EQ(sentSince(before), std::vector<std::string>{});
            return dd.result();
        };
        dialog.jogButton(AxisDirection::UMinus)->click();

        // A long jog: Escape while it runs sends CMD_STOP and the card stands still.
        dialog.stepsField()->setText("1000000");
        c->operatorUi.scripts[QStringLiteral("Debugging")] = [&](QDialog& dd) {
            auto& debugging = static_cast<DebuggingDialog&>(dd);
            EXPECT_TRUE(processUntil([&] { return onCard([](sim::CardEngine& e) { return e.jogging(); }); }));
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&debugging, &escape);
            EXPECT_EQ(dd.result(), QDialog::Rejected);
            return dd.result();
        };
        const std::size_t before = c->link.sent().size();
        dialog.jogButton(AxisDirection::XPlus)->click();
        EXPECT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
        const auto sent = sentSince(before);
        EXPECT_NE(std::find(sent.begin(), sent.end(), "CMD_JOG"), sent.end());
        EXPECT_EQ(sent.back(), "CMD_STOP");
        EXPECT_FALSE(onCard([](sim::CardEngine& e) { return e.jogging(); }));

        // A refused jog says so and closes the Debugging... dialog.
        c->card.server().refuseNext(cmdcode::CMD_JOG, 1);
        c->operatorUi.messages.clear();
        c->operatorUi.scripts[QStringLiteral("Debugging")] = [&](QDialog& dd) {
            EXPECT_TRUE(processUntil([&] { return !c->operatorUi.messages.empty(); }));
            return dd.result();
        };
        dialog.jogButton(AxisDirection::YPlus)->click();
        EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{"Setup failed"});

        // A poll the card does not answer stops the jog at once.
        c->operatorUi.messages.clear();
        c->operatorUi.scripts[QStringLiteral("Debugging")] = [&](QDialog& dd) {
            auto& debugging = static_cast<DebuggingDialog&>(dd);
            EXPECT_TRUE(processUntil([&] { return onCard([](sim::CardEngine& e) { return e.jogging(); }); }));
            c->card.server().refuseNext(cmdcode::CMD_GET_STATUS, 1);
            EXPECT_TRUE(processUntil([&] { return !debugging.jogRunning(); }));
            return dd.result();
        };
        const std::size_t beforePoll = c->link.sent().size();
        dialog.jogButton(AxisDirection::VPlus)->click();
        EXPECT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
        EXPECT_EQ(sentSince(beforePoll).back(), "CMD_STOP");
        EXPECT_FALSE(onCard([](sim::CardEngine& e) { return e.jogging(); }));
        EXPECT_EQ(c->operatorUi.messageTexts(), std::vector<QString>{"Setup failed"});
        d.reject();
        return d.result();
    };
    runDirection(context, nullptr);
}

TEST_F(SetupDialogTest, LostLinkDuringAJogTriesTheStopBeforeTheLinkCloses) {
    c->operatorUi.scripts[QStringLiteral("Direction")] = [&](QDialog& d) {
        auto& dialog = static_cast<DirectionDialog&>(d);
        dialog.stepsField()->setText("1000000");
        c->operatorUi.scripts[QStringLiteral("Debugging")] = [&](QDialog& dd) {
            EXPECT_TRUE(processUntil([&] {
                return c->link.wasSent("CMD_JOG") && onCard([](sim::CardEngine& e) { return e.jogging(); });
            }));
            const std::size_t before = c->link.sent().size();
            emit c->events.graphEvent(6, cmdcode::CMD_GET_STATUS);  // as the link reports a loss
            // Sent here, before the link closed (a poll under way may come first).
            const auto sent = sentSince(before);
            EXPECT_NE(std::find(sent.begin(), sent.end(), "CMD_STOP"), sent.end());
            return dd.result();
        };
        dialog.jogButton(AxisDirection::XMinus)->click();
        d.reject();
        return d.result();
    };
    runDirection(context, nullptr);
    EXPECT_FALSE(onCard([](sim::CardEngine& e) { return e.jogging(); }));
    EXPECT_EQ(c->quitStatuses, std::vector<int>{CMainFrame::kLinkLostExitStatus});
}

TEST_F(SetupDialogTest, StopMachinePulsesOffEvenWhenClosedWithinItsSecond) {
    c->operatorUi.scripts[QStringLiteral("StopMachine")] = [&](QDialog& d) {
        auto& dialog = static_cast<StopMachineDialog&>(d);
        EXPECT_TRUE(dialog.testButton()->isEnabled());
        dialog.testButton()->click();
        EXPECT_FALSE(dialog.testButton()->isEnabled());
        d.reject();  // closed at once
        return d.result();
    };
    const std::size_t before = c->link.sent().size();
    runStopMachine(context, nullptr);
    const auto sentOn = Clock::now();
    ASSERT_TRUE(processUntil([&] { return sentSince(before).size() == 2; }));
    EXPECT_GE(Clock::now() - sentOn, std::chrono::milliseconds(StopMachineDialog::kPulseMs - 50));
    EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_STOP_ALL", "CMD_STOP_ALL"}));
    EXPECT_TRUE(c->operatorUi.messageTexts().empty());

    // With the output switched off in the settings, the button cannot be pressed.
    SettingsFile card = c->session.cardSettings();
    ASSERT_EQ(writeKey(card, keys::kNoStopAll, 1), 0);
    c->operatorUi.scripts[QStringLiteral("StopMachine")] = [&](QDialog& d) {
        EXPECT_FALSE(static_cast<StopMachineDialog&>(d).testButton()->isEnabled());
        return d.result();
    };
    runStopMachine(context, nullptr);
}

TEST_F(SetupDialogTest, OptionNameIsOneToThirtyTwoWholeUtf8BytesAndKeysLandAfterTheCard) {
    c->pulseTable.group(2).feedValue = 77;  // a V.F. set since start-up
    c->pulseTable.setTableName("before");
    c->operatorUi.scripts[QStringLiteral("Option")] = [&](QDialog& d) {
        auto& dialog = static_cast<OptionDialog&>(d);
        EXPECT_EQ(dialog.taperDefault()->currentData().toInt(), 1);
        const QString bad[] = {QString(), QString(33, QLatin1Char('a')), QString(11, QChar(0x4E2D))};  // 11 x 3 bytes
        for (const QString& name : bad) {
            dialog.nameField()->setText(name);
            const std::size_t before = c->link.sent().size();
            EXPECT_EQ(pressAndWait(dialog.saveButton()), std::vector<QString>{"The machine name must be 1 to 32 bytes long."});
            EXPECT_EQ(sentSince(before), std::vector<std::string>{});
        }
        dialog.nameField()->setText(QString(32, QLatin1Char('w')));
        EXPECT_TRUE(pressAndWait(dialog.saveButton()).empty());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        return d.result();
    };
    ASSERT_EQ(runOption(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(cardSettings().name(), std::string(32, 'w'));
    EXPECT_EQ(image(cardSettings()), image(c->session.settings));
    EXPECT_EQ(c->session.machineName, QString(32, QLatin1Char('w')));
    EXPECT_TRUE(c->frame.windowTitle().startsWith(QString(32, QLatin1Char('w')) + "-"));

    // Only the name line of dao.tbl is read again.
    EXPECT_EQ(c->pulseTable.group(2).feedValue, 77);
    EXPECT_EQ(c->pulseTable.tableName(), "");

    // The keys of both files, and a name of whole three-byte characters up to 30 bytes.
    c->operatorUi.scripts[QStringLiteral("Option")] = [&](QDialog& d) {
        auto& dialog = static_cast<OptionDialog&>(d);
        dialog.nameField()->setText(QString(10, QChar(0x4E2D)));
        dialog.noStopAll()->setChecked(true);
        dialog.findChild<QCheckBox*>("shutPause")->setChecked(true);
        dialog.findChild<QCheckBox*>("noVkf")->setChecked(true);
        dialog.taperDefault()->setCurrentIndex(0);
        pressAndWait(dialog.saveButton());
        return d.result();
    };
    ASSERT_EQ(runOption(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(QString::fromStdString(cardSettings().name()), QString(10, QChar(0x4E2D)));
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kNoStopAll), 1);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kAutoShutPause), 1);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kAutoShutEnd), 0);
    EXPECT_EQ(readKey(c->session.machineSettings(), keys::kNoFunctionKeys), 1);
    EXPECT_EQ(readKey(c->session.machineSettings(), keys::kDefaultTaperType), 0);

    // A refused name stores no key and keeps the dialog open.
    c->card.server().refuseNext(cmdcode::CMD_SET_MACHINE_NAME, 1);
    c->operatorUi.scripts[QStringLiteral("Option")] = [&](QDialog& d) {
        auto& dialog = static_cast<OptionDialog&>(d);
        dialog.noStopAll()->setChecked(false);
        EXPECT_EQ(pressAndWait(dialog.saveButton()), std::vector<QString>{"Setup failed"});
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.reject();
        return d.result();
    };
    ASSERT_EQ(runOption(context, nullptr), QDialog::Rejected);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kNoStopAll), 1);
}

TEST_F(SetupDialogTest, OptionBrowseOffersExecutablesAndStoresFolderAndFile) {
    c->operatorUi.openChoice = data.path() + "/tools/cam";
    QDir().mkpath(data.path() + "/tools");
    QFile f(*c->operatorUi.openChoice);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    c->operatorUi.scripts[QStringLiteral("Option")] = [&](QDialog& d) {
        auto& dialog = static_cast<OptionDialog&>(d);
        dialog.browseButton()->click();
        EXPECT_EQ(dialog.values().programFolder, data.path() + "/tools/");
        EXPECT_EQ(dialog.values().programFile, "cam");
        pressAndWait(dialog.saveButton());
        return d.result();
    };
    ASSERT_EQ(runOption(context, nullptr), QDialog::Accepted);
    EXPECT_EQ(c->session.machineSettings().readText("Option", "PGFile", {}), "cam");
    EXPECT_EQ(c->session.machineSettings().readText("Option", "PGPath", {}), data.path() + "/tools/");
}

TEST_F(SetupDialogTest, RestoreDefaultAsksFirstThenTakesTheCardsBlockWhole) {
    c->operatorUi.answers = {OperatorInteraction::Answer::No};
    const std::size_t before = c->link.sent().size();
    EXPECT_EQ(runRestoreDefault(context, nullptr), QDialog::Rejected);
    EXPECT_EQ(c->operatorUi.questions,
              std::vector<QString>{"[ATTENTION] Will clear all settings to the default values,continue or not?"});
    EXPECT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
    EXPECT_EQ(sentSince(before), std::vector<std::string>{});

    // The card had other settings: a name, a tracking mode, a speed.
    c->session.settings.speeds[0] = 1234;
    c->session.settings.trackMode = 1;
    c->frame.statusPanel().feed().setTrackingMode(1);
    c->session.machineName = "Old";
    c->operatorUi.answers = {OperatorInteraction::Answer::Yes};
    const std::size_t beforeYes = c->link.sent().size();
    EXPECT_EQ(runRestoreDefault(context, nullptr), QDialog::Accepted);
    ASSERT_TRUE(processUntil([&] { return c->frame.statusPanel().feed().trackingMode() == 0; }));
    EXPECT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
    EXPECT_EQ(image(c->session.settings), image(sim::defaultSettings()));
    EXPECT_EQ(c->session.machineName, qtTrId("61537"));
    EXPECT_TRUE(c->frame.windowTitle().startsWith(qtTrId("61537")));
    EXPECT_EQ(c->frame.paneText(CMainFrame::kMaxSpeedPane), qtTrId("61535").arg(sim::defaultSettings().speeds[0]));
    const auto sent = sentSince(beforeYes);
    EXPECT_EQ(sent.at(0), "CMD_RESTORE_DEFAULTS");
    EXPECT_EQ(sent.at(1), "CMD_GET_SETTINGS");
    // The groups' feed entries and the feed follow the first table again.
    EXPECT_EQ(c->pulseTable.group(3).feed, feedEntry(0, c->pulseTable.group(3).feedValue));
    ASSERT_TRUE(processUntil([&] { return onCard([](sim::CardEngine& e) { return e.feed(); }) == c->frame.statusPanel().feed().value(); }));
}

TEST_F(SetupDialogTest, EntriesHaveTheirKeysAndFollowTheRules) {
    struct Row { const char* name; QKeySequence key; };
    const Row rows[] = {
        {"PhaseAction", QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"DirectionAction", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"StopMachineAction", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"RestoreDefaultAction", QKeySequence()},
        {"OptionAction", QKeySequence()},
    };
    for (const Row& r : rows) {
        QAction* entry = c->frame.findChild<QAction*>(QLatin1String(r.name));
        ASSERT_NE(entry, nullptr) << r.name;
        EXPECT_EQ(entry->shortcut(), r.key) << r.name;
        EXPECT_TRUE(entry->isEnabled()) << r.name;  // card work state 0: all of them
    }
}

}  // namespace
}  // namespace korvex::testing
