<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>adjust</name>
    <message id="adjust.title">
        <source>Adjust</source>
        <translation>找正</translation>
    </message>
    <message id="adjust.direction">
        <source>Direction:</source>
        <translation>方向：</translation>
    </message>
    <message id="adjust.l1">
        <source>L1</source>
        <translation>L1</translation>
    </message>
    <message id="adjust.l2">
        <source>L2</source>
        <translation>L2</translation>
    </message>
    <message id="adjust.l3">
        <source>L3</source>
        <translation>L3</translation>
    </message>
    <message id="adjust.l4">
        <source>L4</source>
        <translation>L4</translation>
    </message>
    <message id="adjust.speed">
        <source>Speed:</source>
        <translation>速度：</translation>
    </message>
    <message id="adjust.slowest">
        <source>Slowest</source>
        <translation>最慢</translation>
    </message>
    <message id="adjust.slower">
        <source>Slower</source>
        <translation>较慢</translation>
    </message>
    <message id="adjust.faster">
        <source>Faster</source>
        <translation>较快</translation>
    </message>
    <message id="adjust.fastest">
        <source>Fastest</source>
        <translation>最快</translation>
    </message>
    <message id="adjust.center">
        <source>Adjust Center</source>
        <translation>找中心</translation>
    </message>
    <message id="adjust.border">
        <source>Adjust Border</source>
        <translation>找边</translation>
    </message>
    <message id="adjust.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="adjust.wait_center">
        <source>Please wait for adjusting center...</source>
        <translation>正在找中心，请稍候...</translation>
    </message>
    <message id="adjust.wait_border">
        <source>Please wait for adjusting border...</source>
        <translation>正在找边，请稍候...</translation>
    </message>
    <message id="adjust.center_canceled">
        <source>Adjust Center has been canceled!</source>
        <translation>找中心已取消！</translation>
    </message>
    <message id="adjust.border_canceled">
        <source>Adjust Border has been canceled!</source>
        <translation>找边已取消！</translation>
    </message>
    <message id="adjust.center_finished">
        <source>Adjust Center finished!</source>
        <translation>找中心完成！</translation>
    </message>
    <message id="adjust.border_finished">
        <source>Adjust Border finished! Steps:%1</source>
        <translation>找边完成！步数：%1</translation>
    </message>
    <message id="adjust.start_refused">
        <source>The card refused to start the adjusting.</source>
        <translation>控制卡拒绝开始找正。</translation>
    </message>
    <message id="adjust.stop_refused">
        <source>The card did not stop the adjusting: it is still running. Press Cancel to try again.</source>
        <translation>控制卡没有停止找正，找正仍在进行。请再按“取消”。</translation>
    </message>
    <message id="adjust.link_lost">
        <source>The link to the card is lost.</source>
        <translation>与控制卡的连接已断开。</translation>
    </message>
</context>
</TS>
