// The virtual card's machine: settings, run state, the segment window, the motion engine, the
// events it reports and the work record it keeps. No I/O and no clock of its own: the transport
// (card_server.h) hands it requests and advances its time, so tests can drive it in virtual time.
//
// Run states (byte 0 of the run state) and how the card enters them:
//
//   0  no program            power-on, CMD_UNLOAD_MODEL
//   1  program loaded        CMD_LOAD_MODEL (new), CMD_CLEAR_WORK, CMD_RESET_RUN_STATE
//   2  paused                CMD_STOP, CMD_CLOSE, a pause event; sub-state = the state paused
//   3  cutting               CMD_START_CUT, CMD_START_ADJUSTED, end of a short-circuit back
//   4  walking               CMD_START_WALK
//   5  simulating            CMD_START_SIMULATE
//   6  short-circuit back    a short circuit while cutting, once the back delay has passed
//   7  manual back           CMD_START_BACK
//   8  stopped by the card   wire break or no HF, or the PC went silent; sub-state = the state
//                            that was running. Walk, Cut and Back continue from the point reached.
//   9  restored              CMD_LOAD_MODEL with the restore byte: the work of the record is
//                            back, waiting for a start at the recorded point
//  10  back finished         manual back reached the start of the range
//  11  finished              the range was run as often as CMD_SET_LOOP asked; sub-state = mode
//  12  returning to origin   CMD_START_RETURN
//
// The segment window: the card holds the three records of the last CMD_SEND_SEGMENTS. It runs
// the current segment; when that is done it looks in the window for the segment that comes next
// in its direction of travel, enters it and reports type 2 with its index, so the PC answers
// with the window around it. If the record is not there yet the card stands still and counts the
// wait (starvation) until a window brings it; it never runs past what it holds.
//
//   card                                 PC
//   enters n ---- report 2 (n) -------->
//            <--- window (n-1, n, n+1) -- CMD_SEND_SEGMENTS
//   runs n, enters n+1 -- report 2 (n+1) ->
//
// The work record (CMD_GET_WORK_RECORD) is the card's non-volatile memory together with the
// settings: kind 0x11 from the start of a cut, walk or back until CMD_CLEAR_WORK, 0x22 during a
// return to origin; its work parameter block follows the point reached. A simulation leaves it
// alone.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "controller/link/frame.h"
#include "controller/link/records.h"
#include "sim/card/adjust_motion.h"
#include "sim/card/segment_motion.h"

namespace korvex::sim {

enum RunStateCode : uint8_t {
    kRunNoProgram = 0,
    kRunLoaded = 1,
    kRunPaused = 2,
    kRunCutting = 3,
    kRunWalking = 4,
    kRunSimulating = 5,
    kRunShortBack = 6,
    kRunManualBack = 7,
    kRunStoppedByCard = 8,
    kRunRestored = 9,
    kRunBackFinished = 10,
    kRunFinished = 11,
    kRunReturning = 12,
};

// Event codes of type-1 reports (data byte 1; byte 0 carries the work mode).
enum EventCode : uint8_t {
    kEventCutResumed = 3,
    kEventShortBack = 6,
    kEventBreak = 8,
    kEventPause = 9,
    kEventBackFinished = 10,
    kEventFinished = 11,
    kEventGroupSwitch = 16,
};

// Motion and procedure constants of the virtual card.
inline constexpr int64_t kTickMicros = 1000;            // the engine's time step
inline constexpr int64_t kMaxTicksPerAdvance = 1000;    // longer steps take longer ticks
inline constexpr int64_t kMaxStepsPerTick = 1 << 24;     // beyond any real speed
inline constexpr int64_t kMicrosPerSecond = 1000000;
inline constexpr int32_t kShortBackSteps = 300;         // how far a short circuit backs off, microns
inline constexpr int64_t kShortDwellMicros = 500000;    // pause before cutting resumes after backing
inline constexpr int64_t kHfWobbleMicros = 50000;       // the HF level changes this often while cutting
inline constexpr int32_t kHfLevelIdle = 120;
inline constexpr int32_t kHfLevelCutBase = 420;
inline constexpr int32_t kHfLevelCutStep = 45;
inline constexpr int32_t kHfLevelCutSteps = 9;
inline constexpr int32_t kHfLevelShort = 3400;
inline constexpr int kMaxPlanPercent = 100;

// Phase block defaults: XY "4-8" (drive type 1), UV "3-6" (0), 1 um per pulse, 5 us wide.
inline constexpr uint8_t kDefaultXyDrive = 1;
inline constexpr uint8_t kDefaultUvDrive = 0;
inline constexpr uint8_t kDefaultPulseRateUm = 1;
inline constexpr uint8_t kDefaultPulseWidthUs = 5;

// Index of each speed in the settings block.
enum SpeedIndex { kSpeedMaxXY = 0, kSpeedMaxUV, kSpeedSimulate, kSpeedBack, kSpeedCutXY, kSpeedCutUV };

// Status byte of a refused request.
inline constexpr uint8_t kStatusRefused = 1;
inline constexpr uint32_t kDefaultCardId = 0x00220000;  // card type digit (bits 16-23) is 4
inline constexpr int kDefaultFeed = 100;                // 1..200, until CMD_SET_FEED
inline constexpr int kMaxFeed = 200;

struct CardReport {
    uint8_t code = 0;
    std::array<uint8_t, kReportDataBytes> data{};
};

struct CardAnswer {
    uint8_t status = 0;
    std::vector<uint8_t> payload;
};

// Figures the tests and the trace read.
struct CardFigures {
    uint64_t segmentsEntered = 0;   // type-2 reports sent
    uint64_t starvations = 0;       // times the card had to wait for a window
    int64_t starvedMicros = 0;      // card time spent waiting for windows
    uint64_t stepsRun = 0;          // leading steps of the work motion
    uint64_t shortCircuits = 0;
    uint64_t clearanceWaits = 0;    // corners of a cut at which the card waited
    int64_t clearanceMicros = 0;    // card time spent in those waits
    uint64_t backStops = 0;         // works stopped for backing longer than the back stop time
};

// What survives a power cycle of the card.
struct CardMemory {
    std::array<uint8_t, kSettingsBlockBytes> settings{};
    std::array<uint8_t, kWorkRecordBytes> record{};
};

SettingsBlock defaultSettings();

class CardEngine {
public:
    explicit CardEngine(uint32_t cardId = kDefaultCardId);

    // Executes one request at the current card time. A request the card must refuse (wrong
    // payload size or value, a start without a program or window, ...) gets status 1.
    CardAnswer handle(uint8_t type, const uint8_t* payload, std::size_t length);

    // Runs the card for this much card time (microseconds); reports collect in the outbox.
    void advance(int64_t micros);
    std::vector<CardReport> takeReports();
    // What the card did by itself (a procedure ended, a wait passed), for the trace.
    std::vector<std::string> takeNotes();
    // True while something moves or counts down, so the transport keeps advancing time.
    bool busy() const;

    // Fault injection. Each returns 0, or -1 when the card is in no state for it.
    // While cutting. durationMicros < 0: the short clears once the card has backed off
    // kShortBackSteps; otherwise it lasts that long. Backing longer than the back stop time of
    // the settings stops the work (state 2, sub-state 6, event 9 with mode 6).
    int injectShortCircuit(int64_t durationMicros = -1);
    int injectWireBreak();     // while cutting, walking or backing
    // The PC went silent or the power went: motion stops where it stands, record kept.
    void stopForLostPc();

    // Non-volatile memory.
    CardMemory memory() const;
    // Restores memory of an earlier run; a malformed settings image is replaced by defaults.
    void restoreMemory(const CardMemory& memory);
    // True once after anything in the memory changed.
    bool takeMemoryChanged();

    // Inspection (tests, trace).
    uint8_t runState() const { return state_; }
    uint8_t subState() const { return subState_; }
    WorkParams position() const;
    const CardFigures& figures() const { return figures_; }
    int64_t now() const { return now_; }
    const SettingsBlock& settings() const { return settings_; }
    const std::array<uint8_t, kPulseGroupBytes>& pulseGroup() const { return pulseGroup_; }
    bool switchWithoutVf() const { return switchWithoutVf_ != 0; }
    bool hfOn() const { return hfOn_; }
    bool motorOn() const { return motorOn_; }
    int feed() const { return feed_; }
    int loopTotal() const { return loopTotal_; }
    std::optional<std::pair<int32_t, int32_t>> planPause() const { return planPause_; }  // segment, percent
    // The feed table entry of the last CMD_SET_FEED, as sent.
    const std::array<uint8_t, kFeedEntryBytes>& feedEntry() const { return feedEntry_; }
    // The steps put out on each motor X, Y, U, V since power-on; an inverted axis counts the
    // other way, as its motor turns.
    const std::array<int64_t, kAxisCount>& motorPositions() const { return motorSteps_; }
    // A jog still has steps to go.
    bool jogging() const { return activity_ == Activity::Jog; }

private:
    // ShortSensed: a short circuit holds the wire for the back delay before backing starts.
    enum class Activity : uint8_t { None, Work, ShortSensed, ShortBack, ShortDwell, Return, Jog, Center, Border };
    bool shorted() const {
        return activity_ == Activity::ShortSensed || activity_ == Activity::ShortBack || activity_ == Activity::ShortDwell;
    }

    struct WindowEntry {
        bool valid = false;
        int32_t index = 0;
        CodeSegment segment;
    };

    CardAnswer ok(std::vector<uint8_t> payload = {}) const { return {0, std::move(payload)}; }
    CardAnswer refuse() const { return {kStatusRefused, {}}; }

    CardAnswer start(uint8_t type, const uint8_t* payload);
    CardAnswer startReturn(const uint8_t* payload);
    CardAnswer loadModel(const uint8_t* payload);
    CardAnswer stop();
    CardAnswer setSettingsField(uint8_t type, const uint8_t* payload, std::size_t length);

    // Motion.
    void tick(int64_t micros);
    void tickMotion(int64_t micros);
    void moveMotors(const ContourPoint& from, const ContourPoint& to);
    int stepBudget(int64_t micros, int32_t rate);
    void runWork(int budget);
    void runShortBack(int budget);
    void startShortBack();
    void shortCleared();
    // Counts a timed short down; true when it has cleared.
    bool shortOver(int64_t micros);
    void runReturnOrJog(int budget);
    void runAdjust(int budget);
    void segmentDone();
    void enterSegment(int32_t index);
    const WindowEntry* findInWindow(int32_t index) const;
    void haltWork(uint8_t state, uint8_t subState);
    void report(uint8_t code, const std::array<uint8_t, kReportDataBytes>& data);
    void note(std::string what) { notes_.push_back(std::move(what)); }
    void runEvent(uint8_t mode, uint8_t event);
    void checkPlanPause();

    // Travel order over the range: the work runs from rangeStart() to rangeEnd().
    int32_t rangeStart() const;
    int32_t rangeEnd() const;
    int travelStep() const { return reverse_ ? -1 : 1; }
    // Manual back runs against the work direction.
    bool stepsBackward() const { return (mode_ == kRunManualBack) != (reverse_ != 0); }
    int32_t currentRate() const;
    // Copies the point reached into the record while a cut, walk or back runs.
    void syncRecord();
    void markMemoryChanged() { memoryChanged_ = true; }
    int32_t hfLevel() const;
    StatusBlock statusBlock() const;

    uint32_t cardId_;
    SettingsBlock settings_;
    int64_t now_ = 0;
    int64_t tickCarry_ = 0;
    int64_t stepCarry_ = 0;  // step-microseconds not yet turned into a step

    uint8_t state_ = kRunNoProgram;
    uint8_t subState_ = 0;
    uint8_t mode_ = 0;       // run state of the work in progress (3, 4, 5, 7) or of the last one
    Activity activity_ = Activity::None;

    // Program and work settings.
    bool loaded_ = false;
    LoadDescriptor descriptor_;
    int32_t rangeFirst_ = 0;
    int32_t rangeLast_ = 0;
    uint8_t reverse_ = 0;
    uint8_t ignorePause_ = 0;
    uint8_t loopTotal_ = 1;
    std::array<int32_t, MAX_SEG_STOP_COUNT> stops_{};
    std::optional<std::pair<int32_t, int32_t>> planPause_;  // segment, percent
    TaperGeometry taper_;
    std::array<uint8_t, kPulseGroupBytes> pulseGroup_{};
    uint8_t switchWithoutVf_ = 0;
    int feed_ = kDefaultFeed;
    std::array<uint8_t, kFeedEntryBytes> feedEntry_{};
    bool motorOn_ = false;
    bool hfOn_ = false;
    std::array<int64_t, kAxisCount> motorSteps_{};

    // The window and the work.
    std::array<WindowEntry, kSegmentWindowRecords> window_{};
    bool haveSegment_ = false;
    int32_t segmentIndex_ = 0;
    SegmentMotion motion_;
    ContourPoint point_;
    int32_t loopIndex_ = 0;
    // A loop end passed whose next segment waits for its window: the loop index changes only
    // once that segment is entered, so the point never pairs the old segment with the new loop.
    int32_t loopStepPending_ = 0;
    WorkParams startParams_;  // the block of the last start; card-owned bytes carried on
    bool waiting_ = false;
    int32_t wantedSegment_ = 0;
    int64_t waitStart_ = 0;
    int32_t shortBackLeft_ = 0;
    int64_t shortDwellLeft_ = 0;
    int64_t shortSenseLeft_ = 0;
    int64_t shortLeft_ = -1;       // a timed short's remaining duration; -1: untimed
    int64_t shortBackMicros_ = 0;  // how long the card has been backing off this short
    int64_t clearanceLeft_ = 0;    // the corner wait still to pass before the segment is cut

    // Return, jog, adjust procedures.
    std::array<int32_t, kAxisCount> remaining_{};
    std::array<int32_t, kAxisCount> moveTotal_{};
    int32_t returnSegment_ = 0;
    int8_t adjustFinished_ = 0;
    int32_t edgeSteps_ = 0;
    AdjustMotion adjust_;

    // Fast roll.
    bool rolling_ = false;
    int64_t rollStart_ = 0;
    int64_t rollElapsed_ = 0;

    WorkRecord record_;
    bool workLive_ = false;  // the record follows a work started or restored since power-on
    bool memoryChanged_ = false;
    std::vector<CardReport> outbox_;
    std::vector<std::string> notes_;
    CardFigures figures_;
};

}  // namespace korvex::sim
