#include "editor/document/editor_session.h"

#include <cstring>
#include <new>

#include "editor/document/file_access.h"
#include "editor/document/group_changes.h"
#include "editor/document/join.h"

namespace tavrel {

SaveDialogKind saveDialogFor(bool multiPass, const std::string& name) {
    if (multiPass || fileNameEndsWith(name, "4nb")) return SaveDialogKind::kFourNb;
    if (fileNameEndsWith(name, "iso")) return SaveDialogKind::kIso;
    return SaveDialogKind::kThreeB;
}

const char* defaultExtension(SaveDialogKind kind) {
    switch (kind) {
    case SaveDialogKind::kFourNb: return ".4nb";
    case SaveDialogKind::kIso: return ".iso";
    case SaveDialogKind::kThreeB: break;
    }
    return ".3b";
}

EditorSession::EditorSession(EditorPrompter& prompter) : prompter_(prompter), doc_(&prompter) {
    doc_.newDocument();
    takeSnapshot();
}

std::string EditorSession::title() const { return path_.empty() ? kUntitled : fileNameOf(path_); }

std::string EditorSession::lineText(int row) const {
    if (row < 0 || row >= doc_.count()) return {};
    const char* s = doc_.sourceLine(row);
    const char* nl = std::strchr(s, '\n');
    return nl ? std::string(s, static_cast<std::size_t>(nl - s)) : std::string(s);
}

void EditorSession::takeSnapshot() {
    if (!undo_.checkPoint(doc_)) prompter_.show(DocMessage::fatalError(fatal::kMallocFailed));
}

// ---------------------------------------------------------------------------------------------
// File commands

bool EditorSession::saveModified() {
    if (!doc_.modified()) return true;
    switch (prompter_.askSaveChanges(title())) {
    case EditorPrompter::Answer::kYes: return save();
    case EditorPrompter::Answer::kNo: return true;
    case EditorPrompter::Answer::kCancel: break;
    }
    return false;
}

bool EditorSession::open(const std::string& path) {
    if (!saveModified()) return false;
    undo_.reset();
    path_.clear();
    if (doc_.load(path) != 0) {
        // The document is empty after a failed open; it stays usable as a new one.
        doc_.newDocument();
        takeSnapshot();
        return false;
    }
    path_ = path;
    takeSnapshot();
    return true;
}

bool EditorSession::newDocument() {
    if (!saveModified()) return false;
    undo_.reset();
    path_.clear();
    const bool ok = doc_.newDocument() == 0;
    takeSnapshot();
    return ok;
}

bool EditorSession::close() { return newDocument(); }

bool EditorSession::writeThroughDialog(SaveDialogKind kind) {
    const std::optional<std::string> chosen = prompter_.chooseSavePath(kind, path_);
    if (!chosen || chosen->empty()) return false;  // cancelled: nothing was saved
    std::string target = *chosen;
    if (fileNameOf(target).find('.') == std::string::npos) target += defaultExtension(kind);
    return doc_.writeTo(target) == 0;
}

bool EditorSession::save() {
    if (path_.empty()) return saveAs();
    // A multi-pass document must become a ".4nb" file; any other is written where it is.
    if (!doc_.multiPass() || fileNameEndsWith(path_, ".4nb")) return doc_.writeTo(path_) == 0;
    return writeThroughDialog(saveDialogFor(true, path_));
}

bool EditorSession::saveAs() { return writeThroughDialog(saveDialogFor(doc_.multiPass(), path_)); }

// ---------------------------------------------------------------------------------------------
// Line commands

bool EditorSession::finishEdit() {
    if (doc_.reparse() == ParseResult::kHeaderNoRoom) {
        // The 3B start line would not fit the full table: the edit is taken back.
        if (const std::string* current = undo_.current()) doc_.loadSnapshot(*current);
        doc_.reparse();
        return false;
    }
    takeSnapshot();
    return true;
}

int EditorSession::add(const std::vector<int>& selected) {
    const int first = selected.empty() ? -1 : selected.front();
    const std::optional<std::string> text = prompter_.inputCode({});
    if (!text || text->empty()) return first;
    if (doc_.insertLineAfter(first, *text) != 0) return first;
    finishEdit();
    return first < 0 ? -1 : doc_.clampSegment(first);
}

int EditorSession::modify(const std::vector<int>& selected) {
    if (selected.empty() || selected.front() >= doc_.count()) return -1;
    const int row = selected.front();
    const std::optional<std::string> text = prompter_.inputCode(lineText(row));
    if (!text || text->empty()) return row;
    if (doc_.replaceLine(row, *text) != 0) return row;
    finishEdit();
    return doc_.count() > 0 ? doc_.clampSegment(row) : -1;
}

int EditorSession::deleteLines(const std::vector<int>& selected) {
    if (selected.empty()) return -1;
    int removed = 0;
    for (const int row : selected) {
        if (doc_.deleteLine(row - removed) == 0) ++removed;
    }
    if (removed > 0) finishEdit();
    return -1;
}

int EditorSession::copy(const std::vector<int>& selected) {
    if (selected.empty()) return -1;
    buffer_.clear();
    try {
        for (const int row : selected) {
            if (row >= 0 && row < doc_.count()) buffer_.push_back(lineText(row));
        }
    } catch (const std::bad_alloc&) {
        buffer_.clear();
        prompter_.show(DocMessage::fatalError(fatal::kMallocFailed));
    }
    return selected.front();
}

int EditorSession::cut(const std::vector<int>& selected) {
    if (selected.empty()) return -1;
    copy(selected);
    return deleteLines(selected);
}

int EditorSession::paste(const std::vector<int>& selected) {
    const int first = selected.empty() ? -1 : selected.front();
    if (buffer_.empty()) return first;
    if (doc_.insertLinesAfter(first, buffer_) != 0) return first;
    finishEdit();
    return first;
}

bool EditorSession::undo() {
    if (!undo_.undo(doc_)) return false;
    doc_.reparse();
    return true;
}

bool EditorSession::redo() {
    if (!undo_.redo(doc_)) return false;
    doc_.reparse();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Machining menu and Join

int EditorSession::setHfGroup(int current) {
    if (!doc_.machinable() || current <= 0 || current >= doc_.count()) return -1;
    const int n = groupChangePlace(doc_, current);
    const int inForce = doc_.groupInForce(n);
    const std::optional<int> group = prompter_.chooseHfGroup();
    if (!group || *group < 0 || *group > kHighestHfGroup) return -1;
    const std::string line = groupChangeLine(doc_.kind(), n, inForce, *group, doc_.textIsUtf8());
    // A refused insertion changed nothing: no flag, no snapshot.
    if (doc_.insertLineAfter(n, line) != 0) return -1;
    if (!finishEdit()) return -1;
    doc_.setMultiPass(true);
    return n;
}

bool EditorSession::recogniseCodes() {
    if (!doc_.machinable()) return false;
    const std::optional<int> threshold = prompter_.askThreshold(kDefaultThresholdUm);
    if (!threshold) return false;
    doc_.recognise(*threshold);
    return true;
}

bool EditorSession::join() {
    const int kind = doc_.kind();
    if (!doc_.machinable() || !joinableKind(kind)) {
        prompter_.show(DocMessage::error(msg::kJoinKind));
        return false;
    }
    const std::optional<std::string> other = prompter_.chooseJoinFile(kind);
    if (!other || other->empty()) return false;
    JoinSource source;
    if (const auto refusal = readJoinSource(*other, kind, doc_.capacity() - doc_.count(), source)) {
        prompter_.show(*refusal);
        return false;
    }
    const std::optional<std::pair<int, int>> offset = prompter_.askJoinOffset();
    if (!offset) return false;

    // The first separator line takes the place of the end line; the rest follow it.
    const int last = doc_.count() - 1;
    std::vector<std::string> lines = joinSeparator(kind, last, offset->first, offset->second);
    const std::string endLine = lineText(last);
    if (doc_.replaceLine(last, lines.front()) != 0) return false;
    lines.erase(lines.begin());
    try {
        lines.insert(lines.end(), source.lines.begin(), source.lines.end());
    } catch (const std::bad_alloc&) {
        lines.clear();
    }
    if (lines.empty() || doc_.insertLinesAfter(last, lines) != 0) {
        doc_.replaceLine(last, endLine);
        return false;
    }
    return finishEdit();
}

}  // namespace tavrel
