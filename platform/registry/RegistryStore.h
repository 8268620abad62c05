#pragma once

// The player's few persistent named values that live outside options.cfg (what a file
// type's default was before the player took it over), in one small text file in the user
// config folder: "key=value" lines, with "\\", "\n", "\r" and "=" in keys escaped. The file
// is written whole and atomically; a damaged or oversized file is refused, not guessed at.

#include <cstddef>
#include <map>
#include <optional>
#include <string>

class RegistryStore {
public:
    static constexpr char kFileName[] = "registry";
    static constexpr size_t kMaxFileBytes = size_t{1} << 20;
    // Keys and values are names and desktop-entry lists; longer ones are refused.
    static constexpr size_t kMaxKeyBytes = 1000;
    static constexpr size_t kMaxValueBytes = 1000;

    explicit RegistryStore(std::string path) : path_(std::move(path)) {}
    // The store of this user: paths::UserConfigFolder()/registry.
    static std::string DefaultPath();

    // Replaces the values with the file's; a missing file is an empty store. False (values
    // left empty) when the file is no regular file, too large or holds a malformed line.
    bool Load(std::string* error = nullptr);
    // Writes every value, creating the folder; false leaves the old file as it was.
    bool Save(std::string* error = nullptr) const;

    std::optional<std::string> Get(const std::string& key) const;
    // False, changing nothing, for an empty or oversized key or an oversized value.
    bool Set(const std::string& key, const std::string& value);
    // True when the key was there.
    bool Remove(const std::string& key);

    const std::map<std::string, std::string>& Values() const { return values_; }
    const std::string& Path() const { return path_; }

    // The file image of values, and back; Parse is false on a malformed line.
    static std::string Serialize(const std::map<std::string, std::string>& values);
    static bool Parse(const std::string& text, std::map<std::string, std::string>& values);

private:
    std::string path_;
    std::map<std::string, std::string> values_;
};
