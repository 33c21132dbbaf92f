#include "controller/machining/tests/machine_harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "code/loader.h"
#include "controller/link/commands.h"
#include "controller/machining/event_routing.h"
#include "sim/card/control.h"

namespace korvex::testing {
namespace {

constexpr int kWaitMs = 10000;       // generous: only a broken link or a stuck worker takes this
constexpr int64_t kSliceMs = 250;    // virtual time per step of runUntil()

std::vector<std::string> traceLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

}  // namespace

void ScriptedHost::runOnUi(std::function<void()> call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

int ScriptedHost::runPending() {
    int ran = 0;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (calls_.empty())
                return ran;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
        ++ran;
    }
}

std::optional<std::pair<int32_t, int32_t>> ScriptedHost::chooseRange(int32_t segmentCount, bool reverse) {
    rangeDialogs.emplace_back(segmentCount, reverse);
    return range;
}

void ScriptedHost::alarm(const char* textId, Icon icon, int soundKind) {
    alarms.push_back(std::string(textId) + " " + std::to_string(soundKind));
    message(textId, icon);
}

bool ScriptedHost::ask(const char* textId, Icon, bool) {
    questions.push_back(textId);
    if (answers.empty())
        return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<int32_t> ScriptedHost::chooseReturnSegment(int32_t) { return returnSegment; }

void ScriptedHost::message(const char* textId, Icon icon) {
    messages.push_back(textId);
    messageIcons.push_back(icon);
}

PulseGroupImage ScriptedHost::pulseGroup(int index) const {
    PulseGroupImage image{};
    image[0] = 1;  // a pulse width of 1 us
    image[4] = 1;
    image[10] = static_cast<uint8_t>(index);
    image[27] = 100;
    return image;
}

Machine::Machine(const std::string& name) : link(LinkOptions{2000, 2000, 0, {}}) {
    tracePath_ = std::filesystem::temp_directory_path() /
                 ("korvex-machine-" + name + "-" + std::to_string(::getpid()) + ".jsonl");
    sim::ServerOptions options;
    options.manualClock = true;
    options.pcSilenceMs = 0;
    options.tracePath = tracePath_.string();
    server = std::make_unique<sim::CardServer>(options);
    EXPECT_EQ(server->start(), 0) << server->error();
    link.SetEventHook([this](uint8_t code, const uint8_t* record) {
        if (code == reportcode::kSegmentReached)
            worker.segmentReached(GetLe32(record + 4));
        // Every other report goes to the UI thread, as the window's router hands it on.
        std::array<uint8_t, kReportDataBytes> data{};
        std::copy(record, record + data.size(), data.begin());
        for (const RoutedEvent& routed : routeCardEvent(code, data)) {
            if (routed.target == RoutedEvent::Target::Graph && routed.kind == 6)
                host.runOnUi([this, failed = routed.argument] {
                    host.linkFailures.push_back(failed);
                    operations.linkLost();
                });
            else if (routed.target == RoutedEvent::Target::Graph)
                host.runOnUi([this, routed] { operations.onCardEvent(routed.kind, routed.argument); });
            else if (routed.target == RoutedEvent::Target::Buttons)
                host.runOnUi([this] { operations.refresh(); });
        }
        std::lock_guard lock(mutex_);
        if (code == reportcode::kRunEvent)
            runEvents_.push_back(record[1]);
        if (code != reportcode::kLinkFailure)
            ++reports_;
        arrived_.notify_all();
    });
    EXPECT_EQ(link.Open(server->devicePath()), 0);
    EXPECT_EQ(CMD_CONNECT(link), 0);
    worker.start();
}

Machine::~Machine() {
    worker.stop();
    link.Close();
    server->stop();
    std::filesystem::remove(tracePath_);
}

void Machine::load(const std::string& text, int loops, bool reverse, const char* name) {
    program = std::make_shared<LoadedProgram>();
    LoadOptions options;
    options.threads = 1;
    LoadFailure failure;
    ASSERT_EQ(loadProgramText(text, name, options, *program, failure), 0) << failure.message;
    LoadDescriptor descriptor;
    descriptor.setTitle(name);
    descriptor.loopTotal = static_cast<uint8_t>(loops);
    ASSERT_EQ(CMD_LOAD_MODEL(link, descriptor, false), 0);
    ASSERT_EQ(CMD_SET_LOOP(link, loops), 0);
    ASSERT_EQ(CMD_SET_DIRECTION(link, reverse ? 1 : 0), 0);
    operations.setProgram(program);
    operations.setReverse(reverse);
    markTrace();
}

void Machine::settle() {
    for (;;) {
        ASSERT_TRUE(worker.waitUntilIdle(kWaitMs)) << "the card worker did not come to rest";
        if (host.runPending() == 0 && worker.waitUntilIdle(kWaitMs) && host.runPending() == 0)
            return;
    }
}

bool Machine::waitForReports(uint64_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] { return reports_ >= count; });
}

void Machine::advance(int64_t ms) {
    for (int64_t done = 0; done < ms;) {
        const int64_t step = std::min(kSliceMs, ms - done);
        // Both clocks stand at the same time before anything the reports caused runs, so a
        // wait the worker starts is measured from the card's time of the report.
        const uint64_t sent = server->advance(step * 1000);
        EXPECT_TRUE(waitForReports(sent)) << "reports lost on the way";
        clock.advance(step);
        settle();
        done += step;
    }
}

bool Machine::sawEvent(uint8_t event) {
    std::lock_guard lock(mutex_);
    return std::find(runEvents_.begin(), runEvents_.end(), event) != runEvents_.end();
}

bool Machine::runUntil(uint8_t event, int64_t maxMs) {
    for (int64_t t = 0; t < maxMs; t += kSliceMs) {
        if (sawEvent(event))
            return true;
        advance(kSliceMs);
        if (::testing::Test::HasFatalFailure())
            return false;
    }
    return sawEvent(event);
}

int Machine::tell(const std::string& command) {
    std::string reply;
    const int r = sim::applyControlCommand(*server, command, reply);
    EXPECT_EQ(r, 0) << command << " -> " << reply;
    return r;
}

void Machine::markTrace() { traceMark_ = traceLines(tracePath_).size(); }

std::vector<std::string> Machine::commands(bool withPollsAndWindows) const {
    std::vector<std::string> out;
    for (auto& [t, text] : timedCommands(withPollsAndWindows))
        out.push_back(std::move(text));
    return out;
}

std::vector<std::pair<double, std::string>> Machine::timedCommands(bool withPollsAndWindows) const {
    static const std::regex cmd("\"t\":([0-9.]+),\"dir\":\"rx\",\"cmd\":\"([A-Z_0-9]+)\"");
    static const std::regex value("\"(value|first|last|segment|feed)\":(-?\\d+)");
    static const std::regex entry("\"entry\":\\[(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+)\\]");
    const std::vector<std::string> lines = traceLines(tracePath_);
    std::vector<std::pair<double, std::string>> out;
    for (std::size_t i = traceMark_; i < lines.size(); ++i) {
        std::smatch m;
        if (!std::regex_search(lines[i], m, cmd))
            continue;
        const double t = std::stod(m[1]);
        const std::string name = m[2];
        if (!withPollsAndWindows && (name == "CMD_GET_POSITION" || name == "CMD_GET_HF_LEVEL" ||
                                     name == "CMD_GET_RUN_STATE" || name == "CMD_SEND_SEGMENTS" ||
                                     name == "CMD_GET_ROLL_INFO"))
            continue;
        std::string text = name;
        for (auto it = std::sregex_iterator(lines[i].begin(), lines[i].end(), value); it != std::sregex_iterator(); ++it)
            text += " " + (*it)[2].str();
        if (std::smatch e; std::regex_search(lines[i], e, entry))
            text += " [" + e[1].str() + "," + e[2].str() + "," + e[3].str() + "," + e[4].str() + "]";
        if (lines[i].find("\"status\":1") != std::string::npos)
            text += " refused";
        out.emplace_back(t, text);
    }
    return out;
}

std::vector<std::array<int, 3>> Machine::windows() const {
    static const std::regex window("\"cmd\":\"CMD_SEND_SEGMENTS\".*\"segments\":\\[(-?\\d+),(-?\\d+),(-?\\d+)\\]");
    std::vector<std::array<int, 3>> out;
    for (const std::string& line : traceLines(tracePath_)) {
        std::smatch m;
        if (std::regex_search(line, m, window))
            out.push_back({std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])});
    }
    return out;
}

}  // namespace korvex::testing
