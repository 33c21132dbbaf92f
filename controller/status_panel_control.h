// What drives the status panel: the polls' positions and speed, the HF level, the pulse group
// the card switched to, the feed the operator sets, and the thickness asked for the efficiency.
// The panel itself only shows; the arithmetic of the work's progress lives here.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "controller/feed_control.h"
#include "controller/link/records.h"
#include "controller/views/status_view.h"

namespace korvex {

class OperatorInteraction;
struct LoadedProgram;

// Steps of the work from `start` to the point of `work` in running order (start > end runs the
// segments backwards, whose cursors count down), and the steps of the whole range. `prefix`
// holds the lower elements' step sums: prefix[i] = steps of segments 0..i-1.
StatusProgress workProgress(const LoadedProgram& program, const std::vector<int64_t>& prefix, int32_t start,
                            int32_t end, const WorkParams& work);

class StatusPanelControl : public QObject {
    Q_OBJECT
public:
    StatusPanelControl(CStatusView& view, PulseTable& table, FeedControl::SettingsSource settings,
                       OperatorInteraction& operatorUi, std::function<QString()> boxTitle,
                       QObject* parent = nullptr);

    FeedControl& feed() { return feed_; }
    // The loaded program (nothing after a close); the panel is reset.
    void setProgram(std::shared_ptr<const LoadedProgram> program);
    // The work range in the operator's order, read at each poll.
    void setRangeSource(std::function<std::optional<std::pair<int32_t, int32_t>>()> range) {
        range_ = std::move(range);
    }

    void showWork(const WorkParams& work, int32_t speed);
    void showHfLevel(int32_t level) { view_.setLevel(level); }
    // The card's report of a pulse group switch.
    void groupSwitched(int group) { feed_.groupSwitched(group); }
    // "Press to Calculate": the work-piece thickness, 0..10000 mm; nothing on Cancel.
    void askThickness();
    // The segment the polls last named (-1 before any poll).
    int32_t polledSegment() const { return polledSegment_; }

private:
    CStatusView& view_;
    FeedControl feed_;
    OperatorInteraction& operatorUi_;
    std::function<QString()> boxTitle_;
    std::shared_ptr<const LoadedProgram> program_;
    std::vector<int64_t> prefix_;
    std::function<std::optional<std::pair<int32_t, int32_t>>()> range_;
    int32_t polledSegment_ = -1;
};

}  // namespace korvex
