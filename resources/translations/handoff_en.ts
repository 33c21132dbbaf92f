<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>handoff</name>
    <message id="61210">
        <source>Please start the Korvex control program first</source>
        <translation>Please start the Korvex control program first</translation>
    </message>
    <message id="61216">
        <source>Please save the changed code first!</source>
        <translation>Please save the changed code first!</translation>
    </message>
    <message id="61711">
        <source>Korvex Assistant can not be found</source>
        <translation>Korvex Assistant can not be found</translation>
    </message>
    <message id="handoff.edit">
        <source>Edit the Codes with Korvex Assistant</source>
        <translation>Edit the Codes with Korvex Assistant</translation>
    </message>
    <message id="handoff.edit_short">
        <source>Korvex Assistant</source>
        <translation>Korvex Assistant</translation>
    </message>
    <message id="handoff.program">
        <source>Quickly open program software</source>
        <translation>Quickly open program software</translation>
    </message>
    <message id="handoff.program_short">
        <source>Program</source>
        <translation>Program</translation>
    </message>
    <message id="handoff.choose_program">
        <source>Choose the programming software</source>
        <translation>Choose the programming software</translation>
    </message>
    <message id="handoff.start_failed">
        <source>%1 could not be started: %2</source>
        <translation>%1 could not be started: %2</translation>
    </message>
</context>
</TS>
