<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>edit</name>
    <message id="ed-menu-edit">
        <source>Edit(&amp;E)</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message id="ed-menu-generate3b">
        <source>Generate 3B(&amp;N)...</source>
        <translation>手动生成3B(&amp;N)...</translation>
    </message>
    <message id="ed-menu-forward-flip">
        <source>90-degree Forward Flip(&amp;U)</source>
        <translation>90度正向翻转(&amp;U)</translation>
    </message>
    <message id="ed-menu-reverse-flip">
        <source>90-degree Reverse Flip(&amp;V)</source>
        <translation>90度反向翻转(&amp;V)</translation>
    </message>
    <message id="ed-menu-vertical-mirror">
        <source>Vertical Mirror(&amp;X)</source>
        <translation>垂直镜像(&amp;X)</translation>
    </message>
    <message id="ed-menu-horizontal-mirror">
        <source>Horizontal Mirror(&amp;Y)</source>
        <translation>水平镜像(&amp;Y)</translation>
    </message>
    <message id="ed-menu-offset">
        <source>Offset(&amp;G)</source>
        <translation>间隙补偿(&amp;G)</translation>
    </message>
    <message id="ed-not-supported">
        <source>Not supported!</source>
        <translation>暂不支持该功能！</translation>
    </message>
    <message id="ed-code-generated">
        <source>Code has been generated!</source>
        <translation>代码文件已生成！</translation>
    </message>
    <message id="ed-offset-not-taper">
        <source>Sorry!The function is not supported by taper or multiple!</source>
        <translation>对不起！锥度或多次切割代码不支持此功能！</translation>
    </message>
    <message id="ed-offset-jumps">
        <source>The codes with jump segments are not supported in the version!</source>
        <translation>此版本不支持跳步代码间隙补偿！</translation>
    </message>
    <message id="ed-offset-failed">
        <source>Offset setup failed!</source>
        <translation>间隙补偿失败！</translation>
    </message>
    <message id="ed-offset-range">
        <source>The offset must be from -5 to 5 mm!</source>
        <translation>补偿量必须在 -5 到 5 mm 之间！</translation>
    </message>
    <message id="ed-offset-title">
        <source>Offset</source>
        <translation>间隙补偿</translation>
    </message>
    <message id="ed-offset-field">
        <source>Offset:</source>
        <translation>补偿量:</translation>
    </message>
    <message id="ed-offset-note">
        <source>+ :Along the direction,shift on the RIGHT

- :Along the direction,shift on the LEFT

If the offset has been already set before, please don't set it here again!</source>
        <translation>+ :沿切割方向，向右偏移

- :沿切割方向，向左偏移

如果之前已经设置过补偿，请不要在这里再次设置！</translation>
    </message>
    <message id="ed-offset-corner">
        <source>Corner</source>
        <translation>拐角</translation>
    </message>
    <message id="ed-offset-sharp">
        <source>Taper Angle</source>
        <translation>尖角补偿</translation>
    </message>
    <message id="ed-offset-round">
        <source>Round Angle</source>
        <translation>圆角补偿</translation>
    </message>
    <message id="ed-gen3b-title">
        <source>Generate 3B by yourself</source>
        <translation>手动代码生成</translation>
    </message>
    <message id="ed-gen3b-start-x">
        <source>Start X:</source>
        <translation>起点 X:</translation>
    </message>
    <message id="ed-gen3b-start-y">
        <source>Start Y:</source>
        <translation>起点 Y:</translation>
    </message>
    <message id="ed-gen3b-statement">
        <source>Statement</source>
        <translation>代码段</translation>
    </message>
    <message id="ed-gen3b-direction">
        <source>Count direction:</source>
        <translation>计数方向:</translation>
    </message>
    <message id="ed-gen3b-code">
        <source>Code:</source>
        <translation>指令:</translation>
    </message>
    <message id="ed-gen3b-add">
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message id="ed-gen3b-delete">
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message id="ed-gen3b-generate">
        <source>Gen 3B file</source>
        <translation>生成3B文件</translation>
    </message>
    <message id="ed-gen3b-save-caption">
        <source>Save 3B file</source>
        <translation>保存3B文件</translation>
    </message>
    <message id="ed-gen3b-filter">
        <source>Wire-cut files (*.3b)</source>
        <translation>线切割文件 (*.3b)</translation>
    </message>
    <message id="ed-target-loaded">
        <source>This file holds the program loaded now and cannot be written:
%1

Choose another name, or close the program first.</source>
        <translation>该文件是当前已加载的程序，不能写入：
%1

请换一个文件名，或先关闭该程序。</translation>
    </message>
    <message id="ed-replace-question">
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1已存在。
要替换它吗？</translation>
    </message>
</context>
</TS>
