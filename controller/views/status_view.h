// CStatusView: the status panel below the graph. It shows the feed value (Speed/Freq) and the
// card's tracking mode now; positions, progress and efficiency come with the machining work.
#pragma once

#include <QWidget>

class QLabel;

namespace korvex {

class CStatusView : public QWidget {
    Q_OBJECT
public:
    explicit CStatusView(QWidget* parent = nullptr);

    // The settings block's byte 48 (tracking mode), which chooses the feed table.
    void setConfigByte(int value) { configByte_ = value; }
    int configByte() const { return configByte_; }
    // The feed value v, 1..200 (V.F. = v / 2).
    void setFreq(int value);
    int freq() const { return freq_; }
    // Layout of a two-contour program and its last segment, from the loaded program.
    void setProgramLayout(bool twoContour, int lastSegment);
    void reset() { setProgramLayout(false, 0); }
    bool twoContourLayout() const { return twoContour_; }

public slots:
    // Report of a pulse group switch (message 11 of the card's reports).
    void onPulseGroupSwitched(int group);

private:
    QLabel* freqText_;
    QLabel* segments_;
    int configByte_ = 0;
    int freq_ = 0;
    int lastGroup_ = -1;
    bool twoContour_ = false;
};

}  // namespace korvex
