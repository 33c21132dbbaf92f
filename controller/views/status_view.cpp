#include "controller/views/status_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include "controller/machining/status_panel.h"

namespace korvex {
namespace {

constexpr int kProgressMax = 100;
// Efficiency in mm2/h from a speed in micrometres per second and a thickness in millimetres.
constexpr double kEfficiencyFactor = 3.6;
constexpr int kMeterGapPx = 2;

}  // namespace

CLevelMeter::CLevelMeter(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LevelMeter"));
    setMinimumSize(sizeHint());
}

void CLevelMeter::setLevel(int32_t level) {
    if (level == level_)
        return;
    level_ = level;
    update();  // only the meter is drawn again, never the whole panel
}

void CLevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const LevelMeter m = levelMeter(level_);
    const int cell = std::max(1, (width() - kMeterGapPx * (kLevelMeterSegments - 1)) / kLevelMeterSegments);
    for (int i = 0; i < kLevelMeterSegments; ++i) {
        const QRect r(i * (cell + kMeterGapPx), 0, cell, height() - 1);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.setBrush(QColor(0x20, 0x20, 0x20));
        p.drawRect(r);
        // Green through the normal range, yellow and red for the strong levels.
        const QColor lit = i < 7 ? QColor(0x20, 0xC0, 0x20) : i < 9 ? QColor(0xE0, 0xC0, 0x20) : QColor(0xE0, 0x30, 0x30);
        if (i < m.full) {
            p.fillRect(r.adjusted(1, 1, 0, 0), lit);
        } else if (i == m.full && m.part > 0) {
            // The part of the next segment, in fifths of it.
            const int w = std::min(cell, cell * m.part / 5);
            p.fillRect(QRect(r.left() + 1, r.top() + 1, w, r.height() - 1), lit);
        }
    }
}

QLabel* CStatusView::addField(QGridLayout* grid, int row, int column, const char* textId, const char* name) {
    grid->addWidget(new QLabel(qtTrId(textId), this), row, column);
    auto* value = new QLabel(this);
    value->setObjectName(QLatin1String(name));
    value->setMinimumWidth(70);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(value, row, column + 1);
    return value;
}

CStatusView::CStatusView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusView"));
    auto* layout = new QHBoxLayout(this);

    auto* position = new QGroupBox(qtTrId("status.current_position"), this);
    auto* positionGrid = new QGridLayout(position);
    addField(positionGrid, 0, 0, "status.below_x", "x");
    addField(positionGrid, 1, 0, "status.below_y", "y");
    addField(positionGrid, 0, 2, "status.upper_u", "u");
    addField(positionGrid, 1, 2, "status.upper_v", "v");
    layout->addWidget(position);

    auto* progress = new QGroupBox(qtTrId("status.wedm_progress"), this);
    auto* progressGrid = new QGridLayout(progress);
    addField(progressGrid, 0, 0, "status.over_steps", "overSteps");
    addField(progressGrid, 1, 0, "status.total_steps", "totalSteps");
    addField(progressGrid, 0, 2, "status.start_segment", "startSegment");
    addField(progressGrid, 1, 2, "status.current_segment", "currentSegment");
    addField(progressGrid, 0, 4, "status.end_segment", "endSegment");
    addField(progressGrid, 1, 4, "status.total_segment", "totalSegments");
    layout->addWidget(progress);

    auto* bar = new QGroupBox(qtTrId("status.progress"), this);
    auto* barLayout = new QVBoxLayout(bar);
    progressBar_ = new QProgressBar(bar);
    progressBar_->setTextVisible(false);
    progressText_ = new QLabel(bar);
    progressText_->setAlignment(Qt::AlignCenter);
    barLayout->addWidget(progressBar_);
    barLayout->addWidget(progressText_);
    layout->addWidget(bar);

    auto* work = new QGroupBox(this);
    auto* workGrid = new QGridLayout(work);
    workGrid->addWidget(new QLabel(qtTrId("status.efficiency"), work), 0, 0);
    efficiency_ = new QPushButton(work);
    efficiency_->setObjectName(QStringLiteral("efficiency"));
    efficiency_->setFocusPolicy(Qt::NoFocus);
    connect(efficiency_, &QPushButton::clicked, this, &CStatusView::efficiencyPressed);
    workGrid->addWidget(efficiency_, 0, 1, 1, 3);
    workGrid->addWidget(new QLabel(qtTrId("status.cur_speed"), work), 1, 0);
    speed_ = new QLabel(work);
    speed_->setObjectName(QStringLiteral("speed"));
    workGrid->addWidget(speed_, 1, 1);
    level_ = new CLevelMeter(work);
    workGrid->addWidget(level_, 1, 2, 1, 2);
    workGrid->addWidget(new QLabel(qtTrId("status.speed_adjust"), work), 2, 0);
    down_ = new QPushButton(QStringLiteral("-"), work);
    up_ = new QPushButton(QStringLiteral("+"), work);
    for (QPushButton* b : {down_, up_}) {
        b->setFixedWidth(24);
        b->setFocusPolicy(Qt::NoFocus);  // the function keys stay with the window
    }
    slider_ = new QSlider(Qt::Horizontal, work);
    slider_->setObjectName(QStringLiteral("feed"));
    slider_->setRange(kFeedSliderMin, kFeedSliderMax);
    slider_->setFocusPolicy(Qt::NoFocus);
    feedText_ = new QLabel(work);
    feedText_->setObjectName(QStringLiteral("feedValue"));
    feedText_->setMinimumWidth(40);
    auto* feedRow = new QHBoxLayout;
    feedRow->addWidget(down_);
    feedRow->addWidget(slider_, 1);
    feedRow->addWidget(up_);
    feedRow->addWidget(feedText_);
    workGrid->addLayout(feedRow, 2, 1, 1, 3);
    layout->addWidget(work, 1);

    // Only the operator's own moves ask for a feed: showFeed() moves the slider silently.
    connect(down_, &QPushButton::clicked, this, [this] { emit feedRequested(slider_->value() - 1); });
    connect(up_, &QPushButton::clicked, this, [this] { emit feedRequested(slider_->value() + 1); });
    connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
        // A drag asks once, when the handle is let go, not for every pixel on the way.
        if (action != QAbstractSlider::SliderMove)
            emit feedRequested(slider_->sliderPosition());
    });
    connect(slider_, &QSlider::sliderReleased, this, [this] { emit feedRequested(slider_->sliderPosition()); });

    reset();
    setMinimumHeight(90);
}

void CStatusView::reset() {
    for (QLabel* field : findChildren<QLabel*>())
        if (!field->objectName().isEmpty() && field != feedText_)
            field->clear();
    progressBar_->setRange(0, kProgressMax);
    progressBar_->setValue(0);
    progressText_->setText(QStringLiteral("0%"));
    efficiency_->setText(qtTrId("status.press_to_calculate"));
    thicknessMm_ = 0;
    level_->setLevel(0);
}

void CStatusView::showProgress(const StatusProgress& p) {
    auto set = [this](const char* name, const QString& text) {
        if (auto* field = findChild<QLabel*>(QLatin1String(name)))
            field->setText(text);
    };
    set("x", QString::number(p.x));
    set("y", QString::number(p.y));
    set("u", QString::number(p.u));
    set("v", QString::number(p.v));
    auto wide = [](int64_t n) { return QStringLiteral("%1").arg(n, 8); };
    set("overSteps", wide(p.overSteps));
    set("totalSteps", wide(p.totalSteps));
    set("startSegment", wide(p.startSegment));
    set("currentSegment", wide(p.currentSegment));
    set("endSegment", wide(p.endSegment));
    set("totalSegments", wide(p.totalSegments));
    if (p.endSegment != p.startSegment) {
        const int percent = progressPercent(p.startSegment, p.endSegment, p.currentSegment);
        progressBar_->setValue(percent);
        progressText_->setText(QStringLiteral("%1%").arg(percent));
    }
}

void CStatusView::setCurrentSpeed(int32_t speed) {
    speed_->setText(QString::number(speed));
    // The efficiency follows the speed once the operator gave a thickness.
    if (thicknessMm_ > 0)
        efficiency_->setText(qtTrId("status.efficiency_value").arg(speed * thicknessMm_ * kEfficiencyFactor, 0, 'f', 0));
}

void CStatusView::showFeed(int feedValue) {
    const QSignalBlocker quiet(slider_);
    slider_->setValue(feedValue);
    feedText_->setText(QString::number(feedValue / 2.0, 'f', 1));
}

int CStatusView::feedSliderValue() const { return slider_->value(); }
QString CStatusView::progressText() const { return progressText_->text(); }
int CStatusView::progressValue() const { return progressBar_->value(); }
QString CStatusView::efficiencyText() const { return efficiency_->text(); }
QString CStatusView::feedText() const { return feedText_->text(); }

QString CStatusView::fieldText(const char* name) const {
    const auto* field = findChild<QLabel*>(QLatin1String(name));
    return field ? field->text() : QString();
}

}  // namespace korvex
