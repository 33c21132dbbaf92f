// CStatusView: the status panel below the graph: positions, work progress, efficiency, the
// current speed with the HF level meter, and the feed control. It only shows what it is given;
// the feed value a press or a slider move asks for goes out as feedRequested, and the thickness
// for the efficiency is asked for through efficiencyPressed.
#pragma once

#include <QWidget>

#include <cstdint>

class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

namespace korvex {

// What the polls say about the running work, in the panel's terms.
struct StatusProgress {
    int32_t x = 0, y = 0, u = 0, v = 0;  // steps
    int64_t overSteps = 0;
    int64_t totalSteps = 0;
    int32_t startSegment = 0;
    int32_t currentSegment = 0;
    int32_t endSegment = 0;
    int32_t totalSegments = 0;
};

// The HF level meter: ten segments filled by the level.
class CLevelMeter : public QWidget {
    Q_OBJECT
public:
    explicit CLevelMeter(QWidget* parent = nullptr);
    void setLevel(int32_t level);
    int32_t level() const { return level_; }
    QSize sizeHint() const override { return {110, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t level_ = 0;
};

class CStatusView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFeedSliderMin = 1;
    static constexpr int kFeedSliderMax = 200;

    explicit CStatusView(QWidget* parent = nullptr);

    // Clears every text, the progress to "0%", the thickness and the level to 0.
    void reset();
    void showProgress(const StatusProgress& progress);
    // Current speed in micrometres per second; the efficiency follows once a thickness is set.
    void setCurrentSpeed(int32_t speed);
    void setLevel(int32_t level) { level_->setLevel(level); }
    void setThickness(double millimetres) { thicknessMm_ = millimetres; }
    double thickness() const { return thicknessMm_; }
    // Shows v / 2 and moves the slider to v, sending nothing.
    void showFeed(int feedValue);
    int feedSliderValue() const;

    // Texts as shown (tests, screenshots).
    QString progressText() const;
    int progressValue() const;
    QString efficiencyText() const;
    QString feedText() const;
    QString fieldText(const char* name) const;
    QSlider* feedSlider() const { return slider_; }
    QPushButton* feedDownButton() const { return down_; }
    QPushButton* feedUpButton() const { return up_; }
    QPushButton* efficiencyButton() const { return efficiency_; }
    CLevelMeter* levelMeter() const { return level_; }

signals:
    // The operator moved the slider or pressed "-" / "+": the feed value to set.
    void feedRequested(int feedValue);
    void efficiencyPressed();

private:
    QLabel* addField(QGridLayout* grid, int row, int column, const char* textId, const char* name);

    QLabel* progressText_;
    QProgressBar* progressBar_;
    QPushButton* efficiency_;
    QLabel* speed_;
    CLevelMeter* level_;
    QPushButton* down_;
    QPushButton* up_;
    QSlider* slider_;
    QLabel* feedText_;
    double thicknessMm_ = 0;
};

}  // namespace korvex
