// The main window's entry to the Edit commands: File "Generate 3B" (Ctrl+N), the four
// transforms of the Edit menu (Ctrl+X and Ctrl+Y for the mirrors) with their toolbar buttons,
// and "Offset(&G)", each enabled by its rule from the card work state.
#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

#include "controller/edit/edit_commands.h"
#include "controller/edit/taper_command.h"

class QAction;
class QMenu;
class QToolBar;

namespace korvex {

class EditCommandSet : public QObject {
    Q_OBJECT
public:
    // The toolbar follows the work state this often, as a toolbar that updates when idle.
    static constexpr int kRefreshPeriodMs = 250;

    EditCommandSet(EditCommandContext context, QObject* parent = nullptr);

    EditCommands& commands() { return *commands_; }

    QAction* generate3BAction() const { return generate3B_; }
    QAction* forwardFlipAction() const { return forwardFlip_; }
    QAction* reverseFlipAction() const { return reverseFlip_; }
    QAction* verticalMirrorAction() const { return verticalMirror_; }
    QAction* horizontalMirrorAction() const { return horizontalMirror_; }
    QAction* offsetAction() const { return offset_; }
    QAction* multipleAction() const { return multiple_; }
    QAction* segmentMultipleAction() const { return segmentMultiple_; }
    // "Taper(&Z)", always enabled.
    QAction* taperAction() const { return taper_; }
    TaperCommand& taperCommand() { return *taperCommand_; }
    // In toolbar order: reverse flip, forward flip, vertical mirror, horizontal mirror, Taper,
    // Multiple, Segment Multiple.
    QList<QAction*> toolBarActions() const;

    // The main window's action table enables the entries from now on: no refresh of their own.
    void leaveEnablingToOwner();

public slots:
    // Enables the entries from the current state; call after every change of the work state.
    void refresh();

private:
    QAction* makeAction(const char* textId, QObject* parent);

    std::unique_ptr<EditCommands> commands_;
    std::unique_ptr<TaperCommand> taperCommand_;
    QAction* generate3B_;
    QAction* forwardFlip_;
    QAction* reverseFlip_;
    QAction* verticalMirror_;
    QAction* horizontalMirror_;
    QAction* offset_;
    QAction* multiple_;
    QAction* segmentMultiple_;
    QAction* taper_;
    QTimer refreshTimer_;
};

// Shows the Offset, Multiple and Segment Multiple dialogs and the manual generator through the
// commands' operator interaction.
void attachEditDialogs(EditCommands& commands);

// Puts "Generate 3B" at the top of `fileMenu`, the transforms and Offset into `editMenu`, and
// the four transform buttons at the end of `toolBar` (any of the three may be null; the caller
// places the separators between button groups). The set is
// owned by `owner`. The dialogs it opens are parented to context.dialogParent.
EditCommandSet* installEditCommands(QMenu* fileMenu, QMenu* editMenu, QToolBar* toolBar,
                                    EditCommandContext context, QObject* owner);

}  // namespace korvex
