<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>kvfleet</name>
    <message id="kvfleet.title">
        <source>Korvex Fleet</source>
        <translation>Korvex 车间监控</translation>
    </message>
    <message id="kvfleet.toolbar">
        <source>Actions</source>
        <translation>操作</translation>
    </message>
    <message id="kvfleet.acknowledge">
        <source>Acknowledge</source>
        <translation>确认报警</translation>
    </message>
    <message id="kvfleet.acknowledge_tip">
        <source>Acknowledge the alarm of the chosen machine (Space)</source>
        <translation>确认所选机床的报警（空格键）</translation>
    </message>
    <message id="kvfleet.acknowledge_all">
        <source>Acknowledge All</source>
        <translation>全部确认</translation>
    </message>
    <message id="kvfleet.events">
        <source>Events</source>
        <translation>事件记录</translation>
    </message>
    <message id="kvfleet.quit">
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message id="kvfleet.close">
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message id="kvfleet.events_title">
        <source>Events of %1</source>
        <translation>%1 的事件记录</translation>
    </message>
    <message id="kvfleet.counts">
        <source>Machines: %1   Alarms: %2</source>
        <translation>机床：%1   报警：%2</translation>
    </message>
    <message id="kvfleet.ignored">
        <source>Ignored messages: %1</source>
        <translation>已忽略的消息：%1</translation>
    </message>
    <message id="kvfleet.col.machine">
        <source>Machine</source>
        <translation>机床</translation>
    </message>
    <message id="kvfleet.col.program">
        <source>Program</source>
        <translation>程序</translation>
    </message>
    <message id="kvfleet.col.state">
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message id="kvfleet.col.progress">
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message id="kvfleet.col.time_left">
        <source>Time Left</source>
        <translation>剩余时间</translation>
    </message>
    <message id="kvfleet.col.last_event">
        <source>Last Event</source>
        <translation>最近事件</translation>
    </message>
    <message id="kvfleet.col.time">
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message id="kvfleet.col.kind">
        <source>Event</source>
        <translation>事件</translation>
    </message>
    <message id="kvfleet.col.text">
        <source>Text</source>
        <translation>内容</translation>
    </message>
    <message id="kvfleet.col.segment">
        <source>Segment</source>
        <translation>段号</translation>
    </message>
    <message id="kvfleet.col.seq">
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message id="kvfleet.run.0">
        <source>No program</source>
        <translation>无程序</translation>
    </message>
    <message id="kvfleet.run.1">
        <source>Loaded</source>
        <translation>已装入</translation>
    </message>
    <message id="kvfleet.run.2">
        <source>Paused</source>
        <translation>暂停</translation>
    </message>
    <message id="kvfleet.run.3">
        <source>Cutting</source>
        <translation>切割中</translation>
    </message>
    <message id="kvfleet.run.4">
        <source>Walking</source>
        <translation>空走中</translation>
    </message>
    <message id="kvfleet.run.5">
        <source>Simulating</source>
        <translation>模拟中</translation>
    </message>
    <message id="kvfleet.run.6">
        <source>Short-circuit back</source>
        <translation>短路回退</translation>
    </message>
    <message id="kvfleet.run.7">
        <source>Backing</source>
        <translation>回退中</translation>
    </message>
    <message id="kvfleet.run.8">
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message id="kvfleet.run.9">
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message id="kvfleet.run.10">
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message id="kvfleet.run.11">
        <source>Finished</source>
        <translation>已完成</translation>
    </message>
    <message id="kvfleet.run.12">
        <source>Returning to origin</source>
        <translation>回原点中</translation>
    </message>
    <message id="kvfleet.run.unknown">
        <source>State %1</source>
        <translation>状态 %1</translation>
    </message>
    <message id="kvfleet.urgency.alarm">
        <source>Alarm</source>
        <translation>报警</translation>
    </message>
    <message id="kvfleet.urgency.paused">
        <source>Paused</source>
        <translation>暂停</translation>
    </message>
    <message id="kvfleet.urgency.cutting">
        <source>Cutting</source>
        <translation>加工中</translation>
    </message>
    <message id="kvfleet.urgency.idle">
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message id="kvfleet.urgency.offline">
        <source>Offline</source>
        <translation>离线</translation>
    </message>
    <message id="kvfleet.kind.start">
        <source>Started</source>
        <translation>开始</translation>
    </message>
    <message id="kvfleet.kind.pause">
        <source>Paused</source>
        <translation>暂停</translation>
    </message>
    <message id="kvfleet.kind.finish">
        <source>Finished</source>
        <translation>完成</translation>
    </message>
    <message id="kvfleet.kind.short">
        <source>Short circuit</source>
        <translation>短路</translation>
    </message>
    <message id="kvfleet.kind.wire_break">
        <source>Wire break</source>
        <translation>断丝</translation>
    </message>
    <message id="kvfleet.kind.link_lost">
        <source>Link lost</source>
        <translation>通讯中断</translation>
    </message>
    <message id="kvfleet.kind.group_switch">
        <source>Group switched</source>
        <translation>切换脉冲组</translation>
    </message>
    <message id="kvfleet.kind.recovery">
        <source>Recovered</source>
        <translation>已恢复</translation>
    </message>
    <message id="kvfleet.kind.alarm">
        <source>Alarm</source>
        <translation>报警</translation>
    </message>
    <message id="kvfleet.age_seconds">
        <source>%1 s ago</source>
        <translation>%1 秒前</translation>
    </message>
    <message id="kvfleet.age_minutes">
        <source>%1 min ago</source>
        <translation>%1 分钟前</translation>
    </message>
    <message id="kvfleet.age_hours">
        <source>%1 h ago</source>
        <translation>%1 小时前</translation>
    </message>
    <message id="kvfleet.age_days">
        <source>%1 d ago</source>
        <translation>%1 天前</translation>
    </message>
    <message id="kvfleet.left_seconds">
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message id="kvfleet.left_minutes">
        <source>%1 min</source>
        <translation>%1 分钟</translation>
    </message>
    <message id="kvfleet.left_hours">
        <source>%1 h %2 min</source>
        <translation>%1 小时 %2 分</translation>
    </message>
    <message id="kvfleet.broker.connecting">
        <source>connecting…</source>
        <translation>正在连接…</translation>
    </message>
    <message id="kvfleet.broker.connected">
        <source>connected</source>
        <translation>已连接</translation>
    </message>
    <message id="kvfleet.broker.not_authorised">
        <source>offline: user name or password refused</source>
        <translation>离线：用户名或密码被拒绝</translation>
    </message>
    <message id="kvfleet.broker.refused">
        <source>offline: the broker refused the connection</source>
        <translation>离线：服务器拒绝连接</translation>
    </message>
    <message id="kvfleet.broker.unreachable">
        <source>offline: broker not reachable, trying again</source>
        <translation>离线：无法连接服务器，正在重试</translation>
    </message>
    <message id="kvfleet.broker.lost">
        <source>offline: connection lost, trying again</source>
        <translation>离线：连接中断，正在重试</translation>
    </message>
    <message id="kvfleet.broker.stopped">
        <source>offline</source>
        <translation>离线</translation>
    </message>
    <message id="kvfleet.broker.none">
        <source>No broker set: start with --broker or set Broker in [Fleet] of Korvex.ini</source>
        <translation>未设置服务器：请用 --broker 启动，或在 Korvex.ini 的 [Fleet] 中设置 Broker</translation>
    </message>
</context>
</TS>
