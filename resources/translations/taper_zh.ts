<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>taper</name>
    <message id="tp-menu-taper">
        <source>Taper(&amp;Z)</source>
        <translation>锥度(&amp;Z)</translation>
    </message>
    <message id="tp-title">
        <source>Taper</source>
        <translation>锥度文件生成</translation>
    </message>
    <message id="tp-one-graph">
        <source>One Graph</source>
        <translation>单图形（同锥）</translation>
    </message>
    <message id="tp-two-graphs">
        <source>Two Graphs</source>
        <translation>双图形（变锥）</translation>
    </message>
    <message id="tp-below">
        <source>Below Graph:</source>
        <translation>下表面文件：</translation>
    </message>
    <message id="tp-upper">
        <source>Upper Graph:</source>
        <translation>上表面文件：</translation>
    </message>
    <message id="tp-browse">
        <source>Browse</source>
        <translation>浏览</translation>
    </message>
    <message id="tp-browse-caption">
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message id="tp-browse-filter">
        <source>Code files (*.3b *.iso *.h3b *.H3B);;All files (*)</source>
        <translation>代码文件 (*.3b *.iso *.h3b *.H3B);;所有文件 (*)</translation>
    </message>
    <message id="tp-height">
        <source>Rollers's Distance:</source>
        <translation>导轮距离：</translation>
    </message>
    <message id="tp-width">
        <source>Thickness:</source>
        <translation>工件厚度：</translation>
    </message>
    <message id="tp-base">
        <source>Below Height:</source>
        <translation>下导轮高度：</translation>
    </message>
    <message id="tp-r">
        <source>Roller's R:</source>
        <translation>导轮半径：</translation>
    </message>
    <message id="tp-degree">
        <source>Degree:</source>
        <translation>锥度角：</translation>
    </message>
    <message id="tp-one-side">
        <source>(One Side)</source>
        <translation>（单边）</translation>
    </message>
    <message id="tp-rmin">
        <source>Rmin:</source>
        <translation>最小半径：</translation>
    </message>
    <message id="tp-machine-type">
        <source>Machine Type:</source>
        <translation>机床类型：</translation>
    </message>
    <message id="tp-slide">
        <source>Slide</source>
        <translation>小拖板</translation>
    </message>
    <message id="tp-swing">
        <source>Swing</source>
        <translation>摇摆导轮</translation>
    </message>
    <message id="tp-lever">
        <source>Lever</source>
        <translation>摇摆丝架</translation>
    </message>
    <message id="tp-column-code">
        <source>Code</source>
        <translation>代码</translation>
    </message>
    <message id="tp-column-degree">
        <source>Degree</source>
        <translation>锥度</translation>
    </message>
    <message id="tp-column-flag">
        <source>Flag</source>
        <translation>标志</translation>
    </message>
    <message id="tp-notice-heading">
        <source>[NOTICE]</source>
        <translation>【注意】</translation>
    </message>
    <message id="tp-notice">
        <source>Use [Degree] column to set degree for this line;
Use [Flag] column to define special function for this line:
'ER' means taking the code as the same arc;
'NER' means that the code shouldn't be taken as the same arc.</source>
        <translation>用[锥度]列设置该行的锥度；
用[标志]列定义该行的特殊功能：
'ER'表示该段按等半径圆弧处理；
'NER'表示该段不按等半径圆弧处理。</translation>
    </message>
    <message id="tp-how">
        <source>How to set?</source>
        <translation>如何设置？</translation>
    </message>
    <message id="tp-how-text">
        <source>Rollers's Distance: the distance between the upper and the lower guide roller.
Thickness: the thickness of the workpiece.
Below Height: the distance from the lower guide roller to the workpiece's lower face.
Roller's R: the radius of the guide rollers.
Degree (One Side): the angle of the wire to the vertical; positive tilts the upper contour to the right of the cutting direction.
Rmin: arcs with a smaller radius keep their radius (flag 'NER' to offset one anyway).

One Graph: choose the lower or the upper contour and set the degree per line.
Two Graphs: choose both contours; they must have the same segments.</source>
        <translation>导轮距离：上下导轮之间的距离。
工件厚度：工件的厚度。
下导轮高度：下导轮到工件下表面的距离。
导轮半径：导轮的半径。
锥度角（单边）：电极丝与竖直方向的夹角；正值使上表面轮廓向切割方向的右侧偏移。
Rmin：半径小于此值的圆弧保持半径不变（标志'NER'可强制偏移）。

单图形：选择下表面或上表面文件，并按行设置锥度。
双图形：同时选择上下表面文件，两者段数必须一致。</translation>
    </message>
    <message id="tp-thickness-tip">
        <source>In One Graph mode,the Thickness value is irrelevant!

When the actual thickness is small,the bigger thickness value is suggested!</source>
        <translation>单图形模式下，厚度值与结果无关！

实际厚度较小时，建议填写较大的厚度值！</translation>
    </message>
    <message id="tp-ok">
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message id="tp-cancel">
        <source>CANCEL</source>
        <translation>取消</translation>
    </message>
    <message id="tp-select-one">
        <source>Please select the below or upper graph</source>
        <translation>请选择下表面或上表面文件</translation>
    </message>
    <message id="tp-select-not-both">
        <source>Can't select both graphs, please choose below or upper one</source>
        <translation>同锥变锥不能同时选择下表面和上表面</translation>
    </message>
    <message id="tp-upper-failed">
        <source>Upper graph generated failed</source>
        <translation>生成上表面文件失败</translation>
    </message>
    <message id="tp-below-failed">
        <source>Below graph generated failed</source>
        <translation>生成下表面文件失败</translation>
    </message>
    <message id="tp-select-both">
        <source>Please select the upper and below graph</source>
        <translation>请选择上/下表面文件</translation>
    </message>
    <message id="tp-file-failed">
        <source>The following file processed failed:
%1</source>
        <translation>处理以下文件出错：
%1</translation>
    </message>
    <message id="tp-different-segments">
        <source>The upper and below graphs have different segments</source>
        <translation>上/下表面文件段数不一致</translation>
    </message>
    <message id="tp-show-failed">
        <source>The graph showed failed!</source>
        <translation>文件显示失败！</translation>
    </message>
    <message id="tp-guides-range">
        <source>Guide positions out of range, check the taper values!</source>
        <translation>导轮位置超出范围，请检查锥度参数！</translation>
    </message>
    <message id="61520">
        <source>Height:%1  Width:%2  Base:%3  R:%4  Degree:%5</source>
        <translation>导轮距离:%1  厚度:%2  下导轮高度:%3  导轮半径:%4  锥度:%5</translation>
    </message>
</context>
</TS>
