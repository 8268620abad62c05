#include "platform/system/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

std::string SingleInstance::SocketPath() const { return paths::Join(folder_, name_); }

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
    if (server_->isListening()) return true;
    const QString path = QString::fromStdString(SocketPath());
    // Holding the lock means a socket file left there belongs to an instance that died.
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (heldConnections_ >= kMaxHeldConnections) {
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
            socket->setProperty(kBufferProperty, QByteArray());
            emit FrameReceived(frame.mid(kHeaderSize));
            socket->write(&kAnswer, 1);
            socket->flush();
            socket->disconnectFromServer();
            return;
        }
    }
    socket->setProperty(kBufferProperty, frame);
}

bool SingleInstance::Send(const std::string& folder, const std::string& name, uint32_t tag,
                          const QByteArray& payload, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(paths::Join(folder, name)));
    if (!socket.waitForConnected(timeoutMs)) return false;
    QByteArray frame(kHeaderSize, '\0');
    qToLittleEndian<quint32>(tag, frame.data());
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), frame.data() + 4);
    frame += payload;
    socket.write(frame);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    const bool answered = socket.waitForReadyRead(timeoutMs) && socket.read(1).size() == 1;
    socket.disconnectFromServer();
    return answered;
}
