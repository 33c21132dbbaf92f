// One run of the controller's objects with the scripted operator, as the recovery tests drive it:
// start-up with the recovery, a program opened and cut, a restored work continued. Shared by the
// in-process soak (card in the same process) and the soak driver (card in its own process), so
// both press the same buttons and answer the same dialogs. No test framework here.
#pragma once

#include "controller/machine_control.h"
#include "controller/document/wait_dialog.h"
#include "controller/link/commands.h"
#include "controller/tests/controller_fixture.h"
#include "controller/tests/soak_programs.h"
#include "controller/work_recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvex::testing {

inline constexpr int kWaitMs = 20000;  // generous: only a stuck worker or link takes this long

template <class F>
inline bool processUntil(F done, int waitMs = kWaitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The controller's objects for one run, the operator answering as the recovery tests expect:
// the port dialog with the card's device, Tips and the range dialog with OK (the whole program).
struct ControllerRun {
    ControllerRun() { frame.setQuitHandler([this](int status) { quitStatuses.push_back(status); }); }
    ~ControllerRun() {
        machine.reset();  // before the window it writes to
    }
    void script(const QString& device) {
        operatorUi.scripts[QStringLiteral("CommConfig")] = pressOkWith(device);
        operatorUi.scripts[QStringLiteral("Tips")] = [](QDialog& d) {
            d.accept();
            return d.result();
        };
        operatorUi.scripts[QStringLiteral("SegmentRange")] = [](QDialog& d) {
            d.accept();  // the whole program
            return d.result();
        };
    }
    bool start(const QString& programPath = {}) {
        StartupOptions options;
        options.showMaximized = false;
        options.programPath = programPath;
        Startup startup(session, link, operatorUi, events, pulseTable, recovery, document);
        startup.preworkStarted = preworkStarted;
        if (!startup.run(frame, options))
            return false;
        machine.emplace(session, link.link(), operatorUi, events, pulseTable, &frame);
        frame.attachMachineControl(*machine);
        // The segment reports as the code list gets them.
        QObject::connect(&events, &CardEventRouter::segmentReached, &frame, [this](int segment) {
            reported.push_back(segment);
            if (onReport)
                onReport(segment);
        });
        return true;
    }
    MachiningOperations& ops() { return machine->operations(); }
    bool asked(const QString& text) const {
        for (const QString& q : operatorUi.questions)
            if (q == text)
                return true;
        return false;
    }
    bool shown(const QString& text) const {
        for (const auto& m : operatorUi.messages)
            if (m.text == text)
                return true;
        return false;
    }
    // What the operator saw, for a failure's message.
    std::string describeOperator() const {
        std::string out = "record: " + recovery.mismatchReason() + "; messages:";
        for (const auto& m : operatorUi.messages)
            out += " [" + m.text.toStdString() + "]";
        out += "; questions:";
        for (const QString& q : operatorUi.questions)
            out += " [" + q.toStdString() + "]";
        return out;
    }

    // Opens `dir`/program (copied there from the examples at first), sets its loops, reverse and
    // Ignore D, and presses Cut with every question answered Yes. Returns what went wrong, if
    // anything.
    std::string beginCut(const SoakProgram& k, const QString& dir, const QString& examplesDir) {
        const QString program = QDir(dir).filePath(QString::fromLatin1(k.file));
        if (!QFileInfo::exists(program) && !QFile::copy(QDir(examplesDir).filePath(QString::fromLatin1(k.file)), program))
            return "cannot copy " + program.toStdString();
        if (frame.openRequest(program) != OpenOutcome::Opened)
            return "not opened: " + describeOperator();
        document.waitForWorkingCopy();
        if (CMD_SET_LOOP(link.link(), k.loops) != 0)
            return "CMD_SET_LOOP refused";
        if (k.reverse)
            ops().toggleReverse();
        if (k.ignorePause)
            ops().toggleIgnorePause();
        if (!processUntil([&] { return ops().reverse() == k.reverse && ops().ignorePause() == k.ignorePause; }))
            return "reverse or Ignore D not set";
        pressCut();
        return {};
    }
    // Cut, every question answered Yes: starts a new work or continues a restored one.
    void pressCut() {
        reported.clear();
        operatorUi.defaultAnswer = OperatorInteraction::Answer::Yes;
        ops().press(Operation::Cut);
    }

    CardEventRouter events;
    RecordingCard link{fastLinkOptions()};
    ScriptedOperator operatorUi;
    MachineSession session;
    PulseTable pulseTable;
    WorkRecovery recovery;
    CDCSDoc document;
    CMainFrame frame{session, link, operatorUi, events, pulseTable, document};
    std::optional<MachineControl> machine;
    std::function<void(CWaitDialog&)> preworkStarted;
    std::function<void(int segment)> onReport;
    std::vector<int> quitStatuses;
    std::vector<int> reported;  // the segments the card reported reaching, in order
};

}  // namespace korvex::testing
