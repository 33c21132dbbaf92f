// The graph view fed by the machining on the virtual card: the white point of a return and of a
// fast roll, and a program the view cannot draw refused before the card hears of it.
#include "controller/machine_control.h"
#include "controller/tests/controller_fixture.h"
#include "controller/views/graph_raster.h"
#include "controller/views/graph_view.h"
#include "platform/string_table.h"
#include "sim/card/card_engine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>

namespace korvex::testing {
namespace {

const QString kSquare = QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b");
constexpr int kWaitMs = 10000;  // generous: only a stuck worker or link takes this long

template <class F>
bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The pixels a point adds to the view: every pixel that differs from the same scene drawn
// without it must be white and lie within the point's radius of where it is mapped.
int checkWhitePoint(const CGraphView& view, const QImage& shown, const GraphScene& without, GraphPoint p) {
    const QImage plain = renderGraph(without);
    const int64_t px = view.mapping().pixelX(p.x), py = view.mapping().pixelY(p.y);
    int added = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == plain.pixel(x, y))
                continue;
            ++added;
            EXPECT_EQ(shown.pixel(x, y) | 0xFF000000u, colorRef(0xFFFFFF)) << x << "," << y;
            EXPECT_LE(std::llabs(x - px), 5) << x;
            EXPECT_LE(std::llabs(y - py), 5) << y;
        }
    return added;
}

class GraphMachiningTest : public ControllerTest {
protected:
    void start() {
        parts.emplace();
        ASSERT_TRUE(c().start());
        c().frame.resize(1000, 700);
        c().frame.show();
        ASSERT_EQ(c().frame.openRequest(kSquare), OpenOutcome::Opened);
        machine.emplace(c().session, c().link.link(), c().operatorUi, c().events, c().pulseTable, &c().frame);
        c().frame.attachMachineControl(*machine);
    }
    void TearDown() override {
        machine.reset();  // before the window it writes to
        parts.reset();
    }
    MachiningOperations& ops() { return machine->operations(); }
    ControllerParts& c() { return *parts; }

    std::optional<ControllerParts> parts;  // the card in real time: a return of millimetres takes seconds
    std::optional<MachineControl> machine;
};

TEST_F(GraphMachiningTest, AReturnAndAFastRollShowTheWiresWhitePoint) {
    start();
    CGraphView* graph = c().frame.graphView();
    const GraphProgram& program = *graph->program();
    // A return recovery from the origin, where the card stands after the load, to the start of
    // segment 4 at (15, -5) mm: the wire crosses the square on a diagonal.
    constexpr int32_t kTarget = 4;
    ASSERT_EQ(program.lowerX(kTarget), 15000);
    ASSERT_EQ(program.lowerY(kTarget), -5000);
    ops().setPendingReturn(kTarget, {15000, -5000, 0, 0});
    graph->setMoveMode(true);
    c().operatorUi.answers = {OperatorInteraction::Answer::Yes};
    ops().pressReturn();
    ASSERT_TRUE(processUntil([&] { return graph->scene().returnPoint.has_value(); }));
    EXPECT_FALSE(graph->moveMode());  // an operation leaves move mode
    const GraphPoint p = *graph->scene().returnPoint;
    // Target minus what is left: on the way there.
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x, 15000);
    EXPECT_NEAR(double(p.y), -double(p.x) / 3.0, 2.0);
    GraphScene without = graph->scene();
    without.returnPoint.reset();
    EXPECT_GT(checkWhitePoint(*graph, graph->picture(), without, p), 20);

    // Stopping the return takes the point away.
    c().operatorUi.answers = {OperatorInteraction::Answer::Ok};
    ops().pressReturn();
    ASSERT_TRUE(processUntil([&] { return !ops().returning() && !graph->scene().returnPoint; }));
    ASSERT_TRUE(processUntil([&] { return ops().idle(); }));

    // A fast roll where the return stopped: the point stands at the polled position.
    c().operatorUi.answers = {OperatorInteraction::Answer::Yes};
    ops().pressFastRoll();
    ASSERT_TRUE(processUntil([&] { return graph->scene().rollPoint.has_value(); }));
    EXPECT_TRUE(graph->scene().rolling);
    const WorkParams here = c().card.server().withEngine([](sim::CardEngine& e) { return e.position(); });
    const GraphPoint r = *graph->scene().rollPoint;
    EXPECT_EQ(r, (GraphPoint{here.guideX, here.guideY}));
    EXPECT_GT(r.x, 0);  // where the return stopped
    EXPECT_NEAR(double(r.y), -double(r.x) / 3.0, 2.0);
    without = graph->scene();
    without.rollPoint.reset();
    EXPECT_GT(checkWhitePoint(*graph, graph->picture(), without, r), 20);
    ops().pressFastRoll();
    ASSERT_TRUE(processUntil([&] { return !ops().rolling() && !graph->scene().rolling; }));
    EXPECT_FALSE(graph->scene().rollPoint);
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// An arc whose start lies on its centre loads (the loader takes it) but cannot be drawn.
TEST_F(ControllerTest, AProgramTheViewCannotDrawFailsItsLoadBeforeTheCardHearsOfIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("centre.3b"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Start Point  =   0.000 ,  0.000 ;\n"
                "N    1: B     5000 B        0 B     5000 GX  L1;\n"
                "N    2: B        0 B        0 B     1000 GX  NR1;\n"
                "N    3: B     5000 B        0 B     5000 GX  L3;\n"
                "N    4: DD\n");
    }
    // A card of its own, with its trace of every request.
    sim::ServerOptions options;
    options.tracePath = dir.filePath(QStringLiteral("card.jsonl")).toStdString();
    sim::CardServer traced(options);
    ASSERT_EQ(traced.start(), 0) << traced.error();
    ControllerParts c;
    c.operatorUi.scripts[QStringLiteral("CommConfig")] = pressOkWith(QString::fromStdString(traced.devicePath()));
    ASSERT_TRUE(c.start());
    const std::size_t before = c.operatorUi.messages.size();
    EXPECT_NE(c.frame.openRequest(path), OpenOutcome::Opened);
    c.frame.graphView()->repaint();
    QCoreApplication::processEvents();

    // 61516 once (no paint shows it again), then the open's own 61472 of a refused file.
    std::vector<QString> shown;
    for (std::size_t i = before; i < c.operatorUi.messages.size(); ++i)
        shown.push_back(c.operatorUi.messages[i].text);
    EXPECT_EQ(shown, (std::vector<QString>{qtTrId("61516").arg(2, 3), qtTrId("61472")}));
    // The load failed as a refused program does: nothing is loaded, nothing drawn.
    EXPECT_FALSE(c.document.isLoaded());
    EXPECT_EQ(c.document.program(), nullptr);
    EXPECT_EQ(c.frame.graphView()->program(), nullptr);
    EXPECT_FALSE(c.link.wasSent("CMD_LOAD_MODEL"));
    traced.stop();
    const std::string trace = readWhole(options.tracePath);
    EXPECT_NE(trace.find("\"cmd\":\"CMD_CONNECT\""), std::string::npos);
    EXPECT_EQ(trace.find("\"cmd\":\"CMD_LOAD_MODEL\""), std::string::npos);
}

}  // namespace
}  // namespace korvex::testing
