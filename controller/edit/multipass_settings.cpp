#include "controller/edit/multipass_settings.h"

#include <cmath>

#include "controller/settings_keys.h"

namespace korvex {
namespace {

constexpr char kMultiple[] = "Multiple";
constexpr char kSingle[] = "SingleMultiple";

QString passKey(const char* name, int pass) { return QLatin1String(name) + QString::number(pass + 1); }

// A length stored as text: absent, not a number or outside [min, max] gives the fallback.
double readLength(const SettingsFile& file, const char* section, const QString& key, double fallback, double min,
                  double max) {
    const std::optional<QString> text = file.readText(QLatin1String(section), key);
    if (!text) return fallback;
    bool ok = false;
    const double v = text->trimmed().toDouble(&ok);
    return ok && std::isfinite(v) && v >= min && v <= max ? v : fallback;
}

QString lengthText(double v) { return QString::number(v, 'g', 12); }

template <typename Settings>
void readPasses(const SettingsFile& file, const char* section, Settings& s) {
    const Settings defaults;
    for (int p = 0; p < kMultipassMaxCount; ++p) {
        const auto i = static_cast<size_t>(p);
        s.dao[i] = file.readInt(QLatin1String(section), passKey("Dao", p), defaults.dao[i], keys::kPassGroupMin,
                                keys::kPassGroupMax);
        s.offset[i] = readLength(file, section, passKey("Offset", p), defaults.offset[i], -keys::kPassGapLimitMm,
                                 keys::kPassGapLimitMm);
    }
}

template <typename Settings>
int writePasses(SettingsFile& file, const char* section, const Settings& s) {
    int rc = 0;
    for (int p = 0; p < kMultipassMaxCount; ++p) {
        const auto i = static_cast<size_t>(p);
        rc |= file.writeInt(QLatin1String(section), passKey("Dao", p), s.dao[i]);
        rc |= file.writeText(QLatin1String(section), passKey("Offset", p), lengthText(s.offset[i]));
    }
    return rc;
}

}  // namespace

MultipassSettings readMultipleSettings(const SettingsFile& file) {
    MultipassSettings s;
    s.mode = readKey(file, keys::kMultipleMode);
    s.count = readKey(file, keys::kMultipleCount);
    s.len = readLength(file, kMultiple, QStringLiteral("Len"), 0, 0, HUGE_VAL);
    s.lastLen = readLength(file, kMultiple, QStringLiteral("LastLen"), 0, -keys::kPassGapLimitMm, keys::kPassGapLimitMm);
    s.once = readKey(file, keys::kMultipleOnce) != 0;
    s.firstGap = readKey(file, keys::kMultipleFirstGap) != 0;
    readPasses(file, kMultiple, s);
    s.inDao = readKey(file, keys::kMultipleInDao);
    s.outDao = readKey(file, keys::kMultipleOutDao);
    s.firstDao = readKey(file, keys::kMultipleFirstDao);
    s.lastDao = readKey(file, keys::kMultipleLastDao);
    return s;
}

SegmentMultipleSettings readSegmentMultipleSettings(const SettingsFile& file) {
    SegmentMultipleSettings s;
    s.len = readLength(file, kSingle, QStringLiteral("Len"), 0, -HUGE_VAL, HUGE_VAL);
    s.count = readKey(file, keys::kSingleMultipleCount);
    readPasses(file, kSingle, s);
    s.inDao = readKey(file, keys::kSingleMultipleInDao);
    s.outDao = readKey(file, keys::kSingleMultipleOutDao);
    return s;
}

int writeMultipleSettings(SettingsFile& file, const MultipassSettings& s) {
    int rc = 0;
    rc |= writeKey(file, keys::kMultipleMode, s.mode);
    rc |= writeKey(file, keys::kMultipleCount, s.count);
    rc |= file.writeText(QLatin1String(kMultiple), QStringLiteral("Len"), lengthText(s.len));
    rc |= file.writeText(QLatin1String(kMultiple), QStringLiteral("LastLen"), lengthText(s.lastLen));
    rc |= writeKey(file, keys::kMultipleOnce, s.once ? 1 : 0);
    rc |= writeKey(file, keys::kMultipleFirstGap, s.firstGap ? 1 : 0);
    rc |= writePasses(file, kMultiple, s);
    rc |= writeKey(file, keys::kMultipleInDao, s.inDao);
    rc |= writeKey(file, keys::kMultipleOutDao, s.outDao);
    rc |= writeKey(file, keys::kMultipleFirstDao, s.firstDao);
    rc |= writeKey(file, keys::kMultipleLastDao, s.lastDao);
    return rc == 0 ? 0 : -1;
}

int writeSegmentMultipleSettings(SettingsFile& file, const SegmentMultipleSettings& s) {
    int rc = 0;
    rc |= file.writeText(QLatin1String(kSingle), QStringLiteral("Len"), lengthText(s.len));
    rc |= writeKey(file, keys::kSingleMultipleCount, s.count);
    rc |= writePasses(file, kSingle, s);
    rc |= writeKey(file, keys::kSingleMultipleInDao, s.inDao);
    rc |= writeKey(file, keys::kSingleMultipleOutDao, s.outDao);
    return rc == 0 ? 0 : -1;
}

}  // namespace korvex
