// The values of the Multiple and Segment Multiple dialogs in the card's settings file, sections
// "Multiple" and "SingleMultiple". They are read when a dialog opens and written only after a
// program was generated; a value outside its range reads as absent, so its default is used.
#pragma once

#include "geometry/multipass.h"
#include "platform/settings_file.h"

namespace korvex {

MultipassSettings readMultipleSettings(const SettingsFile& file);
SegmentMultipleSettings readSegmentMultipleSettings(const SettingsFile& file);

// 0, or -1 when a key could not be written.
int writeMultipleSettings(SettingsFile& file, const MultipassSettings& s);
int writeSegmentMultipleSettings(SettingsFile& file, const SegmentMultipleSettings& s);

}  // namespace korvex
