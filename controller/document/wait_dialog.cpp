#include "controller/document/wait_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/operator_interaction.h"

namespace korvex {

// Card-style dialogs step their bar through 0..9 while they wait.
static constexpr int kCardBarSteps = 10;

struct CWaitDialog::Shared {
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    CWaitDialog* dialog = nullptr;  // cleared by the dialog's destructor, under `mutex`
    std::thread thread;

    // Queues `call` on the dialog's thread unless the dialog is gone.
    template <class F>
    void post(F call) {
        std::lock_guard lock(mutex);
        if (dialog) QMetaObject::invokeMethod(dialog, std::move(call), Qt::QueuedConnection);
    }
    void signalDone() {
        std::lock_guard lock(mutex);
        done = true;
        doneChanged.notify_all();
    }
    void waitDone() {
        std::unique_lock lock(mutex);
        doneChanged.wait(lock, [this] { return done; });
    }
    // Joins a worker that has ended; lets one that has not run on alone (it owns `this`).
    void release() {
        if (!thread.joinable()) return;
        bool ended;
        {
            std::lock_guard lock(mutex);
            ended = done;
        }
        if (ended)
            thread.join();
        else
            thread.detach();
    }
};

class CWaitDialog::Context : public WaitContext {
public:
    explicit Context(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    bool cancelled() const override { return shared_->cancel.load(std::memory_order_relaxed); }
    const std::atomic<bool>& cancelFlag() const override { return shared_->cancel; }
    void setProgress(int percent) override {
        // The loader may report from more than one of its threads.
        if (last_.exchange(percent, std::memory_order_relaxed) == percent) return;
        shared_->post([d = shared_.get(), percent] {
            if (d->dialog) d->dialog->onProgress(percent);
        });
    }

private:
    std::shared_ptr<Shared> shared_;
    std::atomic<int> last_{-1};
};

CWaitDialog::CWaitDialog(Style style, QString threadErrorText, OperatorInteraction* operatorUi,
                         QWidget* parent)
    : QDialog(parent),
      style_(style),
      threadErrorText_(std::move(threadErrorText)),
      operatorUi_(operatorUi),
      shared_(std::make_shared<Shared>()),
      text_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      blink_(new QTimer(this)),
      cancelWait_(new QTimer(this)) {
    setObjectName(style == Style::Reading ? QStringLiteral("OpendocDialog")
                                          : QStringLiteral("LoadModelDialog"));
    setModal(true);
    setWindowTitle(QStringLiteral("Korvex"));
    blinkText_ = qtTrId("61541");
    text_->setText(blinkText_);
    text_->setMinimumWidth(260);
    // A reading dialog shows a busy bar until the worker reports its first percent: reading and
    // translating a huge file comes before the per-line progress.
    bar_->setRange(0, style == Style::Reading ? 0 : kCardBarSteps);
    bar_->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    if (style == Style::Reading) {
        cancelButton_ = new QPushButton(qtTrId("doc.cancel"), this);
        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(cancelButton_);
        layout->addLayout(row);
        connect(cancelButton_, &QPushButton::clicked, this, &CWaitDialog::cancel);
    } else {
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    }
    blink_->setInterval(kBlinkPeriodMs);
    connect(blink_, &QTimer::timeout, this, &CWaitDialog::onBlink);
    cancelWait_->setSingleShot(true);
    cancelWait_->setInterval(kCancelWaitMs);
    connect(cancelWait_, &QTimer::timeout, this, &CWaitDialog::onCancelTimeout);
    shared_->dialog = this;
}

CWaitDialog::~CWaitDialog() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->dialog = nullptr;
    }
    shared_->release();
}

void CWaitDialog::setBlinkText(const QString& text) {
    blinkText_ = text;
    text_->setText(text);
}

void CWaitDialog::setCancelWaitMs(int ms) { cancelWait_->setInterval(ms); }

bool CWaitDialog::workerEnded() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->done;
}

void CWaitDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        // Queued so the dialog is on screen before the work begins.
        QMetaObject::invokeMethod(this, &CWaitDialog::startWorker, Qt::QueuedConnection);
    }
}

void CWaitDialog::startWorker() {
    if (closing_) return;
    shared_->cancel.store(false);
    blink_->start();
    try {
        shared_->thread = std::thread([shared = shared_, work = work_] {
            int result = -1;
            try {
                Context context(shared);
                result = work ? work(context) : -1;
            } catch (...) {
                result = -1;
            }
            shared->post([d = shared.get(), result] {
                if (d->dialog) d->dialog->onFinished(result);
            });
            shared->signalDone();
        });
    } catch (const std::system_error&) {
        blink_->stop();
        {
            std::lock_guard lock(shared_->mutex);
            shared_->done = true;  // there is no worker to wait for
        }
        if (operatorUi_)
            operatorUi_->message(windowTitle(), threadErrorText_,
                                 style_ == Style::Reading ? OperatorInteraction::Icon::Critical
                                                          : OperatorInteraction::Icon::Warning);
        // The reading dialog stays open until cancelled; the card dialog has no Cancel, so it
        // closes at once as a failed send rather than hang the window.
        if (style_ == Style::Card) {
            result_ = -1;
            finish(QDialog::Rejected);
        }
        return;
    }
    emit workerStarted();
}

void CWaitDialog::onProgress(int percent) {
    if (style_ != Style::Reading || closing_) return;
    if (bar_->maximum() == 0) bar_->setRange(0, 100);
    bar_->setValue(percent);
}

void CWaitDialog::onBlink() {
    blinkOn_ = !blinkOn_;
    text_->setText(blinkOn_ ? blinkText_ : QString());
    if (style_ == Style::Card) bar_->setValue((bar_->value() + 1) % kCardBarSteps);
}

void CWaitDialog::onFinished(int result) {
    if (closing_) return;
    blink_->stop();
    cancelWait_->stop();
    shared_->waitDone();  // the result is posted just before done: this wait is momentary
    shared_->release();
    result_ = cancelled_ ? -1 : result;
    finish(cancelled_ || result < 0 ? QDialog::Rejected : QDialog::Accepted);
}

void CWaitDialog::cancel() {
    if (closing_ || cancelled_ || style_ != Style::Reading) return;
    cancelled_ = true;
    shared_->cancel.store(true);
    blink_->stop();
    cancelButton_->setEnabled(false);
    if (!shared_->thread.joinable()) {  // no worker runs
        result_ = -1;
        finish(QDialog::Rejected);
        return;
    }
    // The worker stops at its next look at the flag and reports; the UI thread never blocks on
    // it. One that does not report in time is left to finish alone.
    cancelWait_->start();
}

void CWaitDialog::onCancelTimeout() {
    if (closing_) return;
    shared_->release();
    result_ = -1;
    finish(QDialog::Rejected);
}

void CWaitDialog::finish(int code) {
    closing_ = true;
    done(code);
}

void CWaitDialog::reject() {
    // Escape: a reading dialog cancels; a card dialog waits for the card.
    if (!closing_) cancel();
}

void CWaitDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    cancel();
}

}  // namespace korvex
