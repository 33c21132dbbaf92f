// A taper program from the Taper dialog to the finished cut, headless on the virtual card over
// its pseudo-terminal: the card is told the taper values and machine type, a cut started at a
// chosen segment hands the card the guide positions kvcode computes there, the card's guides
// arrive where the program ends, and after a restart the same machine type goes with the file.
#include "controller/machine_control.h"
#include "controller/edit/taper_dialog.h"
#include "controller/tests/controller_fixture.h"
#include "sim/card/card_engine.h"
#include "sim/card/card_server.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <chrono>
#include <cstdlib>
#include <optional>

namespace korvex::testing {
namespace {

constexpr int kWaitMs = 20000;  // generous: only a stuck worker or link takes this long
constexpr double kFastCard = 50.0;

template <class F>
bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The fields of the trace's requests of one command, in order.
std::vector<std::map<QString, long long>> traced(const QString& path, const char* command) {
    QFile file(path);
    std::vector<std::map<QString, long long>> out;
    if (!file.open(QIODevice::ReadOnly)) return out;
    const QRegularExpression number(QStringLiteral("\"(\\w+)\":(-?\\d+)"));
    const QString marker = QStringLiteral("\"cmd\":\"%1\"").arg(QLatin1String(command));
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (!line.contains(marker) || !line.contains(QLatin1String("\"dir\":\"rx\""))) continue;
        std::map<QString, long long> fields;
        for (auto it = number.globalMatch(line); it.hasNext();) {
            const auto m = it.next();
            fields[m.captured(1)] = m.captured(2).toLongLong();
        }
        out.push_back(fields);
    }
    return out;
}

// "X Y U V F" of kvcode guides.
std::vector<long long> kvcodeGuides(const QString& file, int index, bool atEnd) {
    QProcess kvcode;
    QStringList args{QStringLiteral("guides"), file, QString::number(index)};
    if (atEnd) args << QStringLiteral("--end");
    kvcode.start(QStringLiteral(KVCODE_PATH), args);
    EXPECT_TRUE(kvcode.waitForFinished(kWaitMs));
    EXPECT_EQ(kvcode.exitCode(), 0) << kvcode.readAllStandardError().toStdString();
    std::vector<long long> values;
    for (const QString& v : QString::fromUtf8(kvcode.readAllStandardOutput()).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.push_back(v.trimmed().toLongLong());
    return values;
}

class TaperEndToEnd : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        tracePath = data.path() + QStringLiteral("/card-trace.jsonl");
        sim::ServerOptions options;
        options.speedScale = kFastCard;
        options.tracePath = tracePath.toStdString();
        card = std::make_unique<sim::CardServer>(options);
        ASSERT_EQ(card->start(), 0) << card->error();
    }
    void TearDown() override {
        machine.reset();
        c.reset();
        card->stop();
    }
    // A controller started on our card (the one whose trace is read).
    void startController() {
        machine.reset();
        c.reset();
        c = std::make_unique<ControllerParts>(sim::kDefaultCardId, kFastCard);
        c->operatorUi.scripts[QStringLiteral("CommConfig")] =
            pressOkWith(QString::fromStdString(card->devicePath()));
        ASSERT_TRUE(c->start());
    }

    QString tracePath;
    std::unique_ptr<sim::CardServer> card;
    std::unique_ptr<ControllerParts> c;
    std::optional<MachineControl> machine;
};

TEST_F(TaperEndToEnd, GeneratedThroughTheDialogCutFromAChosenSegmentAndTheTypeKeptAcrossARestart) {
    startController();
    // The drawn contour, in a folder of its own: the taper file is written beside it.
    const QString drawn = data.path() + QStringLiteral("/part.3b");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KORVEX_EXAMPLES_DIR "/square.3b"), drawn));
    c->operatorUi.scripts[QStringLiteral("TaperDialog")] = [&](QDialog& d) {
        auto& dialog = static_cast<CTaperDialog&>(d);
        EXPECT_TRUE(dialog.setGraph(true, drawn));
        d.findChild<QDoubleSpinBox*>(QStringLiteral("height"))->setValue(60);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("width"))->setValue(20);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("base"))->setValue(20);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("r"))->setValue(1.5);
        // Steep enough that the roller correction takes whole microns off X (23 at segment 3).
        d.findChild<QDoubleSpinBox*>(QStringLiteral("degree"))->setValue(10);
        d.findChild<QComboBox*>(QStringLiteral("machineType"))->setCurrentIndex(2);
        d.accept();
        return d.result();
    };
    QAction* taper = c->frame.findChild<QAction*>(QStringLiteral("tp-menu-taper"));
    ASSERT_NE(taper, nullptr);
    taper->trigger();
    const QString program = drawn + QStringLiteral(".3nb");
    ASSERT_EQ(c->document.path(), program);
    ASSERT_TRUE(c->document.isLoaded());

    auto setTaper = traced(tracePath, "CMD_SET_TAPER");
    ASSERT_EQ(setTaper.size(), 1u);
    EXPECT_EQ(setTaper[0]["height"], 600);
    EXPECT_EQ(setTaper[0]["width"], 200);
    EXPECT_EQ(setTaper[0]["base"], 200);
    EXPECT_EQ(setTaper[0]["r"], 15);
    EXPECT_EQ(setTaper[0]["degree"], 10000);
    EXPECT_EQ(setTaper[0]["type"], 2);

    // Cut from segment 3 to the end.
    machine.emplace(c->session, c->link.link(), c->operatorUi, c->events, c->pulseTable, &c->frame);
    c->frame.attachMachineControl(*machine);
    const int last = static_cast<int>(c->document.program()->segments.size()) - 1;
    constexpr int kFirst = 3;
    machine->pressAnswering(Operation::Cut, std::pair{kFirst, last});
    ASSERT_TRUE(processUntil([&] { return c->frame.paneText(CMainFrame::kMessagePane) == qtTrId("61622"); }));

    const auto starts = traced(tracePath, "CMD_START_CUT");
    ASSERT_EQ(starts.size(), 1u);
    const std::vector<long long> there = kvcodeGuides(program, kFirst, false);
    ASSERT_EQ(there.size(), 5u);
    EXPECT_EQ(starts[0].at(QStringLiteral("segment")), kFirst);
    EXPECT_EQ(starts[0].at(QStringLiteral("x")), there[0]);
    EXPECT_EQ(starts[0].at(QStringLiteral("y")), there[1]);
    EXPECT_EQ(starts[0].at(QStringLiteral("u")), there[2]);
    EXPECT_EQ(starts[0].at(QStringLiteral("v")), there[3]);
    EXPECT_NE(there[4], 0) << "the start carries a roller correction";

    const std::vector<long long> end = kvcodeGuides(program, last, true);
    ASSERT_EQ(end.size(), 5u);
    const WorkParams reached = card->withEngine([](sim::CardEngine& e) { return e.position(); });
    EXPECT_LE(std::llabs(reached.guideX - end[0]), 1);
    EXPECT_LE(std::llabs(reached.guideY - end[1]), 1);
    EXPECT_LE(std::llabs(reached.guideU - end[2]), 1);
    EXPECT_LE(std::llabs(reached.guideV - end[3]), 1);
    machine->worker().stop();

    // A restart: the program opened again goes to the card with the machine type chosen last.
    c->operatorUi.answers.push_back(OperatorInteraction::Answer::Yes);
    ASSERT_TRUE(c->document.closeProgram());
    startController();
    ASSERT_EQ(c->frame.openRequest(program), OpenOutcome::Opened);
    setTaper = traced(tracePath, "CMD_SET_TAPER");
    ASSERT_EQ(setTaper.size(), 2u);
    EXPECT_EQ(setTaper[1]["type"], 2);
    EXPECT_EQ(setTaper[1]["height"], 600);
}

}  // namespace
}  // namespace korvex::testing
