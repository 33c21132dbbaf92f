// kvcode doc, groups and join: the editor's document as JSON, --save as the editor's Save, and
// the Machining and Join commands with their answers on the command line.
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

TEST(KvcodeGroups, InsertsAChangeRecognisesAndPrintsTheLookups) {
    std::string text = "B 1000 B 0 B 1000 GX L1\nB 500 B 0 B 500 GX L1\nB 0 B 0 B 0 GX L1\nB 3000 B 0 B 3000 GX L1\n"
                       "B 0 B 0 B 0 GX L1\nB 0 B 700 B 700 GY L2\nDD\n";
    const std::string path = test::writeScratch("groups.3b", text);
    const ToolRun r = kvcode("groups '" + path + "' --threshold 1000 --insert 3 5");
    ASSERT_EQ(r.status, 0) << r.err;
    // Line 0 is the start line; 3 to 5 the jump (pause, 3 mm, pause): the change at its opening
    // pause goes after its closing one.
    EXPECT_EQ(r.out.substr(0, r.out.find(" \"source\"")),
              "{\"kind\": 2,\n \"changes\": [{\"segment\": 6, \"e\": 0, \"f\": 5}],\n"
              " \"inForce\": [0, 0, 0, 0, 0, 0, 5, 5, 5],\n \"colour\": [0, 0, 0, 0, 0, 0, 0, 5, 5],\n"
              " \"recognised\": [{\"segment\": 2, \"jump\": 0}, {\"segment\": 4, \"jump\": 1}, "
              "{\"segment\": 7, \"jump\": 0}],\n");
    EXPECT_NE(r.out.find("\"N 5X: B B B T17 E0F5;  "), std::string::npos);

    // Threshold 0 (the default) lists only the jump start; a kind that cannot be recognised is refused.
    const ToolRun plain = kvcode("groups '" + path + "'");
    EXPECT_NE(plain.out.find("\"recognised\": [{\"segment\": 4, \"jump\": 1}],"), std::string::npos) << plain.out;
    const std::string taper = std::string(KORVEX_SOURCE_DIR) + "/examples/taper-square.iso";
    const ToolRun refused = kvcode("groups '" + taper + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.substr(0, 6), "61219 ");
    const ToolRun noInsert = kvcode("groups '" + taper + "' --insert 3 1");
    EXPECT_EQ(noInsert.status, 1);
    EXPECT_EQ(noInsert.err.substr(0, 22), "tavrel.not_machinable ");
}

TEST(KvcodeJoin, PrintsTheJoinedLinesOrTheRefusal) {
    std::string first = "N0 G92 X0.000 Y0.000;\n";
    for (int i = 1; i <= 18; ++i) first += "N" + std::to_string(i) + " G01 X1.000 Y0.000;\n";
    first += "N19 M02;\n";
    const std::string a = test::writeScratch("join-a.iso", first);
    const std::string b = test::writeScratch("join-b.iso", "N0 G92 X0.000 Y0.000;\nN1 G01 X0.000 Y1.000;\nN2 M02;\n");
    const ToolRun r = kvcode("join '" + a + "' '" + b + "' 5000 -2000");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.find("N18 ")),
              "N18 G01 X1.000 Y0.000;\nN  19: M00 ;\nN  20: G01 X5.000 Y-2.000 ;\nN  21: M00 ;\n"
              "N0 G92 X0.000 Y0.000;\nN1 G01 X0.000 Y1.000;\nN2 M02;\n");

    // A 3B join with negative offsets: the result parses with the jump where it was put.
    const std::string c = test::writeScratch("join-c.3b", "B 1000 B 0 B 1000 GX L1\nDD\n");
    const std::string d = test::writeScratch("join-d.3b", "B 0 B 2000 B 2000 GY L2\nDD\n");
    const ToolRun j = kvcode("join '" + c + "' '" + d + "' -5000 -2000");
    ASSERT_EQ(j.status, 0) << j.err;
    EXPECT_EQ(j.out.substr(j.out.size() - 3), "DD\n");
    const std::string joined = test::writeScratch("joined.3b", j.out);
    const ToolRun parsed = kvcode("parse '" + joined + "'");
    EXPECT_NE(parsed.out.find("\"jumps\": [{\"line\": 3, \"x\": -5, \"y\": -2}]"), std::string::npos) << parsed.out;

    const ToolRun family = kvcode("join '" + a + "' '" + c + "' 0 0");
    EXPECT_EQ(family.status, 1);
    EXPECT_EQ(family.err.substr(0, 6), "61217 ");
    const ToolRun missing = kvcode("join '" + a + "' '" + test::scratchPath("none.iso") + "' 0 0");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "File can not be opened!\n");
}

}  // namespace
}  // namespace tavrel
