#include "player/options/MimeAppsList.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The name of a "[group]" line; nothing for other lines.
std::optional<std::string_view> GroupOf(std::string_view line) {
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
        return line.substr(1, line.size() - 2);
    return std::nullopt;
}

bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == '#') return false;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

}  // namespace

MimeAppsList::MimeAppsList(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines_.push_back(text.substr(start));
            finalNewline_ = false;
            break;
        }
        lines_.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

int MimeAppsList::Find(const std::string& group, const std::string& key, int* groupEnd) const {
    if (groupEnd) *groupEnd = -1;
    int firstGroup = -1;  // the header line of the group's first occurrence
    bool inGroup = false;
    int found = -1;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = GroupOf(lines_[i])) {
            inGroup = *name == group;
            if (inGroup && firstGroup < 0) firstGroup = static_cast<int>(i);
            continue;
        }
        std::string_view k, v;
        if (inGroup && found < 0 && SplitKey(lines_[i], k, v) && k == key)
            found = static_cast<int>(i);
    }
    if (groupEnd && firstGroup >= 0) {
        // New keys go after the first occurrence's last non-blank line.
        int end = firstGroup + 1;
        for (size_t i = static_cast<size_t>(end); i < lines_.size() && !GroupOf(lines_[i]); ++i)
            if (!Trim(lines_[i]).empty()) end = static_cast<int>(i) + 1;
        *groupEnd = end;
    }
    return found;
}

std::optional<std::string> MimeAppsList::Value(const std::string& group,
                                               const std::string& key) const {
    const int line = Find(group, key, nullptr);
    if (line < 0) return std::nullopt;
    std::string_view k, v;
    SplitKey(lines_[static_cast<size_t>(line)], k, v);
    return std::string(v);
}

void MimeAppsList::SetValue(const std::string& group, const std::string& key,
                            const std::string& value) {
    int groupEnd = -1;
    const int line = Find(group, key, &groupEnd);
    if (line >= 0) {
        // Keep a CRLF file's line ending on the line rewritten.
        const std::string& old = lines_[static_cast<size_t>(line)];
        const bool cr = !old.empty() && old.back() == '\r';
        lines_[static_cast<size_t>(line)] = key + "=" + value + (cr ? "\r" : "");
        return;
    }
    if (groupEnd >= 0) {
        lines_.insert(lines_.begin() + groupEnd, key + "=" + value);
        if (static_cast<size_t>(groupEnd) + 1 == lines_.size()) finalNewline_ = true;
        return;
    }
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.push_back("");
    lines_.push_back("[" + group + "]");
    lines_.push_back(key + "=" + value);
    finalNewline_ = true;
}

bool MimeAppsList::RemoveKey(const std::string& group, const std::string& key) {
    bool removed = false;
    for (int line = Find(group, key, nullptr); line >= 0; line = Find(group, key, nullptr)) {
        lines_.erase(lines_.begin() + line);
        removed = true;
    }
    return removed;
}

std::string MimeAppsList::Text() const {
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || finalNewline_) text += '\n';
    }
    return text;
}
