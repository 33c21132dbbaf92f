#include "platform/testing/scripted_operator.h"

namespace korvex::testing {

void ScriptedOperator::message(const QString& title, const QString& text, Icon icon) {
    messages.push_back({title, text, icon});
}

OperatorInteraction::Answer ScriptedOperator::ask(const QString&, const QString& text, Buttons, Icon) {
    questions.push_back(text);
    if (answers.empty())
        return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedOperator::chooseOpenFile(const QString&, const QString&, const QString&) {
    return openChoice;
}

std::optional<QString> ScriptedOperator::chooseSaveFile(const QString&, const QString&, const QString& filter) {
    saveFilters.push_back(filter);
    return saveChoice;
}

int ScriptedOperator::exec(QDialog& dialog, const QString& name) {
    dialogsRun.push_back(name);
    const auto it = scripts.find(name);
    if (it == scripts.end())
        return QDialog::Rejected;
    return it->second(dialog);
}

}  // namespace korvex::testing
