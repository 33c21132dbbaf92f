#include "controller/pulse_table.h"

#include "controller/link/pulse_files.h"
#include "platform/data_dirs.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace korvex {

namespace {

// The text line after the 8 records of a dao.tbl image (empty when there is none).
QString nameLine(const QByteArray& data) {
    if (data.size() <= static_cast<qsizetype>(PulseTable::kTableBytes))
        return {};
    QByteArray line = data.mid(static_cast<qsizetype>(PulseTable::kTableBytes), PulseTable::kMaxNameBytes);
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    const qsizetype zero = line.indexOf('\0');
    if (zero >= 0)
        line.truncate(zero);
    return QString::fromUtf8(line).trimmed();
}

}  // namespace

void PulseTable::resetToDefaults(int trackingMode) {
    for (int i = 0; i < kGroupCount; ++i) {
        groups_[static_cast<std::size_t>(i)] = defaultPulseGroup(i, trackingMode);
    }
    name_.clear();
}

int PulseTable::read(const QString& path, int trackingMode) {
    resetToDefaults(trackingMode);
    QFile file(path);
    if (!file.exists()) {
        // First start on this PC: an empty file marks the place; the defaults stay in memory
        // and are written at the next write.
        return file.open(QIODevice::WriteOnly) ? 0 : -1;
    }
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.read(kTableBytes + kMaxNameBytes + 1);
    if (data.isNull() && file.error() != QFileDevice::NoError)
        return -1;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    const std::size_t available = static_cast<std::size_t>(data.size());
    for (int i = 0; i < kGroupCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * kPulseGroupBytes;
        if (at + kPulseGroupBytes > available)
            break;
        PulseGroup g = decodePulseGroup(std::span<const uint8_t, kPulseGroupBytes>(bytes + at, kPulseGroupBytes));
        if (g.feedValue < kFeedValueMin || g.feedValue > kFeedValueMax) {
            g.feedValue = kDefaultFeedValue;
            g.feed = feedEntry(trackingMode, kDefaultFeedValue);
        }
        g.index = static_cast<uint8_t>(i);  // a record's place is its index
        groups_[static_cast<std::size_t>(i)] = g;
    }
    name_ = nameLine(data);
    return 0;
}

int PulseTable::readName(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.read(kTableBytes + kMaxNameBytes + 1);
    if (data.isNull() && file.error() != QFileDevice::NoError)
        return -1;
    name_ = nameLine(data);
    return 0;
}

namespace {
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
}  // namespace

int PulseTable::write(const QString& path) const {
    PulseFile file;
    file.groups.assign(groups_.begin(), groups_.end());
    file.name = name_.toStdString();
    return writePulseFile(localPath(path), file);
}

int PulseTable::readUserTable(const QString& path) {
    PulseFile file;
    if (readPulseFile(localPath(path), file) != 0 || file.groups.size() != groups_.size() || file.name)
        return -1;
    std::copy(file.groups.begin(), file.groups.end(), groups_.begin());
    return 0;
}

int PulseTable::writeUserTable(const QString& path) const {
    PulseFile file;
    file.groups.assign(groups_.begin(), groups_.end());
    return writePulseFile(localPath(path), file);
}

QString pulseTablePath() { return parameterDirectory() + QStringLiteral("/dao.tbl"); }

}  // namespace korvex
