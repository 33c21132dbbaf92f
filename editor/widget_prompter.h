// The editor's prompter on screen: message boxes, the code input dialog, the Save dialog and the
// save question, with every text from the string table.
#pragma once

#include <QDialog>
#include <QString>

#include "editor/document/editor_session.h"

class QLineEdit;
class QWidget;

namespace tavrel {

// Dialog 131 "输入代码": one line of code, at most 299 bytes in the file's encoding.
class CodeInputDialog : public QDialog {
    Q_OBJECT
public:
    CodeInputDialog(const QString& initial, bool utf8, QWidget* parent = nullptr);
    QString text() const;
    QLineEdit* edit() const { return edit_; }
    void accept() override;

private:
    QLineEdit* edit_;
    bool utf8_;
};

// The text of a document message in the operator's language (fatal texts as they stand).
QString messageText(const DocMessage& message);
// The filter and default suffix (without the dot) of a Save dialog.
QString saveFilter(SaveDialogKind kind);
// The Open dialog's filter.
QString openFilter();

class WidgetPrompter : public EditorPrompter {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    // Whether the document's text is UTF-8 (typed text is encoded the same way).
    void setUtf8(bool utf8) { utf8_ = utf8; }

    void show(const DocMessage& message) override;
    void busy(bool on) override;
    std::optional<std::string> inputCode(const std::string& initial) override;
    std::optional<std::string> chooseSavePath(SaveDialogKind kind, const std::string& suggested) override;
    Answer askSaveChanges(const std::string& title) override;

private:
    QWidget* parent_ = nullptr;
    bool utf8_ = true;
};

}  // namespace tavrel
