#include "controller/tests/shell_test_support.h"

#include "controller/comm_config_dialog.h"
#include "platform/data_dirs.h"
#include "platform/string_table.h"

#include <QApplication>
#include <QDirIterator>

#include <gtest/gtest.h>

// Fontconfig keeps a few bytes of its cache for the process's life; that is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace korvex::testing {

void ensureApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "controller_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    installTranslations(Language::English);
}

ScratchDataDir::ScratchDataDir()
    : previous_(qgetenv("KORVEX_DATA_DIR")), hadPrevious_(qEnvironmentVariableIsSet("KORVEX_DATA_DIR")) {
    qputenv("KORVEX_DATA_DIR", dir_.path().toUtf8());
}

ScratchDataDir::~ScratchDataDir() {
    if (hadPrevious_)
        qputenv("KORVEX_DATA_DIR", previous_);
    else
        qunsetenv("KORVEX_DATA_DIR");
}

QStringList ScratchDataDir::files() const {
    QStringList out;
    QDirIterator it(dir_.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir_.path()).relativeFilePath(it.next());
    out.sort();
    return out;
}

int RecordingCard::note(const char* name, int result) {
    std::lock_guard lock(mutex_);
    sent_.push_back(name);
    threads_[name] = std::this_thread::get_id();
    return result;
}

std::thread::id RecordingCard::threadOf(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto it = threads_.find(name);
    return it == threads_.end() ? std::thread::id{} : it->second;
}

std::vector<std::string> RecordingCard::sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

bool RecordingCard::wasSent(const std::string& name) const {
    const auto all = sent();
    return std::find(all.begin(), all.end(), name) != all.end();
}

int RecordingCard::connect() {
    connectThread = std::this_thread::get_id();
    const int r = note("CMD_CONNECT", LinkCardControl::connect());
    if (r == 0 && afterConnect)
        afterConnect();
    return r;
}
int RecordingCard::getCardId(uint32_t& id) { return note("CMD_GET_CARD_ID", LinkCardControl::getCardId(id)); }
int RecordingCard::getSettings(SettingsBlock& b) { return note("CMD_GET_SETTINGS", LinkCardControl::getSettings(b)); }
int RecordingCard::setPulseGroup(const PulseGroupImage& g) {
    groupsSent.push_back(g);
    return note("CMD_SET_PULSE_GROUP", LinkCardControl::setPulseGroup(g));
}
int RecordingCard::setSwitchWithoutVf(uint8_t flag) {
    switchFlagsSent.push_back(flag);
    return note("CMD_SET_SWITCH_WITHOUT_VF", LinkCardControl::setSwitchWithoutVf(flag));
}
int RecordingCard::setHf(bool on) { return note("CMD_SET_HF", LinkCardControl::setHf(on)); }
int RecordingCard::setClearance(int seconds) {
    return note("CMD_SET_CLEARANCE", LinkCardControl::setClearance(seconds));
}
int RecordingCard::setLoop(int loops) { return note("CMD_SET_LOOP", LinkCardControl::setLoop(loops)); }
int RecordingCard::setSpeedLimits(const std::array<int32_t, kSpeedCount>& speeds) {
    return note("CMD_SET_SPEED_LIMITS", LinkCardControl::setSpeedLimits(speeds));
}
int RecordingCard::setBackDelay(int seconds) {
    return note("CMD_SET_BACK_DELAY", LinkCardControl::setBackDelay(seconds));
}
int RecordingCard::setBackStopTime(int seconds) {
    return note("CMD_SET_BACK_STOP_TIME", LinkCardControl::setBackStopTime(seconds));
}
int RecordingCard::setPlanPause(int32_t segment, int32_t percent) {
    return note("CMD_SET_PLAN_PAUSE", LinkCardControl::setPlanPause(segment, percent));
}
int RecordingCard::setTrack(int mode) { return note("CMD_SET_TRACK", LinkCardControl::setTrack(mode)); }
int RecordingCard::setFeed(const std::array<uint8_t, kFeedEntryBytes>& entry, int feedValue) {
    feedsSent.push_back(feedValue);
    return note("CMD_SET_FEED", LinkCardControl::setFeed(entry, feedValue));
}
int RecordingCard::adjustCenter() { return note("CMD_ADJUST_CENTER", LinkCardControl::adjustCenter()); }
int RecordingCard::adjustBorder(int direction) {
    {
        std::lock_guard lock(mutex_);
        borderDirectionsSent.push_back(direction);
    }
    return note("CMD_ADJUST_BORDER", LinkCardControl::adjustBorder(direction));
}
int RecordingCard::getStatus(StatusBlock& s) {
    const int r = LinkCardControl::getStatus(s);
    if (r == 0 && statusFilter)
        statusFilter(s);
    return note("CMD_GET_STATUS", r);
}
int RecordingCard::stopWork() { return note("CMD_STOP", LinkCardControl::stopWork()); }
int RecordingCard::getWorkRecord(WorkRecord& r) { return note("CMD_GET_WORK_RECORD", LinkCardControl::getWorkRecord(r)); }
int RecordingCard::keepAlive() {
    keepAliveThread = std::this_thread::get_id();
    return note("CMD_KEEP_ALIVE", LinkCardControl::keepAlive());
}
int RecordingCard::closeKeepingWork() { return note("CMD_CLOSE", LinkCardControl::closeKeepingWork()); }
int RecordingCard::setTaper(const TaperBlock& t) { return note("CMD_SET_TAPER", LinkCardControl::setTaper(t)); }
int RecordingCard::loadModel(const LoadDescriptor& d, LoadMode m) {
    {
        std::lock_guard lock(mutex_);
        descriptorsSent.push_back(d);
    }
    return note("CMD_LOAD_MODEL", LinkCardControl::loadModel(d, m));
}
int RecordingCard::unloadModel() { return note("CMD_UNLOAD_MODEL", LinkCardControl::unloadModel()); }
int RecordingCard::clearWork() { return note("CMD_CLEAR_WORK", LinkCardControl::clearWork()); }
int RecordingCard::setPhase(const std::array<uint8_t, kPhaseBytes>& p) {
    return note("CMD_SET_PHASE", LinkCardControl::setPhase(p));
}
int RecordingCard::setRollGap(int32_t us) { return note("CMD_SET_ROLL_GAP", LinkCardControl::setRollGap(us)); }
int RecordingCard::setAxisInvert(const std::array<uint8_t, kAxisCount>& f) {
    return note("CMD_SET_AXIS_INVERT", LinkCardControl::setAxisInvert(f));
}
int RecordingCard::stepAxis(uint8_t mask) { return note("CMD_STEP_AXIS", LinkCardControl::stepAxis(mask)); }
int RecordingCard::jog(const std::array<int32_t, kAxisCount>& steps) { return note("CMD_JOG", LinkCardControl::jog(steps)); }
int RecordingCard::stopAll(bool stop) { return note("CMD_STOP_ALL", LinkCardControl::stopAll(stop)); }
int RecordingCard::setMachineName(const std::string& name) {
    return note("CMD_SET_MACHINE_NAME", LinkCardControl::setMachineName(name));
}
int RecordingCard::setMotor(bool on) { return note("CMD_SET_MOTOR", LinkCardControl::setMotor(on)); }
int RecordingCard::restoreDefaults() { return note("CMD_RESTORE_DEFAULTS", LinkCardControl::restoreDefaults()); }

VirtualCard::VirtualCard(uint32_t cardId, const QString& stateDir, double speedScale) {
    sim::ServerOptions options;
    options.cardId = cardId;
    options.speedScale = speedScale;
    if (!stateDir.isEmpty())
        options.statePath = (stateDir + QStringLiteral("/card-%1.mem").arg(cardId, 8, 16, QLatin1Char('0'))).toStdString();
    server_ = std::make_unique<sim::CardServer>(options);
    EXPECT_EQ(server_->start(), 0) << server_->error();
}

VirtualCard::~VirtualCard() { server_->stop(); }

LinkOptions fastLinkOptions() {
    LinkOptions options;
    options.responseTimeoutMs = 300;
    options.connectPauseMs = 0;
    options.logDir = logDirectory().toStdString();  // of the scratch data directory in use
    return options;
}

ScriptedOperator::DialogScript pressOkWith(const QString& portText, QString* initialText) {
    return [portText, initialText](QDialog& dialog) {
        auto& comm = dynamic_cast<CommConfigDialog&>(dialog);
        if (initialText)
            *initialText = comm.portText();
        comm.setPortText(portText);
        comm.accept();
        return comm.result();
    };
}

}  // namespace korvex::testing
