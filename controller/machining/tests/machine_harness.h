// A running machine without a screen: the virtual card on a pseudo-terminal, the real card link,
// the card worker and the machining operations, with a host whose "user-interface thread" is the
// test's own thread (settle() runs what was handed to it). Time is virtual on both sides: the
// card moves and the worker's waits pass only when the test advances them.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "controller/machining/card_worker.h"
#include "controller/machining/link_machining_card.h"
#include "controller/machining/operations.h"
#include "sim/card/card_server.h"

namespace korvex::testing {

class ScriptedHost : public OperationsHost {
public:
    void runOnUi(std::function<void()> call) override;
    std::optional<std::pair<int32_t, int32_t>> chooseRange(int32_t segmentCount, bool reverse) override;
    void message(const char* textId, Icon icon) override;
    bool ask(const char* textId, Icon icon, bool okCancel) override;
    std::optional<int32_t> chooseReturnSegment(int32_t segmentCount) override;
    void statusText(const char* textId) override { texts.push_back(textId); }
    bool workStarted() const override { return workStarted_; }
    void setWorkStarted(bool started) override { workStarted_ = started; }
    PulseGroupImage pulseGroup(int index) const override;
    int defaultGroup() const override { return 0; }
    void showPosition(const PositionBlock&) override { ++positionsShown; }
    void showStatus(const StatusBlock&) override { ++statusShown; }
    void alarm(const char* textId, Icon icon, int soundKind) override;
    void alarmSound(int kind, bool on) override { sounds.push_back((on ? "on " : "off ") + std::to_string(kind)); }
    void sms(const char* textId) override { smsSent.push_back(textId); }
    void finishAction(int kind) override { finishActions.push_back(kind); }
    void switchDelay(int seconds) override { switchDelays.push_back(seconds); }
    EventSettings eventSettings() const override { return settings; }
    void usedTime(int seconds) override { usedSeconds = seconds; }

    // Runs the calls handed to the UI thread; returns how many ran.
    int runPending();

    std::optional<std::pair<int32_t, int32_t>> range;  // the operator's answer to the range dialog
    std::vector<std::pair<int32_t, bool>> rangeDialogs;  // segment count and reverse of each dialog
    std::deque<bool> answers;                // next answers to ask(); "No" when empty
    std::vector<std::string> questions;
    std::optional<int32_t> returnSegment = 0; // the answer to the return's segment dialog
    std::vector<std::string> messages;
    std::vector<Icon> messageIcons;
    std::vector<std::string> texts;
    int positionsShown = 0;
    int statusShown = 0;
    std::vector<std::string> alarms;  // "textId sound"
    std::vector<std::string> sounds;
    std::vector<std::string> smsSent;
    std::vector<int> finishActions;
    std::vector<int> switchDelays;
    std::vector<int> linkFailures;
    EventSettings settings;
    int usedSeconds = 0;

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
    bool workStarted_ = false;
};

class Machine {
public:
    explicit Machine(const std::string& name);
    ~Machine();

    // Loads the program on the card and into the operations.
    void load(const std::string& text, int loops = 1, bool reverse = false, const char* name = "machine.3b");
    // Runs the worker and the UI calls until both have nothing left.
    void settle();
    // Moves both clocks on by ms in slices, answering windows on the way; stops early once the
    // card reported the run event.
    bool runUntil(uint8_t event, int64_t maxMs = 600000);
    void advance(int64_t ms);
    int tell(const std::string& command);  // a fault command of the virtual card
    bool sawEvent(uint8_t event);

    // From now on commands() lists only what follows.
    void markTrace();
    // The card's trace of requests since the mark, one "NAME [value...]" per request; polls
    // (position, HF level, run state) and window answers left out unless asked for.
    std::vector<std::string> commands(bool withPollsAndWindows = false) const;
    // The same with the card's time of each request, in seconds.
    std::vector<std::pair<double, std::string>> timedCommands(bool withPollsAndWindows = false) const;
    // Every window the card received, as its three indices.
    std::vector<std::array<int, 3>> windows() const;

    std::unique_ptr<sim::CardServer> server;
    CardLink link;
    LinkMachiningCard card{link};
    ManualWorkerClock clock;
    CardWorker worker{card, clock};
    ScriptedHost host;
    MachiningOperations operations{worker, host};
    std::shared_ptr<LoadedProgram> program;

private:
    bool waitForReports(uint64_t count);
    std::filesystem::path tracePath_;
    std::size_t traceMark_ = 0;
    std::mutex mutex_;
    std::condition_variable arrived_;
    uint64_t reports_ = 0;
    std::vector<uint8_t> runEvents_;
};

}  // namespace korvex::testing
