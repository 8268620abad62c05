#include "platform/registry/RegistryStore.h"

#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"
#include "platform/system/RegularFile.h"

namespace {

void Escape(const std::string& in, bool isKey, std::string& out) {
    for (char c : in) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '=':
                if (isKey) {
                    out += "\\=";
                    break;
                }
                [[fallthrough]];
            default:
                out += c;
        }
    }
}

// Reads an escaped text from line[pos] up to an unescaped '=' (keys) or the end; false
// on a dangling or unknown escape.
bool Unescape(const std::string& line, size_t& pos, bool isKey, std::string& out) {
    while (pos < line.size()) {
        const char c = line[pos];
        if (isKey && c == '=') return true;
        ++pos;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= line.size()) return false;
        const char e = line[pos++];
        if (e == '\\')
            out += '\\';
        else if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == '=')
            out += '=';
        else
            return false;
    }
    return !isKey;
}

}  // namespace

std::string RegistryStore::DefaultPath() {
    return paths::Join(paths::UserConfigFolder(), kFileName);
}

std::string RegistryStore::Serialize(const std::map<std::string, std::string>& values) {
    std::string text;
    for (const auto& [key, value] : values) {
        Escape(key, true, text);
        text += '=';
        Escape(value, false, text);
        text += '\n';
    }
    return text;
}

bool RegistryStore::Parse(const std::string& text, std::map<std::string, std::string>& values) {
    values.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        std::string key, value;
        size_t pos = 0;
        if (!Unescape(line, pos, true, key) || key.empty() || key.size() > kMaxKeyBytes)
            return false;
        ++pos;  // the '='
        if (!Unescape(line, pos, false, value) || value.size() > kMaxValueBytes) return false;
        values[key] = value;
    }
    return true;
}

bool RegistryStore::Load(std::string* error) {
    values_.clear();
    std::string bytes;
    switch (RegularFile::ReadWhole(path_, kMaxFileBytes, bytes, error)) {
        case RegularFile::Status::Absent:
            return true;
        case RegularFile::Status::Ok:
            break;
        default:
            return false;
    }
    std::map<std::string, std::string> parsed;
    if (!Parse(bytes, parsed)) {
        if (error) *error = path_ + ": damaged";
        return false;
    }
    values_ = std::move(parsed);
    return true;
}

bool RegistryStore::Save(std::string* error) const {
    const size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0 && !paths::EnsureFolder(path_.substr(0, slash))) {
        if (error) *error = path_.substr(0, slash) + ": cannot create the folder";
        return false;
    }
    const std::string text = Serialize(values_);
    return atomicfile::Write(path_, text.data(), text.size(), error);
}

std::optional<std::string> RegistryStore::Get(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool RegistryStore::Set(const std::string& key, const std::string& value) {
    if (key.empty() || key.size() > kMaxKeyBytes || value.size() > kMaxValueBytes) return false;
    values_[key] = value;
    return true;
}

bool RegistryStore::Remove(const std::string& key) { return values_.erase(key) > 0; }
