// The editor's prompter over the operator interaction both programs share: every message box,
// the code input dialog, the Save dialog and the save question go through OperatorInteraction, so
// the real program shows them on screen and a test answers them from a script.
#pragma once

#include <QDialog>
#include <QString>

#include "editor/document/editor_session.h"
#include "platform/operator_interaction.h"

class QLineEdit;
class QWidget;

namespace tavrel {

// Dialog 131 "输入代码": one line of code (field 1000), at most 299 bytes in the file's encoding.
class CodeInputDialog : public QDialog {
    Q_OBJECT
public:
    CodeInputDialog(const QString& initial, bool utf8, korvex::OperatorInteraction& ui, QWidget* parent = nullptr);
    QString text() const;
    QLineEdit* edit() const { return edit_; }
    void accept() override;

private:
    QLineEdit* edit_;
    bool utf8_;
    korvex::OperatorInteraction& ui_;
};

// The text of a document message in the operator's language (fatal texts as they stand).
QString messageText(const DocMessage& message);
// The filter of a Save dialog, and of the Open dialog.
QString saveFilter(SaveDialogKind kind);
QString openFilter();
// The filters of Join's open dialog for a document of `kind`, and the extension a typed name
// without one gets.
QString joinFilter(int kind);
QString joinExtension(int kind);

class OperatorPrompter : public EditorPrompter {
public:
    explicit OperatorPrompter(korvex::OperatorInteraction& ui) : ui_(ui) {}
    korvex::OperatorInteraction& ui() { return ui_; }
    // Whether the document's text is UTF-8 (typed text is encoded the same way).
    void setUtf8(bool utf8) { utf8_ = utf8; }

    void show(const DocMessage& message) override;
    void busy(bool on) override;
    std::optional<std::string> inputCode(const std::string& initial) override;
    std::optional<std::string> chooseSavePath(SaveDialogKind kind, const std::string& suggested) override;
    Answer askSaveChanges(const std::string& title) override;
    std::optional<int> chooseHfGroup() override;
    std::optional<int> askThreshold(int preset) override;
    std::optional<std::string> chooseJoinFile(int kind) override;
    std::optional<std::pair<int, int>> askJoinOffset() override;

private:
    korvex::OperatorInteraction& ui_;
    bool utf8_ = true;
};

}  // namespace tavrel
