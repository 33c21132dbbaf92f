#include "platform/widget_operator.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace korvex {

namespace {

QMessageBox::Icon boxIcon(OperatorInteraction::Icon icon) {
    switch (icon) {
    case OperatorInteraction::Icon::Information: return QMessageBox::Information;
    case OperatorInteraction::Icon::Warning: return QMessageBox::Warning;
    case OperatorInteraction::Icon::Critical: return QMessageBox::Critical;
    case OperatorInteraction::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void WidgetOperator::message(const QString& title, const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent_);
    box.exec();
}

OperatorInteraction::Answer WidgetOperator::ask(const QString& title, const QString& text,
                                                Buttons buttons, Icon icon) {
    QMessageBox::StandardButtons set;
    QMessageBox::StandardButton preset = QMessageBox::NoButton;
    switch (buttons) {
    case Buttons::Ok: set = QMessageBox::Ok; break;
    // The safe answer is the default: closing or exiting by a stray Enter must not happen.
    case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; preset = QMessageBox::No; break;
    case Buttons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        preset = QMessageBox::Cancel;
        break;
    case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; preset = QMessageBox::Cancel; break;
    }
    QMessageBox box(boxIcon(icon), title, text, set, parent_);
    if (preset != QMessageBox::NoButton)
        box.setDefaultButton(preset);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> WidgetOperator::chooseOpenFile(const QString& caption, const QString& directory,
                                                      const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent_, caption, directory, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> WidgetOperator::chooseSaveFile(const QString& caption, const QString& directory,
                                                      const QString& filter) {
    QFileDialog dialog(parent_, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The filter's first extension is added to a name typed without one before the dialog
    // checks whether the file exists, so "part" asks about replacing "part.3b".
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = firstPattern.match(filter);
    if (match.hasMatch())
        dialog.setDefaultSuffix(match.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

int WidgetOperator::exec(QDialog& dialog, const QString& name) {
    dialog.setObjectName(name);
    return dialog.exec();
}

}  // namespace korvex
