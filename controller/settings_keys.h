// The integer keys of the two settings files with their defaults and the ranges a value must
// lie in to be used: a value outside its range counts as absent, so a hand-edited or damaged
// file can never index past a table.
#pragma once

#include "platform/settings_file.h"

#include <climits>

namespace korvex {

struct IntKey {
    const char* section;
    const char* key;
    int fallback;
    int min;
    int max;
};

inline int readKey(const SettingsFile& file, const IntKey& k) {
    return file.readInt(QLatin1String(k.section), QLatin1String(k.key), k.fallback, k.min, k.max);
}
inline int writeKey(SettingsFile& file, const IntKey& k, int value) {
    return file.writeInt(QLatin1String(k.section), QLatin1String(k.key), value);
}

namespace keys {
// Korvex.ini [Fleet]: the shop-floor broker this machine reports to (off while Broker is empty).
inline constexpr char kFleetSection[] = "Fleet";
inline constexpr char kFleetBrokerKey[] = "Broker";
inline constexpr IntKey kFleetPort{"Fleet", "Port", 1883, 1, 65535};
inline constexpr IntKey kFleetTls{"Fleet", "Tls", 0, 0, 1};
inline constexpr char kFleetCaFileKey[] = "CaFile";
inline constexpr char kFleetUserKey[] = "User";
inline constexpr char kFleetPasswordFileKey[] = "PasswordFile";
inline constexpr char kFleetTopicKey[] = "Topic";
// Korvex.ini, shared by every card of this PC.
inline constexpr IntKey kRecentCount{"Mru File", "FileNum", 0, 0, 4};
inline constexpr char kRecentSection[] = "Mru File";
inline constexpr IntKey kComPort{"Port", "COMM", 3, 1, 256};
// A device without a COM number (a USB adapter not mapped to one, the virtual card) that was
// chosen last; offered first at the next start. Cleared when a COM port is chosen.
inline constexpr char kPortSection[] = "Port";
inline constexpr char kPortDeviceKey[] = "Device";
inline constexpr IntKey kNoForceZero{"Option", "NoForceZero", 0, 0, 1};
inline constexpr IntKey kShutMusic{"Option", "ShutMusic", 0, 0, 1};
inline constexpr IntKey kDefaultTaperType{"Option", "DefaultZD", 1, 0, 16};
inline constexpr IntKey kNoFunctionKeys{"Option", "NoVKF", 0, INT_MIN, INT_MAX};
// The service centre the SMS Config dialog proposes when the card's own is empty.
inline constexpr char kOptionSection[] = "Option";
inline constexpr char kDefaultSmscKey[] = "DefaultSMSC";

// The per-card "<id>.ini".
inline constexpr char kDocSection[] = "Doc";
inline constexpr char kLastFileKey[] = "LastFile";
// The mobile notice: service centre, 0 message or 1 call (other values count as absent), number.
inline constexpr char kWorkSection[] = "Work";
inline constexpr char kSmscKey[] = "SMSC";
inline constexpr IntKey kNoticeType{"Work", "NoticeType", 0, 0, 1};
inline constexpr char kNoticeNumberKey[] = "NoticeNumber";
// One-shot power-off after the next finished cut or pause (reset as soon as it is read).
inline constexpr IntKey kAutoShutEnd{"AutoShut", "End", 0, INT_MIN, INT_MAX};
inline constexpr IntKey kAutoShutPause{"AutoShut", "Pause", 0, INT_MIN, INT_MAX};
inline constexpr IntKey kNoStopAll{"Others", "NoStopAll", 0, INT_MIN, INT_MAX};
inline constexpr IntKey kSettingNotice{"Others", "SettingNotice", 1, 0, 1};
inline constexpr IntKey kShortSensitivity{"Others", "ShortSensitivity", 0, 0, 500};
inline constexpr IntKey kFreq{"Speed", "Freq", 150, 1, 200};
inline constexpr IntKey kDefaultIndex{"Multiple", "DefaultIndex", 0, 0, 7};
inline constexpr IntKey kSwitchType{"Multiple", "SwitchType", 0, 0, 3};
inline constexpr IntKey kSwitchTime{"Multiple", "SwitchTime", 5, 0, 9};
inline constexpr IntKey kSwitchWithoutVf{"Multiple", "SwitchWithoutVF", 0, 0, 1};
// The Multiple and Segment Multiple dialogs' values (the per-pass "Dao%d" and "Offset%d" keys
// and the lengths are read by the multi-pass settings module with these ranges).
inline constexpr IntKey kMultipleMode{"Multiple", "Mode", 0, 0, 1};
inline constexpr IntKey kMultipleCount{"Multiple", "Count", 3, 2, 8};
inline constexpr IntKey kMultipleOnce{"Multiple", "Once", 0, 0, 1};
inline constexpr IntKey kMultipleFirstGap{"Multiple", "FirstGap", 0, 0, 1};
inline constexpr IntKey kMultipleInDao{"Multiple", "InDao", 0, 0, 7};
inline constexpr IntKey kMultipleOutDao{"Multiple", "OutDao", 0, 0, 7};
inline constexpr IntKey kMultipleFirstDao{"Multiple", "FirstDao", 0, 0, 7};
inline constexpr IntKey kMultipleLastDao{"Multiple", "LastDao", 0, 0, 7};
inline constexpr IntKey kSingleMultipleCount{"SingleMultiple", "Count", 3, 2, 8};
inline constexpr IntKey kSingleMultipleInDao{"SingleMultiple", "InDao", 0, 0, 7};
inline constexpr IntKey kSingleMultipleOutDao{"SingleMultiple", "OutDao", 0, 0, 7};
inline constexpr int kPassGroupMin = 0, kPassGroupMax = 7;   // "Dao1" .. "Dao8"
inline constexpr double kPassGapLimitMm = 5.0;               // "Offset1" .. "Offset8", LastLen
}  // namespace keys

}  // namespace korvex
