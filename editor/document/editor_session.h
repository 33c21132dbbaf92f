// The editor's commands without widgets: open, new, close, save and the nine line commands,
// asking the operator through EditorPrompter. The program's views call these and only show the
// result; tests drive them with a scripted prompter.
#pragma once

#include <optional>
#include <string>
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
