<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>config</name>
    <message id="config.menu.multtable">
        <source>Mult-Table</source>
        <translation>Mult-Table</translation>
    </message>
    <message id="config.mult.title">
        <source>Mult-Table Config</source>
        <translation>Mult-Table Config</translation>
    </message>
    <message id="config.col.index">
        <source>Param Index</source>
        <translation>Param Index</translation>
    </message>
    <message id="config.col.pw">
        <source>Pw(uS)</source>
        <translation>Pw(uS)</translation>
    </message>
    <message id="config.col.pi">
        <source>Pi</source>
        <translation>Pi</translation>
    </message>
    <message id="config.col.fm">
        <source>F.M.</source>
        <translation>F.M.</translation>
    </message>
    <message id="config.col.low">
        <source>Low F.M.</source>
        <translation>Low F.M.</translation>
    </message>
    <message id="config.col.amp">
        <source>Amp.</source>
        <translation>Amp.</translation>
    </message>
    <message id="config.col.ws">
        <source>W.S.</source>
        <translation>W.S.</translation>
    </message>
    <message id="config.col.vf">
        <source>V.F.</source>
        <translation>V.F.</translation>
    </message>
    <message id="config.cell.range">
        <source>:must be an integer from %1 to %2</source>
        <translation>:must be an integer from %1 to %2</translation>
    </message>
    <message id="config.vf.error">
        <source>V.F. Error!Please input the value between 0.5 and 100</source>
        <translation>V.F. Error!Please input the value between 0.5 and 100</translation>
    </message>
    <message id="config.zif.item">
        <source>%1[Pw:%2,Pi:%3,High:%4,Low:%5,Amp:%6,WS:%7,VF:%8]</source>
        <translation>%1[Pw:%2,Pi:%3,High:%4,Low:%5,Amp:%6,WS:%7,VF:%8]</translation>
    </message>
    <message id="config.row.title">
        <source>Save the line</source>
        <translation>Save the line</translation>
    </message>
    <message id="config.row.name">
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message id="config.row.invalid">
        <source>Unvalid characters: . \ / : * ? &lt; &gt; | </source>
        <translation>Unvalid characters: . \ / : * ? &lt; &gt; | </translation>
    </message>
    <message id="config.row.exists">
        <source>The name exists,replace it?</source>
        <translation>The name exists,replace it?</translation>
    </message>
    <message id="config.row.savefailed">
        <source>Save failed!</source>
        <translation>Save failed!</translation>
    </message>
    <message id="config.row.replace">
        <source>Replace the line?</source>
        <translation>Replace the line?</translation>
    </message>
    <message id="config.row.readfailed">
        <source>Read failed!</source>
        <translation>Read failed!</translation>
    </message>
    <message id="config.popup.default">
        <source>Set As Default</source>
        <translation>Set As Default</translation>
    </message>
    <message id="config.popup.saveline">
        <source>Save the line</source>
        <translation>Save the line</translation>
    </message>
    <message id="config.popup.manage">
        <source>Manage saved files</source>
        <translation>Manage saved files</translation>
    </message>
    <message id="config.switch.label">
        <source>Change Indexs:</source>
        <translation>Change Indexs:</translation>
    </message>
    <message id="config.switch.0">
        <source>Switch</source>
        <translation>Switch</translation>
    </message>
    <message id="config.switch.1">
        <source>Wait</source>
        <translation>Wait</translation>
    </message>
    <message id="config.switch.2">
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message id="config.switch.3">
        <source>Check</source>
        <translation>Check</translation>
    </message>
    <message id="config.switch.wait">
        <source>Wait for (1-9s):</source>
        <translation>Wait for (1-9s):</translation>
    </message>
    <message id="config.fixedvf">
        <source>Fixed VF</source>
        <translation>Fixed VF</translation>
    </message>
    <message id="config.save.table">
        <source>Save Table</source>
        <translation>Save Table</translation>
    </message>
    <message id="config.restore.table">
        <source>Restore Table</source>
        <translation>Restore Table</translation>
    </message>
    <message id="config.tbl.filter">
        <source>Pulse group files (*.tbl)</source>
        <translation>Pulse group files (*.tbl)</translation>
    </message>
    <message id="config.range">
        <source>Please enter an integer from %1 to %2.</source>
        <translation>Please enter an integer from %1 to %2.</translation>
    </message>
    <message id="config.setup.failed">
        <source>Setup failed</source>
        <translation>Setup failed</translation>
    </message>
    <message id="config.multtest.title">
        <source>Multiple Table Test</source>
        <translation>Multiple Table Test</translation>
    </message>
    <message id="config.multtest.index">
        <source>Input the Table Index:</source>
        <translation>Input the Table Index:</translation>
    </message>
    <message id="config.multtest.test">
        <source>TEST</source>
        <translation>TEST</translation>
    </message>
    <message id="config.multtest.change">
        <source>CHANGE PARAM</source>
        <translation>CHANGE PARAM</translation>
    </message>
    <message id="config.multtest.range">
        <source>Please input the number between 0 and %1</source>
        <translation>Please input the number between 0 and %1</translation>
    </message>
    <message id="config.clearance.title">
        <source>Clearence Config</source>
        <translation>Clearence Config</translation>
    </message>
    <message id="config.clearance.wait">
        <source>Wait for</source>
        <translation>Wait for</translation>
    </message>
    <message id="config.clearance.seconds">
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message id="config.menu.multtest">
        <source>Mult-Test</source>
        <translation>Mult-Test</translation>
    </message>
    <message id="config.menu.clearance">
        <source>Clearance</source>
        <translation>Clearance</translation>
    </message>
</context>
</TS>
