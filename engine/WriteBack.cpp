#include "engine/WriteBack.h"

#include <fcntl.h>

#include "platform/media/GstRef.h"

void WriteBack::Written(uint64_t bytes) {
    pending_ += bytes;
    if (pending_ < kStepBytes) return;
    pending_ = 0;
    // Whatever of the file is not yet on its way to the disk; it returns without waiting.
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void WriteBack::Watch(GstElement* writer, int fd) {
    const media::PadRef input(gst_element_get_static_pad(writer, "sink"));
    if (!input) return;
    gst_pad_add_probe(
        input.get(),
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
        [](GstPad*, GstPadProbeInfo* info, gpointer data) {
            // Counted as the piece goes in: the start covers what was written before it.
            const gsize size = (info->type & GST_PAD_PROBE_TYPE_BUFFER)
                                   ? gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info))
                                   : gst_buffer_list_calculate_size(
                                         GST_PAD_PROBE_INFO_BUFFER_LIST(info));
            static_cast<WriteBack*>(data)->Written(size);
            return GST_PAD_PROBE_OK;
        },
        new WriteBack(fd), [](gpointer data) { delete static_cast<WriteBack*>(data); });
}
