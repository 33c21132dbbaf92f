// kvcode doc: load a file as the editor does and show its document; with --save, write it as the
// editor's Save would.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/document/tavrel_doc.h"
#include "tools/kvcode/commands.h"
#include "tools/kvcode/output.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Collects the parse warnings and the last refusal; prints nothing itself.
class RecordingSink : public tavrel::MessageSink {
public:
    void show(const tavrel::DocMessage& m) override { shown.push_back(m); }
    std::vector<tavrel::DocMessage> shown;
};

bool isParseWarning(const tavrel::DocMessage& m) {
    return m.id == tavrel::msg::kMissingEnd || m.id == tavrel::msg::kUnknownCode ||
           m.id == tavrel::msg::kUnreadableLine;
}

// A line as the editor lists it: up to its first line feed.
std::string_view listed(const char* s) {
    const char* nl = std::strchr(s, '\n');
    return nl ? std::string_view(s, static_cast<std::size_t>(nl - s)) : std::string_view(s);
}

void writeDocument(Output& out, const tavrel::CTavrelDoc& doc, const std::vector<tavrel::DocMessage>& shown) {
    out.raw("{\"kind\": ").integer(doc.kind());
    out.raw(",\n \"machinable\": ").integer(doc.machinable() ? 1 : 0);
    out.raw(",\n \"capacity\": ").integer(doc.capacity());
    out.raw(",\n \"source\": [");
    for (int i = 0; i < doc.count(); ++i) {
        if (i > 0) out.raw(",\n  ");
        out.jsonString(listed(doc.sourceLine(i)));
    }
    out.raw("],\n \"working\": [");
    for (int i = 0; i < doc.count(); ++i) {
        if (i > 0) out.raw(",\n  ");
        out.jsonString(listed(doc.workingLine(i)));
    }
    out.raw("],\n \"jumps\": [");
    for (std::size_t i = 0; i < doc.jumps().size(); ++i) {
        if (i > 0) out.raw(", ");
        out.integer(doc.jumps()[i].line);
    }
    out.raw("],\n \"groupChanges\": [");
    for (std::size_t i = 0; i < doc.groupChanges().size(); ++i) {
        const tavrel::GroupChange& g = doc.groupChanges()[i];
        if (i > 0) out.raw(", ");
        out.raw("{\"segment\": ").integer(g.segment).raw(", \"e\": ").integer(g.e);
        out.raw(", \"f\": ").integer(g.f).raw("}");
    }
    const tavrel::PathRect& r = doc.rect();
    out.raw("],\n \"rect\": {\"minX\": ").integer(r.minX).raw(", \"maxY\": ").integer(r.maxY);
    out.raw(", \"maxX\": ").integer(r.maxX).raw(", \"minY\": ").integer(r.minY);
    out.raw("},\n \"warnings\": [");
    bool first = true;
    for (const tavrel::DocMessage& m : shown) {
        if (!isParseWarning(m)) continue;
        if (!first) out.raw(", ");
        first = false;
        out.raw("{\"id\": ").jsonString(m.id);
        if (m.id == tavrel::msg::kUnreadableLine && !m.args.empty()) out.raw(", \"line\": ").raw(m.args[0]);
        out.raw("}");
    }
    out.raw("]}\n");
}

void printMessage(const tavrel::DocMessage& m) {
    if (m.isFatal()) std::fprintf(stderr, "%s\n", m.fatalText.c_str());
    else std::fprintf(stderr, "%s %s\n", m.id.c_str(), tavrel::englishText(m).c_str());
}

}  // namespace

int runDoc(int argc, char** argv) {
    static const char* const kUsage = "usage: kvcode doc FILE [--save OUT]\n";
    const char* path = nullptr;
    const char* saveTo = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--save") == 0 && i + 1 < argc && !saveTo) saveTo = argv[++i];
        else if (!path && argv[i][0] != '-') path = argv[i];
        else {
            std::fputs(kUsage, stderr);
            return kExitUsage;
        }
    }
    if (!path) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    RecordingSink sink;
    tavrel::CTavrelDoc doc(&sink);
    if (doc.load(path) != 0) {
        // The message that ended the load is the last one shown.
        if (!sink.shown.empty()) printMessage(sink.shown.back());
        return kExitFailed;
    }
    Output out(stdout);
    writeDocument(out, doc, sink.shown);
    if (!out.flush()) return kExitFailed;
    if (saveTo) {
        const std::size_t before = sink.shown.size();
        if (doc.writeTo(saveTo) != 0) {
            if (sink.shown.size() > before) printMessage(sink.shown.back());
            return kExitFailed;
        }
    }
    return 0;
}

}  // namespace korvex::kvcode
