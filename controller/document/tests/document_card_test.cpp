// The document against the virtual card through a pseudo-terminal and the real card link: what
// the card's trace shows of a taper program's load, and of Close.
#include <gtest/gtest.h>

#include <QFile>

#include <fstream>
#include <sstream>

#include "controller/link/card_link.h"
#include "controller/link/commands.h"
#include "controller/document/tests/test_support.h"
#include "sim/card/card_server.h"

namespace korvex::test {
namespace {

// The document's card commands over the card link.
class LinkPort : public CardPort {
public:
    explicit LinkPort(CardLink& link) : link_(link) {}
    int setTaper(const TaperBlock& t) override { return CMD_SET_TAPER(link_, t); }
    int loadModel(const LoadDescriptor& d, LoadMode m) override {
        return CMD_LOAD_MODEL(link_, d, m == LoadMode::Restore);
    }
    int unloadModel() override { return CMD_UNLOAD_MODEL(link_); }
    int clearWork() override { return CMD_CLEAR_WORK(link_); }

private:
    CardLink& link_;
};

std::vector<std::string> traceLines(const QString& path) {
    std::ifstream in(path.toStdString());
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        if (line.find("\"dir\":\"rx\"") != std::string::npos) out.push_back(line);
    return out;
}

TEST(DocumentOnVirtualCard, TaperLoadReachesTheCardInOrderAndCloseDropsIt) {
    ensureApplication();
    QTemporaryDir dir;
    sim::ServerOptions options;
    options.manualClock = true;
    options.pcSilenceMs = 0;
    options.tracePath = dir.filePath("trace.jsonl").toStdString();
    sim::CardServer server(options);
    ASSERT_EQ(server.start(), 0) << server.error();

    CardLink link(LinkOptions{2000, 2000, 0, {}});
    ASSERT_EQ(link.Open(server.devicePath()), 0);
    ASSERT_EQ(CMD_CONNECT(link), 0);
    LinkPort port(link);

    DocFixture f;
    DocumentEnvironment env;
    env.operatorUi = &f.ui;
    env.card = &port;
    env.cardSettingsPath = f.dir.filePath("0badcafe.ini");
    env.temporaryDirectory = f.dir.filePath("Tmp");
    f.doc.setEnvironment(env);

    const std::string program =
        "; banner\n"
        "Korvex -Version 2.0 -Type ZD -Height 40.000 -Width 20.000 -Base 10.000 -R 0.000 "
        "-Degree 1.500\n"
        "N0 G92 X0.000 Y0.000; N0 G92 X0.000 Y0.000;\n"
        "N1 G01 X1.000 Y0.000; N1 G01 X1.100 Y0.000;\n"
        "N2 M02; N2 M02;\n";
    ASSERT_TRUE(f.doc.openPath(f.write("cone.3nb", program)));
    RunState state;
    ASSERT_EQ(CMD_GET_RUN_STATE(link, &state), 0);
    EXPECT_EQ(state.state, 1);  // program loaded

    f.ui.answers = {OperatorInteraction::Answer::Yes};
    ASSERT_TRUE(f.doc.closeProgram());
    ASSERT_EQ(CMD_GET_RUN_STATE(link, &state), 0);
    EXPECT_EQ(state.state, 0);
    link.Close();
    server.stop();

    const auto rx = traceLines(dir.filePath("trace.jsonl"));
    std::vector<std::string> commands;
    for (const std::string& line : rx) {
        const std::size_t at = line.find("\"cmd\":\"");
        if (at != std::string::npos)
            commands.push_back(line.substr(at + 7, line.find('"', at + 7) - at - 7));
    }
    const std::vector<std::string> expected{"CMD_CONNECT",      "CMD_SET_TAPER",
                                            "CMD_LOAD_MODEL",   "CMD_GET_RUN_STATE",
                                            "CMD_UNLOAD_MODEL", "CMD_CLEAR_WORK",
                                            "CMD_GET_RUN_STATE"};
    EXPECT_EQ(commands, expected);
    std::string load;
    for (const std::string& line : rx)
        if (line.find("CMD_LOAD_MODEL") != std::string::npos) load = line;
    EXPECT_NE(load.find("\"title\":\"cone.3nb\""), std::string::npos) << load;
    EXPECT_NE(load.find("\"restore\":0"), std::string::npos) << load;
    EXPECT_NE(load.find("\"status\":0"), std::string::npos) << load;
}

}  // namespace
}  // namespace korvex::test
