#include "controller/config/mult_table.h"

#include "controller/card_control.h"
#include "controller/link/pulse_files.h"
#include "controller/machining/card_worker.h"
#include "controller/settings_keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvex {

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

PulseCells toCells(const PulseGroup& g) { return pulseCells(g); }

}  // namespace

GroupSwitchSettings readGroupSwitchSettings(const SettingsFile& file) {
    GroupSwitchSettings m;
    m.switchType = readKey(file, keys::kSwitchType);
    m.switchTime = readKey(file, keys::kSwitchTime);
    m.fixedVf = readKey(file, keys::kSwitchWithoutVf) != 0;
    m.defaultIndex = readKey(file, keys::kDefaultIndex);
    return m;
}

int writeGroupSwitchSettings(SettingsFile& file, const GroupSwitchSettings& m) {
    const QString section = QLatin1String(keys::kSwitchType.section);
    return file.writeInts(section, {{QLatin1String(keys::kSwitchType.key), m.switchType},
                                    {QLatin1String(keys::kSwitchTime.key), m.switchTime},
                                    {QLatin1String(keys::kSwitchWithoutVf.key), m.fixedVf ? 1 : 0},
                                    {QLatin1String(keys::kDefaultIndex.key), m.defaultIndex}});
}

QString pulseColumnTitle(int column) {
    static const char* const ids[] = {"config.col.index", "config.col.pw",  "config.col.pi",
                                      "config.col.fm",    "config.col.low", "config.col.amp",
                                      "config.col.ws",    "config.col.vf"};
    return column >= 0 && column < 8 ? qtTrId(ids[column]) : QString();
}

QString pulseCellMessage(const PulseCellError& e) {
    if (e.column == PulseColumn::Feed)
        return qtTrId("config.vf.error");
    return pulseColumnTitle(static_cast<int>(e.column) + 1) +
           qtTrId("config.cell.range").arg(e.low).arg(e.high);
}

MultTableModel::MultTableModel(const PulseTable& table, int trackingMode)
    : name_(table.tableName()), trackingMode_(trackingMode) {
    for (int i = 0; i < PulseTable::kGroupCount; ++i) {
        base_[static_cast<std::size_t>(i)] = table.group(i);
        cells_[static_cast<std::size_t>(i)] = toCells(table.group(i));
    }
}

std::optional<QString> MultTableModel::parseRow(int row, PulseGroup& out) const {
    if (const auto error = parsePulseCells(cells(row), row, trackingMode_, base_.at(static_cast<std::size_t>(row)), out))
        return pulseCellMessage(*error);
    return std::nullopt;
}

std::optional<QString> MultTableModel::parse(PulseTable& out) const {
    PulseTable parsed = out;
    for (int row = 0; row < PulseTable::kGroupCount; ++row) {
        if (auto message = parseRow(row, parsed.group(row)))
            return message;
    }
    parsed.setTableName(name_);
    out = parsed;
    return std::nullopt;
}

int MultTableModel::saveTable(const QString& path) const {
    PulseFile file;
    for (int row = 0; row < PulseTable::kGroupCount; ++row) {
        PulseGroup g;
        if (parseRow(row, g))
            return -1;
        file.groups.push_back(g);
    }
    return writePulseFile(localPath(path), file);
}

int MultTableModel::restoreTable(const QString& path) {
    PulseFile file;
    if (readPulseFile(localPath(path), file) != 0 || file.groups.size() != base_.size() || file.name)
        return -1;
    for (int row = 0; row < PulseTable::kGroupCount; ++row) {
        base_[static_cast<std::size_t>(row)] = file.groups[static_cast<std::size_t>(row)];
        cells_[static_cast<std::size_t>(row)] = toCells(file.groups[static_cast<std::size_t>(row)]);
    }
    name_ = QFileInfo(path).fileName();
    if (name_.endsWith(QLatin1String(".tbl"), Qt::CaseInsensitive))
        name_.chop(4);
    return 0;
}

int MultTableModel::saveRow(int row, const QString& path) const {
    PulseFile file;
    file.groups.emplace_back();
    if (parseRow(row, file.groups.back()))
        return -1;
    return writePulseFile(localPath(path), file);
}

int MultTableModel::loadRow(int row, const QString& path) {
    PulseFile file;
    if (readPulseFile(localPath(path), file) != 0 || file.groups.size() != 1)
        return -1;
    PulseGroup g = file.groups.front();
    g.index = static_cast<uint8_t>(row);  // the place gives the index
    base_.at(static_cast<std::size_t>(row)) = g;
    cells_.at(static_cast<std::size_t>(row)) = toCells(g);
    return 0;
}

QStringList MultTableModel::savedRows(const QString& directory) {
    QStringList names = QDir(directory).entryList({QStringLiteral("*.zif")}, QDir::Files, QDir::Name);
    while (names.size() > kMaxZifItems)
        names.removeLast();
    QStringList paths;
    for (const QString& n : names)
        paths << QDir(directory).filePath(n);
    return paths;
}

QString MultTableModel::savedRowText(const QString& path) {
    PulseFile file;
    if (readPulseFile(localPath(path), file) != 0 || file.groups.size() != 1)
        return {};
    const PulseGroup& g = file.groups.front();
    const int pi = g.pulseWidthUs == 0 ? 0 : g.pulseIntervalUs / g.pulseWidthUs;
    return qtTrId("config.zif.item")
        .arg(QFileInfo(path).completeBaseName())
        .arg(g.pulseWidthUs)
        .arg(pi)
        .arg(g.groupingHigh)
        .arg(g.groupingLow)
        .arg(g.current)
        .arg(g.wireSpeed)
        .arg(QString::number(g.feedValue / 2.0, 'f', 1));
}

bool MultTableModel::validRowName(const QString& name) {
    static const QString forbidden = QStringLiteral(".\\/:*?<>|");
    for (const QChar c : name) {
        if (forbidden.contains(c))
            return false;
    }
    return true;
}

int effectiveGroup(int currentGroup, int defaultGroup) {
    return currentGroup >= 0 && currentGroup < PulseTable::kGroupCount ? currentGroup : defaultGroup;
}

std::array<uint8_t, kFeedEntryBytes> feedRequestEntry(const PulseGroup& group, int trackingMode,
                                                      int shortSensitivity) {
    FeedTableEntry entry = feedEntry(trackingMode, group.feedValue);
    if (trackingMode != 1) {
        entry[1] = static_cast<int16_t>(entry[1] + shortSensitivity);
        entry[2] = static_cast<int16_t>(entry[2] + shortSensitivity);
    }
    std::array<uint8_t, kFeedEntryBytes> out{};
    for (std::size_t k = 0; k < entry.size(); ++k) {
        const auto u = static_cast<uint16_t>(entry[k]);
        out[2 * k] = static_cast<uint8_t>(u);
        out[2 * k + 1] = static_cast<uint8_t>(u >> 8);
    }
    return out;
}

CardSequence multTableSequence(CardControl& card, const PulseGroup& current, int trackingMode,
                               int shortSensitivity, bool fixedVf, bool hfOn,
                               std::function<void(bool)> done) {
    const auto feed = feedRequestEntry(current, trackingMode, shortSensitivity);
    const int value = current.feedValue;
    const PulseGroupImage image = encodePulseGroup(current);
    CardSequence seq("pulse table");
    seq.then([&card, feed, value](MachiningCard&) { return card.setFeed(feed, value) == 0; });
    seq.then([&card, fixedVf](MachiningCard&) { return card.setSwitchWithoutVf(fixedVf ? 1 : 0) == 0; });
    if (hfOn)
        seq.then([&card](MachiningCard&) { return card.setHf(false) == 0; });
    seq.then([&card, image](MachiningCard&) { return card.setPulseGroup(image) == 0; });
    seq.finally(std::move(done));
    return seq;
}

}  // namespace korvex
