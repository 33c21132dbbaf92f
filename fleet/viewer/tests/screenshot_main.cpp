// Writes the documentation's picture of kvfleet in the language given (not a test):
//   kvfleet_screenshot en|zh OUT.png
// Eight machines of a night shift, fed to the real window as the broker would hand them over:
// one with an unacknowledged wire break, one paused, five cutting at their own rates, one idle
// and one offline.
#include <QApplication>
#include <QPixmap>
#include <QTableView>

#include <cstdio>

#include "fleet/viewer/fleet_window.h"
#include "platform/string_table.h"

namespace {

using namespace korvex::fleet;
using namespace std::chrono_literals;

const FleetClock::time_point kNow = *parseUtcIsoTime("2026-12-09T02:30:00Z");

struct Shown {
    const char* id;
    const char* name;
    const char* program;
    int runState;
    double progressBefore;  // ten minutes ago
    double progressNow;
};

const Shown kMachines[] = {
    {"0a1b2c01", "W-01", "gear-48t.3b", 3, 41.0, 46.5},
    {"0a1b2c02", "W-02", "punch-die-a.iso", 3, 12.0, 14.0},
    {"0a1b2c03", "W-03", "bracket.3b", 2, 63.0, 63.0},
    {"0a1b2c04", "W-04", "cam-plate.3b", 3, 70.0, 77.0},
    {"0a1b2c05", "W-05", "mould-insert.iso", 3, 88.0, 91.0},
    {"0a1b2c06", "W-06", "spline-hub.3b", 3, 20.0, 24.0},
    {"0a1b2c07", "W-07", "", 1, 0, 0},
    {"0a1b2c08", "W-08", "washer-x40.3b", 3, 33.0, 33.0},
};

ArrivedMessage state(const Shown& m, double progress, FleetClock::time_point at) {
    FleetState s;
    s.machine = m.name;
    s.program = m.program;
    s.run_state = m.runState;
    s.progress = progress;
    s.time = utcIsoTime(at);
    return {std::string("korvex/") + m.id + "/state", toJsonText(s), at};
}

// The controller sends its string table's identifier with the English text; the window shows
// the text in its own language.
ArrivedMessage event(const char* id, FleetEventKind kind, const char* textId, const char* text, std::uint64_t seq,
                     FleetClock::time_point at) {
    FleetEvent e;
    e.kind = kind;
    e.text_id = textId;
    e.text = text;
    e.seq = seq;
    e.time = utcIsoTime(at);
    return {std::string("korvex/") + id + "/event", toJsonText(e), at};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvfleet_screenshot en|zh OUT.png\n");
        return 2;
    }
    const auto language = korvex::parseLanguage(QString::fromLocal8Bit(argv[1]));
    if (!language) return 2;
    korvex::installTranslations(*language);

    FleetTable table;
    FleetWindow window(table, false);
    window.setClock([] { return kNow; });
    std::vector<ArrivedMessage> messages;
    for (const Shown& m : kMachines) {
        messages.push_back({std::string("korvex/") + m.id + "/online", "1", kNow - 3h});
        messages.push_back(state(m, m.progressBefore, kNow - 10min));
        messages.push_back(state(m, m.progressNow, kNow - 2s));
    }
    messages.push_back(event("0a1b2c01", FleetEventKind::Start, "61494", "Cutting...", 1, kNow - 2h));
    messages.push_back(event("0a1b2c02", FleetEventKind::GroupSwitch, "fleet.group_switched", "Pulse group switched", 4, kNow - 7min));
    messages.push_back(event("0a1b2c03", FleetEventKind::Pause, "61572", "Paused", 2, kNow - 18min));
    messages.push_back(event("0a1b2c05", FleetEventKind::Recovery, "61494", "Cutting...", 9, kNow - 40s));
    messages.push_back(event("0a1b2c07", FleetEventKind::Finish, "61622", "Finished", 12, kNow - 52min));
    messages.push_back(event("0a1b2c08", FleetEventKind::WireBreak, "61512", "Break", 3, kNow - 11min));
    messages.push_back({"korvex/0a1b2c06/online", "0", kNow - 25min});
    window.apply(messages);
    window.setBrokerText(QStringLiteral("mqtt://broker.shop:1883"));
    window.showConnection(MqttConnection::Connected, {});

    window.resize(1180, 420);
    window.show();
    window.view()->setCurrentIndex(window.model().index(3, 0));
    QCoreApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[2]))) return 1;
    return 0;
}
