// Test doubles for the Edit commands: a card that records loads, an operator who answers from a
// script (dialogs are filled by a handler per dialog name), and a document wired to both in a
// scratch directory.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controller/document/card_port.h"
#include "controller/document/dcs_doc.h"
#include "controller/edit/edit_commands.h"
#include "platform/operator_interaction.h"

class QDialog;

namespace korvex::test {

void ensureApplication();

class CountingCard : public CardPort {
public:
    int setTaper(const TaperBlock&) override { return 0; }
    int loadModel(const LoadDescriptor&, LoadMode) override { ++loads; return 0; }
    int unloadModel() override { return 0; }
    int clearWork() override { return 0; }
    std::atomic<int> loads{0};
};

class ScriptedOperator : public OperatorInteraction {
public:
    void message(const QString& title, const QString& text, Icon icon) override;
    Answer ask(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> chooseOpenFile(const QString&, const QString&, const QString&) override;
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override;
    int exec(QDialog& dialog, const QString& name) override;

    std::vector<QString> messages;
    std::vector<QString> questions;
    std::vector<QString> dialogsRun;
    std::optional<QString> saveChoice;   // the save dialog's answer; cancelled when empty
    QString saveDirectory;               // the folder the save dialog last opened in
    Answer answer = Answer::No;          // what every question is answered
    // Fills the named dialog and returns its result; a dialog without a handler is rejected.
    std::map<QString, std::function<int(QDialog&)>> dialogHandlers;
};

struct EditFixture {
    EditFixture();
    QString write(const QString& name, const std::string& content) const;
    // Loads `path` as the document; true when loaded.
    bool open(const QString& path);
    std::string read(const QString& path) const;
    EditCommandContext context();

    QTemporaryDir dir;
    CountingCard card;
    ScriptedOperator ui;
    CDCSDoc doc;
    bool idle = true;
    int workState = 1;
    bool rolling = false;
    bool mark = false;
};

// A numbered ISO program: the start line, `body`, the end line.
std::string isoProgram(const std::vector<std::string>& body);
// A 10 mm square, counter-clockwise, entered and left in the middle of its lower side by a
// 1 mm lead-in and lead-out along Y.
std::string isoSquare10();

}  // namespace korvex::test
