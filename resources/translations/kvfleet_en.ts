<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>kvfleet</name>
    <message id="kvfleet.title">
        <source>Korvex Fleet</source>
        <translation>Korvex Fleet</translation>
    </message>
    <message id="kvfleet.toolbar">
        <source>Actions</source>
        <translation>Actions</translation>
    </message>
    <message id="kvfleet.acknowledge">
        <source>Acknowledge</source>
        <translation>Acknowledge</translation>
    </message>
    <message id="kvfleet.acknowledge_tip">
        <source>Acknowledge the alarm of the chosen machine (Space)</source>
        <translation>Acknowledge the alarm of the chosen machine (Space)</translation>
    </message>
    <message id="kvfleet.acknowledge_all">
        <source>Acknowledge All</source>
        <translation>Acknowledge All</translation>
    </message>
    <message id="kvfleet.events">
        <source>Events</source>
        <translation>Events</translation>
    </message>
    <message id="kvfleet.quit">
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message id="kvfleet.close">
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message id="kvfleet.events_title">
        <source>Events of %1</source>
        <translation>Events of %1</translation>
    </message>
    <message id="kvfleet.counts">
        <source>Machines: %1   Alarms: %2</source>
        <translation>Machines: %1   Alarms: %2</translation>
    </message>
    <message id="kvfleet.ignored">
        <source>Ignored messages: %1</source>
        <translation>Ignored messages: %1</translation>
    </message>
    <message id="kvfleet.col.machine">
        <source>Machine</source>
        <translation>Machine</translation>
    </message>
    <message id="kvfleet.col.program">
        <source>Program</source>
        <translation>Program</translation>
    </message>
    <message id="kvfleet.col.state">
        <source>State</source>
        <translation>State</translation>
    </message>
    <message id="kvfleet.col.progress">
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message id="kvfleet.col.time_left">
        <source>Time Left</source>
        <translation>Time Left</translation>
    </message>
    <message id="kvfleet.col.last_event">
        <source>Last Event</source>
        <translation>Last Event</translation>
    </message>
    <message id="kvfleet.col.time">
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message id="kvfleet.col.kind">
        <source>Event</source>
        <translation>Event</translation>
    </message>
    <message id="kvfleet.col.text">
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message id="kvfleet.col.segment">
        <source>Segment</source>
        <translation>Segment</translation>
    </message>
    <message id="kvfleet.col.seq">
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message id="kvfleet.run.0">
        <source>No program</source>
        <translation>No program</translation>
    </message>
    <message id="kvfleet.run.1">
        <source>Loaded</source>
        <translation>Loaded</translation>
    </message>
    <message id="kvfleet.run.2">
        <source>Paused</source>
        <translation>Paused</translation>
    </message>
    <message id="kvfleet.run.3">
        <source>Cutting</source>
        <translation>Cutting</translation>
    </message>
    <message id="kvfleet.run.4">
        <source>Walking</source>
        <translation>Walking</translation>
    </message>
    <message id="kvfleet.run.5">
        <source>Simulating</source>
        <translation>Simulating</translation>
    </message>
    <message id="kvfleet.run.6">
        <source>Short-circuit back</source>
        <translation>Short-circuit back</translation>
    </message>
    <message id="kvfleet.run.7">
        <source>Backing</source>
        <translation>Backing</translation>
    </message>
    <message id="kvfleet.run.8">
        <source>Stopped</source>
        <translation>Stopped</translation>
    </message>
    <message id="kvfleet.run.9">
        <source>Stopped</source>
        <translation>Stopped</translation>
    </message>
    <message id="kvfleet.run.10">
        <source>Stopped</source>
        <translation>Stopped</translation>
    </message>
    <message id="kvfleet.run.11">
        <source>Finished</source>
        <translation>Finished</translation>
    </message>
    <message id="kvfleet.run.12">
        <source>Returning to origin</source>
        <translation>Returning to origin</translation>
    </message>
    <message id="kvfleet.run.unknown">
        <source>State %1</source>
        <translation>State %1</translation>
    </message>
    <message id="kvfleet.urgency.alarm">
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message id="kvfleet.urgency.paused">
        <source>Paused</source>
        <translation>Paused</translation>
    </message>
    <message id="kvfleet.urgency.cutting">
        <source>Cutting</source>
        <translation>Cutting</translation>
    </message>
    <message id="kvfleet.urgency.idle">
        <source>Idle</source>
        <translation>Idle</translation>
    </message>
    <message id="kvfleet.urgency.offline">
        <source>Offline</source>
        <translation>Offline</translation>
    </message>
    <message id="kvfleet.kind.start">
        <source>Started</source>
        <translation>Started</translation>
    </message>
    <message id="kvfleet.kind.pause">
        <source>Paused</source>
        <translation>Paused</translation>
    </message>
    <message id="kvfleet.kind.finish">
        <source>Finished</source>
        <translation>Finished</translation>
    </message>
    <message id="kvfleet.kind.short">
        <source>Short circuit</source>
        <translation>Short circuit</translation>
    </message>
    <message id="kvfleet.kind.wire_break">
        <source>Wire break</source>
        <translation>Wire break</translation>
    </message>
    <message id="kvfleet.kind.link_lost">
        <source>Link lost</source>
        <translation>Link lost</translation>
    </message>
    <message id="kvfleet.kind.group_switch">
        <source>Group switched</source>
        <translation>Group switched</translation>
    </message>
    <message id="kvfleet.kind.recovery">
        <source>Recovered</source>
        <translation>Recovered</translation>
    </message>
    <message id="kvfleet.kind.alarm">
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message id="kvfleet.age_seconds">
        <source>%1 s ago</source>
        <translation>%1 s ago</translation>
    </message>
    <message id="kvfleet.age_minutes">
        <source>%1 min ago</source>
        <translation>%1 min ago</translation>
    </message>
    <message id="kvfleet.age_hours">
        <source>%1 h ago</source>
        <translation>%1 h ago</translation>
    </message>
    <message id="kvfleet.age_days">
        <source>%1 d ago</source>
        <translation>%1 d ago</translation>
    </message>
    <message id="kvfleet.left_seconds">
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message id="kvfleet.left_minutes">
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message id="kvfleet.left_hours">
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message id="kvfleet.broker.connecting">
        <source>connecting…</source>
        <translation>connecting…</translation>
    </message>
    <message id="kvfleet.broker.connected">
        <source>connected</source>
        <translation>connected</translation>
    </message>
    <message id="kvfleet.broker.not_authorised">
        <source>offline: user name or password refused</source>
        <translation>offline: user name or password refused</translation>
    </message>
    <message id="kvfleet.broker.refused">
        <source>offline: the broker refused the connection</source>
        <translation>offline: the broker refused the connection</translation>
    </message>
    <message id="kvfleet.broker.unreachable">
        <source>offline: broker not reachable, trying again</source>
        <translation>offline: broker not reachable, trying again</translation>
    </message>
    <message id="kvfleet.broker.lost">
        <source>offline: connection lost, trying again</source>
        <translation>offline: connection lost, trying again</translation>
    </message>
    <message id="kvfleet.broker.stopped">
        <source>offline</source>
        <translation>offline</translation>
    </message>
    <message id="kvfleet.broker.none">
        <source>No broker set: start with --broker or set Broker in [Fleet] of Korvex.ini</source>
        <translation>No broker set: start with --broker or set Broker in [Fleet] of Korvex.ini</translation>
    </message>
</context>
</TS>
