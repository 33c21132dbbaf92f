<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>machining</name>
    <message id="61493">
        <source>Backing...</source>
        <translation>Backing...</translation>
    </message>
    <message id="61494">
        <source>Cutting...</source>
        <translation>Cutting...</translation>
    </message>
    <message id="61495">
        <source>Cut stoped</source>
        <translation>Cut stoped</translation>
    </message>
    <message id="61496">
        <source>Shorted-Back stoped</source>
        <translation>Shorted-Back stoped</translation>
    </message>
    <message id="61497">
        <source>Manual-Back stoped</source>
        <translation>Manual-Back stoped</translation>
    </message>
    <message id="61502">
        <source>Cut finished!</source>
        <translation>Cut finished!</translation>
    </message>
    <message id="61504">
        <source>Back finished!</source>
        <translation>Back finished!</translation>
    </message>
    <message id="61507">
        <source>Can't connect to (%1) and will Quit now(Err:%2)!&#10;&#10;Please restart the Korvex, the work will be continued!&#10;&#10;*ATTENTION* NOT POWER OFF THE MACHINE, OR THE POSITION WILL BE LOST!!!</source>
        <translation>Can't connect to (%1) and will Quit now(Err:%2)!&#10;&#10;Please restart the Korvex, the work will be continued!&#10;&#10;*ATTENTION* NOT POWER OFF THE MACHINE, OR THE POSITION WILL BE LOST!!!</translation>
    </message>
    <message id="61512">
        <source>Break</source>
        <translation>Break</translation>
    </message>
    <message id="61513">
        <source>Break or No freq! Please check!&#10;</source>
        <translation>Break or No freq! Please check!&#10;</translation>
    </message>
    <message id="61514">
        <source>Return finished</source>
        <translation>Return finished</translation>
    </message>
    <message id="61526">
        <source>Stoping the return work will lost the position , still need stop?</source>
        <translation>Stoping the return work will lost the position , still need stop?</translation>
    </message>
    <message id="61527">
        <source>The return work will mix the progress,still continue?</source>
        <translation>The return work will mix the progress,still continue?</translation>
    </message>
    <message id="61572">
        <source>Paused</source>
        <translation>Paused</translation>
    </message>
    <message id="61573">
        <source>Simulating...</source>
        <translation>Simulating...</translation>
    </message>
    <message id="61574">
        <source>Simulate stoped</source>
        <translation>Simulate stoped</translation>
    </message>
    <message id="61575">
        <source>Simulating...</source>
        <translation>Simulating...</translation>
    </message>
    <message id="61576">
        <source>Returning...</source>
        <translation>Returning...</translation>
    </message>
    <message id="61577">
        <source>Return stoped</source>
        <translation>Return stoped</translation>
    </message>
    <message id="61578">
        <source>Backing...</source>
        <translation>Backing...</translation>
    </message>
    <message id="61583">
        <source>Beyond the Maximum segment!</source>
        <translation>Beyond the Maximum segment!</translation>
    </message>
    <message id="61584">
        <source>Must bigger than the start segment!</source>
        <translation>Must bigger than the start segment!</translation>
    </message>
    <message id="61585">
        <source>Invalid range!</source>
        <translation>Invalid range!</translation>
    </message>
    <message id="61614">
        <source>Simulating stoped</source>
        <translation>Simulating stoped</translation>
    </message>
    <message id="61619">
        <source>Must bigger than the end segment!</source>
        <translation>Must bigger than the end segment!</translation>
    </message>
    <message id="61622">
        <source>Finished</source>
        <translation>Finished</translation>
    </message>
    <message id="61636">
        <source>The switch delay time has been set, after</source>
        <translation>The switch delay time has been set, after</translation>
    </message>
    <message id="61637">
        <source>seconds, it will go on</source>
        <translation>seconds, it will go on</translation>
    </message>
    <message id="61638">
        <source>Pause for switching</source>
        <translation>Pause for switching</translation>
    </message>
    <message id="61648">
        <source>No more STOP segment to be added</source>
        <translation>No more STOP segment to be added</translation>
    </message>
    <message id="61715">
        <source>Comm Error</source>
        <translation>Comm Error</translation>
    </message>
    <message id="61719">
        <source>Please clean the workspace</source>
        <translation>Please clean the workspace</translation>
    </message>
    <message id="61721">
        <source>Fast Rolling...</source>
        <translation>Fast Rolling...</translation>
    </message>
    <message id="61722">
        <source>Stop Rolling</source>
        <translation>Stop Rolling</translation>
    </message>
    <message id="61723">
        <source>The rolling work will mix the progress,still continue?</source>
        <translation>The rolling work will mix the progress,still continue?</translation>
    </message>
    <message id="machining.no_program">
        <source>Please open a program first!</source>
        <translation>Please open a program first!</translation>
    </message>
    <message id="machining.range_outside_program">
        <source>The work range or the current segment lies outside the loaded program: the work was not started.</source>
        <translation>The work range or the current segment lies outside the loaded program: the work was not started.</translation>
    </message>
    <message id="machining.stop_refused">
        <source>The card refused to stop: the work goes on. Press again to stop it.</source>
        <translation>The card refused to stop: the work goes on. Press again to stop it.</translation>
    </message>
    <message id="range.title">
        <source>Please Select the Segment Range</source>
        <translation>Please Select the Segment Range</translation>
    </message>
    <message id="range.note">
        <source>★Note: the range includes the start and the end segment★</source>
        <translation>★Note: the range includes the start and the end segment★</translation>
    </message>
    <message id="range.start">
        <source>Start Segment:</source>
        <translation>Start Segment:</translation>
    </message>
    <message id="range.end">
        <source>End Segment:</source>
        <translation>End Segment:</translation>
    </message>
    <message id="range.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="range.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="return.title">
        <source>User Input</source>
        <translation>User Input</translation>
    </message>
    <message id="return.prompt">
        <source>Please enter the segment to return to:</source>
        <translation>Please enter the segment to return to:</translation>
    </message>
    <message id="switch.title">
        <source>Notice Message</source>
        <translation>Notice Message</translation>
    </message>
    <message id="button.pause_simulate">
        <source>Pause Sim</source>
        <translation>Pause Sim</translation>
    </message>
    <message id="button.pause_walk">
        <source>Pause Walk F3</source>
        <translation>Pause Walk F3</translation>
    </message>
    <message id="button.pause_cut">
        <source>Pause Cut F4</source>
        <translation>Pause Cut F4</translation>
    </message>
    <message id="button.pause_back">
        <source>Pause Back F5</source>
        <translation>Pause Back F5</translation>
    </message>
    <message id="menu.control">
        <source>&amp;Control</source>
        <translation>&amp;Control</translation>
    </message>
    <message id="menu.walk">
        <source>Walk	F3</source>
        <translation>Walk	F3</translation>
    </message>
    <message id="menu.pause_walk">
        <source>Pause Walk	F3</source>
        <translation>Pause Walk	F3</translation>
    </message>
    <message id="menu.cut">
        <source>Cut	F4</source>
        <translation>Cut	F4</translation>
    </message>
    <message id="menu.pause_cut">
        <source>Pause Cut	F4</source>
        <translation>Pause Cut	F4</translation>
    </message>
    <message id="menu.back">
        <source>Back	F5</source>
        <translation>Back	F5</translation>
    </message>
    <message id="menu.pause_back">
        <source>Pause Back	F5</source>
        <translation>Pause Back	F5</translation>
    </message>
    <message id="menu.return">
        <source>Return Origin	F12</source>
        <translation>Return Origin	F12</translation>
    </message>
    <message id="menu.pause_return">
        <source>Pause Return	F12</source>
        <translation>Pause Return	F12</translation>
    </message>
    <message id="status.current_position">
        <source>Current Position:</source>
        <translation>Current Position:</translation>
    </message>
    <message id="status.below_x">
        <source>Below X:</source>
        <translation>Below X:</translation>
    </message>
    <message id="status.below_y">
        <source>Below Y:</source>
        <translation>Below Y:</translation>
    </message>
    <message id="status.upper_u">
        <source>Upper U:</source>
        <translation>Upper U:</translation>
    </message>
    <message id="status.upper_v">
        <source>Upper V:</source>
        <translation>Upper V:</translation>
    </message>
    <message id="status.wedm_progress">
        <source>WEDM Progress:</source>
        <translation>WEDM Progress:</translation>
    </message>
    <message id="status.over_steps">
        <source>Over Steps:</source>
        <translation>Over Steps:</translation>
    </message>
    <message id="status.total_steps">
        <source>Total Steps:</source>
        <translation>Total Steps:</translation>
    </message>
    <message id="status.start_segment">
        <source>Start Segment:</source>
        <translation>Start Segment:</translation>
    </message>
    <message id="status.current_segment">
        <source>Current Segment:</source>
        <translation>Current Segment:</translation>
    </message>
    <message id="status.end_segment">
        <source>End Segment:</source>
        <translation>End Segment:</translation>
    </message>
    <message id="status.total_segment">
        <source>Total Segment:</source>
        <translation>Total Segment:</translation>
    </message>
    <message id="status.progress">
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message id="status.efficiency">
        <source>Efficiency:</source>
        <translation>Efficiency:</translation>
    </message>
    <message id="status.press_to_calculate">
        <source>Press to Calculate</source>
        <translation>Press to Calculate</translation>
    </message>
    <message id="status.efficiency_value">
        <source>%1 mm2/h</source>
        <translation>%1 mm2/h</translation>
    </message>
    <message id="status.cur_speed">
        <source>Cur-Speed:</source>
        <translation>Cur-Speed:</translation>
    </message>
    <message id="status.thickness_prompt">
        <source>Please input the thickness of the work-piece:</source>
        <translation>Please input the thickness of the work-piece:</translation>
    </message>
    <message id="status.thickness_unit">
        <source>mm</source>
        <translation>mm</translation>
    </message>
    <message id="codelist.stop_hint">
        <source>Double click the code will set/clear to pause</source>
        <translation>Double click the code will set/clear to pause</translation>
    </message>
    <message id="menu.statistics">
        <source>Statistics</source>
        <translation>Statistics</translation>
    </message>
    <message id="statistics.title">
        <source>Statistics </source>
        <translation>Statistics </translation>
    </message>
    <message id="statistics.height">
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message id="statistics.current">
        <source>Current:</source>
        <translation>Current:</translation>
    </message>
    <message id="statistics.calculate">
        <source>Calculate</source>
        <translation>Calculate</translation>
    </message>
    <message id="statistics.result">
        <source>WEDM Result</source>
        <translation>WEDM Result</translation>
    </message>
    <message id="statistics.length">
        <source>Length:</source>
        <translation>Length:</translation>
    </message>
    <message id="statistics.area">
        <source>Area:</source>
        <translation>Area:</translation>
    </message>
    <message id="statistics.length_value">
        <source>%1 mm</source>
        <translation>%1 mm</translation>
    </message>
    <message id="statistics.area_value">
        <source>%1 mm2</source>
        <translation>%1 mm2</translation>
    </message>
    <message id="statistics.efficiency_value">
        <source>%1 mm2/min.A</source>
        <translation>%1 mm2/min.A</translation>
    </message>
</context>
</TS>
