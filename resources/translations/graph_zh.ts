<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>graph</name>
    <message id="61516">
        <source>Graph draw failed!
Code:line %1
</source>
        <translation>图形绘制失败!
代码:行 %1
</translation>
    </message>
    <message id="61517">
        <source>Top View</source>
        <translation>俯视图</translation>
    </message>
    <message id="61518">
        <source>(White is below,</source>
        <translation>(白色为下表面,</translation>
    </message>
    <message id="61519">
        <source>Blue is upper)</source>
        <translation>蓝色为上表面)</translation>
    </message>
    <message id="61720">
        <source>Mult-Table File: %1  Current Index: %2</source>
        <translation>多参数表文件: %1  当前组号: %2</translation>
    </message>
    <message id="61724">
        <source>ROLL MODE</source>
        <translation>运丝模式</translation>
    </message>
    <message id="graph.uv_range">
        <source>U Min-Max：%1 -- %2  V Min-Max：%3 -- %4</source>
        <translation>U 最小-最大：%1 -- %2  V 最小-最大：%3 -- %4</translation>
    </message>
    <message id="view.menu">
        <source>View(&amp;V)</source>
        <translation>查看(&amp;V)</translation>
    </message>
    <message id="view.fit">
        <source>Fit</source>
        <translation>全图</translation>
    </message>
    <message id="view.fit.tip">
        <source>Fit the whole program into the view</source>
        <translation>将整个程序缩放到视图中</translation>
    </message>
    <message id="view.move">
        <source>Move</source>
        <translation>移动</translation>
    </message>
    <message id="view.move.tip">
        <source>Drag the picture with the mouse</source>
        <translation>用鼠标拖动图形</translation>
    </message>
    <message id="view.zoom_in">
        <source>Zoom In</source>
        <translation>放大</translation>
    </message>
    <message id="view.zoom_in.tip">
        <source>Zoom in around the last clicked point</source>
        <translation>以最后点击点为中心放大</translation>
    </message>
    <message id="view.zoom_out">
        <source>Zoom Out</source>
        <translation>缩小</translation>
    </message>
    <message id="view.zoom_out.tip">
        <source>Zoom out around the last clicked point</source>
        <translation>以最后点击点为中心缩小</translation>
    </message>
    <message id="view.grid">
        <source>Grid(&amp;C)</source>
        <translation>网格(&amp;C)</translation>
    </message>
    <message id="view.grid.tip">
        <source>Show or hide the grid</source>
        <translation>显示或隐藏网格</translation>
    </message>
    <message id="view.full_screen">
        <source>Full Screen(&amp;A)</source>
        <translation>全屏(&amp;A)</translation>
    </message>
    <message id="view.full_screen.tip">
        <source>Show or hide the large position readout</source>
        <translation>显示或隐藏大字坐标</translation>
    </message>
    <message id="mini.transparent">
        <source>Transparent</source>
        <translation>透明</translation>
    </message>
    <message id="mini.hide">
        <source>Hide</source>
        <translation>隐藏</translation>
    </message>
</context>
</TS>
