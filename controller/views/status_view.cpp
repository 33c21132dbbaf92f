#include "controller/views/status_view.h"

#include <QHBoxLayout>
#include <QLabel>

namespace korvex {

CStatusView::CStatusView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusView"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(qtTrId("status.speed_adjust"), this));
    freqText_ = new QLabel(this);
    freqText_->setMinimumWidth(80);
    layout->addWidget(freqText_);
    segments_ = new QLabel(this);
    layout->addWidget(segments_);
    layout->addStretch(1);
    setMinimumHeight(60);
}

void CStatusView::setFreq(int value) {
    freq_ = value;
    freqText_->setText(qtTrId("view.freq").arg(value / 2.0, 0, 'f', 1));
}

void CStatusView::setProgramLayout(bool twoContour, int lastSegment) {
    twoContour_ = twoContour;
    segments_->setText(lastSegment > 0 ? qtTrId("status.total_segments").arg(lastSegment) : QString());
}

void CStatusView::onPulseGroupSwitched(int group) { lastGroup_ = group; }

}  // namespace korvex
