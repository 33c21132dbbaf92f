#include "editor/document/group_changes.h"

#include <cstdio>

#include "code/kind.h"
#include "editor/document/tavrel_doc.h"

namespace tavrel {

int groupChangePlace(const CTavrelDoc& doc, int n) {
    // Jumps may follow one another with a shared M00, so keep moving until n is no longer inside
    // one.
    for (;;) {
        if (doc.startsJump(n)) n += 1;           // the G01: after the closing M00
        else if (doc.startsJump(n + 1)) n += 2;  // the opening M00: likewise
        else return n;
    }
}

std::string groupChangeLine(int kind, int n, int e, int f, bool utf8) {
    // "从第" ... "组跳至第" ... "组": from group E jump to group F.
    const char* from = utf8 ? "从第" : "\xB4\xD3\xB5\xDA";
    const char* to = utf8 ? "组跳至第" : "\xD7\xE9\xCC\xF8\xD6\xC1\xB5\xDA";
    const char* group = utf8 ? "组" : "\xD7\xE9";
    const char* statement = kind == korvex::kKind3B ? "N %dX: B B B T17 E%dF%d;  %s%d%s%d%s"
                                                    : "N %dX: T17 E%dF%d;  %s%d%s%d%s";
    char line[160];
    std::snprintf(line, sizeof line, statement, n, e, f, from, e, to, f, group);
    return line;
}

}  // namespace tavrel
