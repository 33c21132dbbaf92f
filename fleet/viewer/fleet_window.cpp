#include "fleet/viewer/fleet_window.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace korvex::fleet {

namespace {

constexpr int kAgeRefreshMs = 1000;
constexpr int kDefaultWidth = 1100;
constexpr int kDefaultHeight = 640;

// The progress column as a bar with its percentage; the row's colour stays visible around it.
class ProgressDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QVariant progress = index.data(FleetTableModel::ProgressRole);
        if (!progress.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

        QStyleOptionProgressBar bar;
        bar.rect = option.rect.adjusted(3, 3, -3, -3);
        bar.minimum = 0;
        bar.maximum = 1000;
        bar.progress = int(std::clamp(progress.toDouble(), 0.0, 100.0) * 10);
        bar.text = index.data(Qt::DisplayRole).toString();
        bar.textVisible = true;
        bar.textAlignment = Qt::AlignCenter;
        bar.state = option.state | QStyle::State_Horizontal;
        QApplication::style()->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
    }
};

QString connectionStateText(MqttConnection state) {
    switch (state) {
    case MqttConnection::Connecting: return qtTrId("kvfleet.broker.connecting");
    case MqttConnection::Connected: return qtTrId("kvfleet.broker.connected");
    case MqttConnection::NotAuthorised: return qtTrId("kvfleet.broker.not_authorised");
    case MqttConnection::Refused: return qtTrId("kvfleet.broker.refused");
    case MqttConnection::Unreachable: return qtTrId("kvfleet.broker.unreachable");
    case MqttConnection::Lost: return qtTrId("kvfleet.broker.lost");
    case MqttConnection::Stopped: return qtTrId("kvfleet.broker.stopped");
    }
    return {};
}

}  // namespace

FleetWindow::FleetWindow(FleetTable& table, bool sound, QWidget* parent)
    : QMainWindow(parent), table_(table), model_(std::make_unique<FleetTableModel>(table)),
      chime_(std::make_unique<AlarmChime>(sound)), clock_([] { return FleetClock::now(); }) {
    setWindowTitle(qtTrId("kvfleet.title"));
    resize(kDefaultWidth, kDefaultHeight);

    view_ = new QTableView(this);
    view_->setModel(model_.get());
    view_->setItemDelegateForColumn(FleetTableModel::Progress, new ProgressDelegate(view_));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setAlternatingRowColors(true);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->horizontalHeader()->setSectionResizeMode(FleetTableModel::Name, QHeaderView::ResizeToContents);
    view_->setColumnWidth(FleetTableModel::Program, 180);
    view_->setColumnWidth(FleetTableModel::State, 200);
    view_->setColumnWidth(FleetTableModel::Progress, 160);
    view_->setColumnWidth(FleetTableModel::TimeLeft, 110);
    setCentralWidget(view_);
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { showEvents(index.row()); });

    auto* acknowledge = new QAction(qtTrId("kvfleet.acknowledge"), this);
    acknowledge->setObjectName(QStringLiteral("acknowledge"));
    acknowledge->setShortcut(Qt::Key_Space);
    acknowledge->setToolTip(qtTrId("kvfleet.acknowledge_tip"));
    connect(acknowledge, &QAction::triggered, this, [this] { acknowledgeCurrent(); });
    auto* acknowledgeAllAction = new QAction(qtTrId("kvfleet.acknowledge_all"), this);
    acknowledgeAllAction->setObjectName(QStringLiteral("acknowledge_all"));
    acknowledgeAllAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Space));
    connect(acknowledgeAllAction, &QAction::triggered, this, [this] { acknowledgeAll(); });
    auto* events = new QAction(qtTrId("kvfleet.events"), this);
    events->setObjectName(QStringLiteral("events"));
    events->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(events, &QAction::triggered, this, [this] {
        if (view_->currentIndex().isValid()) showEvents(view_->currentIndex().row());
    });
    auto* quit = new QAction(qtTrId("kvfleet.quit"), this);
    quit->setObjectName(QStringLiteral("quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
    addAction(quit);

    QToolBar* bar = addToolBar(qtTrId("kvfleet.toolbar"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(acknowledge);
    bar->addAction(acknowledgeAllAction);
    bar->addAction(events);

    connectionLabel_ = new QLabel(this);
    countsLabel_ = new QLabel(this);
    statusBar()->addWidget(connectionLabel_, 1);
    statusBar()->addPermanentWidget(countsLabel_);
    showConnection(MqttConnection::Connecting, {});

    ageTimer_ = new QTimer(this);
    ageTimer_->setInterval(kAgeRefreshMs);
    connect(ageTimer_, &QTimer::timeout, this, &FleetWindow::refresh);
    ageTimer_->start();
    refresh();
}

FleetWindow::~FleetWindow() = default;

void FleetWindow::attach(FleetFeed& feed) {
    brokerText_ = feed.brokerText();
    connect(&feed, &FleetFeed::messagesWaiting, this, [this, &feed] { apply(feed.take()); });
    connect(&feed, &FleetFeed::connectionChanged, this,
            [this](int state, const QString& reason) { showConnection(MqttConnection(state), reason); });
    showConnection(MqttConnection::Connecting, {});
}

void FleetWindow::apply(const std::vector<ArrivedMessage>& messages) {
    for (const ArrivedMessage& message : messages) table_.apply(message.topic, message.payload, message.at);
    refresh();
}

void FleetWindow::refresh() {
    model_->refresh(clock_());
    if (table_.alarmsRaised() > alarmsHeard_) {
        alarmsHeard_ = table_.alarmsRaised();
        chime_->play();
    }
    // A new machine (a reset of the model) leaves no current row: the keys need one.
    if (!view_->currentIndex().isValid() && model_->rowCount() > 0) view_->setCurrentIndex(model_->index(0, 0));
    updateCounts();
}

void FleetWindow::updateCounts() {
    int alarms = 0;
    for (const Machine* m : table_.rows()) alarms += m->alarmPending ? 1 : 0;
    QString text = qtTrId("kvfleet.counts").arg(table_.size()).arg(alarms);
    const std::uint64_t ignored = table_.malformed() + table_.outOfOrder();
    if (ignored > 0) text += QStringLiteral("  ") + qtTrId("kvfleet.ignored").arg(ignored);
    countsLabel_->setText(text);
}

void FleetWindow::showConnection(MqttConnection state, const QString& reason) {
    QString text = connectionStateText(state);
    if (!brokerText_.isEmpty()) text = brokerText_ + QStringLiteral(": ") + text;
    connectionLabel_->setText(text);
    connectionLabel_->setToolTip(reason);
    connectionLabel_->setProperty("connection", int(state));
}

void FleetWindow::showNoBroker() {
    connectionLabel_->setText(qtTrId("kvfleet.broker.none"));
    connectionLabel_->setToolTip({});
    connectionLabel_->setProperty("connection", int(MqttConnection::Stopped));
}

QString FleetWindow::connectionText() const { return connectionLabel_->text(); }

QAction* FleetWindow::action(const char* name) const { return findChild<QAction*>(QLatin1String(name)); }

bool FleetWindow::acknowledgeCurrent() {
    const Machine* m = model_->machineAt(view_->currentIndex().row());
    if (!m || !table_.acknowledge(m->cardId)) return false;
    refresh();
    return true;
}

int FleetWindow::acknowledgeAll() {
    const int cleared = table_.acknowledgeAll();
    if (cleared > 0) refresh();
    return cleared;
}

void FleetWindow::setClock(std::function<FleetClock::time_point()> clock) {
    clock_ = std::move(clock);
    refresh();
}

QDialog* FleetWindow::showEvents(int row) {
    const Machine* m = model_->machineAt(row);
    if (!m) return nullptr;
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("events_dialog"));
    dialog->setWindowTitle(qtTrId("kvfleet.events_title").arg(QString::fromStdString(m->displayName())));
    auto* list = new QTableWidget(int(m->events.size()), 5, dialog);
    list->setObjectName(QStringLiteral("events_list"));
    list->setHorizontalHeaderLabels({qtTrId("kvfleet.col.time"), qtTrId("kvfleet.col.kind"),
                                     qtTrId("kvfleet.col.text"), qtTrId("kvfleet.col.segment"),
                                     qtTrId("kvfleet.col.seq")});
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(false);
    list->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    int r = 0;
    for (auto it = m->events.rbegin(); it != m->events.rend(); ++it, ++r) {
        const FleetEvent& e = it->event;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(it->at.time_since_epoch()).count();
        const QString when = QDateTime::fromSecsSinceEpoch(seconds).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QStringList cells{when, eventKindText(e.kind), eventText(e), QString::number(e.segment),
                                QString::number(e.seq)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (isAlarmKind(e.kind)) item->setForeground(QColor(0xc6, 0x28, 0x28));
            list->setItem(r, c, item);
        }
    }
    list->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(qtTrId("kvfleet.close"));
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog->resize(760, 420);
    dialog->show();
    list->setFocus();
    return dialog;
}

}  // namespace korvex::fleet
