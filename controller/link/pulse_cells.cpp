#include "controller/link/pulse_cells.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace korvex {

namespace {

struct Bounds {
    int low, high;
};
constexpr Bounds kBounds[kPulseEditableColumns] = {
    {1, 1000}, {1, 1000}, {0, 255}, {0, 255}, {0, 255}, {0, 255}, {kFeedValueMin, kFeedValueMax},
};

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// An integer cell: empty gives 0; anything but an integer within the bounds gives nothing.
std::optional<int> integerCell(const std::string& text, Bounds bounds) {
    const std::string t = trimmed(text);
    if (t.empty())
        return 0;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(t.c_str(), &end, 10);
    if (errno != 0 || end != t.c_str() + t.size() || v < bounds.low || v > bounds.high)
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<int> feedCell(const std::string& text) {
    const std::string t = trimmed(text);
    if (t.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double vf = std::strtod(t.c_str(), &end);
    if (errno != 0 || end != t.c_str() + t.size() || !std::isfinite(vf))
        return std::nullopt;
    const double stored = std::trunc(vf * 2.0);
    if (stored < kFeedValueMin || stored > kFeedValueMax)
        return std::nullopt;
    return static_cast<int>(stored);
}

}  // namespace

PulseCells pulseCells(const PulseGroup& g) {
    PulseCells c;
    const auto number = [](long v) { return v == 0 ? std::string() : std::to_string(v); };
    c[0] = number(g.pulseWidthUs);
    c[1] = g.pulseWidthUs == 0 ? std::string() : number(g.pulseIntervalUs / g.pulseWidthUs);
    c[2] = std::to_string(g.groupingHigh);
    c[3] = std::to_string(g.groupingLow);
    c[4] = std::to_string(g.current);
    c[5] = std::to_string(g.wireSpeed);
    char vf[16];
    std::snprintf(vf, sizeof vf, "%.1f", g.feedValue / 2.0);
    c[6] = vf;
    return c;
}

std::optional<PulseCellError> parsePulseCells(const PulseCells& cells, int row, int trackingMode,
                                              const PulseGroup& base, PulseGroup& out) {
    int values[kPulseEditableColumns - 1] = {};
    for (int i = 0; i < kPulseEditableColumns - 1; ++i) {
        const auto v = integerCell(cells[static_cast<std::size_t>(i)], kBounds[i]);
        if (!v)
            return PulseCellError{static_cast<PulseColumn>(i), kBounds[i].low, kBounds[i].high};
        values[i] = *v;
    }
    const auto feed = feedCell(cells[6]);
    if (!feed)
        return PulseCellError{PulseColumn::Feed, kFeedValueMin, kFeedValueMax};
    PulseGroup g = base;
    g.pulseWidthUs = values[0];
    g.pulseIntervalUs = values[0] * values[1];
    g.groupingHigh = static_cast<uint8_t>(values[2]);
    g.groupingLow = static_cast<uint8_t>(values[3]);
    g.current = static_cast<uint8_t>(values[4]);
    g.wireSpeed = static_cast<uint8_t>(values[5]);
    g.feedValue = static_cast<uint8_t>(*feed);
    g.feed = feedEntry(trackingMode, *feed);
    g.index = static_cast<uint8_t>(row);
    out = g;
    return std::nullopt;
}

const char* pulseColumnTitleEnglish(PulseColumn column) {
    switch (column) {
    case PulseColumn::Width: return "Pw(uS)";
    case PulseColumn::Pi: return "Pi";
    case PulseColumn::High: return "F.M.";
    case PulseColumn::Low: return "Low F.M.";
    case PulseColumn::Current: return "Amp.";
    case PulseColumn::WireSpeed: return "W.S.";
    case PulseColumn::Feed: return "V.F.";
    }
    return "";
}

std::string pulseCellErrorEnglish(const PulseCellError& e) {
    if (e.column == PulseColumn::Feed)
        return "V.F. Error!Please input the value between 0.5 and 100";
    return std::string(pulseColumnTitleEnglish(e.column)) + ":must be an integer from " +
           std::to_string(e.low) + " to " + std::to_string(e.high);
}

}  // namespace korvex
