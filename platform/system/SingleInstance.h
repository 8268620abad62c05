#pragma once

// One running instance per user: a lock file held with flock, and a local socket through
// which a later instance hands its request to the running one. A frame is a 4-byte tag,
// a 4-byte size (both little-endian) and the payload; only frames with the expected tag
// and size are delivered, everything else is dropped with its connection.

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <string>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // folder: a private folder of this user; name: the instance's name, also the socket's.
    SingleInstance(std::string folder, std::string name, uint32_t frameTag, uint32_t frameSize,
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when no other instance holds the lock; held from then until destruction. False
    // also when the lock file is not a regular file of this user (never followed through a
    // symlink); Refusal() then says why.
    bool Acquire();
    const std::string& Refusal() const { return refusal_; }
    // Starts accepting frames; needs the lock. False when the socket cannot be made now;
    // it is tried again every second, as it is when the server ever stops listening.
    // Connections beyond a small number held at once are closed at once.
    bool Listen();

    // Sends one frame to the running instance and waits at most timeoutMs for its answer.
    // The instance answers after its handler of FrameReceived has returned.
    static bool Send(const std::string& folder, const std::string& name, uint32_t tag,
                     const QByteArray& payload, int timeoutMs);

    std::string SocketPath() const;

signals:
    void FrameReceived(const QByteArray& payload);

private:
    bool ListenAgain();
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    std::string folder_;
    std::string name_;
    uint32_t frameTag_;
    uint32_t frameSize_;
    int lockFd_ = -1;
    std::string refusal_;
    QLocalServer* server_ = nullptr;
    int heldConnections_ = 0;
};
