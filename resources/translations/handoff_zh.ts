<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>handoff</name>
    <message id="61210">
        <source>Please start the Korvex control program first</source>
        <translation>请先启动Korvex控制系统程序</translation>
    </message>
    <message id="61216">
        <source>Please save the changed code first!</source>
        <translation>请先保存修改后的代码！</translation>
    </message>
    <message id="61711">
        <source>Korvex Assistant can not be found</source>
        <translation>未找到助手工具</translation>
    </message>
    <message id="handoff.edit">
        <source>Edit the Codes with Korvex Assistant</source>
        <translation>用Korvex助手编辑当前代码</translation>
    </message>
    <message id="handoff.edit_short">
        <source>Korvex Assistant</source>
        <translation>Korvex助手</translation>
    </message>
    <message id="handoff.program">
        <source>Quickly open program software</source>
        <translation>快速打开编程软件</translation>
    </message>
    <message id="handoff.program_short">
        <source>Program</source>
        <translation>编程</translation>
    </message>
    <message id="handoff.choose_program">
        <source>Choose the programming software</source>
        <translation>选择编程软件</translation>
    </message>
    <message id="handoff.start_failed">
        <source>%1 could not be started: %2</source>
        <translation>无法启动 %1：%2</translation>
    </message>
</context>
</TS>
