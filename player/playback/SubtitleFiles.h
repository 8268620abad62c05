#pragma once

// The subtitle files of the video window: the one found beside a media file, and the
// hand-over file "sub.txt" that names the file last given to the effects element.

#include <string>

namespace subtitles {

inline constexpr char kHandOverName[] = "sub.txt";

// The subtitle file beside mediaPath: among the regular files named like the media file
// with another extension ("film.avi" -> "film.*", "film" -> "film.*"), the first by name
// whose extension the effects element reads (srt, sub, txt in any case). Empty when there
// is none or the path has no folder.
std::string FindBeside(const std::string& mediaPath);

// True for a name whose last extension is one the effects element reads.
bool IsSubtitleName(const std::string& name);

// Replaces "sub.txt" in the application-data folder with subtitlePath and its terminating
// zero byte. False, with the old file kept and the reason in error, when that fails.
bool WriteHandOver(const std::string& subtitlePath, std::string* error = nullptr);

}  // namespace subtitles
