#include "platform/testing/scripted_operator.h"

#include <QFileDialog>

#include <utility>

namespace korvex::testing {

void ScriptedOperator::message(const QString& title, const QString& text, Icon icon) {
    messages.push_back({title, text, icon});
}

OperatorInteraction::Answer ScriptedOperator::ask(const QString&, const QString& text, Buttons, Icon) {
    questions.push_back(text);
    if (whileAsking)
        std::exchange(whileAsking, nullptr)();
    if (answers.empty())
        return defaultAnswer;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedOperator::chooseOpenFile(const QString&, const QString&, const QString&) {
    return openChoice;
}

std::optional<QString> ScriptedOperator::chooseSaveFile(const QString&, const QString& directory, const QString& filter) {
    saveFilters.push_back(filter);
    saveDirectory = directory;
    return saveChoice;
}

int ScriptedOperator::exec(QDialog& dialog, const QString& name) {
    dialogsRun.push_back(name);
    const auto it = scripts.find(name);
    if (it != scripts.end())
        return it->second(dialog);
    auto* files = qobject_cast<QFileDialog*>(&dialog);
    if (!files || !openChoice)
        return QDialog::Rejected;
    files->selectFile(*openChoice);
    return QDialog::Accepted;
}

std::vector<QString> ScriptedOperator::messageTexts() const {
    std::vector<QString> texts;
    for (const Shown& m : messages)
        texts.push_back(m.text);
    return texts;
}

}  // namespace korvex::testing
