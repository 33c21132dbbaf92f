// The Taper dialog's last values and machine type, kept in the card settings file (section
// "Taper"), so the dialog opens with them and a restart or a recovery sends the card the type
// chosen last. Lengths are kept in millimetres as typed (three decimals): a value stored in
// tenths would come back as 0 for a Below Height of 0.001.
#pragma once

#include <QString>

#include <cstdint>

#include "code/loader.h"

namespace korvex {

class SettingsFile;

// "Machine Type:": Slide, Swing, Lever.
enum TaperMachineType : int32_t { kTaperSlide = 0, kTaperSwing = 1, kTaperLever = 2 };
inline constexpr int32_t kTaperMachineTypeMax = kTaperLever;

struct TaperSettings {
    int32_t type = kTaperSlide;
    double height = 100.0;  // "Rollers's Distance:"
    double width = 20.0;    // "Thickness:"
    double base = 20.0;     // "Below Height:"
    double r = 0.0;         // "Roller's R:"
    double degree = 0.0;    // "Degree:"
    double rmin = 0.0;      // "Rmin:"
};

// The dialog's ranges; a stored value outside its range reads as the default.
struct TaperFieldRange {
    double min, max;
};
inline constexpr TaperFieldRange kTaperHeightRange{0.1, 100000.0};
inline constexpr TaperFieldRange kTaperWidthRange{0.1, 100000.0};
inline constexpr TaperFieldRange kTaperBaseRange{0.001, 100000.0};
inline constexpr TaperFieldRange kTaperRRange{0.0, 100.0};
inline constexpr TaperFieldRange kTaperDegreeRange{-89.999, 89.999};
inline constexpr TaperFieldRange kTaperRminRange{0.0, 10000.0};

TaperSettings readTaperSettings(const SettingsFile& file);
// 0, or -1 when a key could not be written.
int writeTaperSettings(SettingsFile& file, const TaperSettings& settings);
// The machine type alone, `fallback` when absent or out of range (what a load sends the card).
int32_t readTaperMachineType(const SettingsFile& file, int32_t fallback);

// 61520 "Height:%.1f  Width:%.1f  Base:%.1f  R:%.1f  Degree:%.2f": a loaded taper program's
// values as the card holds them (lengths in tenths, the angle in thousandths), for the graph.
QString taperValuesText(const TaperHeader& taper);

}  // namespace korvex
