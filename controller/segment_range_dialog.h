// "Please Select the Segment Range": the first and last segment of a work, asked when a work
// starts over a freshly loaded program. OK keeps the dialog open with a message until the range
// is one the program holds; clicking into a field shows that segment in the code list.
#pragma once

#include <QDialog>

#include <cstdint>

class QSpinBox;

namespace korvex {

class OperatorInteraction;

class CSegmentRangeDialog : public QDialog {
    Q_OBJECT
public:
    // The fields take any number the operator may type; the program decides what is valid.
    static constexpr int kFieldMax = 9'999'999;

    CSegmentRangeDialog(int32_t segmentCount, bool reverse, OperatorInteraction& operatorUi, QString boxTitle,
                        QWidget* parent = nullptr);

    int start() const;
    int end() const;
    void setStart(int segment);
    void setEnd(int segment);

    // The text id of what is wrong with the range, or nullptr when it is good.
    static const char* fault(int32_t start, int32_t end, int32_t segmentCount, bool reverse);

    void accept() override;

signals:
    void segmentFocused(int segment);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int32_t count_;
    bool reverse_;
    OperatorInteraction& operatorUi_;
    QString boxTitle_;
    QSpinBox* start_;
    QSpinBox* end_;
};

}  // namespace korvex
