#include "controller/work_recovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

#include "controller/card_control.h"
#include "controller/document/dcs_doc.h"
#include "controller/document/wait_dialog.h"
#include "controller/recovery_point.h"
#include "platform/operator_interaction.h"
#include "platform/settings_file.h"

namespace korvex {
namespace {

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

constexpr qint64 kCompareChunkBytes = 1 << 20;

// Run states of a card still moving: cut, walk, simulate, back, short-circuit back, return.
bool cardStillRuns(uint8_t state) { return (state >= 3 && state <= 7) || state == 12; }

// True when both files can be read and hold the same bytes.
bool sameBytes(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size()) return false;
    for (;;) {
        const QByteArray ca = fa.read(kCompareChunkBytes), cb = fb.read(kCompareChunkBytes);
        if (ca != cb) return false;
        if (ca.isEmpty()) return fa.error() == QFileDevice::NoError && fb.error() == QFileDevice::NoError;
    }
}

bool readable(const QString& path) {
    QFile f(path);
    return !path.isEmpty() && QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly);
}

}  // namespace

int WorkRecovery::stopStaleWork(CardControl& card) {
    RunState state;
    if (const int r = card.getRunState(state); r != 0) return r;
    if (!cardStillRuns(state.state)) return 0;
    const int stopped = card.stopWork();
    const int hfOff = card.setHf(false);
    return stopped != 0 ? stopped : hfOff;
}

WorkRecovery::Outcome WorkRecovery::run(const RecoveryContext& context) {
    restoredFromCopy_ = false;
    mismatch_.clear();
    outcome_ = Outcome::NothingToRestore;
    if (!pending_) return outcome_;
    const WorkRecord record = *pending_;
    pending_.reset();
    // From the first step until the mark is set, opens, Close, Reset and Exit are refused.
    struct Recovering {
        CDCSDoc& doc;
        explicit Recovering(CDCSDoc& d) : doc(d) { doc.setRecovering(true); }
        ~Recovering() { doc.setRecovering(false); }
    } recovering(*context.document);
    outcome_ = restore(context, record);
    return outcome_;
}

std::optional<QString> WorkRecovery::matchLastFile(const RecoveryContext& c, const QString& title) {
    SettingsFile ini(c.cardSettingsPath);
    QString lastFile = ini.readText(QStringLiteral("Doc"), QStringLiteral("LastFile"), QString());
    // Titles compare byte for byte: the card keeps the bytes it was sent.
    while (QFileInfo(lastFile).fileName().toUtf8() != title.toUtf8()) {
        if (c.operatorUi->ask(c.messageTitle, qtTrId("61650").arg(title), OperatorInteraction::Buttons::YesNo,
                              Icon::Critical) != Answer::Yes)
            return std::nullopt;
        const std::optional<QString> chosen =
            c.operatorUi->chooseOpenFile(QString(), QFileInfo(lastFile).absolutePath(), qtTrId("doc.open_filter"));
        if (chosen && !chosen->isEmpty()) {
            ini.writeText(QStringLiteral("Doc"), QStringLiteral("LastFile"), *chosen);
            lastFile = ini.readText(QStringLiteral("Doc"), QStringLiteral("LastFile"), QString());
        }
    }
    return lastFile;
}

QString WorkRecovery::chooseFile(const RecoveryContext& c, const QString& lastFile, const QString& title) {
    const QString copy = c.temporaryDirectory.isEmpty() ? QString() : QDir(c.temporaryDirectory).filePath(title);
    const bool haveCopy = readable(copy);
    if (!readable(lastFile)) {
        if (haveCopy) {
            restoredFromCopy_ = true;
            c.operatorUi->message(c.messageTitle, qtTrId("recovery.file_gone").arg(lastFile, copy), Icon::Warning);
        }
        return copy;
    }
    // The copy is what the card ran. A file edited since then would not match the record's point:
    // the work continues from the copy, which is opened where it stands (never copied onto
    // itself, never rewritten).
    if (haveCopy && QFileInfo(copy).canonicalFilePath() != QFileInfo(lastFile).canonicalFilePath() &&
        !sameBytes(lastFile, copy)) {
        restoredFromCopy_ = true;
        c.operatorUi->message(c.messageTitle, qtTrId("recovery.file_changed").arg(lastFile, copy), Icon::Warning);
        return copy;
    }
    return lastFile;
}

WorkRecovery::Outcome WorkRecovery::restore(const RecoveryContext& c, const WorkRecord& record) {
    CDCSDoc& doc = *c.document;
    const std::string rawTitle = record.load.title();
    // A title that is no plain file name cannot name the program nor its copy.
    if (!plainRecordTitle(rawTitle)) {
        mismatch_ = "title is no plain file name";
        c.operatorUi->message(c.messageTitle, qtTrId("61649"), Icon::Critical);
        return Outcome::RecordMismatch;
    }
    const QString title = QString::fromUtf8(rawTitle.data(), static_cast<qsizetype>(rawTitle.size()));

    const std::optional<QString> lastFile = matchLastFile(c, title);
    if (!lastFile) return Outcome::Declined;
    const QString path = chooseFile(c, *lastFile, title);
    if (path.isEmpty() || !doc.openDocument(path)) {
        if (!doc.loadCancelled()) c.operatorUi->message(c.messageTitle, qtTrId("61472"), Icon::Warning);
        return Outcome::OpenFailed;
    }
    CardControl* card = c.card;
    doc.runCardCommand([card] { return card->setMotor(true); });

    // The whole record is checked before the card is told to restore it: a work restored from
    // a point the program does not have would cut a different part.
    const std::shared_ptr<const LoadedProgram> program = doc.program();
    mismatch_ = program ? recordMismatch(record, *program) : std::string("no program");
    if (!mismatch_.empty()) {
        c.operatorUi->message(c.messageTitle, qtTrId("61649"), Icon::Critical);
        return Outcome::RecordMismatch;
    }
    if (doc.sendLoadDescriptor(record.load, LoadMode::Restore) < 0) {
        c.operatorUi->message(c.messageTitle, qtTrId("recovery.restore_refused"), Icon::Warning);
        return Outcome::RestoreRefused;
    }

    const RecoveryViews& v = c.views;
    if (v.loop) v.loop(record.work.loopIndex + 1, record.load.loopTotal);
    std::vector<int32_t> stops;
    for (const int32_t s : record.load.segmentStops)
        if (s != 0) stops.push_back(s);
    std::sort(stops.begin(), stops.end());
    if (v.stops) v.stops(stops);
    if (v.graphValues) v.graphValues(record.load.graphValues[0], record.load.graphValues[1]);

    // The worker owns its copy of the block; the dialog hands it back only when it finished.
    auto work = std::make_shared<WorkParams>(record.work);
    const bool reverse = record.load.reverse == 1;
    CWaitDialog prework(CWaitDialog::Style::Reading, qtTrId("recovery.prework_thread_error"), c.operatorUi,
                        c.dialogParent);
    prework.setObjectName(QStringLiteral("PreworkDialog"));
    prework.setBlinkText(qtTrId("recovery.prework_text"));
    prework.setWork([program, reverse, work](WaitContext& ctx) {
        return stepToRecordedPoint(*program, reverse, *work, [&ctx](int p) { ctx.setProgress(p); },
                                   &ctx.cancelFlag());
    });
    if (c.preworkStarted)
        QObject::connect(&prework, &CWaitDialog::workerStarted, &prework, [&c, &prework] { c.preworkStarted(prework); });
    const bool stepped = prework.exec() == QDialog::Accepted && prework.result() >= 0;
    if (!stepped && prework.result() == kRecoveryGuidesOutOfRange)
        c.operatorUi->message(c.messageTitle, qtTrId("tp-guides-range"), Icon::Critical);
    if (!stepped) {
        doc.unload();
        doc.resetDocument();
        if (v.cleared) v.cleared();
        return Outcome::Cancelled;
    }

    RecoveryMark mark;
    mark.work = *work;
    mark.reverse = reverse;
    mark.ignorePause = record.load.ignorePause == 1;
    mark.stops = std::move(stops);
    if (v.position) v.position(mark.work);
    // The mark ends the recovery: the commands it enables are computed with it set.
    doc.setRecovering(false);
    if (record.kind == kWorkRecordReturn) {
        mark.kind = RecoveryMark::Kind::ReturnRecovery;
        mark.returnSegment = record.returnSegment;
        mark.returnDistances = record.returnDistances;
        if (v.returnDisplay) v.returnDisplay(mark.work, mark.returnSegment, mark.returnDistances);
        doc.setRecoveryMark(mark);
        return Outcome::ReturnMarked;
    }
    doc.setRecoveryMark(mark);
    return Outcome::CutMarked;
}

}  // namespace korvex
