// Writes the screenshots the documentation shows: the main window (the whole controller against
// the virtual card, examples/two-holes.iso loaded, at 1280x800), the window during a cut of
// examples/square.3b with its panels filled, the segment-range and Statistics dialogs, the
// Multiple and Segment Multiple dialogs with a punch's values, or the Mult-Table (a three-pass
// table), Mult-Test and Clearence dialogs, the About box, the window with its Control menu
// open, the Adjust dialog, or a set-up dialog (Phase, Direction, Stop-Machine, Option, shown
// with a servo X/Y and a micro-step U/V).
//   korvex_screenshot OUT.png [en|zh]
//       [window|cut|range|statistics|multiple|segment|multtable|multtest|clearance|about|menu|adjust|
//        phase|direction|stopmachine|option]
#include "controller/about_dialog.h"
#include "controller/action_table.h"
#include "controller/adjust/adjust_dialog.h"
#include "controller/config/mult_table_dialog.h"
#include "controller/config/direction_dialog.h"
#include "controller/config/setup_dialogs.h"
#include "controller/config/small_dialogs.h"
#include "controller/edit/multipass_dialogs.h"
#include "controller/machine_control.h"
#include "controller/segment_range_dialog.h"
#include "controller/views/statistics_dialog.h"
#include "controller/views/status_view.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/graph_view.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <QDoubleSpinBox>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

int main(int argc, char** argv) {
    using namespace korvex;
    using namespace korvex::testing;
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvex_screenshot OUT.png [en|zh] "
                             "[window|cut|range|statistics|multiple|segment|multtable|multtest|clearance|about|menu|"
                             "adjust|phase|direction|stopmachine|option]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ensureApplication();
    if (argc > 2 && QByteArray(argv[2]) == "zh")
        installTranslations(Language::Chinese);
    const QByteArray what = argc > 3 ? QByteArray(argv[3]) : QByteArray("window");
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (what == "multiple") {
        MultipassSettings punch;
        punch.mode = 1;
        punch.len = 2.0;
        CMultipleDialog dialog(punch, {});
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "segment") {
        SegmentMultipleSettings lead;
        lead.len = 2.0;
        CSegmentMultipleDialog dialog(lead, {});
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "multtable") {
        ScratchDataDir scratch;
        PulseTable table;
        const int widths[] = {40, 30, 20, 12, 8, 6, 4, 2};
        for (int i = 0; i < PulseTable::kGroupCount; ++i) {
            PulseGroup& g = table.group(i);
            g.pulseWidthUs = widths[i];
            g.pulseIntervalUs = widths[i] * (6 - i / 2);
            g.groupingHigh = static_cast<uint8_t>(10 + i);
            g.current = static_cast<uint8_t>(7 - i);
            g.wireSpeed = static_cast<uint8_t>(i < 2 ? 3 : 1);
            g.feedValue = static_cast<uint8_t>(60 + 20 * i);
        }
        table.group(7).pulseWidthUs = 0;
        table.group(7).pulseIntervalUs = 0;
        ScriptedOperator operatorUi;
        MultTableContext context;
        context.table = &table;
        context.parameterDir = scratch.path();
        context.cardSettingsPath = scratch.path() + QStringLiteral("/card.ini");
        context.operatorUi = &operatorUi;
        context.currentGroup = 2;
        MultTableDialog dialog(std::move(context));
        dialog.show();
        QCoreApplication::processEvents();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "multtest" || what == "clearance") {
        PulseTable table;
        SettingsBlock settings;
        settings.clearanceSeconds = 3;
        std::unique_ptr<QDialog> dialog;
        if (what == "multtest")
            dialog = std::make_unique<MultTestDialog>(table, CardAccess{});
        else
            dialog = std::make_unique<ClearanceDialog>(settings, CardAccess{});
        dialog->show();
        QCoreApplication::processEvents();
        return dialog->grab().save(out) ? 0 : 1;
    }
    if (what == "adjust") {
        AdjustDialog dialog{AdjustMachine{}};
        dialog.directionButton(2)->click();
        dialog.show();
        QCoreApplication::processEvents();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "phase" || what == "direction" || what == "stopmachine" || what == "option") {
        // The set-up dialogs with a machine's values; no card is needed to show them.
        SettingsBlock settings;
        settings.phase = {kDriveServo, 5, 2, 1, 0, 0, 0, 0, kDriveMicroStep, 7, 3, 0};
        settings.rollGapMicroseconds = 0;
        settings.axisInvert = {0, 1, 0, 0};
        std::unique_ptr<QDialog> dialog;
        if (what == "phase")
            dialog = std::make_unique<PhaseDialog>(settings, CardAccess{}, MotorStep{}, nullptr);
        else if (what == "direction")
            dialog = std::make_unique<DirectionDialog>(settings, CardAccess{}, MotorStep{});
        else if (what == "stopmachine")
            dialog = std::make_unique<StopMachineDialog>(CardAccess{}, false, nullptr);
        else
            dialog = std::make_unique<OptionDialog>(OptionValues{QStringLiteral("Line-3"), QStringLiteral("/opt/cam/"),
                                                                 QStringLiteral("cam"), false, true},
                                                    CardAccess{}, nullptr, nullptr);
        dialog->show();
        QCoreApplication::processEvents();
        return dialog->grab().save(out) ? 0 : 1;
    }
    if (what == "range") {
        ScriptedOperator op;
        CSegmentRangeDialog dialog(240, false, op, QStringLiteral("Noname-COM3"));
        dialog.setStart(12);
        dialog.setEnd(180);
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "about") {
        CAboutDialog dialog(sim::kDefaultCardId, QStringLiteral("COM3"));
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    if (what == "statistics") {
        CStatisticsDialog dialog(126.284, 2 * 3600 + 14 * 60 + 9);
        dialog.heightField()->setValue(40);
        dialog.currentField()->setValue(3.5);
        dialog.calculate();
        dialog.adjustSize();
        return dialog.grab().save(out) ? 0 : 1;
    }
    ScratchDataDir data;
    constexpr double kFastCard = 20.0;  // a cut far enough along to fill the panels in a moment
    ControllerParts c(sim::kDefaultCardId, what == "cut" ? kFastCard : 1.0);
    if (!c.start())
        return 1;
    c.frame.resize(1280, 800);
    // The cut runs the square (no pause segment on the way); the window shows the two holes.
    const QString program = what == "cut" ? QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b")
                                          : QStringLiteral(KORVEX_EXAMPLES_DIR "/two-holes.iso");
    if (c.frame.openRequest(program) != OpenOutcome::Opened)
        return 1;
    // The picture is drawn beside the window's thread.
    while (!c.frame.graphView()->pictureCurrent()) {
        QEventLoop wait;
        QObject::connect(c.frame.graphView(), &CGraphView::pictureUpdated, &wait, &QEventLoop::quit);
        QTimer::singleShot(200, &wait, &QEventLoop::quit);
        wait.exec();
    }
    QCoreApplication::processEvents();
    if (what == "menu") {
        // The Control menu as it drops from the menu bar, drawn over the window.
        std::optional<MachineControl> machine;
        machine.emplace(c.session, c.link.link(), c.operatorUi, c.events, c.pulseTable, &c.frame);
        c.frame.attachMachineControl(*machine);
        const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < settle)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QMenu* menu = c.frame.actionTable().menu(MenuId::Control);
        const QRect title = c.frame.menuBar()->actionGeometry(menu->menuAction());
        c.frame.show();
        menu->popup(c.frame.menuBar()->mapToGlobal(title.bottomLeft()));
        menu->setActiveAction(c.frame.actionTable().action(Command::Cut));
        QCoreApplication::processEvents();
        QPixmap shot = c.frame.grab();
        QPainter painter(&shot);
        painter.drawPixmap(c.frame.menuBar()->mapTo(&c.frame, title.bottomLeft()), menu->grab());
        painter.end();
        menu->hide();
        machine->worker().stop();
        machine.reset();
        return shot.save(out) ? 0 : 1;
    }
    if (what != "cut")
        return c.frame.grab().save(out) ? 0 : 1;

    // A cut over the whole program, shown once the card is some way into it.
    std::optional<MachineControl> machine;
    machine.emplace(c.session, c.link.link(), c.operatorUi, c.events, c.pulseTable, &c.frame);
    c.frame.attachMachineControl(*machine);
    c.operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
        d.accept();
        return d.result();
    };
    machine->operations().press(Operation::Cut);
    // Shown on the square's far side: positions, progress and speed are under way.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until &&
           c.frame.statusView()->fieldText("currentSegment").trimmed().toInt() < 4)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (std::chrono::steady_clock::now() < settle)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const bool saved = c.frame.grab().save(out);
    machine->worker().stop();
    machine.reset();
    return saved ? 0 : 1;
}
