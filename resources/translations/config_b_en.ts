<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>config_b</name>
    <message id="61718">
        <source>[ATTENTION] Will clear all settings to the default values,continue or not?</source>
        <translation>[ATTENTION] Will clear all settings to the default values,continue or not?</translation>
    </message>
    <message id="config.phase.title">
        <source>Phase Config</source>
        <translation>Phase Config</translation>
    </message>
    <message id="config.phase.xy">
        <source>X/Y Axis</source>
        <translation>X/Y Axis</translation>
    </message>
    <message id="config.phase.uv">
        <source>U/V Axis</source>
        <translation>U/V Axis</translation>
    </message>
    <message id="config.phase.type">
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message id="config.phase.rate">
        <source>PlusRate:</source>
        <translation>PlusRate:</translation>
    </message>
    <message id="config.phase.width">
        <source>PlusWidth:</source>
        <translation>PlusWidth:</translation>
    </message>
    <message id="config.phase.lock">
        <source>LockLevel:</source>
        <translation>LockLevel:</translation>
    </message>
    <message id="config.phase.lock.low">
        <source>Low</source>
        <translation>Low</translation>
    </message>
    <message id="config.phase.lock.high">
        <source>High</source>
        <translation>High</translation>
    </message>
    <message id="config.phase.rollgap">
        <source>Roll Plus Gap:</source>
        <translation>Roll Plus Gap:</translation>
    </message>
    <message id="config.phase.rollnote">
        <source>us(Servo:0 Recommended; MicroStep:150)</source>
        <translation>us(Servo:0 Recommended; MicroStep:150)</translation>
    </message>
    <message id="config.phase.drive">
        <source>Please choose the drive type.</source>
        <translation>Please choose the drive type.</translation>
    </message>
    <message id="config.phase.changed">
        <source>The choice is different with last time, be careful!</source>
        <translation>The choice is different with last time, be careful!</translation>
    </message>
    <message id="config.phase.sure">
        <source>Are you sure to modify it?</source>
        <translation>Are you sure to modify it?</translation>
    </message>
    <message id="config.direction.title">
        <source>Debug</source>
        <translation>Debug</translation>
    </message>
    <message id="config.direction.invert">
        <source>Invert</source>
        <translation>Invert</translation>
    </message>
    <message id="config.direction.single">
        <source>Single-Step</source>
        <translation>Single-Step</translation>
    </message>
    <message id="config.direction.multi">
        <source>Mult-Steps</source>
        <translation>Mult-Steps</translation>
    </message>
    <message id="config.direction.steps">
        <source>Steps:</source>
        <translation>Steps:</translation>
    </message>
    <message id="config.debugging.title">
        <source>Debugging...</source>
        <translation>Debugging...</translation>
    </message>
    <message id="config.debugging.progress">
        <source>  %1 / %2 Steps</source>
        <translation>  %1 / %2 Steps</translation>
    </message>
    <message id="config.debugging.stop">
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message id="config.stop.title">
        <source>Stop-Machine Config</source>
        <translation>Stop-Machine Config</translation>
    </message>
    <message id="config.stop.test">
        <source>Stop-Machine Test</source>
        <translation>Stop-Machine Test</translation>
    </message>
    <message id="config.option.title">
        <source>Korvex Setup</source>
        <translation>Korvex Setup</translation>
    </message>
    <message id="config.option.name">
        <source>Machine Name:</source>
        <translation>Machine Name:</translation>
    </message>
    <message id="config.option.program">
        <source>Program software path</source>
        <translation>Program software path</translation>
    </message>
    <message id="config.option.browse">
        <source>Browse</source>
        <translation>Browse</translation>
    </message>
    <message id="config.option.autoshut">
        <source>Auto Shut Down PC When...</source>
        <translation>Auto Shut Down PC When...</translation>
    </message>
    <message id="config.option.finish">
        <source>Finish Working</source>
        <translation>Finish Working</translation>
    </message>
    <message id="config.option.pause">
        <source>Pause Working (including: Pause Code, SegStop Point, Plan-Pause Point)</source>
        <translation>Pause Working (including: Pause Code, SegStop Point, Plan-Pause Point)</translation>
    </message>
    <message id="config.option.others">
        <source>Others</source>
        <translation>Others</translation>
    </message>
    <message id="config.option.nostop">
        <source>Don't Output Stop-Machine Signal</source>
        <translation>Don't Output Stop-Machine Signal</translation>
    </message>
    <message id="config.option.nomusic">
        <source>Don't Play the Alarm Voice</source>
        <translation>Don't Play the Alarm Voice</translation>
    </message>
    <message id="config.option.novkf">
        <source>Disable F1-F12</source>
        <translation>Disable F1-F12</translation>
    </message>
    <message id="config.option.noseal">
        <source>Don't Auto Seal the Graph</source>
        <translation>Don't Auto Seal the Graph</translation>
    </message>
    <message id="config.option.taper">
        <source>Taper Config Default as</source>
        <translation>Taper Config Default as</translation>
    </message>
    <message id="config.option.upper">
        <source>Upper Graph:</source>
        <translation>Upper Graph:</translation>
    </message>
    <message id="config.option.below">
        <source>Below Graph:</source>
        <translation>Below Graph:</translation>
    </message>
    <message id="config.option.save">
        <source>SAVE</source>
        <translation>SAVE</translation>
    </message>
    <message id="config.option.namebad">
        <source>The machine name must be %1 to %2 bytes long.</source>
        <translation>The machine name must be %1 to %2 bytes long.</translation>
    </message>
</context>
</TS>
