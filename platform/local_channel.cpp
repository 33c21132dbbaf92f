#include "platform/local_channel.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QWidget>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace korvex {

namespace {

constexpr char kReceivedLine[] = "received";
// An answer line is a short word; anything longer is not our receiver talking.
constexpr int kMaxAnswerBytes = 64;

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// A folder only this user may enter: a real directory (not a symbolic link), ours, no access
// for group or others.
bool isPrivateFolder(const QByteArray& path, QString* error) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) {
        if (error) *error = QStringLiteral("%1: %2").arg(QFile::decodeName(path), systemText(errno));
        return false;
    }
    QString fault;
    if (S_ISLNK(st.st_mode))
        fault = QStringLiteral("is a symbolic link");
    else if (!S_ISDIR(st.st_mode))
        fault = QStringLiteral("is not a folder");
    else if (st.st_uid != ::geteuid())
        fault = QStringLiteral("belongs to another user");
    else if ((st.st_mode & 077) != 0)
        fault = QStringLiteral("may be entered by other users");
    if (fault.isEmpty()) return true;
    if (error) *error = QStringLiteral("%1 %2").arg(QFile::decodeName(path), fault);
    return false;
}

// Makes the folder with mode 0700 when it is missing (whatever the umask), then checks it.
bool makePrivateFolder(const QByteArray& path, QString* error) {
    if (::mkdir(path.constData(), 0700) == 0) {
        if (::chmod(path.constData(), 0700) != 0) {
            if (error) *error = QStringLiteral("%1: %2").arg(QFile::decodeName(path), systemText(errno));
            return false;
        }
    } else if (errno != EEXIST) {
        if (error) *error = QStringLiteral("%1: %2").arg(QFile::decodeName(path), systemText(errno));
        return false;
    }
    return isPrivateFolder(path, error);
}

// True when something accepts connections on the socket: a live receiver, even a slow one.
bool socketAnswers(const QByteArray& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        ::close(fd);
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const bool live = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return live;
}

bool isSocketFile(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

void writeLine(QLocalSocket* socket, const char* word) {
    socket->write(word);
    socket->write("\n");
    socket->flush();
}

}  // namespace

const char* answerWord(HandOffAnswer answer) {
    switch (answer) {
    case HandOffAnswer::Opened: return "opened";
    case HandOffAnswer::Refused: return "refused";
    case HandOffAnswer::Declined: return "declined";
    case HandOffAnswer::Failed: break;
    }
    return "failed";
}

const char* resultWord(SendResult result) {
    switch (result) {
    case SendResult::Opened: return answerWord(HandOffAnswer::Opened);
    case SendResult::Refused: return answerWord(HandOffAnswer::Refused);
    case SendResult::Declined: return answerWord(HandOffAnswer::Declined);
    case SendResult::Failed: return answerWord(HandOffAnswer::Failed);
    case SendResult::NotRunning: break;
    }
    return "not-running";
}

QString channelFolder(QString* error) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QString runtimeFault;
    if (runtime.startsWith('/') && isPrivateFolder(runtime, &runtimeFault)) {
        const QByteArray folder = runtime + '/' + kRuntimeSubfolder;
        if (makePrivateFolder(folder, error)) return QFile::decodeName(folder);
        return {};
    }
    // No runtime folder of ours: a per-user folder in the temporary directory, which anyone may
    // have made first, so it is only used when it passes the same checks.
    const QByteArray folder = QFile::encodeName(QDir::tempPath()) + '/' + kFallbackFolderPrefix +
                              QByteArray::number(static_cast<qulonglong>(::geteuid()));
    if (makePrivateFolder(folder, error)) return QFile::decodeName(folder);
    return {};
}

QString channelSocketPath(const QString& name, QString* error) {
    const QString folder = channelFolder(error);
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name;
}

std::optional<QString> requestPath(const QByteArray& bytes) {
    if (bytes.size() > kMaxPathBytes || bytes.contains('\0')) return std::nullopt;
    // A byte-order mark is kept as a character, so the text is exactly what was sent.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString path = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    if (!path.isEmpty() && !path.startsWith(QLatin1Char('/'))) return std::nullopt;
    return path;
}

QByteArray encodeRequest(const QString& path) {
    const QByteArray body = path.toUtf8();
    QByteArray request(kLengthBytes, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), request.data());
    return request + body;
}

std::optional<uid_t> peerUserId(qintptr socketDescriptor) {
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (socketDescriptor < 0 ||
        ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof(credentials))
        return std::nullopt;
    return credentials.uid;
}

void bringToFront(QWidget* window) {
    if (!window) return;
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

// ---------------------------------------------------------------------------------------------
// Receiver

HandOffReceiver::HandOffReceiver(QString name, Handler handler, QObject* parent)
    : QObject(parent), name_(std::move(name)), handler_(std::move(handler)) {}

HandOffReceiver::~HandOffReceiver() {
    if (server_) server_->close();  // removes our socket file
}

bool HandOffReceiver::isListening() const { return server_ && server_->isListening(); }

int HandOffReceiver::listen() {
    if (isListening()) return 0;
    socketPath_ = channelSocketPath(name_, &error_);
    if (socketPath_.isEmpty()) return -1;
    if (!server_) {
        server_ = new QLocalServer(this);
        // The folder keeps others out; the socket itself is bound in place, so an existing one
        // makes the bind fail instead of being renamed over.
        server_->setSocketOptions(QLocalServer::NoOptions);
        connect(server_, &QLocalServer::newConnection, this, &HandOffReceiver::acceptConnections);
    }
    if (server_->listen(socketPath_)) return 0;
    const QByteArray native = QFile::encodeName(socketPath_);
    if (isSocketFile(native)) {
        if (socketAnswers(native)) {
            error_ = QStringLiteral("%1 is in use by a running program").arg(socketPath_);
            return -2;
        }
        // Left by a program that ended without closing it.
        ::unlink(native.constData());
        if (server_->listen(socketPath_)) return 0;
    }
    error_ = QStringLiteral("%1: %2").arg(socketPath_, server_->errorString());
    return -3;
}

void HandOffReceiver::drop(QLocalSocket* socket) {
    emit connectionDropped();
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void HandOffReceiver::acceptConnections() {
    while (server_->hasPendingConnections()) {
        QLocalSocket* socket = server_->nextPendingConnection();
        const qintptr fd = socket->socketDescriptor();
        const std::optional<uid_t> peer = peerId_ ? peerId_(fd) : peerUserId(fd);
        if (!peer || *peer != ::geteuid() || open_ >= kMaxOpenConnections) {
            drop(socket);
            continue;
        }
        ++open_;
        connect(socket, &QObject::destroyed, this, [this] { --open_; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A connection that does not deliver its request in time makes room for others.
        auto* deadline = new QTimer(socket);
        deadline->setObjectName(QStringLiteral("requestDeadline"));
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, this, [this, socket] { drop(socket); });
        deadline->start(requestTimeoutMs_);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        readRequest(socket);
    }
}

void HandOffReceiver::readRequest(QLocalSocket* socket) {
    if (socket->bytesAvailable() < kLengthBytes) return;
    const QByteArray head = socket->peek(kLengthBytes);
    const quint32 length = qFromBigEndian<quint32>(head.constData());
    const bool tooLong = length > static_cast<quint32>(kMaxPathBytes);
    if (!tooLong && socket->bytesAvailable() < kLengthBytes + static_cast<qint64>(length)) return;

    // The request is whole (or hopeless): nothing more is read from this connection.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    if (auto* deadline = socket->findChild<QTimer*>(QStringLiteral("requestDeadline"))) deadline->stop();
    if (tooLong) {
        finishRequest(socket, QString(), HandOffAnswer::Failed);
        return;
    }
    socket->read(kLengthBytes);
    const std::optional<QString> path = requestPath(socket->read(length));
    if (!path) {
        finishRequest(socket, QString(), HandOffAnswer::Failed);
        return;
    }
    if (handling_) {
        finishRequest(socket, *path, HandOffAnswer::Refused);
        return;
    }
    writeLine(socket, kReceivedLine);
    handling_ = true;
    // Handled from the event loop, not inside the socket's signal: the handler may ask its
    // operator, and the connection may end meanwhile.
    QPointer<QLocalSocket> guarded(socket);
    QMetaObject::invokeMethod(
        this,
        [this, guarded, p = *path] {
            const HandOffAnswer answer = handler_ ? handler_(p) : HandOffAnswer::Failed;
            handling_ = false;
            finishRequest(guarded, p, answer);
        },
        Qt::QueuedConnection);
}

void HandOffReceiver::finishRequest(QPointer<QLocalSocket> socket, const QString& path, HandOffAnswer answer) {
    if (socket && socket->state() == QLocalSocket::ConnectedState) {
        writeLine(socket, answerWord(answer));
        socket->disconnectFromServer();  // after what was written has left
    }
    emit answered(path, answer);
}

// ---------------------------------------------------------------------------------------------
// Sender

HandOffSender::HandOffSender(QString receiverName, QObject* parent)
    : QObject(parent), name_(std::move(receiverName)) {
    answerTimer_.setSingleShot(true);
    connect(&answerTimer_, &QTimer::timeout, this, [this] { finish(SendResult::NotRunning); });
}

HandOffSender::~HandOffSender() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
}

bool HandOffSender::send(const QString& path) {
    if (busy()) return false;
    acknowledged_ = false;
    received_.clear();
    const QString socketPath = channelSocketPath(name_);
    if (socketPath.isEmpty()) {
        finish(SendResult::NotRunning);
        return true;
    }
    request_ = encodeRequest(path);
    socket_ = new QLocalSocket(this);
    connect(socket_, &QLocalSocket::connected, this, &HandOffSender::onConnected);
    connect(socket_, &QLocalSocket::readyRead, this, &HandOffSender::onReadyRead);
    // The answer may arrive together with the end of the connection: it is read first.
    auto ended = [this] {
        onReadyRead();
        if (socket_) finish(acknowledged_ ? SendResult::Failed : SendResult::NotRunning);
    };
    connect(socket_, &QLocalSocket::disconnected, this, ended);
    connect(socket_, &QLocalSocket::errorOccurred, this, ended);
    answerTimer_.start(answerTimeoutMs_);
    socket_->connectToServer(socketPath);
    return true;
}

void HandOffSender::onConnected() {
    // Only a receiver of our own user is told anything.
    const std::optional<uid_t> peer = peerUserId(socket_->socketDescriptor());
    if (!peer || *peer != ::geteuid()) {
        finish(SendResult::NotRunning);
        return;
    }
    socket_->write(request_);
    socket_->flush();
}

void HandOffSender::onReadyRead() {
    if (!socket_ || !socket_->isOpen()) return;
    received_ += socket_->readAll();
    qsizetype end;
    while (socket_ && (end = received_.indexOf('\n')) >= 0) {
        const QByteArray line = received_.left(end);
        received_.remove(0, end + 1);
        if (line == kReceivedLine) {
            acknowledged_ = true;
            answerTimer_.stop();  // the receiver's operator may take as long as needed
            continue;
        }
        for (HandOffAnswer answer : {HandOffAnswer::Opened, HandOffAnswer::Refused, HandOffAnswer::Declined,
                                     HandOffAnswer::Failed}) {
            if (line == answerWord(answer)) {
                finish(static_cast<SendResult>(answer));
                return;
            }
        }
        finish(SendResult::Failed);  // not our receiver's language
        return;
    }
    if (socket_ && received_.size() > kMaxAnswerBytes) finish(SendResult::Failed);
}

void HandOffSender::finish(SendResult result) {
    answerTimer_.stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    if (finishing_) return;
    finishing_ = true;
    // Always through the event loop, so a caller never sees finished() inside its send().
    QMetaObject::invokeMethod(
        this,
        [this, result] {
            finishing_ = false;
            emit finished(result);
        },
        Qt::QueuedConnection);
}

SendResult sendAndWait(const QString& receiverName, const QString& path, int answerTimeoutMs) {
    HandOffSender sender(receiverName);
    sender.setAnswerTimeoutMs(answerTimeoutMs);
    SendResult result = SendResult::NotRunning;
    QEventLoop loop;
    QObject::connect(&sender, &HandOffSender::finished, &loop, [&](SendResult r) {
        result = r;
        loop.quit();
    });
    sender.send(path);
    loop.exec();
    return result;
}

}  // namespace korvex
