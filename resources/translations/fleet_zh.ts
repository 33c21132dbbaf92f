<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>fleet</name>
    <message id="fleet.connected">
        <source>Fleet: connected</source>
        <translation>车间: 已连接</translation>
    </message>
    <message id="fleet.offline">
        <source>Fleet: offline</source>
        <translation>车间: 离线</translation>
    </message>
    <message id="fleet.not_authorised">
        <source>Fleet: not authorised</source>
        <translation>车间: 未授权</translation>
    </message>
    <message id="fleet.group_switched">
        <source>Pulse group switched</source>
        <translation>脉冲参数组已切换</translation>
    </message>
    <message id="fleet.work_continued">
        <source>Interrupted work continued</source>
        <translation>中断的加工已继续</translation>
    </message>
</context>
</TS>
