#include "player/playlist/PlaylistFormats.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>

#include "common/AsciiCase.h"

namespace playlistformat {
namespace {

constexpr std::string_view kM3uHeader = "#EXTM3U";
constexpr std::string_view kPlsHeader = "[playlist]";
constexpr std::string_view kBeginTag = "#EXTB:";
constexpr std::string_view kEndTag = "#EXTE:";
constexpr std::string_view kInfoTag = "#EXTINF:";
constexpr size_t kHeaderWindow = 20;

bool HeaderWithin(std::string_view data, std::string_view header) {
    const size_t at = data.substr(0, kHeaderWindow + header.size() - 1).find(header);
    return at != std::string_view::npos && at < kHeaderWindow;
}

// Calls line(text, overlong) for every line: LF or CR LF ends one, and a last line needs
// neither. A line longer than kMaxLineBytes comes with overlong set and only its first byte,
// so nothing reads a cut-off path. A byte-order mark before the first line is dropped.
template <class Line>
void ForEachLine(std::string_view data, Line line) {
    if (data.starts_with("\xEF\xBB\xBF")) data.remove_prefix(3);
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\n', start);
        const size_t next = end == std::string_view::npos ? data.size() : end + 1;
        if (end == std::string_view::npos) end = data.size();
        std::string_view text = data.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        const bool overlong = text.size() > kMaxLineBytes;
        if (!line(overlong ? text.substr(0, 1) : text, overlong)) return;
        start = next;
    }
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

// The integer at the start of text, like the lengths other players write ("95", "-1").
std::optional<int64_t> ParseInteger(std::string_view text) {
    text = SkipBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// What a row can hold: a start >= 0, an end > 0 or one of the two markers.
MediaEntry Clamped(std::string path, double begin, double end) {
    MediaEntry entry;
    entry.path = std::move(path);
    entry.begin = std::isfinite(begin) && begin > 0.0 ? begin : 0.0;
    if (!std::isfinite(end) || (end <= 0.0 && end != MediaEntry::kEndUnknown)) {
        end = MediaEntry::kEndUnprobed;
    }
    entry.end = end;
    return entry;
}

bool Writable(const MediaEntry& entry) {
    return !entry.path.empty() &&
           entry.path.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = FoldAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool HasRange(double end) { return end > 0.0 || end == MediaEntry::kEndUnknown; }

std::string WholeSeconds(double seconds) {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, std::trunc(seconds), std::chars_format::fixed, 0);
    return std::string(text, result.ptr);
}

// Values a hand-edited entry might hold that no file can carry.
MediaEntry Writing(const MediaEntry& entry) { return Clamped(entry.path, entry.begin, entry.end); }

std::string_view NameOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
}

// One PLS key at the start of a line: the word, the entry number, "=".
struct PlsKey {
    std::string_view word;
    uint32_t number = 0;
    std::string_view value;
};

std::optional<PlsKey> ParsePlsKey(std::string_view line) {
    static constexpr std::string_view kWords[] = {"File", "Length", "B", "E"};
    for (std::string_view word : kWords) {
        if (!line.starts_with(word)) continue;
        const std::string_view rest = line.substr(word.size());
        uint32_t number = 0;
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        if (error != std::errc() || end == rest.data() || number == 0 || number > kMaxEntries)
            return std::nullopt;
        const size_t used = size_t(end - rest.data());
        if (used >= rest.size() || rest[used] != '=') return std::nullopt;
        return PlsKey{word, number, rest.substr(used + 1)};
    }
    return std::nullopt;
}

}  // namespace

bool HasM3uHeader(std::string_view data) { return HeaderWithin(data, kM3uHeader); }
bool HasPlsHeader(std::string_view data) { return HeaderWithin(data, kPlsHeader); }

namespace {

// The range values found for one entry so far; the first of each key counts.
struct Range {
    bool hasBegin = false, hasEnd = false, hasLength = false, lengthSeen = false;
    double begin = 0.0, end = 0.0;
    int64_t length = 0;  // whole seconds other players write ("#EXTINF:", "Length")

    void Begin(std::string_view text) {
        if (!hasBegin) begin = ParseNumber(text).value_or(0.0);
        hasBegin = true;
    }
    void End(std::string_view text) {
        if (!hasEnd) end = ParseNumber(text).value_or(0.0);
        hasEnd = true;
    }
    void Length(std::string_view text) {
        if (lengthSeen) return;
        lengthSeen = true;
        const std::optional<int64_t> value = ParseInteger(text);
        hasLength = value.has_value();
        length = value.value_or(0);
    }
    // The end read only when no end key gave one.
    MediaEntry Entry(std::string path) const {
        const double last = end == 0.0 && hasLength ? double(length) : end;
        return Clamped(std::move(path), begin, last);
    }
};

}  // namespace

std::vector<MediaEntry> ReadM3u(std::string_view data) {
    std::vector<MediaEntry> entries;
    if (!HasM3uHeader(data)) return entries;
    Range range;  // tag lines belong to the next path line
    ForEachLine(data, [&](std::string_view line, bool overlong) {
        if (line.empty()) return true;
        if (line.front() == '#') {
            if (overlong) return true;
            if (line.starts_with(kBeginTag)) range.Begin(line.substr(kBeginTag.size()));
            if (line.starts_with(kEndTag)) range.End(line.substr(kEndTag.size()));
            if (line.starts_with(kInfoTag)) range.Length(line.substr(kInfoTag.size()));
            return true;
        }
        if (!overlong) {
            if (std::optional<std::string> path = PathOfLine(line))
                entries.push_back(range.Entry(std::move(*path)));
        }
        range = Range{};
        return entries.size() < kMaxEntries;
    });
    return entries;
}

std::vector<MediaEntry> ReadPls(std::string_view data) {
    std::vector<MediaEntry> entries;
    if (!HasPlsHeader(data)) return entries;
    struct Block {
        bool hasPath = false;
        std::string_view path;
        Range range;
    };
    // Blocks by entry number. Files number them in order, so they sit in a vector; a number
    // that jumps ahead waits in a map until the vector reaches it. Memory follows the lines,
    // not the numbers.
    std::vector<Block> dense;  // number n at n - 1
    std::map<uint32_t, Block> ahead;
    auto blockOf = [&](uint32_t n) -> Block* {
        if (n <= dense.size()) return &dense[n - 1];
        if (n == dense.size() + 1) {
            const auto waiting = ahead.find(n);
            if (waiting != ahead.end()) {
                dense.push_back(waiting->second);
                ahead.erase(waiting);
            } else if (dense.size() + ahead.size() < kMaxEntries) {
                dense.emplace_back();
            } else {
                return nullptr;
            }
            return &dense.back();
        }
        const auto waiting = ahead.find(n);
        if (waiting != ahead.end()) return &waiting->second;
        if (dense.size() + ahead.size() >= kMaxEntries) return nullptr;
        return &ahead.emplace(n, Block{}).first->second;
    };
    ForEachLine(data, [&](std::string_view line, bool overlong) {
        if (overlong) return true;
        const std::optional<PlsKey> key = ParsePlsKey(line);
        if (!key) return true;
        Block* block = blockOf(key->number);
        if (!block) return true;
        if (key->word == "File" && !block->hasPath) {
            block->hasPath = true;
            block->path = key->value;
        }
        if (key->word == "B") block->range.Begin(key->value);
        if (key->word == "E") block->range.End(key->value);
        if (key->word == "Length") block->range.Length(key->value);
        return true;
    });
    // Entries are numbered from 1; the first number without a File line ends the list.
    entries.reserve(dense.size());
    for (uint32_t n = 1;; ++n) {
        const Block* block = nullptr;
        if (n <= dense.size()) {
            block = &dense[n - 1];
        } else if (const auto waiting = ahead.find(n); waiting != ahead.end()) {
            block = &waiting->second;
        }
        if (!block || !block->hasPath) break;
        if (std::optional<std::string> path = PathOfLine(block->path))
            entries.push_back(block->range.Entry(std::move(*path)));
    }
    return entries;
}

std::string WriteM3u(const std::vector<MediaEntry>& entries) {
    std::string text = "#EXTM3U\r\n";
    for (const MediaEntry& raw : entries) {
        if (!Writable(raw)) continue;
        const MediaEntry entry = Writing(raw);
        if (HasRange(entry.end)) {
            text += std::string(kBeginTag) + FormatSeconds(entry.begin) + "\r\n";
            text += std::string(kEndTag) + FormatSeconds(entry.end) + "\r\n";
            text += std::string(kInfoTag) + WholeSeconds(entry.end) + "," +
                    std::string(NameOf(entry.path)) + "\r\n";
        }
        text += entry.path + "\r\n";
    }
    return text;
}

std::string WritePls(const std::vector<MediaEntry>& entries) {
    std::string text = "[playlist]\r\n";
    size_t n = 0;
    for (const MediaEntry& raw : entries) {
        if (!Writable(raw)) continue;
        const MediaEntry entry = Writing(raw);
        const std::string number = std::to_string(++n);
        text += "File" + number + "=" + entry.path + "\r\n";
        if (HasRange(entry.end)) {
            if (entry.path.find('/') != std::string::npos)
                text += "Title" + number + "=" + std::string(NameOf(entry.path)) + "\r\n";
            text += "Length" + number + "=" + WholeSeconds(entry.end) + "\r\n";
            text += "B" + number + "=" + FormatSeconds(entry.begin) + "\r\n";
            text += "E" + number + "=" + FormatSeconds(entry.end) + "\r\n";
        }
    }
    text += "NumberOfEntries=" + std::to_string(n) + "\r\n";
    text += "Version=2\r\n";
    return text;
}

std::string FormatSeconds(double seconds) {
    if (!std::isfinite(seconds)) seconds = 0.0;
    const bool negative = seconds < 0.0;
    double whole = std::trunc(std::fabs(seconds));
    double millionths = std::round((std::fabs(seconds) - whole) * 1e6);
    if (millionths >= 1e6) {  // .9999996 comes to a whole
        whole += 1.0;
        millionths = 0.0;
    }
    char fraction[8];
    const auto end = std::to_chars(fraction, fraction + sizeof fraction, int64_t(millionths)).ptr;
    const std::string digits(fraction, end);
    std::string text = negative && (whole > 0.0 || millionths > 0.0) ? "-" : "";
    text += WholeSeconds(whole) + "." + std::string(6 - digits.size(), '0') + digits;
    return text;
}

std::optional<double> ParseNumber(std::string_view text) {
    text = SkipBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::string> PathOfLine(std::string_view written) {
    static constexpr std::string_view kScheme = "file://";
    static constexpr std::string_view kLocalHost = "localhost";
    if (written.empty() || written.find('\0') != std::string_view::npos) return std::nullopt;
    if (written.size() < kScheme.size() ||
        !EqualsNoCase(written.substr(0, kScheme.size()), kScheme))
        return std::string(written);
    std::string_view rest = written.substr(kScheme.size());
    if (rest.size() > kLocalHost.size() &&
        EqualsNoCase(rest.substr(0, kLocalHost.size()), kLocalHost))
        rest.remove_prefix(kLocalHost.size());
    if (rest.empty() || rest.front() != '/') return std::nullopt;  // a file on another host
    std::string path;
    path.reserve(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        const int high = rest[i] == '%' && i + 2 < rest.size() ? HexDigit(rest[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(rest[i + 2]) : -1;
        if (low < 0) {
            path += rest[i];
            continue;
        }
        path += char(high * 16 + low);
        i += 2;
    }
    if (path.find('\0') != std::string::npos) return std::nullopt;
    return path;
}

std::optional<Kind> KindOfPath(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string_view extension = name.substr(dot + 1);
    if (EqualsNoCase(extension, "pls")) return Kind::Pls;
    if (EqualsNoCase(extension, "m3u")) return Kind::M3u;
    return std::nullopt;
}

}  // namespace playlistformat
