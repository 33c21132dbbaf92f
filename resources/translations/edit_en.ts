<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>edit</name>
    <message id="ed-menu-edit">
        <source>Edit(&amp;E)</source>
        <translation>Edit(&amp;E)</translation>
    </message>
    <message id="ed-menu-generate3b">
        <source>Generate 3B(&amp;N)...</source>
        <translation>Generate 3B(&amp;N)...</translation>
    </message>
    <message id="ed-menu-forward-flip">
        <source>90-degree Forward Flip(&amp;U)</source>
        <translation>90-degree Forward Flip(&amp;U)</translation>
    </message>
    <message id="ed-menu-reverse-flip">
        <source>90-degree Reverse Flip(&amp;V)</source>
        <translation>90-degree Reverse Flip(&amp;V)</translation>
    </message>
    <message id="ed-menu-vertical-mirror">
        <source>Vertical Mirror(&amp;X)</source>
        <translation>Vertical Mirror(&amp;X)</translation>
    </message>
    <message id="ed-menu-horizontal-mirror">
        <source>Horizontal Mirror(&amp;Y)</source>
        <translation>Horizontal Mirror(&amp;Y)</translation>
    </message>
    <message id="ed-menu-offset">
        <source>Offset(&amp;G)</source>
        <translation>Offset(&amp;G)</translation>
    </message>
    <message id="ed-not-supported">
        <source>Not supported!</source>
        <translation>Not supported!</translation>
    </message>
    <message id="ed-code-generated">
        <source>Code has been generated!</source>
        <translation>Code has been generated!</translation>
    </message>
    <message id="ed-offset-not-taper">
        <source>Sorry!The function is not supported by taper or multiple!</source>
        <translation>Sorry!The function is not supported by taper or multiple!</translation>
    </message>
    <message id="ed-offset-jumps">
        <source>The codes with jump segments are not supported in the version!</source>
        <translation>The codes with jump segments are not supported in the version!</translation>
    </message>
    <message id="ed-offset-failed">
        <source>Offset setup failed!</source>
        <translation>Offset setup failed!</translation>
    </message>
    <message id="ed-offset-range">
        <source>The offset must be from -5 to 5 mm!</source>
        <translation>The offset must be from -5 to 5 mm!</translation>
    </message>
    <message id="ed-offset-title">
        <source>Offset</source>
        <translation>Offset</translation>
    </message>
    <message id="ed-offset-field">
        <source>Offset:</source>
        <translation>Offset:</translation>
    </message>
    <message id="ed-offset-note">
        <source>+ :Along the direction,shift on the RIGHT

- :Along the direction,shift on the LEFT

If the offset has been already set before, please don't set it here again!</source>
        <translation>+ :Along the direction,shift on the RIGHT

- :Along the direction,shift on the LEFT

If the offset has been already set before, please don't set it here again!</translation>
    </message>
    <message id="ed-offset-corner">
        <source>Corner</source>
        <translation>Corner</translation>
    </message>
    <message id="ed-offset-sharp">
        <source>Taper Angle</source>
        <translation>Taper Angle</translation>
    </message>
    <message id="ed-offset-round">
        <source>Round Angle</source>
        <translation>Round Angle</translation>
    </message>
    <message id="ed-gen3b-title">
        <source>Generate 3B by yourself</source>
        <translation>Generate 3B by yourself</translation>
    </message>
    <message id="ed-gen3b-start-x">
        <source>Start X:</source>
        <translation>Start X:</translation>
    </message>
    <message id="ed-gen3b-start-y">
        <source>Start Y:</source>
        <translation>Start Y:</translation>
    </message>
    <message id="ed-gen3b-statement">
        <source>Statement</source>
        <translation>Statement</translation>
    </message>
    <message id="ed-gen3b-direction">
        <source>Count direction:</source>
        <translation>Count direction:</translation>
    </message>
    <message id="ed-gen3b-code">
        <source>Code:</source>
        <translation>Code:</translation>
    </message>
    <message id="ed-gen3b-add">
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message id="ed-gen3b-delete">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="ed-gen3b-generate">
        <source>Gen 3B file</source>
        <translation>Gen 3B file</translation>
    </message>
    <message id="ed-gen3b-save-caption">
        <source>Save 3B file</source>
        <translation>Save 3B file</translation>
    </message>
    <message id="ed-gen3b-filter">
        <source>Wire-cut files (*.3b)</source>
        <translation>Wire-cut files (*.3b)</translation>
    </message>
    <message id="ed-target-loaded">
        <source>This file holds the program loaded now and cannot be written:
%1

Choose another name, or close the program first.</source>
        <translation>This file holds the program loaded now and cannot be written:
%1

Choose another name, or close the program first.</translation>
    </message>
    <message id="ed-replace-question">
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
</TS>
