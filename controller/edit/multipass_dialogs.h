// The dialogs of the Multiple and Segment Multiple commands. OK hands the values to the command
// and closes only when the program was generated; on a failure the dialog stays open with the
// values as typed. Every field has an object name, so a scripted operator can fill it.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "geometry/multipass.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace korvex {

// One row per pass: its group ("dao1" .. "dao8") and its gap ("offset1" .. "offset8").
struct PassFields {
    std::array<QSpinBox*, kMultipassMaxCount> dao{};
    std::array<QDoubleSpinBox*, kMultipassMaxCount> offset{};
};

// "Multiple Loop Config".
class CMultipleDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "MultipleDialog";
    using Generate = std::function<bool(const MultipassSettings&)>;

    CMultipleDialog(const MultipassSettings& initial, Generate generate, QWidget* parent = nullptr);

    MultipassSettings settings() const;
    void accept() override;

private:
    void updateEnabled();

    Generate generate_;
    QComboBox* mode_;
    QComboBox* count_;
    QDoubleSpinBox* len_;
    QDoubleSpinBox* lastLen_;
    QCheckBox* once_;
    QCheckBox* firstGap_;
    PassFields passes_;
    QSpinBox* inDao_;
    QSpinBox* outDao_;
    QSpinBox* firstDao_;
    QSpinBox* lastDao_;
};

// "Segment Multiple Config".
class CSegmentMultipleDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "SegmentMultipleDialog";
    using Generate = std::function<bool(const SegmentMultipleSettings&)>;

    CSegmentMultipleDialog(const SegmentMultipleSettings& initial, Generate generate, QWidget* parent = nullptr);

    SegmentMultipleSettings settings() const;
    void accept() override;

private:
    void updateEnabled();

    Generate generate_;
    QDoubleSpinBox* len_;
    QComboBox* count_;
    PassFields passes_;
    QSpinBox* inDao_;
    QSpinBox* outDao_;
};

}  // namespace korvex
