#include "player/playlist/MediaLength.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/media/MediaProbe.h"

namespace {

// The discoverer opens the file without O_NONBLOCK: a FIFO named as a media file would
// hold the user-interface thread in that open.
bool IsRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

}  // namespace

MediaLength::MediaLength(int timeoutMs) : timeoutMs_(timeoutMs) {}

MediaLength::~MediaLength() = default;

double MediaLength::Length(const std::string& path) {
    if (!IsRegularFile(path)) return -1.0;
    if (!probe_) probe_ = std::make_unique<media::MediaProbe>(timeoutMs_);
    media::MediaFacts facts;
    if (!probe_->Probe(path, facts) || facts.streams.empty()) return -1.0;
    return facts.duration > 0.0 ? facts.duration : -1.0;
}
