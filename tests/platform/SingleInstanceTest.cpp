// One instance per user, and a socket that only ever delivers well-formed frames: anything
// a local process writes to it must be dropped without harm.

#include <gtest/gtest.h>

#include <QLocalSocket>
#include <QtEndian>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <functional>
#include <future>
#include <vector>

#include "platform/system/SingleInstance.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

constexpr uint32_t kTag = 0x6ABE51;
constexpr uint32_t kSize = 16;
constexpr char kName[] = "TEST-INSTANCE";

class SingleInstanceTest : public TempFolderTest {
protected:
    std::string Folder() const { return env_.RuntimeDir(); }

    // Send blocks, so it runs on another thread while this one serves the socket.
    SingleInstance::SendResult SendFromThread(uint32_t tag, const QByteArray& payload,
                                              const std::string& folder = {}) {
        auto sent = std::async(std::launch::async, [&] {
            return SingleInstance::Send(folder.empty() ? Folder() : folder, kName, tag, payload, 20000);
        });
        qttest::WaitUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return sent.get();
    }

    // Writes raw bytes as a misbehaving client would, then hangs up.
    void WriteRaw(const QByteArray& bytes) {
        auto done = std::async(std::launch::async, [&] {
            QLocalSocket socket;
            socket.connectToServer(QString::fromStdString(Folder() + "/" + kName));
            if (!socket.waitForConnected(20000)) return;
            socket.write(bytes);
            socket.waitForBytesWritten(20000);
            socket.waitForReadyRead(300);
            socket.disconnectFromServer();
        });
        qttest::WaitUntil([&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        qttest::Pump(50);
    }

    static QByteArray Frame(uint32_t tag, uint32_t size, const QByteArray& payload) {
        QByteArray frame(8, '\0');
        qToLittleEndian<quint32>(tag, frame.data());
        qToLittleEndian<quint32>(size, frame.data() + 4);
        return frame + payload;
    }
};

TEST_F(SingleInstanceTest, OnlyOneHolderAtATime) {
    auto first = std::make_unique<SingleInstance>(Folder(), kName, kTag, kSize);
    SingleInstance second(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(first->Acquire());
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire());
}

TEST_F(SingleInstanceTest, ALockFileThatIsNotARegularFileOfOursIsRefusedAndNeverFollowed) {
    const std::string lock = Folder() + "/" + kName + ".lock";
    const std::string target = env_.Path("target");
    struct Case {
        const char* what;
        std::function<void()> plant;
    };
    const Case cases[] = {
        {"symlink to a file", [&] {
             TempEnvironment::WriteFile(target, "keep");
             std::filesystem::create_symlink(target, lock);
         }},
        {"dangling symlink", [&] { std::filesystem::create_symlink(target, lock); }},
        {"FIFO", [&] { ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0); }},
        {"folder", [&] { std::filesystem::create_directory(lock); }},
        {"another user's file", [&] {
             TempEnvironment::WriteFile(lock, "");
             // Only root can hand a file to another user; others plant a FIFO instead.
             if (geteuid() != 0 || chown(lock.c_str(), 4242, 4242) != 0) {
                 std::filesystem::remove(lock);
                 ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.plant();
        SingleInstance instance(Folder(), kName, kTag, kSize);
        EXPECT_FALSE(instance.Acquire());
        EXPECT_NE(instance.Refusal().find(lock), std::string::npos) << instance.Refusal();
        // The target was neither made nor locked.
        if (TempEnvironment::Exists(target)) {
            EXPECT_EQ(TempEnvironment::ReadFile(target), "keep");
            const int fd = open(target.c_str(), O_RDONLY);
            EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
            close(fd);
        }
        std::filesystem::remove(lock);
        std::filesystem::remove(target);
    }
    SingleInstance instance(Folder(), kName, kTag, kSize);
    EXPECT_TRUE(instance.Acquire());
    EXPECT_EQ(instance.Refusal(), "");
}

using SendResult = SingleInstance::SendResult;
using Start = SingleInstance::Start;

TEST_F(SingleInstanceTest, DeliversAWellFormedFrameAndAnswersIt) {
    SingleInstance server(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(server.Acquire());
    ASSERT_TRUE(server.Listen());
    std::vector<QByteArray> received;
    QObject::connect(&server, &SingleInstance::FrameReceived,
                     [&](const QByteArray& payload) { received.push_back(payload); });

    const QByteArray payload("0123456789abcdef");
    EXPECT_EQ(SendFromThread(kTag, payload), SendResult::Answered);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], payload);
}

TEST_F(SingleInstanceTest, MalformedFramesAreDroppedAndTheServerKeepsWorking) {
    SingleInstance server(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(server.Acquire());
    ASSERT_TRUE(server.Listen());
    int received = 0;
    QObject::connect(&server, &SingleInstance::FrameReceived, [&](const QByteArray&) { ++received; });

    const QByteArray payload(kSize, 'p');
    const QByteArray bad[] = {
        Frame(kTag + 1, kSize, payload),                 // wrong tag
        Frame(kTag, kSize + 1, payload + "x"),           // wrong size
        Frame(kTag, kSize, payload + "trailing bytes"),  // more than one frame
        Frame(kTag, kSize, payload.left(5)),             // cut short
        QByteArray("garbage"),
        QByteArray(100000, '\xFF'),
        QByteArray(),
    };
    for (const QByteArray& bytes : bad) WriteRaw(bytes);
    EXPECT_EQ(SendFromThread(kTag, payload + "more"), SendResult::Dropped);
    EXPECT_EQ(received, 0);

    EXPECT_EQ(SendFromThread(kTag, payload), SendResult::Answered);
    EXPECT_EQ(received, 1);
}

TEST_F(SingleInstanceTest, ASocketLeftByADeadInstanceIsTakenOver) {
    TempEnvironment::WriteFile(Folder() + "/" + kName, "stale");
    SingleInstance server(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(server.Acquire());
    ASSERT_TRUE(server.Listen());
    int received = 0;
    QObject::connect(&server, &SingleInstance::FrameReceived, [&](const QByteArray&) { ++received; });
    EXPECT_EQ(SendFromThread(kTag, QByteArray(kSize, 'q')), SendResult::Answered);
    EXPECT_EQ(received, 1);
}

// Qt closes a server whose accept() fails; without listening again every later hand-over
// would be lost for the rest of the run.
TEST_F(SingleInstanceTest, TheServerListensAgainAfterFileHandlesRanOut) {
    SingleInstance server(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(server.Acquire());
    ASSERT_TRUE(server.Listen());
    int received = 0;
    QObject::connect(&server, &SingleInstance::FrameReceived, [&](const QByteArray&) { ++received; });

    // Fill the descriptor table but for one, which the waiting client then takes, so the
    // server's accept() fails.
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    int highest = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        highest = std::max(highest, std::stoi(entry.path().filename().string()));
    rlimit low = saved;
    low.rlim_cur = static_cast<rlim_t>(highest + 64);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> filler;
    for (int fd; (fd = dup(0)) >= 0;) filler.push_back(fd);
    close(filler.back());
    filler.pop_back();
    const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string path = Folder() + "/" + kName;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool connected =
        client >= 0 && ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    qttest::Pump(100);
    for (int fd : filler) close(fd);
    if (client >= 0) close(client);
    setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_TRUE(connected) << std::strerror(errno);

    bool sent = false;
    for (int attempt = 0; attempt < 10 && !sent; ++attempt) {
        sent = SendFromThread(kTag, QByteArray(kSize, 'r')) == SendResult::Answered;
        if (!sent) qttest::Pump(300);
    }
    EXPECT_TRUE(sent);
    EXPECT_EQ(received, 1);
}

TEST_F(SingleInstanceTest, SendingWithNoInstanceFailsAtOnce) {
    EXPECT_EQ(SingleInstance::Send(Folder(), kName, kTag, QByteArray(kSize, 'z'), 200),
              SendResult::Unreachable);
}

// A socket's address holds 107 bytes; a longer runtime folder must still carry hand-overs,
// and two such folders must not share one socket.
TEST_F(SingleInstanceTest, AFolderTooLongForASocketAddressStillCarriesFrames) {
    std::string longFolder = env_.Path("runtime-");
    longFolder += std::string(100 - longFolder.size(), 'x');
    ASSERT_EQ(longFolder.size(), 100u);
    const std::string otherFolder = longFolder.substr(0, 99) + "y";
    std::filesystem::create_directories(longFolder);
    std::filesystem::create_directories(otherFolder);
    const std::string socket = SingleInstance::SocketPathFor(longFolder, kName);
    EXPECT_LE(socket.size(), 107u);
    EXPECT_EQ(socket.rfind(env_.TmpDir() + "/Kalvor-", 0), 0u) << socket;
    EXPECT_NE(SingleInstance::SocketPathFor(otherFolder, kName), socket);
    EXPECT_EQ(SingleInstance::SocketPathFor(Folder(), kName), Folder() + "/" + kName);

    SingleInstance server(longFolder, kName, kTag, kSize);
    ASSERT_TRUE(server.Acquire());
    ASSERT_TRUE(server.Listen());
    int received = 0;
    QObject::connect(&server, &SingleInstance::FrameReceived, [&](const QByteArray&) { ++received; });
    EXPECT_EQ(SendFromThread(kTag, QByteArray(kSize, 's'), longFolder), SendResult::Answered);
    EXPECT_EQ(received, 1);
}

// A start that finds the lock held keeps trying while the holder cannot take its frame:
// the holder may listen a moment later, or be ending and let the lock go.
TEST_F(SingleInstanceTest, AHandOverWaitsForTheHolderToListenOrToEnd) {
    const QByteArray payload(kSize, 'h');
    const auto handOver = [&](int windowMs, std::string* why) {
        return std::async(std::launch::async, [=, this] {
            SingleInstance late(Folder(), kName, kTag, kSize);
            return late.HandOver(payload, windowMs, 2000, why);
        });
    };
    const auto ready = [](auto& future) {
        return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    };
    int received = 0;
    {
        SingleInstance holder(Folder(), kName, kTag, kSize);
        ASSERT_TRUE(holder.Acquire());
        QObject::connect(&holder, &SingleInstance::FrameReceived, [&](const QByteArray&) { ++received; });
        auto start = handOver(60000, nullptr);
        qttest::Pump(100);
        EXPECT_FALSE(ready(start));
        ASSERT_TRUE(holder.Listen());
        ASSERT_TRUE(qttest::WaitUntil([&] { return ready(start); }, 30000));
        EXPECT_EQ(start.get(), Start::HandedOver);
        EXPECT_EQ(received, 1);

        // Ending: the socket goes at once, the lock once the files are written.
        holder.StopListening();
        EXPECT_FALSE(TempEnvironment::Exists(Folder() + "/" + kName));
        start = handOver(60000, nullptr);
        qttest::Pump(100);
        EXPECT_FALSE(ready(start));
        holder.Release();
        ASSERT_TRUE(qttest::WaitUntil([&] { return ready(start); }, 30000));
        EXPECT_EQ(start.get(), Start::First);
        EXPECT_EQ(received, 1);
    }

    // A holder that never listens: the start gives up and says why.
    SingleInstance holder(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(holder.Acquire());
    std::string why;
    auto start = handOver(300, &why);
    ASSERT_TRUE(qttest::WaitUntil([&] { return ready(start); }, 30000));
    EXPECT_EQ(start.get(), Start::Failed);
    EXPECT_NE(why.find("nothing listens on " + Folder() + "/" + kName), std::string::npos) << why;
}

// Once the holder stops listening, a connection it had accepted but not answered is closed,
// so its sender knows the frame was not taken.
TEST_F(SingleInstanceTest, StoppingClosesAnAcceptedConnectionUnanswered) {
    SingleInstance server(Folder(), kName, kTag, kSize);
    ASSERT_TRUE(server.Acquire());
    ASSERT_TRUE(server.Listen());
    int received = 0;
    QObject::connect(&server, &SingleInstance::FrameReceived, [&](const QByteArray&) { ++received; });
    auto sent = std::async(std::launch::async, [&] {
        // Half a frame: the server holds the connection and waits for the rest.
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(Folder() + "/" + kName));
        if (!socket.waitForConnected(5000)) return std::string("not connected");
        socket.write(Frame(kTag, kSize, QByteArray(4, 'x')));
        socket.waitForBytesWritten(5000);
        socket.waitForReadyRead(20000);
        return socket.state() == QLocalSocket::ConnectedState ? std::string("still open")
                                                              : std::string("closed");
    });
    ASSERT_TRUE(qttest::WaitUntil([&] { return server.findChildren<QLocalSocket*>().size() == 1; }));
    server.StopListening();
    ASSERT_TRUE(qttest::WaitUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 30000));
    EXPECT_EQ(sent.get(), "closed");
    EXPECT_EQ(received, 0);
}

}  // namespace
