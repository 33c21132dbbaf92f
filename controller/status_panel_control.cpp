#include "controller/status_panel_control.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

#include "code/loader.h"
#include "platform/operator_interaction.h"

namespace korvex {
namespace {

constexpr double kMaxThicknessMm = 10000;
constexpr int kThicknessDecimals = 3;

int64_t segmentSteps(const LoadedProgram& program, int32_t i) {
    return program.segments[static_cast<std::size_t>(i)].lower.steps;
}

}  // namespace

StatusProgress workProgress(const LoadedProgram& program, const std::vector<int64_t>& prefix, int32_t start,
                            int32_t end, const WorkParams& work) {
    StatusProgress p;
    p.x = work.guideX;
    p.y = work.guideY;
    p.u = work.guideU;
    p.v = work.guideV;
    p.startSegment = start;
    p.endSegment = end;
    p.currentSegment = work.segment;
    const int32_t count = static_cast<int32_t>(program.segments.size());
    p.totalSegments = count;
    const int32_t lo = std::min(start, end);
    const int32_t hi = std::max(start, end);
    // Steps are only counted over a range and a segment the program holds: a poll naming
    // anything else is shown as it is, never looked up.
    if (lo < 0 || hi >= count || prefix.size() != static_cast<std::size_t>(count) + 1)
        return p;
    p.totalSteps = prefix[static_cast<std::size_t>(hi) + 1] - prefix[static_cast<std::size_t>(lo)];
    const int32_t s = work.segment;
    if (s < lo || s > hi)
        return p;
    if (start <= end) {
        p.overSteps = prefix[static_cast<std::size_t>(s)] - prefix[static_cast<std::size_t>(lo)] + work.lower.steps;
    } else {
        // Running backwards: every segment above s is done, and s itself down from its end.
        const int64_t inSegment = segmentSteps(program, s) - work.lower.steps;
        p.overSteps = prefix[static_cast<std::size_t>(hi) + 1] - prefix[static_cast<std::size_t>(s) + 1] + inSegment;
    }
    p.overSteps = std::clamp<int64_t>(p.overSteps, 0, p.totalSteps);
    return p;
}

StatusPanelControl::StatusPanelControl(CStatusView& view, PulseTable& table, FeedControl::SettingsSource settings,
                                       OperatorInteraction& operatorUi, std::function<QString()> boxTitle,
                                       QObject* parent)
    : QObject(parent),
      view_(view),
      feed_(table, std::move(settings)),
      operatorUi_(operatorUi),
      boxTitle_(std::move(boxTitle)) {
    feed_.setDisplay([this](int v) { view_.showFeed(v); });
    connect(&view_, &CStatusView::feedRequested, this, [this](int v) { feed_.setFeed(v); });
    connect(&view_, &CStatusView::efficiencyPressed, this, &StatusPanelControl::askThickness);
}

void StatusPanelControl::setProgram(std::shared_ptr<const LoadedProgram> program) {
    program_ = std::move(program);
    prefix_.clear();
    if (program_) {
        prefix_.reserve(program_->segments.size() + 1);
        int64_t sum = 0;
        prefix_.push_back(0);
        for (int32_t i = 0; i < static_cast<int32_t>(program_->segments.size()); ++i)
            prefix_.push_back(sum += segmentSteps(*program_, i));
    }
    polledSegment_ = -1;
    view_.reset();
}

void StatusPanelControl::showWork(const WorkParams& work, int32_t speed) {
    polledSegment_ = work.segment;
    view_.setCurrentSpeed(speed);
    if (!program_ || program_->segments.empty()) {
        StatusProgress p;
        p.x = work.guideX;
        p.y = work.guideY;
        p.u = work.guideU;
        p.v = work.guideV;
        p.currentSegment = work.segment;
        view_.showProgress(p);
        return;
    }
    const int32_t last = static_cast<int32_t>(program_->segments.size()) - 1;
    const std::pair<int32_t, int32_t> range = range_ ? range_().value_or(std::pair{0, last}) : std::pair{0, last};
    view_.showProgress(workProgress(*program_, prefix_, range.first, range.second, work));
}

void StatusPanelControl::askThickness() {
    QDialog dialog(view_.window());
    dialog.setObjectName(QStringLiteral("ThicknessInput"));
    dialog.setWindowTitle(boxTitle_ ? boxTitle_() : QString());
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(qtTrId("status.thickness_prompt"), &dialog));
    auto* row = new QHBoxLayout;
    auto* field = new QDoubleSpinBox(&dialog);
    field->setObjectName(QStringLiteral("thickness"));
    field->setRange(0, kMaxThicknessMm);
    field->setDecimals(kThicknessDecimals);
    field->setValue(view_.thickness());
    row->addWidget(field, 1);
    row->addWidget(new QLabel(qtTrId("status.thickness_unit"), &dialog));
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (operatorUi_.exec(dialog, dialog.objectName()) == QDialog::Accepted)
        view_.setThickness(field->value());
}

}  // namespace korvex
