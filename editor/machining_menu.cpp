// The Machining menu's HF group setting and recognition, and Join of the Code menu: each runs
// through EditorSession and then brings the views up to date.
#include "editor/code_lists.h"
#include "editor/graph_view.h"
#include "editor/main_frame.h"

namespace tavrel {

void CMainFrame::onHfGroup() {
    // The segment last chosen in the code list or the recognised list.
    const int line = session_.setHfGroup(currentSegment_);
    if (line < 0) return;
    documentChanged(2);
    codeList_->selectRow(line);
    chooseSegment(line, codeList_);
}

void CMainFrame::onRecognise() {
    if (!session_.recogniseCodes()) return;
    // Shown from the first confirmed recognition on, even when this kind was refused.
    showRecognisedList();
    findList_->model().rebuild();
    chooseSegment(currentSegment_, nullptr);
}

void CMainFrame::onJoin() {
    if (session_.join()) documentChanged(2);
}

}  // namespace tavrel
