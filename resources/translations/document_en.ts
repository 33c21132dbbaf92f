<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>document</name>
    <message id="61472">
        <source>File opened failed!</source>
        <translation>File opened failed!</translation>
    </message>
    <message id="61474">
        <source>Format error,invalid taper file!</source>
        <translation>Format error,invalid taper file!</translation>
    </message>
    <message id="61475">
        <source>The following file can't be opened:
%1</source>
        <translation>The following file can't be opened:
%1</translation>
    </message>
    <message id="61476">
        <source>Code read failed!</source>
        <translation>Code read failed!</translation>
    </message>
    <message id="61478">
        <source>3B translated failed!</source>
        <translation>3B translated failed!</translation>
    </message>
    <message id="61479">
        <source>File is error or contained too many jump segments!</source>
        <translation>File is error or contained too many jump segments!</translation>
    </message>
    <message id="61487">
        <source>Are you sure to reset the work?</source>
        <translation>Are you sure to reset the work?</translation>
    </message>
    <message id="61539">
        <source>File opened failed!
Code:%1  %2
</source>
        <translation>File opened failed!
Code:%1  %2
</translation>
    </message>
    <message id="61541">
        <source>Please wait for reading file...</source>
        <translation>Please wait for reading file...</translation>
    </message>
    <message id="61626">
        <source>File is error or contained too many switch-freq segments!</source>
        <translation>File is error or contained too many switch-freq segments!</translation>
    </message>
    <message id="61652">
        <source>Format the codes failed</source>
        <translation>Format the codes failed</translation>
    </message>
    <message id="61653">
        <source>Unknown Code</source>
        <translation>Unknown Code</translation>
    </message>
    <message id="61654">
        <source>Code error:No end</source>
        <translation>Code error:No end</translation>
    </message>
    <message id="61655">
        <source>The name is too long</source>
        <translation>The name is too long</translation>
    </message>
    <message id="doc.file_locked">
        <source>The following file is being written by another program and can't be opened:
%1</source>
        <translation>The following file is being written by another program and can't be opened:
%1</translation>
    </message>
    <message id="doc.unload_failed">
        <source>MIDDLE_UnloadModel failed!</source>
        <translation>MIDDLE_UnloadModel failed!</translation>
    </message>
    <message id="doc.opendoc_thread_error">
        <source>Create OpendocThreadProc error!</source>
        <translation>Create OpendocThreadProc error!</translation>
    </message>
    <message id="doc.loadmodel_thread_error">
        <source>Create LoadModelThreadProc error!</source>
        <translation>Create LoadModelThreadProc error!</translation>
    </message>
    <message id="doc.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="doc.open_caption">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="doc.open_filter">
        <source>3B code file (*.3b);;G code file (*.iso);;H3B code file (*.h3b);;3NB taper file (*.3nb);;4NB multi-pass file (*.4nb)</source>
        <translation>3B code file (*.3b);;G code file (*.iso);;H3B code file (*.h3b);;3NB taper file (*.3nb);;4NB multi-pass file (*.4nb)</translation>
    </message>
    <message id="view.code_index">
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message id="view.code_command">
        <source>Command</source>
        <translation>Command</translation>
    </message>
</context>
</TS>
