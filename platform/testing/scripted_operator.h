// The operator of the tests: records every box it is shown and answers questions, file dialogs
// and the programs' own dialogs from a script, so whole commands run headless.
#pragma once

#include <QDialog>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/operator_interaction.h"

namespace korvex::testing {

class ScriptedOperator : public OperatorInteraction {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon = Icon::Information;
    };
    using DialogScript = std::function<int(QDialog&)>;

    void message(const QString& title, const QString& text, Icon icon) override;
    Answer ask(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override;
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override;
    // Runs the script registered for the dialog's name. Without one, a file dialog selects
    // openChoice and is accepted when it is set; any other dialog is rejected.
    int exec(QDialog& dialog, const QString& name) override;

    // The texts of the boxes shown, in order.
    std::vector<QString> messageTexts() const;

    std::vector<Shown> messages;
    std::vector<QString> questions;
    std::deque<Answer> answers;          // next answers to ask()
    Answer defaultAnswer = Answer::Cancel;  // the answer once `answers` is used up
    std::function<void()> whileAsking;   // runs once while the next question is open
    std::optional<QString> openChoice;   // the open dialog's answer; cancelled when empty
    std::optional<QString> saveChoice;   // the save dialog's answer; cancelled when empty
    std::vector<QString> saveFilters;    // the filter of each save dialog shown
    QString saveDirectory;               // the folder the save dialog last opened in
    std::vector<QString> dialogsRun;
    std::map<QString, DialogScript> scripts;
};

}  // namespace korvex::testing
