#include "sim/card/control.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace korvex::sim {
namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// A whole-word integer in [low, high].
bool parseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

std::string statusText(CardServer& server) {
    const ServerCounters c = server.counters();
    return server.withEngine([&c](CardEngine& e) {
        const WorkParams w = e.position();
        const CardFigures& f = e.figures();
        std::ostringstream out;
        out << "state " << int{e.runState()} << " sub " << int{e.subState()} << " segment " << w.segment
            << " x " << w.guideX << " y " << w.guideY << " u " << w.guideU << " v " << w.guideV << " loop "
            << w.loopIndex << " segments-entered " << f.segmentsEntered << " starvations " << f.starvations
            << " starved-ms " << f.starvedMicros / 1000 << " requests " << c.requests << " retries "
            << c.retries << " bad-frames " << c.badFrames << " reports " << c.reportsSent;
        return out.str();
    });
}

}  // namespace

int applyControlCommand(CardServer& server, const std::string& line, std::string& reply) {
    const std::vector<std::string> w = words(line);
    auto fail = [&reply](const std::string& why) {
        reply = "error: " + why;
        return -1;
    };
    if (w.empty()) return fail("empty command");
    const std::string& cmd = w[0];
    const std::size_t args = w.size() - 1;
    reply = "ok";
    if ((cmd == "short" || cmd == "break" || cmd == "drop-response" || cmd == "corrupt-response" ||
         cmd == "duplicate-response" || cmd == "powerloss" || cmd == "status") && args != 0)
        return fail(cmd + " takes no argument");

    if (cmd == "short") {
        if (server.shortCircuit() != 0) return fail("the card is not cutting");
    } else if (cmd == "break") {
        if (server.wireBreak() != 0) return fail("no wire is running (not cutting, walking or backing)");
    } else if (cmd == "silence") {
        if (args != 1 || (w[1] != "on" && w[1] != "off")) return fail("usage: silence on|off");
        server.setSilence(w[1] == "on");
    } else if (cmd == "noise") {
        int n = 0;
        if (args != 1 || !parseInt(w[1], 1, kMaxNoiseBytes, n))
            return fail("usage: noise N (1 to " + std::to_string(kMaxNoiseBytes) + ")");
        server.injectNoise(n);
    } else if (cmd == "drop-response") {
        server.dropNextResponse();
    } else if (cmd == "corrupt-response") {
        server.corruptNextResponse();
    } else if (cmd == "duplicate-response") {
        server.duplicateNextResponse();
    } else if (cmd == "delay") {
        int ms = 0;
        if (args != 1 || !parseInt(w[1], 0, kMaxDelayMs, ms))
            return fail("usage: delay MS (0 to " + std::to_string(kMaxDelayMs) + ")");
        server.setResponseDelay(ms);
    } else if (cmd == "powerloss") {
        server.powerLoss();
    } else if (cmd == "status") {
        reply = statusText(server);
    } else {
        return fail("unknown command '" + cmd +
                    "' (short, break, silence on|off, noise N, drop-response, corrupt-response, "
                    "duplicate-response, delay MS, powerloss, status)");
    }
    return 0;
}

}  // namespace korvex::sim
