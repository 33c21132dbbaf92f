#include "editor/document/undo.h"

#include <new>

#include "editor/document/tavrel_doc.h"

namespace tavrel {

void CUndo::reset() {
    undo_.clear();
    redo_.clear();
}

void CUndo::addUndo(std::string snapshot) {
    if (static_cast<int>(undo_.size()) > kUndoLevels) undo_.pop_back();
    undo_.push_front(std::move(snapshot));
}

bool CUndo::checkPoint(const CTavrelDoc& doc) {
    if (checkpointLock > 0) return true;
    try {
        addUndo(doc.snapshot());
    } catch (const std::bad_alloc&) {
        return false;
    }
    redo_.clear();
    return true;
}

bool CUndo::undo(CTavrelDoc& doc) {
    if (!canUndo()) return false;
    redo_.push_front(std::move(undo_.front()));
    undo_.pop_front();
    return doc.loadSnapshot(undo_.front()) == 0;
}

bool CUndo::redo(CTavrelDoc& doc) {
    if (!canRedo()) return false;
    std::string snapshot = std::move(redo_.front());
    redo_.pop_front();
    addUndo(std::move(snapshot));
    return doc.loadSnapshot(undo_.front()) == 0;
}

}  // namespace tavrel
