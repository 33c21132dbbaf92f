#include "controller/edit/edit_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QAbstractItemView>
#include <QWidget>

#include <cmath>
#include <memory>

#include "code/loader.h"
#include "code/writer.h"
#include "controller/document/dcs_doc.h"
#include "controller/document/wait_dialog.h"
#include "controller/edit/multipass_settings.h"
#include "platform/operator_interaction.h"

namespace korvex {

namespace {

using Icon = OperatorInteraction::Icon;

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool twoContourOrGroups(int kind) { return kind == 3 || kind == 4 || kind == 5; }

}  // namespace

bool generate3BEnabled(const EditState& s) {
    return !s.fastRolling && s.cardWorkState >= 0 && s.cardWorkState <= 2;
}

bool deriveEnabled(const EditState& s) {
    return !s.recoveryMarkPending && !s.fastRolling && s.cardWorkState == 1;
}

bool multipleEnabled(const EditState& s) { return s.cardWorkState != 0; }

QString derivedProgramPath(const QString& sourcePath, const QString& suffix) {
    return QFile::decodeName(
        korvex::derivedProgramPath(nativePath(sourcePath), nativePath(suffix)).c_str());
}

QString withDefault3BExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + QLatin1String(k3BDefaultSuffix);
}

EditCommands::EditCommands(EditCommandContext context) : context_(std::move(context)) {}

EditState EditCommands::state() const {
    EditState s;
    if (context_.cardWorkState)
        s.cardWorkState = context_.cardWorkState();
    else
        s.cardWorkState = context_.document && context_.document->isLoaded() ? 1 : 0;
    s.fastRolling = context_.fastRolling && context_.fastRolling();
    s.recoveryMarkPending = context_.recoveryMarkPending && context_.recoveryMarkPending();
    return s;
}

QString EditCommands::boxTitle() const {
    if (context_.boxTitle) return context_.boxTitle();
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Korvex") : name;
}

void EditCommands::tell(const QString& text, bool warning) {
    // After a lost link the program is ending: its alarm is the last message.
    if (context_.ending && context_.ending()) return;
    if (context_.operatorUi)
        context_.operatorUi->message(boxTitle(), text, warning ? Icon::Warning : Icon::Information);
}

bool EditCommands::refuseWhileBusy() {
    const bool idle = !context_.idle || context_.idle();
    if (idle && !(context_.document && context_.document->isLoading())) return false;
    tell(qtTrId("61482"), true);
    return true;
}

bool EditCommands::refuseLoadedTarget(const QString& path) {
    if (!context_.document || !context_.document->isProgramFile(path)) return false;
    tell(qtTrId("ed-target-loaded").arg(QDir::toNativeSeparators(path)), true);
    return true;
}

bool EditCommands::openDerived(const QString& path) {
    // The document's open handler: the previous program is replaced by the new one, the file is
    // held and the recent list follows, exactly as for a file the operator opened.
    // The window's own open request tells the operator why a load did not happen.
    if (context_.openProgram) return context_.openProgram(path);
    if (context_.document->openDocument(path)) return true;
    if (!context_.document->loadCancelled()) tell(qtTrId("61472"), true);
    return false;
}

int EditCommands::runBesideWindow(std::function<int()> work) {
    CWaitDialog wait(CWaitDialog::Style::Card, qtTrId("doc.loadmodel_thread_error"),
                     context_.operatorUi, context_.dialogParent);
    wait.setWork([work = std::move(work)](WaitContext&) { return work(); });
    wait.exec();
    return wait.result();
}

int EditCommands::transform(Transform t) {
    if (!context_.document || !deriveEnabled()) return -1;
    if (refuseWhileBusy()) return -1;
    auto program = context_.document->program();
    if (!program || !context_.document->isLoaded()) return -1;

    const std::string source = nativePath(context_.document->path());
    const std::string target =
        transformOutputPath(source, t, program->kind, !readTaperHeaderBlock(source.c_str()).empty());
    if (refuseLoadedTarget(QFile::decodeName(QByteArray::fromStdString(target)))) return -1;

    // The work's own copy of what it needs: nothing it touches belongs to the window.
    auto written = std::make_shared<std::string>();
    const int rc = runBesideWindow([program, source, t, written] {
        return transformProgramFile(source.c_str(), program->lines, program->kind, t, *written);
    });
    switch (rc) {
    case 0:
        break;
    case kTransformNotSupported:
        tell(qtTrId("ed-not-supported"), true);
        return -1;
    case kTransformWriteFailed:
        tell(qtTrId("61472"), true);
        return -1;
    default:
        // A line that does not parse: the program stays as it is, without a message.
        return -1;
    }
    // The document frees the old program off this thread; this reference must not outlive it.
    program.reset();
    return openDerived(QFile::decodeName(QByteArray::fromStdString(*written))) ? 0 : -1;
}

int EditCommands::offset() {
    if (!context_.document || !deriveEnabled()) return -1;
    if (refuseWhileBusy()) return -1;
    auto program = context_.document->program();
    if (!program || !context_.document->isLoaded()) return -1;
    // The dialog does not even open for a program it cannot compensate.
    if (twoContourOrGroups(program->kind)) {
        tell(qtTrId("ed-offset-not-taper"), true);
        return -1;
    }
    if (!askOffset) return -1;
    const std::optional<OffsetRequest> request = askOffset(lastOffset_);
    if (!request) return 1;
    lastOffset_ = *request;
    return applyOffset(*request);
}

int EditCommands::applyOffset(const OffsetRequest& request) {
    if (!context_.document || !deriveEnabled()) return -1;
    if (refuseWhileBusy()) return -1;
    auto program = context_.document->program();
    if (!program || !context_.document->isLoaded()) return -1;
    if (twoContourOrGroups(program->kind)) {
        tell(qtTrId("ed-offset-not-taper"), true);
        return -1;
    }
    if (!program->jumps.empty()) {
        tell(qtTrId("ed-offset-jumps"), true);
        return -1;
    }
    if (!std::isfinite(request.offsetMm) || std::fabs(request.offsetMm) > kOffsetLimitMm) {
        tell(qtTrId("ed-offset-range"), true);
        return -1;
    }

    const QString path =
        derivedProgramPath(context_.document->path(), QLatin1String(kOffsetFileName));
    if (refuseLoadedTarget(path)) return -1;

    struct OffsetResult {
        std::vector<std::string> out;
        std::string error;
    };
    auto result = std::make_shared<OffsetResult>();
    const int rc = runBesideWindow([program, request, result] {
        return offsetProgram(program->lines, program->kind, static_cast<int>(program->jumps.size()),
                             request.offsetMm, request.corner, result->out, result->error) == 0
                   ? 0
                   : -1;
    });
    const std::vector<std::string>& out = result->out;
    const std::string& error = result->error;
    if (rc != 0) {
        if (error == kOffsetNotForTaper)
            tell(qtTrId("ed-offset-not-taper"), true);
        else if (error == kOffsetNotForJumps)
            tell(qtTrId("ed-offset-jumps"), true);
        else
            tell(qtTrId("ed-offset-failed"), true);
        return -1;
    }

    const std::string target = nativePath(path);
    // A name that still holds ".3nb" (a taper file's folder or base name) is read with a taper
    // header, so the source's header goes along or the result would not load.
    std::string header;
    if (pathWantsTaperHeader(target))
        header = readTaperHeaderBlock(nativePath(context_.document->path()).c_str());
    if (writeProgramFile(target.c_str(), out, header) != 0) {
        tell(qtTrId("61472"), true);
        return -1;
    }
    program.reset();  // freed with the document's copy, off this thread
    return openDerived(path) ? 0 : -1;
}

int EditCommands::selectedLine() const {
    if (context_.selectedLine) return context_.selectedLine();
    QWidget* window = context_.dialogParent ? context_.dialogParent->window() : nullptr;
    const auto* list = window ? window->findChild<QAbstractItemView*>(QStringLiteral("CodeListView")) : nullptr;
    return list && list->currentIndex().isValid() ? list->currentIndex().row() : -1;
}

int EditCommands::writeResult(const QString& path, const std::string& text) {
    if (refuseLoadedTarget(path)) return -1;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !out.flush()) {
        tell(qtTrId("61472"), true);
        return -1;
    }
    out.close();
    return 0;
}

int EditCommands::multiple() {
    if (!context_.document || !multipleEnabled() || !askMultiple) return -1;
    MultipassSettings initial;
    if (context_.cardSettingsPath) initial = readMultipleSettings(SettingsFile(context_.cardSettingsPath()));
    return askMultiple(initial, [this](const MultipassSettings& s) { return applyMultiple(s) == 0; });
}

int EditCommands::applyMultiple(const MultipassSettings& settings) {
    if (!context_.document || !multipleEnabled()) return -1;
    // Opening the result replaces the program under the card.
    if (refuseWhileBusy()) return -1;
    if (!multipassSettingsProblem(settings).empty()) {
        tell(qtTrId("mp-failed"), true);
        return -1;
    }
    const QString source = context_.document->path();
    LoadedProgram program;
    LoadFailure failure;
    if (source.isEmpty() || loadProgram(nativePath(source).c_str(), LoadOptions{}, program, failure) != 0) {
        tell(qtTrId("mp-source-failed").arg(source), true);
        return -1;
    }
    std::string text, error;
    if (multipassFileText(program, settings, text, error) != 0) {
        if (error == kMultipassStepTooLongText)
            tell(qtTrId("mp-step-too-long"), true);
        else if (error == kMultipassFailedText)
            tell(qtTrId("mp-failed"), true);
        else
            tell(qtTrId("mp-source-failed").arg(source), true);
        return -1;
    }
    const QString path = source + QLatin1String(kMultipassSuffix);
    if (writeResult(path, text) != 0) return -1;
    if (context_.cardSettingsPath) {
        SettingsFile file(context_.cardSettingsPath());
        writeMultipleSettings(file, settings);
    }
    return openDerived(path) ? 0 : -1;
}

int EditCommands::segmentMultiple() {
    if (!context_.document || !multipleEnabled() || !askSegmentMultiple) return -1;
    SegmentMultipleSettings initial;
    if (context_.cardSettingsPath)
        initial = readSegmentMultipleSettings(SettingsFile(context_.cardSettingsPath()));
    return askSegmentMultiple(initial,
                              [this](const SegmentMultipleSettings& s) { return applySegmentMultiple(s) == 0; });
}

int EditCommands::applySegmentMultiple(const SegmentMultipleSettings& settings) {
    if (!context_.document || !multipleEnabled()) return -1;
    if (refuseWhileBusy()) return -1;
    const auto program = context_.document->program();
    const int line = selectedLine();
    std::string text, error;
    if (!program || line < 0 || line >= program->lines.count ||
        segmentMultipleFileText(program->lines.line(line), settings, text, error) != 0) {
        tell(qtTrId("mp-failed"), true);
        return -1;
    }
    const QString path = context_.document->path() + QLatin1String(kSegmentMultipleSuffix);
    if (writeResult(path, text) != 0) return -1;
    if (context_.cardSettingsPath) {
        SettingsFile file(context_.cardSettingsPath());
        writeSegmentMultipleSettings(file, settings);
    }
    return openDerived(path) ? 0 : -1;
}

int EditCommands::generate3B() {
    if (!generate3BEnabled() || !showGenerator) return -1;
    showGenerator();
    return 0;
}

std::optional<QString> EditCommands::chooseManual3BPath() {
    OperatorInteraction* ui = context_.operatorUi;
    if (!ui) return std::nullopt;
    QString folder = lastSaveFolder_;
    if (context_.document && context_.document->isLoaded())
        folder = QFileInfo(context_.document->path()).absolutePath();
    const std::optional<QString> chosen =
        ui->chooseSaveFile(qtTrId("ed-gen3b-save-caption"), folder, qtTrId("ed-gen3b-filter"));
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    const QString path = withDefault3BExtension(*chosen);
    lastSaveFolder_ = QFileInfo(path).absolutePath();
    // The dialog asked about the name typed; the extension added here makes another name. The
    // loaded program's file is refused when written, so there is nothing to ask about it.
    const bool loadedFile = context_.document && context_.document->isProgramFile(path);
    if (path != *chosen && QFileInfo::exists(path) && !loadedFile &&
        ui->ask(boxTitle(), qtTrId("ed-replace-question").arg(QDir::toNativeSeparators(path)),
                OperatorInteraction::Buttons::YesNo, Icon::Question) != OperatorInteraction::Answer::Yes)
        return std::nullopt;
    return path;
}

int EditCommands::writeManual3B(const QString& path, double startXMm, double startYMm,
                                const std::vector<std::string>& statements) {
    if (refuseLoadedTarget(path)) return -1;
    if (write3BFile(nativePath(path).c_str(), startXMm, startYMm, statements) != 0) {
        tell(qtTrId("61472"), true);
        return -1;
    }
    tell(qtTrId("ed-code-generated"), false);
    return 0;
}

}  // namespace korvex
