// The editor's side of the hand-off with the controller:
//   - Quick machining (Ctrl+W): the saved file goes to the running controller, ready to be
//     machined; an unsaved document is refused (61216), a controller that is not there is told
//     (61210); the command stays disabled until the controller has answered;
//   - receiving: a path the controller hands over is opened as File Open would, with its save
//     question; the file already open (the same file, by canonical path) only brings the window
//     forward, its unsaved edits kept;
//   - `tavrel --send FILE`: the same hand-off from a script, without a window.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "platform/local_channel.h"

namespace tavrel {

class CMainFrame;
class OperatorPrompter;

class EditorHandOff : public QObject {
    Q_OBJECT
public:
    EditorHandOff(CMainFrame& frame, OperatorPrompter& prompter, QObject* parent = nullptr);

    // Starts receiving the controller's hand-offs. 0, or the channel's negative result.
    int listen();
    korvex::HandOffReceiver& receiver() { return receiver_; }

    void quickMachining();
    // Quick machining is offered while the document is machinable and no hand-off runs.
    bool quickEnabled() const;

signals:
    void quickFinished(korvex::SendResult result);

private:
    korvex::HandOffAnswer receive(const QString& path);
    void onControllerAnswered(korvex::SendResult result);
    void updateAction();

    CMainFrame& frame_;
    OperatorPrompter& prompter_;
    korvex::HandOffReceiver receiver_;
    korvex::HandOffSender toController_;
};

// The words `tavrel --send` prints and the status it ends with: 0 opened, 2 no controller,
// 1 anything else.
const char* sendCommandWord(korvex::SendResult result);
int sendCommandStatus(korvex::SendResult result);
// `tavrel --send FILE` when argv holds "--send": runs it (no display needed) and returns the exit
// status; nothing when the line is not a send.
std::optional<int> runSendCommand(int argc, char** argv);

}  // namespace tavrel
