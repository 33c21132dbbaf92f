// kvcode doc: the editor's document as JSON, and --save as the editor's Save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "editor/document/tests/test_support.h"

namespace tavrel {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun kvcode(const std::string& args) {
    const std::string errFile = test::scratchPath("kvcode_doc_stderr.txt");
    const std::string command = std::string("'") + KVCODE_PATH + "' " + args + " 2>'" + errFile + "'";
    ToolRun run;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
    const int raw = pclose(p);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = test::readWhole(errFile);
    std::remove(errFile.c_str());
    return run;
}

TEST(KvcodeDoc, PrintsTheDocumentWithItsTablesAndWarnings) {
    const std::string path = test::writeScratch("doc.3b",
        "B 1000 B 0 B 1000 GX L1\r\nN 1X: B B B T17 E0F3;\r\nD\r\n");
    const ToolRun r = kvcode("doc '" + path + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"kind\": 2,\n \"machinable\": 1,\n \"capacity\": 1003,\n"
              " \"source\": [\"Start Point32  =  0, 0;      X, Y\",\n  \"B 1000 B 0 B 1000 GX L1\",\n"
              "  \"N 1X: B B B T17 E0F3;\",\n  \"DD\"],\n"
              " \"working\": [\"N0 G92 X0.000 Y0.000;\",\n  \"N1 G01 X1.000 Y0.000;\",\n"
              "  \"N2 T17 E0F3;\",\n  \"N3 M02;\"],\n"
              " \"jumps\": [],\n \"groupChanges\": [{\"segment\": 2, \"e\": 0, \"f\": 3}],\n"
              " \"rect\": {\"minX\": 0, \"maxY\": 0, \"maxX\": 1000, \"minY\": 0},\n \"warnings\": []}\n");

    const std::string bad = test::writeScratch("doc-bad.3b", "B 1000 B 0 B 1000 GX L1\nB junk\nDD\n");
    const ToolRun w = kvcode("doc '" + bad + "'");
    ASSERT_EQ(w.status, 0);
    EXPECT_NE(w.out.find("\"machinable\": 0"), std::string::npos);
    EXPECT_NE(w.out.find("\"warnings\": [{\"id\": \"61212\", \"line\": 2}]"), std::string::npos);
}

TEST(KvcodeDoc, FailedLoadsAndRefusedSavesExitWithTheirMessage) {
    const ToolRun missing = kvcode("doc '" + test::scratchPath("none.iso") + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "File can not be opened!\n");

    // A ".4nb" from a program with an unreadable line is refused with that line's warning.
    const std::string bad = test::writeScratch("save-bad.3b", "B 1000 B 0 B 1000 GX L1\nB junk\nDD\n");
    const std::string out = test::scratchPath("save-bad.4nb");
    const ToolRun refused = kvcode("doc '" + bad + "' --save '" + out + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.substr(0, 6), "61212 ");
    EXPECT_NE(::access(out.c_str(), F_OK), 0);

    // A file read-locked by another open file (as the controller holds its program) is refused.
    const std::string held = test::writeScratch("held.iso", test::kIsoSquare);
    const int fd = ::open(held.c_str(), O_RDONLY);
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    const ToolRun locked = kvcode("doc '" + held + "' --save '" + held + "'");
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.err.substr(0, 6), "61215 ");
    ::close(fd);

    // Saved as Save writes it: CR LF, and the same bytes for a CR LF ISO file.
    const std::string copy = test::scratchPath("copy.iso");
    const ToolRun saved = kvcode("doc '" + held + "' --save '" + copy + "'");
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(test::readWhole(copy), test::kIsoSquare);
}

}  // namespace
}  // namespace tavrel
