// The built player on a real X server with real media: a file named on the command line
// plays (its position advances), and a second start hands its file over to the running
// player, which switches to it and plays it. The player writes the positions it reads
// from its graph to stderr when KALVOR_TRACE_POSITION is set.

#include <gtest/gtest.h>

#include <QProcess>

#include <map>
#include <string>

#include "support/MediaGenerator.h"
#include "support/PlayerProgram.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "support/Xvfb.h"

namespace {

class PlayEndToEndTest : public TempFolderTest {
protected:
    void SetUp() override {
        std::string error;
        if (!xvfb_.Start(800, 600, &error)) GTEST_SKIP() << "Xvfb could not start: " << error;
        // After TempEnvironment moved the XDG folders: the players get private ones.
        environment_ = PlayerEnvironment(xvfb_.Display());
        environment_.insert("KALVOR_TRACE_POSITION", "1");
    }

    void TearDown() override {
        if (player_.state() != QProcess::NotRunning) {
            player_.kill();
            player_.waitForFinished(5000);
        }
    }

    // Reads the player's position lines; the highest position seen per file.
    void ReadPositions() {
        buffer_ += player_.readAllStandardError().toStdString();
        size_t end;
        while ((end = buffer_.find('\n')) != std::string::npos) {
            const std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            log_ += line + "\n";
            constexpr char kPrefix[] = "Kalvor: position ";
            if (line.rfind(kPrefix, 0) != 0) continue;
            const std::string rest = line.substr(sizeof kPrefix - 1);
            const size_t blank = rest.find(' ');
            if (blank == std::string::npos) continue;
            const double seconds = std::stod(rest.substr(0, blank));
            const std::string file = rest.substr(blank + 1);
            double& highest = highest_[file];
            if (seconds > highest) highest = seconds;
            last_ = {file, seconds};
        }
    }

    // Waits until file has played past seconds.
    bool PlaysPast(const std::string& file, double seconds, int timeoutMs = 30000) {
        return qttest::WaitUntil(
            [&] {
                ReadPositions();
                return highest_[file] > seconds;
            },
            timeoutMs);
    }

    std::string MakeClip(const std::string& name) {
        media::AviSpec spec;
        spec.seconds = 8.0;
        spec.audio = media::AudioCodec::None;  // no test may need a sound card
        const std::string path = env_.Path(name);
        std::string error;
        EXPECT_TRUE(media::MakeAvi(path, spec, &error)) << error;
        return path;
    }

    Xvfb xvfb_;
    QProcessEnvironment environment_;
    QProcess player_;
    std::string buffer_, log_;
    std::map<std::string, double> highest_;
    std::pair<std::string, double> last_;
};

TEST_F(PlayEndToEndTest, AFileOnTheCommandLinePlaysAndASecondStartHandsItsFileOver) {
    const std::string first = MakeClip("first.avi");
    const std::string other = MakeClip("other.avi");
    player_.setProcessEnvironment(environment_);
    player_.setWorkingDirectory(QString::fromStdString(env_.Root()));
    player_.start(PlayerProgram(), {QString::fromStdString(first)});
    ASSERT_TRUE(player_.waitForStarted(10000));
    ASSERT_TRUE(PlaysPast(first, 1.0)) << log_;

    // The second start ends at once, having handed its relative path over.
    QProcess second;
    second.setProcessEnvironment(environment_);
    second.setWorkingDirectory(QString::fromStdString(env_.Root()));
    second.start(PlayerProgram(), {"other.avi"});
    ASSERT_TRUE(second.waitForStarted(10000));
    ASSERT_TRUE(qttest::WaitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    // The running player switched to the other file and plays it from its start.
    ASSERT_TRUE(PlaysPast(other, 1.0)) << log_;
    EXPECT_TRUE(qttest::WaitUntil(
        [&] {
            ReadPositions();
            return last_.first == other;
        }));
    EXPECT_EQ(player_.state(), QProcess::Running);
}

}  // namespace
