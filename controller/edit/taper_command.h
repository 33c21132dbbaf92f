// The Taper command ("Taper(&Z)"): shows the Taper dialog and, on its OK, generates the taper
// program, writes it beside the given file and opens it as the document. Always offered; OK is
// refused unless idle, since opening the result replaces the program under the card.
//
// The file is written under a temporary name and renamed, so a failure never destroys an
// earlier good file; a title the controller could not open (over 63 bytes) is refused before
// anything is written. The machine type and the values go to the card settings file's "Taper"
// section before the open, so the load (and every later restart or recovery) sends the card
// the type chosen here.
#pragma once

#include <QString>

#include <functional>

#include "controller/edit/taper_dialog.h"

namespace korvex {

class EditCommands;

class TaperCommand {
public:
    // Uses the commands' context: document, operator, idle test, card settings file.
    explicit TaperCommand(EditCommands& commands);

    // Korvex.ini for Option/DefaultZD; default: the data directory's.
    std::function<QString()> machineSettingsPath;

    // The menu entry: the dialog, opened with the last values and the document's file in the
    // field DefaultZD names. 0 when a program was generated and opened, 1 when cancelled.
    int run();
    // The dialog's OK. True when the file was written and opened; otherwise the operator has
    // been told and `badRow` names a wrong Degree cell (else -1).
    bool generate(const TaperRequest& request, int& badRow);
    // The dialog's initial values: the card settings file's Taper section.
    TaperSettings lastSettings() const;

private:
    void tell(const QString& text);
    QString boxTitle() const;

    EditCommands& commands_;
};

}  // namespace korvex
