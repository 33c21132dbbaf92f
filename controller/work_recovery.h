// The power-loss recovery. Start-up reads the card's work record; when it holds an interrupted
// cut (0x11) or return to origin (0x22) the recovery reloads the program it names, hands the
// card its load descriptor back, steps the path up to the recorded point and leaves a mark on
// the document, so one press of Cut (or Return Origin) continues the work:
//
//   Doc/LastFile against the record's title (61650, rematch dialog) -> the file, else its
//   working copy -> open (61472) -> motor on -> whole-record check (61649) -> restore load ->
//   loop, range, flags, stops shown -> prework dialog (worker steps to the point) -> mark.
//
// A file that differs from its working copy (edited since the work began) or is gone is
// restored from the copy: the record's point belongs to the program the card ran. Widget-free:
// every question goes through OperatorInteraction, every view through RecoveryViews.
#pragma once

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controller/link/records.h"

class QWidget;

namespace korvex {

class CardControl;
class CDCSDoc;
class OperatorInteraction;

// What the recovery shows; any unset entry is skipped.
struct RecoveryViews {
    std::function<void(int number, int total)> loop;               // "Loop:%d/%d"
    std::function<void(const std::vector<int32_t>& stops)> stops;  // the code list's stop marks
    std::function<void(int32_t first, int32_t second)> graphValues;
    std::function<void(const WorkParams& work)> position;          // the restored point
    // A return recovery's target segment and remaining distances from the restored point.
    std::function<void(const WorkParams& at, int32_t segment, const std::array<int32_t, kAxisCount>& distances)>
        returnDisplay;
    std::function<void()> cleared;                                  // views emptied after a cancel
};

class CWaitDialog;

struct RecoveryContext {
    OperatorInteraction* operatorUi = nullptr;
    CardControl* card = nullptr;
    CDCSDoc* document = nullptr;
    QWidget* dialogParent = nullptr;
    QString cardSettingsPath;    // Doc/LastFile
    QString temporaryDirectory;  // working copies
    QString messageTitle;
    RecoveryViews views;
    // Called once the prework dialog's worker runs (tests cancel it from here).
    std::function<void(CWaitDialog&)> preworkStarted;
};

class WorkRecovery {
public:
    enum class Outcome {
        NothingToRestore,  // no record of a cut or a return
        Declined,          // the operator would not rematch the file: nothing loaded
        OpenFailed,        // 61472: nothing loaded
        RecordMismatch,    // 61649: the program loaded, no mark
        RestoreRefused,    // the card refused the restore load: the program loaded, no mark
        Cancelled,         // prework cancelled: unloaded, views cleared
        CutMarked,         // the start-position mark is set
        ReturnMarked,      // the return-recovery mark is set
    };

    // Takes the record read at start-up. Returns true when it holds a work to restore; any
    // other record is ignored.
    bool takeSavedWork(const WorkRecord& record) {
        if (!record.restorable())
            return false;
        pending_ = record;
        return true;
    }
    // The work waiting to be restored, if any.
    const std::optional<WorkRecord>& pending() const { return pending_; }
    void clear() { pending_.reset(); }

    // A controller that was killed leaves its card running: the point the record holds would be
    // stale before it is read. A card cutting, walking, simulating, backing, short-circuit
    // backing or returning is stopped and its HF switched off. Returns the card's result.
    static int stopStaleWork(CardControl& card);

    // Restores the pending work, if any, and forgets it.
    Outcome run(const RecoveryContext& context);
    // The outcome of the last run.
    Outcome lastOutcome() const { return outcome_; }
    // The texts the last run showed about the file (restored from the copy and why).
    bool restoredFromCopy() const { return restoredFromCopy_; }
    // Why the last run's record did not fit its program ("" when it did), for the error log.
    const std::string& mismatchReason() const { return mismatch_; }

private:
    Outcome restore(const RecoveryContext& c, const WorkRecord& record);
    std::optional<QString> matchLastFile(const RecoveryContext& c, const QString& title);
    QString chooseFile(const RecoveryContext& c, const QString& lastFile, const QString& title);

    std::optional<WorkRecord> pending_;
    Outcome outcome_ = Outcome::NothingToRestore;
    bool restoredFromCopy_ = false;
    std::string mismatch_;
};

}  // namespace korvex
