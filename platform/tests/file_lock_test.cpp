#include "platform/file_lock.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace korvex {
namespace {

TEST(FileLock, LoadedProgramRefusesWritersUntilReleased) {
    QTemporaryDir dir;
    const QString path = dir.filePath("part.3b");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("B1000B0B1000GXL1\nDD\n");
    }
    EXPECT_EQ(probeWriteAccess(path), 0);

    ReadLockedFile held;
    ASSERT_EQ(held.open(path), 0);
    EXPECT_TRUE(held.isOpen());
    EXPECT_EQ(probeWriteAccess(path), -1);

    // A second reader (the same program shown twice) is allowed.
    ReadLockedFile second;
    EXPECT_EQ(second.open(path), 0);

    ReadLockedFile moved = std::move(held);
    EXPECT_FALSE(held.isOpen());
    second.close();
    EXPECT_EQ(probeWriteAccess(path), -1);
    moved.close();
    EXPECT_EQ(probeWriteAccess(path), 0);
    // The probe changed nothing.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "B1000B0B1000GXL1\nDD\n");
}

TEST(FileLock, MissingFilesAndUnwritableOnes) {
    QTemporaryDir dir;
    ReadLockedFile held;
    EXPECT_EQ(held.open(dir.filePath("absent.3b")), -1);
    EXPECT_FALSE(held.isOpen());
    EXPECT_EQ(probeWriteAccess(dir.filePath("absent.3b")), 0);
    EXPECT_EQ(probeWriteAccess(dir.path()), -2);  // a directory cannot be opened for writing
}

// A FIFO without a reader or writer would hold a blocking open for ever: neither the lock nor
// the probe waits on one, and neither takes anything but a regular file.
TEST(FileLock, OnlyRegularFilesAndNeverWaiting) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.3b");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        ReadLockedFile held;
        EXPECT_EQ(held.open(path), -1) << path.toStdString();
        EXPECT_FALSE(isReadableRegularFile(path));
    }
    EXPECT_EQ(probeWriteAccess(fifo), -2);
    EXPECT_EQ(probeWriteAccess(QStringLiteral("/dev/null")), -2);

    const QString path = dir.filePath("part.3b");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("DD\n");
    f.close();
    EXPECT_TRUE(isReadableRegularFile(path));
    ReadLockedFile held;
    ASSERT_EQ(held.open(path), 0);
    // The held file is told apart from another file, not by its path.
    QFile same(path);
    ASSERT_TRUE(same.open(QIODevice::ReadOnly));
    EXPECT_EQ(held.identity(), fileIdentity(same.handle()));
    EXPECT_NE(held.identity(), FileIdentity{});
    EXPECT_NE(fileIdentity(-1), held.identity());
}

}  // namespace
}  // namespace korvex
