// Test doubles for the document: a card that records what it is sent, an operator who answers
// from a script, and helpers that write programs into a scratch directory.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <mutex>
#include <string>
#include <vector>

#include "controller/document/card_port.h"
#include "controller/document/dcs_doc.h"
#include "platform/testing/scripted_operator.h"

namespace korvex::test {

// Makes sure a QApplication exists and the English strings are installed.
void ensureApplication();

struct CardCommand {
    uint8_t code = 0;
    TaperBlock taper;
    LoadDescriptor descriptor;
    LoadMode mode = LoadMode::New;
};

class FakeCard : public CardPort {
public:
    int setTaper(const TaperBlock& taper) override;
    int loadModel(const LoadDescriptor& descriptor, LoadMode mode) override;
    int unloadModel() override;
    int clearWork() override;

    std::vector<CardCommand> commands() const;
    std::vector<uint8_t> codes() const;
    void clear();

    int loadResult = 0;
    int unloadResult = 0;

private:
    int record(CardCommand c, int result);
    mutable std::mutex mutex_;
    std::vector<CardCommand> commands_;
};

// The operator of both programs' tests; here a question without a scripted answer gets No.
using ScriptedOperator = korvex::testing::ScriptedOperator;

// A scratch data directory and a document wired to the fakes.
struct DocFixture {
    DocFixture();
    QString write(const QString& name, const std::string& content) const;
    QString lastFile() const;
    std::vector<QString> messageTexts() const;

    QTemporaryDir dir;
    FakeCard card;
    ScriptedOperator ui;
    CDCSDoc doc;
    bool idle = true;
};

// ISO programs: a start line, `body` lines and the end.
std::string isoProgram(const std::vector<std::string>& body);
// A square of side 1 mm, as numbered ISO lines.
std::string isoSquare();
// An ISO program with `n` jump segments between small squares.
std::string isoWithJumps(int n);
// An ISO program with `n` T17 group switches.
std::string isoWithSwitches(int n);

}  // namespace korvex::test
