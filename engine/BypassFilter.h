#pragma once

// The fast mode's cut: the compressed video is copied, so the demuxer is sought to the
// fragment with key-frame snapping, which makes the copy start on a key frame.

#include <gst/gst.h>

#include <cstdint>

inline constexpr char kFastModeWarning[] =
    "FAST MODE is not supported! Please, unregister nonstandard `Avi Splitter`.";
inline constexpr char kFastModeCaption[] = "Warning!";

enum class FastCut {
    NotAsked,      // seek flag 0: nothing done
    NothingToCut,  // no demuxer in the graph yet (decodebin, parsebin and GES make theirs at
                   // preroll): nothing done, nothing said
    Sought,        // the graph is prerolled (PAUSED) at the fragment's start and stops at its end
    Unsupported,   // the demuxer or what feeds it cannot seek: warned, the graph is in NULL
                   // and the job must end
};

// Call with the graph built and in NULL. With seek and a demuxer in the graph, brings it to
// PAUSED with the demuxer's outputs held back until the seek is done, so that nothing from
// before the fragment reaches a muxer. start and end in seconds of the input.
FastCut BypassFilterClass(GstBin* graph, bool seek, double start, double end, uint32_t ownerWindow);
