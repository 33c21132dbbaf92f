#include "controller/views/graph_groups.h"

#include <algorithm>

#include "controller/machining/start_payload.h"

namespace korvex {

namespace {
constexpr int kGroupCount = 8;
}  // namespace

std::vector<uint8_t> segmentGroups(const std::vector<SwitchEntry>& table, int32_t count, int defaultGroup) {
    const int fallback = lookupGroups({}, 0, defaultGroup).current;
    std::vector<uint8_t> groups(static_cast<std::size_t>(std::max(count, 0)), static_cast<uint8_t>(fallback));
    if (table.empty())
        return groups;
    std::size_t next = 0;  // the first entry at or after the segment
    for (int32_t s = 0; s < count; ++s) {
        while (next < table.size() && table[next].segment < s)
            ++next;
        // The lookup's rules need only the entries around s.
        int g;
        if (next < table.size() && table[next].segment == s)
            g = table[next].e;
        else if (next == 0)
            g = table.front().e;
        else
            g = table[next - 1].f;
        if (g >= 0 && g < kGroupCount)
            groups[static_cast<std::size_t>(s)] = static_cast<uint8_t>(g);
    }
    return groups;
}

}  // namespace korvex
