<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>notify</name>
    <message id="menu.config">
        <source>Config</source>
        <translation>Config</translation>
    </message>
    <message id="menu.mobile_notice">
        <source>Mobile Notice&#9;Ctrl+E</source>
        <translation>Mobile Notice&#9;Ctrl+E</translation>
    </message>
    <message id="notify.sms_title">
        <source>SMS Config</source>
        <translation>SMS Config</translation>
    </message>
    <message id="notify.smsc_label">
        <source>SMSC:</source>
        <translation>SMSC:</translation>
    </message>
    <message id="notify.check_port_smsc">
        <source>Please check the port and SMSC!</source>
        <translation>Please check the port and SMSC!</translation>
    </message>
    <message id="notify.comm_open_failed">
        <source>Comm open failed!</source>
        <translation>Comm open failed!</translation>
    </message>
    <message id="notify.modem_not_found">
        <source>Not found the GSM modem!</source>
        <translation>Not found the GSM modem!</translation>
    </message>
    <message id="notify.mobile_title">
        <source>Mobile Notice Config</source>
        <translation>Mobile Notice Config</translation>
    </message>
    <message id="notify.type_label">
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message id="notify.type_sms">
        <source>SMS</source>
        <translation>SMS</translation>
    </message>
    <message id="notify.type_call">
        <source>CALL</source>
        <translation>CALL</translation>
    </message>
    <message id="notify.phone_label">
        <source>Notice Phone</source>
        <translation>Notice Phone</translation>
    </message>
    <message id="notify.machine_label">
        <source>Machine Name:</source>
        <translation>Machine Name:</translation>
    </message>
    <message id="notify.input_number">
        <source>Please input the cellphone number!</source>
        <translation>Please input the cellphone number!</translation>
    </message>
    <message id="notify.bad_number">
        <source>The number may hold digits, spaces, dashes and one leading +, at most 15 digits!</source>
        <translation>The number may hold digits, spaces, dashes and one leading +, at most 15 digits!</translation>
    </message>
    <message id="notify.sound_thread_error">
        <source>Create PlaySoundThreadProc error!</source>
        <translation>Create PlaySoundThreadProc error!</translation>
    </message>
    <message id="notify.wait_title">
        <source>Please Wait...</source>
        <translation>Please Wait...</translation>
    </message>
    <message id="notify.shutdown_seconds">
        <source>seconds later will shut down the computer</source>
        <translation>seconds later will shut down the computer</translation>
    </message>
</context>
</TS>
