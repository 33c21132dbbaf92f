// The dialogs of the Machining menu and of Join: 132 (HF group after a segment), 151 (the
// recognition threshold) and 150 (the offset between the two codes' start points). Each checks
// its fields on OK and says what is wrong rather than closing with a bad value.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace korvex {
class OperatorInteraction;
}

namespace tavrel {

// Dialog 132 "选择高频组号": list 1001 of the groups "0" to "7", "0" chosen on opening.
class HfGroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit HfGroupDialog(QWidget* parent = nullptr);
    QComboBox* list() const { return list_; }
    int group() const;

private:
    QComboBox* list_;
};

// Dialog 151: field 1003, a whole number of microns from 0 to 1000.
class ThresholdDialog : public QDialog {
    Q_OBJECT
public:
    ThresholdDialog(int preset, korvex::OperatorInteraction& ui, QWidget* parent = nullptr);
    QLineEdit* field() const { return field_; }
    int threshold() const;
    void accept() override;

private:
    QLineEdit* field_;
    korvex::OperatorInteraction& ui_;
};

// Dialog 150 "联合参数": fields 1002 (X) and 1003 (Y), signed whole numbers of microns, both 0.
class JoinOffsetDialog : public QDialog {
    Q_OBJECT
public:
    explicit JoinOffsetDialog(korvex::OperatorInteraction& ui, QWidget* parent = nullptr);
    QLineEdit* xField() const { return x_; }
    QLineEdit* yField() const { return y_; }
    std::pair<int, int> offset() const;
    void accept() override;

private:
    QLineEdit* x_;
    QLineEdit* y_;
    korvex::OperatorInteraction& ui_;
};

}  // namespace tavrel
