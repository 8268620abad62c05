#pragma once

// An editor for a freedesktop key file such as mimeapps.list that changes only the lines
// it must: every other line, comment, blank and line ending stays byte for byte, so that
// the user's own settings and other programs' entries survive the player's edits.

#include <optional>
#include <string>
#include <vector>

class MimeAppsList {
public:
    static constexpr char kDefaultGroup[] = "Default Applications";

    explicit MimeAppsList(const std::string& text = {});

    // The value of the first "key=value" line of the first such group (blanks around '='
    // ignored); nothing when absent.
    std::optional<std::string> Value(const std::string& group, const std::string& key) const;
    // Rewrites that line, or adds one at the end of the group, or the group at the end.
    void SetValue(const std::string& group, const std::string& key, const std::string& value);
    // Removes every line of the key in the group; true when there was one.
    bool RemoveKey(const std::string& group, const std::string& key);

    std::string Text() const;

private:
    // Index of the line of key in group, or -1; groupEnd (when given) gets the index after
    // the first group's last non-blank line, or -1 when there is no such group.
    int Find(const std::string& group, const std::string& key, int* groupEnd) const;

    std::vector<std::string> lines_;  // without their '\n'; a '\r' stays in the line
    bool finalNewline_ = true;
};
