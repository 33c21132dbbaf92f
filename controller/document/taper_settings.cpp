#include "controller/document/taper_settings.h"

#include <cmath>
#include <optional>

#include <QCoreApplication>

#include "platform/settings_file.h"

namespace korvex {
namespace {

constexpr char kSection[] = "Taper";

double readValue(const SettingsFile& file, const char* key, double fallback, TaperFieldRange range) {
    const std::optional<QString> text = file.readText(QLatin1String(kSection), QLatin1String(key));
    if (!text) return fallback;
    bool ok = false;
    const double v = text->trimmed().toDouble(&ok);
    return ok && std::isfinite(v) && v >= range.min && v <= range.max ? v : fallback;
}

QString valueText(double v) { return QString::number(v, 'f', 3); }

}  // namespace

TaperSettings readTaperSettings(const SettingsFile& file) {
    const TaperSettings d;
    TaperSettings s;
    s.type = readTaperMachineType(file, d.type);
    s.height = readValue(file, "Height", d.height, kTaperHeightRange);
    s.width = readValue(file, "Width", d.width, kTaperWidthRange);
    s.base = readValue(file, "Base", d.base, kTaperBaseRange);
    s.r = readValue(file, "R", d.r, kTaperRRange);
    s.degree = readValue(file, "Degree", d.degree, kTaperDegreeRange);
    s.rmin = readValue(file, "Rmin", d.rmin, kTaperRminRange);
    return s;
}

int writeTaperSettings(SettingsFile& file, const TaperSettings& s) {
    const QString section = QLatin1String(kSection);
    int rc = file.writeInt(section, QStringLiteral("Type"), s.type);
    rc |= file.writeText(section, QStringLiteral("Height"), valueText(s.height));
    rc |= file.writeText(section, QStringLiteral("Width"), valueText(s.width));
    rc |= file.writeText(section, QStringLiteral("Base"), valueText(s.base));
    rc |= file.writeText(section, QStringLiteral("R"), valueText(s.r));
    rc |= file.writeText(section, QStringLiteral("Degree"), valueText(s.degree));
    rc |= file.writeText(section, QStringLiteral("Rmin"), valueText(s.rmin));
    return rc == 0 ? 0 : -1;
}

int32_t readTaperMachineType(const SettingsFile& file, int32_t fallback) {
    return file.readInt(QLatin1String(kSection), QStringLiteral("Type"), fallback, 0, kTaperMachineTypeMax);
}

QString taperValuesText(const TaperHeader& t) {
    return qtTrId("61520")
        .arg(t.heightX10 / 10.0, 0, 'f', 1)
        .arg(t.widthX10 / 10.0, 0, 'f', 1)
        .arg(t.baseX10 / 10.0, 0, 'f', 1)
        .arg(t.radiusX10 / 10.0, 0, 'f', 1)
        .arg(t.angleX1000 / 1000.0, 0, 'f', 2);
}

}  // namespace korvex
