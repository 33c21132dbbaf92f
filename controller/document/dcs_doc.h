// The controller's document: the loaded program (lines, segments, jump and switch tables,
// extents, taper values), the program-loaded flag, the held program file, and the one loading
// pipeline every entry point goes through.
//
// Load sequence (UI thread unless marked):
//   title check (63 UTF-8 bytes) -> old program reset -> file held with the read lock (a regular
//   file no one writes) -> reading dialog [worker: taper block to the card for ".3nb", read,
//   kind, normalise, 3B to ISO, jumps (500), force-zero, every line to a segment with its steps,
//   switch table (3000), extents] -> views refreshed -> card dialog [worker: load descriptor to
//   the card, working copy in the temporary directory] -> Doc/LastFile -> loaded flag -> title.
// Nothing slow runs on the UI thread: a million-line program is read, parsed and later freed on
// other threads, so the window stays responsive and the load stays cancellable. A failure at any
// step after the title check leaves no program loaded, lets the file go and tells the card
// nothing of a new program.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "code/loader.h"
#include "controller/document/card_port.h"
#include "controller/link/records.h"
#include "platform/file_lock.h"

class QWidget;

namespace korvex {

class CWaitDialog;
class OperatorInteraction;

// How the last open request ended: loaded; refused because a work or a load runs (61482); the
// operator kept the old program or cancelled the load; not opened for any other reason.
enum class OpenOutcome { Opened, Refused, Declined, Failed };

// A mark left by a power-loss recovery, used by the next start the card takes. StartPosition:
// the next Cut, Walk, Simulate or Back starts from `work`, and Return Origin takes its guides as
// the current position. ReturnRecovery: Return Origin continues to `returnSegment` with the
// remaining `returnDistances`.
struct RecoveryMark {
    enum class Kind { StartPosition, ReturnRecovery };
    Kind kind = Kind::StartPosition;
    WorkParams work;
    bool reverse = false;  // the restored work runs backward
    bool ignorePause = false;      // Ignore D as the card restored it
    std::vector<int32_t> stops;    // the card's restored segment stop list (no empty slots)
    int32_t returnSegment = 0;
    std::array<int32_t, kAxisCount> returnDistances{};
};

// What the document needs from the program around it.
struct DocumentEnvironment {
    OperatorInteraction* operatorUi = nullptr;
    CardPort* card = nullptr;
    QWidget* dialogParent = nullptr;
    QString machineSettingsPath;   // Korvex.ini: Option/NoForceZero
    QString cardSettingsPath;      // "<card id>.ini": Doc/LastFile
    QString temporaryDirectory;    // working copies of loaded programs
    // True when no simulation, walk, cut or back runs; unset means always idle.
    std::function<bool()> idle;
    // The title of the document's message boxes; unset means the application's name.
    std::function<QString()> messageTitle;
    // True once the program is ending because the card stopped answering: its alarm was the
    // last thing the operator sees, so the document shows nothing more. Unset means never.
    std::function<bool()> ending;
};

class CDCSDoc : public QObject {
    Q_OBJECT
public:
    explicit CDCSDoc(QObject* parent = nullptr);
    ~CDCSDoc() override;

    void setEnvironment(DocumentEnvironment environment);
    // The idle test alone: the machining controls exist only once start-up has set the rest.
    void setIdleTest(std::function<bool()> idle) { env_.idle = std::move(idle); }
    // Machine name and port ("COM3") of the window title "name-file : port".
    void setCardIdentity(const QString& machineName, const QString& portLabel);
    // The machine type chosen with the last taper generated; sent with a taper header. The card
    // settings file's Taper/Type, when there is one, is what a load sends.
    void setTaperMachineType(int32_t type) { taperMachineType_ = type; }
    int32_t taperMachineType() const;

    // ---- entry points ----
    // File Open: chooses the file in the open dialog (with preview), checks it, then asks
    // whether to close a loaded program, then loads. True when the program is loaded.
    bool openFromDialog();
    // Recent file, dropped file, hand-off from the editor, command line: the same without the
    // dialog.
    bool openPath(const QString& path);
    // File Close: asks 61486, unloads, drops the card's work record and resets. True when the
    // program was closed.
    bool closeProgram();
    // File Reset: asks 61487, tells the card the loaded program afresh (the same descriptor)
    // and drops the card's work record. A refusal resets the document. True when reset.
    bool resetWork();
    // The document's open handler alone (no idle test, no question): the load sequence, the
    // held file and the title. Used by the entry points and by the power-loss recovery.
    bool openDocument(const QString& path);

    // Tells the card the program is no longer loaded. 0; -1 when the card refused (the program
    // stays loaded and "MIDDLE_UnloadModel failed!" was shown).
    int unload();
    // Frees the program, clears names, taper values and tables, lets the held file go.
    void resetDocument();
    // Sends a load descriptor behind the card wait dialog (load, Reset, restore). Returns the
    // card's result.
    int sendLoadDescriptor(const LoadDescriptor& descriptor, LoadMode mode);
    // Runs one card command on a worker thread behind the card wait dialog, so the windows keep
    // repainting through all the link's attempts on a silent card. Returns the command's result.
    int runCardCommand(std::function<int()> command);

    // ---- recovery mark ----
    // Set by a recovery; cleared by Close, Reset, any load and the start that uses it. Every
    // change is signalled.
    const std::optional<RecoveryMark>& recoveryMark() const { return recoveryMark_; }
    void setRecoveryMark(std::optional<RecoveryMark> mark);

    // ---- state ----
    bool isLoaded() const { return loaded_; }
    // True while a load runs or an entry point waits on the operator: open requests are refused.
    bool isLoading() const { return loading_ || inEntry_ || recovering_; }
    // A power-loss recovery runs (from its first step until its mark is set or it ends): the
    // program and the card's work belong to it, so open, Close, Reset and Exit are refused.
    void setRecovering(bool on) { recovering_ = on; }
    bool recovering() const { return recovering_; }
    // 61482 when a load, an entry point, a recovery or a work runs; true when refused. For the
    // window's commands that must refuse the way the document's entry points do.
    bool refuseWhileBusy();
    // Waits until the working copy of the last loaded program stands in the temporary directory
    // (it is written in the background once the card has taken the load).
    void waitForWorkingCopy();
    std::shared_ptr<const LoadedProgram> program() const { return program_; }
    const QString& path() const { return path_; }
    const QString& fileTitle() const { return title_; }
    QString windowTitle() const;
    // The descriptor sent with the last successful load.
    const LoadDescriptor& loadDescriptor() const { return descriptor_; }
    bool holdsProgramFile() const { return heldFile_.isOpen(); }
    // True when `path` names the loaded program's file (by identity, so another spelling, a
    // symbolic or a hard link counts too). Writers refuse it: the file must keep what the
    // screen and the card hold.
    bool isProgramFile(const QString& path) const;
    // True when the last load ended because the operator cancelled it (no failure to report).
    bool loadCancelled() const { return loadCancelled_; }
    // Called by a view while programParsed is delivered: the program cannot be shown, so the
    // load fails there and the card is never told of it.
    void rejectParsedProgram() { parsedRejected_ = true; }
    // How the last openPath or openFromDialog ended.
    OpenOutcome lastOpenOutcome() const { return openOutcome_; }

    static constexpr int kJumpCapacity = 500;
    static constexpr int kSwitchCapacity = 3000;

signals:
    void titleChanged(const QString& title);
    // The program has been read and parsed: code list, graph (fit to the extents), status panel
    // (two-contour layout, last segment) and grid pane refresh from program().
    void programParsed();
    // The card accepted the program and the entry point finished: loop counter 0 of 1, segment
    // range, reverse flag and recorded extremes reset; `path` goes to the top of the recent list.
    void programLoaded(const QString& path);
    // The document was reset: graph, code list and status panel clear.
    void programCleared();
    // File Close finished: the work-started flag, Ignore D, stop marks and the button panel
    // follow.
    void programClosed();
    // File Reset finished: status panel, graph (fitted again), loop counter, range, reverse
    // flag, recovery marks, stop marks and Ignore D start afresh.
    void workReset();
    // The recovery mark was set or cleared.
    void recoveryMarkChanged();
    // A wait dialog is on screen and its worker runs (tests and benchmarks use it).
    void waitDialogStarted(CWaitDialog* dialog);

private:
    bool idle() const;
    // Exists, readable, title fits; shows the message when not.
    bool checkFile(const QString& path);
    bool askCloseIfLoaded();
    bool askAndClose();
    bool openChecked(const QString& path);
    bool load(const QString& path);
    int runCardDialog(const LoadDescriptor& descriptor, LoadMode mode);
    // Drops the card's work record; the answer changes nothing here.
    void clearCardWork();
    void message(const QString& text, bool stopIcon);
    void disposeInBackground(std::shared_ptr<const LoadedProgram> program);
    void updateTitle();
    QString boxTitle() const;

    DocumentEnvironment env_;
    QString machineName_;
    QString portLabel_;
    int32_t taperMachineType_ = 0;

    std::shared_ptr<const LoadedProgram> program_;
    QString path_;
    QString title_;
    LoadDescriptor descriptor_;
    bool loaded_ = false;
    bool loading_ = false;
    bool inEntry_ = false;
    bool recovering_ = false;
    bool loadCancelled_ = false;
    bool parsedRejected_ = false;
    OpenOutcome openOutcome_ = OpenOutcome::Failed;
    ReadLockedFile heldFile_;
    std::optional<RecoveryMark> recoveryMark_;
    std::thread disposer_;
    std::thread copier_;
};

}  // namespace korvex
