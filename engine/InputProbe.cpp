#include "engine/InputProbe.h"

#include <gst/base/gsttypefindhelper.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/GraphError.h"
#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"

namespace {

// Enough for every type finder of the table; MPEG audio may need to skip a large tag.
constexpr size_t kProbeBytes = 1 << 20;

bool ReadHead(const RegularFile& file, std::vector<uint8_t>& head) {
    if (!file.IsOpen()) return false;
    head.resize(kProbeBytes);
    size_t got = 0;
    while (got < head.size()) {
        const ssize_t done = ::pread(file.Descriptor(), head.data() + got, head.size() - got,
                                     static_cast<off_t>(got));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) break;
        got += static_cast<size_t>(done);
    }
    head.resize(got);
    return true;
}

bool BoolField(const GstStructure* s, const char* name) {
    gboolean value = FALSE;
    return gst_structure_get_boolean(s, name, &value) && value;
}

int IntField(const GstStructure* s, const char* name) {
    int value = 0;
    return gst_structure_get_int(s, name, &value) ? value : 0;
}

ContainerCode CodeOf(const GstCaps* caps) {
    if (!caps || gst_caps_is_empty(caps)) return ContainerCode::Aiff;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    const char* name = gst_structure_get_name(s);
    auto is = [name](const char* type) { return std::strcmp(name, type) == 0; };
    if (is("audio/x-aiff")) return ContainerCode::Aiff;
    if (is("video/x-ms-asf")) return ContainerCode::Asf;
    if (is("video/x-msvideo")) return ContainerCode::Avi;
    if (is("audio/x-au")) return ContainerCode::Au;
    if (is("audio/x-wav")) return ContainerCode::Wave;
    if (is("video/x-cdxa")) return ContainerCode::Mpeg1VideoCd;
    if (is("audio/mpeg") && IntField(s, "mpegversion") == 1) return ContainerCode::Mpeg1Audio;
    if (is("video/mpeg") && IntField(s, "mpegversion") == 1)
        return BoolField(s, "systemstream") ? ContainerCode::Mpeg1System
                                            : ContainerCode::Mpeg1Video;
    // What the table does not name counts as the end of the list.
    return ContainerCode::Aiff;
}

}  // namespace

ContainerCode ProbeSourceContainer(const std::string& path, uint32_t ownerWindow) {
    return ProbeSourceContainer(RegularFile(path), path, ownerWindow);
}

ContainerCode ProbeSourceContainer(const RegularFile& file, const std::string& name,
                                   uint32_t ownerWindow) {
    media::InitGStreamer();
    std::vector<uint8_t> head;
    if (!ReadHead(file, head)) {
        ReportGraphError(ownerWindow, "Cannot open " + name + ": it is not a readable file.");
        return ContainerCode::Failed;
    }
    if (head.empty()) return ContainerCode::Aiff;
    media::CapsRef caps(gst_type_find_helper_for_data(nullptr, head.data(), head.size(), nullptr));
    return CodeOf(caps.get());
}
