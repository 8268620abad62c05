#pragma once

// Files dropped on the video window as playlist entries: local files only, in the order
// dropped, each path whole, from its start to its (not yet probed) end.

#include <QList>
#include <QUrl>
#include <vector>

#include "player/settings/MediaEntry.h"

namespace videodrop {

std::vector<MediaEntry> DroppedEntries(const QList<QUrl>& urls);

}  // namespace videodrop
