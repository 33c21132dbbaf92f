<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>config_a</name>
    <message id="config.loop.title">
        <source>Loop Config</source>
        <translation>循环设置</translation>
    </message>
    <message id="config.loop.time">
        <source>Loop time</source>
        <translation>循环次数</translation>
    </message>
    <message id="config.loop.notice">
        <source>Notice:This Function is only valid in cutting!</source>
        <translation>注意:此功能仅在切割时有效!</translation>
    </message>
    <message id="config.speed.title">
        <source>Speed Config</source>
        <translation>速度设置</translation>
    </message>
    <message id="config.speed.ask">
        <source>Need to modify the maximum speed?Be careful!&#10;&#10;The modifying may cause steps lost!</source>
        <translation>需要修改最高速度吗?请小心!&#10;&#10;修改可能导致丢步!</translation>
    </message>
    <message id="config.speed.simulate">
        <source>Simulate Speed:</source>
        <translation>空走速度:</translation>
    </message>
    <message id="config.speed.motoroff">
        <source>Motor OFF:</source>
        <translation>电机关:</translation>
    </message>
    <message id="config.speed.manualback">
        <source>Manual Back:</source>
        <translation>手动回退:</translation>
    </message>
    <message id="config.speed.max">
        <source>Max XYUV Speed:</source>
        <translation>XYUV最高速度:</translation>
    </message>
    <message id="config.speed.cut">
        <source>Cut-Limited XYUV Speed:</source>
        <translation>切割限制XYUV速度:</translation>
    </message>
    <message id="config.speed.xy">
        <source>X/Y:</source>
        <translation>X/Y:</translation>
    </message>
    <message id="config.speed.uv">
        <source>U/V:</source>
        <translation>U/V:</translation>
    </message>
    <message id="config.speed.unit">
        <source>All speeds in steps/sec</source>
        <translation>速度单位均为 步/秒</translation>
    </message>
    <message id="config.speed.save">
        <source>SAVE AS DEFAULT</source>
        <translation>保存为默认值</translation>
    </message>
    <message id="config.back.title">
        <source>Back Config</source>
        <translation>回退设置</translation>
    </message>
    <message id="config.back.delay">
        <source>Start backing after short event in</source>
        <translation>短路后开始回退的时间</translation>
    </message>
    <message id="config.back.stop">
        <source>Stop machine after backing for</source>
        <translation>回退持续多久后停机</translation>
    </message>
    <message id="config.back.sensitivity">
        <source>Sensitivity:</source>
        <translation>灵敏度:</translation>
    </message>
    <message id="config.back.bigger">
        <source>The Bigger is More Sensitive</source>
        <translation>数值越大越灵敏</translation>
    </message>
    <message id="config.plan.title">
        <source>Planing-Stop Config</source>
        <translation>计划暂停设置</translation>
    </message>
    <message id="config.plan.at">
        <source>Pause at segment</source>
        <translation>暂停于第</translation>
    </message>
    <message id="config.plan.and">
        <source>and</source>
        <translation>段的</translation>
    </message>
    <message id="config.plan.nosegment">
        <source>Please input the segment!</source>
        <translation>请输入段号!</translation>
    </message>
    <message id="config.plan.nopercent">
        <source>Please input the percent!</source>
        <translation>请输入百分比!</translation>
    </message>
    <message id="config.plan.maximum">
        <source>Should not bigger than the maximum : %1</source>
        <translation>不能大于最大值: %1</translation>
    </message>
    <message id="config.plan.invalid">
        <source>The segment %1 is invalid! Please retry!</source>
        <translation>第%1段无效!请重试!</translation>
    </message>
    <message id="config.track.title">
        <source>Track Config</source>
        <translation>跟踪设置</translation>
    </message>
    <message id="config.track.default">
        <source>Default Mode (Default)</source>
        <translation>默认模式(默认)</translation>
    </message>
    <message id="config.track.auto">
        <source>Auto Mode : For Variable-Thickness Ones</source>
        <translation>自动模式:用于变厚度工件</translation>
    </message>
    <message id="config.track.changed">
        <source>The choice is different with last time, be careful!</source>
        <translation>选择与上次不同,请小心!</translation>
    </message>
    <message id="config.track.sure">
        <source>Are you sure to modify it?</source>
        <translation>确定要修改吗?</translation>
    </message>
</context>
</TS>
