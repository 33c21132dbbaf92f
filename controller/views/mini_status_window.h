// The mini status window: a small frameless window on top of the others that stands in for the
// main window while that is minimised. It shows "machine-status" (red for the texts that want
// the operator: backing, paused, finished, back finished, break, link lost), the cut's progress
// over the steps of the range, the card's speed and the current and last segment. Its context
// menu makes it translucent or hides it.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>

namespace korvex {

class CGraphView;
class MachineSession;

class MiniStatusWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthPx = 240, kHeightPx = 72;

    MiniStatusWindow();

    void setMachineName(const QString& name);
    // A status text by its identifier in the string table.
    void setStatus(const char* textId);
    void setProgress(int64_t done, int64_t total);
    void setSpeed(int stepsPerSecond);
    void setSegments(int32_t current, int32_t last);

    // What the window shows, for the tests.
    QString headline() const;
    bool headlineRed() const { return red_; }
    int progressPercent() const;
    QString speedText() const;
    QString segmentText() const;
    bool transparent() const { return transparent_; }
    void setTransparent(bool on);

    // Shown when `window` is minimised, hidden when it is restored.
    void followWindow(QWidget* window);

    // True for the status texts shown in red.
    static bool isAlarmText(const char* textId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString machineName_;
    QString status_;
    bool red_ = false;
    int64_t done_ = 0, total_ = 0;
    int speed_ = 0;
    int32_t current_ = 0, last_ = 0;
    bool transparent_ = false;
    QWidget* followed_ = nullptr;
};

// Builds the window beside the main window and feeds it the graph view's progress.
MiniStatusWindow* createMiniStatusWindow(QWidget& mainWindow, CGraphView& graph, const MachineSession& session);

}  // namespace korvex
