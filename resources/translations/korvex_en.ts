<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>korvex</name>
    <message id="61446">
        <source>No Title</source>
        <translation>No Title</translation>
    </message>
    <message id="61482">
        <source>Please stop the simulating or cutting work first!</source>
        <translation>Please stop the simulating or cutting work first!</translation>
    </message>
    <message id="61483">
        <source>Will exit the cutting, save or not?</source>
        <translation>Will exit the cutting, save or not?</translation>
    </message>
    <message id="61486">
        <source>Will close the graph,are you sure?</source>
        <translation>Will close the graph,are you sure?</translation>
    </message>
    <message id="61489">
        <source>%1um/grid</source>
        <translation>%1um/grid</translation>
    </message>
    <message id="61528">
        <source>Used Time:%1:%2:%3</source>
        <translation>Used Time:%1:%2:%3</translation>
    </message>
    <message id="61529">
        <source>Loop:%1/%2</source>
        <translation>Loop:%1/%2</translation>
    </message>
    <message id="61531">
        <source>Are you sure to exit?</source>
        <translation>Are you sure to exit?</translation>
    </message>
    <message id="61535">
        <source>X/Y Max Spd:%1 steps/sec</source>
        <translation>X/Y Max Spd:%1 steps/sec</translation>
    </message>
    <message id="61537">
        <source>Noname</source>
        <translation>Noname</translation>
    </message>
    <message id="61623">
        <source>If choose 'NO', the work will be LOST!!!

Please choose again</source>
        <translation>If choose 'NO', the work will be LOST!!!

Please choose again</translation>
    </message>
    <message id="61643">
        <source>Windows 98 can't be supported, please use Windows 2000/XP/7</source>
        <translation>Windows 98 can't be supported, please use Windows 2000/XP/7</translation>
    </message>
    <message id="61656">
        <source>Read Dao table failed</source>
        <translation>Read Dao table failed</translation>
    </message>
    <message id="61657">
        <source>Write Dao table failed</source>
        <translation>Write Dao table failed</translation>
    </message>
    <message id="korvex.exit_anyway">
        <source>Exit anyway? The changes to the pulse parameter table made in this session will be lost.</source>
        <translation>Exit anyway? The changes to the pulse parameter table made in this session will be lost.</translation>
    </message>
    <message id="korvex.title_format">
        <source>%1-%2 : %3</source>
        <translation>%1-%2 : %3</translation>
    </message>
    <message id="korvex.alarm_title">
        <source>【%1-%2】</source>
        <translation>【%1-%2】</translation>
    </message>
    <message id="comm.title">
        <source>Comm Config</source>
        <translation>Comm Config</translation>
    </message>
    <message id="comm.port_label">
        <source>Comm Port:</source>
        <translation>Comm Port:</translation>
    </message>
    <message id="comm.hint">
        <source>Choose the serial port of the control card, or type COMn or a device path such as /dev/ttyUSB0.</source>
        <translation>Choose the serial port of the control card, or type COMn or a device path such as /dev/ttyUSB0.</translation>
    </message>
    <message id="comm.dev_manager">
        <source>Dev Manager</source>
        <translation>Dev Manager</translation>
    </message>
    <message id="comm.port_error">
        <source>Port Error! Please input like "COMx" (x for number)</source>
        <translation>Port Error! Please input like "COMx" (x for number)</translation>
    </message>
    <message id="comm.cant_open">
        <source>Can't open %1</source>
        <translation>Can't open %1</translation>
    </message>
    <message id="comm.cant_connect">
        <source>Can't connect to (%1)!</source>
        <translation>Can't connect to (%1)!</translation>
    </message>
    <message id="comm.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="comm.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="tips.title">
        <source>Tips</source>
        <translation>Tips</translation>
    </message>
    <message id="tips.text">
        <source>    Before Working,please check the SETTINGS of PHASE and DIRECTION!</source>
        <translation>    Before Working,please check the SETTINGS of PHASE and DIRECTION!</translation>
    </message>
    <message id="tips.dont_show">
        <source>Don't show again</source>
        <translation>Don't show again</translation>
    </message>
    <message id="phase.0">
        <source>3-6</source>
        <translation>3-6</translation>
    </message>
    <message id="phase.1">
        <source>4-8</source>
        <translation>4-8</translation>
    </message>
    <message id="phase.2">
        <source>5-10</source>
        <translation>5-10</translation>
    </message>
    <message id="phase.3">
        <source>MicroStep</source>
        <translation>MicroStep</translation>
    </message>
    <message id="phase.4">
        <source>Servo</source>
        <translation>Servo</translation>
    </message>
    <message id="phase.pair">
        <source>%1,%2</source>
        <translation>%1,%2</translation>
    </message>
    <message id="menu.file">
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message id="menu.open">
        <source>Open(&amp;O)...</source>
        <translation>Open(&amp;O)...</translation>
    </message>
    <message id="menu.close">
        <source>Close(&amp;Q)...</source>
        <translation>Close(&amp;Q)...</translation>
    </message>
    <message id="menu.recent">
        <source>Recent Files</source>
        <translation>Recent Files</translation>
    </message>
    <message id="menu.clear_recent">
        <source>Clear Recent Files</source>
        <translation>Clear Recent Files</translation>
    </message>
    <message id="menu.quit">
        <source>Quit(&amp;X)</source>
        <translation>Quit(&amp;X)</translation>
    </message>
    <message id="menu.no_recent">
        <source>(none)</source>
        <translation>(none)</translation>
    </message>
    <message id="menu.edit">
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message id="menu.toolbar">
        <source>Toolbar</source>
        <translation>Toolbar</translation>
    </message>
    <message id="status.ready">
        <source>Ready</source>
        <translation>Ready</translation>
    </message>
    <message id="startup.link_lost">
        <source>The card does not answer (command 0x%1). Please check the cable and restart the program.</source>
        <translation>The card does not answer (command 0x%1). Please check the cable and restart the program.</translation>
    </message>
    <message id="startup.no_card_id">
        <source>The card did not answer when asked for its identity.</source>
        <translation>The card did not answer when asked for its identity.</translation>
    </message>
    <message id="startup.data_dir_failed">
        <source>Can't create the data directory %1</source>
        <translation>Can't create the data directory %1</translation>
    </message>
    <message id="view.graph_empty">
        <source>No program loaded</source>
        <translation>No program loaded</translation>
    </message>
    <message id="view.freq">
        <source>Freq: %1</source>
        <translation>Freq: %1</translation>
    </message>
    <message id="button.simulate">
        <source>Simulate</source>
        <translation>Simulate</translation>
    </message>
    <message id="button.walk">
        <source>Walk F3</source>
        <translation>Walk F3</translation>
    </message>
    <message id="button.cut">
        <source>Cut F4</source>
        <translation>Cut F4</translation>
    </message>
    <message id="button.back">
        <source>Back F5</source>
        <translation>Back F5</translation>
    </message>
    <message id="button.motor_on">
        <source>Motor(ON)F1</source>
        <translation>Motor(ON)F1</translation>
    </message>
    <message id="button.motor_off">
        <source>Motor(OFF)F1</source>
        <translation>Motor(OFF)F1</translation>
    </message>
    <message id="button.freq_on">
        <source>Freq(ON)F2</source>
        <translation>Freq(ON)F2</translation>
    </message>
    <message id="button.freq_off">
        <source>Freq(OFF)F2</source>
        <translation>Freq(OFF)F2</translation>
    </message>
    <message id="status.speed_adjust">
        <source>Speed Adjust:</source>
        <translation>Speed Adjust:</translation>
    </message>
    <message id="status.total_segments">
        <source>Total Segment: %1</source>
        <translation>Total Segment: %1</translation>
    </message>
    <message id="startup.connecting">
        <source>Connecting to %1...</source>
        <translation>Connecting to %1...</translation>
    </message>
    <message id="mp-menu-multiple">
        <source>Multiple(&amp;M)</source>
        <translation>Multiple(&amp;M)</translation>
    </message>
    <message id="mp-menu-segment">
        <source>Segment Multiple(&amp;S)</source>
        <translation>Segment Multiple(&amp;S)</translation>
    </message>
    <message id="mp-multiple-title">
        <source>Multiple Loop Config</source>
        <translation>Multiple Loop Config</translation>
    </message>
    <message id="mp-segment-title">
        <source>Segment Multiple Config</source>
        <translation>Segment Multiple Config</translation>
    </message>
    <message id="mp-mode">
        <source>Matrix/Punch:</source>
        <translation>Matrix/Punch:</translation>
    </message>
    <message id="mp-matrix">
        <source>Matrix</source>
        <translation>Matrix</translation>
    </message>
    <message id="mp-punch">
        <source>Punch</source>
        <translation>Punch</translation>
    </message>
    <message id="mp-loops">
        <source>Loops:</source>
        <translation>Loops:</translation>
    </message>
    <message id="mp-reserved">
        <source>Reserved Distance:</source>
        <translation>Reserved Distance:</translation>
    </message>
    <message id="mp-last-gap">
        <source>Last Reserved Gap:</source>
        <translation>Last Reserved Gap:</translation>
    </message>
    <message id="mp-once">
        <source>Reserved Once</source>
        <translation>Reserved Once</translation>
    </message>
    <message id="mp-first-gap">
        <source>Switch Before 1st-2nd</source>
        <translation>Switch Before 1st-2nd</translation>
    </message>
    <message id="mp-index">
        <source>Index(0-7)</source>
        <translation>Index(0-7)</translation>
    </message>
    <message id="mp-gap">
        <source>Gap(mm)</source>
        <translation>Gap(mm)</translation>
    </message>
    <message id="mp-pass">
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message id="mp-lead-in-index">
        <source>LeadIn Index:</source>
        <translation>LeadIn Index:</translation>
    </message>
    <message id="mp-lead-out-index">
        <source>LeadOut Index:</source>
        <translation>LeadOut Index:</translation>
    </message>
    <message id="mp-first-reserved-index">
        <source>First Reserved Index:</source>
        <translation>First Reserved Index:</translation>
    </message>
    <message id="mp-last-reserved-index">
        <source>Last Reserved Index:</source>
        <translation>Last Reserved Index:</translation>
    </message>
    <message id="mp-in-index">
        <source>In Index:</source>
        <translation>In Index:</translation>
    </message>
    <message id="mp-out-index">
        <source>Out Index:</source>
        <translation>Out Index:</translation>
    </message>
    <message id="mp-sign-note">
        <source>+ :Along the direction,shift on the RIGHT   - :Along the direction,shift on the LEFT</source>
        <translation>+ :Along the direction,shift on the RIGHT   - :Along the direction,shift on the LEFT</translation>
    </message>
    <message id="mp-lead-length">
        <source>Lead Length:</source>
        <translation>Lead Length:</translation>
    </message>
    <message id="mp-lead-note">
        <source>Lead Length must be the same positive or negative with Gap</source>
        <translation>Lead Length must be the same positive or negative with Gap</translation>
    </message>
    <message id="mp-source-failed">
        <source>The following file processed failed:
%1</source>
        <translation>The following file processed failed:
%1</translation>
    </message>
    <message id="mp-step-too-long">
        <source>The reserved length is too large!</source>
        <translation>The reserved length is too large!</translation>
    </message>
    <message id="mp-failed">
        <source>Generate multple file failed</source>
        <translation>Generate multple file failed</translation>
    </message>
    <message id="menu.motor">
        <source>Motor&#9;F1</source>
        <translation>Motor&#9;F1</translation>
    </message>
    <message id="menu.freq">
        <source>Freq&#9;F2</source>
        <translation>Freq&#9;F2</translation>
    </message>
    <message id="menu.fast_roll">
        <source>Fast Roll&#9;F9</source>
        <translation>Fast Roll&#9;F9</translation>
    </message>
    <message id="menu.segment_stop">
        <source>Segment Stop&#9;F10</source>
        <translation>Segment Stop&#9;F10</translation>
    </message>
    <message id="menu.reverse">
        <source>Reverse&#9;F6</source>
        <translation>Reverse&#9;F6</translation>
    </message>
    <message id="menu.ignore_d">
        <source>Ignore D</source>
        <translation>Ignore D</translation>
    </message>
    <message id="menu.speed_up">
        <source>Speed Up&#9;+</source>
        <translation>Speed Up&#9;+</translation>
    </message>
    <message id="menu.speed_down">
        <source>Speed Down&#9;-</source>
        <translation>Speed Down&#9;-</translation>
    </message>
    <message id="menu.reset">
        <source>Reset(&amp;Z)...</source>
        <translation>Reset(&amp;Z)...</translation>
    </message>
    <message id="menu.view_toolbar">
        <source>Toolbar(&amp;T)</source>
        <translation>Toolbar(&amp;T)</translation>
    </message>
    <message id="menu.view_status_bar">
        <source>Status Bar(&amp;S)</source>
        <translation>Status Bar(&amp;S)</translation>
    </message>
    <message id="menu.phase">
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message id="menu.speed">
        <source>Speed</source>
        <translation>Speed</translation>
    </message>
    <message id="menu.backward">
        <source>Backward</source>
        <translation>Backward</translation>
    </message>
    <message id="menu.loop">
        <source>Loop</source>
        <translation>Loop</translation>
    </message>
    <message id="menu.track">
        <source>Track</source>
        <translation>Track</translation>
    </message>
    <message id="menu.direction">
        <source>Direction</source>
        <translation>Direction</translation>
    </message>
    <message id="menu.stop_machine">
        <source>Stop-Machine</source>
        <translation>Stop-Machine</translation>
    </message>
    <message id="menu.plan_pause">
        <source>Plan-Pause</source>
        <translation>Plan-Pause</translation>
    </message>
    <message id="menu.restore_default">
        <source>*Restore Default*</source>
        <translation>*Restore Default*</translation>
    </message>
    <message id="menu.adjust">
        <source>Adjust</source>
        <translation>Adjust</translation>
    </message>
    <message id="menu.option">
        <source>Option</source>
        <translation>Option</translation>
    </message>
    <message id="menu.option_korvex">
        <source>Korvex(&amp;W)</source>
        <translation>Korvex(&amp;W)</translation>
    </message>
    <message id="menu.help">
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message id="menu.about">
        <source>About Korvex(&amp;A)...</source>
        <translation>About Korvex(&amp;A)...</translation>
    </message>
    <message id="menu.agent">
        <source>Agent(&amp;D)...</source>
        <translation>Agent(&amp;D)...</translation>
    </message>
    <message id="about.title">
        <source>About Korvex</source>
        <translation>About Korvex</translation>
    </message>
    <message id="about.version">
        <source>Korvex V%1 (%2)</source>
        <translation>Korvex V%1 (%2)</translation>
    </message>
    <message id="about.card_id">
        <source>Card: %1</source>
        <translation>Card: %1</translation>
    </message>
    <message id="about.copyright">
        <source>Wire-cut EDM controller</source>
        <translation>Wire-cut EDM controller</translation>
    </message>
    <message id="about.capability.0">
        <source>XYUV: phase motors only</source>
        <translation>XYUV: phase motors only</translation>
    </message>
    <message id="about.capability.1">
        <source>XY: micro-step/servo motors</source>
        <translation>XY: micro-step/servo motors</translation>
    </message>
    <message id="about.capability.2">
        <source>XYUV: micro-step/servo motors + single-pulse HF output</source>
        <translation>XYUV: micro-step/servo motors + single-pulse HF output</translation>
    </message>
    <message id="about.capability.3">
        <source>XY: micro-step/servo motors + single-pulse HF output + power/wire-speed selection</source>
        <translation>XY: micro-step/servo motors + single-pulse HF output + power/wire-speed selection</translation>
    </message>
    <message id="about.capability.4">
        <source>XY: micro-step/servo only + hand wheel on the extension port</source>
        <translation>XY: micro-step/servo only + hand wheel on the extension port</translation>
    </message>
    <message id="about.capability.unknown">
        <source>Unknown version</source>
        <translation>Unknown version</translation>
    </message>
    <message id="agent.title">
        <source>Agent</source>
        <translation>Agent</translation>
    </message>
    <message id="agent.text">
        <source>This controller and the card it talks to:</source>
        <translation>This controller and the card it talks to:</translation>
    </message>
    <message id="agent.version">
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message id="agent.data_dir">
        <source>Data directory:</source>
        <translation>Data directory:</translation>
    </message>
    <message id="agent.port">
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message id="agent.card_id">
        <source>Card ID:</source>
        <translation>Card ID:</translation>
    </message>
</context>
</TS>
