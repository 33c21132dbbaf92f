// The card engine's requests, its blocks and its non-volatile memory.
#include "sim/card/card_engine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korvex::sim {
namespace {

using namespace cmdcode;

template <std::size_t N>
std::span<const uint8_t, N> fixed(const uint8_t* p) {
    return std::span<const uint8_t, N>(p, N);
}

}  // namespace

SettingsBlock defaultSettings() {
    SettingsBlock s;
    // Every value within what the configuration dialogs accept, so a dialog opened on a fresh
    // card can be confirmed as it stands.
    s.speeds = {3000, 1000, 8000, 400, 300, 300};
    // Phase block: XY drive type, pulse rate (um), pulse width (us), lock level, 4 card bytes;
    // the same for UV.
    s.phase = {};
    s.phase[0] = kDefaultXyDrive;
    s.phase[1] = kDefaultPulseRateUm;
    s.phase[2] = kDefaultPulseWidthUs;
    s.phase[8] = kDefaultUvDrive;
    s.phase[9] = kDefaultPulseRateUm;
    s.phase[10] = kDefaultPulseWidthUs;
    s.axisInvert = {0, 0, 0, 0};
    s.trackMode = 0;
    s.clearanceSeconds = 0;
    s.backDelaySeconds = 5;
    s.backStopSeconds = 30;
    s.machineName = {};
    s.rollGapMicroseconds = 150;
    std::array<uint8_t, kSettingsBlockBytes> image{};
    encodeSettingsBlock(s, image);
    s.image = image;
    return s;
}

CardEngine::CardEngine(uint32_t cardId) : cardId_(cardId), settings_(defaultSettings()) {}

// ---------------------------------------------------------------------------------------------
// Requests

CardAnswer CardEngine::handle(uint8_t type, const uint8_t* p, std::size_t length) {
    const CommandInfo* info = FindCommand(type);
    if (info == nullptr || length < info->requestMin || length > info->requestMax) return refuse();
    if (length > 0 && p == nullptr) return refuse();

    switch (type) {
        case CMD_CONNECT:
        case CMD_KEEP_ALIVE:
            return ok();
        case CMD_GET_CARD_ID: {
            std::vector<uint8_t> out(4);
            PutLe32(out.data(), static_cast<int32_t>(cardId_));
            return ok(std::move(out));
        }
        case CMD_CLOSE:
            // The PC leaves; the work stays in the record for the next start.
            if (activity_ != Activity::None) stop();
            markMemoryChanged();
            return ok();

        case CMD_GET_SETTINGS: {
            std::vector<uint8_t> out(kSettingsBlockBytes);
            encodeSettingsBlock(settings_, std::span<uint8_t, kSettingsBlockBytes>(out.data(), out.size()));
            return ok(std::move(out));
        }
        case CMD_RESTORE_DEFAULTS:
            settings_ = defaultSettings();
            markMemoryChanged();
            return ok();
        case CMD_SET_PHASE:
        case CMD_SET_ROLL_GAP:
        case CMD_SET_AXIS_INVERT:
        case CMD_SET_CLEARANCE:
        case CMD_SET_BACK_DELAY:
        case CMD_SET_BACK_STOP_TIME:
        case CMD_SET_SPEED_LIMITS:
        case CMD_SET_TRACK:
        case CMD_SET_MACHINE_NAME:
            return setSettingsField(type, p, length);

        case CMD_SET_LOOP:
            if (p[0] == 0) return refuse();
            loopTotal_ = p[0];
            return ok();
        case CMD_STOP_ALL:
            if (p[0] != 0) {
                if (activity_ != Activity::None) stop();
                motorOn_ = false;
                hfOn_ = false;
            }
            return ok();
        case CMD_SET_MOTOR:
            motorOn_ = p[0] != 0;
            return ok();
        case CMD_SET_HF:
            hfOn_ = p[0] != 0;
            return ok();

        case CMD_JOG: {
            // Manual moves need the motor powered: a step into an unpowered motor is lost.
            if (!motorOn_ || activity_ != Activity::None || rolling_) return refuse();
            for (std::size_t i = 0; i < kAxisCount; ++i) {
                remaining_[i] = GetLe32(p + 4 * i);
                moveTotal_[i] = std::abs(remaining_[i]);
            }
            activity_ = Activity::Jog;
            stepCarry_ = 0;
            return ok();
        }
        case CMD_STEP_AXIS: {
            if (!motorOn_ || activity_ != Activity::None) return refuse();
            const uint8_t m = p[0];
            const ContourPoint from = point_;
            point_.lx += ((m & 0x01) ? 1 : 0) - ((m & 0x04) ? 1 : 0);
            point_.ly += ((m & 0x02) ? 1 : 0) - ((m & 0x08) ? 1 : 0);
            point_.ux += ((m & 0x10) ? 1 : 0) - ((m & 0x40) ? 1 : 0);
            point_.uy += ((m & 0x20) ? 1 : 0) - ((m & 0x80) ? 1 : 0);
            moveMotors(from, point_);
            return ok();
        }
        case CMD_ADJUST_CENTER:
            if (activity_ != Activity::None || rolling_) return refuse();
            adjustFinished_ = 0;
            adjust_.startCenter();
            activity_ = Activity::Center;
            stepCarry_ = 0;
            return ok();
        case CMD_ADJUST_BORDER: {
            const uint8_t d = p[0];
            if (activity_ != Activity::None || rolling_ || (d != 1 && d != 2 && d != 4 && d != 8)) return refuse();
            adjustFinished_ = 0;
            edgeSteps_ = 0;
            adjust_.startBorder(d);
            activity_ = Activity::Border;
            stepCarry_ = 0;
            return ok();
        }

        case CMD_SET_PULSE_GROUP:
            std::memcpy(pulseGroup_.data(), p, kPulseGroupBytes);
            return ok();
        case CMD_SET_SWITCH_WITHOUT_VF:
            switchWithoutVf_ = p[0] != 0;
            return ok();
        case CMD_SET_FEED: {
            const int v = p[kFeedEntryBytes];
            if (v < 1 || v > kMaxFeed) return refuse();
            feed_ = v;
            std::memcpy(feedEntry_.data(), p, kFeedEntryBytes);
            return ok();
        }

        case CMD_GET_WORK_RECORD: {
            std::vector<uint8_t> out(kWorkRecordBytes);
            const CardMemory m = memory();
            std::memcpy(out.data(), m.record.data(), kWorkRecordBytes);
            return ok(std::move(out));
        }
        case CMD_LOAD_MODEL:
            return loadModel(p);
        case CMD_UNLOAD_MODEL:
            if (activity_ != Activity::None) stop();
            loaded_ = false;
            haveSegment_ = false;
            window_ = {};
            state_ = kRunNoProgram;
            subState_ = 0;
            return ok();
        case CMD_CLEAR_WORK:
            if (activity_ != Activity::None) stop();
            record_ = WorkRecord{};
            workLive_ = false;
            state_ = loaded_ ? kRunLoaded : kRunNoProgram;
            subState_ = 0;
            markMemoryChanged();
            return ok();
        case CMD_SET_RANGE:
            if (GetLe32(p) < 0 || GetLe32(p + 4) < 0) return refuse();
            rangeFirst_ = GetLe32(p);
            rangeLast_ = GetLe32(p + 4);
            return ok();
        case CMD_SEND_SEGMENTS: {
            const SegmentWindow w = decodeSegmentWindow(fixed<kSegmentWindowBytes>(p));
            for (std::size_t i = 0; i < kSegmentWindowRecords; ++i)
                window_[i] = WindowEntry{true, w.indices[i], w.segments[i]};
            if (waiting_ && activity_ == Activity::Work) enterSegment(wantedSegment_);
            return ok();
        }
        case CMD_SET_DIRECTION:
            if (p[0] > 1 || activity_ != Activity::None) return refuse();
            reverse_ = p[0];
            return ok();
        case CMD_SET_IGNORE_PAUSE:
            ignorePause_ = p[0] != 0;
            return ok();
        case CMD_SET_SEGMENT_STOPS:
            if (length % 4 != 0) return refuse();
            stops_ = {};
            for (std::size_t i = 0; i < length / 4; ++i) stops_[i] = GetLe32(p + 4 * i);
            return ok();
        case CMD_SET_PLAN_PAUSE: {
            const int32_t percent = GetLe32(p + 4);
            if (percent < 0 || percent > kMaxPlanPercent) return refuse();
            planPause_ = std::make_pair(GetLe32(p), percent);
            return ok();
        }
        case CMD_SET_TAPER: {
            const TaperBlock t = decodeTaperBlock(fixed<kTaperBlockBytes>(p));
            taper_ = {t.heightTenths, t.widthTenths, t.baseTenths, t.radiusTenths, t.degreeMilli, t.taperType};
            return ok();
        }

        case CMD_START_CUT:
        case CMD_START_WALK:
        case CMD_START_SIMULATE:
        case CMD_START_BACK:
        case CMD_START_ADJUSTED:
            return start(type, p);
        case CMD_START_RETURN:
            return startReturn(p);
        case CMD_START_FAST_ROLL:
            if (activity_ != Activity::None) return refuse();
            rolling_ = true;
            rollStart_ = now_;
            return ok();
        case CMD_STOP_FAST_ROLL:
        case CMD_GET_ROLL_INFO: {
            if (type == CMD_STOP_FAST_ROLL && rolling_) {
                rollElapsed_ = now_ - rollStart_;
                rolling_ = false;
            }
            const int64_t elapsed = rolling_ ? now_ - rollStart_ : rollElapsed_;
            const int32_t gap = std::max(settings_.rollGapMicroseconds, 1);
            std::vector<uint8_t> out(kRollInfoBytes);
            PutLe32(out.data(), rolling_ ? 1 : 0);
            PutLe32(out.data() + 4, static_cast<int32_t>(elapsed / 1000));
            PutLe32(out.data() + 8, static_cast<int32_t>(std::min<int64_t>(elapsed / gap, INT32_MAX)));
            PutLe32(out.data() + 12, gap);
            return ok(std::move(out));
        }
        case CMD_STOP:
            return stop();
        case CMD_RESET_RUN_STATE:
            if (activity_ == Activity::Work || shorted() || activity_ == Activity::Return)
                return refuse();
            // A return that has arrived leaves nothing to restore.
            if (record_.kind == kWorkRecordReturn && remaining_ == std::array<int32_t, kAxisCount>{}) {
                record_.kind = 0;
                markMemoryChanged();
            }
            state_ = loaded_ ? kRunLoaded : kRunNoProgram;
            subState_ = 0;
            return ok();

        case CMD_GET_STATUS:
        case CMD_GET_STATE:
        case CMD_GET_POSITION: {
            const StatusBlock s = statusBlock();
            if (type == CMD_GET_STATUS) {
                std::vector<uint8_t> out(kStatusBlockBytes);
                encodeStatusBlock(s, std::span<uint8_t, kStatusBlockBytes>(out.data(), out.size()));
                return ok(std::move(out));
            }
            if (type == CMD_GET_POSITION) {
                std::vector<uint8_t> out(kPositionBlockBytes);
                encodePositionBlock(PositionBlock{s.work, s.speed},
                                    std::span<uint8_t, kPositionBlockBytes>(out.data(), out.size()));
                return ok(std::move(out));
            }
            StateBlock b;
            b.rangeFirst = rangeFirst_;
            b.rangeLast = rangeLast_;
            b.reverse = static_cast<int8_t>(reverse_);
            b.status = s;
            std::vector<uint8_t> out(kStateBlockBytes);
            encodeStateBlock(b, std::span<uint8_t, kStateBlockBytes>(out.data(), out.size()));
            return ok(std::move(out));
        }
        case CMD_GET_RUN_STATE:
            return ok({state_, subState_});
        case CMD_GET_HF_LEVEL: {
            std::vector<uint8_t> out(4);
            PutLe32(out.data(), hfLevel());
            return ok(std::move(out));
        }
        default:
            return refuse();
    }
}

CardAnswer CardEngine::setSettingsField(uint8_t type, const uint8_t* p, std::size_t length) {
    SettingsBlock& s = settings_;
    switch (type) {
        case CMD_SET_PHASE:
            std::memcpy(s.phase.data(), p, kPhaseBytes);
            break;
        case CMD_SET_ROLL_GAP:
            // 0 is a servo drive's gap: pulses back to back.
            if (GetLe32(p) < 0) return refuse();
            s.rollGapMicroseconds = GetLe32(p);
            break;
        case CMD_SET_AXIS_INVERT:
            for (std::size_t i = 0; i < kAxisCount; ++i) s.axisInvert[i] = p[i] != 0;
            break;
        case CMD_SET_CLEARANCE: s.clearanceSeconds = p[0]; break;
        case CMD_SET_BACK_DELAY: s.backDelaySeconds = p[0]; break;
        case CMD_SET_BACK_STOP_TIME: s.backStopSeconds = p[0]; break;
        case CMD_SET_SPEED_LIMITS: {
            std::array<int32_t, kSpeedCount> speeds{};
            for (std::size_t i = 0; i < kSpeedCount; ++i) {
                speeds[i] = GetLe32(p + 4 * i);
                // A speed of zero would stall every motion that uses it.
                if (speeds[i] <= 0) return refuse();
            }
            s.speeds = speeds;
            break;
        }
        case CMD_SET_TRACK:
            if (p[0] > 1) return refuse();
            s.trackMode = p[0];
            break;
        case CMD_SET_MACHINE_NAME:
            s.machineName = {};
            std::memcpy(s.machineName.data(), p, std::min(length, kMachineNameBytes));
            break;
        default:
            return refuse();
    }
    markMemoryChanged();
    return ok();
}

CardAnswer CardEngine::loadModel(const uint8_t* p) {
    const uint8_t restore = p[kLoadDescriptorBytes];
    if (restore > 1 || (restore == 1 && !record_.restorable())) return refuse();
    // The controller never loads while a work runs, so a load now comes from a controller that
    // started again and lost track of it: the motion stops where it stands and the record keeps
    // the point, ready for the restore that follows.
    if (activity_ != Activity::None) stopForLostPc();
    // The record follows a live work (memory()); it is frozen as it stands now, so the restore
    // that follows brings back the range, flags and point the controller read, not those of
    // the work's start.
    if (workLive_) record_ = decodeWorkRecord(std::span<const uint8_t, kWorkRecordBytes>(memory().record));

    descriptor_ = decodeLoadDescriptor(fixed<kLoadDescriptorBytes>(p));
    loaded_ = true;
    window_ = {};
    haveSegment_ = false;
    waiting_ = false;
    planPause_.reset();
    // A new load never touches the record: the PC loads the program afresh before it asks for
    // the restore, and the interrupted work must still be there then.
    const LoadDescriptor& from = restore == 1 ? record_.load : descriptor_;
    rangeFirst_ = from.rangeFirst;
    rangeLast_ = from.rangeLast;
    reverse_ = from.reverse != 0;
    ignorePause_ = from.ignorePause != 0;
    loopTotal_ = from.loopTotal > 0 ? from.loopTotal : 1;
    stops_ = from.segmentStops;

    workLive_ = restore == 1;
    if (restore == 0) {
        state_ = kRunLoaded;
        subState_ = 0;
        return ok();
    }
    // The work comes back from the record: position, loop, and a pending return.
    const WorkParams& w = record_.work;
    startParams_ = w;
    segmentIndex_ = w.segment;
    loopIndex_ = std::clamp<int32_t>(w.loopIndex, 0, loopTotal_ - 1);
    loopStepPending_ = 0;
    point_ = ContourPoint::fromGuides({w.guideX, w.guideY, w.guideU, w.guideV, w.rollerFractionX}, false,
                                      taper_);
    motion_.load(CodeSegment{}, w.upper, w.lower);
    haveSegment_ = true;
    if (record_.kind == kWorkRecordReturn) {
        returnSegment_ = record_.returnSegment;
        remaining_ = record_.returnDistances;
        mode_ = kRunReturning;
    } else {
        mode_ = kRunCutting;
    }
    state_ = kRunRestored;
    subState_ = 0;
    return ok();
}

CardAnswer CardEngine::start(uint8_t type, const uint8_t* p) {
    if (!loaded_ || rolling_ || activity_ != Activity::None) return refuse();
    const StartPayload sp = decodeStartPayload(fixed<kStartPayloadBytes>(p));
    const WindowEntry* entry = findInWindow(sp.work.segment);
    if (entry == nullptr) return refuse();

    uint8_t mode = kRunCutting;
    if (type == CMD_START_WALK) mode = kRunWalking;
    if (type == CMD_START_SIMULATE) mode = kRunSimulating;
    if (type == CMD_START_BACK) mode = kRunManualBack;

    mode_ = mode;
    state_ = mode;
    subState_ = 0;
    startParams_ = sp.work;
    segmentIndex_ = sp.work.segment;
    haveSegment_ = true;
    motion_.load(entry->segment, sp.work.upper, sp.work.lower);
    point_ = ContourPoint::fromGuides(
        {sp.work.guideX, sp.work.guideY, sp.work.guideU, sp.work.guideV, sp.work.rollerFractionX},
        entry->segment.twoContour != 0, taper_);
    loopIndex_ = std::clamp<int32_t>(sp.work.loopIndex, 0, loopTotal_ - 1);
    loopStepPending_ = 0;
    pulseGroup_ = sp.groupHere;
    waiting_ = false;
    clearanceLeft_ = 0;
    shortLeft_ = -1;
    stepCarry_ = 0;
    activity_ = Activity::Work;

    if (mode != kRunSimulating) {
        record_.kind = kWorkRecordCut;
        workLive_ = true;
        syncRecord();
    }
    // After a group switch the card runs on with the group that follows the switch point.
    if (type == CMD_START_ADJUSTED && isGroupSwitch(entry->segment.lower)) {
        pulseGroup_ = sp.groupNext;
        std::array<uint8_t, kReportDataBytes> data{};
        data[2] = entry->segment.lower.groupF;
        report(reportcode::kPulseGroupSwitched, data);
    }
    // Marks at the start segment are not honoured again: the operator continues from there.
    return ok();
}

CardAnswer CardEngine::startReturn(const uint8_t* p) {
    if (rolling_ || activity_ != Activity::None) return refuse();
    const ReturnTarget t = decodeReturnTarget(fixed<kReturnTargetBytes>(p));
    returnSegment_ = t.segment;
    remaining_ = t.distances;
    for (std::size_t i = 0; i < kAxisCount; ++i) moveTotal_[i] = std::abs(remaining_[i]);
    mode_ = kRunReturning;
    state_ = kRunReturning;
    subState_ = 0;
    activity_ = Activity::Return;
    stepCarry_ = 0;
    record_.kind = kWorkRecordReturn;
    workLive_ = true;
    record_.returnSegment = returnSegment_;
    record_.returnDistances = remaining_;
    markMemoryChanged();
    return ok();
}

CardAnswer CardEngine::stop() {
    switch (activity_) {
        case Activity::Work:
        case Activity::ShortSensed:
        case Activity::ShortBack:
        case Activity::ShortDwell:
        case Activity::Return:
            haltWork(kRunPaused, state_);
            break;
        case Activity::Jog:
            remaining_ = {};
            activity_ = Activity::None;
            break;
        case Activity::Center:
        case Activity::Border:
        case Activity::None:
            activity_ = Activity::None;
            break;
    }
    const StatusBlock s = statusBlock();
    adjustFinished_ = 0;
    std::vector<uint8_t> out(kStatusBlockBytes);
    encodeStatusBlock(s, std::span<uint8_t, kStatusBlockBytes>(out.data(), out.size()));
    return ok(std::move(out));
}

// ---------------------------------------------------------------------------------------------
// Blocks and memory

int32_t CardEngine::rangeStart() const {
    return reverse_ ? std::max(rangeFirst_, rangeLast_) : std::min(rangeFirst_, rangeLast_);
}
int32_t CardEngine::rangeEnd() const {
    return reverse_ ? std::min(rangeFirst_, rangeLast_) : std::max(rangeFirst_, rangeLast_);
}

WorkParams CardEngine::position() const {
    WorkParams w = startParams_;
    w.segment = segmentIndex_;
    w.upper = motion_.upperCursor();
    w.lower = motion_.lowerCursor();
    const GuidePositions g = point_.guides(motion_.segment().twoContour != 0, taper_);
    w.guideX = g.x;
    w.guideY = g.y;
    w.guideU = g.u;
    w.guideV = g.v;
    w.rollerFractionX = g.rollerFraction;
    w.loopIndex = loopIndex_;
    return w;
}

int32_t CardEngine::hfLevel() const {
    if (!hfOn_) return 0;
    if (shorted()) return kHfLevelShort;
    if (state_ == kRunCutting && activity_ == Activity::Work)
        return kHfLevelCutBase + static_cast<int32_t>((now_ / kHfWobbleMicros) % kHfLevelCutSteps) * kHfLevelCutStep;
    return kHfLevelIdle;
}

StatusBlock CardEngine::statusBlock() const {
    StatusBlock s;
    s.runState = state_;
    s.subState = subState_;
    s.adjustFinished = adjustFinished_;
    s.work = position();
    const bool moving = (activity_ == Activity::Work && !waiting_ && clearanceLeft_ <= 0) || activity_ == Activity::ShortBack ||
                        activity_ == Activity::Return || activity_ == Activity::Jog ||
                        activity_ == Activity::Center || activity_ == Activity::Border;
    s.speed = moving ? currentRate() : 0;
    s.remainingSteps = remaining_;
    s.edgeSteps = edgeSteps_;
    return s;
}

CardMemory CardEngine::memory() const {
    CardMemory m;
    encodeSettingsBlock(settings_, m.settings);
    WorkRecord r = record_;
    if (workLive_ && r.restorable() && mode_ != kRunSimulating) {
        // The record follows the work: the program's settings as they stand and the point
        // reached. A simulation does not move the machine's work and leaves it alone.
        r.load = descriptor_;
        r.load.rangeFirst = rangeFirst_;
        r.load.rangeLast = rangeLast_;
        r.load.reverse = reverse_;
        r.load.loopTotal = loopTotal_;
        r.load.ignorePause = ignorePause_;
        r.load.segmentStops = stops_;
        if (r.kind == kWorkRecordCut && mode_ != kRunReturning) r.work = position();
        if (r.kind == kWorkRecordReturn) r.returnDistances = remaining_;
    }
    encodeWorkRecord(r, m.record);
    return m;
}

void CardEngine::restoreMemory(const CardMemory& memory) {
    settings_ = decodeSettingsBlock(memory.settings);
    const bool sane = std::all_of(settings_.speeds.begin(), settings_.speeds.end(),
                                  [](int32_t s) { return s > 0; });
    if (!sane) settings_ = defaultSettings();
    record_ = decodeWorkRecord(memory.record);
}

bool CardEngine::takeMemoryChanged() {
    const bool changed = memoryChanged_ || (activity_ != Activity::None && !waiting_);
    memoryChanged_ = false;
    return changed;
}

}  // namespace korvex::sim
