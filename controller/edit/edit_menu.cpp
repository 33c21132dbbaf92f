#include "controller/edit/edit_menu.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolBar>

#include "controller/document/dcs_doc.h"
#include "controller/edit/gen3b_dialog.h"
#include "controller/edit/multipass_dialogs.h"
#include "controller/edit/offset_dialog.h"
#include "platform/operator_interaction.h"

namespace korvex {

namespace {

constexpr int kIconPx = 32;

// The toolbar picture of a transform: a flag-shaped outline in grey and the same outline mapped
// as the transform maps a program, in blue, so each button shows what it does.
QIcon transformIcon(Transform t) {
    // The flag in program coordinates (y up), around the origin.
    const QPolygonF flag({{-3, -12}, {-3, 12}, {11, 6}, {0, 1.5}, {0, -12}});
    const auto map = [t](QPointF p) -> QPointF {
        switch (t) {
        case Transform::kVerticalMirror: return {p.x(), -p.y()};
        case Transform::kHorizontalMirror: return {-p.x(), p.y()};
        case Transform::kReverseFlip: return {-p.y(), p.x()};
        case Transform::kForwardFlip: return {p.y(), -p.x()};
        default: return p;
        }
    };
    // Program y points up, screen y down.
    const auto toScreen = [](QPointF p) {
        return QPointF(kIconPx / 2.0 + p.x(), kIconPx / 2.0 - p.y());
    };
    QPolygonF before, after;
    for (const QPointF& p : flag) {
        before << toScreen(p);
        after << toScreen(map(p));
    }
    QPixmap pixmap(kIconPx, kIconPx);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 150, 150), 1.0, Qt::DashLine));
    painter.drawPolygon(before);
    painter.setPen(QPen(QColor(20, 70, 200), 2.0));
    painter.setBrush(QColor(90, 140, 240, 120));
    painter.drawPolygon(after);
    painter.end();
    return QIcon(pixmap);
}

// The toolbar pictures of the multi-pass commands: a contour cut three times, and one edge
// trimmed three times between its two leads.
QIcon multipassIcon(bool segment) {
    QPixmap pixmap(kIconPx, kIconPx);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(200, 60, 40), QColor(230, 150, 30), QColor(20, 70, 200)};
    for (int pass = 0; pass < 3; ++pass) {
        painter.setPen(QPen(colours[pass], 2.0));
        const int inset = 4 + 4 * pass;
        if (segment) {
            painter.drawLine(QPointF(6, inset + 6), QPointF(kIconPx - 6, inset + 6));
        } else {
            painter.drawRect(QRectF(inset, inset, kIconPx - 2 * inset, kIconPx - 2 * inset));
        }
    }
    if (segment) {
        painter.setPen(QPen(QColor(120, 120, 120), 1.0, Qt::DashLine));
        painter.drawLine(QPointF(6, 4), QPointF(6, kIconPx - 4));
        painter.drawLine(QPointF(kIconPx - 6, 4), QPointF(kIconPx - 6, kIconPx - 4));
    }
    painter.end();
    return QIcon(pixmap);
}

// The toolbar picture of Taper: a part whose upper outline (blue) is narrower than its lower
// one (grey), joined by the tilted wire.
QIcon taperIcon() {
    QPixmap pixmap(kIconPx, kIconPx);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 120, 120), 1.5));
    painter.setBrush(QColor(200, 200, 200, 120));
    painter.drawPolygon(QPolygonF({{4, 27}, {28, 27}, {22, 6}, {10, 6}}));
    painter.setPen(QPen(QColor(20, 70, 200), 2.5));
    painter.drawLine(QPointF(10, 6), QPointF(22, 6));
    painter.setPen(QPen(QColor(200, 60, 40), 1.5));
    painter.drawLine(QPointF(8, 31), QPointF(12, 1));
    painter.end();
    return QIcon(pixmap);
}

}  // namespace

void attachEditDialogs(EditCommands& c) {
    c.askOffset = [&c](const OffsetRequest& last) -> std::optional<OffsetRequest> {
        OperatorInteraction* ui = c.operatorUi();
        if (!ui) return std::nullopt;
        COffsetDialog dialog(last, c.context().dialogParent);
        if (ui->exec(dialog, QLatin1String(COffsetDialog::kName)) != QDialog::Accepted)
            return std::nullopt;
        return dialog.request();
    };
    c.askMultiple = [&c](const MultipassSettings& initial, CMultipleDialog::Generate apply) {
        OperatorInteraction* ui = c.operatorUi();
        if (!ui) return 1;
        CMultipleDialog dialog(initial, std::move(apply), c.context().dialogParent);
        return ui->exec(dialog, QLatin1String(CMultipleDialog::kName)) == QDialog::Accepted ? 0 : 1;
    };
    c.askSegmentMultiple = [&c](const SegmentMultipleSettings& initial, CSegmentMultipleDialog::Generate apply) {
        OperatorInteraction* ui = c.operatorUi();
        if (!ui) return 1;
        CSegmentMultipleDialog dialog(initial, std::move(apply), c.context().dialogParent);
        return ui->exec(dialog, QLatin1String(CSegmentMultipleDialog::kName)) == QDialog::Accepted ? 0 : 1;
    };
    c.showGenerator = [&c] {
        OperatorInteraction* ui = c.operatorUi();
        if (!ui) return;
        CGen3BDialog dialog(c, c.context().dialogParent);
        ui->exec(dialog, QLatin1String(CGen3BDialog::kName));
    };
}

EditCommandSet::EditCommandSet(EditCommandContext context, QObject* parent)
    : QObject(parent), commands_(std::make_unique<EditCommands>(std::move(context))) {
    generate3B_ = makeAction("ed-menu-generate3b", this);
    generate3B_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    forwardFlip_ = makeAction("ed-menu-forward-flip", this);
    forwardFlip_->setIcon(transformIcon(Transform::kForwardFlip));
    reverseFlip_ = makeAction("ed-menu-reverse-flip", this);
    reverseFlip_->setIcon(transformIcon(Transform::kReverseFlip));
    verticalMirror_ = makeAction("ed-menu-vertical-mirror", this);
    verticalMirror_->setIcon(transformIcon(Transform::kVerticalMirror));
    verticalMirror_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    horizontalMirror_ = makeAction("ed-menu-horizontal-mirror", this);
    horizontalMirror_->setIcon(transformIcon(Transform::kHorizontalMirror));
    horizontalMirror_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    offset_ = makeAction("ed-menu-offset", this);
    multiple_ = makeAction("mp-menu-multiple", this);
    multiple_->setIcon(multipassIcon(false));
    segmentMultiple_ = makeAction("mp-menu-segment", this);
    segmentMultiple_->setIcon(multipassIcon(true));
    taper_ = makeAction("tp-menu-taper", this);
    taper_->setIcon(taperIcon());
    taperCommand_ = std::make_unique<TaperCommand>(*commands_);

    EditCommands& c = *commands_;
    connect(forwardFlip_, &QAction::triggered, this,
            [&c] { c.transform(Transform::kForwardFlip); });
    connect(reverseFlip_, &QAction::triggered, this,
            [&c] { c.transform(Transform::kReverseFlip); });
    connect(verticalMirror_, &QAction::triggered, this,
            [&c] { c.transform(Transform::kVerticalMirror); });
    connect(horizontalMirror_, &QAction::triggered, this,
            [&c] { c.transform(Transform::kHorizontalMirror); });
    connect(offset_, &QAction::triggered, this, [&c] { c.offset(); });
    connect(multiple_, &QAction::triggered, this, [&c] { c.multiple(); });
    connect(segmentMultiple_, &QAction::triggered, this, [&c] { c.segmentMultiple(); });
    connect(generate3B_, &QAction::triggered, this, [&c] { c.generate3B(); });
    connect(taper_, &QAction::triggered, this, [this] { taperCommand_->run(); });

    attachEditDialogs(c);

    // Loading, closing and replacing the program change what may be offered at once.
    if (CDCSDoc* doc = c.context().document) {
        connect(doc, &CDCSDoc::programLoaded, this, &EditCommandSet::refresh);
        connect(doc, &CDCSDoc::programCleared, this, &EditCommandSet::refresh);
    }
    refreshTimer_.setInterval(kRefreshPeriodMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &EditCommandSet::refresh);
    refreshTimer_.start();
    refresh();
}

QAction* EditCommandSet::makeAction(const char* textId, QObject* parent) {
    auto* action = new QAction(qtTrId(textId), parent);
    action->setObjectName(QLatin1String(textId));
    return action;
}

QList<QAction*> EditCommandSet::toolBarActions() const {
    return {reverseFlip_, forwardFlip_, verticalMirror_, horizontalMirror_, taper_, multiple_, segmentMultiple_};
}

void EditCommandSet::leaveEnablingToOwner() {
    refreshTimer_.stop();
    if (CDCSDoc* doc = commands_->context().document)
        disconnect(doc, nullptr, this, nullptr);
}

void EditCommandSet::refresh() {
    const EditState s = commands_->state();
    generate3B_->setEnabled(generate3BEnabled(s));
    const bool derive = deriveEnabled(s);
    for (QAction* a : {forwardFlip_, reverseFlip_, verticalMirror_, horizontalMirror_, offset_})
        a->setEnabled(derive);
    const bool multiple = multipleEnabled(s);
    multiple_->setEnabled(multiple);
    segmentMultiple_->setEnabled(multiple);
}

EditCommandSet* installEditCommands(QMenu* fileMenu, QMenu* editMenu, QToolBar* toolBar,
                                    EditCommandContext context, QObject* owner) {
    auto* set = new EditCommandSet(std::move(context), owner);
    if (fileMenu) {
        const QList<QAction*> existing = fileMenu->actions();
        fileMenu->insertAction(existing.isEmpty() ? nullptr : existing.first(),
                               set->generate3BAction());
        QObject::connect(fileMenu, &QMenu::aboutToShow, set, &EditCommandSet::refresh);
    }
    if (editMenu) {
        editMenu->addAction(set->forwardFlipAction());
        editMenu->addAction(set->reverseFlipAction());
        editMenu->addAction(set->verticalMirrorAction());
        editMenu->addAction(set->horizontalMirrorAction());
        editMenu->addSeparator();
        editMenu->addAction(set->offsetAction());
        editMenu->addAction(set->taperAction());
        editMenu->addAction(set->multipleAction());
        editMenu->addAction(set->segmentMultipleAction());
        QObject::connect(editMenu, &QMenu::aboutToShow, set, &EditCommandSet::refresh);
    }
    if (toolBar) toolBar->addActions(set->toolBarActions());
    return set;
}

}  // namespace korvex
