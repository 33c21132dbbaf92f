<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>taper</name>
    <message id="tp-menu-taper">
        <source>Taper(&amp;Z)</source>
        <translation>Taper(&amp;Z)</translation>
    </message>
    <message id="tp-title">
        <source>Taper</source>
        <translation>Taper</translation>
    </message>
    <message id="tp-one-graph">
        <source>One Graph</source>
        <translation>One Graph</translation>
    </message>
    <message id="tp-two-graphs">
        <source>Two Graphs</source>
        <translation>Two Graphs</translation>
    </message>
    <message id="tp-below">
        <source>Below Graph:</source>
        <translation>Below Graph:</translation>
    </message>
    <message id="tp-upper">
        <source>Upper Graph:</source>
        <translation>Upper Graph:</translation>
    </message>
    <message id="tp-browse">
        <source>Browse</source>
        <translation>Browse</translation>
    </message>
    <message id="tp-browse-caption">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="tp-browse-filter">
        <source>Code files (*.3b *.iso *.h3b *.H3B);;All files (*)</source>
        <translation>Code files (*.3b *.iso *.h3b *.H3B);;All files (*)</translation>
    </message>
    <message id="tp-height">
        <source>Rollers's Distance:</source>
        <translation>Rollers's Distance:</translation>
    </message>
    <message id="tp-width">
        <source>Thickness:</source>
        <translation>Thickness:</translation>
    </message>
    <message id="tp-base">
        <source>Below Height:</source>
        <translation>Below Height:</translation>
    </message>
    <message id="tp-r">
        <source>Roller's R:</source>
        <translation>Roller's R:</translation>
    </message>
    <message id="tp-degree">
        <source>Degree:</source>
        <translation>Degree:</translation>
    </message>
    <message id="tp-one-side">
        <source>(One Side)</source>
        <translation>(One Side)</translation>
    </message>
    <message id="tp-rmin">
        <source>Rmin:</source>
        <translation>Rmin:</translation>
    </message>
    <message id="tp-machine-type">
        <source>Machine Type:</source>
        <translation>Machine Type:</translation>
    </message>
    <message id="tp-slide">
        <source>Slide</source>
        <translation>Slide</translation>
    </message>
    <message id="tp-swing">
        <source>Swing</source>
        <translation>Swing</translation>
    </message>
    <message id="tp-lever">
        <source>Lever</source>
        <translation>Lever</translation>
    </message>
    <message id="tp-column-code">
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message id="tp-column-degree">
        <source>Degree</source>
        <translation>Degree</translation>
    </message>
    <message id="tp-column-flag">
        <source>Flag</source>
        <translation>Flag</translation>
    </message>
    <message id="tp-notice-heading">
        <source>[NOTICE]</source>
        <translation>[NOTICE]</translation>
    </message>
    <message id="tp-notice">
        <source>Use [Degree] column to set degree for this line;
Use [Flag] column to define special function for this line:
'ER' means taking the code as the same arc;
'NER' means that the code shouldn't be taken as the same arc.</source>
        <translation>Use [Degree] column to set degree for this line;
Use [Flag] column to define special function for this line:
'ER' means taking the code as the same arc;
'NER' means that the code shouldn't be taken as the same arc.</translation>
    </message>
    <message id="tp-how">
        <source>How to set?</source>
        <translation>How to set?</translation>
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
        <translation>Rollers's Distance: the distance between the upper and the lower guide roller.
Thickness: the thickness of the workpiece.
Below Height: the distance from the lower guide roller to the workpiece's lower face.
Roller's R: the radius of the guide rollers.
Degree (One Side): the angle of the wire to the vertical; positive tilts the upper contour to the right of the cutting direction.
Rmin: arcs with a smaller radius keep their radius (flag 'NER' to offset one anyway).

One Graph: choose the lower or the upper contour and set the degree per line.
Two Graphs: choose both contours; they must have the same segments.</translation>
    </message>
    <message id="tp-thickness-tip">
        <source>In One Graph mode,the Thickness value is irrelevant!

When the actual thickness is small,the bigger thickness value is suggested!</source>
        <translation>In One Graph mode,the Thickness value is irrelevant!

When the actual thickness is small,the bigger thickness value is suggested!</translation>
    </message>
    <message id="tp-ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="tp-cancel">
        <source>CANCEL</source>
        <translation>CANCEL</translation>
    </message>
    <message id="tp-select-one">
        <source>Please select the below or upper graph</source>
        <translation>Please select the below or upper graph</translation>
    </message>
    <message id="tp-select-not-both">
        <source>Can't select both graphs, please choose below or upper one</source>
        <translation>Can't select both graphs, please choose below or upper one</translation>
    </message>
    <message id="tp-upper-failed">
        <source>Upper graph generated failed</source>
        <translation>Upper graph generated failed</translation>
    </message>
    <message id="tp-below-failed">
        <source>Below graph generated failed</source>
        <translation>Below graph generated failed</translation>
    </message>
    <message id="tp-select-both">
        <source>Please select the upper and below graph</source>
        <translation>Please select the upper and below graph</translation>
    </message>
    <message id="tp-file-failed">
        <source>The following file processed failed:
%1</source>
        <translation>The following file processed failed:
%1</translation>
    </message>
    <message id="tp-different-segments">
        <source>The upper and below graphs have different segments</source>
        <translation>The upper and below graphs have different segments</translation>
    </message>
    <message id="tp-show-failed">
        <source>The graph showed failed!</source>
        <translation>The graph showed failed!</translation>
    </message>
    <message id="tp-guides-range">
        <source>Guide positions out of range, check the taper values!</source>
        <translation>Guide positions out of range, check the taper values!</translation>
    </message>
    <message id="61520">
        <source>Height:%1  Width:%2  Base:%3  R:%4  Degree:%5</source>
        <translation>Height:%1  Width:%2  Base:%3  R:%4  Degree:%5</translation>
    </message>
</context>
</TS>
