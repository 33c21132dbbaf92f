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
#include "platform/testing/scripted_operator.h"

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

// The operator of both programs' tests; here every question without a scripted answer gets
// defaultAnswer (No unless a test says otherwise), and dialogs are filled by `scripts`.
using ScriptedOperator = korvex::testing::ScriptedOperator;

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
