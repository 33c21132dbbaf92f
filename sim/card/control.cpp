#include "sim/card/control.h"

#include <array>
#include <charconv>
#include <sstream>
#include <vector>

#include "sim/card/card_trace.h"

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

// Exactly 16 hexadecimal digits, two per byte.
bool parseReportBytes(const std::string& text, std::array<uint8_t, kReportDataBytes>& out) {
    if (text.size() != 2 * out.size()) return false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned value = 0;
        const char* first = text.data() + 2 * i;
        const auto [ptr, ec] = std::from_chars(first, first + 2, value, 16);
        if (ec != std::errc() || ptr != first + 2) return false;
        out[i] = static_cast<uint8_t>(value);
    }
    return true;
}

std::string statusText(CardServer& server) {
    const ServerCounters c = server.counters();
    return server.withEngine([&c](CardEngine& e) {
        const WorkParams w = e.position();
        const CardFigures& f = e.figures();
        std::ostringstream out;
        out << "state " << int{e.runState()} << " sub " << int{e.subState()} << " "
            << describePointWords(w, f.stepsRun) << " loop " << w.loopIndex << " segments-entered " << f.segmentsEntered << " starvations " << f.starvations
            << " starved-ms " << f.starvedMicros / 1000 << " clearance-waits " << f.clearanceWaits
            << " clearance-ms " << f.clearanceMicros / 1000 << " back-stops " << f.backStops << " requests " << c.requests << " retries "
            << c.retries << " bad-frames " << c.badFrames << " reports " << c.reportsSent;
        const auto& motors = e.motorPositions();  // steps put out, inverted axes counted back
        out << " motors " << motors[0] << ',' << motors[1] << ',' << motors[2] << ',' << motors[3];
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
    if ((cmd == "break" || cmd == "drop-response" || cmd == "corrupt-response" ||
         cmd == "duplicate-response" || cmd == "powerloss" || cmd == "status") && args != 0)
        return fail(cmd + " takes no argument");

    if (cmd == "short") {
        int seconds = -1;
        if (args > 1 || (args == 1 && !parseInt(w[1], 1, kMaxShortSeconds, seconds)))
            return fail("usage: short [S] (S seconds, 1 to " + std::to_string(kMaxShortSeconds) + ")");
        if (server.shortCircuit(seconds) != 0) return fail("the card is not cutting");
    } else if (cmd == "break") {
        if (server.wireBreak() != 0) return fail("no wire is running (not cutting, walking or backing)");
    } else if (cmd == "silence") {
        if (args != 1 || (w[1] != "on" && w[1] != "off")) return fail("usage: silence on|off");
        server.setSilence(w[1] == "on");
    } else if (cmd == "hold") {
        if (args != 1 || (w[1] != "on" && w[1] != "off")) return fail("usage: hold on|off");
        server.setHold(w[1] == "on");
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
    } else if (cmd == "refuse") {
        const CommandInfo* command = args >= 1 ? FindCommand(w[1]) : nullptr;
        int n = 1;
        if (args < 1 || args > 2) return fail("usage: refuse CMD_NAME [N]");
        if (command == nullptr) return fail("unknown card command '" + w[1] + "'");
        if (args == 2 && !parseInt(w[2], 0, kMaxRefusals, n))
            return fail("usage: refuse CMD_NAME [N] (N 0 to " + std::to_string(kMaxRefusals) + ")");
        server.refuseNext(command->code, n);
    } else if (cmd == "report") {
        int type = 0;
        std::array<uint8_t, kReportDataBytes> data{};
        if (args != 2 || !parseInt(w[1], 0, 255, type) || !parseReportBytes(w[2], data))
            return fail("usage: report TYPE HEX (TYPE 0 to 255, HEX the 8 data bytes as 16 hex digits)");
        server.injectReport(static_cast<uint8_t>(type), data);
    } else if (cmd == "powerloss") {
        server.powerLoss();
    } else if (cmd == "status") {
        reply = statusText(server);
    } else {
        return fail("unknown command '" + cmd +
                    "' (short [S], break, silence on|off, hold on|off, noise N, drop-response, corrupt-response, "
                    "duplicate-response, delay MS, refuse CMD_NAME [N], report TYPE HEX, powerloss, status)");
    }
    return 0;
}

}  // namespace korvex::sim
