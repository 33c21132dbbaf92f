<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>notify</name>
    <message id="menu.config">
        <source>Config</source>
        <translation>配置</translation>
    </message>
    <message id="menu.mobile_notice">
        <source>Mobile Notice&#9;Ctrl+E</source>
        <translation>手机通知&#9;Ctrl+E</translation>
    </message>
    <message id="notify.sms_title">
        <source>SMS Config</source>
        <translation>短信设置</translation>
    </message>
    <message id="notify.smsc_label">
        <source>SMSC:</source>
        <translation>短信中心:</translation>
    </message>
    <message id="notify.check_port_smsc">
        <source>Please check the port and SMSC!</source>
        <translation>请检查端口和短信中心号码！</translation>
    </message>
    <message id="notify.comm_open_failed">
        <source>Comm open failed!</source>
        <translation>串口打开失败！</translation>
    </message>
    <message id="notify.modem_not_found">
        <source>Not found the GSM modem!</source>
        <translation>未找到GSM模块！</translation>
    </message>
    <message id="notify.mobile_title">
        <source>Mobile Notice Config</source>
        <translation>手机通知设置</translation>
    </message>
    <message id="notify.type_label">
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message id="notify.type_sms">
        <source>SMS</source>
        <translation>短信</translation>
    </message>
    <message id="notify.type_call">
        <source>CALL</source>
        <translation>电话</translation>
    </message>
    <message id="notify.phone_label">
        <source>Notice Phone</source>
        <translation>通知手机</translation>
    </message>
    <message id="notify.machine_label">
        <source>Machine Name:</source>
        <translation>机床名称:</translation>
    </message>
    <message id="notify.input_number">
        <source>Please input the cellphone number!</source>
        <translation>请输入手机号码！</translation>
    </message>
    <message id="notify.bad_number">
        <source>The number may hold digits, spaces, dashes and one leading +, at most 15 digits!</source>
        <translation>号码只能由数字、空格、短横线和开头的一个+组成，最多15位数字！</translation>
    </message>
    <message id="notify.sound_thread_error">
        <source>Create PlaySoundThreadProc error!</source>
        <translation>创建PlaySoundThreadProc错误！</translation>
    </message>
    <message id="notify.wait_title">
        <source>Please Wait...</source>
        <translation>请稍候...</translation>
    </message>
    <message id="notify.shutdown_seconds">
        <source>seconds later will shut down the computer</source>
        <translation>秒后将关闭计算机</translation>
    </message>
</context>
</TS>
