// The manual 3B generator ("Generate 3B by yourself"): the start point, one statement's x, y, J,
// count direction and code, the statement list with "Add" and "Delete", and "Gen 3B file",
// which asks for the file in the save dialog and writes it through the Edit commands.
#pragma once

#include <QDialog>

#include "controller/edit/manual_3b_list.h"

class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QSpinBox;

namespace korvex {

class EditCommands;

class CGen3BDialog : public QDialog {
    Q_OBJECT
public:
    // The object name a scripted operator finds it by.
    static constexpr const char* kName = "Generate3BDialog";
    // A 3B value is printed in eight columns.
    static constexpr int kMaxValueMicrons = 99'999'999;
    static constexpr double kMaxStartMm = 9999.999;

    CGen3BDialog(EditCommands& commands, QWidget* parent = nullptr);

    const Manual3BList& list() const { return list_; }

    // The buttons' work, callable by tests as by the buttons.
    void addStatement();
    void deleteStatement();
    // Returns the result of writing the file, or 1 when the save dialog was cancelled.
    int generateFile();

private:
    void showList(int selectRow);

    EditCommands& commands_;
    Manual3BList list_;
    QDoubleSpinBox* startX_;
    QDoubleSpinBox* startY_;
    QSpinBox* x_;
    QSpinBox* y_;
    QSpinBox* j_;
    QComboBox* direction_;
    QComboBox* code_;
    QListWidget* statements_;
};

}  // namespace korvex
