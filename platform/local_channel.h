// The hand-off channel between the two programs. Each main window listens on a local socket
// named after its window class ("Korvex", "Tavrel"); the other program connects, hands over one
// file path and waits for what the receiver made of it, as a drop that is sent, not posted,
// would wait.
//
// One request per connection:
//
//   sender                                   receiver
//     | -- length N (4 bytes, big-endian) --->  |  N <= kMaxPathBytes, else "failed"
//     | -- N bytes: absolute UTF-8 path ----->  |  N = 0: no file, only "come to the front"
//     | <------------------- "received\n" ---   |  whole, well-formed, and no other one running
//     |          (the receiver opens the file, asking its operator if it must)
//     | <------ "opened|refused|declined|failed\n"
//
// A malformed request (too long, not UTF-8, relative, a NUL inside) is answered "failed" at once
// and never reaches the program; one arriving while another is being handled is answered
// "refused" at once. Both without a dialog.
//
// Who may talk: the sockets lie in a folder only their user may enter (mode 0700, under
// $XDG_RUNTIME_DIR, else a per-user folder in the temporary directory that must be ours, 0700
// and no symbolic link), and the peer of every connection must run as our user (SO_PEERCRED),
// on both ends. A socket left by a crashed program is replaced; a live one is never taken over.
//
// Waiting: the sender runs no loop of its own and blocks nothing; finished() arrives through
// the event loop. A receiver that is not there or does not acknowledge within the answer time
// counts as not running; once it has acknowledged, it may take as long as its operator needs.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <sys/types.h>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace korvex {

inline constexpr char kControllerChannel[] = "Korvex";
inline constexpr char kEditorChannel[] = "Tavrel";

// The longest path a request may carry, in bytes (the system's own path limit).
inline constexpr int kMaxPathBytes = 4096;
inline constexpr int kLengthBytes = 4;
// A receiver must acknowledge a request within this; a connection must deliver its whole
// request within it too.
inline constexpr int kDefaultAnswerTimeoutMs = 5000;
// Connections waiting for their request at once; any beyond are dropped.
inline constexpr int kMaxOpenConnections = 8;
// The per-user folder used when $XDG_RUNTIME_DIR is not usable: <temp>/korvex-<uid>.
inline constexpr char kFallbackFolderPrefix[] = "korvex-";
inline constexpr char kRuntimeSubfolder[] = "korvex";

// What the receiver made of a request.
enum class HandOffAnswer { Opened, Refused, Declined, Failed };
// What the sender learns: the receiver's answer, or that no receiver is there.
enum class SendResult { Opened, Refused, Declined, Failed, NotRunning };

// "opened", "refused", "declined", "failed"; "not-running" for the sender's own result.
const char* answerWord(HandOffAnswer answer);
const char* resultWord(SendResult result);

// The folder the sockets lie in, created on first use. Empty, with `error` set, when no folder
// that only this user can enter is to be had.
QString channelFolder(QString* error = nullptr);
// The socket path of a channel name; empty when there is no safe folder.
QString channelSocketPath(const QString& name, QString* error = nullptr);

// The path a request carries, when it is acceptable: valid UTF-8 without NUL, absolute (or
// empty), at most kMaxPathBytes. Nothing otherwise.
std::optional<QString> requestPath(const QByteArray& bytes);
// The request bytes for a path (length prefix included).
QByteArray encodeRequest(const QString& path);

// The user id of a connected local socket's peer; nothing when the system does not say.
std::optional<uid_t> peerUserId(qintptr socketDescriptor);

// Restores a minimised window and brings it to the front, as a drop on it would.
void bringToFront(QWidget* window);

class HandOffReceiver : public QObject {
    Q_OBJECT
public:
    // Runs on the user-interface thread, once per request, never nested.
    using Handler = std::function<HandOffAnswer(const QString& path)>;
    using PeerIdSource = std::function<std::optional<uid_t>(qintptr socketDescriptor)>;

    HandOffReceiver(QString name, Handler handler, QObject* parent = nullptr);
    ~HandOffReceiver() override;

    // Starts listening. 0; -1 when there is no safe folder; -2 when a live receiver of this name
    // answers already (it is left alone); -3 when the socket cannot be made. errorText() says why.
    int listen();
    bool isListening() const;
    QString socketPath() const { return socketPath_; }
    QString errorText() const { return error_; }
    // True while the handler runs.
    bool handling() const { return handling_; }
    // Tests stand in a foreign peer here; by default the system's answer.
    void setPeerIdSource(PeerIdSource source) { peerId_ = std::move(source); }
    void setRequestTimeoutMs(int ms) { requestTimeoutMs_ = ms; }

signals:
    // A request was answered (after the handler, or at once when it was refused or malformed).
    void answered(const QString& path, korvex::HandOffAnswer answer);
    // A connection was dropped unanswered: a foreign peer, too many connections, or no whole
    // request in time.
    void connectionDropped();

private:
    void acceptConnections();
    void readRequest(QLocalSocket* socket);
    void finishRequest(QPointer<QLocalSocket> socket, const QString& path, HandOffAnswer answer);
    void drop(QLocalSocket* socket);

    QString name_;
    Handler handler_;
    PeerIdSource peerId_;
    QLocalServer* server_ = nullptr;
    QString socketPath_;
    QString error_;
    bool handling_ = false;
    int open_ = 0;
    int requestTimeoutMs_ = kDefaultAnswerTimeoutMs;
};

class HandOffSender : public QObject {
    Q_OBJECT
public:
    explicit HandOffSender(QString receiverName, QObject* parent = nullptr);
    ~HandOffSender() override;

    // Starts handing `path` over; finished() follows through the event loop, always exactly
    // once. False (and no finished()) while a hand-off is under way already.
    bool send(const QString& path);
    bool busy() const { return socket_ != nullptr || finishing_; }
    void setAnswerTimeoutMs(int ms) { answerTimeoutMs_ = ms; }

signals:
    void finished(korvex::SendResult result);

private:
    void onConnected();
    void onReadyRead();
    void finish(SendResult result);

    QString name_;
    QLocalSocket* socket_ = nullptr;
    QByteArray request_;
    QByteArray received_;
    QTimer answerTimer_;
    int answerTimeoutMs_ = kDefaultAnswerTimeoutMs;
    bool acknowledged_ = false;
    bool finishing_ = false;
};

// Sends and runs an event loop until the answer is there: for the command line, which has no
// window that could be kept responsive otherwise.
SendResult sendAndWait(const QString& receiverName, const QString& path,
                       int answerTimeoutMs = kDefaultAnswerTimeoutMs);

}  // namespace korvex
