#pragma once

// Below a few dozen file handles the libraries under the player (the X connection,
// GStreamer's threads, D-Bus) hang or crash before the player could say a word; the
// limit is looked at before any of them starts.

#include <sys/resource.h>

#include <optional>
#include <string>

namespace filehandles {

// What the player needs at the most: its own files and sockets, a playing graph, a probe
// running beside it and the hand-over connections it holds at once, with room to spare.
inline constexpr rlim_t kNeeded = 128;

// Raises the soft limit to needed when the hard limit allows it; otherwise why the player
// cannot run.
std::optional<std::string> Ensure(rlim_t needed = kNeeded);

}  // namespace filehandles
