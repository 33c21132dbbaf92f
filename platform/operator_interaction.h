// Every message box, question and input dialog of both programs passes through this one
// interface, so that a test can answer it and a whole cut can run headless.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;

namespace korvex {

class OperatorInteraction {
public:
    enum class Icon { Information, Warning, Critical, Question };
    enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~OperatorInteraction() = default;

    // A message box; returns when the operator closed it.
    virtual void message(const QString& title, const QString& text, Icon icon) = 0;
    // A question box with the given buttons; returns the button pressed.
    virtual Answer ask(const QString& title, const QString& text, Buttons buttons,
                       Icon icon = Icon::Warning) = 0;
    // The open-file dialog; nothing when cancelled.
    virtual std::optional<QString> chooseOpenFile(const QString& caption, const QString& directory,
                                                  const QString& filter) = 0;
    // The save-file dialog; nothing when cancelled.
    virtual std::optional<QString> chooseSaveFile(const QString& caption, const QString& directory,
                                                  const QString& filter) = 0;
    // Runs a modal dialog of the program's own. `name` identifies it (its object name), so a
    // scripted operator can fill its fields before accepting it. Returns QDialog::Accepted or
    // QDialog::Rejected.
    virtual int exec(QDialog& dialog, const QString& name) = 0;
};

}  // namespace korvex
