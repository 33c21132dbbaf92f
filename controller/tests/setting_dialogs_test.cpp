// The Loop, Speed, Back, Planing-Stop and Track dialogs through their Config entries on the whole
// controller and the virtual card: every field's bounds, nothing sent for a refused value, the
// card's settings equal to the controller's copy after OK, nothing kept that the card refused,
// and the status-bar pane clicks.
#include "controller/config/config_menu.h"
#include "controller/config/setting_dialogs.h"
#include "controller/feed_control.h"
#include "controller/machine_control.h"
#include "controller/settings_keys.h"
#include "controller/status_pane_clicks.h"
#include "controller/status_panel_control.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/graph_view.h"
#include "controller/views/plan_pause_point.h"
#include "sim/card/card_engine.h"
#include "sim/card/card_trace.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include <chrono>
#include <optional>

namespace korvex::testing {
namespace {

using Clock = std::chrono::steady_clock;
using Answer = OperatorInteraction::Answer;
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

class SettingDialogTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        c = std::make_unique<ControllerParts>();
        ASSERT_TRUE(c->start());
        machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
        c->frame.attachMachineControl(*machine);
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
    // Runs the Config entry `action`; `script` answers its dialog `name`. The dialog's result,
    // -1 while it stays open, -2 when no dialog was run.
    int runEntry(const char* action, const char* name, std::function<void(QDialog&)> script) {
        int result = -2;
        c->operatorUi.scripts[QLatin1String(name)] = [script, &result](QDialog& d) {
            d.setResult(-1);
            script(d);
            result = d.result();
            return result;
        };
        QAction* entry = c->frame.findChild<QAction*>(QLatin1String(action));
        EXPECT_NE(entry, nullptr) << action;
        if (entry == nullptr)
            return result;
        // The entries' states are set when the menu opens, as the operator's opening does.
        QMetaObject::invokeMethod(entry->associatedObjects().value(0), "aboutToShow");
        entry->trigger();
        return result;
    }
    // Presses `button`, waits for the card's answer, and returns what the operator saw.
    std::vector<QString> press(QPushButton* button) {
        c->operatorUi.messages.clear();
        button->click();
        processUntil([&] { return button->isEnabled(); });
        return c->operatorUi.messageTexts();
    }
    // Every field: one step beyond each bound refused with that field's range, nothing sent.
    template <std::size_t N>
    void checkBounds(const std::array<QLineEdit*, N>& fields, const std::array<IntRange, N>& ranges, QPushButton* ok) {
        const std::size_t before = c->link.sent().size();
        for (std::size_t i = 0; i < N; ++i) {
            for (std::size_t k = 0; k < N; ++k)
                fields[k]->setText(QString::number(ranges[k].low));
            for (int beyond : {ranges[i].low - 1, ranges[i].high + 1}) {
                fields[i]->setText(QString::number(beyond));
                EXPECT_EQ(press(ok), std::vector<QString>{range(ranges[i].low, ranges[i].high)})
                    << "field " << i << " value " << beyond;
            }
        }
        EXPECT_EQ(sentSince(before), std::vector<std::string>{});
    }
    static void setAll(std::span<QLineEdit* const> fields, std::span<const int> values) {
        for (std::size_t k = 0; k < fields.size(); ++k)
            fields[k]->setText(QString::number(values[k]));
    }
    template <class F>
    auto onCard(F f) {
        return c->card.server().withEngine(f);
    }
    SettingsBlock cardBlock() {
        return onCard([](sim::CardEngine& e) { return e.settings(); });
    }
    static QString range(int low, int high) {
        return QStringLiteral("Please enter an integer from %1 to %2.").arg(low).arg(high);
    }

    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
};


TEST_F(SettingDialogTest, LoopTakesBothBoundsAndShowsTheCountTheCardTook) {
    const int result = runEntry("LoopAction", "Loop", [&](QDialog& d) {
        auto& dialog = static_cast<LoopDialog&>(d);
        EXPECT_EQ(dialog.loopsField()->text(), "1");
        checkBounds<1>({dialog.loopsField()}, {kLoopRange}, dialog.okButton());
        c->card.server().refuseNext(cmdcode::CMD_SET_LOOP, 1);
        dialog.loopsField()->setText("255");
        EXPECT_EQ(press(dialog.okButton()), std::vector<QString>{"Setup failed"});
        EXPECT_EQ(c->frame.loopTotal(), 1);
        EXPECT_EQ(d.result(), -1);
        press(dialog.okButton());
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(c->frame.loopTotal(), 255);
    EXPECT_EQ(c->frame.paneText(CMainFrame::kLoopPane), "Loop:0/255");
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.loopTotal(); }), 255);

    ASSERT_EQ(runEntry("LoopAction", "Loop", [&](QDialog& d) {
                  auto& dialog = static_cast<LoopDialog&>(d);
                  EXPECT_EQ(dialog.loopsField()->text(), "255");
                  dialog.loopsField()->setText("1");
                  press(dialog.okButton());
              }),
              QDialog::Accepted);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.loopTotal(); }), 1);
}

TEST_F(SettingDialogTest, SpeedCancelledAtItsQuestionSendsNothingAndOpensNoDialog) {
    const std::size_t before = c->link.sent().size();
    c->operatorUi.answers = {Answer::Cancel};
    EXPECT_EQ(runEntry("SpeedAction", "Speed", [](QDialog&) { ADD_FAILURE() << "opened"; }), -2);
    ASSERT_EQ(c->operatorUi.questions.size(), 1u);
    EXPECT_TRUE(c->operatorUi.questions[0].startsWith("Need to modify the maximum speed?Be careful!"));
    EXPECT_EQ(sentSince(before), std::vector<std::string>{});
}

TEST_F(SettingDialogTest, SpeedFieldsTakeTheirBoundsAndTheCardHoldsTheCopy) {
    // A speed the card holds outside its field's range is shown as it is and refused, not clamped.
    c->session.settings.speeds[1] = 3000;
    for (const bool highs : {false, true}) {
        c->operatorUi.answers = {Answer::Ok};
        const int result = runEntry("SpeedAction", "Speed", [&](QDialog& d) {
            auto& dialog = static_cast<SpeedDialog&>(d);
            std::array<QLineEdit*, kSpeedFieldCount> fields{};
            for (std::size_t i = 0; i < kSpeedFieldCount; ++i)
                fields[i] = dialog.field(static_cast<SpeedField>(i));
            if (!highs) {
                EXPECT_EQ(fields[kMaxUVField]->text(), "3000");
                EXPECT_EQ(press(dialog.saveButton()), std::vector<QString>{range(10, 1000)});
                checkBounds(fields, kSpeedRanges, dialog.saveButton());
            }
            std::array<int, kSpeedFieldCount> values{};
            for (std::size_t i = 0; i < kSpeedFieldCount; ++i)
                values[i] = highs ? kSpeedRanges[i].high : kSpeedRanges[i].low;
            setAll(fields, values);
            press(dialog.saveButton());
        });
        ASSERT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(cardBlock().speeds, c->session.settings.speeds);
        const int maxXY = highs ? 20000 : 10;
        EXPECT_EQ(c->session.settings.speeds, (std::array<int32_t, kSpeedCount>{maxXY, highs ? 1000 : 10,
                                                                                 highs ? 20000 : 1, highs ? 1000 : 1,
                                                                                 highs ? 1000 : 10, highs ? 1000 : 10}));
        EXPECT_EQ(c->frame.paneText(CMainFrame::kMaxSpeedPane), QStringLiteral("X/Y Max Spd:%1 steps/sec").arg(maxXY));
    }
}

TEST_F(SettingDialogTest, BackStoresEachByteOnlyOnceTheCardTookIt) {
    const SettingsBlock start = c->session.settings;
    const int result = runEntry("BackwardAction", "Back", [&](QDialog& d) {
        auto& dialog = static_cast<BackDialog&>(d);
        const std::array<QLineEdit*, 3> fields{dialog.field(kBackDelayField), dialog.field(kBackStopField),
                                               dialog.field(kSensitivityField)};
        checkBounds(fields, kBackRanges, dialog.okButton());

        // A refused delay: no stop time is sent, nothing stored.
        setAll(fields, std::array{35, 60, 500});
        c->card.server().refuseNext(cmdcode::CMD_SET_BACK_DELAY, 1);
        std::size_t before = c->link.sent().size();
        EXPECT_EQ(press(dialog.okButton()), std::vector<QString>{"Setup failed"});
        EXPECT_EQ(sentSince(before), std::vector<std::string>{"CMD_SET_BACK_DELAY"});
        EXPECT_EQ(c->session.settings.backDelaySeconds, start.backDelaySeconds);
        EXPECT_EQ(c->session.settings.backStopSeconds, start.backStopSeconds);

        // A refused stop time: the delay the card took is kept, the rest is not.
        c->card.server().refuseNext(cmdcode::CMD_SET_BACK_STOP_TIME, 1);
        before = c->link.sent().size();
        EXPECT_EQ(press(dialog.okButton()), std::vector<QString>{"Setup failed"});
        EXPECT_EQ(sentSince(before), (std::vector<std::string>{"CMD_SET_BACK_DELAY", "CMD_SET_BACK_STOP_TIME"}));
        EXPECT_EQ(c->session.settings.backDelaySeconds, 35);
        EXPECT_EQ(c->session.settings.backStopSeconds, start.backStopSeconds);
        EXPECT_EQ(readKey(c->session.cardSettings(), keys::kShortSensitivity), 0);
        EXPECT_EQ(d.result(), -1);
        press(dialog.okButton());
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(cardBlock().backDelaySeconds, 35);
    EXPECT_EQ(cardBlock().backStopSeconds, 60);
    EXPECT_EQ(c->session.settings.backStopSeconds, 60);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kShortSensitivity), 500);

    ASSERT_EQ(runEntry("BackwardAction", "Back", [&](QDialog& d) {
                  auto& dialog = static_cast<BackDialog&>(d);
                  EXPECT_EQ(dialog.field(kSensitivityField)->text(), "500");
                  setAll(std::array{dialog.field(kBackDelayField), dialog.field(kBackStopField),
                                    dialog.field(kSensitivityField)},
                         std::array{5, 15, 0});
                  press(dialog.okButton());
              }),
              QDialog::Accepted);
    EXPECT_EQ(cardBlock().backDelaySeconds, 5);
    EXPECT_EQ(cardBlock().backStopSeconds, 15);
    EXPECT_EQ(readKey(c->session.cardSettings(), keys::kShortSensitivity), 0);
}

TEST_F(SettingDialogTest, PlanPauseNeedsALoadedProgramAndALineOrArcOfIt) {
    QAction* entry = c->frame.findChild<QAction*>(QStringLiteral("PlanPauseAction"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(runEntry("PlanPauseAction", "PlanPause", [](QDialog&) {}), -2) << "no program loaded";

    ASSERT_EQ(c->frame.openRequest(QStringLiteral(KORVEX_EXAMPLES_DIR "/groups.iso")), OpenOutcome::Opened);
    ASSERT_TRUE(processUntil([&] { return machine->operations().runState().state == 1; }));
    const auto program = c->document.program();
    const int count = static_cast<int>(program->segments.size());
    int line = -1, other = -1;
    for (int i = 0; i < count; ++i) {
        const int kind = program->segments[static_cast<std::size_t>(i)].lower.kind;
        if (kind == kElementLine && line < 0)
            line = i;
        if ((kind == kElementSwitch || kind == kElementNoMotion) && other < 0)
            other = i;
    }
    ASSERT_GE(line, 0);
    ASSERT_GE(other, 0);

    const std::size_t before = c->link.sent().size();
    const int result = runEntry("PlanPauseAction", "PlanPause", [&](QDialog& d) {
        auto& dialog = static_cast<PlanPauseDialog&>(d);
        struct Case { QString segment, percent, message; };
        const Case cases[] = {
            {"", "", "Please input the segment!"},
            {"", "50", "Please input the segment!"},
            {QString::number(line), "", "Please input the percent!"},
            {QString::number(count), "50", QStringLiteral("Should not bigger than the maximum : %1").arg(count - 1)},
            {"-1", "50", range(0, count - 1)},
            {QString::number(line), "0", range(1, 99)},
            {QString::number(line), "100", range(1, 99)},
            {QString::number(other), "50", QStringLiteral("The segment %1 is invalid! Please retry!").arg(other)},
        };
        for (const Case& k : cases) {
            dialog.segmentField()->setText(k.segment);
            dialog.percentField()->setText(k.percent);
            EXPECT_EQ(press(dialog.okButton()), std::vector<QString>{k.message}) << k.segment.toStdString() << "/"
                                                                                 << k.percent.toStdString();
        }
        EXPECT_EQ(sentSince(before), std::vector<std::string>{});
        dialog.segmentField()->setText(QString::number(line));
        dialog.percentField()->setText("1");
        press(dialog.okButton());
        ASSERT_EQ(d.result(), QDialog::Accepted);
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.planPause(); }), std::make_pair(int32_t(line), int32_t(1)));
    const GraphProgram& drawn = *c->frame.graphView()->scene().program;
    EXPECT_EQ(c->frame.graphView()->scene().planPausePoint, pointAlongSegment(drawn, line, 1));
    ASSERT_EQ(runEntry("PlanPauseAction", "PlanPause", [&](QDialog& d) {
                  auto& dialog = static_cast<PlanPauseDialog&>(d);
                  dialog.segmentField()->setText(QString::number(line));
                  dialog.percentField()->setText("99");
                  press(dialog.okButton());
              }),
              QDialog::Accepted);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.planPause(); }), std::make_pair(int32_t(line), int32_t(99)));
}

TEST_F(SettingDialogTest, TrackSwitchedToAutoFeedsFromTheSecondTableAfterBothQuestions) {
    FeedControl& feed = c->frame.statusPanel().feed();
    ASSERT_EQ(c->session.settings.trackMode, 0);
    feed.setFeed(50);
    ASSERT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
    c->pulseTable.group(3).feedValue = 20;

    // No at the second question: nothing sent, the dialog stays.
    const std::size_t before = c->link.sent().size();
    const int result = runEntry("TrackAction", "Track", [&](QDialog& d) {
        auto& dialog = static_cast<TrackDialog&>(d);
        EXPECT_TRUE(dialog.modeButton(0)->isChecked());
        dialog.modeButton(1)->setChecked(true);
        c->operatorUi.answers = {Answer::No};
        EXPECT_EQ(press(dialog.okButton()), std::vector<QString>{"The choice is different with last time, be careful!"});
        EXPECT_EQ(c->operatorUi.questions.back(), "Are you sure to modify it?");
        EXPECT_EQ(sentSince(before), std::vector<std::string>{});
        EXPECT_EQ(d.result(), -1);
        c->operatorUi.answers = {Answer::Yes};
        press(dialog.okButton());
    });
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(sentSince(before), std::vector<std::string>{"CMD_SET_TRACK"});
    EXPECT_EQ(cardBlock().trackMode, 1);
    EXPECT_EQ(c->session.settings.trackMode, 1);
    EXPECT_EQ(feed.trackingMode(), 1);
    EXPECT_EQ(c->pulseTable.group(3).feed, feedEntry(1, 20));
    ASSERT_TRUE(machine->worker().waitUntilIdle(kWaitMs));
    const FeedTableEntry second = feedEntry(1, 50);
    std::array<uint8_t, kFeedEntryBytes> bytes{};
    for (std::size_t k = 0; k < second.size(); ++k) {
        bytes[2 * k] = static_cast<uint8_t>(static_cast<uint16_t>(second[k]));
        bytes[2 * k + 1] = static_cast<uint8_t>(static_cast<uint16_t>(second[k]) >> 8);
    }
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.feedEntry(); }), bytes);
    EXPECT_EQ(onCard([](sim::CardEngine& e) { return e.feed(); }), 50);

    // A mode no button offers checks none, and OK refuses it.
    c->session.settings.trackMode = 2;
    const std::size_t later = c->link.sent().size();
    EXPECT_EQ(runEntry("TrackAction", "Track", [&](QDialog& d) {
                  auto& dialog = static_cast<TrackDialog&>(d);
                  EXPECT_FALSE(dialog.modeButton(0)->isChecked());
                  EXPECT_FALSE(dialog.modeButton(1)->isChecked());
                  EXPECT_EQ(press(dialog.okButton()), std::vector<QString>{range(0, 1)});
                  d.reject();
              }),
              QDialog::Rejected);
    EXPECT_EQ(sentSince(later), std::vector<std::string>{});
}

TEST_F(SettingDialogTest, EntriesCarryTheirKeysAndFollowTheWorkState) {
    struct Row { const char* name; Qt::Key key; bool enabledIdle; };
    const Row rows[] = {{"LoopAction", Qt::Key_L, true},      {"SpeedAction", Qt::Key_V, true},
                        {"BackwardAction", Qt::Key_C, true},  {"TrackAction", Qt::Key_G, true},
                        {"PlanPauseAction", Qt::Key_F, false}};
    QObject* menu = c->frame.findChild<QAction*>(QStringLiteral("LoopAction"))->associatedObjects().value(0);
    ASSERT_NE(menu, nullptr);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    for (const Row& r : rows) {
        QAction* a = c->frame.findChild<QAction*>(QLatin1String(r.name));
        ASSERT_NE(a, nullptr) << r.name;
        EXPECT_EQ(a->shortcut(), QKeySequence(Qt::CTRL | r.key)) << r.name;
        EXPECT_EQ(a->isEnabled(), r.enabledIdle) << r.name;
    }
}

TEST(PlanPausePoint, LiesThatFarAlongTheLineOrTheArc) {
    auto loaded = std::make_shared<LoadedProgram>();
    LoadOptions options;
    options.threads = 1;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText("N0 G92 X0.000 Y0.000;\nN1 G01 X10.000 Y0.000;\nN2 G03 X-10.000 Y10.000 I-10.000 J0.000;\n"
                              "N3 G02 X10.000 Y-10.000 I0.000 J-10.000;\nN4 M02;\n",
                              "arc.iso", options, *loaded, failure), 0) << failure.message;
    const GraphProgram program(loaded, 0);
    int line = -1, ccw = -1, cw = -1;
    for (int32_t i = 0; i < program.count(); ++i) {
        const int kind = program.segment(i).lower.kind;
        if (kind == kElementLine)
            line = i;
        else if (kind == kElementArcCcw)
            ccw = i;
        else if (kind == kElementArcCw)
            cw = i;
    }
    ASSERT_GE(line, 0);
    ASSERT_GE(ccw, 0);
    ASSERT_GE(cw, 0);
    EXPECT_EQ(pointAlongSegment(program, line, 25), (GraphPoint{2500, 0}));
    // A quarter turn about (0, 0) from (10, 0) to (0, 10): half-way is at 45 degrees.
    EXPECT_EQ(pointAlongSegment(program, ccw, 50), (GraphPoint{7071, 7071}));
    // Back clockwise about the same centre from (0, 10) to (10, 0).
    EXPECT_EQ(pointAlongSegment(program, cw, 50), (GraphPoint{7071, 7071}));
    EXPECT_EQ(pointAlongSegment(program, cw, 25), (GraphPoint{3827, 9239}));
    EXPECT_EQ(pointAlongSegment(program, program.count(), 50), std::nullopt);
}

TEST(StatusPaneClicks, ClicksUpToEachPanesRightEdgeOpenItsEntry) {
    // Loop pane 300..399, Max Speed ends at 549, Phase at 619.
    EXPECT_EQ(paneClickEntry(299, 300, 399, 549, 619), std::nullopt);
    EXPECT_EQ(paneClickEntry(300, 300, 399, 549, 619), ConfigEntry::Loop);
    EXPECT_EQ(paneClickEntry(399, 300, 399, 549, 619), ConfigEntry::Loop);
    EXPECT_EQ(paneClickEntry(400, 300, 399, 549, 619), ConfigEntry::Speed);
    EXPECT_EQ(paneClickEntry(549, 300, 399, 549, 619), ConfigEntry::Speed);
    EXPECT_EQ(paneClickEntry(550, 300, 399, 549, 619), ConfigEntry::Phase);
    EXPECT_EQ(paneClickEntry(619, 300, 399, 549, 619), ConfigEntry::Phase);
    EXPECT_EQ(paneClickEntry(620, 300, 399, 549, 619), std::nullopt);
}

TEST_F(SettingDialogTest, LeftClickOnTheLoopOrMaxSpeedPaneOpensItsDialog) {
    c->frame.resize(1400, 700);
    c->frame.show();
    auto click = [&](CMainFrame::Pane pane, Qt::MouseButton button) {
        QLabel* label = nullptr;
        for (QLabel* l : c->frame.statusBar()->findChildren<QLabel*>()) {
            if (l->text() == c->frame.paneText(pane))
                label = l;
        }
        EXPECT_NE(label, nullptr);
        if (label == nullptr)
            return;
        const QPointF at(label->width() / 2.0, label->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, label->mapToGlobal(at), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(label, &press);
        QCoreApplication::processEvents();
    };
    auto rejecting = [](QDialog& d) {
        d.reject();
        return d.result();
    };
    c->operatorUi.scripts[QStringLiteral("Loop")] = rejecting;
    c->operatorUi.scripts[QStringLiteral("Speed")] = rejecting;
    c->operatorUi.answers = {Answer::Ok};
    c->operatorUi.dialogsRun.clear();
    click(CMainFrame::kLoopPane, Qt::RightButton);
    EXPECT_EQ(c->operatorUi.dialogsRun, std::vector<QString>{});
    click(CMainFrame::kLoopPane, Qt::LeftButton);
    click(CMainFrame::kMaxSpeedPane, Qt::LeftButton);
    EXPECT_EQ(c->operatorUi.dialogsRun, (std::vector<QString>{"Loop", "Speed"}));
    c->frame.hide();
}

TEST(CardTraceEssentials, SettingsCommandsNameTheirValues) {
    uint8_t speeds[24] = {};
    for (int i = 0; i < 6; ++i)
        speeds[4 * i] = static_cast<uint8_t>(10 + i);
    EXPECT_EQ(sim::describeRequest(cmdcode::CMD_SET_SPEED_LIMITS, speeds, sizeof speeds),
              "\"speeds\":[10,11,12,13,14,15]");
    const uint8_t byte[] = {35};
    for (uint8_t type : {cmdcode::CMD_SET_BACK_DELAY, cmdcode::CMD_SET_BACK_STOP_TIME, cmdcode::CMD_SET_TRACK,
                         cmdcode::CMD_SET_LOOP})
        EXPECT_EQ(sim::describeRequest(type, byte, 1), "\"value\":35") << int(type);
    const uint8_t pause[] = {7, 0, 0, 0, 99, 0, 0, 0};
    EXPECT_EQ(sim::describeRequest(cmdcode::CMD_SET_PLAN_PAUSE, pause, 8), "\"segment\":7,\"percent\":99");
}

}  // namespace
}  // namespace korvex::testing
