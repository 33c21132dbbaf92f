<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>machining</name>
    <message id="61493">
        <source>Backing...</source>
        <translation>短路回退中...</translation>
    </message>
    <message id="61494">
        <source>Cutting...</source>
        <translation>切割中...</translation>
    </message>
    <message id="61495">
        <source>Cut stoped</source>
        <translation>切割已停止</translation>
    </message>
    <message id="61496">
        <source>Shorted-Back stoped</source>
        <translation>短路回退已停止</translation>
    </message>
    <message id="61497">
        <source>Manual-Back stoped</source>
        <translation>手动回退已停止</translation>
    </message>
    <message id="61502">
        <source>Cut finished!</source>
        <translation>切割完成！</translation>
    </message>
    <message id="61504">
        <source>Back finished!</source>
        <translation>回退完成！</translation>
    </message>
    <message id="61507">
        <source>Can't connect to (%1) and will Quit now(Err:%2)!&#10;&#10;Please restart the Korvex, the work will be continued!&#10;&#10;*ATTENTION* NOT POWER OFF THE MACHINE, OR THE POSITION WILL BE LOST!!!</source>
        <translation>无法连接到(%1)，程序将退出(错误:%2)！&#10;&#10;请重新启动Korvex，加工将继续！&#10;&#10;*注意* 不要关闭机床电源，否则位置将丢失！！！</translation>
    </message>
    <message id="61512">
        <source>Break</source>
        <translation>断丝</translation>
    </message>
    <message id="61513">
        <source>Break or No freq! Please check!&#10;</source>
        <translation>断丝或无高频！请检查！&#10;</translation>
    </message>
    <message id="61514">
        <source>Return finished</source>
        <translation>回原点完成</translation>
    </message>
    <message id="61526">
        <source>Stoping the return work will lost the position , still need stop?</source>
        <translation>停止回原点将丢失位置，仍要停止吗？</translation>
    </message>
    <message id="61527">
        <source>The return work will mix the progress,still continue?</source>
        <translation>回原点会打乱加工进度，仍要继续吗？</translation>
    </message>
    <message id="61572">
        <source>Paused</source>
        <translation>已暂停</translation>
    </message>
    <message id="61573">
        <source>Simulating...</source>
        <translation>模拟中...</translation>
    </message>
    <message id="61574">
        <source>Simulate stoped</source>
        <translation>模拟已停止</translation>
    </message>
    <message id="61575">
        <source>Simulating...</source>
        <translation>空走前进中...</translation>
    </message>
    <message id="61576">
        <source>Returning...</source>
        <translation>回原点中...</translation>
    </message>
    <message id="61577">
        <source>Return stoped</source>
        <translation>回原点已停止</translation>
    </message>
    <message id="61578">
        <source>Backing...</source>
        <translation>手动回退中...</translation>
    </message>
    <message id="61583">
        <source>Beyond the Maximum segment!</source>
        <translation>超出最大段号！</translation>
    </message>
    <message id="61584">
        <source>Must bigger than the start segment!</source>
        <translation>必须大于起始段！</translation>
    </message>
    <message id="61585">
        <source>Invalid range!</source>
        <translation>无效区间！</translation>
    </message>
    <message id="61614">
        <source>Simulating stoped</source>
        <translation>空走已停止</translation>
    </message>
    <message id="61619">
        <source>Must bigger than the end segment!</source>
        <translation>必须大于结束段！</translation>
    </message>
    <message id="61622">
        <source>Finished</source>
        <translation>加工完成</translation>
    </message>
    <message id="61636">
        <source>The switch delay time has been set, after</source>
        <translation>已设置切换延时，</translation>
    </message>
    <message id="61637">
        <source>seconds, it will go on</source>
        <translation>秒后继续</translation>
    </message>
    <message id="61638">
        <source>Pause for switching</source>
        <translation>暂停切换</translation>
    </message>
    <message id="61648">
        <source>No more STOP segment to be added</source>
        <translation>无法再添加暂停段</translation>
    </message>
    <message id="61715">
        <source>Comm Error</source>
        <translation>通讯错误</translation>
    </message>
    <message id="61719">
        <source>Please clean the workspace</source>
        <translation>请清理工作台</translation>
    </message>
    <message id="61721">
        <source>Fast Rolling...</source>
        <translation>快速走丝中...</translation>
    </message>
    <message id="61722">
        <source>Stop Rolling</source>
        <translation>停止走丝</translation>
    </message>
    <message id="61723">
        <source>The rolling work will mix the progress,still continue?</source>
        <translation>快速走丝会打乱加工进度，仍要继续吗？</translation>
    </message>
    <message id="machining.no_program">
        <source>Please open a program first!</source>
        <translation>请先打开加工程序！</translation>
    </message>
    <message id="machining.range_outside_program">
        <source>The work range or the current segment lies outside the loaded program: the work was not started.</source>
        <translation>加工区间或当前段不在已加载的程序内，未开始加工。</translation>
    </message>
    <message id="machining.stop_refused">
        <source>The card refused to stop: the work goes on. Press again to stop it.</source>
        <translation>控制卡拒绝停止，加工仍在继续。请再按一次以停止。</translation>
    </message>
    <message id="range.title">
        <source>Please Select the Segment Range</source>
        <translation>请选择需要的段落区间</translation>
    </message>
    <message id="range.note">
        <source>★Note: the range includes the start and the end segment★</source>
        <translation>★注意：加工段落包含起始段与结束段★</translation>
    </message>
    <message id="range.start">
        <source>Start Segment:</source>
        <translation>起始段:</translation>
    </message>
    <message id="range.end">
        <source>End Segment:</source>
        <translation>结束段:</translation>
    </message>
    <message id="range.ok">
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message id="range.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="return.title">
        <source>User Input</source>
        <translation>用户输入</translation>
    </message>
    <message id="return.prompt">
        <source>Please enter the segment to return to:</source>
        <translation>请输入要回到起点的段号</translation>
    </message>
    <message id="switch.title">
        <source>Notice Message</source>
        <translation>提示信息</translation>
    </message>
    <message id="button.pause_simulate">
        <source>Pause Sim</source>
        <translation>暂停模拟</translation>
    </message>
    <message id="button.pause_walk">
        <source>Pause Walk F3</source>
        <translation>暂停空走 F3</translation>
    </message>
    <message id="button.pause_cut">
        <source>Pause Cut F4</source>
        <translation>暂停切割 F4</translation>
    </message>
    <message id="button.pause_back">
        <source>Pause Back F5</source>
        <translation>暂停回退 F5</translation>
    </message>
    <message id="menu.control">
        <source>&amp;Control</source>
        <translation>控制(&amp;C)</translation>
    </message>
    <message id="menu.walk">
        <source>Walk	F3</source>
        <translation>空走	F3</translation>
    </message>
    <message id="menu.pause_walk">
        <source>Pause Walk	F3</source>
        <translation>暂停空走	F3</translation>
    </message>
    <message id="menu.cut">
        <source>Cut	F4</source>
        <translation>切割	F4</translation>
    </message>
    <message id="menu.pause_cut">
        <source>Pause Cut	F4</source>
        <translation>暂停切割	F4</translation>
    </message>
    <message id="menu.back">
        <source>Back	F5</source>
        <translation>回退	F5</translation>
    </message>
    <message id="menu.pause_back">
        <source>Pause Back	F5</source>
        <translation>暂停回退	F5</translation>
    </message>
    <message id="menu.return">
        <source>Return Origin	F12</source>
        <translation>回原点	F12</translation>
    </message>
    <message id="menu.pause_return">
        <source>Pause Return	F12</source>
        <translation>暂停回原点	F12</translation>
    </message>
    <message id="status.current_position">
        <source>Current Position:</source>
        <translation>当前位置：</translation>
    </message>
    <message id="status.below_x">
        <source>Below X:</source>
        <translation>下 X：</translation>
    </message>
    <message id="status.below_y">
        <source>Below Y:</source>
        <translation>下 Y：</translation>
    </message>
    <message id="status.upper_u">
        <source>Upper U:</source>
        <translation>上 U：</translation>
    </message>
    <message id="status.upper_v">
        <source>Upper V:</source>
        <translation>上 V：</translation>
    </message>
    <message id="status.wedm_progress">
        <source>WEDM Progress:</source>
        <translation>加工进度：</translation>
    </message>
    <message id="status.over_steps">
        <source>Over Steps:</source>
        <translation>已走步数：</translation>
    </message>
    <message id="status.total_steps">
        <source>Total Steps:</source>
        <translation>总步数：</translation>
    </message>
    <message id="status.start_segment">
        <source>Start Segment:</source>
        <translation>起始段：</translation>
    </message>
    <message id="status.current_segment">
        <source>Current Segment:</source>
        <translation>当前段：</translation>
    </message>
    <message id="status.end_segment">
        <source>End Segment:</source>
        <translation>结束段：</translation>
    </message>
    <message id="status.total_segment">
        <source>Total Segment:</source>
        <translation>总段数：</translation>
    </message>
    <message id="status.progress">
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message id="status.efficiency">
        <source>Efficiency:</source>
        <translation>效率：</translation>
    </message>
    <message id="status.press_to_calculate">
        <source>Press to Calculate</source>
        <translation>按此计算</translation>
    </message>
    <message id="status.efficiency_value">
        <source>%1 mm2/h</source>
        <translation>%1 mm2/h</translation>
    </message>
    <message id="status.cur_speed">
        <source>Cur-Speed:</source>
        <translation>当前速度：</translation>
    </message>
    <message id="status.thickness_prompt">
        <source>Please input the thickness of the work-piece:</source>
        <translation>请输入工件厚度：</translation>
    </message>
    <message id="status.thickness_unit">
        <source>mm</source>
        <translation>毫米</translation>
    </message>
    <message id="codelist.stop_hint">
        <source>Double click the code will set/clear to pause</source>
        <translation>双击代码可设置/取消暂停</translation>
    </message>
    <message id="menu.statistics">
        <source>Statistics</source>
        <translation>统计</translation>
    </message>
    <message id="statistics.title">
        <source>Statistics </source>
        <translation>统计 </translation>
    </message>
    <message id="statistics.height">
        <source>Height:</source>
        <translation>厚度：</translation>
    </message>
    <message id="statistics.current">
        <source>Current:</source>
        <translation>电流：</translation>
    </message>
    <message id="statistics.calculate">
        <source>Calculate</source>
        <translation>计算</translation>
    </message>
    <message id="statistics.result">
        <source>WEDM Result</source>
        <translation>加工结果</translation>
    </message>
    <message id="statistics.length">
        <source>Length:</source>
        <translation>长度：</translation>
    </message>
    <message id="statistics.area">
        <source>Area:</source>
        <translation>面积：</translation>
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
