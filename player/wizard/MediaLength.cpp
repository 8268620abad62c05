#include "player/wizard/MediaLength.h"

#include "platform/media/MediaProbe.h"

double MediaLength::Length(const std::string& path) {
    media::MediaProbe probe(timeoutMs_);
    media::MediaFacts facts;
    if (!probe.Probe(path, facts) || facts.streams.empty()) return -1.0;
    return facts.duration > 0.0 ? facts.duration : -1.0;
}
