// Leaving on a signal. SIGTERM, SIGINT and SIGHUP (power-off and logout through logind, a
// service manager's stop, Ctrl+C in a terminal) would otherwise end the controller without its
// exit steps: pulse-table changes lost, the card never told to keep its work, the port left as it
// was.
//
//   any thread: signal -> handler (async-signal-safe) -> one byte into a pipe
//   UI thread:  QSocketNotifier on the pipe -> leaveRequested(signal) once
//
// The program then leaves as its exit sequence does, without the questions. A further signal of
// the three while that runs ends the process at once, by that signal, so a card that no longer
// answers can never keep a shut-down waiting.
#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

namespace korvex {

class ExitSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per process, made on the UI thread after the
    // application object.
    explicit ExitSignals(QObject* parent = nullptr);
    // Restores the default handling. A signal that was ignored when the program started is left
    // ignored throughout.
    ~ExitSignals() override;
    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

    // False when the pipe could not be made; the signals then keep their default action.
    bool installed() const { return notifier_ != nullptr; }
    // The first signal that reached the event loop, 0 before.
    int received() const { return received_; }

signals:
    // Emitted once, on the UI thread, for the first signal.
    void leaveRequested(int signalNumber);

private:
    void drainPipe();

    QSocketNotifier* notifier_ = nullptr;
    QList<int> handled_;  // the signals whose handler is ours
    int received_ = 0;
};

}  // namespace korvex
