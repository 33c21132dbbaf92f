#include "fleet/viewer/fleet_table_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

namespace korvex::fleet {

namespace {

constexpr int kHighestRunState = 12;

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString runStateText(const FleetState& state) {
    if (state.run_state < 0 || state.run_state > kHighestRunState)
        return qtTrId("kvfleet.run.unknown").arg(state.run_state);
    return qtTrId(QStringLiteral("kvfleet.run.%1").arg(state.run_state).toLatin1().constData());
}

QString urgencyText(Urgency urgency) {
    switch (urgency) {
    case Urgency::Alarm: return qtTrId("kvfleet.urgency.alarm");
    case Urgency::Paused: return qtTrId("kvfleet.urgency.paused");
    case Urgency::Cutting: return qtTrId("kvfleet.urgency.cutting");
    case Urgency::Idle: return qtTrId("kvfleet.urgency.idle");
    case Urgency::Offline: return qtTrId("kvfleet.urgency.offline");
    }
    return {};
}

QString eventKindText(FleetEventKind kind) {
    switch (kind) {
    case FleetEventKind::Start: return qtTrId("kvfleet.kind.start");
    case FleetEventKind::Pause: return qtTrId("kvfleet.kind.pause");
    case FleetEventKind::Finish: return qtTrId("kvfleet.kind.finish");
    case FleetEventKind::Short: return qtTrId("kvfleet.kind.short");
    case FleetEventKind::WireBreak: return qtTrId("kvfleet.kind.wire_break");
    case FleetEventKind::LinkLost: return qtTrId("kvfleet.kind.link_lost");
    case FleetEventKind::GroupSwitch: return qtTrId("kvfleet.kind.group_switch");
    case FleetEventKind::Recovery: return qtTrId("kvfleet.kind.recovery");
    case FleetEventKind::Alarm: return qtTrId("kvfleet.kind.alarm");
    }
    return {};
}

QString eventText(const FleetEvent& event) {
    if (!event.text_id.empty()) {
        const QByteArray id = QByteArray::fromStdString(event.text_id);
        const QString translated = qtTrId(id.constData());
        // qtTrId answers an unknown identifier with the identifier itself.
        if (translated != QLatin1String(id)) return translated;
    }
    return event.text.empty() ? eventKindText(event.kind) : fromStd(event.text);
}

QString ageText(std::chrono::seconds age) {
    const auto s = std::max<std::int64_t>(0, age.count());
    if (s < 60) return qtTrId("kvfleet.age_seconds").arg(s);
    if (s < 3600) return qtTrId("kvfleet.age_minutes").arg(s / 60);
    if (s < 48 * 3600) return qtTrId("kvfleet.age_hours").arg(s / 3600);
    return qtTrId("kvfleet.age_days").arg(s / 86400);
}

QString durationText(std::chrono::seconds duration) {
    const auto s = std::max<std::int64_t>(0, duration.count());
    if (s < 60) return qtTrId("kvfleet.left_seconds").arg(s);
    if (s < 3600) return qtTrId("kvfleet.left_minutes").arg((s + 30) / 60);
    const auto minutes = (s + 30) / 60;
    return qtTrId("kvfleet.left_hours").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

FleetTableModel::FleetTableModel(const FleetTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

void FleetTableModel::refresh(FleetClock::time_point now) {
    now_ = now;
    std::vector<std::string> order;
    for (const Machine* m : table_.rows()) order.push_back(m->cardId);
    if (order.size() != order_.size()) {
        // Machines only ever join; a reset is rare and simplest.
        beginResetModel();
        order_ = std::move(order);
        endResetModel();
        return;
    }
    if (order != order_) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before) {
            const auto at = std::find(order.begin(), order.end(), order_[std::size_t(index.row())]);
            after << (at == order.end() ? QModelIndex{} : createIndex(int(at - order.begin()), index.column()));
        }
        order_ = std::move(order);
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    if (!order_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int FleetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int FleetTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const Machine* FleetTableModel::machineAt(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return table_.find(order_[std::size_t(row)]);
}

int FleetTableModel::rowOf(const std::string& cardId) const {
    const auto at = std::find(order_.begin(), order_.end(), cardId);
    return at == order_.end() ? -1 : int(at - order_.begin());
}

QVariant FleetTableModel::data(const QModelIndex& index, int role) const {
    const Machine* m = index.isValid() ? machineAt(index.row()) : nullptr;
    if (!m) return {};
    const Urgency urgency = m->urgency();
    switch (role) {
    case CardIdRole: return fromStd(m->cardId);
    case UrgencyRole: return int(urgency);
    case ProgressRole: return m->state ? QVariant(m->state->progress) : QVariant();
    case Qt::BackgroundRole:
        if (urgency == Urgency::Alarm) return QBrush(QColor(0xe5, 0x39, 0x35));
        if (urgency == Urgency::Offline) return QBrush(QColor(0xe0, 0xe0, 0xe0));
        return {};
    case Qt::ForegroundRole:
        if (urgency == Urgency::Alarm) return QBrush(Qt::white);
        if (urgency == Urgency::Offline) return QBrush(QColor(0x60, 0x60, 0x60));
        return {};
    case Qt::ToolTipRole:
        if (index.column() == State && m->state) return fromStd(m->state->status);
        if (index.column() == Name) return fromStd(m->cardId);
        return {};
    case Qt::DisplayRole: break;
    default: return {};
    }
    switch (index.column()) {
    case Name: return fromStd(m->displayName());
    case Program: return m->state ? fromStd(m->state->program) : QString();
    case State: {
        // The alarm and offline rows say so first; the others show what the card does.
        if (urgency == Urgency::Alarm && m->pendingAlarm)
            return urgencyText(urgency) + QStringLiteral(": ") + eventKindText(m->pendingAlarm->event.kind);
        if (urgency == Urgency::Offline || !m->state) return urgencyText(urgency);
        return runStateText(*m->state);
    }
    case Progress: return m->state ? QStringLiteral("%1%").arg(m->state->progress, 0, 'f', 0) : QString();
    case TimeLeft: {
        const auto left = m->timeLeft();
        return left ? durationText(*left) : QStringLiteral("–");
    }
    case LastEvent: {
        const ReceivedEvent* last = m->lastEvent();
        if (!last) return QString();
        const auto age = std::chrono::duration_cast<std::chrono::seconds>(now_ - last->at);
        return eventText(last->event) + QStringLiteral(" · ") + ageText(age);
    }
    default: return {};
    }
}

QVariant FleetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Name: return qtTrId("kvfleet.col.machine");
    case Program: return qtTrId("kvfleet.col.program");
    case State: return qtTrId("kvfleet.col.state");
    case Progress: return qtTrId("kvfleet.col.progress");
    case TimeLeft: return qtTrId("kvfleet.col.time_left");
    case LastEvent: return qtTrId("kvfleet.col.last_event");
    default: return {};
    }
}

}  // namespace korvex::fleet
