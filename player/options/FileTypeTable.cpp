#include "player/options/FileTypeTable.h"

#include <algorithm>

namespace filetypes {
namespace {

constexpr FileTypeRow kTable[kRows] = {
    {"AAC", "Advanced Audio Coding", "audio/aac"},
    {"AC3", "Dolby Digital Audio", "audio/ac3"},
    {"ASF", "Streaming Video File", "application/vnd.ms-asf"},
    {"AVI", "Audio Video File", "video/x-msvideo"},
    {"CDA", "CD Audio", nullptr},
    {"DAT", "VCD Wrapper", nullptr},
    {"DIVX", "DivX Video", "video/x-msvideo"},
    {"M2V", "MPEG2 Video", nullptr},
    {"M3U", "M3U Playlist", "audio/x-mpegurl"},
    {"MID", "Midi Audio", "audio/midi"},
    {"MP3", "MPEG Layer 3 Audio", "audio/mpeg"},
    {"MP4", "MPEG4 Video", "video/mp4"},
    {"MPA", "MPEG Audio", nullptr},
    {"MPG", "MPEG Video", "video/mpeg"},
    {"MPEG", "MPEG Video", "video/mpeg"},
    {"OGM", "Ogg Movie", "video/x-ogm+ogg"},
    {"OGG", "Ogg Audio", "audio/ogg"},
    {"PLS", "PLS Playlist", "audio/x-scpls"},
    {"RA", "Real Audio", "audio/vnd.rn-realaudio"},
    {"RM", "Real Media", "application/vnd.rn-realmedia"},
    {"RV", "Real Video", "video/vnd.rn-realvideo"},
    {"WAV", "Windows Audio", "audio/x-wav"},
    {"WM", "Windows Media", nullptr},
    {"WMA", "Windows Media Audio", "audio/x-ms-wma"},
    {"WMV", "Windows Media Video", "video/x-ms-wmv"},
    {"XVID", "XviD Video", nullptr},
};

}  // namespace

std::span<const FileTypeRow> Rows() { return kTable; }

std::string RowText(const FileTypeRow& row) {
    return std::string(row.extension) + "  - " + row.description;
}

std::vector<std::string> MimeTypes() {
    std::vector<std::string> types;
    for (const FileTypeRow& row : kTable)
        if (row.mimeType && std::find(types.begin(), types.end(), row.mimeType) == types.end())
            types.push_back(row.mimeType);
    return types;
}

}  // namespace filetypes
