#include "player/options/FileTypeTable.h"

#include <algorithm>

namespace filetypes {
namespace {

constexpr FileTypeRow kTable[kRows] = {
    {"AAC", "Advanced Audio Coding", "audio/aac", false},
    {"AC3", "Dolby Digital Audio", "audio/ac3", false},
    {"ASF", "Streaming Video File", "application/vnd.ms-asf", false},
    {"AVI", "Audio Video File", "video/x-msvideo", false},
    {"CDA", "CD Audio", "audio/x-kalvor-cda", true},
    {"DAT", "VCD Wrapper", "video/x-kalvor-dat", true},
    {"DIVX", "DivX Video", "video/x-msvideo", false},
    {"M2V", "MPEG2 Video", "video/x-kalvor-m2v", true},
    {"M3U", "M3U Playlist", "audio/x-mpegurl", false},
    {"MID", "Midi Audio", "audio/midi", false},
    {"MP3", "MPEG Layer 3 Audio", "audio/mpeg", false},
    {"MP4", "MPEG4 Video", "video/mp4", false},
    {"MPA", "MPEG Audio", "audio/x-kalvor-mpa", true},
    {"MPG", "MPEG Video", "video/mpeg", false},
    {"MPEG", "MPEG Video", "video/mpeg", false},
    {"OGM", "Ogg Movie", "video/x-ogm+ogg", false},
    {"OGG", "Ogg Audio", "audio/ogg", false},
    {"PLS", "PLS Playlist", "audio/x-scpls", false},
    {"RA", "Real Audio", "audio/vnd.rn-realaudio", false},
    {"RM", "Real Media", "application/vnd.rn-realmedia", false},
    {"RV", "Real Video", "video/vnd.rn-realvideo", false},
    {"WAV", "Windows Audio", "audio/x-wav", false},
    {"WM", "Windows Media", "video/x-kalvor-wm", true},
    {"WMA", "Windows Media Audio", "audio/x-ms-wma", false},
    {"WMV", "Windows Media Video", "video/x-ms-wmv", false},
    {"XVID", "XviD Video", "video/x-kalvor-xvid", true},
};

}  // namespace

std::span<const FileTypeRow> Rows() { return kTable; }

std::string RowText(const FileTypeRow& row) {
    return std::string(row.extension) + "  - " + row.description;
}

std::vector<std::string> MimeTypes() {
    std::vector<std::string> types;
    for (const FileTypeRow& row : kTable)
        if (std::find(types.begin(), types.end(), row.mimeType) == types.end())
            types.push_back(row.mimeType);
    return types;
}

std::string Glob(const FileTypeRow& row) {
    std::string glob = "*.";
    for (const char* c = row.extension; *c; ++c)
        glob += static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c);
    return glob;
}

}  // namespace filetypes
