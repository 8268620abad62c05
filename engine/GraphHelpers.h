#pragma once

// The graph operations every korc job uses: pin lookups, pruning, and links that insert
// converters where formats differ. None reports to the user: each returns its failure.

#include <gst/gst.h>

#include <string>
#include <vector>

#include "platform/media/GstRef.h"
#include "platform/media/PadLookup.h"

using media::PadDirection;

// True when a pin of the direction is linked.
bool HasConnectedPin(GstElement* filter, PadDirection direction);
// The first unlinked pin of the direction, or one requested from the filter (a muxer's
// inputs); with a peer, one that can take the peer's format.
media::PadRef GetFreePin(GstElement* filter, PadDirection direction, GstPad* peer = nullptr);
// The first pin of the direction, linked or not; never requests one.
media::PadRef GetPin(GstElement* filter, PadDirection direction);

// Removes every element of the bin with neither a linked input nor a linked output. Works on
// a snapshot of the children, so removing does not disturb the walk. Returns how many went.
int RemoveUnconnectedFilters(GstBin* graph);

// The bin's elements as they are now (with those of inner bins when recursive), held, so
// that the caller may change the bin while going through them.
std::vector<media::ElementRef> SnapshotElements(GstBin* graph, bool recursive);

struct LinkOutcome {
    bool ok = false;
    std::string error;  // why the link failed, for the report
    explicit operator bool() const { return ok; }
};

// Makes an element from the factory, names it, adds it to the bin and brings it to the
// bin's state (so it also works on a running graph).
media::ElementRef AddFilter(GstBin* graph, const char* factory, const char* name,
                            std::string* error);
// Links the two pins as they are.
LinkOutcome ConnectDirect(GstPad* output, GstPad* input);
// Links the two pins, inserting "videoconvert" or "audioconvert ! audioresample" into the
// bin when their raw formats cannot meet directly.
LinkOutcome ConnectIntelligent(GstBin* graph, GstPad* output, GstPad* input);

// What a factory's elements are ("Codec/Decoder/Video", "Codec/Demuxer", ...); empty when it
// does not say.
const char* FactoryKlass(GstElementFactory* factory);

// decodebin's answers to autoplug-select: try the factory, or leave the stream as it is,
// undecoded.
inline constexpr int kAutoplugTry = 0;
inline constexpr int kAutoplugExpose = 1;

// A seek to the exact time, not the key frame before it.
inline constexpr GstSeekFlags kExactSeek =
    static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);

// After a stream stopped because two elements could not agree on a format: which element
// refused what it was offered, as a sentence; empty when no such place is found.
std::string RefusedFormat(GstBin* graph);
