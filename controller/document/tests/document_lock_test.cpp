// The program file is held (read lock, writers refused) from before the load reads it until the
// program is unloaded; every load that fails lets it go, and a file that someone is writing, or
// that is not a regular file, is a failed open.
#include <gtest/gtest.h>

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "controller/document/tests/test_support.h"
#include "controller/document/wait_dialog.h"
#include "platform/file_lock.h"

namespace korvex::test {
namespace {

using Answer = OperatorInteraction::Answer;

// A writer that locks the file it writes, as the editor does while it saves.
class WriteLock {
public:
    explicit WriteLock(const QString& path) : fd_(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC)) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        locked_ = fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
    }
    ~WriteLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

class DocumentLock : public ::testing::Test {
protected:
    // Records what a writer of `path` would be told at each wait dialog.
    void probeAtEachDialog(const QString& path) {
        QObject::connect(&f.doc, &CDCSDoc::waitDialogStarted, &f.doc,
                         [this, path](CWaitDialog*) { probes.push_back(probeWriteAccess(path)); });
    }
    DocFixture f;
    std::vector<int> probes;
};

TEST_F(DocumentLock, TheFileIsHeldWhileItIsReadAndSentAndUntilTheProgramIsClosed) {
    const QString path = f.write("square.iso", isoSquare());
    probeAtEachDialog(path);
    ASSERT_TRUE(f.doc.openPath(path));
    // The reading dialog and the card's dialog: no writer got in at either.
    EXPECT_EQ(probes, (std::vector<int>{-1, -1}));
    EXPECT_TRUE(f.doc.holdsProgramFile());
    EXPECT_EQ(probeWriteAccess(path), -1);

    f.ui.answers = {Answer::Yes};
    ASSERT_TRUE(f.doc.closeProgram());
    EXPECT_EQ(probeWriteAccess(path), 0);
}

TEST_F(DocumentLock, EveryFailedLoadLetsTheFileGoAndTheOldOneWithIt) {
    struct Case {
        const char* name;
        std::string content;
        int cardResult;
        bool cancel;
    };
    const Case cases[] = {
        {"unknown.iso", "hello GDMT\n", 0, false},
        {"badline.iso", isoProgram({"G07 X1.000 Y0.000;"}), 0, false},
        {"refused.iso", isoSquare(), -1, false},
        {"cancelled.iso", isoWithJumps(100), 0, true},
    };
    const QString old = f.write("old.iso", isoSquare());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.card.loadResult = 0;
        ASSERT_TRUE(f.doc.openDocument(old));
        const QString path = f.write(QString::fromLatin1(c.name), c.content);
        f.card.loadResult = c.cardResult;
        probes.clear();
        const auto watch = QObject::connect(&f.doc, &CDCSDoc::waitDialogStarted, &f.doc,
                                            [&](CWaitDialog* d) {
                                                probes.push_back(probeWriteAccess(path));
                                                if (c.cancel) d->cancel();
                                            });
        EXPECT_FALSE(f.doc.openDocument(path));
        QObject::disconnect(watch);
        ASSERT_FALSE(probes.empty());
        EXPECT_EQ(probes.front(), -1);  // held while it was read
        // A failed load resets the document: nothing is loaded, so nothing is held.
        EXPECT_FALSE(f.doc.isLoaded());
        EXPECT_FALSE(f.doc.holdsProgramFile());
        EXPECT_EQ(probeWriteAccess(path), 0);
        EXPECT_EQ(probeWriteAccess(old), 0);
    }

    // A load refused before it starts (a name too long) leaves the loaded program and its file.
    f.card.loadResult = 0;
    ASSERT_TRUE(f.doc.openDocument(old));
    EXPECT_FALSE(f.doc.openDocument(f.write(QString(61, 'x') + ".iso", isoSquare())));
    EXPECT_TRUE(f.doc.isLoaded());
    EXPECT_EQ(probeWriteAccess(old), -1);
}

TEST_F(DocumentLock, AFileBeingWrittenIsAFailedOpen) {
    const QString path = f.write("busy.iso", isoSquare());
    {
        const WriteLock writer(path);
        ASSERT_TRUE(writer.locked());
        EXPECT_FALSE(f.doc.openPath(path));
        EXPECT_EQ(f.messageTexts(),
                  (std::vector<QString>{qtTrId("doc.file_locked").arg(path), qtTrId("61472")}));
        EXPECT_EQ(f.ui.messages.front().icon, OperatorInteraction::Icon::Critical);
        EXPECT_TRUE(f.card.codes().empty());
        EXPECT_FALSE(f.doc.isLoaded());
        EXPECT_FALSE(f.doc.holdsProgramFile());
    }
    // Once the writer is done the same file loads.
    EXPECT_TRUE(f.doc.openPath(path));
}

// A FIFO without a writer would hold a blocking open for ever, /dev/zero never ends: both fail
// at once, by every entry, as a file that can't be opened.
TEST_F(DocumentLock, OnlyRegularFilesAreOpened) {
    const QString fifo = f.dir.filePath("pipe.iso");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString directory = f.dir.filePath("folder.iso");
    ASSERT_TRUE(QDir().mkpath(directory));
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), directory}) {
        SCOPED_TRACE(path.toStdString());
        f.ui.messages.clear();
        EXPECT_FALSE(f.doc.openDocument(path));  // command line, recovery
        EXPECT_FALSE(f.doc.openPath(path));      // recent files, drops, the editor's hand-off
        EXPECT_EQ(f.messageTexts(), (std::vector<QString>{qtTrId("61475").arg(path),
                                                          qtTrId("61475").arg(path), qtTrId("61472")}));
        EXPECT_TRUE(f.card.codes().empty());
        EXPECT_FALSE(f.doc.holdsProgramFile());
    }
}

}  // namespace
}  // namespace korvex::test
