// The hand-off channel over real sockets in a temporary runtime folder: what arrives, what is
// refused before it reaches the program, who may connect, and when a receiver counts as absent.
#include "platform/local_channel.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvex {
namespace {

constexpr int kWaitMs = 10000;  // only a stuck channel takes this long

void ensureApplication() {
    static int argc = 1;
    static char name[] = "local_channel_tests";
    static char* argv[] = {name};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

template <class F>
bool processUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

int modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// A Unix socket bound at `path`; listening or not, never accepting.
int boundSocket(const QString& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    if (listening) {
        EXPECT_EQ(::listen(fd, 4), 0);
    }
    return fd;
}

// Sends raw request bytes and returns everything the receiver wrote before closing.
QByteArray exchangeRaw(const QString& socketPath, const QByteArray& bytes) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    QByteArray got;
    bool ended = false;
    QObject::connect(&socket, &QLocalSocket::readyRead, [&] { got += socket.readAll(); });
    QObject::connect(&socket, &QLocalSocket::disconnected, [&] { ended = true; });
    if (!processUntil([&] { return socket.state() == QLocalSocket::ConnectedState || ended; })) return "timeout";
    socket.write(bytes);
    socket.flush();
    if (!processUntil([&] { return ended; })) return "timeout";
    return got + socket.readAll();
}

class LocalChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(runtime.isValid());
        previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", previous); }

    // A receiver named "Korvex" that records each path and answers `answer`.
    std::unique_ptr<HandOffReceiver> receiver(HandOffAnswer answer = HandOffAnswer::Opened) {
        auto r = std::make_unique<HandOffReceiver>(QString::fromLatin1(kControllerChannel), [this, answer](const QString& p) {
            handled << p;
            return answer;
        });
        EXPECT_EQ(r->listen(), 0) << r->errorText().toStdString();
        return r;
    }
    SendResult send(const QString& path, int timeoutMs = kDefaultAnswerTimeoutMs) {
        return sendAndWait(QString::fromLatin1(kControllerChannel), path, timeoutMs);
    }

    QTemporaryDir runtime;
    QByteArray previous;
    QStringList handled;
};

TEST_F(LocalChannelTest, SocketLiesInAFolderOnlyItsUserMayEnter) {
    auto r = receiver();
    const QString folder = runtime.path() + "/korvex";
    EXPECT_EQ(r->socketPath(), folder + "/Korvex");
    EXPECT_EQ(modeOf(folder), 0700);
    // A runtime folder others may enter is not used; the per-user fallback is, when it is safe.
    QTemporaryDir tmp;
    const QByteArray previousTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0755), 0);
    const QString fallback = tmp.path() + "/korvex-" + QString::number(::geteuid());
    EXPECT_EQ(channelFolder(), fallback);
    EXPECT_EQ(modeOf(fallback), 0700);
    // A fallback folder someone else could have prepared is refused: loose mode, or a link.
    ASSERT_EQ(::chmod(QFile::encodeName(fallback).constData(), 0777), 0);
    QString error;
    EXPECT_TRUE(channelFolder(&error).isEmpty());
    EXPECT_TRUE(error.contains("other users")) << error.toStdString();
    ASSERT_EQ(::rmdir(QFile::encodeName(fallback).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(tmp.path()).constData(), QFile::encodeName(fallback).constData()), 0);
    EXPECT_TRUE(channelFolder(&error).isEmpty());
    EXPECT_TRUE(error.contains("symbolic link")) << error.toStdString();
    EXPECT_EQ(sendAndWait("Korvex", "/x", 1000), SendResult::NotRunning);
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    qputenv("TMPDIR", previousTmp);
}

TEST_F(LocalChannelTest, PathArrivesWholeAndTheReceiversAnswerComesBack) {
    const QString path = QString::fromUtf8("/tmp/a folder/it's \"quoted\" 零件.3b");
    struct Case {
        HandOffAnswer answer;
        SendResult expected;
    };
    for (const Case c : {Case{HandOffAnswer::Opened, SendResult::Opened}, Case{HandOffAnswer::Refused, SendResult::Refused},
                         Case{HandOffAnswer::Declined, SendResult::Declined}, Case{HandOffAnswer::Failed, SendResult::Failed}}) {
        handled.clear();
        auto r = receiver(c.answer);
        EXPECT_EQ(send(path), c.expected);
        EXPECT_EQ(handled, QStringList{path});
    }
    // The empty request only brings the receiver forward; a path of the system's full length passes.
    handled.clear();
    auto r = receiver();
    EXPECT_EQ(send(QString()), SendResult::Opened);
    const QString longest = "/" + QString(kMaxPathBytes - 1, QLatin1Char('a'));
    EXPECT_EQ(send(longest), SendResult::Opened);
    EXPECT_EQ(handled, (QStringList{QString(), longest}));
}

TEST_F(LocalChannelTest, MalformedRequestsAreAnsweredFailedWithoutReachingTheProgram) {
    auto r = receiver();
    auto raw = [](const QByteArray& body) {
        QByteArray request(kLengthBytes, '\0');
        qToBigEndian<quint32>(static_cast<quint32>(body.size()), request.data());
        return request + body;
    };
    const QByteArray cases[] = {
        raw("relative/file.3b"),
        raw("/not\xff\xfe utf8.3b"),
        raw(QByteArray("/with\0nul.3b", 12)),
        raw("\xEF\xBB\xBF/bom.3b"),
        raw("/" + QByteArray(kMaxPathBytes, 'a')),
        QByteArray::fromHex("7fffffff") + "/whatever",  // an announced length far beyond the limit
    };
    for (const QByteArray& request : cases)
        EXPECT_EQ(exchangeRaw(r->socketPath(), request), "failed\n") << request.left(24).toStdString();
    EXPECT_TRUE(handled.isEmpty());
    EXPECT_EQ(send("relative.3b"), SendResult::Failed);
    EXPECT_TRUE(handled.isEmpty());
}

TEST_F(LocalChannelTest, AnotherUsersConnectionIsDroppedUnanswered) {
    auto r = receiver();
    int dropped = 0;
    QObject::connect(r.get(), &HandOffReceiver::connectionDropped, [&] { ++dropped; });
    r->setPeerIdSource([](qintptr) { return std::optional<uid_t>(::geteuid() + 1); });
    EXPECT_EQ(send("/tmp/x.3b"), SendResult::NotRunning);
    r->setPeerIdSource([](qintptr) { return std::optional<uid_t>(); });  // the system would not say
    EXPECT_EQ(send("/tmp/x.3b"), SendResult::NotRunning);
    EXPECT_EQ(dropped, 2);
    EXPECT_TRUE(handled.isEmpty());
    r->setPeerIdSource({});
    EXPECT_EQ(send("/tmp/x.3b"), SendResult::Opened);
}

TEST_F(LocalChannelTest, AbsentSilentAndStaleReceiversCountAsNotRunning) {
    EXPECT_EQ(send("/tmp/x.3b"), SendResult::NotRunning);  // no socket at all
    const QString socketPath = channelSocketPath(kControllerChannel);
    // A program that listens but never answers: the answer time runs out.
    const int stuck = boundSocket(socketPath, true);
    EXPECT_EQ(send("/tmp/x.3b", 200), SendResult::NotRunning);
    // A live socket is never taken over...
    HandOffReceiver second(kControllerChannel, [](const QString&) { return HandOffAnswer::Opened; });
    EXPECT_EQ(second.listen(), -2);
    ::close(stuck);
    // ...one left by a crashed program is replaced.
    EXPECT_EQ(send("/tmp/x.3b"), SendResult::NotRunning);
    EXPECT_EQ(second.listen(), 0) << second.errorText().toStdString();
    EXPECT_EQ(send("/tmp/x.3b"), SendResult::Opened);
}

TEST_F(LocalChannelTest, OneRequestAtATimeTheSecondIsRefusedWhileTheFirstAsks) {
    HandOffSender second(kControllerChannel);
    std::optional<SendResult> secondResult;
    QObject::connect(&second, &HandOffSender::finished, [&](SendResult r) { secondResult = r; });
    HandOffReceiver r(kControllerChannel, [&](const QString& p) {
        handled << p;
        // The operator is asked here; meanwhile another request comes in.
        second.send("/tmp/second.3b");
        EXPECT_TRUE(processUntil([&] { return secondResult.has_value(); }));
        return HandOffAnswer::Declined;
    });
    ASSERT_EQ(r.listen(), 0);
    EXPECT_EQ(send("/tmp/first.3b"), SendResult::Declined);
    EXPECT_EQ(secondResult, SendResult::Refused);
    EXPECT_EQ(handled, QStringList{"/tmp/first.3b"});
    EXPECT_FALSE(r.handling());
}

TEST_F(LocalChannelTest, SenderStaysBusyUntilFinishedAndAReceiverThatDiesMidRequestFails) {
    // A receiver that acknowledges and then ends before answering.
    QLocalServer dying;
    ASSERT_TRUE(dying.listen(channelSocketPath(kControllerChannel)));
    QObject::connect(&dying, &QLocalServer::newConnection, [&] {
        QLocalSocket* s = dying.nextPendingConnection();
        s->write("received\n");
        s->flush();
        s->disconnectFromServer();
    });
    HandOffSender sender(kControllerChannel);
    std::optional<SendResult> result;
    QObject::connect(&sender, &HandOffSender::finished, [&](SendResult got) { result = got; });
    EXPECT_TRUE(sender.send("/tmp/x.3b"));
    EXPECT_TRUE(sender.busy());
    EXPECT_FALSE(sender.send("/tmp/y.3b"));
    EXPECT_FALSE(result.has_value()) << "finished() never comes inside send()";
    ASSERT_TRUE(processUntil([&] { return result.has_value(); }));
    EXPECT_EQ(*result, SendResult::Failed);
    EXPECT_FALSE(sender.busy());
}

}  // namespace
}  // namespace korvex
