// The supervisor's table of machines, without widgets: every message of the broker under
// "<prefix>/<card id>/online|state|event" goes in through apply(), and rows() gives one row per
// card id, most urgent first. The window shows it through a Qt model; `kvfleet --once --json`
// prints it.
//
// Urgency of a row, first match wins:
//   Alarm    an alarm event not yet acknowledged: kinds "alarm", "wire_break", "short" and
//            "link_lost". It stays, also across later states and an offline machine, until the
//            supervisor acknowledges it.
//   Offline  "online" is "0" (the machine's last will, or a clean exit).
//   Paused   run state 2 (paused) or 8, 9, 10 (stopped): the machine waits for someone.
//   Cutting  run state 3 cutting, 4 walking, 5 simulating, 6 short-circuit back, 7 manual back,
//            12 returning to origin: the machine moves.
//   Idle     run state 0 (no program), 1 (loaded), 11 (finished), any other value, or no state
//            received yet.
// Rows of one urgency are ordered by machine name, then card id.
//
// Time left: from the progress rate over the states of the last kProgressWindow (at most
// kProgressSamples of them), on the publisher's clock (the state's "time"; the time the message
// arrived when it has none). Unknown until two states of the window differ in progress, and
// whenever the machine does not cut. The window restarts when progress goes back (a new work),
// the program changes, the machine stops cutting or its clock goes back.
//
// Messages that cannot be read (bad topic, bad JSON, missing keys) are counted and change
// nothing. Events carry a sequence number per publisher run; an event whose number is not above
// the last one of that machine (a duplicate of QoS 1, or a late copy) is counted and dropped.
// The numbering starts again when the machine comes online again, since its publisher did.
// States need no such check: the broker keeps one publisher's messages on a topic in order, and
// the newest state always wins, even when the machine's clock was set back (only the rate
// measurement starts again then).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "fleet/common/fleet_messages.h"

namespace korvex::fleet {

using FleetClock = std::chrono::system_clock;

// Sort order: smaller is more urgent.
enum class Urgency { Alarm = 0, Paused = 1, Cutting = 2, Idle = 3, Offline = 4 };

// "alarm", "paused", "cutting", "idle", "offline": the names --once --json prints.
const char* urgencyName(Urgency urgency);
// True for the event kinds that raise an alarm on the row.
bool isAlarmKind(FleetEventKind kind);
// The urgency of a run state alone (Paused, Cutting or Idle).
Urgency urgencyOfRunState(int runState);

inline constexpr std::size_t kEventsKept = 200;
inline constexpr std::chrono::seconds kProgressWindow{600};
inline constexpr std::size_t kProgressSamples = 600;

struct ReceivedEvent {
    FleetEvent event;
    FleetClock::time_point at;  // the event's own time, else its arrival
};

struct ProgressSample {
    FleetClock::time_point at;
    double progress = 0;
};

struct Machine {
    std::string cardId;
    std::optional<FleetState> state;
    std::optional<bool> online;           // nothing until "online" is seen
    bool alarmPending = false;            // an alarm not yet acknowledged
    std::optional<ReceivedEvent> pendingAlarm;
    std::deque<ReceivedEvent> events;     // oldest first, at most the table's eventsKept
    std::optional<std::uint64_t> lastSeq;  // of this publisher run
    std::deque<ProgressSample> samples;   // the progress window, oldest first
    std::uint64_t alarmsRaised = 0;       // counts every alarm event, for the sound

    Urgency urgency() const;
    // The name to show: the state's machine name, else the card id.
    std::string displayName() const;
    const ReceivedEvent* lastEvent() const { return events.empty() ? nullptr : &events.back(); }
    // Seconds left at the current progress rate, or nothing when it cannot be told.
    std::optional<std::chrono::seconds> timeLeft() const;
};

class FleetTable {
public:
    enum class Outcome { Applied, NotOurs, Malformed, OutOfOrder };

    explicit FleetTable(std::string prefix = std::string(kDefaultTopicPrefix), std::size_t eventsKept = kEventsKept);

    // One message from the broker. `received` is the arrival time, used where a message has no
    // time of its own.
    Outcome apply(std::string_view topic, std::string_view payload, FleetClock::time_point received);

    // Clears the alarm of a machine. False when it had none (or is unknown).
    bool acknowledge(const std::string& cardId);
    // Clears every alarm; returns how many were cleared.
    int acknowledgeAll();

    // The machines, most urgent first.
    std::vector<const Machine*> rows() const;
    const Machine* find(const std::string& cardId) const;
    std::size_t size() const { return machines_.size(); }

    std::uint64_t malformed() const { return malformed_; }
    std::uint64_t outOfOrder() const { return outOfOrder_; }
    std::uint64_t notOurs() const { return notOurs_; }
    std::uint64_t applied() const { return applied_; }
    // Alarm events applied so far (a new alarm since a previous look means: sound it).
    std::uint64_t alarmsRaised() const { return alarmsRaised_; }

    // The table as `kvfleet --once --json` prints it; ages are measured to `now`.
    nlohmann::json toJson(FleetClock::time_point now) const;

private:
    Outcome applyState(Machine& machine, std::string_view payload, FleetClock::time_point received);
    Outcome applyEvent(Machine& machine, std::string_view payload, FleetClock::time_point received);
    Outcome applyOnline(Machine& machine, std::string_view payload);

    std::string prefix_;
    std::size_t eventsKept_;
    std::map<std::string, Machine> machines_;
    std::uint64_t malformed_ = 0;
    std::uint64_t outOfOrder_ = 0;
    std::uint64_t notOurs_ = 0;
    std::uint64_t applied_ = 0;
    std::uint64_t alarmsRaised_ = 0;
};

}  // namespace korvex::fleet
