// "Statistics ": the cut length of the loaded program, the area for a work-piece height and the
// efficiency per ampere over the seconds of the running or last work. "Calculate" fills the
// result lines from the two inputs; nothing is sent to the card.
#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QLabel;

namespace korvex {

class CStatisticsDialog : public QDialog {
    Q_OBJECT
public:
    // pathLengthMm is the geometric length of the program's path (0 without a program).
    CStatisticsDialog(double pathLengthMm, int usedSeconds, QWidget* parent = nullptr);

    QDoubleSpinBox* heightField() const { return height_; }
    QDoubleSpinBox* currentField() const { return current_; }
    QString lengthText() const;
    QString areaText() const;
    QString efficiencyText() const;

public slots:
    void calculate();

private:
    double pathLengthMm_;
    int usedSeconds_;
    QDoubleSpinBox* height_;
    QDoubleSpinBox* current_;
    QLabel* length_;
    QLabel* area_;
    QLabel* efficiency_;
};

}  // namespace korvex
