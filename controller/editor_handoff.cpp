#include "controller/editor_handoff.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QToolBar>
#include <QWidget>

#include "platform/data_dirs.h"
#include "platform/operator_interaction.h"

namespace korvex {

namespace {
constexpr char kEditorExecutable[] = "tavrel";
}

ControllerHandOff::ControllerHandOff(QWidget* window, CDCSDoc& document, OperatorInteraction& operatorUi,
                                     OpenRequest open, std::function<QString()> boxTitle, QObject* parent)
    : QObject(parent),
      window_(window),
      document_(document),
      operatorUi_(operatorUi),
      open_(std::move(open)),
      boxTitle_(boxTitle),
      receiver_(QString::fromLatin1(kControllerChannel), [this](const QString& path) { return receive(path); }),
      toEditor_(QString::fromLatin1(kEditorChannel)),
      programTool_(operatorUi, machineSettingsPath(), boxTitle, window) {
    connect(&toEditor_, &HandOffSender::finished, this, &ControllerHandOff::onEditorAnswered);

    editAction_ = new QAction(qtTrId("handoff.edit_short"), this);
    editAction_->setObjectName(QStringLiteral("EditWithEditor"));
    editAction_->setToolTip(qtTrId("handoff.edit"));
    editAction_->setStatusTip(qtTrId("handoff.edit"));
    connect(editAction_, &QAction::triggered, this, [this] { editWithEditor(); });

    programAction_ = new QAction(qtTrId("handoff.program_short"), this);
    programAction_->setObjectName(QStringLiteral("ProgrammingTool"));
    programAction_->setToolTip(qtTrId("handoff.program"));
    programAction_->setStatusTip(qtTrId("handoff.program"));
    connect(programAction_, &QAction::triggered, this, [this] { openProgrammingTool(); });
}

ControllerHandOff::~ControllerHandOff() = default;

void ControllerHandOff::addToToolBar(QToolBar* toolBar) {
    toolBar->addSeparator();
    toolBar->addAction(programAction_);
    toolBar->addAction(editAction_);
}

int ControllerHandOff::listen() { return receiver_.listen(); }

HandOffAnswer ControllerHandOff::answerFor(OpenOutcome outcome) {
    switch (outcome) {
    case OpenOutcome::Opened: return HandOffAnswer::Opened;
    case OpenOutcome::Refused: return HandOffAnswer::Refused;
    case OpenOutcome::Declined: return HandOffAnswer::Declined;
    case OpenOutcome::Failed: break;
    }
    return HandOffAnswer::Failed;
}

HandOffAnswer ControllerHandOff::receive(const QString& path) {
    // Forward first, so any question the open asks is seen where the operator looks.
    bringToFront(window_);
    if (path.isEmpty()) return HandOffAnswer::Opened;
    return answerFor(open_(path));
}

QString ControllerHandOff::editorProgram() const {
    if (!editorProgram_.isEmpty()) return editorProgram_;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kEditorExecutable);
}

void ControllerHandOff::editWithEditor() {
    if (toEditor_.busy()) return;
    // With no program the editor is only started or brought forward.
    pendingPath_ = document_.isLoaded() ? QFileInfo(document_.path()).absoluteFilePath() : QString();
    editAction_->setEnabled(false);
    toEditor_.send(pendingPath_);
}

void ControllerHandOff::onEditorAnswered(SendResult result) {
    editAction_->setEnabled(true);
    // A running editor has shown whatever it had to say; only its absence is ours to handle.
    if (result == SendResult::NotRunning) startEditor(pendingPath_);
    emit editFinished(result);
}

void ControllerHandOff::startEditor(const QString& path) {
    const QString title = boxTitle_ ? boxTitle_() : QString();
    const QFileInfo program(editorProgram());
    if (!program.isFile() || !program.isExecutable()) {
        operatorUi_.message(title, qtTrId("61711"), OperatorInteraction::Icon::Critical);
        return;
    }
    ToolStart start;
    start.program = program.absoluteFilePath();
    // The path is one argument, whatever spaces or quotes it holds.
    if (!path.isEmpty()) start.arguments << path;
    QString reason;
    if (!startDetached(start, &reason))
        operatorUi_.message(title, qtTrId("handoff.start_failed").arg(start.program, reason),
                            OperatorInteraction::Icon::Critical);
}

int ControllerHandOff::openProgrammingTool() { return programTool_.run(); }

}  // namespace korvex
