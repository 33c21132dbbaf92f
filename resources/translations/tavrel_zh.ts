<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>tavrel</name>
    <message id="61206">
        <source>The end line is missing</source>
        <translation>缺少结尾行</translation>
    </message>
    <message id="61209">
        <source>The code cannot be recognised</source>
        <translation>无法识别代码</translation>
    </message>
    <message id="61212">
        <source>Line %1 cannot be read; please correct or delete it</source>
        <translation>无法识别第%1段代码，请修改或删除</translation>
    </message>
    <message id="61214">
        <source>No more lines can be added</source>
        <translation>已达增加上限</translation>
    </message>
    <message id="61215">
        <source>Korvex is machining this file. Please use "Save As"! To save under this name, close the file in Korvex first.</source>
        <translation>Korvex正在加工此文件，请选择“另存为”功能！如需保存到该文件名，请先在Korvex中关闭该文件。</translation>
    </message>
    <message id="61208">
        <source>%1um/grid</source>
        <translation>%1微米/格</translation>
    </message>
    <message id="61213">
        <source>File path</source>
        <translation>文件路径</translation>
    </message>
    <message id="61211">
        <source>um/grid</source>
        <translation>微米/格</translation>
    </message>
    <message id="tavrel.line_too_long">
        <source>Line %1 of the file is longer than 299 bytes; the file is not opened.</source>
        <translation>文件第%1行超过299字节，文件未打开。</translation>
    </message>
    <message id="tavrel.input_too_long">
        <source>A code line holds at most 299 bytes and no line break.</source>
        <translation>一行代码最多299字节，且不能含换行。</translation>
    </message>
    <message id="tavrel.write_failed">
        <source>The file %1 could not be written: %2</source>
        <translation>无法写入文件 %1：%2</translation>
    </message>
    <message id="tavrel.save_changes">
        <source>Save changes to %1?</source>
        <translation>是否保存对 %1 的修改？</translation>
    </message>
    <message id="tavrel.app">
        <source>Tavrel</source>
        <translation>Tavrel</translation>
    </message>
    <message id="tavrel.untitled">
        <source>Untitled</source>
        <translation>无标题</translation>
    </message>
    <message id="tavrel.ok">
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message id="tavrel.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="tavrel.input.title">
        <source>Enter code</source>
        <translation>输入代码</translation>
    </message>
    <message id="tavrel.open">
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message id="tavrel.save_as">
        <source>Save As</source>
        <translation>另存为</translation>
    </message>
    <message id="tavrel.filter.code">
        <source>Code files (*.iso,*.3b,*.4nb,*.ISO,*.3B,*.4NB)</source>
        <translation>代码文件 (*.iso,*.3b,*4nb)</translation>
    </message>
    <message id="tavrel.filter.4nb">
        <source>4NB multi-pass files (*.4nb,*.4NB)</source>
        <translation>4NB多次切割文件 (*.4nb)</translation>
    </message>
    <message id="tavrel.filter.iso">
        <source>G code files (*.iso,*.ISO)</source>
        <translation>G代码文件 (*.iso)</translation>
    </message>
    <message id="tavrel.filter.3b">
        <source>3B code files (*.3b,*.3B)</source>
        <translation>3B代码文件 (*.3b)</translation>
    </message>
    <message id="tavrel.column.number">
        <source>No.</source>
        <translation>段号</translation>
    </message>
    <message id="tavrel.column.code">
        <source>Code</source>
        <translation>代码</translation>
    </message>
    <message id="tavrel.toolbar">
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message id="tavrel.menu.file">
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message id="tavrel.menu.view">
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message id="tavrel.menu.code">
        <source>&amp;Code</source>
        <translation>代码(&amp;C)</translation>
    </message>
    <message id="tavrel.menu.machining">
        <source>&amp;Machining</source>
        <translation>加工(&amp;W)</translation>
    </message>
    <message id="tavrel.menu.help">
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message id="tavrel.menu.recent">
        <source>Recent files</source>
        <translation>最近文件</translation>
    </message>
    <message id="tavrel.cmd.open">
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message id="tavrel.cmd.save">
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message id="tavrel.cmd.save_as">
        <source>Save &amp;As...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message id="tavrel.cmd.close">
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message id="tavrel.cmd.exit">
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message id="tavrel.cmd.fit">
        <source>&amp;Fit</source>
        <translation>适合(&amp;F)</translation>
    </message>
    <message id="tavrel.cmd.move">
        <source>&amp;Move</source>
        <translation>移动(&amp;M)</translation>
    </message>
    <message id="tavrel.cmd.zoom_in">
        <source>Zoom &amp;in</source>
        <translation>放大(&amp;B)</translation>
    </message>
    <message id="tavrel.cmd.zoom_out">
        <source>Zoom &amp;out</source>
        <translation>缩小(&amp;S)</translation>
    </message>
    <message id="tavrel.cmd.toolbar">
        <source>&amp;Toolbar</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message id="tavrel.cmd.status_bar">
        <source>&amp;Status bar</source>
        <translation>状态栏(&amp;S)</translation>
    </message>
    <message id="tavrel.cmd.grid">
        <source>Grid li&amp;nes</source>
        <translation>网格线(&amp;N)</translation>
    </message>
    <message id="tavrel.cmd.undo">
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message id="tavrel.cmd.redo">
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message id="tavrel.cmd.add">
        <source>Add</source>
        <translation>增加</translation>
    </message>
    <message id="tavrel.cmd.modify">
        <source>Modify</source>
        <translation>修改</translation>
    </message>
    <message id="tavrel.cmd.delete">
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message id="tavrel.cmd.copy">
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message id="tavrel.cmd.paste">
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message id="tavrel.cmd.cut">
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message id="tavrel.cmd.join">
        <source>Join</source>
        <translation>联合</translation>
    </message>
    <message id="tavrel.cmd.hf_group">
        <source>HF group setting</source>
        <translation>高频组号设置</translation>
    </message>
    <message id="tavrel.cmd.recognise">
        <source>Multi-pass code recognition</source>
        <translation>多次代码识别</translation>
    </message>
    <message id="tavrel.cmd.quick">
        <source>Quick machining</source>
        <translation>快捷加工</translation>
    </message>
    <message id="tavrel.cmd.about">
        <source>&amp;About Tavrel...</source>
        <translation>关于Tavrel(&amp;A)...</translation>
    </message>
    <message id="tavrel.tip.open">
        <source>Open a code file</source>
        <translation>打开代码文件</translation>
    </message>
    <message id="tavrel.tip.save">
        <source>Save the code</source>
        <translation>保存代码</translation>
    </message>
    <message id="tavrel.tip.save_as">
        <source>Save the code under another name</source>
        <translation>将代码另存为其他文件</translation>
    </message>
    <message id="tavrel.tip.close">
        <source>Close the code file</source>
        <translation>关闭代码文件</translation>
    </message>
    <message id="tavrel.tip.exit">
        <source>Quit Tavrel</source>
        <translation>退出Tavrel</translation>
    </message>
    <message id="tavrel.tip.fit">
        <source>Fit the drawing to the window</source>
        <translation>使图形适合窗口</translation>
    </message>
    <message id="tavrel.tip.move">
        <source>Drag the drawing with the mouse</source>
        <translation>用鼠标拖动图形</translation>
    </message>
    <message id="tavrel.tip.zoom_in">
        <source>Zoom in</source>
        <translation>放大图形</translation>
    </message>
    <message id="tavrel.tip.zoom_out">
        <source>Zoom out</source>
        <translation>缩小图形</translation>
    </message>
    <message id="tavrel.tip.toolbar">
        <source>Show or hide the toolbar</source>
        <translation>显示或隐藏工具栏</translation>
    </message>
    <message id="tavrel.tip.status_bar">
        <source>Show or hide the status bar</source>
        <translation>显示或隐藏状态栏</translation>
    </message>
    <message id="tavrel.tip.grid">
        <source>Show or hide the grid</source>
        <translation>显示或隐藏网格线</translation>
    </message>
    <message id="tavrel.tip.undo">
        <source>Undo the last change</source>
        <translation>撤销上次操作</translation>
    </message>
    <message id="tavrel.tip.redo">
        <source>Redo the last undone change</source>
        <translation>重新上次撤销的操作</translation>
    </message>
    <message id="tavrel.tip.add">
        <source>Add a line of code</source>
        <translation>增加一行代码</translation>
    </message>
    <message id="tavrel.tip.modify">
        <source>Modify the current line</source>
        <translation>修改当前代码段</translation>
    </message>
    <message id="tavrel.tip.delete">
        <source>Delete the current lines</source>
        <translation>删除当前代码段</translation>
    </message>
    <message id="tavrel.tip.copy">
        <source>Copy the current lines</source>
        <translation>复制当前段代码</translation>
    </message>
    <message id="tavrel.tip.paste">
        <source>Paste the lines at the current place</source>
        <translation>粘贴代码到当前位置</translation>
    </message>
    <message id="tavrel.tip.cut">
        <source>Cut the current lines</source>
        <translation>剪切当前段代码</translation>
    </message>
    <message id="tavrel.tip.join">
        <source>Join another code file to the current code</source>
        <translation>当前段代码中联合其他代码文件</translation>
    </message>
    <message id="tavrel.tip.hf_group">
        <source>Set the HF groups of multi-pass code</source>
        <translation>对多次代码进行高频组号设置</translation>
    </message>
    <message id="tavrel.tip.recognise">
        <source>Recognise multi-pass code</source>
        <translation>对多次代码进行识别</translation>
    </message>
    <message id="tavrel.tip.quick">
        <source>Machine the current code now</source>
        <translation>立即对当前代码进行加工</translation>
    </message>
    <message id="tavrel.tip.about">
        <source>Show the program's version</source>
        <translation>显示程序版本</translation>
    </message>
    <message id="tavrel.about.title">
        <source>About Tavrel</source>
        <translation>关于Tavrel</translation>
    </message>
    <message id="tavrel.about.text">
        <source>Tavrel code editor
Version %1</source>
        <translation>Tavrel 代码编辑器
版本 %1</translation>
    </message>
    <message id="61217">
        <source>This kind of code cannot be joined</source>
        <translation>此类型代码不支持联合操作</translation>
    </message>
    <message id="61218">
        <source>The file to join is too long</source>
        <translation>联合文件代码过长</translation>
    </message>
    <message id="61219">
        <source>This kind of code cannot be recognised automatically</source>
        <translation>此类型代码不支持自动识别</translation>
    </message>
    <message id="tavrel.not_machinable">
        <source>Group-change lines can only be put into a 3B or ISO program that can be machined</source>
        <translation>只有可加工的3B或ISO代码才能插入换组行</translation>
    </message>
    <message id="tavrel.hf.title">
        <source>Select the HF group</source>
        <translation>选择高频组号</translation>
    </message>
    <message id="tavrel.hf.label">
        <source>HF group after this segment:</source>
        <translation>选择此段之后的高频组号：</translation>
    </message>
    <message id="tavrel.threshold.title">
        <source>Jump segment length threshold</source>
        <translation>请输入跳刀段长度阈值</translation>
    </message>
    <message id="tavrel.threshold.text">
        <source>Enter the length threshold of jump segments; the jump segments are then searched automatically</source>
        <translation>请输入跳刀段长度阈值，系统将自动搜索跳刀段</translation>
    </message>
    <message id="tavrel.threshold.unit">
        <source>um</source>
        <translation>微米</translation>
    </message>
    <message id="tavrel.range">
        <source>Please enter an integer between %1 and %2.</source>
        <translation>请输入一个介于%1和%2之间的整数。</translation>
    </message>
    <message id="tavrel.join.title">
        <source>Join parameters</source>
        <translation>联合参数</translation>
    </message>
    <message id="tavrel.join.text">
        <source>Difference between the start points of the two codes, in microns:</source>
        <translation>请输入两个代码起点的坐标差：微米</translation>
    </message>
    <message id="tavrel.integer">
        <source>Please enter an integer.</source>
        <translation>请输入一个整数。</translation>
    </message>
</context>
</TS>
