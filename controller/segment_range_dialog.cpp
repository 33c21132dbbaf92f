#include "controller/segment_range_dialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/operator_interaction.h"

namespace korvex {

CSegmentRangeDialog::CSegmentRangeDialog(int32_t segmentCount, bool reverse, OperatorInteraction& operatorUi,
                                         QString boxTitle, QWidget* parent)
    : QDialog(parent), count_(segmentCount), reverse_(reverse), operatorUi_(operatorUi), boxTitle_(std::move(boxTitle)) {
    setObjectName(QStringLiteral("SegmentRange"));
    setWindowTitle(qtTrId("range.title"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(qtTrId("range.note"), this));
    auto* form = new QFormLayout;
    start_ = new QSpinBox(this);
    end_ = new QSpinBox(this);
    for (QSpinBox* field : {start_, end_}) {
        field->setRange(0, kFieldMax);
        field->installEventFilter(this);
    }
    form->addRow(qtTrId("range.start"), start_);
    form->addRow(qtTrId("range.end"), end_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(qtTrId("range.ok"), QDialogButtonBox::AcceptRole);
    buttons->addButton(qtTrId("range.cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSegmentRangeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Forward from the first segment to the last, or back from the last in reverse.
    const int last = std::max(segmentCount - 1, 0);
    start_->setValue(reverse ? last : 0);
    end_->setValue(reverse ? 0 : last);
}

int CSegmentRangeDialog::start() const { return start_->value(); }
int CSegmentRangeDialog::end() const { return end_->value(); }
void CSegmentRangeDialog::setStart(int segment) { start_->setValue(segment); }
void CSegmentRangeDialog::setEnd(int segment) { end_->setValue(segment); }

const char* CSegmentRangeDialog::fault(int32_t start, int32_t end, int32_t segmentCount, bool reverse) {
    if (start < 0 || end < 0 || start >= segmentCount || end >= segmentCount)
        return "61583";
    if (start == 0 && end == 0)
        return "61585";
    if (!reverse && end < start)
        return "61584";
    if (reverse && start < end)
        return "61619";
    return nullptr;
}

void CSegmentRangeDialog::accept() {
    if (const char* id = fault(start(), end(), count_, reverse_)) {
        operatorUi_.message(boxTitle_, qtTrId(id), OperatorInteraction::Icon::Warning);
        return;  // the dialog stays open
    }
    QDialog::accept();
}

bool CSegmentRangeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) {
        if (watched == start_)
            emit segmentFocused(start_->value());
        else if (watched == end_)
            emit segmentFocused(end_->value());
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace korvex
