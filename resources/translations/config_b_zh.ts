<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>config_b</name>
    <message id="61718">
        <source>[ATTENTION] Will clear all settings to the default values,continue or not?</source>
        <translation>【注意】将把所有设置恢复为默认值，是否继续？</translation>
    </message>
    <message id="config.phase.title">
        <source>Phase Config</source>
        <translation>相位设置</translation>
    </message>
    <message id="config.phase.xy">
        <source>X/Y Axis</source>
        <translation>X/Y 轴</translation>
    </message>
    <message id="config.phase.uv">
        <source>U/V Axis</source>
        <translation>U/V 轴</translation>
    </message>
    <message id="config.phase.type">
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message id="config.phase.rate">
        <source>PlusRate:</source>
        <translation>脉冲当量:</translation>
    </message>
    <message id="config.phase.width">
        <source>PlusWidth:</source>
        <translation>脉冲宽度:</translation>
    </message>
    <message id="config.phase.lock">
        <source>LockLevel:</source>
        <translation>锁定电平:</translation>
    </message>
    <message id="config.phase.lock.low">
        <source>Low</source>
        <translation>低</translation>
    </message>
    <message id="config.phase.lock.high">
        <source>High</source>
        <translation>高</translation>
    </message>
    <message id="config.phase.rollgap">
        <source>Roll Plus Gap:</source>
        <translation>运丝脉冲间隔:</translation>
    </message>
    <message id="config.phase.rollnote">
        <source>us(Servo:0 Recommended; MicroStep:150)</source>
        <translation>us(伺服:建议0; 细分:150)</translation>
    </message>
    <message id="config.phase.drive">
        <source>Please choose the drive type.</source>
        <translation>请选择驱动类型。</translation>
    </message>
    <message id="config.phase.changed">
        <source>The choice is different with last time, be careful!</source>
        <translation>选择与上次不同，请小心！</translation>
    </message>
    <message id="config.phase.sure">
        <source>Are you sure to modify it?</source>
        <translation>确定要修改吗？</translation>
    </message>
    <message id="config.direction.title">
        <source>Debug</source>
        <translation>调试</translation>
    </message>
    <message id="config.direction.invert">
        <source>Invert</source>
        <translation>反向</translation>
    </message>
    <message id="config.direction.single">
        <source>Single-Step</source>
        <translation>单步</translation>
    </message>
    <message id="config.direction.multi">
        <source>Mult-Steps</source>
        <translation>多步</translation>
    </message>
    <message id="config.direction.steps">
        <source>Steps:</source>
        <translation>步数:</translation>
    </message>
    <message id="config.debugging.title">
        <source>Debugging...</source>
        <translation>正在调试...</translation>
    </message>
    <message id="config.debugging.progress">
        <source>  %1 / %2 Steps</source>
        <translation>  %1 / %2 步</translation>
    </message>
    <message id="config.debugging.stop">
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message id="config.stop.title">
        <source>Stop-Machine Config</source>
        <translation>停机设置</translation>
    </message>
    <message id="config.stop.test">
        <source>Stop-Machine Test</source>
        <translation>停机测试</translation>
    </message>
    <message id="config.option.title">
        <source>Korvex Setup</source>
        <translation>Korvex 设置</translation>
    </message>
    <message id="config.option.name">
        <source>Machine Name:</source>
        <translation>机床名:</translation>
    </message>
    <message id="config.option.program">
        <source>Program software path</source>
        <translation>编程软件路径</translation>
    </message>
    <message id="config.option.browse">
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message id="config.option.autoshut">
        <source>Auto Shut Down PC When...</source>
        <translation>自动关机条件...</translation>
    </message>
    <message id="config.option.finish">
        <source>Finish Working</source>
        <translation>加工完成</translation>
    </message>
    <message id="config.option.pause">
        <source>Pause Working (including: Pause Code, SegStop Point, Plan-Pause Point)</source>
        <translation>加工暂停(包括:暂停代码、段停点、计划暂停点)</translation>
    </message>
    <message id="config.option.others">
        <source>Others</source>
        <translation>其他</translation>
    </message>
    <message id="config.option.nostop">
        <source>Don't Output Stop-Machine Signal</source>
        <translation>不输出停机信号</translation>
    </message>
    <message id="config.option.nomusic">
        <source>Don't Play the Alarm Voice</source>
        <translation>不播放报警声音</translation>
    </message>
    <message id="config.option.novkf">
        <source>Disable F1-F12</source>
        <translation>禁用F1-F12</translation>
    </message>
    <message id="config.option.noseal">
        <source>Don't Auto Seal the Graph</source>
        <translation>不自动封闭图形</translation>
    </message>
    <message id="config.option.taper">
        <source>Taper Config Default as</source>
        <translation>锥度设置默认为</translation>
    </message>
    <message id="config.option.upper">
        <source>Upper Graph:</source>
        <translation>上图形:</translation>
    </message>
    <message id="config.option.below">
        <source>Below Graph:</source>
        <translation>下图形:</translation>
    </message>
    <message id="config.option.save">
        <source>SAVE</source>
        <translation>保存</translation>
    </message>
    <message id="config.option.namebad">
        <source>The machine name must be %1 to %2 bytes long.</source>
        <translation>机床名必须为%1到%2个字节。</translation>
    </message>
</context>
</TS>
