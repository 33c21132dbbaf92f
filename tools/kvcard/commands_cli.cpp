#include "tools/kvcard/commands_cli.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <span>

#include "controller/link/commands.h"
#include "controller/link/records.h"

namespace korvex {
namespace {

using Bytes = std::vector<uint8_t>;

// Reads the arguments in order; the first problem is kept and the rest is ignored.
class ArgReader {
public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}

    long long integer(long long min, long long max) {
        const std::string* word = next("a number");
        if (word == nullptr) return 0;
        errno = 0;
        char* end = nullptr;
        const long long value = std::strtoll(word->c_str(), &end, 0);
        if (errno != 0 || end == word->c_str() || *end != '\0' || value < min || value > max) {
            fail("'" + *word + "' is not a number from " + std::to_string(min) + " to " + std::to_string(max));
            return 0;
        }
        return value;
    }

    // Hex digits, optionally "-" for no bytes; exactly `bytes` of them unless it is 0.
    Bytes hex(std::size_t bytes) {
        const std::string* word = next("hex bytes");
        if (word == nullptr) return {};
        Bytes out;
        if (*word != "-") {
            if (word->size() % 2 != 0) return fail("'" + *word + "' has an odd number of hex digits"), Bytes{};
            for (std::size_t i = 0; i < word->size(); i += 2) {
                const int hi = digit((*word)[i]), lo = digit((*word)[i + 1]);
                if (hi < 0 || lo < 0) return fail("'" + *word + "' is not hex"), Bytes{};
                out.push_back(static_cast<uint8_t>(hi << 4 | lo));
            }
        }
        if (bytes != 0 && out.size() != bytes)
            fail("expected " + std::to_string(bytes) + " bytes of hex, got " + std::to_string(out.size()));
        return out;
    }

    std::string text() {
        const std::string* word = next("a text");
        return word == nullptr ? std::string() : *word;
    }

    std::size_t remaining() const { return args_.size() - at_; }

    // The error, or "" when every argument was read and none is left over.
    std::string finish() {
        if (error_.empty() && at_ < args_.size()) error_ = "unexpected argument '" + args_[at_] + "'";
        return error_;
    }

private:
    static int digit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }
    const std::string* next(const char* what) {
        if (!error_.empty()) return nullptr;
        if (at_ >= args_.size()) {
            error_ = std::string("missing argument: ") + what;
            return nullptr;
        }
        return &args_[at_++];
    }
    void fail(const std::string& message) {
        if (error_.empty()) error_ = message;
    }

    const std::vector<std::string>& args_;
    std::size_t at_ = 0;
    std::string error_;
};

template <std::size_t N>
Bytes bytesOf(const std::array<uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

Bytes le32(int32_t v) {
    Bytes b(4);
    PutLe32(b.data(), v);
    return b;
}

// A command word: its arguments for the usage text, and how to run it. `run` reads its arguments
// first and sends only when they were all read.
struct Word {
    const char* name;
    const char* args;
    std::function<int(CardLink&, ArgReader&, Bytes&, bool send)> run;
};

using NoArg = int (*)(CardLink&);
using ByteArg = int (*)(CardLink&, int);
using FlagArg = int (*)(CardLink&, bool);

Word plain(const char* name, NoArg fn) {
    return {name, "", [fn](CardLink& l, ArgReader&, Bytes&, bool send) { return send ? fn(l) : 0; }};
}
Word number(const char* name, ByteArg fn, long long min = INT_MIN, long long max = INT_MAX) {
    return {name, "N", [fn, min, max](CardLink& l, ArgReader& a, Bytes&, bool send) {
                const int v = static_cast<int>(a.integer(min, max));
                return send ? fn(l, v) : 0;
            }};
}
Word flag(const char* name, FlagArg fn) {
    return {name, "0|1", [fn](CardLink& l, ArgReader& a, Bytes&, bool send) {
                const bool v = a.integer(0, 1) != 0;
                return send ? fn(l, v) : 0;
            }};
}
template <typename Record, int (*Fn)(CardLink&, Record*), std::size_t N,
          void (*Encode)(const Record&, std::span<uint8_t, N>)>
Word fetchRecord(const char* name) {
    return {name, "", [](CardLink& l, ArgReader&, Bytes& out, bool send) {
                if (!send) return 0;
                Record r;
                if (Fn(l, &r) != 0) return -1;
                std::array<uint8_t, N> image{};
                Encode(r, image);
                out = bytesOf(image);
                return 0;
            }};
}
template <std::size_t N>
std::array<int32_t, N> ints(ArgReader& a) {
    std::array<int32_t, N> v{};
    for (auto& x : v) x = static_cast<int32_t>(a.integer(INT32_MIN, INT32_MAX));
    return v;
}
template <std::size_t N>
std::array<uint8_t, N> hexArray(ArgReader& a) {
    std::array<uint8_t, N> v{};
    const Bytes b = a.hex(N);
    if (b.size() == N) std::copy(b.begin(), b.end(), v.begin());
    return v;
}

using StartFn = int (*)(CardLink&, const SegmentWindow&, const StartPayload&);
Word start(const char* name, StartFn fn) {
    return {name, "WINDOWHEX(264) STARTHEX(152)", [fn](CardLink& l, ArgReader& a, Bytes&, bool send) {
                const auto window = hexArray<kSegmentWindowBytes>(a);
                const auto payload = hexArray<kStartPayloadBytes>(a);
                if (!send) return 0;
                return fn(l, decodeSegmentWindow(window), decodeStartPayload(payload));
            }};
}

const std::vector<Word>& words() {
    static const std::vector<Word> table = {
        plain("connect", CMD_CONNECT),
        {"get-card-id", "", [](CardLink& l, ArgReader&, Bytes& out, bool send) {
             uint32_t id = 0;
             if (!send) return 0;
             if (CMD_GET_CARD_ID(l, &id) != 0) return -1;
             out = le32(static_cast<int32_t>(id));
             return 0;
         }},
        plain("keep-alive", CMD_KEEP_ALIVE),
        plain("close", CMD_CLOSE),
        fetchRecord<SettingsBlock, CMD_GET_SETTINGS, kSettingsBlockBytes, encodeSettingsBlock>("get-settings"),
        plain("restore-defaults", CMD_RESTORE_DEFAULTS),
        {"set-phase", "HEX(16)", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto phase = hexArray<kPhaseBytes>(a);
             return send ? CMD_SET_PHASE(l, phase) : 0;
         }},
        number("set-roll-gap", [](CardLink& l, int v) { return CMD_SET_ROLL_GAP(l, v); }),
        {"set-axis-invert", "X Y U V", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             AxisFlags f{};
             for (auto& x : f) x = static_cast<uint8_t>(a.integer(0, 1));
             return send ? CMD_SET_AXIS_INVERT(l, f) : 0;
         }},
        number("set-clearance", CMD_SET_CLEARANCE),
        number("set-back-delay", CMD_SET_BACK_DELAY),
        number("set-back-stop-time", CMD_SET_BACK_STOP_TIME),
        {"set-speed-limits", "S1 S2 S3 S4 S5 S6", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto v = ints<kSpeedCount>(a);
             return send ? CMD_SET_SPEED_LIMITS(l, v) : 0;
         }},
        number("set-track", CMD_SET_TRACK),
        number("set-loop", CMD_SET_LOOP),
        {"set-machine-name", "TEXT", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const std::string name = a.text();
             return send ? CMD_SET_MACHINE_NAME(l, name) : 0;
         }},
        flag("stop-all", CMD_STOP_ALL),
        flag("set-motor", CMD_SET_MOTOR),
        flag("set-hf", CMD_SET_HF),
        {"jog", "X Y U V", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto v = ints<kAxisCount>(a);
             return send ? CMD_JOG(l, v) : 0;
         }},
        {"step-axis", "MASK", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto mask = static_cast<uint8_t>(a.integer(0, 255));
             return send ? CMD_STEP_AXIS(l, mask) : 0;
         }},
        plain("adjust-center", CMD_ADJUST_CENTER),
        number("adjust-border", CMD_ADJUST_BORDER),
        {"set-pulse-group", "HEX(28)", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto group = hexArray<kPulseGroupBytes>(a);
             return send ? CMD_SET_PULSE_GROUP(l, group) : 0;
         }},
        flag("set-switch-without-vf", CMD_SET_SWITCH_WITHOUT_VF),
        {"set-feed", "ENTRYHEX(8) V", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto entry = hexArray<kFeedEntryBytes>(a);
             const int v = static_cast<int>(a.integer(INT_MIN, INT_MAX));
             return send ? CMD_SET_FEED(l, entry, v) : 0;
         }},
        fetchRecord<WorkRecord, CMD_GET_WORK_RECORD, kWorkRecordBytes, encodeWorkRecord>("get-work-record"),
        {"load-model", "DESCRIPTORHEX(128) RESTORE", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto d = hexArray<kLoadDescriptorBytes>(a);
             const bool restore = a.integer(0, 1) != 0;
             return send ? CMD_LOAD_MODEL(l, decodeLoadDescriptor(d), restore) : 0;
         }},
        plain("unload-model", CMD_UNLOAD_MODEL),
        plain("clear-work", CMD_CLEAR_WORK),
        {"set-range", "FIRST LAST", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto v = ints<2>(a);
             return send ? CMD_SET_RANGE(l, v[0], v[1]) : 0;
         }},
        {"send-segments", "WINDOWHEX(264)", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto w = hexArray<kSegmentWindowBytes>(a);
             return send ? CMD_SEND_SEGMENTS(l, decodeSegmentWindow(w)) : 0;
         }},
        number("set-direction", CMD_SET_DIRECTION),
        flag("set-ignore-pause", CMD_SET_IGNORE_PAUSE),
        {"set-segment-stops", "[SEGMENT...]", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             std::vector<int32_t> v;
             while (a.remaining() > 0) v.push_back(static_cast<int32_t>(a.integer(INT32_MIN, INT32_MAX)));
             return send ? CMD_SET_SEGMENT_STOPS(l, v) : 0;
         }},
        {"set-plan-pause", "SEGMENT PERCENT", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto v = ints<2>(a);
             return send ? CMD_SET_PLAN_PAUSE(l, v[0], v[1]) : 0;
         }},
        {"set-taper", "HEIGHT10 WIDTH10 BASE10 R10 DEGREE1000 TYPE", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto v = ints<6>(a);
             return send ? CMD_SET_TAPER(l, TaperBlock{v[0], v[1], v[2], v[3], v[4], v[5]}) : 0;
         }},
        start("start-cut", CMD_START_CUT),
        start("start-walk", CMD_START_WALK),
        start("start-simulate", CMD_START_SIMULATE),
        start("start-back", CMD_START_BACK),
        start("start-adjusted", CMD_START_ADJUSTED),
        {"start-return", "SEGMENT X Y U V", [](CardLink& l, ArgReader& a, Bytes&, bool send) {
             const auto v = ints<5>(a);
             return send ? CMD_START_RETURN(l, ReturnTarget{v[0], {v[1], v[2], v[3], v[4]}}) : 0;
         }},
        plain("start-fast-roll", CMD_START_FAST_ROLL),
        {"stop-fast-roll", "", [](CardLink& l, ArgReader&, Bytes& out, bool send) {
             RollInfo r{};
             if (!send) return 0;
             if (CMD_STOP_FAST_ROLL(l, &r) != 0) return -1;
             out = bytesOf(r);
             return 0;
         }},
        fetchRecord<StatusBlock, CMD_STOP, kStatusBlockBytes, encodeStatusBlock>("stop"),
        number("reset-run-state", CMD_RESET_RUN_STATE),
        fetchRecord<StatusBlock, CMD_GET_STATUS, kStatusBlockBytes, encodeStatusBlock>("get-status"),
        fetchRecord<StateBlock, CMD_GET_STATE, kStateBlockBytes, encodeStateBlock>("get-state"),
        {"get-run-state", "", [](CardLink& l, ArgReader&, Bytes& out, bool send) {
             RunState r;
             if (!send) return 0;
             if (CMD_GET_RUN_STATE(l, &r) != 0) return -1;
             out = {r.state, r.subState};
             return 0;
         }},
        fetchRecord<PositionBlock, CMD_GET_POSITION, kPositionBlockBytes, encodePositionBlock>("get-position"),
        {"get-hf-level", "", [](CardLink& l, ArgReader&, Bytes& out, bool send) {
             int32_t level = 0;
             if (!send) return 0;
             if (CMD_GET_HF_LEVEL(l, &level) != 0) return -1;
             out = le32(level);
             return 0;
         }},
        {"get-roll-info", "", [](CardLink& l, ArgReader&, Bytes& out, bool send) {
             RollInfo r{};
             if (!send) return 0;
             if (CMD_GET_ROLL_INFO(l, &r) != 0) return -1;
             out = bytesOf(r);
             return 0;
         }},
        {"raw", "TYPE HEXPAYLOAD CAPACITY", [](CardLink& l, ArgReader& a, Bytes& out, bool send) {
             const auto type = static_cast<uint8_t>(a.integer(0, 255));
             const Bytes payload = a.hex(0);
             const auto capacity = static_cast<std::size_t>(a.integer(0, static_cast<long long>(kMaxPayloadBytes)));
             if (!send) return 0;
             Bytes answer(kMaxPayloadBytes);
             std::size_t got = 0;
             if (l.Transaction(type, payload.data(), payload.size(), answer.data(), capacity, &got) != 0) return -1;
             answer.resize(got);
             out = answer;
             return 0;
         }},
    };
    return table;
}

}  // namespace

CliOutcome RunCliCommand(CardLink& link, const std::string& name, const std::vector<std::string>& args) {
    CliOutcome outcome;
    for (const Word& w : words()) {
        if (name != w.name) continue;
        // Read the arguments without sending, so a typing error never reaches the card.
        ArgReader check(args);
        Bytes ignored;
        w.run(link, check, ignored, false);
        outcome.usageError = check.finish();
        if (!outcome.usageError.empty()) return outcome;
        ArgReader reader(args);
        outcome.result = w.run(link, reader, outcome.payload, true) == 0 ? 0 : -1;
        if (outcome.result != 0) outcome.payload.clear();
        return outcome;
    }
    outcome.usageError = "unknown command '" + name + "'";
    return outcome;
}

std::string CliCommandList() {
    std::string out;
    for (const Word& w : words()) {
        out += "  ";
        out += w.name;
        if (*w.args != '\0') {
            out += ' ';
            out += w.args;
        }
        out += '\n';
    }
    return out;
}

bool CliCommandDecodes(const std::string& name) { return name == "get-work-record"; }

std::string DecodeCliPayload(const std::string& name, const std::vector<uint8_t>& payload) {
    if (name != "get-work-record" || payload.size() != kWorkRecordBytes) return {};
    const WorkRecord r = decodeWorkRecord(std::span<const uint8_t, kWorkRecordBytes>(payload.data(), kWorkRecordBytes));
    const WorkParams& w = r.work;
    char line[320];
    std::snprintf(line, sizeof line,
                  "kind=0x%02X segment=%d lower=%d,%d,%d upper=%d,%d,%d guides=%d,%d,%d,%d loop=%d range=%d,%d "
                  "return=%d:%d,%d,%d,%d title=",
                  r.kind, w.segment, w.lower.steps, w.lower.x, w.lower.y, w.upper.steps, w.upper.x, w.upper.y,
                  w.guideX, w.guideY, w.guideU, w.guideV, w.loopIndex, r.load.rangeFirst, r.load.rangeLast,
                  r.returnSegment, r.returnDistances[0], r.returnDistances[1], r.returnDistances[2],
                  r.returnDistances[3]);
    std::string out = line;
    for (const char c : r.load.title()) {
        const unsigned char u = static_cast<unsigned char>(c);
        out += (u < 0x20 || u == 0x7F) ? '?' : c;
    }
    return out;
}

}  // namespace korvex
