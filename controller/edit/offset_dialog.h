// The Offset dialog: the offset in millimetres (-5 to 5; positive to the right of the direction
// of cutting) and the corner type.
#pragma once

#include <QDialog>

#include "controller/edit/edit_commands.h"

class QDoubleSpinBox;
class QRadioButton;

namespace korvex {

class COffsetDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "OffsetDialog";
    static constexpr int kDecimals = 3;
    static constexpr double kStepMm = 0.01;

    explicit COffsetDialog(const OffsetRequest& initial, QWidget* parent = nullptr);

    OffsetRequest request() const;

private:
    QDoubleSpinBox* offset_;
    QRadioButton* sharp_;
    QRadioButton* round_;
};

}  // namespace korvex
