#include "platform/system/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>
#include <QtEndian>

#include "platform/system/Paths.h"

namespace {

constexpr int kHeaderSize = 8;
// A peer that connects and then stalls must not hold a connection open for ever.
constexpr int kConnectionTimeoutMs = 2000;
constexpr char kAnswer = 1;
// A hand-over takes one connection for a moment; more at once come from a local process
// hoarding them, and each held one costs a file handle the player needs elsewhere.
constexpr int kMaxHeldConnections = 16;
// Qt closes the server for good when accept() fails (file handles ran out); looking this
// often is enough to take hand-overs again soon after.
constexpr int kListenCheckMs = 1000;
constexpr char kBufferProperty[] = "kalvorFrame";
constexpr size_t kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;
// Long enough that no two long folders of one user meet under the same short name.
constexpr int kShortNameLength = 24;
// Between two tries of a hand-over that nothing took yet.
constexpr auto kRetryPause = std::chrono::milliseconds(20);

}  // namespace

SingleInstance::SingleInstance(std::string folder, std::string name, uint32_t frameTag,
                               uint32_t frameSize, QObject* parent)
    : QObject(parent),
      folder_(std::move(folder)),
      name_(std::move(name)),
      frameTag_(frameTag),
      frameSize_(frameSize) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lockFd_ >= 0) ::close(lockFd_);  // releases the flock
}

std::string SingleInstance::SocketPathFor(const std::string& folder, const std::string& name) {
    const std::string path = paths::Join(folder, name);
    if (path.size() <= kMaxSocketPath) return path;
    const std::string shortName = QCryptographicHash::hash(QByteArray::fromStdString(path),
                                                           QCryptographicHash::Sha256)
                                      .toHex()
                                      .left(kShortNameLength)
                                      .toStdString();
    const std::string shortFolder = paths::ShortPrivateFolder(kMaxSocketPath - kShortNameLength - 1);
    return shortFolder.empty() ? path : paths::Join(shortFolder, shortName);
}

bool SingleInstance::Acquire() {
    if (lockFd_ >= 0) return true;
    refusal_.clear();
    const std::string lockPath = paths::Join(folder_, name_ + ".lock");
    // Whatever stands under the lock's name is never followed or waited on: a lock taken
    // through a symlink or on a FIFO would not be the lock every other instance takes.
    const int fd =
        ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        refusal_ = "the lock file " + lockPath + " is refused (" +
                   (errno == ELOOP ? std::string("a symlink") : std::strerror(errno)) + ")";
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        refusal_ = "the lock file " + lockPath + " is refused (" +
                   (S_ISREG(info.st_mode) ? "owned by another user" : "not a regular file") + ")";
        ::close(fd);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool SingleInstance::Listen() {
    if (lockFd_ < 0) return false;
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
        auto* check = new QTimer(this);
        connect(check, &QTimer::timeout, this, &SingleInstance::ListenAgain);
        check->start(kListenCheckMs);
    }
    return ListenAgain();
}

bool SingleInstance::ListenAgain() {
    if (stopped_) return false;
    if (server_->isListening()) return true;
    const std::string path = SocketPath();
    // Holding the lock means a socket file left there belongs to an instance that died.
    QLocalServer::removeServer(QString::fromStdString(path));
    if (server_->listen(QString::fromStdString(path))) {
        listenFailureSaid_ = false;
        return true;
    }
    if (!listenFailureSaid_) {
        const std::string why = path.size() > kMaxSocketPath
                                    ? "the path is longer than a socket's address allows"
                                    : server_->errorString().toStdString();
        std::fprintf(stderr, "%s: the hand-over socket %s cannot be made (%s); later starts "
                     "cannot hand their files over\n",
                     program_invocation_short_name, path.c_str(), why.c_str());
        listenFailureSaid_ = true;
    }
    return false;
}

void SingleInstance::StopListening() {
    stopped_ = true;
    if (!server_) return;
    server_->close();
    for (QLocalSocket* socket : server_->findChildren<QLocalSocket*>()) socket->abort();
}

void SingleInstance::Release() {
    StopListening();
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (stopped_ || heldConnections_ >= kMaxHeldConnections) {
            socket->abort();
            delete socket;
            continue;
        }
        ++heldConnections_;
        connect(socket, &QObject::destroyed, this, [this] { --heldConnections_; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        QTimer::singleShot(kConnectionTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

void SingleInstance::OnReadyRead(QLocalSocket* socket) {
    QByteArray frame = socket->property(kBufferProperty).toByteArray();
    const qint64 wanted = kHeaderSize + static_cast<qint64>(frameSize_) - frame.size();
    // Never read beyond one frame: anything more makes the frame malformed.
    frame += socket->read(wanted + 1);
    if (frame.size() >= kHeaderSize) {
        const uint32_t tag = qFromLittleEndian<quint32>(frame.constData());
        const uint32_t size = qFromLittleEndian<quint32>(frame.constData() + 4);
        if (tag != frameTag_ || size != frameSize_ || frame.size() > kHeaderSize + qint64(size)) {
            socket->abort();
            return;
        }
        if (frame.size() == kHeaderSize + qint64(size)) {
            // The answer goes first: a handler that runs a loop of its own must not keep the
            // sender waiting until it gives up. A sender that gave up already has said the
            // hand-over failed, so its frame is not taken.
            socket->setProperty(kBufferProperty, QByteArray());
            const bool answered = socket->write(&kAnswer, 1) == 1 && socket->flush();
            socket->disconnectFromServer();
            if (answered) emit FrameReceived(frame.mid(kHeaderSize));
            return;
        }
    }
    socket->setProperty(kBufferProperty, frame);
}

SingleInstance::Start SingleInstance::HandOver(const QByteArray& payload, int windowMs,
                                               int answerMs, std::string* why) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(windowMs);
    const std::string path = SocketPath();
    SendResult result = SendResult::Unreachable;
    for (;;) {
        if (Acquire()) return Start::First;
        if (!refusal_.empty()) {
            if (why) *why = refusal_;
            return Start::Failed;
        }
        result = SendTo(path, frameTag_, payload, answerMs);
        if (result == SendResult::Answered) return Start::HandedOver;
        // A frame that was sent and not answered may still be taken: sending it again
        // could apply it twice.
        if (result == SendResult::Unanswered || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kRetryPause);
    }
    if (why) {
        *why = result == SendResult::Unanswered
                   ? "it did not answer within " + std::to_string(answerMs / 1000) + " s"
               : result == SendResult::Dropped ? "it closed every connection unanswered"
                                               : "nothing listens on " + path;
    }
    return Start::Failed;
}

SingleInstance::SendResult SingleInstance::Send(const std::string& folder, const std::string& name,
                                                uint32_t tag, const QByteArray& payload,
                                                int timeoutMs) {
    return SendTo(SocketPathFor(folder, name), tag, payload, timeoutMs);
}

SingleInstance::SendResult SingleInstance::SendTo(const std::string& path, uint32_t tag,
                                                  const QByteArray& payload, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(timeoutMs)) return SendResult::Unreachable;
    QByteArray frame(kHeaderSize, '\0');
    qToLittleEndian<quint32>(tag, frame.data());
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), frame.data() + 4);
    frame += payload;
    socket.write(frame);
    socket.waitForBytesWritten(timeoutMs);  // the answer, or its lack, tells what came of it
    while (socket.bytesAvailable() == 0 && socket.state() == QLocalSocket::ConnectedState &&
           socket.waitForReadyRead(timeoutMs)) {
    }
    if (socket.bytesAvailable() > 0 && socket.read(1).size() == 1) {
        socket.disconnectFromServer();
        return SendResult::Answered;
    }
    return socket.state() == QLocalSocket::ConnectedState ? SendResult::Unanswered
                                                          : SendResult::Dropped;
}
