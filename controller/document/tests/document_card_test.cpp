// The document against the virtual card through a pseudo-terminal and the real card link: what
// passes on the wire and what the card's trace shows of a taper program's load, and of Close.
#include <gtest/gtest.h>

#include <QFile>

#include <fstream>
#include <sstream>

#include "controller/link/card_link.h"
#include "controller/link/commands.h"
#include "controller/link/frame.h"
#include "controller/link/records.h"
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

// The request frames the link sent, from its frame history file: "... PC->card N: b0 b1 ...".
std::vector<std::vector<uint8_t>> sentFrames(const QString& path) {
    std::ifstream in(path.toStdString());
    std::vector<std::vector<uint8_t>> out;
    for (std::string line; std::getline(in, line);) {
        const std::size_t at = line.find("PC->card");
        if (at == std::string::npos) continue;
        std::istringstream bytes(line.substr(line.find(':', at) + 1));
        std::vector<uint8_t> frame;
        for (unsigned b; bytes >> std::hex >> b;) frame.push_back(static_cast<uint8_t>(b));
        out.push_back(frame);
    }
    return out;
}

// The payload of the first sent frame of the given type.
std::vector<uint8_t> sentPayload(const std::vector<std::vector<uint8_t>>& frames, uint8_t type) {
    for (const auto& f : frames)
        if (f.size() > kFrameOverheadBytes && f[10] == type)
            return {f.begin() + kFramePayloadOffset, f.end() - 7};
    return {};
}

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

    CardLink link(LinkOptions{2000, 2000, 0, dir.path().toStdString()});
    link.SetCardId(0x0badcafe);
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

    // On the wire: the taper block, then the load descriptor with the title, loop total 1 and
    // the angle, and the new-load byte.
    ASSERT_EQ(link.WriteFrameHistory("load"), 0);
    const auto frames = sentFrames(dir.filePath("0badcafe_Link.txt"));
    const std::vector<uint8_t> taper = sentPayload(frames, cmdcode::CMD_SET_TAPER);
    ASSERT_EQ(taper.size(), kTaperBlockBytes);
    EXPECT_EQ(GetLe32(&taper[0]), 400);
    EXPECT_EQ(GetLe32(&taper[4]), 200);
    EXPECT_EQ(GetLe32(&taper[8]), 100);
    EXPECT_EQ(GetLe32(&taper[12]), 0);
    EXPECT_EQ(GetLe32(&taper[16]), 1500);
    const std::vector<uint8_t> load = sentPayload(frames, cmdcode::CMD_LOAD_MODEL);
    ASSERT_EQ(load.size(), kLoadDescriptorBytes + 1);
    std::vector<uint8_t> descriptor(kLoadDescriptorBytes + 1, 0);
    const std::string title = "cone.3nb";
    std::copy(title.begin(), title.end(), descriptor.begin());
    descriptor[73] = 1;
    PutLe32(&descriptor[76], 1500);
    EXPECT_EQ(load, descriptor);

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
    std::string loadLine;
    for (const std::string& line : rx)
        if (line.find("CMD_LOAD_MODEL") != std::string::npos) loadLine = line;
    EXPECT_NE(loadLine.find("\"title\":\"cone.3nb\""), std::string::npos) << loadLine;
    EXPECT_NE(loadLine.find("\"restore\":0"), std::string::npos) << loadLine;
    EXPECT_NE(loadLine.find("\"status\":0"), std::string::npos) << loadLine;
}

}  // namespace
}  // namespace korvex::test
