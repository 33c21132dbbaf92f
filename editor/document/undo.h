// Snapshot undo: each state of the source line table is kept whole, as the CR LF text a file of
// it would hold. The newest undo snapshot is the current state; undoing moves it to the redo
// list and loads the one below. At most 5 snapshots are kept, so 4 steps can be undone.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace tavrel {

class CTavrelDoc;

class CUndo {
public:
    static constexpr int kUndoLevels = 4;

    // Empties both lists (before every open and New).
    void reset();
    // Takes a snapshot of the document's source table as the newest state and empties the redo
    // list, unless the checkpoint lock is above 0. False when memory ran out ("Malloc Failed!").
    bool checkPoint(const CTavrelDoc& doc);
    bool canUndo() const { return undo_.size() > 1; }
    bool canRedo() const { return !redo_.empty(); }
    // Load the previous (or the undone) snapshot into the document's source table; the caller
    // reparses. False when there is nothing to undo or redo.
    bool undo(CTavrelDoc& doc);
    bool redo(CTavrelDoc& doc);
    // The current state's snapshot (empty when none).
    const std::string* current() const { return undo_.empty() ? nullptr : &undo_.front(); }

    int checkpointLock = 0;

    std::size_t undoCount() const { return undo_.size(); }
    std::size_t redoCount() const { return redo_.size(); }

private:
    void addUndo(std::string snapshot);

    std::deque<std::string> undo_;  // newest first
    std::deque<std::string> redo_;  // newest first
};

}  // namespace tavrel
