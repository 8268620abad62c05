#include "player/playback/VideoDrop.h"

namespace videodrop {

std::vector<MediaEntry> DroppedEntries(const QList<QUrl>& urls) {
    std::vector<MediaEntry> entries;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QByteArray path = url.toLocalFile().toUtf8();
        if (path.isEmpty()) continue;
        entries.push_back(
            {std::string(path.constData(), size_t(path.size())), 0.0, MediaEntry::kEndUnprobed});
    }
    return entries;
}

}  // namespace videodrop
