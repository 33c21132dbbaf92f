<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>graph</name>
    <message id="61516">
        <source>Graph draw failed!
Code:line %1
</source>
        <translation>Graph draw failed!
Code:line %1
</translation>
    </message>
    <message id="61517">
        <source>Top View</source>
        <translation>Top View</translation>
    </message>
    <message id="61518">
        <source>(White is below,</source>
        <translation>(White is below,</translation>
    </message>
    <message id="61519">
        <source>Blue is upper)</source>
        <translation>Blue is upper)</translation>
    </message>
    <message id="61720">
        <source>Mult-Table File: %1  Current Index: %2</source>
        <translation>Mult-Table File: %1  Current Index: %2</translation>
    </message>
    <message id="61724">
        <source>ROLL MODE</source>
        <translation>ROLL MODE</translation>
    </message>
    <message id="graph.uv_range">
        <source>U Min-Max：%1 -- %2  V Min-Max：%3 -- %4</source>
        <translation>U Min-Max：%1 -- %2  V Min-Max：%3 -- %4</translation>
    </message>
    <message id="view.menu">
        <source>View(&amp;V)</source>
        <translation>View(&amp;V)</translation>
    </message>
    <message id="view.fit">
        <source>Fit</source>
        <translation>Fit</translation>
    </message>
    <message id="view.fit.tip">
        <source>Fit the whole program into the view</source>
        <translation>Fit the whole program into the view</translation>
    </message>
    <message id="view.move">
        <source>Move</source>
        <translation>Move</translation>
    </message>
    <message id="view.move.tip">
        <source>Drag the picture with the mouse</source>
        <translation>Drag the picture with the mouse</translation>
    </message>
    <message id="view.zoom_in">
        <source>Zoom In</source>
        <translation>Zoom In</translation>
    </message>
    <message id="view.zoom_in.tip">
        <source>Zoom in around the last clicked point</source>
        <translation>Zoom in around the last clicked point</translation>
    </message>
    <message id="view.zoom_out">
        <source>Zoom Out</source>
        <translation>Zoom Out</translation>
    </message>
    <message id="view.zoom_out.tip">
        <source>Zoom out around the last clicked point</source>
        <translation>Zoom out around the last clicked point</translation>
    </message>
    <message id="view.grid">
        <source>Grid(&amp;C)</source>
        <translation>Grid(&amp;C)</translation>
    </message>
    <message id="view.grid.tip">
        <source>Show or hide the grid</source>
        <translation>Show or hide the grid</translation>
    </message>
    <message id="view.full_screen">
        <source>Full Screen(&amp;A)</source>
        <translation>Full Screen(&amp;A)</translation>
    </message>
    <message id="view.full_screen.tip">
        <source>Show or hide the large position readout</source>
        <translation>Show or hide the large position readout</translation>
    </message>
    <message id="mini.transparent">
        <source>Transparent</source>
        <translation>Transparent</translation>
    </message>
    <message id="mini.hide">
        <source>Hide</source>
        <translation>Hide</translation>
    </message>
</context>
</TS>
