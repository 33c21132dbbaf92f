// The card commands the controller's shell sends (start-up, keep-alive, exit), on top of the
// few the document sends. Everything goes through this interface, so the shell runs against
// the card link, the virtual card, or a recording fake alike.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QString>

#include "controller/document/card_port.h"
#include "controller/link/records.h"

namespace korvex {

// A card report or a link failure as the link hands it over: the code (0 for a link failure)
// and the 8 data bytes (for a failure, byte 1 is the command that failed).
struct CardEvent {
    uint8_t code = 0;
    std::array<uint8_t, 8> data{};
};

class CardControl : public CardPort {
public:
    // Called on the link's reader thread (reports) or on the thread whose transaction failed
    // (code 0). Must return at once and never run a transaction.
    using EventHook = std::function<void(const CardEvent&)>;

    // Registers the hook before the port is opened; an empty function removes it.
    virtual void setEventHook(EventHook hook) = 0;

    // Opens the serial device (19200 8N1, raw) and starts the reader. 0 or negative.
    virtual int open(const std::string& device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Each returns 0 on success and a negative value when the card refused or did not answer.
    virtual int connect() = 0;
    virtual int getCardId(uint32_t& id) = 0;
    virtual int getSettings(SettingsBlock& block) = 0;
    virtual int setPulseGroup(const PulseGroupImage& group) = 0;
    virtual int setSwitchWithoutVf(uint8_t flag) = 0;
    // The HF output and the corner wait, for the settings dialogs; a control that cannot send
    // them refuses.
    virtual int setHf(bool on) {
        static_cast<void>(on);
        return -1;
    }
    virtual int setClearance(int seconds) {
        static_cast<void>(seconds);
        return -1;
    }
    // The adjust procedures: wire centering, edge finding towards direction 1, 2, 4 or 8, and the
    // status block their polls read (byte 2: finished, bytes 128..131: the edge finding's steps).
    virtual int adjustCenter() { return -1; }
    virtual int adjustBorder(int direction) {
        static_cast<void>(direction);
        return -1;
    }
    virtual int getStatus(StatusBlock& status) {
        static_cast<void>(status);
        return -1;
    }
    // Loop, Speed, Back, Plan-Pause and Track settings; a control that cannot send them refuses.
    virtual int setLoop(int loops) { return refuseCommand(loops); }
    virtual int setSpeedLimits(const std::array<int32_t, kSpeedCount>& speeds) { return refuseCommand(speeds); }
    virtual int setBackDelay(int seconds) { return refuseCommand(seconds); }
    virtual int setBackStopTime(int seconds) { return refuseCommand(seconds); }
    virtual int setPlanPause(int32_t segment, int32_t percent) { return refuseCommand(segment, percent); }
    virtual int setTrack(int mode) { return refuseCommand(mode); }
    // CMD_SET_FEED: the 8-byte feed entry and the feed value 1..200.
    virtual int setFeed(const std::array<uint8_t, kFeedEntryBytes>& entry, int feedValue) = 0;
    virtual int getWorkRecord(WorkRecord& record) = 0;
    virtual int keepAlive() = 0;
    // The card keeps its work record for the next start.
    virtual int closeKeepingWork() = 0;

    // The commands a power-loss recovery sends before the machining operations exist: the run
    // state, a stop of a work the card still runs, motor and HF (setHf above).
    virtual int getRunState(RunState& state) = 0;
    virtual int stopWork() = 0;
    virtual int setMotor(bool on) = 0;

    // Appends one line to the card's error log (the lost-link message); the text carries no line
    // end. 0, or -1 when nothing was written.
    virtual int logError(const QString& text) {
        static_cast<void>(text);
        return -1;
    }

    // The phase, direction and option dialogs' commands and the manual moves of the Direction
    // test (their polls read getStatus above); a control that cannot send them refuses.
    virtual int setPhase(const std::array<uint8_t, kPhaseBytes>& phase) { return refuseCommand(phase); }
    virtual int setRollGap(int32_t microseconds) { return refuseCommand(microseconds); }
    virtual int setAxisInvert(const std::array<uint8_t, kAxisCount>& flags) { return refuseCommand(flags); }
    virtual int stepAxis(uint8_t mask) { return refuseCommand(mask); }
    virtual int jog(const std::array<int32_t, kAxisCount>& steps) { return refuseCommand(steps); }
    virtual int stopAll(bool stop) { return refuseCommand(stop); }
    virtual int setMachineName(const std::string& name) { return refuseCommand(name); }
    virtual int restoreDefaults() { return -1; }


private:
    template <class... Args>
    static int refuseCommand(const Args&...) { return -1; }
};

}  // namespace korvex
