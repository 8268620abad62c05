#pragma once

namespace media {

// gst_init once per process, from whichever part of a program needs GStreamer first.
void InitGStreamer();

}  // namespace media
