#include "player/playlist/MediaLength.h"

#include "platform/media/MediaProbe.h"
#include "platform/system/RegularFile.h"

MediaLength::MediaLength(int timeoutMs) : timeoutMs_(timeoutMs) {}

MediaLength::~MediaLength() = default;

double MediaLength::Length(const std::string& path) {
    const RegularFile file(path);
    if (!file.IsOpen()) return -1.0;
    if (!probe_) probe_ = std::make_unique<media::MediaProbe>(timeoutMs_);
    media::MediaFacts facts;
    if (!probe_->Probe(file, facts) || facts.streams.empty()) return -1.0;
    return facts.duration > 0.0 ? facts.duration : -1.0;
}
