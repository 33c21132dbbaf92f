#include "controller/notify/auto_shutdown.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>

#include "controller/machine_session.h"
#include "controller/settings_keys.h"
#include "platform/operator_interaction.h"

namespace korvex {

CShutdownCountdownDialog::CShutdownCountdownDialog(const QString& firstLine, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(qtTrId("notify.wait_title"));
    auto* layout = new QVBoxLayout(this);
    auto* first = new QLabel(firstLine, this);
    first->setObjectName(QStringLiteral("firstLine"));
    first->setAlignment(Qt::AlignCenter);
    layout->addWidget(first);
    count_ = new QLabel(countText(), this);
    count_->setObjectName(QStringLiteral("count"));
    count_->setAlignment(Qt::AlignCenter);
    layout->addWidget(count_);
    layout->setContentsMargins(kMarginPx, kMarginPx, kMarginPx, kMarginPx);
    setMinimumWidth(kMinimumWidthPx);
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CShutdownCountdownDialog::tick);
    timer_.start();
}

QString CShutdownCountdownDialog::countText() const {
    return QStringLiteral("%1 %2").arg(remaining_).arg(qtTrId("notify.shutdown_seconds"));
}

void CShutdownCountdownDialog::tick() {
    --remaining_;
    count_->setText(countText());
    if (remaining_ <= 0) {
        timer_.stop();
        accept();
    }
}

void CShutdownCountdownDialog::reject() {}

void CShutdownCountdownDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

AutoShutdown::AutoShutdown(MachineSession& session, OperatorInteraction& operatorUi, Steps steps,
                           QWidget* dialogParent)
    : session_(session), operatorUi_(operatorUi), steps_(std::move(steps)), dialogParent_(dialogParent) {}

void AutoShutdown::waitUntil(const std::function<bool()>& done, int ms) {
    if (done())
        return;
    const QDeadlineTimer deadline(ms);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kWaitPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start();
    loop.exec();
}

bool AutoShutdown::run(int kind) {
    if (kind != kFinishAfterPause && kind != kFinishAfterEnd)
        return false;
    const IntKey& key = kind == kFinishAfterEnd ? keys::kAutoShutEnd : keys::kAutoShutPause;
    SettingsFile card = session_.cardSettings();
    const int armed = readKey(card, key);
    writeKey(card, key, 0);
    if (armed != 1)
        return false;

    auto motorDone = std::make_shared<bool>(false);
    if (steps_.motorOff)
        steps_.motorOff([motorDone] { *motorDone = true; });
    else
        *motorDone = true;
    // Nothing of this work may be lost with the power: the pulse table first, then the notices.
    if (steps_.writePulseTable)
        steps_.writePulseTable();
    waitUntil([&] { return *motorDone && !(steps_.noticesPending && steps_.noticesPending()); }, kNoticeWaitMs);

    CShutdownCountdownDialog countdown(qtTrId(kind == kFinishAfterEnd ? "61502" : "61572"), dialogParent_);
    operatorUi_.exec(countdown, countdown.objectName());
    if (steps_.powerOff)
        steps_.powerOff();
    return true;
}

}  // namespace korvex
