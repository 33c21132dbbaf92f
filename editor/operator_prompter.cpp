#include "editor/operator_prompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <QFileInfo>

#include "code/kind.h"
#include "code/lines.h"
#include "editor/code_lists.h"
#include "editor/machining_dialogs.h"

namespace tavrel {

CodeInputDialog::CodeInputDialog(const QString& initial, bool utf8, korvex::OperatorInteraction& ui,
                                 QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(this)), utf8_(utf8), ui_(ui) {
    setObjectName("131");
    //: Title of the code input dialog
    setWindowTitle(qtTrId("tavrel.input.title"));
    edit_->setObjectName("1000");
    edit_->setText(initial);
    edit_->setMinimumWidth(460);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(qtTrId("tavrel.ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(qtTrId("tavrel.cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

QString CodeInputDialog::text() const { return edit_->text(); }

void CodeInputDialog::accept() {
    // A slot holds 299 bytes; the dialog keeps the text and says so rather than cutting it.
    if (encodeLine(edit_->text(), utf8_).size() > static_cast<std::size_t>(korvex::kMaxLineChars)) {
        ui_.message(qtTrId("tavrel.app"), messageText(DocMessage::warning(msg::kInputTooLong)),
                    korvex::OperatorInteraction::Icon::Warning);
        return;
    }
    QDialog::accept();
}

QString messageText(const DocMessage& message) {
    if (message.isFatal()) return QString::fromStdString(message.fatalText);
    QString text = qtTrId(message.id.c_str());
    for (const std::string& arg : message.args) text = text.arg(QString::fromStdString(arg));
    return text;
}

namespace {

// Qt separates the patterns of a filter by blanks; the string table writes them with commas.
// Extensions are matched without regard to case, so each pattern also comes in capitals.
QString qtFilter(const QString& text) {
    const int open = text.indexOf('('), close = text.lastIndexOf(')');
    if (open < 0 || close < open) return text;
    QStringList patterns = text.mid(open + 1, close - open - 1).split(',', Qt::SkipEmptyParts);
    for (const QString& p : QStringList(patterns)) {
        if (p.toUpper() != p) patterns << p.toUpper();
    }
    return text.left(open + 1) + patterns.join(' ') + text.mid(close);
}

}  // namespace

QString saveFilter(SaveDialogKind kind) {
    switch (kind) {
    case SaveDialogKind::kFourNb: return qtFilter(qtTrId("tavrel.filter.4nb"));
    case SaveDialogKind::kIso: return qtFilter(qtTrId("tavrel.filter.iso"));
    case SaveDialogKind::kThreeB: break;
    }
    return qtFilter(qtTrId("tavrel.filter.3b"));
}

QString openFilter() { return qtFilter(qtTrId("tavrel.filter.code")); }

QString joinFilter(int kind) {
    switch (kind) {
    case korvex::kKind3B: return saveFilter(SaveDialogKind::kThreeB);
    case korvex::kKindIsoSwitches:
        return saveFilter(SaveDialogKind::kFourNb) + QStringLiteral(";;") + saveFilter(SaveDialogKind::kIso);
    default: return saveFilter(SaveDialogKind::kIso);
    }
}

QString joinExtension(int kind) {
    switch (kind) {
    case korvex::kKind3B: return QStringLiteral("3b");
    case korvex::kKindIsoSwitches: return QStringLiteral("4nb");
    default: return QStringLiteral("iso");
    }
}

void OperatorPrompter::show(const DocMessage& message) {
    using Icon = korvex::OperatorInteraction::Icon;
    ui_.message(qtTrId("tavrel.app"), messageText(message), message.isFatal() || message.stop ? Icon::Critical : Icon::Warning);
}

void OperatorPrompter::busy(bool on) {
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

std::optional<std::string> OperatorPrompter::inputCode(const std::string& initial) {
    CodeInputDialog dialog(decodeLine(initial.c_str(), utf8_), utf8_, ui_);
    if (ui_.exec(dialog, QStringLiteral("131")) != QDialog::Accepted || dialog.text().isEmpty()) return std::nullopt;
    return encodeLine(dialog.text(), utf8_);
}

std::optional<std::string> OperatorPrompter::chooseSavePath(SaveDialogKind kind, const std::string& suggested) {
    const auto path = ui_.chooseSaveFile(qtTrId("tavrel.save_as"), QString::fromStdString(suggested), saveFilter(kind));
    if (!path || path->isEmpty()) return std::nullopt;
    return path->toStdString();
}

EditorPrompter::Answer OperatorPrompter::askSaveChanges(const std::string& title) {
    using Ui = korvex::OperatorInteraction;
    switch (ui_.ask(qtTrId("tavrel.app"), qtTrId("tavrel.save_changes").arg(QString::fromStdString(title)),
                    Ui::Buttons::YesNoCancel, Ui::Icon::Question)) {
    case Ui::Answer::Yes: return Answer::kYes;
    case Ui::Answer::No: return Answer::kNo;
    default: return Answer::kCancel;
    }
}

std::optional<int> OperatorPrompter::chooseHfGroup() {
    HfGroupDialog dialog;
    if (ui_.exec(dialog, QStringLiteral("132")) != QDialog::Accepted) return std::nullopt;
    return dialog.group();
}

std::optional<int> OperatorPrompter::askThreshold(int preset) {
    ThresholdDialog dialog(preset, ui_);
    if (ui_.exec(dialog, QStringLiteral("151")) != QDialog::Accepted) return std::nullopt;
    return dialog.threshold();
}

std::optional<std::string> OperatorPrompter::chooseJoinFile(int kind) {
    const auto path = ui_.chooseOpenFile(qtTrId("tavrel.cmd.join"), QString(), joinFilter(kind));
    if (!path || path->isEmpty()) return std::nullopt;
    QString chosen = *path;
    // A name typed without its extension means the dialog's default one.
    if (QFileInfo(chosen).suffix().isEmpty() && !QFileInfo::exists(chosen)) chosen += '.' + joinExtension(kind);
    return chosen.toStdString();
}

std::optional<std::pair<int, int>> OperatorPrompter::askJoinOffset() {
    JoinOffsetDialog dialog(ui_);
    if (ui_.exec(dialog, QStringLiteral("150")) != QDialog::Accepted) return std::nullopt;
    return dialog.offset();
}

}  // namespace tavrel
