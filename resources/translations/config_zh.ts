<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>config</name>
    <message id="config.menu.multtable">
        <source>Mult-Table</source>
        <translation>多次切割参数表</translation>
    </message>
    <message id="config.mult.title">
        <source>Mult-Table Config</source>
        <translation>多次切割参数表设置</translation>
    </message>
    <message id="config.col.index">
        <source>Param Index</source>
        <translation>参数号</translation>
    </message>
    <message id="config.col.pw">
        <source>Pw(uS)</source>
        <translation>脉宽(uS)</translation>
    </message>
    <message id="config.col.pi">
        <source>Pi</source>
        <translation>脉间</translation>
    </message>
    <message id="config.col.fm">
        <source>F.M.</source>
        <translation>分组高(基波倍数)</translation>
    </message>
    <message id="config.col.low">
        <source>Low F.M.</source>
        <translation>分组低(基波倍数)</translation>
    </message>
    <message id="config.col.amp">
        <source>Amp.</source>
        <translation>电流</translation>
    </message>
    <message id="config.col.ws">
        <source>W.S.</source>
        <translation>丝速</translation>
    </message>
    <message id="config.col.vf">
        <source>V.F.</source>
        <translation>分频</translation>
    </message>
    <message id="config.cell.range">
        <source>:must be an integer from %1 to %2</source>
        <translation>:必须是%1-%2的整数</translation>
    </message>
    <message id="config.vf.error">
        <source>V.F. Error!Please input the value between 0.5 and 100</source>
        <translation>分频错误!请输入0.5到100之间的值</translation>
    </message>
    <message id="config.zif.item">
        <source>%1[Pw:%2,Pi:%3,High:%4,Low:%5,Amp:%6,WS:%7,VF:%8]</source>
        <translation>%1[脉宽:%2,脉间:%3,分组高:%4,分组低:%5,电流:%6,丝速:%7,分频:%8]</translation>
    </message>
    <message id="config.row.title">
        <source>Save the line</source>
        <translation>保存该行</translation>
    </message>
    <message id="config.row.name">
        <source>Name:</source>
        <translation>名称:</translation>
    </message>
    <message id="config.row.invalid">
        <source>Unvalid characters: . \ / : * ? &lt; &gt; | </source>
        <translation>无效字符: . \ / : * ? &lt; &gt; | </translation>
    </message>
    <message id="config.row.exists">
        <source>The name exists,replace it?</source>
        <translation>名称已存在,替换吗?</translation>
    </message>
    <message id="config.row.savefailed">
        <source>Save failed!</source>
        <translation>保存失败!</translation>
    </message>
    <message id="config.row.replace">
        <source>Replace the line?</source>
        <translation>替换该行吗?</translation>
    </message>
    <message id="config.row.readfailed">
        <source>Read failed!</source>
        <translation>读取失败!</translation>
    </message>
    <message id="config.popup.default">
        <source>Set As Default</source>
        <translation>设为默认</translation>
    </message>
    <message id="config.popup.saveline">
        <source>Save the line</source>
        <translation>保存该行</translation>
    </message>
    <message id="config.popup.manage">
        <source>Manage saved files</source>
        <translation>管理已保存文件</translation>
    </message>
    <message id="config.switch.label">
        <source>Change Indexs:</source>
        <translation>切换方式:</translation>
    </message>
    <message id="config.switch.0">
        <source>Switch</source>
        <translation>直接切换</translation>
    </message>
    <message id="config.switch.1">
        <source>Wait</source>
        <translation>等待</translation>
    </message>
    <message id="config.switch.2">
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message id="config.switch.3">
        <source>Check</source>
        <translation>检查</translation>
    </message>
    <message id="config.switch.wait">
        <source>Wait for (1-9s):</source>
        <translation>等待(1-9秒):</translation>
    </message>
    <message id="config.fixedvf">
        <source>Fixed VF</source>
        <translation>固定分频</translation>
    </message>
    <message id="config.save.table">
        <source>Save Table</source>
        <translation>保存表</translation>
    </message>
    <message id="config.restore.table">
        <source>Restore Table</source>
        <translation>恢复表</translation>
    </message>
    <message id="config.tbl.filter">
        <source>Pulse group files (*.tbl)</source>
        <translation>组号参数文件 (*.tbl)</translation>
    </message>
    <message id="config.range">
        <source>Please enter an integer from %1 to %2.</source>
        <translation>请输入%1到%2之间的整数。</translation>
    </message>
    <message id="config.setup.failed">
        <source>Setup failed</source>
        <translation>设置失败</translation>
    </message>
    <message id="config.multtest.title">
        <source>Multiple Table Test</source>
        <translation>多次切割参数测试</translation>
    </message>
    <message id="config.multtest.index">
        <source>Input the Table Index:</source>
        <translation>输入参数号:</translation>
    </message>
    <message id="config.multtest.test">
        <source>TEST</source>
        <translation>测试</translation>
    </message>
    <message id="config.multtest.change">
        <source>CHANGE PARAM</source>
        <translation>修改参数</translation>
    </message>
    <message id="config.multtest.range">
        <source>Please input the number between 0 and %1</source>
        <translation>请输入0到%1之间的数</translation>
    </message>
    <message id="config.clearance.title">
        <source>Clearence Config</source>
        <translation>清角设置</translation>
    </message>
    <message id="config.clearance.wait">
        <source>Wait for</source>
        <translation>等待</translation>
    </message>
    <message id="config.clearance.seconds">
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message id="config.menu.multtest">
        <source>Mult-Test</source>
        <translation>多次切割参数测试</translation>
    </message>
    <message id="config.menu.clearance">
        <source>Clearance</source>
        <translation>清角</translation>
    </message>
</context>
</TS>
