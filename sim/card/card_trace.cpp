#include "sim/card/card_trace.h"

#include <cstdarg>
#include <span>

namespace korvex::sim {
namespace {

using namespace cmdcode;

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buffer[512];
    va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    if (n < 0) return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

// A file title as a JSON string: printable ASCII kept, everything else escaped.
std::string jsonText(const char* text, std::size_t max) {
    std::string out = "\"";
    for (std::size_t i = 0; i < max && text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            out += format("\\u%04x", c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string commandName(uint8_t type) {
    const CommandInfo* info = FindCommand(type);
    return info ? info->name : format("0x%02X", type);
}

}  // namespace

std::string describePoint(const WorkParams& w, uint64_t stepsRun) {
    return format("\"point\":{\"segment-index\":%d,\"lower\":[%d,%d,%d],\"upper\":[%d,%d,%d],"
                  "\"guides\":[%d,%d,%d,%d]},\"steps-run\":%llu",
                  w.segment, w.lower.steps, w.lower.x, w.lower.y, w.upper.steps, w.upper.x, w.upper.y, w.guideX,
                  w.guideY, w.guideU, w.guideV, static_cast<unsigned long long>(stepsRun));
}

std::string describePointWords(const WorkParams& w, uint64_t stepsRun) {
    return format("segment %d lower %d,%d,%d upper %d,%d,%d x %d y %d u %d v %d steps-run %llu", w.segment,
                  w.lower.steps, w.lower.x, w.lower.y, w.upper.steps, w.upper.x, w.upper.y, w.guideX, w.guideY,
                  w.guideU, w.guideV, static_cast<unsigned long long>(stepsRun));
}

std::string describeRequest(uint8_t type, const uint8_t* p, std::size_t length) {
    auto has = [length](std::size_t n) { return length >= n; };
    switch (type) {
        case CMD_SEND_SEGMENTS:
            if (!has(kSegmentWindowBytes)) return {};
            return format("\"segments\":[%d,%d,%d]", GetLe32(p), GetLe32(p + kCodeSegmentBytes),
                          GetLe32(p + 2 * kCodeSegmentBytes));
        case CMD_START_CUT:
        case CMD_START_WALK:
        case CMD_START_SIMULATE:
        case CMD_START_BACK:
        case CMD_START_ADJUSTED: {
            if (!has(kStartPayloadBytes)) return {};
            const WorkParams w = decodeWorkParams(std::span<const uint8_t, kWorkParamsBytes>(p, kWorkParamsBytes));
            return format("\"segment\":%d,\"x\":%d,\"y\":%d,\"u\":%d,\"v\":%d,\"loop\":%d", w.segment, w.guideX,
                          w.guideY, w.guideU, w.guideV, w.loopIndex);
        }
        case CMD_START_RETURN:
            if (!has(kReturnTargetBytes)) return {};
            return format("\"segment\":%d,\"distances\":[%d,%d,%d,%d]", GetLe32(p), GetLe32(p + 4),
                          GetLe32(p + 8), GetLe32(p + 12), GetLe32(p + 16));
        case CMD_SET_RANGE:
        case CMD_SET_PLAN_PAUSE:
            if (!has(8)) return {};
            return format(type == CMD_SET_RANGE ? "\"first\":%d,\"last\":%d" : "\"segment\":%d,\"percent\":%d",
                          GetLe32(p), GetLe32(p + 4));
        case CMD_LOAD_MODEL:
            if (!has(kLoadDescriptorBytes + 1)) return {};
            return "\"title\":" + jsonText(reinterpret_cast<const char*>(p), kFileTitleBytes) +
                   format(",\"restore\":%d", p[kLoadDescriptorBytes]);
        case CMD_SET_TAPER: {
            if (!has(kTaperBlockBytes)) return {};
            const TaperBlock t = decodeTaperBlock(std::span<const uint8_t, kTaperBlockBytes>(p, kTaperBlockBytes));
            return format("\"height\":%d,\"width\":%d,\"base\":%d,\"r\":%d,\"degree\":%d,\"type\":%d",
                          t.heightTenths, t.widthTenths, t.baseTenths, t.radiusTenths, t.degreeMilli, t.taperType);
        }
        case CMD_SET_PULSE_GROUP:
            if (!has(kPulseGroupBytes)) return {};
            return format("\"index\":%d,\"width\":%d,\"interval\":%d,\"feed\":%d", p[10], GetLe32(p),
                          GetLe32(p + 4), p[24]);
        case CMD_SET_FEED:
            if (!has(kFeedRequestBytes)) return {};
            return format("\"feed\":%d,\"entry\":[%d,%d,%d,%d]", p[kFeedEntryBytes], GetLe16(p), GetLe16(p + 2),
                          GetLe16(p + 4), GetLe16(p + 6));
        case CMD_SET_SEGMENT_STOPS: {
            std::string out = "\"stops\":[";
            for (std::size_t i = 0; i + 4 <= length; i += 4) out += format(i ? ",%d" : "%d", GetLe32(p + i));
            return out + "]";
        }
        case CMD_SET_PHASE:
            if (!has(kPhaseBytes)) return {};
            // Drive type, pulse rate, pulse width and lock level of each axis pair.
            return format("\"xy\":[%d,%d,%d,%d],\"uv\":[%d,%d,%d,%d]", p[0], p[1], p[2], p[3], p[8], p[9], p[10],
                          p[11]);
        case CMD_SET_ROLL_GAP:
            if (!has(4)) return {};
            return format("\"value\":%d", GetLe32(p));
        case CMD_SET_AXIS_INVERT:
            if (!has(kAxisCount)) return {};
            return format("\"invert\":[%d,%d,%d,%d]", p[0], p[1], p[2], p[3]);
        case CMD_SET_SPEED_LIMITS:
            if (!has(4 * kSpeedCount)) return {};
            return format("\"speeds\":[%d,%d,%d,%d,%d,%d]", GetLe32(p), GetLe32(p + 4), GetLe32(p + 8),
                          GetLe32(p + 12), GetLe32(p + 16), GetLe32(p + 20));
        case CMD_SET_MACHINE_NAME:
            return "\"name\":" + jsonText(reinterpret_cast<const char*>(p), length);
        case CMD_JOG:
            if (!has(4 * kAxisCount)) return {};
            return format("\"steps\":[%d,%d,%d,%d]", GetLe32(p), GetLe32(p + 4), GetLe32(p + 8), GetLe32(p + 12));
        case CMD_STEP_AXIS:
            if (!has(1)) return {};
            return format("\"mask\":%d", p[0]);
        case CMD_SET_SWITCH_WITHOUT_VF:
        case CMD_SET_CLEARANCE:
        case CMD_SET_BACK_DELAY:
        case CMD_SET_BACK_STOP_TIME:
        case CMD_SET_TRACK:
        case CMD_SET_DIRECTION:
        case CMD_SET_IGNORE_PAUSE:
        case CMD_SET_MOTOR:
        case CMD_SET_HF:
        case CMD_SET_LOOP:
        case CMD_RESET_RUN_STATE:
        case CMD_ADJUST_BORDER:
        case CMD_STOP_ALL:
            if (!has(1)) return {};
            return format("\"value\":%d", p[0]);
        default:
            return {};
    }
}

CardTrace::~CardTrace() {
    if (file_) std::fclose(file_);
}

int CardTrace::open(const std::string& path) {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "w");
    return file_ ? 0 : -1;
}

void CardTrace::line(const std::string& text) {
    if (!file_) return;
    std::fputs(text.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

void CardTrace::request(double t, uint8_t sequence, uint8_t type, const uint8_t* payload, std::size_t length,
                        uint8_t status, uint8_t state, uint8_t subState, bool retry, bool ignored,
                        const std::string& point) {
    if (!file_) return;
    std::string text = format("{\"t\":%.3f,\"dir\":\"rx\",\"cmd\":\"%s\",\"seq\":%d,\"len\":%zu", t,
                              commandName(type).c_str(), sequence, length);
    const std::string essentials = describeRequest(type, payload, length);
    if (!essentials.empty()) text += "," + essentials;
    if (ignored) text += ",\"ignored\":\"silence\"";
    else text += format(",\"status\":%d", status);
    if (retry) text += ",\"retry\":true";
    text += format(",\"state\":%d,\"sub\":%d", state, subState);
    if (!point.empty()) text += "," + point;
    text += "}";
    line(text);
}

void CardTrace::badFrame(double t, const char* fault, std::size_t length) {
    line(format("{\"t\":%.3f,\"dir\":\"rx\",\"cmd\":\"BAD_FRAME\",\"fault\":\"%s\",\"len\":%zu}", t, fault, length));
}

void CardTrace::report(double t, const CardReport& r) {
    std::string text = format("{\"t\":%.3f,\"dir\":\"tx\",\"cmd\":\"REPORT\",\"type\":%d", t, r.code);
    if (r.code == reportcode::kRunEvent) text += format(",\"mode\":%d,\"event\":%d", r.data[0], r.data[1]);
    if (r.code == reportcode::kSegmentReached) text += format(",\"segment\":%d", GetLe32(r.data.data() + 4));
    if (r.code == reportcode::kPulseGroupSwitched) text += format(",\"group\":%d", r.data[2]);
    line(text + "}");
}

void CardTrace::fault(double t, const std::string& what, const std::string& point) {
    line(format("{\"t\":%.3f,\"dir\":\"fault\",\"cmd\":\"FAULT\",\"what\":%s", t,
                jsonText(what.c_str(), what.size()).c_str()) +
         (point.empty() ? "" : "," + point) + "}");
}

}  // namespace korvex::sim
