// The controller's side of the hand-off with the editor, and its two toolbar buttons at the
// toolbar's end:
//   - receiving: a path the editor hands over is opened exactly as a dropped file (the main
//     window's openRequest), after the window has come to the front; the answer is that
//     request's outcome;
//   - "Korvex Assistant": the loaded program's path goes to a running editor; with none running,
//     `tavrel` beside `korvex` is started with the path as its one argument;
//   - "Program": the external programming tool (ProgramToolLauncher).
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "controller/document/dcs_doc.h"
#include "controller/program_tool.h"
#include "platform/local_channel.h"

class QAction;
class QToolBar;
class QWidget;

namespace korvex {

class OperatorInteraction;

class ControllerHandOff : public QObject {
    Q_OBJECT
public:
    // Opens a path as a dropped file and says how that went.
    using OpenRequest = std::function<OpenOutcome(const QString& path)>;

    ControllerHandOff(QWidget* window, CDCSDoc& document, OperatorInteraction& operatorUi, OpenRequest open,
                      std::function<QString()> boxTitle, QObject* parent = nullptr);
    ~ControllerHandOff() override;

    // Adds the two buttons at the end of the toolbar.
    void addToToolBar(QToolBar* toolBar);
    // Starts receiving the editor's hand-offs (once the card is connected). 0, or the channel's
    // negative result; the controller runs on without it.
    int listen();
    HandOffReceiver& receiver() { return receiver_; }

    QAction* editAction() const { return editAction_; }
    QAction* programAction() const { return programAction_; }

    // "Korvex Assistant"; the button stays disabled until the editor has answered.
    void editWithEditor();
    // "Program".
    int openProgrammingTool();

    // The editor started when none runs: `tavrel` beside this program unless set (tests).
    void setEditorProgram(const QString& path) { editorProgram_ = path; }
    QString editorProgram() const;
    ProgramToolLauncher& programTool() { return programTool_; }

    static HandOffAnswer answerFor(OpenOutcome outcome);

signals:
    // Edit with the editor ended: the running editor's answer, or NotRunning when it was
    // started (or could not be).
    void editFinished(korvex::SendResult result);

private:
    HandOffAnswer receive(const QString& path);
    void onEditorAnswered(SendResult result);
    void startEditor(const QString& path);

    QWidget* window_;
    CDCSDoc& document_;
    OperatorInteraction& operatorUi_;
    OpenRequest open_;
    std::function<QString()> boxTitle_;
    HandOffReceiver receiver_;
    HandOffSender toEditor_;
    ProgramToolLauncher programTool_;
    QString editorProgram_;
    QString pendingPath_;
    QAction* editAction_ = nullptr;
    QAction* programAction_ = nullptr;
};

}  // namespace korvex
