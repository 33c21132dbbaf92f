<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>document</name>
    <message id="61472">
        <source>File opened failed!</source>
        <translation>文件打开失败！</translation>
    </message>
    <message id="61474">
        <source>Format error,invalid taper file!</source>
        <translation>文件格式不对，不是有效锥度文件!</translation>
    </message>
    <message id="61475">
        <source>The following file can't be opened:
%1</source>
        <translation>无法打开下列文件：
%1</translation>
    </message>
    <message id="61476">
        <source>Code read failed!</source>
        <translation>代码读取失败！</translation>
    </message>
    <message id="61478">
        <source>3B translated failed!</source>
        <translation>3B代码转化失败!</translation>
    </message>
    <message id="61479">
        <source>File is error or contained too many jump segments!</source>
        <translation>文件存在错误或跳段过多!</translation>
    </message>
    <message id="61487">
        <source>Are you sure to reset the work?</source>
        <translation>确定要复位当前工作吗？</translation>
    </message>
    <message id="61539">
        <source>File opened failed!
Code:%1  %2
</source>
        <translation>文件打开出错！
错误语句：%1  %2
</translation>
    </message>
    <message id="61541">
        <source>Please wait for reading file...</source>
        <translation>正在读取文件，请稍候...</translation>
    </message>
    <message id="61626">
        <source>File is error or contained too many switch-freq segments!</source>
        <translation>文件存在错误或高频组号过多!</translation>
    </message>
    <message id="61652">
        <source>Format the codes failed</source>
        <translation>格式化代码失败</translation>
    </message>
    <message id="61653">
        <source>Unknown Code</source>
        <translation>不可识别的代码</translation>
    </message>
    <message id="61654">
        <source>Code error:No end</source>
        <translation>代码错误：缺少结束段</translation>
    </message>
    <message id="61655">
        <source>The name is too long</source>
        <translation>文件名太长</translation>
    </message>
    <message id="doc.file_locked">
        <source>The following file is being written by another program and can't be opened:
%1</source>
        <translation>下列文件正被其他程序写入，无法打开：
%1</translation>
    </message>
    <message id="doc.unload_failed">
        <source>MIDDLE_UnloadModel failed!</source>
        <translation>MIDDLE_UnloadModel 失败！</translation>
    </message>
    <message id="doc.opendoc_thread_error">
        <source>Create OpendocThreadProc error!</source>
        <translation>创建 OpendocThreadProc 线程出错！</translation>
    </message>
    <message id="doc.loadmodel_thread_error">
        <source>Create LoadModelThreadProc error!</source>
        <translation>创建 LoadModelThreadProc 线程出错！</translation>
    </message>
    <message id="doc.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="doc.open_caption">
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message id="doc.open_filter">
        <source>3B code file (*.3b);;G code file (*.iso);;H3B code file (*.h3b);;3NB taper file (*.3nb);;4NB multi-pass file (*.4nb)</source>
        <translation>3B代码文件 (*.3b);;G代码文件 (*.iso);;H3B代码文件 (*.h3b);;3NB锥度文件 (*.3nb);;4NB多次切割文件 (*.4nb)</translation>
    </message>
    <message id="view.code_index">
        <source>Index</source>
        <translation>段号</translation>
    </message>
    <message id="view.code_command">
        <source>Command</source>
        <translation>代码</translation>
    </message>
</context>
</TS>
