#include "controller/document/dcs_doc.h"

#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "controller/document/file_title.h"
#include "controller/document/open_dialog.h"
#include "controller/document/taper_header.h"
#include "controller/document/wait_dialog.h"
#include "code/lines.h"
#include "platform/operator_interaction.h"
#include "platform/settings_file.h"

namespace korvex {

namespace {

using Icon = OperatorInteraction::Icon;

// Chunk used to copy a program into the temporary directory.
constexpr qint64 kCopyChunkBytes = 1 << 20;

// The string-table identifier and icon of each loader failure (cancel has no message).
struct FailureText {
    const char* id;
    bool stopIcon;
};

FailureText failureText(LoadStatus status) {
    switch (status) {
    case LoadStatus::kCannotOpen: return {"61475", true};
    case LoadStatus::kReadFailed: return {"61476", false};
    case LoadStatus::kBadTaperHeader: return {"61474", false};
    case LoadStatus::kNoEnd: return {"61654", true};
    case LoadStatus::kUnknownCode: return {"61653", true};
    case LoadStatus::kFormatFailed: return {"61652", true};
    case LoadStatus::kTranslateFailed: return {"61478", false};
    case LoadStatus::kTooManyJumps: return {"61479", false};
    case LoadStatus::kLineFailed: return {"61539", true};
    case LoadStatus::kTooManySwitches: return {"61626", false};
    case LoadStatus::kOk:
    case LoadStatus::kCancelled: break;
    }
    return {nullptr, false};
}

// The failing line's text out of the loader's English message "...Code:%3d  %s\n".
QString failingLineText(const std::string& message) {
    std::size_t at = message.find("Code:");
    if (at == std::string::npos) return {};
    at += 5;
    while (at < message.size() && message[at] == ' ') ++at;  // the number's padding
    if (at < message.size() && message[at] == '-') ++at;
    while (at < message.size() && message[at] >= '0' && message[at] <= '9') ++at;
    if (message.compare(at, 2, "  ") != 0) return {};
    std::string line = message.substr(at + 2);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

// Copies `from` to `to` through a temporary file renamed at the end, so a power loss never
// leaves a short copy where the restore would look for it. Only the held file `held` is copied:
// a path that names something else by now (another file, a FIFO) is left alone. Runs on a
// worker thread.
bool copyWhole(const QString& from, const QString& to, FileIdentity held) {
    const int fd = openRegularFile(QFile::encodeName(from).constData());
    if (fd < 0) return false;
    if (fileIdentity(fd) != held) {
        ::close(fd);
        return false;
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return false;
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly)) return false;
    QByteArray chunk;
    while (!(chunk = in.read(kCopyChunkBytes)).isEmpty())
        if (out.write(chunk) != chunk.size()) return false;
    if (in.error() != QFileDevice::NoError) return false;
    return out.commit();
}

}  // namespace

CDCSDoc::CDCSDoc(QObject* parent) : QObject(parent) {}

CDCSDoc::~CDCSDoc() {
    waitForWorkingCopy();
    if (disposer_.joinable()) disposer_.join();
}

void CDCSDoc::waitForWorkingCopy() {
    if (copier_.joinable()) copier_.join();
}

void CDCSDoc::setEnvironment(DocumentEnvironment environment) { env_ = std::move(environment); }

void CDCSDoc::setCardIdentity(const QString& machineName, const QString& portLabel) {
    machineName_ = machineName;
    portLabel_ = portLabel;
    updateTitle();
}

QString CDCSDoc::windowTitle() const {
    const QString shown = loaded_ ? path_ : qtTrId("61446");
    return qtTrId("korvex.title_format").arg(machineName_, shown, portLabel_);
}

QString CDCSDoc::boxTitle() const {
    if (env_.messageTitle) return env_.messageTitle();
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Korvex") : name;
}

void CDCSDoc::updateTitle() { emit titleChanged(windowTitle()); }

void CDCSDoc::message(const QString& text, bool stopIcon) {
    if (env_.ending && env_.ending()) return;
    if (env_.operatorUi)
        env_.operatorUi->message(boxTitle(), text,
                                 stopIcon ? Icon::Critical : Icon::Warning);
}

bool CDCSDoc::idle() const { return !env_.idle || env_.idle(); }

bool CDCSDoc::refuseWhileBusy() {
    if (idle() && !isLoading()) return false;
    message(qtTrId("61482"), false);
    return true;
}

bool CDCSDoc::checkFile(const QString& path) {
    const std::string title = fileTitleOf(QFile::encodeName(path).toStdString());
    if (!fileTitleFits(title)) {
        message(qtTrId("61655"), false);
        return false;
    }
    if (!isReadableRegularFile(path)) {
        message(qtTrId("61475").arg(path), true);
        return false;
    }
    return true;
}

bool CDCSDoc::askCloseIfLoaded() { return !loaded_ || askAndClose(); }

namespace {
// Marks an entry point as running for its whole length, questions and dialogs included, so an
// open request arriving meanwhile (a drop, the editor's hand-off) is refused, not nested.
struct BusyGuard {
    bool& flag;
    explicit BusyGuard(bool& f) : flag(f) { flag = true; }
    ~BusyGuard() { flag = false; }
};
}  // namespace

bool CDCSDoc::openFromDialog() {
    openOutcome_ = OpenOutcome::Refused;
    if (refuseWhileBusy()) return false;
    openOutcome_ = OpenOutcome::Declined;
    BusyGuard busy(inEntry_);
    CMyOpenDlg dialog(env_.dialogParent);
    const QString last = env_.cardSettingsPath.isEmpty()
                             ? QString()
                             : SettingsFile(env_.cardSettingsPath).readText("Doc", "LastFile", "");
    if (!last.isEmpty()) dialog.setDirectory(QFileInfo(last).absolutePath());
    if (!env_.operatorUi || env_.operatorUi->exec(dialog, dialog.objectName()) != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    return openChecked(chosen.first());
}

bool CDCSDoc::openPath(const QString& path) {
    openOutcome_ = OpenOutcome::Refused;
    if (refuseWhileBusy()) return false;
    BusyGuard busy(inEntry_);
    return openChecked(path);
}

bool CDCSDoc::openChecked(const QString& path) {
    // The file is checked before the close question, so a cancelled dialog or a bad dropped
    // file never unloads the program that is there.
    openOutcome_ = OpenOutcome::Failed;
    if (!checkFile(path)) {
        message(qtTrId("61472"), false);
        return false;
    }
    if (!askCloseIfLoaded()) return false;  // the close question tells why
    if (!openDocument(path)) {
        if (!loadCancelled_) message(qtTrId("61472"), false);  // a cancel is not a failure
        openOutcome_ = loadCancelled_ ? OpenOutcome::Declined : OpenOutcome::Failed;
        return false;
    }
    openOutcome_ = OpenOutcome::Opened;
    return true;
}

bool CDCSDoc::closeProgram() {
    if (refuseWhileBusy()) return false;
    BusyGuard busy(inEntry_);
    return askAndClose();
}

bool CDCSDoc::askAndClose() {
    if (!env_.operatorUi ||
        env_.operatorUi->ask(boxTitle(), qtTrId("61486"),
                             OperatorInteraction::Buttons::YesNo, Icon::Question) !=
            OperatorInteraction::Answer::Yes) {
        openOutcome_ = OpenOutcome::Declined;
        return false;
    }
    if (unload() < 0) return false;
    heldFile_.close();
    clearCardWork();
    resetDocument();
    emit programClosed();
    return true;
}

bool CDCSDoc::resetWork() {
    if (refuseWhileBusy() || !loaded_) return false;
    BusyGuard busy(inEntry_);
    if (!env_.operatorUi ||
        env_.operatorUi->ask(boxTitle(), qtTrId("61487"), OperatorInteraction::Buttons::OkCancel,
                             Icon::Question) != OperatorInteraction::Answer::Ok)
        return false;
    if (sendLoadDescriptor(descriptor_, LoadMode::New) < 0) {
        resetDocument();
        updateTitle();
        return false;
    }
    clearCardWork();
    emit workReset();
    return true;
}

bool CDCSDoc::openDocument(const QString& path) {
    const bool ok = load(path);
    if (ok) emit programLoaded(path);
    updateTitle();
    return ok && loaded_;
}

bool CDCSDoc::isProgramFile(const QString& path) const {
    if (!loaded_ || path_.isEmpty()) return false;
    struct stat held {}, other {};
    if (::stat(QFile::encodeName(path_).constData(), &held) != 0 ||
        ::stat(QFile::encodeName(path).constData(), &other) != 0)
        return false;  // a file that does not exist is not the loaded one
    return held.st_dev == other.st_dev && held.st_ino == other.st_ino;
}

int CDCSDoc::unload() {
    if (loaded_) {
        CardPort* card = env_.card;
        if (!card || runCardCommand([card] { return card->unloadModel(); }) < 0) {
            message(qtTrId("doc.unload_failed"), false);
            return -1;
        }
        loaded_ = false;
    }
    updateTitle();
    return 0;
}

void CDCSDoc::resetDocument() {
    std::shared_ptr<const LoadedProgram> old = std::move(program_);
    program_.reset();
    loaded_ = false;
    path_.clear();
    title_.clear();
    descriptor_ = LoadDescriptor{};
    heldFile_.close();
    // Listeners drop their references now, so the old program is freed off this thread.
    emit programCleared();
    disposeInBackground(std::move(old));
}

void CDCSDoc::disposeInBackground(std::shared_ptr<const LoadedProgram> program) {
    if (!program) return;
    if (disposer_.joinable()) disposer_.join();
    try {
        disposer_ = std::thread([p = std::move(program)]() mutable { p.reset(); });
    } catch (const std::system_error&) {
        // No thread to spare: the program is freed here, on the caller's thread.
    }
}

namespace {

// Everything the reading worker touches. Shared with the worker, so a worker that outlives a
// cancelled dialog never uses freed memory.
struct ReadJob {
    std::string path;
    // The file the document holds. The worker reads through a descriptor of its own, so a
    // cancelled load lets the file go at once even while the worker is still finishing.
    FileIdentity held;
    bool forceZero = true;
    int32_t machineType = 0;
    CardPort* card = nullptr;
    LoadedProgram program;
    LoadFailure failure;
};

}  // namespace

bool CDCSDoc::load(const QString& path) {
    const std::string nativePath = QFile::encodeName(path).toStdString();
    const std::string title = fileTitleOf(nativePath);
    if (!fileTitleFits(title)) {
        message(qtTrId("61655"), false);
        return false;
    }
    if (loading_) {
        message(qtTrId("61482"), false);
        return false;
    }
    loading_ = true;
    loadCancelled_ = false;
    struct LoadingGuard {
        bool& flag;
        ~LoadingGuard() { flag = false; }
    } guard{loading_};

    resetDocument();

    // The file is held from before it is read until the program is unloaded, so nothing that
    // asks first (the editor) rewrites it between what is read and what the card runs. A file
    // someone is writing is refused like one that cannot be opened.
    if (const int held = heldFile_.open(path); held != 0) {
        message(held == -2 ? qtTrId("doc.file_locked").arg(path) : qtTrId("61475").arg(path), true);
        return false;
    }

    auto job = std::make_shared<ReadJob>();
    job->path = nativePath;
    job->held = heldFile_.identity();
    job->forceZero = env_.machineSettingsPath.isEmpty() ||
                     SettingsFile(env_.machineSettingsPath).readInt("Option", "NoForceZero", 0, 0, 1) == 0;
    job->machineType = taperMachineType_;
    job->card = env_.card;

    CWaitDialog reading(CWaitDialog::Style::Reading, qtTrId("doc.opendoc_thread_error"),
                        env_.operatorUi, env_.dialogParent);
    reading.setWork([job](WaitContext& context) -> int {
        const int fd = openRegularFile(job->path.c_str());
        struct Close {
            int fd;
            ~Close() {
                if (fd >= 0) ::close(fd);
            }
        } closeAtEnd{fd};
        if (fd < 0 || fileIdentity(fd) != job->held) {
            // Gone or replaced since it was locked: what would be read is not the held file.
            job->failure.status = LoadStatus::kCannotOpen;
            return -1;
        }
        if (pathHasTaperHeader(job->path)) {
            // The card gets the taper geometry before anything else of the file is checked; a
            // malformed header sends nothing.
            TaperBlock taper;
            const int header = readTaperBlock(fd, job->machineType, taper);
            if (header == -2) {
                job->failure.status = LoadStatus::kBadTaperHeader;
                return -1;
            }
            if (header == 0 && job->card) job->card->setTaper(taper);
        }
        LoadOptions options;
        options.forceZero = job->forceZero;
        options.cancel = &context.cancelFlag();
        options.progress = [&context](int percent) { context.setProgress(percent); };
        return loadProgramFile(fd, job->path.c_str(), options, job->program, job->failure);
    });
    connect(&reading, &CWaitDialog::workerStarted, this,
            [this, &reading] { emit waitDialogStarted(&reading); });
    if (reading.exec() != QDialog::Accepted) {
        loadCancelled_ = reading.cancelledByOperator();
        // After a cancel the worker may still be finishing: its job is not read.
        if (!reading.cancelledByOperator() && reading.workerEnded()) {
            const FailureText text = failureText(job->failure.status);
            if (text.id) {
                QString shown = qtTrId(text.id);
                if (job->failure.status == LoadStatus::kCannotOpen) shown = shown.arg(path);
                if (job->failure.status == LoadStatus::kLineFailed)
                    shown = shown.arg(job->failure.line, 3).arg(failingLineText(job->failure.message));
                message(shown, text.stopIcon);
            }
        }
        resetDocument();
        return false;
    }

    auto program = std::make_shared<LoadedProgram>(std::move(job->program));
    program_ = program;
    path_ = path;
    title_ = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    parsedRejected_ = false;
    emit programParsed();
    if (std::exchange(parsedRejected_, false)) {
        resetDocument();
        return false;
    }

    LoadDescriptor descriptor;
    descriptor.setTitle(title);
    descriptor.loopTotal = 1;
    descriptor.taperAngleMilli = program->taper.present ? program->taper.angleX1000 : 0;
    const QString copy = env_.temporaryDirectory.isEmpty()
                             ? QString()
                             : QDir(env_.temporaryDirectory).filePath(title_);
    if (runCardDialog(descriptor, LoadMode::New) < 0) {
        resetDocument();
        return false;
    }
    // The working copy is what a restore falls back on when the program file is gone. Copying a
    // large program takes a while (the copy is synced to disk), so it is written in the
    // background and the operator has the program at once.
    // A program opened from the temporary directory is its own copy: rewriting it would move
    // the file from under the lock that keeps writers away.
    if (!copy.isEmpty() && QFileInfo(copy).canonicalFilePath() != QFileInfo(path).canonicalFilePath()) {
        waitForWorkingCopy();
        try {
            copier_ = std::thread([from = path, to = copy, held = heldFile_.identity()] {
                copyWhole(from, to, held);
            });
        } catch (const std::system_error&) {
            copyWhole(path, copy, heldFile_.identity());  // no thread to spare: copy here
        }
    }
    descriptor_ = descriptor;
    if (!env_.cardSettingsPath.isEmpty())
        SettingsFile(env_.cardSettingsPath).writeText("Doc", "LastFile", path);
    loaded_ = true;
    return true;
}

int CDCSDoc::sendLoadDescriptor(const LoadDescriptor& descriptor, LoadMode mode) {
    return runCardDialog(descriptor, mode);
}

int CDCSDoc::runCardDialog(const LoadDescriptor& descriptor, LoadMode mode) {
    CardPort* card = env_.card;
    return runCardCommand([card, descriptor, mode] { return card ? card->loadModel(descriptor, mode) : -1; });
}

void CDCSDoc::clearCardWork() {
    CardPort* card = env_.card;
    if (card) runCardCommand([card] { return card->clearWork(); });
}

int CDCSDoc::runCardCommand(std::function<int()> command) {
    CWaitDialog sending(CWaitDialog::Style::Card, qtTrId("doc.loadmodel_thread_error"),
                        env_.operatorUi, env_.dialogParent);
    sending.setWork([command = std::move(command)](WaitContext&) -> int {
        return command ? command() : -1;
    });
    connect(&sending, &CWaitDialog::workerStarted, this,
            [this, &sending] { emit waitDialogStarted(&sending); });
    if (sending.exec() != QDialog::Accepted) return sending.result() < 0 ? sending.result() : -1;
    return sending.result();
}

}  // namespace korvex
