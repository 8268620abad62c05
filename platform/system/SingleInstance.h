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
    // What became of a frame sent to the running instance.
    enum class SendResult {
        Answered,     // taken whole by the instance
        Unreachable,  // no socket, or nobody listening on it
        Dropped,      // the connection closed before an answer: the frame was not taken
        Unanswered,   // sent, but no answer in time: the instance may still take it later
    };
    // How a start that found the lock held ended.
    enum class Start { First, HandedOver, Failed };

    // folder: a private folder of this user; name: the instance's name, also the socket's.
    SingleInstance(std::string folder, std::string name, uint32_t frameTag, uint32_t frameSize,
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when no other instance holds the lock; held from then until Release or
    // destruction. False also when the lock file is not a regular file of this user (never
    // followed through a symlink); Refusal() then says why.
    bool Acquire();
    const std::string& Refusal() const { return refusal_; }
    // Starts accepting frames; needs the lock. False when the socket cannot be made now
    // (said once on standard error); it is tried again every second, as it is when the
    // server ever stops listening. Connections beyond a small number held at once are
    // closed at once.
    bool Listen();
    // Takes no frame from now on: the socket goes, and connections whose frame has not been
    // answered are closed, so that their senders try again.
    void StopListening();
    // Stops listening and lets the lock go while this process may still be ending, so that
    // a new start can be the first instance.
    void Release();

    // For a start that found the lock held: sends the frame to the holder. While nothing
    // takes it (the holder is still starting, or is ending and has closed its socket) it
    // tries again, and tries for the lock too, for at most windowMs; each answer is waited
    // for at most answerMs. Failed says why in *why.
    Start HandOver(const QByteArray& payload, int windowMs, int answerMs, std::string* why);

    // Sends one frame to the running instance and waits at most timeoutMs for its answer,
    // which it gives once the frame is whole, before FrameReceived is emitted.
    static SendResult Send(const std::string& folder, const std::string& name, uint32_t tag,
                           const QByteArray& payload, int timeoutMs);

    // folder/name, unless that is too long for a socket's address (107 bytes): then a name
    // made from it in a short private folder, the same for every instance.
    static std::string SocketPathFor(const std::string& folder, const std::string& name);
    std::string SocketPath() const { return SocketPathFor(folder_, name_); }

signals:
    void FrameReceived(const QByteArray& payload);

private:
    bool ListenAgain();
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    static SendResult SendTo(const std::string& path, uint32_t tag, const QByteArray& payload,
                             int timeoutMs);

    std::string folder_;
    std::string name_;
    uint32_t frameTag_;
    uint32_t frameSize_;
    int lockFd_ = -1;
    std::string refusal_;
    QLocalServer* server_ = nullptr;
    int heldConnections_ = 0;
    bool stopped_ = false;
    bool listenFailureSaid_ = false;  // a socket that cannot be made is said once, not each second
};
