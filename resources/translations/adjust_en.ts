<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>adjust</name>
    <message id="adjust.title">
        <source>Adjust</source>
        <translation>Adjust</translation>
    </message>
    <message id="adjust.direction">
        <source>Direction:</source>
        <translation>Direction:</translation>
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
        <translation>Speed:</translation>
    </message>
    <message id="adjust.slowest">
        <source>Slowest</source>
        <translation>Slowest</translation>
    </message>
    <message id="adjust.slower">
        <source>Slower</source>
        <translation>Slower</translation>
    </message>
    <message id="adjust.faster">
        <source>Faster</source>
        <translation>Faster</translation>
    </message>
    <message id="adjust.fastest">
        <source>Fastest</source>
        <translation>Fastest</translation>
    </message>
    <message id="adjust.center">
        <source>Adjust Center</source>
        <translation>Adjust Center</translation>
    </message>
    <message id="adjust.border">
        <source>Adjust Border</source>
        <translation>Adjust Border</translation>
    </message>
    <message id="adjust.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="adjust.wait_center">
        <source>Please wait for adjusting center...</source>
        <translation>Please wait for adjusting center...</translation>
    </message>
    <message id="adjust.wait_border">
        <source>Please wait for adjusting border...</source>
        <translation>Please wait for adjusting border...</translation>
    </message>
    <message id="adjust.center_canceled">
        <source>Adjust Center has been canceled!</source>
        <translation>Adjust Center has been canceled!</translation>
    </message>
    <message id="adjust.border_canceled">
        <source>Adjust Border has been canceled!</source>
        <translation>Adjust Border has been canceled!</translation>
    </message>
    <message id="adjust.center_finished">
        <source>Adjust Center finished!</source>
        <translation>Adjust Center finished!</translation>
    </message>
    <message id="adjust.border_finished">
        <source>Adjust Border finished! Steps:%1</source>
        <translation>Adjust Border finished! Steps:%1</translation>
    </message>
    <message id="adjust.start_refused">
        <source>The card refused to start the adjusting.</source>
        <translation>The card refused to start the adjusting.</translation>
    </message>
    <message id="adjust.stop_refused">
        <source>The card did not stop the adjusting: it is still running. Press Cancel to try again.</source>
        <translation>The card did not stop the adjusting: it is still running. Press Cancel to try again.</translation>
    </message>
    <message id="adjust.link_lost">
        <source>The link to the card is lost.</source>
        <translation>The link to the card is lost.</translation>
    </message>
</context>
</TS>
