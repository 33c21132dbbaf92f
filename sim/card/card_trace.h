// The virtual card's trace (kvcardsim --trace FILE): one JSON object per line for every request
// received, every report sent and every injected fault, so a test or a person can see exactly
// what passed on the line.
//
//   {"t":1.250,"dir":"rx","cmd":"CMD_SEND_SEGMENTS","seq":7,"status":0,"segments":[3,4,5],"state":3,"sub":0}
//   {"t":1.262,"dir":"tx","cmd":"REPORT","type":2,"segment":4}
//   {"t":1.900,"dir":"tx","cmd":"REPORT","type":1,"mode":3,"event":6}
//   {"t":2.000,"dir":"fault","cmd":"FAULT","what":"drop-response"}
//
// "t" is seconds since the card started, on the card's clock (virtual time in tests).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/card/card_engine.h"

namespace korvex::sim {

class CardTrace {
public:
    CardTrace() = default;
    ~CardTrace();
    CardTrace(const CardTrace&) = delete;
    CardTrace& operator=(const CardTrace&) = delete;

    // Returns 0, or -1 when the file cannot be created.
    int open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }

    // A request and what the card made of it. retry: answered again without executing;
    // ignored: not answered (silence).
    // point: JSON members appended to the line (the card's point after the request), "" for none.
    void request(double t, uint8_t sequence, uint8_t type, const uint8_t* payload, std::size_t length,
                 uint8_t status, uint8_t state, uint8_t subState, bool retry, bool ignored,
                 const std::string& point = {});
    void badFrame(double t, const char* fault, std::size_t length);
    void report(double t, const CardReport& report);
    void fault(double t, const std::string& what, const std::string& point = {});
    // Something the card did by itself: {"t":..,"dir":"card","cmd":"NOTE","what":"..",point}.
    void note(double t, const std::string& what, const std::string& point = {});

private:
    void line(const std::string& text);
    std::FILE* file_ = nullptr;
};

// The point a work stands at, as JSON members (without braces):
//   "point":{"segment-index":4,"lower":[120,3000,-40],"upper":[0,0,0],"guides":[x,y,u,v]},"steps-run":N
// (names of their own, so they never read as the request's "segment" or "x")
std::string describePoint(const WorkParams& w, uint64_t stepsRun);
// The same point as words for the control socket's status line:
//   segment 4 lower 120,3000,-40 upper 0,0,0 x .. y .. u .. v .. steps-run N
std::string describePointWords(const WorkParams& w, uint64_t stepsRun);

// The essentials of a request payload as JSON members (without braces), "" when none.
std::string describeRequest(uint8_t type, const uint8_t* payload, std::size_t length);

}  // namespace korvex::sim
