#include "controller/views/mini_status_window.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cstring>

#include "controller/machine_session.h"
#include "controller/views/graph_raster.h"
#include "controller/views/graph_view.h"

namespace korvex {

namespace {

constexpr QRgb kAlarmColor = colorRef(0x0000FF);
constexpr QRgb kNormalColor = colorRef(0x00FFFF);
constexpr double kTranslucentOpacity = 0.6;
// The status texts that want the operator: Backing..., manual Backing..., Paused, Finished,
// Back finished!, Break, Comm Error.
constexpr const char* kAlarmTextIds[] = {"61493", "61578", "61572", "61622", "61504", "61512", "61715"};

}  // namespace

MiniStatusWindow::MiniStatusWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("MiniStatus"));
    setWindowTitle(QStringLiteral("Korvex"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kWidthPx, kHeightPx);
    hide();
}

bool MiniStatusWindow::isAlarmText(const char* textId) {
    return std::any_of(std::begin(kAlarmTextIds), std::end(kAlarmTextIds),
                       [textId](const char* id) { return textId && std::strcmp(id, textId) == 0; });
}

void MiniStatusWindow::setMachineName(const QString& name) {
    machineName_ = name;
    update();
}

void MiniStatusWindow::setStatus(const char* textId) {
    status_ = textId ? qtTrId(textId) : QString();
    red_ = isAlarmText(textId);
    update();
}

void MiniStatusWindow::setProgress(int64_t done, int64_t total) {
    done_ = std::max<int64_t>(done, 0);
    total_ = std::max<int64_t>(total, 0);
    update();
}

void MiniStatusWindow::setSpeed(int stepsPerSecond) {
    speed_ = stepsPerSecond;
    update();
}

void MiniStatusWindow::setSegments(int32_t current, int32_t last) {
    current_ = current;
    last_ = last;
    update();
}

QString MiniStatusWindow::headline() const { return QString::asprintf("%s-%s", qPrintable(machineName_), qPrintable(status_)); }

int MiniStatusWindow::progressPercent() const {
    return total_ > 0 ? static_cast<int>(std::min<int64_t>(done_, total_) * 100 / total_) : 0;
}

QString MiniStatusWindow::speedText() const { return QString::asprintf("%d/s", speed_); }

QString MiniStatusWindow::segmentText() const { return QString::asprintf("%d/%d", current_, last_); }

void MiniStatusWindow::setTransparent(bool on) {
    transparent_ = on;
    setWindowOpacity(on ? kTranslucentOpacity : 1.0);
}

void MiniStatusWindow::followWindow(QWidget* window) {
    if (followed_)
        followed_->removeEventFilter(this);
    followed_ = window;
    if (window)
        window->installEventFilter(this);
}

bool MiniStatusWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == followed_ && event->type() == QEvent::WindowStateChange) {
        if (followed_->isMinimized())
            show();
        else
            hide();
    }
    return QWidget::eventFilter(watched, event);
}

void MiniStatusWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // Our own background: a dark steel gradient with a light rim.
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(40, 48, 64));
    shade.setColorAt(1, QColor(12, 14, 20));
    p.fillRect(rect(), shade);
    p.setPen(QColor(110, 120, 140));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    QFont font(QStringLiteral("System"));
    font.setStyleHint(QFont::System);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(QColor::fromRgb(red_ ? kAlarmColor : kNormalColor));
    p.drawText(QRect(8, 4, width() - 16, 20), Qt::AlignLeft | Qt::AlignVCenter, headline());

    const QRect bar(8, 28, width() - 16, 14);
    p.fillRect(bar, QColor(0, 0, 0));
    p.fillRect(QRect(bar.left(), bar.top(), bar.width() * progressPercent() / 100, bar.height()), QColor(0, 170, 60));
    p.setPen(QColor(110, 120, 140));
    p.drawRect(bar.adjusted(0, 0, -1, -1));

    p.setPen(QColor::fromRgb(kNormalColor));
    p.drawText(QRect(8, 46, width() / 2 - 8, 20), Qt::AlignLeft | Qt::AlignVCenter, speedText());
    p.drawText(QRect(width() / 2, 46, width() / 2 - 8, 20), Qt::AlignRight | Qt::AlignVCenter, segmentText());
}

void MiniStatusWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* transparent = menu.addAction(qtTrId("mini.transparent"));
    transparent->setCheckable(true);
    transparent->setChecked(transparent_);
    connect(transparent, &QAction::toggled, this, &MiniStatusWindow::setTransparent);
    QAction* hideAction = menu.addAction(qtTrId("mini.hide"));
    connect(hideAction, &QAction::triggered, this, &QWidget::hide);
    menu.exec(event->globalPos());
}

MiniStatusWindow* createMiniStatusWindow(QWidget& mainWindow, CGraphView& graph, const MachineSession& session) {
    auto* mini = new MiniStatusWindow();
    mini->setMachineName(session.machineName);
    mini->followWindow(&mainWindow);
    QObject::connect(&graph, &CGraphView::progressChanged, mini, [mini, &graph, &session](const GraphProgress& p) {
        mini->setMachineName(session.machineName);
        mini->setProgress(p.doneSteps, p.totalSteps);
        mini->setSpeed(p.speed);
        mini->setSegments(p.current, graph.scene().range.last);
    });
    return mini;
}

}  // namespace korvex
