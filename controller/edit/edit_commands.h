// The Edit commands that derive a new program from the loaded one (the two quarter turns, the
// two mirrors, the wire offset) and the manual 3B generator's file writing: which file is
// written, which refusals come first, and when each command is offered. No widget lives here;
// the dialogs ask for their values through the hooks and every message goes through the
// operator interaction.
//
// A derived program is written beside the source, under the source's path cut before its first
// "@_@" with the command's suffix appended, and then opened through the document's own open
// handler, so it is read, parsed, drawn and sent to the card like any other file. Until that
// open starts, the loaded program is left exactly as it was.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "code/transform.h"
#include "geometry/multipass.h"
#include "geometry/offset.h"

class QWidget;

namespace korvex {

class CDCSDoc;
class OperatorInteraction;

// What the enable rules look at.
struct EditState {
    int cardWorkState = 0;           // the last card work state (0 no program, 1 loaded, ...)
    bool fastRolling = false;
    bool recoveryMarkPending = false;
};

// "Generate 3B": not rolling, state 0, 1 or 2.
bool generate3BEnabled(const EditState& s);
// The four transforms and Offset: no recovery mark, not rolling, state 1.
bool deriveEnabled(const EditState& s);
// Multiple and Segment Multiple: a card work state other than 0.
bool multipleEnabled(const EditState& s);

// What the commands need from the program around them. Unset hooks take the defaults given.
struct EditCommandContext {
    CDCSDoc* document = nullptr;
    OperatorInteraction* operatorUi = nullptr;
    QWidget* dialogParent = nullptr;
    std::function<int()> cardWorkState;         // default: 1 with a program loaded, else 0
    std::function<bool()> fastRolling;          // default: false
    std::function<bool()> recoveryMarkPending;  // default: false
    std::function<bool()> idle;                 // default: true (no operation running)
    std::function<QString()> boxTitle;          // default: the application name
    // True once the card stopped answering: the program is ending and says nothing more.
    std::function<bool()> ending;               // default: never
    // The card's settings file ("<card id>.ini") for the Multiple and SingleMultiple sections;
    // default: none, the dialogs open with the defaults and nothing is written.
    std::function<QString()> cardSettingsPath;
    // The code list's selected line for Segment Multiple; default: the current row of the
    // "CodeListView" in dialogParent's window, -1 without one.
    std::function<int()> selectedLine;
    // Loads a generated program as the window's open requests do (refused mid-cut, the loaded
    // program closed only after the close question); true when it is loaded. Default: the
    // document's open handler.
    std::function<bool(const QString& path)> openProgram;
};

// The Offset dialog's values.
struct OffsetRequest {
    double offsetMm = 0.0;
    CornerType corner = CornerType::Sharp;
};

inline constexpr double kOffsetLimitMm = 5.0;  // the dialog accepts -5 .. 5 mm
inline constexpr const char* k3BDefaultSuffix = "3b";

// The path of a program derived from `sourcePath`: cut before the first "@_@", then `suffix`.
QString derivedProgramPath(const QString& sourcePath, const QString& suffix);
// A file name typed without an extension gets ".3b", as the save dialog's default extension.
QString withDefault3BExtension(const QString& path);

class EditCommands {
public:
    explicit EditCommands(EditCommandContext context);

    EditState state() const;
    bool generate3BEnabled() const { return korvex::generate3BEnabled(state()); }
    bool deriveEnabled() const { return korvex::deriveEnabled(state()); }
    bool multipleEnabled() const { return korvex::multipleEnabled(state()); }

    // ---- the commands of the menus ----
    // Each returns 0 when the new program is loaded (or the file written), 1 when the operator
    // cancelled, -1 on a refusal or failure (the operator has been told, except for a line that
    // does not parse, which fails silently). A command that is not enabled does nothing (-1).

    // Rotation, mirror or reversal of the loaded program.
    int transform(Transform t);
    // The Offset command: refuses taper and multi-pass programs before the dialog, asks for the
    // offset, then runs applyOffset.
    int offset();
    // The Offset command after its dialog: jump segments refused, the whole program compensated,
    // "@_@_gap.iso" written and opened.
    int applyOffset(const OffsetRequest& request);
    // The Multiple command: the dialog through askMultiple, whose OK runs applyMultiple.
    int multiple();
    // Loads the document's file again, generates the multi-pass program, writes it to path +
    // ".4nb", saves the settings and opens the result; nothing is written on a failure.
    int applyMultiple(const MultipassSettings& settings);
    // Segment Multiple on the selected line: the dialog through askSegmentMultiple.
    int segmentMultiple();
    // Writes path + "_single.4nb" from the selected line, saves the settings, opens the result.
    int applySegmentMultiple(const SegmentMultipleSettings& settings);
    // The manual generator, shown through showGenerator.
    int generate3B();
    // The generator's "Gen 3B file": writes the file and reports the result. The loaded
    // program's file is refused.
    int writeManual3B(const QString& path, double startXMm, double startYMm,
                      const std::vector<std::string>& statements);
    // The generator's save dialog: opens in the loaded program's folder, else the folder used
    // last; a name typed without an extension gets ".3b", and replacing a file so named is
    // asked first, as the dialog asks for a name typed whole. The path, or nothing when the
    // operator cancelled.
    std::optional<QString> chooseManual3BPath();

    // ---- hooks set by whoever shows the dialogs ----
    // Shows the Offset dialog with the last values; nothing when cancelled.
    std::function<std::optional<OffsetRequest>(const OffsetRequest& last)> askOffset;
    // Runs the manual generator dialog.
    std::function<void()> showGenerator;
    // Run the Multiple and Segment Multiple dialogs with the stored values; each dialog's OK
    // calls the apply function given. 0 when a program was generated, 1 when cancelled.
    std::function<int(const MultipassSettings& initial,
                      std::function<bool(const MultipassSettings&)> apply)> askMultiple;
    std::function<int(const SegmentMultipleSettings& initial,
                      std::function<bool(const SegmentMultipleSettings&)> apply)> askSegmentMultiple;

    const EditCommandContext& context() const { return context_; }
    OperatorInteraction* operatorUi() const { return context_.operatorUi; }
    QString boxTitle() const;

private:
    bool refuseWhileBusy();
    // Refuses (with its message) a target that is the loaded program's file.
    bool refuseLoadedTarget(const QString& path);
    void tell(const QString& text, bool warning);
    bool openDerived(const QString& path);
    // Runs `work` on a worker thread behind the card wait dialog, so a million-line program is
    // rewritten while the window keeps repainting. Returns the work's result.
    int runBesideWindow(std::function<int()> work);
    int selectedLine() const;
    int writeResult(const QString& path, const std::string& text);

    EditCommandContext context_;
    OffsetRequest lastOffset_;
    QString lastSaveFolder_;
};

}  // namespace korvex
