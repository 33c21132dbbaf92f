#include "controller/recovery_wiring.h"

#include <QVariantList>

#include "controller/main_frame.h"
#include "controller/status_panel_control.h"
#include "controller/views/button_view.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_view.h"

namespace korvex {

RecoveryViews recoveryViewsOf(CMainFrame& frame) {
    RecoveryViews v;
    v.loop = [&frame](int number, int total) { frame.showLoop(number, total); };
    v.stops = [&frame](const std::vector<int32_t>& stops) {
        frame.codeListView()->setStopSegments(stops);
        frame.graphView()->setStops(stops);
    };
    v.graphValues = [&frame](int32_t first, int32_t second) {
        frame.graphView()->setProperty(kRecoveryGraphValuesProperty, QVariantList{first, second});
    };
    v.position = [&frame](const WorkParams& work) {
        PositionBlock at;
        at.work = work;
        frame.graphView()->showPosition(at);
        frame.statusPanel().showWork(work, 0);
    };
    v.returnDisplay = [&frame](const WorkParams& at, int32_t, const std::array<int32_t, kAxisCount>& distances) {
        // The target is where the remaining distances lead from the restored point.
        frame.graphView()->setReturnPoint(GraphPoint{int64_t{at.guideX} + distances[0], int64_t{at.guideY} + distances[1]});
    };
    v.cleared = [&frame] {
        frame.graphView()->setReturnPoint(std::nullopt);
        frame.graphView()->setStops({});
        frame.graphView()->setProperty(kRecoveryGraphValuesProperty, QVariant());
        frame.codeListView()->setStopSegments({});
        frame.statusPanel().setProgram(nullptr);
        frame.showLoop(0, 1);
        frame.buttonView()->refresh();
    };
    return v;
}

}  // namespace korvex
