#include "player/settings/SettingsFile.h"

#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"
#include "platform/system/RegularFile.h"

SettingsLoadResult LoadSettings(const std::string& userFolder, const std::string& programFolder,
                                PlayerSettings& settings) {
    SettingsLoadResult result;
    const std::pair<SettingsSource, std::string> candidates[] = {
        {SettingsSource::User, paths::Join(userFolder, kOptionsFileName)},
        {SettingsSource::Installed, paths::Join(programFolder, kOptionsFileName)},
    };
    for (const auto& [source, path] : candidates) {
        // A FIFO under the name is refused, not waited on: it would hold up the start (and
        // the instance lock with it). A longer file gives its first record.
        RegularFile file(path);
        if (!file.IsOpen()) continue;
        PlayerSettings record = InstalledSettings();
        const size_t got = file.Read(&record, sizeof record);
        ClampSettings(record);
        settings = record;
        result.source = source;
        result.path = path;
        result.bytesRead = got;
        return result;
    }
    settings = InstalledSettings();
    return result;
}

bool SaveSettings(const PlayerSettings& image, const std::string& userFolder, std::string* error) {
    if (!paths::EnsureFolder(userFolder)) {
        if (error) *error = "cannot create " + userFolder;
        return false;
    }
    return atomicfile::Write(paths::Join(userFolder, kOptionsFileName), &image, sizeof image, error);
}
