#include "controller/edit/taper_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <vector>

#include "controller/document/dcs_doc.h"
#include "controller/edit/edit_commands.h"
#include "controller/settings_keys.h"
#include "platform/data_dirs.h"
#include "platform/operator_interaction.h"
#include "platform/settings_file.h"

namespace korvex {
namespace {

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The generation's messages (English, as the geometry gives them) and their string-table ids.
QString messageFor(const std::string& error, bool givenIsBelow) {
    struct Entry {
        const char* text;
        const char* id;
    };
    static constexpr Entry kTable[] = {
        {kTaperSelectOne, "tp-select-one"},         {kTaperSelectNotBoth, "tp-select-not-both"},
        {kTaperUpperFailed, "tp-upper-failed"},     {kTaperBelowFailed, "tp-below-failed"},
        {kTaperSelectBoth, "tp-select-both"},       {kTaperDifferentSegments, "tp-different-segments"},
        {kTaperShowFailed, "tp-show-failed"},
    };
    for (const Entry& e : kTable)
        if (error == e.text) return qtTrId(e.id);
    return qtTrId(givenIsBelow ? "tp-upper-failed" : "tp-below-failed");
}

TaperDialogValues dialogValues(const TaperSettings& s) {
    TaperDialogValues v;
    v.height = s.height;
    v.width = s.width;
    v.base = s.base;
    v.r = s.r;
    v.degree = s.degree;
    v.rmin = s.rmin;
    return v;
}

}  // namespace

TaperCommand::TaperCommand(EditCommands& commands)
    : machineSettingsPath([] { return korvex::machineSettingsPath(); }), commands_(commands) {}

QString TaperCommand::boxTitle() const { return commands_.boxTitle(); }

void TaperCommand::tell(const QString& text) {
    const EditCommandContext& c = commands_.context();
    if (c.ending && c.ending()) return;
    if (OperatorInteraction* ui = commands_.operatorUi())
        ui->message(boxTitle(), text, OperatorInteraction::Icon::Warning);
}

TaperSettings TaperCommand::lastSettings() const {
    const EditCommandContext& c = commands_.context();
    if (!c.cardSettingsPath) return {};
    return readTaperSettings(SettingsFile(c.cardSettingsPath()));
}

int TaperCommand::run() {
    OperatorInteraction* ui = commands_.operatorUi();
    if (!ui) return 1;
    const EditCommandContext& c = commands_.context();
    TaperDialogServices services;
    services.browse = [this, ui]() -> std::optional<QString> {
        const CDCSDoc* doc = commands_.context().document;
        const QString folder = doc && !doc->path().isEmpty() ? QFileInfo(doc->path()).absolutePath() : QString();
        return ui->chooseOpenFile(qtTrId("tp-browse-caption"), folder, qtTrId("tp-browse-filter"));
    };
    services.tell = [this](const QString& text) { tell(text); };
    services.howToSet = [this, ui] {
        ui->message(boxTitle(), qtTrId("tp-how-text"), OperatorInteraction::Icon::Information);
    };
    services.generate = [this](const TaperRequest& r, int& badRow) { return generate(r, badRow); };
    CTaperDialog dialog(lastSettings(), std::move(services), c.dialogParent);
    // The loaded program is offered as the lower contour, or as the upper one, as configured.
    if (c.document && c.document->isLoaded() && !c.document->path().isEmpty()) {
        const bool below = machineSettingsPath ? readKey(SettingsFile(machineSettingsPath()), keys::kDefaultTaperType) == 1
                                               : true;
        dialog.setGraph(below, c.document->path());
    }
    return ui->exec(dialog, QLatin1String(CTaperDialog::kName)) == QDialog::Accepted ? 0 : 1;
}

bool TaperCommand::generate(const TaperRequest& r, int& badRow) {
    badRow = -1;
    const EditCommandContext& c = commands_.context();
    // Opening the result replaces the program under the card.
    if ((c.idle && !c.idle()) || (c.document && c.document->isLoading())) {
        tell(qtTrId("61482"));
        return false;
    }
    const TaperDialogValues values = dialogValues(r.values);
    std::vector<std::string> upper, lower;
    QString target;
    if (!r.twoGraphs) {
        if (r.below.isEmpty() && r.upper.isEmpty()) {
            tell(qtTrId("tp-select-one"));
            return false;
        }
        if (!r.below.isEmpty() && !r.upper.isEmpty()) {
            tell(qtTrId("tp-select-not-both"));
            return false;
        }
        const bool givenIsBelow = !r.below.isEmpty();
        const QString givenPath = givenIsBelow ? r.below : r.upper;
        std::vector<std::string> given;
        int kind = 0;
        if (!loadTaperLines(givenPath, given, kind)) {
            tell(qtTrId("tp-show-failed"));
            return false;
        }
        if (!taperInputKindUsable(kind)) {
            tell(qtTrId(givenIsBelow ? "tp-upper-failed" : "tp-below-failed"));
            return false;
        }
        std::vector<TaperRow> rows = r.rows;
        if (rows.size() != given.size())
            rows.assign(given.size(), TaperRow{QString::asprintf("%.3f", r.values.degree).toStdString(),
                                               kTaperFlagNone});
        std::string error;
        if (oneGraph(given, givenIsBelow, rows, values, upper, lower, error, badRow) != 0) {
            tell(messageFor(error, givenIsBelow));
            return false;
        }
        target = QFile::decodeName(oneGraphPath(nativePath(givenPath)).c_str());
    } else {
        if (r.below.isEmpty() || r.upper.isEmpty()) {
            tell(qtTrId("tp-select-both"));
            return false;
        }
        for (const QString& path : {r.below, r.upper}) {
            int kind = 0;
            if (!loadTaperLines(path, path == r.below ? lower : upper, kind) || !taperInputKindUsable(kind)) {
                tell(qtTrId("tp-file-failed").arg(QDir::toNativeSeparators(path)));
                return false;
            }
        }
        std::string error;
        if (twoGraphs(lower, upper, error) != 0) {
            tell(messageFor(error, true));
            return false;
        }
        target = QFile::decodeName(twoGraphsPath(nativePath(r.below), nativePath(r.upper)).c_str());
    }

    switch (writeTaperFile(nativePath(target), taperFileText(values, upper, lower))) {
    case 0:
        break;
    case -2:
        tell(qtTrId("61655"));
        return false;
    default:
        tell(qtTrId("61472"));
        return false;
    }
    // The values open the dialog next time; the type goes to the card with this program and
    // after every restart.
    if (c.cardSettingsPath) {
        SettingsFile file(c.cardSettingsPath());
        writeTaperSettings(file, r.values);
    }
    if (!c.document) return true;
    c.document->setTaperMachineType(r.values.type);
    if (c.openProgram) return c.openProgram(target);
    if (c.document->openDocument(target)) return true;
    if (!c.document->loadCancelled()) tell(qtTrId("61472"));
    return false;
}

}  // namespace korvex
