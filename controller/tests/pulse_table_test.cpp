#include "controller/pulse_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvex {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FeedTables, TellingRowsAndMonotonicPeriods) {
    struct Row { int v; FeedTableEntry first, second; };
    const Row rows[] = {
        {1, {2000, 2, 10, 0}, {2000, 750, 2000, 0}}, {2, {1900, 2, 10, 0}, {1900, 740, 2000, 0}},
        {10, {1210, 2, 10, 0}, {1210, 700, 1950, 0}}, {50, {500, 2, 10, 0}, {500, 500, 1560, 0}},
        {100, {90, 2, 10, 0}, {90, 288, 1330, 0}},    {150, {52, 2, 10, 0}, {52, 174, 1000, 0}},
        {199, {2, 2, 10, 0}, {3, 30, 340, 0}},        {200, {1, 2, 10, 0}, {2, 20, 300, 0}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(feedEntry(0, r.v), r.first) << r.v;
        EXPECT_EQ(feedEntry(1, r.v), r.second) << r.v;
    }
    for (int mode : {0, 1}) {
        for (int v = 2; v <= 200; ++v) {
            EXPECT_LE(feedEntry(mode, v)[0], feedEntry(mode, v - 1)[0]) << mode << "/" << v;
            EXPECT_EQ(feedEntry(mode, v)[3], 0);
        }
    }
}

TEST(PulseGroupRecord, ExactByteImageKeepsUnusedBytes) {
    std::array<uint8_t, kPulseGroupBytes> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(0x30 + i);
    const PulseGroup g = decodePulseGroup(bytes);
    EXPECT_EQ(g.pulseWidthUs, 0x33323130);
    EXPECT_EQ(g.index, 0x3A);
    EXPECT_EQ(g.current, 0x3D);
    EXPECT_EQ(g.feed[0], 0x4140);
    EXPECT_EQ(g.feedValue, 0x48);
    EXPECT_EQ(encodePulseGroup(g), bytes);

    PulseGroup fresh;
    fresh.pulseWidthUs = 20;
    fresh.pulseIntervalUs = 100;  // width 20 x Pi 5
    fresh.feedValue = 1;
    const PulseGroupImage image = encodePulseGroup(fresh);
    EXPECT_EQ(image[0], 20);
    EXPECT_EQ(image[4], 100);
    EXPECT_EQ(image[24], 1);
    EXPECT_EQ(image[12], 0);
}

TEST(PulseTableFile, MissingFileGivesDefaultsAndAnEmptyFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dao.tbl");
    PulseTable table;
    ASSERT_EQ(table.read(path, 1), 0);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(readAll(path).isEmpty());
    for (int i = 0; i < PulseTable::kGroupCount; ++i) {
        EXPECT_EQ(table.group(i).pulseWidthUs, 1);
        EXPECT_EQ(table.group(i).pulseIntervalUs, 1);
        EXPECT_EQ(table.group(i).index, i);
        EXPECT_EQ(table.group(i).feedValue, 100);
        EXPECT_EQ(table.group(i).feed, feedEntry(1, 100));
    }
    // An empty file (as left by the first start) reads as the defaults too.
    ASSERT_EQ(table.read(path, 0), 0);
    EXPECT_EQ(table.group(7).index, 7);
}

TEST(PulseTableFile, WriteThenReadGivesTheSameTableAndNameAtomically) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dao.tbl");
    PulseTable table;
    table.group(2).pulseWidthUs = 40;
    table.group(2).pulseIntervalUs = 240;
    table.group(2).wireSpeed = 7;
    table.group(5).feedValue = 1;
    table.setTableName(QString::fromUtf8("粗加工 rough"));
    ASSERT_EQ(table.write(path), 0);
    EXPECT_EQ(readAll(path).size(), qsizetype(PulseTable::kTableBytes) + QString::fromUtf8("粗加工 rough").toUtf8().size());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"dao.tbl"});

    PulseTable back;
    ASSERT_EQ(back.read(path, 0), 0);
    EXPECT_EQ(back.group(2).pulseWidthUs, 40);
    EXPECT_EQ(back.group(2).pulseIntervalUs, 240);
    EXPECT_EQ(back.group(2).wireSpeed, 7);
    EXPECT_EQ(back.group(5).feedValue, 1);
    EXPECT_EQ(back.tableName(), QString::fromUtf8("粗加工 rough"));

    // A write that cannot complete leaves the old file whole.
    const QByteArray before = readAll(path);
    ASSERT_TRUE(QDir(dir.path()).mkdir("blocked"));
    EXPECT_EQ(table.write(dir.filePath("blocked")), -1);
    EXPECT_EQ(readAll(path), before);
}

TEST(PulseTableFile, DamagedFilesNeverGiveUnusableGroups) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dao.tbl");
    PulseTable table;
    table.group(0).feedValue = 0;    // outside 1..200
    table.group(1).feedValue = 201;
    table.group(3).pulseWidthUs = 55;
    ASSERT_EQ(table.write(path), 0);
    // Cut inside the fifth record: the first four are kept, the rest stay default.
    QFile f(path);
    ASSERT_TRUE(f.resize(4 * kPulseGroupBytes + 10));
    PulseTable back;
    ASSERT_EQ(back.read(path, 0), 0);
    EXPECT_EQ(back.group(0).feedValue, 100);
    EXPECT_EQ(back.group(1).feedValue, 100);
    EXPECT_EQ(back.group(1).feed, feedEntry(0, 100));
    EXPECT_EQ(back.group(3).pulseWidthUs, 55);
    EXPECT_EQ(back.group(4).pulseWidthUs, 1);
    EXPECT_TRUE(back.tableName().isEmpty());

    // A path that exists but is no file cannot be read.
    ASSERT_TRUE(QDir(dir.path()).mkdir("dir.tbl"));
    EXPECT_EQ(back.read(dir.filePath("dir.tbl"), 0), -1);
}

TEST(PulseTableFile, UserTableIsTakenWholeOrNotAtAll) {
    QTemporaryDir dir;
    PulseTable saved;
    saved.group(6).pulseWidthUs = 12;
    saved.group(6).index = 1;  // the place, not this byte, is the index
    ASSERT_EQ(saved.writeUserTable(dir.filePath("u.tbl")), 0);
    EXPECT_EQ(readAll(dir.filePath("u.tbl")).size(), qsizetype(PulseTable::kTableBytes));

    PulseTable table;
    table.setTableName("kept");
    ASSERT_EQ(table.readUserTable(dir.filePath("u.tbl")), 0);
    EXPECT_EQ(table.group(6).pulseWidthUs, 12);
    EXPECT_EQ(table.group(6).index, 6);

    // A row with V.F. 0 in an otherwise good file: nothing is taken.
    QByteArray bad = readAll(dir.filePath("u.tbl"));
    bad[7 * 28 + 24] = 0;
    QFile f(dir.filePath("bad.tbl"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bad);
    f.close();
    PulseTable untouched;
    EXPECT_EQ(untouched.readUserTable(dir.filePath("bad.tbl")), -1);
    EXPECT_EQ(untouched.group(6).pulseWidthUs, 1);
    // dao.tbl (with its name line) is no saved table.
    saved.setTableName("named");
    ASSERT_EQ(saved.write(dir.filePath("dao.tbl")), 0);
    EXPECT_EQ(untouched.readUserTable(dir.filePath("dao.tbl")), -1);
}

}  // namespace
}  // namespace korvex
