#pragma once

// Where options.cfg is read from and written to. The user's copy wins over the installed
// one; writes go only to the user's folder, atomically.

#include <cstddef>
#include <string>

#include "player/settings/PlayerSettings.h"

inline constexpr char kOptionsFileName[] = "options.cfg";
inline constexpr char kOptionsAbsentText[] = "File options.cfg is absent. Please, re-install Kalvor.";

enum class SettingsSource { User, Installed, Absent };

struct SettingsLoadResult {
    SettingsSource source = SettingsSource::Absent;
    std::string path;
    size_t bytesRead = 0;  // a short file's missing tail keeps the installed defaults
};

// Reads options.cfg from userFolder, else from programFolder, over the installed defaults,
// then clamps it. A copy that is no regular file (a FIFO, a device, a folder) counts as one
// that cannot be read and is never waited on. On Absent the record holds the installed
// defaults.
SettingsLoadResult LoadSettings(const std::string& userFolder, const std::string& programFolder,
                                PlayerSettings& settings);

// Writes image as options.cfg in userFolder, creating the folder; false leaves the old file.
bool SaveSettings(const PlayerSettings& image, const std::string& userFolder,
                  std::string* error = nullptr);
