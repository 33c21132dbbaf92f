#include "controller/program_tool.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "platform/operator_interaction.h"
#include "platform/settings_file.h"

namespace korvex {

ToolStart toolStartFor(const QString& folder, const QString& file) {
    ToolStart start;
    start.program = folder + file;
    start.workingFolder = folder;
    // Exactly these spellings: a tool that only looks like the emulator gets no argument.
    if (file == QLatin1String("dosbox") || file == QLatin1String("dosbox.exe"))
        start.arguments << QString::fromLatin1(kEmulatorConfig);
    return start;
}

bool startDetached(const ToolStart& start, QString* reason) {
    QProcess process;
    process.setProgram(start.program);
    process.setArguments(start.arguments);
    if (!start.workingFolder.isEmpty()) process.setWorkingDirectory(start.workingFolder);
    if (process.startDetached()) return true;
    if (reason) *reason = process.errorString();
    return false;
}

ProgramChooserDialog::ProgramChooserDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(qtTrId("handoff.choose_program"));
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    // Programs on this system are files with the execute permission, whatever their name.
    setOption(QFileDialog::DontUseNativeDialog);
    setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
}

ProgramToolLauncher::ProgramToolLauncher(OperatorInteraction& operatorUi, QString settingsPath,
                                         std::function<QString()> boxTitle, QWidget* dialogParent)
    : operatorUi_(operatorUi),
      settingsPath_(std::move(settingsPath)),
      boxTitle_(std::move(boxTitle)),
      dialogParent_(dialogParent),
      starter_(&startDetached) {}

int ProgramToolLauncher::run() {
    SettingsFile settings(settingsPath_);
    const QString section = QString::fromLatin1(kToolSection);
    const QString folder = settings.readText(section, QString::fromLatin1(kToolFolderKey), QString());
    const QString file = settings.readText(section, QString::fromLatin1(kToolFileKey), QString());
    if (!folder.isEmpty() && !file.isEmpty() && QFileInfo(folder + file).isFile())
        return start(toolStartFor(folder, file));

    ProgramChooserDialog dialog(dialogParent_);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (operatorUi_.exec(dialog, dialog.objectName()) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 1;
    const QFileInfo chosen(dialog.selectedFiles().front());
    const QString chosenFolder = chosen.absolutePath() + QLatin1Char('/');
    settings.writeText(section, QString::fromLatin1(kToolFolderKey), chosenFolder);
    settings.writeText(section, QString::fromLatin1(kToolFileKey), chosen.fileName());
    return start(toolStartFor(chosenFolder, chosen.fileName()));
}

int ProgramToolLauncher::start(const ToolStart& start) {
    QString reason;
    if (starter_(start, &reason)) return 0;
    operatorUi_.message(boxTitle_ ? boxTitle_() : QString(), qtTrId("handoff.start_failed").arg(start.program, reason),
                        OperatorInteraction::Icon::Critical);
    return -1;
}

}  // namespace korvex
