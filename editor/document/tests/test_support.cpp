#include "editor/document/tests/test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tavrel::test {

std::string scratchPath(const std::string& name) {
    return ::testing::TempDir() + "tavrel_" + std::to_string(::getpid()) + "_" + name;
}

std::string writeScratch(const std::string& name, const std::string& content) {
    const std::string path = scratchPath(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> sourceLines(const CTavrelDoc& doc) {
    std::vector<std::string> out;
    for (int i = 0; i < doc.count(); ++i) out.emplace_back(doc.sourceLine(i));
    return out;
}

std::optional<std::string> ScriptedPrompter::inputCode(const std::string& initial) {
    inputsShown.push_back(initial);
    if (inputs.empty()) return std::nullopt;
    auto answer = inputs.front();
    inputs.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompter::chooseSavePath(SaveDialogKind kind, const std::string&) {
    saveDialogs.push_back(kind);
    if (savePaths.empty()) return std::nullopt;
    auto answer = savePaths.front();
    savePaths.pop_front();
    return answer;
}

EditorPrompter::Answer ScriptedPrompter::askSaveChanges(const std::string&) {
    ++questions;
    if (answers.empty()) return Answer::kCancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::vector<std::string> ScriptedPrompter::ids() const {
    std::vector<std::string> out;
    for (const DocMessage& m : shown) out.push_back(m.id);
    return out;
}

bool ScriptedPrompter::saw(const std::string& id) const {
    return std::any_of(shown.begin(), shown.end(), [&](const DocMessage& m) { return m.id == id; });
}

}  // namespace tavrel::test
