// What the controller's shell tests share: a QApplication, a scratch data directory, an operator
// that answers from a script, a card control that records what was sent, and the virtual card on
// a pseudo-terminal.
#pragma once

#include <QDialog>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "controller/link_card_control.h"
#include "platform/operator_interaction.h"
#include "platform/testing/scripted_operator.h"
#include "sim/card/card_server.h"

namespace korvex::testing {

// The application object and the English string table, once per test program.
void ensureApplication();

// KORVEX_DATA_DIR points into a fresh temporary directory for the fixture's life.
class ScratchDataDir {
public:
    ScratchDataDir();
    ~ScratchDataDir();
    QString path() const { return dir_.path(); }
    // Every file below the data directory, relative to it, sorted.
    QStringList files() const;

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool hadPrevious_;
};

// Forwards to the real link and records the name of every command sent, with its result.
class RecordingCard : public LinkCardControl {
public:
    explicit RecordingCard(LinkOptions options) : LinkCardControl(std::move(options)) {}

    int connect() override;
    int getCardId(uint32_t& id) override;
    int getSettings(SettingsBlock& block) override;
    int setPulseGroup(const PulseGroupImage& group) override;
    int setSwitchWithoutVf(uint8_t flag) override;
    int setHf(bool on) override;
    int setClearance(int seconds) override;
    int setLoop(int loops) override;
    int setSpeedLimits(const std::array<int32_t, kSpeedCount>& speeds) override;
    int setBackDelay(int seconds) override;
    int setBackStopTime(int seconds) override;
    int setPlanPause(int32_t segment, int32_t percent) override;
    int setTrack(int mode) override;
    int setFeed(const std::array<uint8_t, kFeedEntryBytes>& entry, int feedValue) override;
    int adjustCenter() override;
    int adjustBorder(int direction) override;
    int getStatus(StatusBlock& status) override;
    int stopWork() override;
    int getWorkRecord(WorkRecord& record) override;
    int keepAlive() override;
    int closeKeepingWork() override;
    int setTaper(const TaperBlock& taper) override;
    int loadModel(const LoadDescriptor& descriptor, LoadMode mode) override;
    int unloadModel() override;
    int clearWork() override;
    int setPhase(const std::array<uint8_t, kPhaseBytes>& phase) override;
    int setRollGap(int32_t microseconds) override;
    int setAxisInvert(const std::array<uint8_t, kAxisCount>& flags) override;
    int stepAxis(uint8_t mask) override;
    int jog(const std::array<int32_t, kAxisCount>& steps) override;
    int stopAll(bool stop) override;
    int setMachineName(const std::string& name) override;
    int restoreDefaults() override;
    int setMotor(bool on) override;

    std::vector<std::string> sent() const;
    bool wasSent(const std::string& name) const;
    // The thread the last command of that name was sent from (a default id when never sent).
    std::thread::id threadOf(const std::string& name) const;
    std::vector<PulseGroupImage> groupsSent;
    std::vector<uint8_t> switchFlagsSent;
    std::vector<int> feedsSent;
    std::vector<int> borderDirectionsSent;
    // Changes each status block read before it is handed on (on the thread that read it).
    std::function<void(StatusBlock&)> statusFilter;
    std::vector<LoadDescriptor> descriptorsSent;
    // The threads the last connect and the last heartbeat were sent from.
    std::thread::id connectThread;
    std::thread::id keepAliveThread;
    // Runs after a successful connect (a test makes the card fall silent there).
    std::function<void()> afterConnect;

private:
    int note(const char* name, int result);
    mutable std::mutex mutex_;
    std::vector<std::string> sent_;
    std::map<std::string, std::thread::id> threads_;
};

// The virtual card on a pseudo-terminal, answering in its own thread.
class VirtualCard {
public:
    // speedScale > 1 runs the card's motion faster than real time.
    explicit VirtualCard(uint32_t cardId = sim::kDefaultCardId, const QString& stateDir = {}, double speedScale = 1.0);
    ~VirtualCard();
    const std::string& device() const { return server_->devicePath(); }
    QString deviceText() const { return QString::fromStdString(device()); }
    sim::CardServer& server() { return *server_; }

private:
    std::unique_ptr<sim::CardServer> server_;
};

// Link timings for tests: a silent card is noticed in a fraction of a second.
LinkOptions fastLinkOptions();

// A Comm Config script that types `portText` and presses OK once.
ScriptedOperator::DialogScript pressOkWith(const QString& portText, QString* initialText = nullptr);

}  // namespace korvex::testing
