<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>recovery</name>
    <message id="61649">
        <source>Restore failed because the 3B file saved before has been altered!</source>
        <translation>恢复失败，之前保存的3B文件已被修改！</translation>
    </message>
    <message id="61650">
        <source>Record Files(%1) are NOT Matched!
Do you want to rematch them manually?</source>
        <translation>记录文件(%1)不匹配！
是否手动重新匹配？</translation>
    </message>
    <message id="recovery.prework_text">
        <source>Restoring the work, please wait......</source>
        <translation>正在恢复现场，请稍候。。。。。。</translation>
    </message>
    <message id="recovery.prework_thread_error">
        <source>Create PreworkThreadProc error!</source>
        <translation>Create PreworkThreadProc error!</translation>
    </message>
    <message id="recovery.restore_refused">
        <source>The card refused to restore the interrupted work. The program is loaded; Cut starts a new work.</source>
        <translation>控制卡拒绝恢复被中断的加工。程序已载入；按切割将开始新的加工。</translation>
    </message>
    <message id="recovery.file_gone">
        <source>The program file %1 cannot be read. The work continues from its working copy %2.</source>
        <translation>无法读取程序文件 %1。将从其工作副本 %2 继续加工。</translation>
    </message>
    <message id="recovery.file_changed">
        <source>The program file %1 was changed after the work began. The work continues from its working copy %2, which holds the program the card ran.</source>
        <translation>程序文件 %1 在加工开始后被修改。将从其工作副本 %2 继续加工，副本即控制卡所运行的程序。</translation>
    </message>
</context>
</TS>
