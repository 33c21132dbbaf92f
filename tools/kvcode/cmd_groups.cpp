// kvcode groups and kvcode join: the editor's HF group setting, recognition and Join on a file,
// with the dialogs' answers given on the command line.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "editor/document/editor_session.h"
#include "editor/document/group_changes.h"
#include "tools/kvcode/commands.h"
#include "tools/kvcode/output.h"

namespace korvex::kvcode {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Answers the editor's dialogs from the command line and keeps what it was told.
class CommandLinePrompter : public tavrel::EditorPrompter {
public:
    void show(const tavrel::DocMessage& m) override { shown.push_back(m); }
    std::optional<std::string> inputCode(const std::string&) override { return std::nullopt; }
    std::optional<std::string> chooseSavePath(tavrel::SaveDialogKind, const std::string&) override { return std::nullopt; }
    Answer askSaveChanges(const std::string&) override { return Answer::kNo; }
    std::optional<int> chooseHfGroup() override { return group; }
    std::optional<std::string> chooseJoinFile(int) override { return joinFile; }
    std::optional<std::pair<int, int>> askJoinOffset() override { return offset; }

    std::vector<tavrel::DocMessage> shown;
    std::optional<int> group;
    std::optional<std::string> joinFile;
    std::optional<std::pair<int, int>> offset;
};

std::optional<int> wholeNumber(const char* text) {
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < INT_MIN || v > INT_MAX) return std::nullopt;
    return static_cast<int>(v);
}

std::string_view listed(const char* s) {
    const char* nl = std::strchr(s, '\n');
    return nl ? std::string_view(s, static_cast<std::size_t>(nl - s)) : std::string_view(s);
}

// The refusal: identifier (or fatal text) first, then the English text.
int refuse(const tavrel::DocMessage& m) {
    if (m.isFatal()) std::fprintf(stderr, "%s\n", m.fatalText.c_str());
    else std::fprintf(stderr, "%s %s\n", m.id.c_str(), tavrel::englishText(m).c_str());
    return kExitFailed;
}

// Opens the file as the editor does; the message that ended a failed load is the last one shown.
bool openDocument(tavrel::EditorSession& session, const CommandLinePrompter& prompter, const char* path) {
    if (session.open(path)) return true;
    if (!prompter.shown.empty()) refuse(prompter.shown.back());
    return false;
}

template <typename F>
void writeArray(Output& out, int n, F item) {
    out.raw("[");
    for (int i = 0; i < n; ++i) {
        if (i > 0) out.raw(", ");
        item(i);
    }
    out.raw("]");
}

void writeGroups(Output& out, const tavrel::CTavrelDoc& doc) {
    out.raw("{\"kind\": ").integer(doc.kind());
    out.raw(",\n \"changes\": ");
    writeArray(out, static_cast<int>(doc.groupChanges().size()), [&](int i) {
        const tavrel::GroupChange& g = doc.groupChanges()[static_cast<std::size_t>(i)];
        out.raw("{\"segment\": ").integer(g.segment).raw(", \"e\": ").integer(g.e);
        out.raw(", \"f\": ").integer(g.f).raw("}");
    });
    out.raw(",\n \"inForce\": ");
    writeArray(out, doc.count(), [&](int i) { out.integer(doc.groupInForce(i)); });
    out.raw(",\n \"colour\": ");
    writeArray(out, doc.count(), [&](int i) { out.integer(doc.groupForColour(i)); });
    out.raw(",\n \"recognised\": ");
    writeArray(out, static_cast<int>(doc.recognised().size()), [&](int i) {
        const tavrel::RecognisedEntry& r = doc.recognised()[static_cast<std::size_t>(i)];
        out.raw("{\"segment\": ").integer(r.segment).raw(", \"jump\": ").integer(r.jump).raw("}");
    });
    out.raw(",\n \"source\": [");
    for (int i = 0; i < doc.count(); ++i) {
        if (i > 0) out.raw(",\n  ");
        out.jsonString(listed(doc.sourceLine(i)));
    }
    out.raw("]}\n");
}

}  // namespace

int runGroups(int argc, char** argv) {
    static const char* const kUsage = "usage: kvcode groups FILE [--threshold UM] [--insert SEGMENT GROUP]\n";
    const char* path = nullptr;
    std::optional<int> threshold, segment, group;
    bool ok = true;
    for (int i = 0; i < argc && ok; ++i) {
        if (std::strcmp(argv[i], "--threshold") == 0 && i + 1 < argc && !threshold) {
            threshold = wholeNumber(argv[++i]);
            ok = threshold && *threshold >= 0;
        } else if (std::strcmp(argv[i], "--insert") == 0 && i + 2 < argc && !segment) {
            segment = wholeNumber(argv[++i]);
            group = wholeNumber(argv[++i]);
            ok = segment && group && *group >= 0 && *group <= tavrel::kHighestHfGroup;
        } else if (!path && argv[i][0] != '-') {
            path = argv[i];
        } else {
            ok = false;
        }
    }
    if (!ok || !path) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    CommandLinePrompter prompter;
    tavrel::EditorSession session(prompter);
    if (!openDocument(session, prompter, path)) return kExitFailed;
    tavrel::CTavrelDoc& doc = session.doc();
    if (segment) {
        if (*segment < 0 || *segment >= doc.count()) {
            std::fprintf(stderr, "kvcode groups: segment %d is not in the program (0 to %d)\n", *segment, doc.count() - 1);
            return kExitUsage;
        }
        if (!doc.machinable()) return refuse(tavrel::DocMessage::warning(tavrel::msg::kNotMachinable));
        prompter.group = group;
        prompter.shown.clear();
        // Segment 0 takes no change, as in the editor; any other refusal was told.
        if (session.setHfGroup(*segment) < 0 && *segment != 0 && !prompter.shown.empty()) {
            return refuse(prompter.shown.back());
        }
    }
    prompter.shown.clear();
    if (doc.recognise(threshold.value_or(0)) != 0) return refuse(prompter.shown.back());
    Output out(stdout);
    writeGroups(out, doc);
    return out.flush() ? 0 : kExitFailed;
}

int runJoin(int argc, char** argv) {
    static const char* const kUsage = "usage: kvcode join FILE OTHER DX DY\n";
    const std::optional<int> dx = argc == 4 ? wholeNumber(argv[2]) : std::nullopt;
    const std::optional<int> dy = argc == 4 ? wholeNumber(argv[3]) : std::nullopt;
    if (!dx || !dy) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    CommandLinePrompter prompter;
    tavrel::EditorSession session(prompter);
    if (!openDocument(session, prompter, argv[0])) return kExitFailed;
    prompter.shown.clear();
    prompter.joinFile = argv[1];
    prompter.offset = std::pair{*dx, *dy};
    if (!session.join()) {
        for (const tavrel::DocMessage& m : prompter.shown) {
            // The refusal, not a warning of the reparse.
            if (m.isFatal() || m.id == tavrel::msg::kJoinKind || m.id == tavrel::msg::kJoinTooLong ||
                m.id == tavrel::msg::kLineTooLong || m.id == tavrel::msg::kTableFull) {
                return refuse(m);
            }
        }
        if (!prompter.shown.empty()) return refuse(prompter.shown.back());
        return kExitFailed;
    }
    Output out(stdout);
    for (int i = 0; i < session.doc().count(); ++i) out.raw(listed(session.doc().sourceLine(i))).raw("\n");
    return out.flush() ? 0 : kExitFailed;
}

}  // namespace korvex::kvcode
