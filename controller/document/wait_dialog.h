// The modal wait dialog behind which a worker thread reads a program or talks to the card.
//
//   UI thread                              worker thread
//   ---------                              -------------
//   exec() -> showEvent: clear cancel,
//             start worker  ------------>  work(context): polls context.cancelled()
//   timer (300 ms): blink text             context.setProgress(p) --post--> progress bar
//                                          returns result --post--> finished(result)
//                                          signals done (every exit path, even a throw)
//   finished: stop timer, wait for done,
//             close OK (result >= 0) or Cancel (result < 0)
//   Cancel:   set cancel flag, stop timer; close Cancel when the worker reports, or after
//             kCancelWaitMs without waiting any longer (the UI thread never blocks on it)
//
// The worker never touches a widget and never shows a message: what it has to say travels in
// its own result, which the caller reads after the dialog closed. Everything the worker uses is
// owned by a shared state that the worker holds too, so a worker that outlives the dialog
// (it did not stop within kCancelWaitMs) frees nothing that is still in use.
#pragma once

#include <QDialog>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace korvex {

class OperatorInteraction;

// What the worker sees of its dialog. Safe to use from the worker thread only.
class WaitContext {
public:
    virtual ~WaitContext() = default;
    virtual bool cancelled() const = 0;
    virtual const std::atomic<bool>& cancelFlag() const = 0;
    // Percent 0..100; only changes are posted to the dialog.
    virtual void setProgress(int percent) = 0;
};

class CWaitDialog : public QDialog {
    Q_OBJECT
public:
    enum class Style {
        Reading,  // progress 0..100 set by the worker, Cancel button
        Card,     // no Cancel; the bar steps 0..9 on each blink while the card answers
    };
    using Work = std::function<int(WaitContext&)>;

    // `threadErrorText` is shown when the worker cannot be started; the dialog then stays open
    // until it is cancelled.
    CWaitDialog(Style style, QString threadErrorText, OperatorInteraction* operatorUi,
                QWidget* parent = nullptr);
    ~CWaitDialog() override;

    void setWork(Work work) { work_ = std::move(work); }
    // The text that blinks while the worker runs (the reading text unless set).
    void setBlinkText(const QString& text);
    // The worker's result once the dialog closed with OK; meaningless after a cancel.
    int result() const { return result_; }
    // True when the worker had ended before the dialog closed.
    bool workerEnded() const;
    // True when the dialog was closed by Cancel (the worker's result does not count).
    bool cancelledByOperator() const { return cancelled_; }

    static constexpr int kBlinkPeriodMs = 300;
    // A cancelled dialog closes when its worker has stopped, or after this long at most: some
    // steps of a huge load look at the flag only between passes, and the operator must not wait
    // for them. A worker still running then finishes alone on its own state.
    static constexpr int kCancelWaitMs = 250;
    // How long a cancelled dialog waits for its worker to report (tests shorten it).
    void setCancelWaitMs(int ms);

public slots:
    // The Cancel button, Escape and the close box of the reading dialog.
    void cancel();
    // Escape: a reading dialog cancels; a card dialog waits for the card.
    void reject() override;

signals:
    // Emitted on the UI thread right after the worker was started.
    void workerStarted();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Shared;
    class Context;
    void startWorker();
    void onProgress(int percent);
    void onFinished(int result);
    void onBlink();
    void onCancelTimeout();
    void finish(int code);

    Style style_;
    QString threadErrorText_;
    QString blinkText_;
    OperatorInteraction* operatorUi_;
    Work work_;
    std::shared_ptr<Shared> shared_;
    bool started_ = false;
    bool closing_ = false;
    bool cancelled_ = false;
    bool blinkOn_ = true;
    int result_ = -1;
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancelButton_ = nullptr;
    QTimer* blink_;
    QTimer* cancelWait_;
};

}  // namespace korvex
