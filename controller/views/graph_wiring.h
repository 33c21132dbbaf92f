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

// Polled positions and stop blocks go to the view.
void attachGraphToMachining(CGraphView& graph, MachineControl& control);
// Range, direction, stops, Ignore D and the pulse parameter file as the operations and the
// table hold them now.
void syncGraphWithMachining(CGraphView& graph, MachineControl& control, const PulseTable& table);

}  // namespace korvex
