// "Quickly open program software": starts the operator's external programming tool, named by
// the keys PGPath (its folder, ending in "/") and PGFile (its file name) of section "Option" in
// Korvex.ini, and asks for it once when they do not name an existing file.
//
// The tool is started from an argument vector, never through a shell: PGPath + PGFile by full
// path, in the working folder PGPath, with the one argument "dosbox.conf" when PGFile is exactly
// "dosbox" or "dosbox.exe" (a DOS tool run in its emulator with the configuration beside it).
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace korvex {

class OperatorInteraction;

inline constexpr char kToolSection[] = "Option";
inline constexpr char kToolFolderKey[] = "PGPath";
inline constexpr char kToolFileKey[] = "PGFile";
inline constexpr char kEmulatorConfig[] = "dosbox.conf";

// What is started for a tool folder and file.
struct ToolStart {
    QString program;        // full path
    QStringList arguments;
    QString workingFolder;
    friend bool operator==(const ToolStart&, const ToolStart&) = default;
};
ToolStart toolStartFor(const QString& folder, const QString& file);

// The dialog that asks for the tool: it lists folders and executable files only.
class ProgramChooserDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit ProgramChooserDialog(QWidget* parent = nullptr);
    static constexpr char kName[] = "ChooseProgram";
};

class ProgramToolLauncher {
public:
    // Starts a program detached; false with the reason when it could not be started.
    using Starter = std::function<bool(const ToolStart& start, QString* reason)>;

    ProgramToolLauncher(OperatorInteraction& operatorUi, QString settingsPath,
                        std::function<QString()> boxTitle, QWidget* dialogParent = nullptr);

    // The command: 0 started, 1 the operator cancelled the dialog (nothing changed), -1 the
    // start failed (the operator was told).
    int run();
    void setStarter(Starter starter) { starter_ = std::move(starter); }

private:
    int start(const ToolStart& start);

    OperatorInteraction& operatorUi_;
    QString settingsPath_;
    std::function<QString()> boxTitle_;
    QWidget* dialogParent_;
    Starter starter_;
};

// Starts `start` detached through QProcess (argument vector, no shell).
bool startDetached(const ToolStart& start, QString* reason);

}  // namespace korvex
