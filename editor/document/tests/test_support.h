// Shared by the document tests: scratch files and a prompter that records what it was asked.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "editor/document/editor_session.h"

namespace tavrel::test {

// A path in the scratch folder, made unique to this process (tests run side by side).
std::string scratchPath(const std::string& name);
// A file under the test's scratch folder holding `content`; returns its path.
std::string writeScratch(const std::string& name, const std::string& content);
std::string readWhole(const std::string& path);
// Lines 0..count-1 of the source table.
std::vector<std::string> sourceLines(const CTavrelDoc& doc);

class ScriptedPrompter : public EditorPrompter {
public:
    void show(const DocMessage& m) override { shown.push_back(m); }
    std::optional<std::string> inputCode(const std::string& initial) override;
    std::optional<std::string> chooseSavePath(SaveDialogKind kind, const std::string& suggested) override;
    Answer askSaveChanges(const std::string& title) override;
    std::optional<int> chooseHfGroup() override { return next(groups); }
    std::optional<int> askThreshold(int preset) override {
        presets.push_back(preset);
        return next(thresholds);
    }
    std::optional<std::string> chooseJoinFile(int kind) override {
        joinKinds.push_back(kind);
        return next(joinFiles);
    }
    std::optional<std::pair<int, int>> askJoinOffset() override { return next(offsets); }

    // Ids of the messages shown ("" for a fatal text, which is in fatalText).
    std::vector<std::string> ids() const;
    bool saw(const std::string& id) const;

    std::vector<DocMessage> shown;
    std::deque<std::optional<std::string>> inputs;      // answers to inputCode; cancel when empty
    std::vector<std::string> inputsShown;               // what the dialog showed
    std::deque<std::optional<std::string>> savePaths;   // answers to chooseSavePath
    std::vector<SaveDialogKind> saveDialogs;
    std::deque<Answer> answers;                         // answers to askSaveChanges
    int questions = 0;
    // Answers of the Machining and Join dialogs, in order; Cancel when empty.
    std::deque<std::optional<int>> groups;
    std::deque<std::optional<int>> thresholds;
    std::vector<int> presets;
    std::deque<std::optional<std::string>> joinFiles;
    std::vector<int> joinKinds;
    std::deque<std::optional<std::pair<int, int>>> offsets;

private:
    template <typename T>
    static std::optional<T> next(std::deque<std::optional<T>>& answers) {
        if (answers.empty()) return std::nullopt;
        std::optional<T> a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A small ISO square.
inline constexpr const char* kIsoSquare =
    "N0 G92 X0.000 Y0.000;\r\n"
    "N1 G01 X10.000 Y0.000;\r\n"
    "N2 G01 X0.000 Y10.000;\r\n"
    "N3 G01 X-10.000 Y0.000;\r\n"
    "N4 G01 X0.000 Y-10.000;\r\n"
    "N5 M02;\r\n";

}  // namespace tavrel::test
