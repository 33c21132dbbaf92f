// The operator interaction of the running programs: real message boxes, file dialogs and modal
// dialogs on screen.
#pragma once

#include "platform/operator_interaction.h"

class QWidget;

namespace korvex {

class WidgetOperator : public OperatorInteraction {
public:
    // Boxes are centred on `parent` once it is set (before that, on the screen).
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& title, const QString& text, Icon icon) override;
    Answer ask(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
    std::optional<QString> chooseOpenFile(const QString& caption, const QString& directory,
                                          const QString& filter) override;
    std::optional<QString> chooseSaveFile(const QString& caption, const QString& directory,
                                          const QString& filter) override;
    int exec(QDialog& dialog, const QString& name) override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace korvex
