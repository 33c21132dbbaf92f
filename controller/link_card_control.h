// CardControl over the real card link (a serial device, or the virtual card's pseudo-terminal).
#pragma once

#include <memory>

#include "controller/card_control.h"
#include "controller/link/card_link.h"

namespace korvex {

class LinkCardControl : public CardControl {
public:
    explicit LinkCardControl(LinkOptions options = {});
    ~LinkCardControl() override;

    void setEventHook(EventHook hook) override;
    int open(const std::string& device) override;
    void close() override;
    bool isOpen() const override;

    int connect() override;
    int getCardId(uint32_t& id) override;
    int getSettings(SettingsBlock& block) override;
    int setPulseGroup(const PulseGroupImage& group) override;
    int setSwitchWithoutVf(uint8_t flag) override;
    int setHf(bool on) override;
    int setClearance(int seconds) override;
    int adjustCenter() override;
    int adjustBorder(int direction) override;
    int getStatus(StatusBlock& status) override;
    int setLoop(int loops) override;
    int setSpeedLimits(const std::array<int32_t, kSpeedCount>& speeds) override;
    int setBackDelay(int seconds) override;
    int setBackStopTime(int seconds) override;
    int setPlanPause(int32_t segment, int32_t percent) override;
    int setTrack(int mode) override;
    int setFeed(const std::array<uint8_t, kFeedEntryBytes>& entry, int feedValue) override;
    int getWorkRecord(WorkRecord& record) override;
    int keepAlive() override;
    int closeKeepingWork() override;
    int getRunState(RunState& state) override;
    int stopWork() override;
    int setMotor(bool on) override;
    int logError(const QString& text) override;
    int setPhase(const std::array<uint8_t, kPhaseBytes>& phase) override;
    int setRollGap(int32_t microseconds) override;
    int setAxisInvert(const std::array<uint8_t, kAxisCount>& flags) override;
    int stepAxis(uint8_t mask) override;
    int jog(const std::array<int32_t, kAxisCount>& steps) override;
    int stopAll(bool stop) override;
    int setMachineName(const std::string& name) override;
    int restoreDefaults() override;

    int setTaper(const TaperBlock& taper) override;
    int loadModel(const LoadDescriptor& descriptor, LoadMode mode) override;
    int unloadModel() override;
    int clearWork() override;

    CardLink& link() { return *link_; }

private:
    std::unique_ptr<CardLink> link_;
};

}  // namespace korvex
