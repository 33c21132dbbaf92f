// The editor's commands without widgets: open, new, close, save and the nine line commands,
// asking the operator through EditorPrompter. The program's views call these and only show the
// result; tests drive them with a scripted prompter.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/document/messages.h"
#include "editor/document/tavrel_doc.h"
#include "editor/document/undo.h"

namespace tavrel {

// Which Save dialog to show: its filter and default extension.
enum class SaveDialogKind { kFourNb, kIso, kThreeB };

class EditorPrompter : public MessageSink {
public:
    enum class Answer { kYes, kNo, kCancel };
    // The code input dialog (131) showing `initial`; the typed line in the file's bytes, or
    // nothing when cancelled (an empty line counts as cancelled).
    virtual std::optional<std::string> inputCode(const std::string& initial) = 0;
    // The Save dialog; the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> chooseSavePath(SaveDialogKind kind, const std::string& suggested) = 0;
    // "Save changes to <title>?" with Yes, No and Cancel.
    virtual Answer askSaveChanges(const std::string& title) = 0;

    // The Machining and Join dialogs; each answers nothing (Cancel) unless the program shows it.
    // Dialog 132: the group (0 to 7) after the segment.
    virtual std::optional<int> chooseHfGroup() { return std::nullopt; }
    // Dialog 151: the recognition threshold in microns (0 to 1000), preset to `preset`.
    virtual std::optional<int> askThreshold(int preset) {
        (void)preset;
        return std::nullopt;
    }
    // The open dialog of Join for a document of `kind` (its filters and default extension).
    virtual std::optional<std::string> chooseJoinFile(int kind) {
        (void)kind;
        return std::nullopt;
    }
    // Dialog 150: the offset in microns from the first code's start point to the second's.
    virtual std::optional<std::pair<int, int>> askJoinOffset() { return std::nullopt; }
};

class EditorSession {
public:
    explicit EditorSession(EditorPrompter& prompter);

    CTavrelDoc& doc() { return doc_; }
    const CTavrelDoc& doc() const { return doc_; }
    const CUndo& undoList() const { return undo_; }
    // The document's own path (empty for a new document) and its title.
    const std::string& path() const { return path_; }
    std::string title() const;

    // ---- file commands; each asks to save a modified document first and is abandoned when
    // that save does not complete ----
    bool open(const std::string& path);
    bool newDocument();
    bool close();
    // Save under the document's path (Save As for a new document); Save As through the dialog.
    // True only when the file was written completely.
    bool save();
    bool saveAs();
    // Asks whether to save a modified document: true when it may be discarded now.
    bool saveModified();

    // ---- line commands: `selected` holds the selected rows in ascending order. Each returns
    // the row to select afterwards, or -1 for none ----
    int add(const std::vector<int>& selected);
    int modify(const std::vector<int>& selected);
    int deleteLines(const std::vector<int>& selected);
    int copy(const std::vector<int>& selected);
    int cut(const std::vector<int>& selected);
    int paste(const std::vector<int>& selected);
    bool undo();
    bool redo();
    bool canUndo() const { return undo_.canUndo(); }
    bool canRedo() const { return undo_.canRedo(); }
    const std::vector<std::string>& lineBuffer() const { return buffer_; }

    // ---- Machining menu and Join; each works only on a machinable program ----
    // HF group setting after segment `current` (the code list's current segment): inserts a
    // group-change line, marks the document multi-pass and takes a snapshot. The row to select,
    // or -1 when nothing was inserted (segment 0, Cancel, or a full table).
    int setHfGroup(int current);
    // Multi-pass code recognition with the threshold the operator gives. True once the dialog was
    // confirmed (the recognised list is shown from then on), whether or not the kind allowed it.
    bool recogniseCodes();
    // Join: appends another file of the same code family behind a jump. True when joined; every
    // refusal leaves the document and the undo lists as they were.
    bool join();

    // The text of a line as the input dialog shows it (cut at its first line feed).
    std::string lineText(int row) const;

private:
    bool writeThroughDialog(SaveDialogKind kind);
    bool finishEdit();
    void takeSnapshot();

    EditorPrompter& prompter_;
    CTavrelDoc doc_;
    CUndo undo_;
    std::string path_;
    std::vector<std::string> buffer_;  // copied lines, not the system clipboard
};

// The Save dialog a document gets: ".4nb" for multi-pass code or a ".4nb" file, ".iso" for an
// ISO file, ".3b" otherwise.
SaveDialogKind saveDialogFor(bool multiPass, const std::string& name);
// The default extension of a dialog kind, with its dot.
const char* defaultExtension(SaveDialogKind kind);

}  // namespace tavrel
