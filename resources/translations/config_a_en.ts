<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>config_a</name>
    <message id="config.loop.title">
        <source>Loop Config</source>
        <translation>Loop Config</translation>
    </message>
    <message id="config.loop.time">
        <source>Loop time</source>
        <translation>Loop time</translation>
    </message>
    <message id="config.loop.notice">
        <source>Notice:This Function is only valid in cutting!</source>
        <translation>Notice:This Function is only valid in cutting!</translation>
    </message>
    <message id="config.speed.title">
        <source>Speed Config</source>
        <translation>Speed Config</translation>
    </message>
    <message id="config.speed.ask">
        <source>Need to modify the maximum speed?Be careful!&#10;&#10;The modifying may cause steps lost!</source>
        <translation>Need to modify the maximum speed?Be careful!&#10;&#10;The modifying may cause steps lost!</translation>
    </message>
    <message id="config.speed.simulate">
        <source>Simulate Speed:</source>
        <translation>Simulate Speed:</translation>
    </message>
    <message id="config.speed.motoroff">
        <source>Motor OFF:</source>
        <translation>Motor OFF:</translation>
    </message>
    <message id="config.speed.manualback">
        <source>Manual Back:</source>
        <translation>Manual Back:</translation>
    </message>
    <message id="config.speed.max">
        <source>Max XYUV Speed:</source>
        <translation>Max XYUV Speed:</translation>
    </message>
    <message id="config.speed.cut">
        <source>Cut-Limited XYUV Speed:</source>
        <translation>Cut-Limited XYUV Speed:</translation>
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
        <translation>All speeds in steps/sec</translation>
    </message>
    <message id="config.speed.save">
        <source>SAVE AS DEFAULT</source>
        <translation>SAVE AS DEFAULT</translation>
    </message>
    <message id="config.back.title">
        <source>Back Config</source>
        <translation>Back Config</translation>
    </message>
    <message id="config.back.delay">
        <source>Start backing after short event in</source>
        <translation>Start backing after short event in</translation>
    </message>
    <message id="config.back.stop">
        <source>Stop machine after backing for</source>
        <translation>Stop machine after backing for</translation>
    </message>
    <message id="config.back.sensitivity">
        <source>Sensitivity:</source>
        <translation>Sensitivity:</translation>
    </message>
    <message id="config.back.bigger">
        <source>The Bigger is More Sensitive</source>
        <translation>The Bigger is More Sensitive</translation>
    </message>
    <message id="config.plan.title">
        <source>Planing-Stop Config</source>
        <translation>Planing-Stop Config</translation>
    </message>
    <message id="config.plan.at">
        <source>Pause at segment</source>
        <translation>Pause at segment</translation>
    </message>
    <message id="config.plan.and">
        <source>and</source>
        <translation>and</translation>
    </message>
    <message id="config.plan.nosegment">
        <source>Please input the segment!</source>
        <translation>Please input the segment!</translation>
    </message>
    <message id="config.plan.nopercent">
        <source>Please input the percent!</source>
        <translation>Please input the percent!</translation>
    </message>
    <message id="config.plan.maximum">
        <source>Should not bigger than the maximum : %1</source>
        <translation>Should not bigger than the maximum : %1</translation>
    </message>
    <message id="config.plan.invalid">
        <source>The segment %1 is invalid! Please retry!</source>
        <translation>The segment %1 is invalid! Please retry!</translation>
    </message>
    <message id="config.track.title">
        <source>Track Config</source>
        <translation>Track Config</translation>
    </message>
    <message id="config.track.default">
        <source>Default Mode (Default)</source>
        <translation>Default Mode (Default)</translation>
    </message>
    <message id="config.track.auto">
        <source>Auto Mode : For Variable-Thickness Ones</source>
        <translation>Auto Mode : For Variable-Thickness Ones</translation>
    </message>
    <message id="config.track.changed">
        <source>The choice is different with last time, be careful!</source>
        <translation>The choice is different with last time, be careful!</translation>
    </message>
    <message id="config.track.sure">
        <source>Are you sure to modify it?</source>
        <translation>Are you sure to modify it?</translation>
    </message>
</context>
</TS>
