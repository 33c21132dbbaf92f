// The controller keeps its loaded program read-locked; the editor must not write over it.
#include <gtest/gtest.h>

#include <unistd.h>

#include "editor/document/editor_session.h"
#include "editor/document/tests/test_support.h"
#include "platform/file_lock.h"

namespace tavrel {
namespace {

TEST(EditorSaveLock, AFileTheControllerHoldsIsRefusedAnotherNameIsWritten) {
    test::ScriptedPrompter prompter;
    EditorSession session(prompter);
    const std::string path = test::writeScratch("held.iso", test::kIsoSquare);
    ASSERT_TRUE(session.open(path));
    prompter.inputs = {std::string("N9 M00;")};
    session.add({1});

    korvex::ReadLockedFile held;
    ASSERT_EQ(held.open(QString::fromStdString(path)), 0);
    EXPECT_FALSE(session.save());
    EXPECT_TRUE(prompter.saw(msg::kFileInUse));
    EXPECT_EQ(test::readWhole(path), test::kIsoSquare);
    EXPECT_TRUE(session.doc().modified());

    // Save As to the held file is refused the same way; another name is written.
    prompter.shown.clear();
    prompter.savePaths = {path};
    EXPECT_FALSE(session.saveAs());
    EXPECT_TRUE(prompter.saw(msg::kFileInUse));
    const std::string other = test::scratchPath("held-copy.iso");
    ::unlink(other.c_str());
    prompter.savePaths = {other};
    EXPECT_TRUE(session.saveAs());
    EXPECT_NE(test::readWhole(other).find("N9 M00;\r\n"), std::string::npos);

    held.close();
    prompter.inputs = {std::string("N9 M00;")};
    session.add({1});
    EXPECT_TRUE(session.save());
}

}  // namespace
}  // namespace tavrel
