// The graph view inside the main window: the status bar panes it feeds ("mm/grid", X, Y) and the
// load it fails when a segment cannot be drawn (61516, shown once, outside any paint).
#pragma once

namespace korvex {

class CDCSDoc;
class CGraphView;
class CMainFrame;
class MachineControl;
class MachineSession;
class OperatorInteraction;
class PulseTable;

void connectGraphView(CMainFrame& frame, CGraphView& graph, CDCSDoc& document, OperatorInteraction& operatorUi,
                      const MachineSession& session);

// Polled positions and stop blocks go to the view; while returning, the return polls place the
// wire's white point, and while fast rolling the roll polls do.
void attachGraphToMachining(CGraphView& graph, MachineControl& control);
// Range, direction, stops, Ignore D, the pulse parameter file, and whether a return or a fast
// roll runs, as the operations and the table hold them now.
void syncGraphWithMachining(CGraphView& graph, MachineControl& control, const PulseTable& table);

}  // namespace korvex
