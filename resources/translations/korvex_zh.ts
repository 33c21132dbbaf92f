<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>korvex</name>
    <message id="61446">
        <source>No Title</source>
        <translation>无标题</translation>
    </message>
    <message id="61482">
        <source>Please stop the simulating or cutting work first!</source>
        <translation>请先停止模拟或切割动作</translation>
    </message>
    <message id="61483">
        <source>Will exit the cutting, save or not?</source>
        <translation>将退出切割，是否保存？</translation>
    </message>
    <message id="61486">
        <source>Will close the graph,are you sure?</source>
        <translation>您即将关闭工件并放弃此次加工，是否确定？</translation>
    </message>
    <message id="61489">
        <source>%1um/grid</source>
        <translation>%1um/格</translation>
    </message>
    <message id="61528">
        <source>Used Time:%1:%2:%3</source>
        <translation>用时:%1:%2:%3</translation>
    </message>
    <message id="61529">
        <source>Loop:%1/%2</source>
        <translation>循环:%1/%2</translation>
    </message>
    <message id="61531">
        <source>Are you sure to exit?</source>
        <translation>确定要退出吗？</translation>
    </message>
    <message id="61535">
        <source>X/Y Max Spd:%1 steps/sec</source>
        <translation>X/Y最高速:%1 步/秒</translation>
    </message>
    <message id="61537">
        <source>Noname</source>
        <translation>无机床名</translation>
    </message>
    <message id="61623">
        <source>If choose 'NO', the work will be LOST!!!

Please choose again</source>
        <translation>如果选择“否”，加工将会丢失！！！

请再次选择</translation>
    </message>
    <message id="61643">
        <source>Windows 98 can't be supported, please use Windows 2000/XP/7</source>
        <translation>不支持Windows 98系统，请安装Windows 2000/XP/7系统</translation>
    </message>
    <message id="61656">
        <source>Read Dao table failed</source>
        <translation>读取组号表失败！</translation>
    </message>
    <message id="61657">
        <source>Write Dao table failed</source>
        <translation>写入组号表失败！</translation>
    </message>
    <message id="korvex.exit_anyway">
        <source>Exit anyway? The changes to the pulse parameter table made in this session will be lost.</source>
        <translation>仍然退出吗？本次对组号表的修改将会丢失。</translation>
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
        <translation>通讯设置</translation>
    </message>
    <message id="comm.port_label">
        <source>Comm Port:</source>
        <translation>通讯端口:</translation>
    </message>
    <message id="comm.hint">
        <source>Choose the serial port of the control card, or type COMn or a device path such as /dev/ttyUSB0.</source>
        <translation>请选择控制卡的串口，或输入 COMn 或设备路径（如 /dev/ttyUSB0）。</translation>
    </message>
    <message id="comm.dev_manager">
        <source>Dev Manager</source>
        <translation>设备管理器</translation>
    </message>
    <message id="comm.port_error">
        <source>Port Error! Please input like "COMx" (x for number)</source>
        <translation>端口错误！请输入如"COMx"（x为数字）</translation>
    </message>
    <message id="comm.cant_open">
        <source>Can't open %1</source>
        <translation>无法打开%1</translation>
    </message>
    <message id="comm.cant_connect">
        <source>Can't connect to (%1)!</source>
        <translation>无法连接到(%1)！</translation>
    </message>
    <message id="comm.ok">
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message id="comm.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="tips.title">
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message id="tips.text">
        <source>    Before Working,please check the SETTINGS of PHASE and DIRECTION!</source>
        <translation>    加工前，请检查相位和方向的设置！</translation>
    </message>
    <message id="tips.dont_show">
        <source>Don't show again</source>
        <translation>不再显示</translation>
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
        <translation>细分</translation>
    </message>
    <message id="phase.4">
        <source>Servo</source>
        <translation>伺服</translation>
    </message>
    <message id="phase.pair">
        <source>%1,%2</source>
        <translation>%1,%2</translation>
    </message>
    <message id="menu.file">
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message id="menu.open">
        <source>Open(&amp;O)...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message id="menu.close">
        <source>Close(&amp;Q)...</source>
        <translation>关闭(&amp;Q)...</translation>
    </message>
    <message id="menu.recent">
        <source>Recent Files</source>
        <translation>最近文件</translation>
    </message>
    <message id="menu.clear_recent">
        <source>Clear Recent Files</source>
        <translation>清除最近文件</translation>
    </message>
    <message id="menu.quit">
        <source>Quit(&amp;X)</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message id="menu.no_recent">
        <source>(none)</source>
        <translation>（无）</translation>
    </message>
    <message id="menu.edit">
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message id="menu.toolbar">
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message id="status.ready">
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
    <message id="startup.link_lost">
        <source>The card does not answer (command 0x%1). Please check the cable and restart the program.</source>
        <translation>控制卡无应答（命令0x%1）。请检查连线并重新启动程序。</translation>
    </message>
    <message id="startup.no_card_id">
        <source>The card did not answer when asked for its identity.</source>
        <translation>读取控制卡标识时无应答。</translation>
    </message>
    <message id="startup.data_dir_failed">
        <source>Can't create the data directory %1</source>
        <translation>无法创建数据目录 %1</translation>
    </message>
    <message id="view.graph_empty">
        <source>No program loaded</source>
        <translation>未加载程序</translation>
    </message>
    <message id="view.freq">
        <source>Freq: %1</source>
        <translation>变频: %1</translation>
    </message>
    <message id="button.simulate">
        <source>Simulate</source>
        <translation>模拟</translation>
    </message>
    <message id="button.walk">
        <source>Walk F3</source>
        <translation>空走 F3</translation>
    </message>
    <message id="button.cut">
        <source>Cut F4</source>
        <translation>切割 F4</translation>
    </message>
    <message id="button.back">
        <source>Back F5</source>
        <translation>回退 F5</translation>
    </message>
    <message id="button.motor_on">
        <source>Motor(ON)F1</source>
        <translation>电机(锁)F1</translation>
    </message>
    <message id="button.motor_off">
        <source>Motor(OFF)F1</source>
        <translation>电机(松)F1</translation>
    </message>
    <message id="button.freq_on">
        <source>Freq(ON)F2</source>
        <translation>高频(开)F2</translation>
    </message>
    <message id="button.freq_off">
        <source>Freq(OFF)F2</source>
        <translation>高频(关)F2</translation>
    </message>
    <message id="status.speed_adjust">
        <source>Speed Adjust:</source>
        <translation>变频调节:</translation>
    </message>
    <message id="status.total_segments">
        <source>Total Segment: %1</source>
        <translation>总段数: %1</translation>
    </message>
    <message id="startup.connecting">
        <source>Connecting to %1...</source>
        <translation>正在连接%1……</translation>
    </message>
    <message id="mp-menu-multiple">
        <source>Multiple(&amp;M)</source>
        <translation>多次切割(&amp;M)</translation>
    </message>
    <message id="mp-menu-segment">
        <source>Segment Multiple(&amp;S)</source>
        <translation>单边修刀(&amp;S)</translation>
    </message>
    <message id="mp-multiple-title">
        <source>Multiple Loop Config</source>
        <translation>多次切割设置</translation>
    </message>
    <message id="mp-segment-title">
        <source>Segment Multiple Config</source>
        <translation>单边修刀设置</translation>
    </message>
    <message id="mp-mode">
        <source>Matrix/Punch:</source>
        <translation>凹模/凸模:</translation>
    </message>
    <message id="mp-matrix">
        <source>Matrix</source>
        <translation>凹模</translation>
    </message>
    <message id="mp-punch">
        <source>Punch</source>
        <translation>凸模</translation>
    </message>
    <message id="mp-loops">
        <source>Loops:</source>
        <translation>切割次数:</translation>
    </message>
    <message id="mp-reserved">
        <source>Reserved Distance:</source>
        <translation>预留台阶长度:</translation>
    </message>
    <message id="mp-last-gap">
        <source>Last Reserved Gap:</source>
        <translation>台阶末次补偿:</translation>
    </message>
    <message id="mp-once">
        <source>Reserved Once</source>
        <translation>单次修台阶</translation>
    </message>
    <message id="mp-first-gap">
        <source>Switch Before 1st-2nd</source>
        <translation>第1过渡段先换刀</translation>
    </message>
    <message id="mp-index">
        <source>Index(0-7)</source>
        <translation>刀号(0-7)</translation>
    </message>
    <message id="mp-gap">
        <source>Gap(mm)</source>
        <translation>补偿(mm)</translation>
    </message>
    <message id="mp-pass">
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message id="mp-lead-in-index">
        <source>LeadIn Index:</source>
        <translation>引入刀号:</translation>
    </message>
    <message id="mp-lead-out-index">
        <source>LeadOut Index:</source>
        <translation>引出刀号:</translation>
    </message>
    <message id="mp-first-reserved-index">
        <source>First Reserved Index:</source>
        <translation>首次台阶刀号:</translation>
    </message>
    <message id="mp-last-reserved-index">
        <source>Last Reserved Index:</source>
        <translation>末次台阶刀号:</translation>
    </message>
    <message id="mp-in-index">
        <source>In Index:</source>
        <translation>引入刀号:</translation>
    </message>
    <message id="mp-out-index">
        <source>Out Index:</source>
        <translation>引出刀号:</translation>
    </message>
    <message id="mp-sign-note">
        <source>+ :Along the direction,shift on the RIGHT   - :Along the direction,shift on the LEFT</source>
        <translation>+ :沿切割方向向右偏移   - :沿切割方向向左偏移</translation>
    </message>
    <message id="mp-lead-length">
        <source>Lead Length:</source>
        <translation>引线长度:</translation>
    </message>
    <message id="mp-lead-note">
        <source>Lead Length must be the same positive or negative with Gap</source>
        <translation>引线长度必须与补偿量同为正或同为负</translation>
    </message>
    <message id="mp-source-failed">
        <source>The following file processed failed:
%1</source>
        <translation>处理以下文件出错：
%1</translation>
    </message>
    <message id="mp-step-too-long">
        <source>The reserved length is too large!</source>
        <translation>预留台阶过长！</translation>
    </message>
    <message id="mp-failed">
        <source>Generate multple file failed</source>
        <translation>生成多次轨迹失败！</translation>
    </message>
    <message id="menu.motor">
        <source>Motor&#9;F1</source>
        <translation>电机&#9;F1</translation>
    </message>
    <message id="menu.freq">
        <source>Freq&#9;F2</source>
        <translation>高频&#9;F2</translation>
    </message>
    <message id="menu.fast_roll">
        <source>Fast Roll&#9;F9</source>
        <translation>快速滚动&#9;F9</translation>
    </message>
    <message id="menu.segment_stop">
        <source>Segment Stop&#9;F10</source>
        <translation>段暂停&#9;F10</translation>
    </message>
    <message id="menu.reverse">
        <source>Reverse&#9;F6</source>
        <translation>逆向&#9;F6</translation>
    </message>
    <message id="menu.ignore_d">
        <source>Ignore D</source>
        <translation>忽略D</translation>
    </message>
    <message id="menu.speed_up">
        <source>Speed Up&#9;+</source>
        <translation>加速&#9;+</translation>
    </message>
    <message id="menu.speed_down">
        <source>Speed Down&#9;-</source>
        <translation>减速&#9;-</translation>
    </message>
    <message id="menu.reset">
        <source>Reset(&amp;Z)...</source>
        <translation>复位(&amp;Z)...</translation>
    </message>
    <message id="menu.view_toolbar">
        <source>Toolbar(&amp;T)</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message id="menu.view_status_bar">
        <source>Status Bar(&amp;S)</source>
        <translation>状态栏(&amp;S)</translation>
    </message>
    <message id="menu.phase">
        <source>Phase</source>
        <translation>相位</translation>
    </message>
    <message id="menu.speed">
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message id="menu.backward">
        <source>Backward</source>
        <translation>回退</translation>
    </message>
    <message id="menu.loop">
        <source>Loop</source>
        <translation>循环</translation>
    </message>
    <message id="menu.track">
        <source>Track</source>
        <translation>跟踪</translation>
    </message>
    <message id="menu.direction">
        <source>Direction</source>
        <translation>方向测试</translation>
    </message>
    <message id="menu.stop_machine">
        <source>Stop-Machine</source>
        <translation>停机测试</translation>
    </message>
    <message id="menu.plan_pause">
        <source>Plan-Pause</source>
        <translation>计划暂停</translation>
    </message>
    <message id="menu.restore_default">
        <source>*Restore Default*</source>
        <translation>*恢复默认设置*</translation>
    </message>
    <message id="menu.adjust">
        <source>Adjust</source>
        <translation>校正</translation>
    </message>
    <message id="menu.option">
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message id="menu.option_korvex">
        <source>Korvex(&amp;W)</source>
        <translation>Korvex(&amp;W)</translation>
    </message>
    <message id="menu.help">
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message id="menu.about">
        <source>About Korvex(&amp;A)...</source>
        <translation>关于 Korvex(&amp;A)...</translation>
    </message>
    <message id="menu.agent">
        <source>Agent(&amp;D)...</source>
        <translation>代理信息(&amp;D)...</translation>
    </message>
    <message id="about.title">
        <source>About Korvex</source>
        <translation>关于 Korvex</translation>
    </message>
    <message id="about.version">
        <source>Korvex V%1 (%2)</source>
        <translation>Korvex V%1 (%2)</translation>
    </message>
    <message id="about.card_id">
        <source>Card: %1</source>
        <translation>控制卡: %1</translation>
    </message>
    <message id="about.copyright">
        <source>Wire-cut EDM controller</source>
        <translation>线切割控制系统</translation>
    </message>
    <message id="about.capability.0">
        <source>XYUV: phase motors only</source>
        <translation>XYUV仅支持相拍电机</translation>
    </message>
    <message id="about.capability.1">
        <source>XY: micro-step/servo motors</source>
        <translation>XY支持细分/伺服电机</translation>
    </message>
    <message id="about.capability.2">
        <source>XYUV: micro-step/servo motors + single-pulse HF output</source>
        <translation>XYUV支持细分/伺服电机 + 高频单脉冲输出</translation>
    </message>
    <message id="about.capability.3">
        <source>XY: micro-step/servo motors + single-pulse HF output + power/wire-speed selection</source>
        <translation>XY支持细分/伺服电机 + 高频单脉冲输出 + 功率/丝速选择</translation>
    </message>
    <message id="about.capability.4">
        <source>XY: micro-step/servo only + hand wheel on the extension port</source>
        <translation>XY仅支持细分伺服 + 扩展口支持手轮</translation>
    </message>
    <message id="about.capability.unknown">
        <source>Unknown version</source>
        <translation>未知版本</translation>
    </message>
    <message id="agent.title">
        <source>Agent</source>
        <translation>代理信息</translation>
    </message>
    <message id="agent.text">
        <source>This controller and the card it talks to:</source>
        <translation>本控制程序及其连接的控制卡：</translation>
    </message>
    <message id="agent.version">
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message id="agent.data_dir">
        <source>Data directory:</source>
        <translation>数据目录：</translation>
    </message>
    <message id="agent.port">
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message id="agent.card_id">
        <source>Card ID:</source>
        <translation>控制卡号：</translation>
    </message>
</context>
</TS>
