#include "controller/views/graph_wiring.h"

#include "controller/document/dcs_doc.h"
#include "controller/machine_session.h"
#include "controller/main_frame.h"
#include "controller/views/graph_view.h"
#include "platform/operator_interaction.h"

namespace korvex {

void connectGraphView(CMainFrame& frame, CGraphView& graph, CDCSDoc& document, OperatorInteraction& operatorUi,
                      const MachineSession& session) {
    QObject::connect(&graph, &CGraphView::drawFailed, &frame, [&document, &operatorUi, &session](int segment) {
        operatorUi.message(session.alarmTitle(), qtTrId("61516").arg(segment, 3), OperatorInteraction::Icon::Critical);
        document.rejectParsedProgram();
    });
    QObject::connect(&graph, &CGraphView::gridChanged, &frame, [&frame](qint64 microns) {
        frame.setPaneText(CMainFrame::kGridPane, qtTrId("61489").arg(microns));
    });
    QObject::connect(&graph, &CGraphView::cursorMoved, &frame, [&frame](qint64 x, qint64 y) {
        frame.setPaneText(CMainFrame::kXPane, QStringLiteral("X=%1").arg(x));
        frame.setPaneText(CMainFrame::kYPane, QStringLiteral("Y=%1").arg(y));
    });
}

}  // namespace korvex
