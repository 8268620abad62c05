#pragma once

// State changes with bounded waits: the user-interface thread never waits on a pipeline for
// longer than it asks, and a pipeline that does not settle is forced down to NULL.

#include <gst/gst.h>

namespace media {

inline constexpr int kDefaultStateWaitMs = 5000;

// Requests the state and waits up to timeoutMs for it. True when the element reached it
// (a live source's NO_PREROLL counts as reached); false on failure or timeout.
bool ChangeState(GstElement* element, GstState state, int timeoutMs = kDefaultStateWaitMs);

// Waits up to timeoutMs for a pending asynchronous change (a seek in PAUSED) to complete.
bool WaitForState(GstElement* element, int timeoutMs = kDefaultStateWaitMs);

// NULL, releasing every resource; NULL never completes asynchronously.
void ForceNull(GstElement* element);

}  // namespace media
