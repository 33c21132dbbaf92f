<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>fleet</name>
    <message id="fleet.connected">
        <source>Fleet: connected</source>
        <translation>Fleet: connected</translation>
    </message>
    <message id="fleet.offline">
        <source>Fleet: offline</source>
        <translation>Fleet: offline</translation>
    </message>
    <message id="fleet.not_authorised">
        <source>Fleet: not authorised</source>
        <translation>Fleet: not authorised</translation>
    </message>
    <message id="fleet.group_switched">
        <source>Pulse group switched</source>
        <translation>Pulse group switched</translation>
    </message>
    <message id="fleet.work_continued">
        <source>Interrupted work continued</source>
        <translation>Interrupted work continued</translation>
    </message>
</context>
</TS>
