#include "controller/views/graph_wiring.h"

#include "controller/document/code_list_model.h"
#include "controller/document/dcs_doc.h"
#include "controller/machine_control.h"
#include "controller/machine_session.h"
#include "controller/main_frame.h"
#include "controller/pulse_table.h"
#include "controller/views/code_list_view.h"
#include "controller/views/graph_view.h"

#include <QItemSelectionModel>

#include <optional>

#include "platform/operator_interaction.h"

namespace korvex {

void connectGraphView(CMainFrame& frame, CGraphView& graph, CDCSDoc& document, OperatorInteraction& operatorUi,
                      const MachineSession& session) {
    QObject::connect(&graph, &CGraphView::drawFailed, &frame, [&document, &operatorUi, &session](int segment) {
        operatorUi.message(session.alarmTitle(), qtTrId("61516").arg(segment, 3), OperatorInteraction::Icon::Critical);
        document.rejectParsedProgram();
    });
    QObject::connect(&document, &CDCSDoc::workReset, &graph, &CGraphView::clearAndFit);
    // The code list's current row is the selected segment, unless the list moved there because
    // the card reached it: magenta over the segment being cut would hide its machined part. A
    // new current segment of the cut brings its statement to the bottom line.
    if (CDCSView* list = frame.codeListView(); list && list->selectionModel()) {
        QObject::connect(list->selectionModel(), &QItemSelectionModel::currentRowChanged, &graph,
                         [&graph, list](const QModelIndex& current) {
                             const bool chosen = current.isValid() && current.row() != list->lastReportedSegment();
                             graph.setSelectedSegment(chosen ? current.row() : -1);
                         });
    }
    QObject::connect(&graph, &CGraphView::progressChanged, &graph, [&frame, &graph](const GraphProgress& p) {
        auto* model = frame.codeListView() ? qobject_cast<CodeListModel*>(frame.codeListView()->model()) : nullptr;
        if (model && p.current != graph.property("shownSegment").toInt()) {
            graph.setProperty("shownSegment", p.current);
            graph.setCodeText(model->commandText(p.current));
        }
    });
    QObject::connect(&graph, &CGraphView::gridChanged, &frame, [&frame](qint64 microns) {
        frame.setPaneText(CMainFrame::kGridPane, qtTrId("61489").arg(microns));
    });
    QObject::connect(&graph, &CGraphView::cursorMoved, &frame, [&frame](qint64 x, qint64 y) {
        frame.setPaneText(CMainFrame::kXPane, QStringLiteral("X=%1").arg(x));
        frame.setPaneText(CMainFrame::kYPane, QStringLiteral("Y=%1").arg(y));
    });
}

namespace {

// The wire while returning: the target is the guides' position at the start of the return
// segment (as the return's distances were worked out), the card reports the distance still to
// go, so the wire stands at target minus remaining.
std::optional<GraphPoint> returnPointOf(const CGraphView& graph, int32_t segment, const StatusBlock& status) {
    const GraphProgram* program = graph.program();
    if (!program || segment < 0 || segment >= program->count())
        return std::nullopt;
    StepState lower, upper;
    GuidePositions target;
    if (segmentStartGuides(program->starts(), program->program().segments.data(), static_cast<std::size_t>(segment),
                           false, program->guideGeometry(), lower, upper, target) != kGuidesOk)
        return std::nullopt;
    return GraphPoint{int64_t{target.x} - status.remainingSteps[0], int64_t{target.y} - status.remainingSteps[1]};
}

}  // namespace

void attachGraphToMachining(CGraphView& graph, MachineControl& control) {
    control.positionShown = [&graph, &control](const PositionBlock& p) {
        graph.showPosition(p);
        if (control.operations().rolling())
            graph.setRolling(true, GraphPoint{p.work.guideX, p.work.guideY});
    };
    control.statusShown = [&graph, &control](const StatusBlock& s) {
        graph.showStatus(s);
        const MachiningOperations& ops = control.operations();
        if (ops.returning())
            graph.setReturnPoint(returnPointOf(graph, ops.returnSegment(), s));
    };
}

void syncGraphWithMachining(CGraphView& graph, MachineControl& control, const PulseTable& table) {
    graph.setTableName(table.tableName());
    const MachiningOperations& ops = control.operations();
    const GraphProgram* program = graph.program();
    if (const auto range = ops.chosenRange(); range && program)
        graph.setRange(range->first, range->second, ops.reverse());
    else if (program && program->count() > 0)
        graph.setRange(0, program->count() - 1, ops.reverse());
    graph.setStops(ops.segmentStops());
    graph.setIgnorePause(ops.ignorePause());
    // A return or a roll that ended takes its point along; one that starts shows none until
    // its first poll. A restored return that waits to be continued keeps its target shown.
    if (!ops.returning() && !ops.flags().recovering && graph.scene().returnPoint)
        graph.setReturnPoint(std::nullopt);
    if (ops.rolling() != graph.scene().rolling)
        graph.setRolling(ops.rolling());
    if (!ops.idle())
        graph.leaveMoveMode();
}

}  // namespace korvex
