<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>recovery</name>
    <message id="61649">
        <source>Restore failed because the 3B file saved before has been altered!</source>
        <translation>Restore failed because the 3B file saved before has been altered!</translation>
    </message>
    <message id="61650">
        <source>Record Files(%1) are NOT Matched!
Do you want to rematch them manually?</source>
        <translation>Record Files(%1) are NOT Matched!
Do you want to rematch them manually?</translation>
    </message>
    <message id="recovery.prework_text">
        <source>Restoring the work, please wait......</source>
        <translation>Restoring the work, please wait......</translation>
    </message>
    <message id="recovery.prework_thread_error">
        <source>Create PreworkThreadProc error!</source>
        <translation>Create PreworkThreadProc error!</translation>
    </message>
    <message id="recovery.restore_refused">
        <source>The card refused to restore the interrupted work. The program is loaded; Cut starts a new work.</source>
        <translation>The card refused to restore the interrupted work. The program is loaded; Cut starts a new work.</translation>
    </message>
    <message id="recovery.file_gone">
        <source>The program file %1 cannot be read. The work continues from its working copy %2.</source>
        <translation>The program file %1 cannot be read. The work continues from its working copy %2.</translation>
    </message>
    <message id="recovery.file_changed">
        <source>The program file %1 was changed after the work began. The work continues from its working copy %2, which holds the program the card ran.</source>
        <translation>The program file %1 was changed after the work began. The work continues from its working copy %2, which holds the program the card ran.</translation>
    </message>
</context>
</TS>
