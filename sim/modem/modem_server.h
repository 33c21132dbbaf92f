// The virtual GSM modem on a pseudo-terminal: the controller opens the slave side as its modem.
//
// It answers the commands the notifier uses: AT, ATE0/ATE1, AT+CMGF=0, AT+CMGS=<n> with the
// prompt "> " and the PDU ended by Ctrl-Z (ESC cancels), ATD<number>; and ATH, AT+CMGL[=<stat>]
// and AT+CMGD=<index>. AT+CMGL without a status lists unread messages only and marks them read,
// as real modems do. A PDU whose length differs from AT+CMGS's gets "+CMS ERROR: 304".
//
// Scenarios make it misbehave the way real modems and lines do:
//   normal           everything answered at once
//   cms-error-first  the first PDU gets "+CMS ERROR: 500", later ones "OK"
//   always-error     every PDU gets "+CMS ERROR: 500"
//   no-ok            nothing is ever answered
//   prompt-no-ok     PDUs are taken and never answered
//   noisy            echo until ATE0; the first prompt 3 s late, later ones split in two parts
//                    300 ms apart; "+CMTI" after each message (a new one stored) and "RING" lines
//   incoming         the storage holds awkward messages (UCS2, 7-bit with "@" and the euro sign,
//                    8-bit, an alphanumeric sender, a concatenated part, a status report, lying
//                    lengths)
//   unplugged        after the first message the device is gone for 3 s, then back at the link
// Every delay is multiplied by timeScale, so tests run the same story faster.
//
// Every event is kept (events()) and, with a trace path, written as one JSON line.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvex::sim {

enum class ModemScenario { Normal, CmsErrorFirst, AlwaysError, NoOk, PromptNoOk, Noisy, Incoming, Unplugged };

// The scenario named on the command line; false for an unknown name.
bool modemScenarioFromName(const std::string& name, ModemScenario& out);

inline constexpr int64_t kLatePromptMs = 3000;
inline constexpr int64_t kSplitPromptMs = 300;
inline constexpr int64_t kUnpluggedMs = 3000;
inline constexpr int64_t kCallRingMs = 2000;       // an unanswered call ends with "NO ANSWER"
inline constexpr int64_t kModemIdlePollMs = 50;
inline constexpr int64_t kUnplugAfterAnswerMs = 100;
inline constexpr std::size_t kMaxCommandBytes = 1024;  // longer input is dropped, as a modem's buffer would

struct ModemOptions {
    ModemScenario scenario = ModemScenario::Normal;
    int inbox = 0;             // plain unread messages stored at start
    double timeScale = 1.0;
    std::string tracePath;
    std::string linkPath;
};

struct ModemEvent {
    double t = 0;              // seconds since start
    std::string event;         // sms, sms-cancelled, call, hangup, list, delete
    int cmgsLength = -1;
    bool lengthOk = false;
    std::string pdu;
    int attempt = 0;           // how often this PDU arrived so far
    std::string answer;
    std::string number;
    int stat = -1;             // AT+CMGL's status; -1 when none was given
    int index = -1;

    std::string json() const;
};

class ModemServer {
public:
    explicit ModemServer(ModemOptions options);
    ~ModemServer();
    ModemServer(const ModemServer&) = delete;
    ModemServer& operator=(const ModemServer&) = delete;

    // Opens the pseudo-terminal, makes the link and starts the thread. Returns 0, or -1 with
    // error() telling why.
    int start();
    void stop();
    const std::string& error() const { return error_; }
    std::string devicePath() const;

    std::vector<ModemEvent> events() const;
    // False while the unplugged scenario has the device gone.
    bool present() const {
        std::lock_guard lock(mutex_);
        return masterFd_ >= 0;
    }
    // Indexes still stored.
    std::vector<int> storedIndexes() const;

private:
    enum class Entry { Command, AwaitingPrompt, Pdu };
    struct Stored {
        std::string pdu;
        int stat = 0;  // 0 unread, 1 read
    };
    struct Due {
        int64_t atMs = 0;
        std::string bytes;
    };

    int openTerminal();
    void closeTerminal();
    void threadLoop();
    int64_t nowMs() const;
    int64_t scaled(int64_t ms) const;
    void handleInput(const char* bytes, std::size_t count);
    void handleCommand(const std::string& line);
    void handlePduEnd(bool send);
    void say(const std::string& text, int64_t delayMs = 0);
    void flushDue();
    void record(ModemEvent e);
    void storeMessage(const std::string& pdu);
    void fillInbox();

    ModemOptions options_;
    std::string error_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int wakePipe_[2] = {-1, -1};
    std::chrono::steady_clock::time_point start_;

    mutable std::mutex mutex_;  // everything below
    int masterFd_ = -1;
    std::string devicePath_;
    bool linkMade_ = false;
    bool echo_ = true;
    Entry entry_ = Entry::Command;
    std::string line_;
    int cmgsLength_ = -1;
    int promptsGiven_ = 0;
    int pdusTaken_ = 0;
    bool unplugDone_ = false;
    int64_t unplugAt_ = -1;
    int64_t unpluggedUntil_ = -1;
    int64_t callEndsAt_ = -1;
    std::map<std::string, int> attempts_;
    std::map<int, Stored> storage_;
    int nextIndex_ = 1;
    std::vector<Due> due_;
    std::vector<ModemEvent> events_;
    std::FILE* trace_ = nullptr;
};

}  // namespace korvex::sim
