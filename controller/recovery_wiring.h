// The main window's views as the power-loss recovery fills them: the loop pane, the stop marks
// of the code list and the graph view, the graph view's two handed-back values, the restored
// point in the graph view and the status panel, the return display, and the views emptied
// after a cancelled prework.
#pragma once

#include "controller/work_recovery.h"

namespace korvex {

class CMainFrame;

// The graph view's dynamic property holding the record's two values (a QVariantList of two
// ints), handed back unchanged.
inline constexpr char kRecoveryGraphValuesProperty[] = "recoveryGraphValues";

RecoveryViews recoveryViewsOf(CMainFrame& frame);

}  // namespace korvex
