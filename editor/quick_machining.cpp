#include "editor/quick_machining.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

#include "editor/main_frame.h"
#include "editor/operator_prompter.h"

namespace tavrel {

using korvex::HandOffAnswer;
using korvex::SendResult;

EditorHandOff::EditorHandOff(CMainFrame& frame, OperatorPrompter& prompter, QObject* parent)
    : QObject(parent),
      frame_(frame),
      prompter_(prompter),
      receiver_(QString::fromLatin1(korvex::kEditorChannel), [this](const QString& path) { return receive(path); }),
      toController_(QString::fromLatin1(korvex::kControllerChannel)) {
    connect(&toController_, &korvex::HandOffSender::finished, this, &EditorHandOff::onControllerAnswered);
}

int EditorHandOff::listen() { return receiver_.listen(); }

bool EditorHandOff::quickEnabled() const {
    return frame_.session().doc().machinable() && !toController_.busy();
}

void EditorHandOff::updateAction() {
    if (QAction* quick = frame_.action(QStringLiteral("quick"))) quick->setEnabled(quickEnabled());
}

void EditorHandOff::quickMachining() {
    if (!quickEnabled()) return;
    const CTavrelDoc& doc = frame_.session().doc();
    // The controller machines what is on disk: it must be what the operator sees.
    if (doc.modified() || doc.filePath().empty()) {
        prompter_.ui().message(qtTrId("tavrel.app"), qtTrId("61216"), korvex::OperatorInteraction::Icon::Warning);
        return;
    }
    // The file last read or written: after Save As, the new one.
    toController_.send(QFileInfo(QString::fromStdString(doc.filePath())).absoluteFilePath());
    updateAction();
}

void EditorHandOff::onControllerAnswered(SendResult result) {
    updateAction();
    // The controller told its operator about a refusal or a failure itself.
    if (result == SendResult::NotRunning)
        prompter_.ui().message(qtTrId("tavrel.app"), qtTrId("61210"), korvex::OperatorInteraction::Icon::Warning);
    emit quickFinished(result);
}

HandOffAnswer EditorHandOff::receive(const QString& path) {
    korvex::bringToFront(&frame_);
    if (path.isEmpty()) return HandOffAnswer::Opened;
    EditorSession& session = frame_.session();
    const QString current = QFileInfo(QString::fromStdString(session.doc().filePath())).canonicalFilePath();
    if (!current.isEmpty() && current == QFileInfo(path).canonicalFilePath())
        return HandOffAnswer::Opened;  // already here: not read again, edits kept
    if (session.doc().modified()) {
        switch (prompter_.askSaveChanges(session.title())) {
        case EditorPrompter::Answer::kYes:
            if (!session.save()) return HandOffAnswer::Failed;
            break;
        case EditorPrompter::Answer::kNo:
            session.doc().setModified(false);  // the operator let the edits go
            break;
        case EditorPrompter::Answer::kCancel:
            return HandOffAnswer::Declined;
        }
    }
    return frame_.openFile(path) ? HandOffAnswer::Opened : HandOffAnswer::Failed;
}

const char* sendCommandWord(SendResult result) {
    return result == SendResult::NotRunning ? "no-controller" : korvex::resultWord(result);
}

int sendCommandStatus(SendResult result) {
    constexpr int kOpened = 0, kOther = 1, kNoController = 2;
    if (result == SendResult::Opened) return kOpened;
    return result == SendResult::NotRunning ? kNoController : kOther;
}

std::optional<int> runSendCommand(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--send") != 0) return std::nullopt;
    if (argc != 3) {
        std::fprintf(stderr, "usage: tavrel --send FILE\n");
        return 1;
    }
    QCoreApplication app(argc, argv);
    const QString path = QFileInfo(QFile::decodeName(argv[2])).absoluteFilePath();
    const SendResult result = korvex::sendAndWait(QString::fromLatin1(korvex::kControllerChannel), path);
    std::printf("%s\n", sendCommandWord(result));
    std::fflush(stdout);
    return sendCommandStatus(result);
}

}  // namespace tavrel
