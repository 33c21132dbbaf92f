// The graph view inside the main window: the status bar panes it feeds ("mm/grid", X, Y) and the
// load it fails when a segment cannot be drawn (61516, shown once, outside any paint).
#pragma once

namespace korvex {

class CDCSDoc;
class CGraphView;
class CMainFrame;
class MachineSession;
class OperatorInteraction;

void connectGraphView(CMainFrame& frame, CGraphView& graph, CDCSDoc& document, OperatorInteraction& operatorUi,
                      const MachineSession& session);

}  // namespace korvex
