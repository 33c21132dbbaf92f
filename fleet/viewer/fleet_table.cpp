#include "fleet/viewer/fleet_table.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <tuple>

#include <nlohmann/json.hpp>

namespace korvex::fleet {

const char* urgencyName(Urgency urgency) {
    switch (urgency) {
    case Urgency::Alarm: return "alarm";
    case Urgency::Paused: return "paused";
    case Urgency::Cutting: return "cutting";
    case Urgency::Idle: return "idle";
    case Urgency::Offline: return "offline";
    }
    return "idle";
}

bool isAlarmKind(FleetEventKind kind) {
    return kind == FleetEventKind::Alarm || kind == FleetEventKind::WireBreak || kind == FleetEventKind::Short ||
           kind == FleetEventKind::LinkLost;
}

Urgency urgencyOfRunState(int run_state) {
    switch (run_state) {
    case 2: case 8: case 9: case 10: return Urgency::Paused;
    case 3: case 4: case 5: case 6: case 7: case 12: return Urgency::Cutting;
    default: return Urgency::Idle;
    }
}

Urgency Machine::urgency() const {
    if (alarmPending) return Urgency::Alarm;
    if (online == false) return Urgency::Offline;
    if (!state) return Urgency::Idle;
    return urgencyOfRunState(state->run_state);
}

std::string Machine::displayName() const {
    return state && !state->machine.empty() ? state->machine : cardId;
}

std::optional<std::chrono::seconds> Machine::timeLeft() const {
    if (!state || urgency() != Urgency::Cutting || samples.size() < 2) return std::nullopt;
    const ProgressSample& first = samples.front();
    const ProgressSample& last = samples.back();
    const double gained = last.progress - first.progress;
    const double seconds = std::chrono::duration<double>(last.at - first.at).count();
    if (gained <= 0 || seconds <= 0) return std::nullopt;
    const double left = std::max(0.0, 100.0 - last.progress) * seconds / gained;
    // A rate this slow says nothing useful; it also keeps the conversion in range.
    if (!std::isfinite(left) || left > 1e7) return std::nullopt;
    return std::chrono::seconds(static_cast<std::int64_t>(std::llround(left)));
}

FleetTable::FleetTable(std::string prefix, std::size_t eventsKept)
    : prefix_(std::move(prefix)), eventsKept_(std::max<std::size_t>(1, eventsKept)) {}

FleetTable::Outcome FleetTable::apply(std::string_view topic, std::string_view payload,
                                      FleetClock::time_point received) {
    const std::optional<ParsedTopic> parsed = parseFleetTopic(prefix_, topic);
    if (!parsed) {
        ++notOurs_;
        return Outcome::NotOurs;
    }
    // A machine's row appears with its first readable message only.
    auto found = machines_.find(parsed->cardId);
    Machine fresh;
    fresh.cardId = parsed->cardId;
    Machine& machine = found != machines_.end() ? found->second : fresh;
    Outcome outcome = parsed->topic == FleetTopic::State   ? applyState(machine, payload, received)
                      : parsed->topic == FleetTopic::Event ? applyEvent(machine, payload, received)
                                                           : applyOnline(machine, payload);
    if (outcome == Outcome::Malformed) ++malformed_;
    if (outcome == Outcome::OutOfOrder) ++outOfOrder_;
    if (outcome == Outcome::Applied) {
        ++applied_;
        if (found == machines_.end()) machines_.emplace(fresh.cardId, std::move(fresh));
    }
    return outcome;
}

FleetTable::Outcome FleetTable::applyState(Machine& machine, std::string_view payload,
                                           FleetClock::time_point received) {
    std::optional<FleetState> state = stateFromJson(payload);
    if (!state) return Outcome::Malformed;
    const FleetClock::time_point at = parseUtcIsoTime(state->time).value_or(received);
    const bool restart = !machine.state || machine.state->program != state->program ||
                         state->progress < machine.state->progress ||
                         urgencyOfRunState(state->run_state) != Urgency::Cutting ||
                         (!machine.samples.empty() && at < machine.samples.back().at);
    if (restart) machine.samples.clear();
    if (urgencyOfRunState(state->run_state) == Urgency::Cutting) {
        machine.samples.push_back({at, state->progress});
        while (machine.samples.size() > kProgressSamples ||
               (machine.samples.size() > 2 && at - machine.samples.front().at > kProgressWindow))
            machine.samples.pop_front();
    }
    machine.state = std::move(state);
    return Outcome::Applied;
}

FleetTable::Outcome FleetTable::applyEvent(Machine& machine, std::string_view payload,
                                           FleetClock::time_point received) {
    std::optional<FleetEvent> event = eventFromJson(payload);
    if (!event) return Outcome::Malformed;
    if (machine.lastSeq && event->seq <= *machine.lastSeq) return Outcome::OutOfOrder;
    machine.lastSeq = event->seq;
    ReceivedEvent entry{std::move(*event), received};
    entry.at = parseUtcIsoTime(entry.event.time).value_or(received);
    if (isAlarmKind(entry.event.kind)) {
        machine.alarmPending = true;
        machine.pendingAlarm = entry;
        ++machine.alarmsRaised;
        ++alarmsRaised_;
    }
    machine.events.push_back(std::move(entry));
    while (machine.events.size() > eventsKept_) machine.events.pop_front();
    return Outcome::Applied;
}

FleetTable::Outcome FleetTable::applyOnline(Machine& machine, std::string_view payload) {
    if (payload != "1" && payload != "0") return Outcome::Malformed;
    const bool online = payload == "1";
    // A machine that comes back runs a new publisher, which numbers its events from the start.
    if (online && machine.online != true) machine.lastSeq.reset();
    machine.online = online;
    return Outcome::Applied;
}

bool FleetTable::acknowledge(const std::string& cardId) {
    auto it = machines_.find(cardId);
    if (it == machines_.end() || !it->second.alarmPending) return false;
    it->second.alarmPending = false;
    it->second.pendingAlarm.reset();
    return true;
}

int FleetTable::acknowledgeAll() {
    int cleared = 0;
    for (auto& [id, machine] : machines_)
        cleared += acknowledge(id) ? 1 : 0;
    return cleared;
}

std::vector<const Machine*> FleetTable::rows() const {
    std::vector<const Machine*> rows;
    rows.reserve(machines_.size());
    for (const auto& [id, machine] : machines_) rows.push_back(&machine);
    std::stable_sort(rows.begin(), rows.end(), [](const Machine* a, const Machine* b) {
        return std::make_tuple(static_cast<int>(a->urgency()), a->displayName(), a->cardId) <
               std::make_tuple(static_cast<int>(b->urgency()), b->displayName(), b->cardId);
    });
    return rows;
}

const Machine* FleetTable::find(const std::string& cardId) const {
    auto it = machines_.find(cardId);
    return it == machines_.end() ? nullptr : &it->second;
}

nlohmann::json FleetTable::toJson(FleetClock::time_point now) const {
    using nlohmann::json;
    json machines = json::array();
    for (const Machine* m : rows()) {
        json row;
        row["card_id"] = m->cardId;
        row["name"] = m->displayName();
        row["urgency"] = urgencyName(m->urgency());
        row["online"] = m->online ? json(*m->online) : json(nullptr);
        row["alarm"] = m->alarmPending;
        if (m->state) {
            row["program"] = m->state->program;
            row["run_state"] = m->state->run_state;
            row["sub_state"] = m->state->sub_state;
            row["status"] = m->state->status;
            row["progress"] = m->state->progress;
            row["segment"] = m->state->segment;
            row["segments"] = m->state->segments;
            row["state_time"] = m->state->time;
        } else {
            row["progress"] = nullptr;
        }
        const auto left = m->timeLeft();
        row["seconds_left"] = left ? json(left->count()) : json(nullptr);
        if (const ReceivedEvent* last = m->lastEvent()) {
            const auto age = std::chrono::duration_cast<std::chrono::seconds>(now - last->at).count();
            row["last_event"] = {{"kind", std::string(eventKindName(last->event.kind))},
                                 {"text", last->event.text},
                                 {"seq", last->event.seq},
                                 {"time", last->event.time},
                                 {"age_seconds", std::max<std::int64_t>(0, age)}};
        } else {
            row["last_event"] = nullptr;
        }
        row["events"] = m->events.size();
        machines.push_back(std::move(row));
    }
    return json{{"machines", std::move(machines)},
                {"ignored", {{"malformed", malformed_}, {"out_of_order", outOfOrder_}, {"other_topics", notOurs_}}}};
}

}  // namespace korvex::fleet
