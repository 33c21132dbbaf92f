<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>tavrel</name>
    <message id="61206">
        <source>The end line is missing</source>
        <translation>The end line is missing</translation>
    </message>
    <message id="61209">
        <source>The code cannot be recognised</source>
        <translation>The code cannot be recognised</translation>
    </message>
    <message id="61212">
        <source>Line %1 cannot be read; please correct or delete it</source>
        <translation>Line %1 cannot be read; please correct or delete it</translation>
    </message>
    <message id="61214">
        <source>No more lines can be added</source>
        <translation>No more lines can be added</translation>
    </message>
    <message id="61215">
        <source>Korvex is machining this file. Please use "Save As"! To save under this name, close the file in Korvex first.</source>
        <translation>Korvex is machining this file. Please use "Save As"! To save under this name, close the file in Korvex first.</translation>
    </message>
    <message id="61208">
        <source>%1um/grid</source>
        <translation>%1um/grid</translation>
    </message>
    <message id="61213">
        <source>File path</source>
        <translation>File path</translation>
    </message>
    <message id="61211">
        <source>um/grid</source>
        <translation>um/grid</translation>
    </message>
    <message id="tavrel.line_too_long">
        <source>Line %1 of the file is longer than 299 bytes; the file is not opened.</source>
        <translation>Line %1 of the file is longer than 299 bytes; the file is not opened.</translation>
    </message>
    <message id="tavrel.input_too_long">
        <source>A code line holds at most 299 bytes and no line break.</source>
        <translation>A code line holds at most 299 bytes and no line break.</translation>
    </message>
    <message id="tavrel.write_failed">
        <source>The file %1 could not be written: %2</source>
        <translation>The file %1 could not be written: %2</translation>
    </message>
    <message id="tavrel.save_changes">
        <source>Save changes to %1?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message id="tavrel.app">
        <source>Tavrel</source>
        <translation>Tavrel</translation>
    </message>
    <message id="tavrel.untitled">
        <source>Untitled</source>
        <translation>Untitled</translation>
    </message>
    <message id="tavrel.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="tavrel.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="tavrel.input.title">
        <source>Enter code</source>
        <translation>Enter code</translation>
    </message>
    <message id="tavrel.open">
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message id="tavrel.save_as">
        <source>Save As</source>
        <translation>Save As</translation>
    </message>
    <message id="tavrel.filter.code">
        <source>Code files (*.iso,*.3b,*.4nb)</source>
        <translation>Code files (*.iso,*.3b,*.4nb)</translation>
    </message>
    <message id="tavrel.filter.4nb">
        <source>4NB multi-pass files (*.4nb)</source>
        <translation>4NB multi-pass files (*.4nb)</translation>
    </message>
    <message id="tavrel.filter.iso">
        <source>G code files (*.iso)</source>
        <translation>G code files (*.iso)</translation>
    </message>
    <message id="tavrel.filter.3b">
        <source>3B code files (*.3b)</source>
        <translation>3B code files (*.3b)</translation>
    </message>
    <message id="tavrel.column.number">
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message id="tavrel.column.code">
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message id="tavrel.toolbar">
        <source>Toolbar</source>
        <translation>Toolbar</translation>
    </message>
    <message id="tavrel.menu.file">
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message id="tavrel.menu.view">
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message id="tavrel.menu.code">
        <source>&amp;Code</source>
        <translation>&amp;Code</translation>
    </message>
    <message id="tavrel.menu.machining">
        <source>&amp;Machining</source>
        <translation>&amp;Machining</translation>
    </message>
    <message id="tavrel.menu.help">
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message id="tavrel.menu.recent">
        <source>Recent files</source>
        <translation>Recent files</translation>
    </message>
    <message id="tavrel.cmd.open">
        <source>&amp;Open...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message id="tavrel.cmd.save">
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
    <message id="tavrel.cmd.save_as">
        <source>Save &amp;As...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message id="tavrel.cmd.close">
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
    <message id="tavrel.cmd.exit">
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message id="tavrel.cmd.fit">
        <source>&amp;Fit</source>
        <translation>&amp;Fit</translation>
    </message>
    <message id="tavrel.cmd.move">
        <source>&amp;Move</source>
        <translation>&amp;Move</translation>
    </message>
    <message id="tavrel.cmd.zoom_in">
        <source>Zoom &amp;in</source>
        <translation>Zoom &amp;in</translation>
    </message>
    <message id="tavrel.cmd.zoom_out">
        <source>Zoom &amp;out</source>
        <translation>Zoom &amp;out</translation>
    </message>
    <message id="tavrel.cmd.toolbar">
        <source>&amp;Toolbar</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message id="tavrel.cmd.status_bar">
        <source>&amp;Status bar</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message id="tavrel.cmd.grid">
        <source>Grid li&amp;nes</source>
        <translation>Grid li&amp;nes</translation>
    </message>
    <message id="tavrel.cmd.undo">
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message id="tavrel.cmd.redo">
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message id="tavrel.cmd.add">
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message id="tavrel.cmd.modify">
        <source>Modify</source>
        <translation>Modify</translation>
    </message>
    <message id="tavrel.cmd.delete">
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message id="tavrel.cmd.copy">
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message id="tavrel.cmd.paste">
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message id="tavrel.cmd.cut">
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message id="tavrel.cmd.join">
        <source>Join</source>
        <translation>Join</translation>
    </message>
    <message id="tavrel.cmd.hf_group">
        <source>HF group setting</source>
        <translation>HF group setting</translation>
    </message>
    <message id="tavrel.cmd.recognise">
        <source>Multi-pass code recognition</source>
        <translation>Multi-pass code recognition</translation>
    </message>
    <message id="tavrel.cmd.quick">
        <source>Quick machining</source>
        <translation>Quick machining</translation>
    </message>
    <message id="tavrel.cmd.about">
        <source>&amp;About Tavrel...</source>
        <translation>&amp;About Tavrel...</translation>
    </message>
    <message id="tavrel.tip.open">
        <source>Open a code file</source>
        <translation>Open a code file</translation>
    </message>
    <message id="tavrel.tip.save">
        <source>Save the code</source>
        <translation>Save the code</translation>
    </message>
    <message id="tavrel.tip.save_as">
        <source>Save the code under another name</source>
        <translation>Save the code under another name</translation>
    </message>
    <message id="tavrel.tip.close">
        <source>Close the code file</source>
        <translation>Close the code file</translation>
    </message>
    <message id="tavrel.tip.exit">
        <source>Quit Tavrel</source>
        <translation>Quit Tavrel</translation>
    </message>
    <message id="tavrel.tip.fit">
        <source>Fit the drawing to the window</source>
        <translation>Fit the drawing to the window</translation>
    </message>
    <message id="tavrel.tip.move">
        <source>Drag the drawing with the mouse</source>
        <translation>Drag the drawing with the mouse</translation>
    </message>
    <message id="tavrel.tip.zoom_in">
        <source>Zoom in</source>
        <translation>Zoom in</translation>
    </message>
    <message id="tavrel.tip.zoom_out">
        <source>Zoom out</source>
        <translation>Zoom out</translation>
    </message>
    <message id="tavrel.tip.toolbar">
        <source>Show or hide the toolbar</source>
        <translation>Show or hide the toolbar</translation>
    </message>
    <message id="tavrel.tip.status_bar">
        <source>Show or hide the status bar</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message id="tavrel.tip.grid">
        <source>Show or hide the grid</source>
        <translation>Show or hide the grid</translation>
    </message>
    <message id="tavrel.tip.undo">
        <source>Undo the last change</source>
        <translation>Undo the last change</translation>
    </message>
    <message id="tavrel.tip.redo">
        <source>Redo the last undone change</source>
        <translation>Redo the last undone change</translation>
    </message>
    <message id="tavrel.tip.add">
        <source>Add a line of code</source>
        <translation>Add a line of code</translation>
    </message>
    <message id="tavrel.tip.modify">
        <source>Modify the current line</source>
        <translation>Modify the current line</translation>
    </message>
    <message id="tavrel.tip.delete">
        <source>Delete the current lines</source>
        <translation>Delete the current lines</translation>
    </message>
    <message id="tavrel.tip.copy">
        <source>Copy the current lines</source>
        <translation>Copy the current lines</translation>
    </message>
    <message id="tavrel.tip.paste">
        <source>Paste the lines at the current place</source>
        <translation>Paste the lines at the current place</translation>
    </message>
    <message id="tavrel.tip.cut">
        <source>Cut the current lines</source>
        <translation>Cut the current lines</translation>
    </message>
    <message id="tavrel.tip.join">
        <source>Join another code file to the current code</source>
        <translation>Join another code file to the current code</translation>
    </message>
    <message id="tavrel.tip.hf_group">
        <source>Set the HF groups of multi-pass code</source>
        <translation>Set the HF groups of multi-pass code</translation>
    </message>
    <message id="tavrel.tip.recognise">
        <source>Recognise multi-pass code</source>
        <translation>Recognise multi-pass code</translation>
    </message>
    <message id="tavrel.tip.quick">
        <source>Machine the current code now</source>
        <translation>Machine the current code now</translation>
    </message>
    <message id="tavrel.tip.about">
        <source>Show the program's version</source>
        <translation>Show the program's version</translation>
    </message>
    <message id="tavrel.about.title">
        <source>About Tavrel</source>
        <translation>About Tavrel</translation>
    </message>
    <message id="tavrel.about.text">
        <source>Tavrel code editor
Version %1</source>
        <translation>Tavrel code editor
Version %1</translation>
    </message>
    <message id="61217">
        <source>This kind of code cannot be joined</source>
        <translation>This kind of code cannot be joined</translation>
    </message>
    <message id="61218">
        <source>The file to join is too long</source>
        <translation>The file to join is too long</translation>
    </message>
    <message id="61219">
        <source>This kind of code cannot be recognised automatically</source>
        <translation>This kind of code cannot be recognised automatically</translation>
    </message>
    <message id="tavrel.not_machinable">
        <source>Group-change lines can only be put into a 3B or ISO program that can be machined</source>
        <translation>Group-change lines can only be put into a 3B or ISO program that can be machined</translation>
    </message>
    <message id="tavrel.hf.title">
        <source>Select the HF group</source>
        <translation>Select the HF group</translation>
    </message>
    <message id="tavrel.hf.label">
        <source>HF group after this segment:</source>
        <translation>HF group after this segment:</translation>
    </message>
    <message id="tavrel.threshold.title">
        <source>Jump segment length threshold</source>
        <translation>Jump segment length threshold</translation>
    </message>
    <message id="tavrel.threshold.text">
        <source>Enter the length threshold of jump segments; the jump segments are then searched automatically</source>
        <translation>Enter the length threshold of jump segments; the jump segments are then searched automatically</translation>
    </message>
    <message id="tavrel.threshold.unit">
        <source>um</source>
        <translation>um</translation>
    </message>
    <message id="tavrel.range">
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Please enter an integer between %1 and %2.</translation>
    </message>
    <message id="tavrel.join.title">
        <source>Join parameters</source>
        <translation>Join parameters</translation>
    </message>
    <message id="tavrel.join.text">
        <source>Difference between the start points of the two codes, in microns:</source>
        <translation>Difference between the start points of the two codes, in microns:</translation>
    </message>
    <message id="tavrel.integer">
        <source>Please enter an integer.</source>
        <translation>Please enter an integer.</translation>
    </message>
</context>
</TS>
