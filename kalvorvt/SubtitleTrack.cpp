#include "kalvorvt/SubtitleTrack.h"

#include <cmath>
#include <optional>

#include "platform/system/RegularFile.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A line past the limit is damage: the cue it belongs to is dropped, the others stay.
bool TooLong(std::string_view line) { return line.size() > SubtitleTrack::kMaxLineBytes; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Reads a run of digits (at most 9); none gives nullopt.
std::optional<long> Number(std::string_view& s) {
    size_t n = 0;
    long value = 0;
    while (n < s.size() && IsDigit(s[n]) && n < 9) value = value * 10 + (s[n++] - '0');
    if (n == 0) return std::nullopt;
    s.remove_prefix(n);
    return value;
}

bool Take(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) return false;
    s.remove_prefix(1);
    return true;
}

// "hh:mm:ss,mmm" (a '.' is taken for the comma, the fraction may be shorter).
std::optional<double> SrtTime(std::string_view& s) {
    s = Trim(s);
    const auto h = Number(s);
    if (!h || !Take(s, ':')) return std::nullopt;
    const auto m = Number(s);
    if (!m || !Take(s, ':')) return std::nullopt;
    const auto sec = Number(s);
    if (!sec) return std::nullopt;
    double fraction = 0;
    if (Take(s, ',') || Take(s, '.')) {
        double scale = 0.1;
        while (!s.empty() && IsDigit(s.front())) {
            fraction += (s.front() - '0') * scale;
            scale /= 10;
            s.remove_prefix(1);
        }
    }
    return *h * 3600.0 + *m * 60.0 + double(*sec) + fraction;
}

std::optional<std::pair<double, double>> SrtTimes(std::string_view line) {
    const auto start = SrtTime(line);
    line = Trim(line);
    if (!start || line.substr(0, 3) != "-->") return std::nullopt;
    line.remove_prefix(3);
    const auto end = SrtTime(line);
    if (!end) return std::nullopt;
    return std::pair{*start, *end};
}

bool AllDigits(std::string_view s) {
    s = Trim(s);
    if (s.empty()) return false;
    for (char c : s)
        if (!IsDigit(c)) return false;
    return true;
}

// Drops <i>, </b>, <font ...> and the like.
std::string StripTags(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '<') {
            const size_t close = s.find('>', i);
            const char next = i + 1 < s.size() ? s[i + 1] : 0;
            const bool tag = close != std::string_view::npos &&
                             (next == '/' || ((next | 0x20) >= 'a' && (next | 0x20) <= 'z'));
            if (tag) {
                i = close;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

}  // namespace

std::shared_ptr<const SubtitleTrack> SubtitleTrack::Load(const std::string& path) {
    std::string content;
    if (RegularFile::ReadWhole(path, kMaxFileBytes, content) != RegularFile::Status::Ok)
        return nullptr;
    return Parse(content);
}

std::shared_ptr<const SubtitleTrack> SubtitleTrack::Parse(std::string_view content) {
    if (content.size() > kMaxFileBytes || content.find('\0') != std::string_view::npos)
        return nullptr;
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    std::vector<std::string_view> lines;
    size_t at = 0;
    while (at <= content.size()) {
        size_t end = content.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = content.size();
        lines.push_back(content.substr(at, end - at));
        if (end + 1 < content.size() && content[end] == '\r' && content[end + 1] == '\n') ++end;
        at = end + 1;
    }
    auto track = std::make_shared<SubtitleTrack>();
    size_t first = 0;
    while (first < lines.size() && (TooLong(lines[first]) || Trim(lines[first]).empty())) ++first;
    if (first == lines.size()) return nullptr;
    const std::string_view head = Trim(lines[first]);
    if (head.front() == '{') {
        if (!track->ParseMicroDvd(lines)) return nullptr;
    } else if (SrtTimes(head) ||
               (AllDigits(head) && first + 1 < lines.size() && SrtTimes(lines[first + 1]))) {
        if (!track->ParseSrt(lines)) return nullptr;
    } else {
        return nullptr;
    }
    return track;
}

bool SubtitleTrack::ParseSrt(const std::vector<std::string_view>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto times = TooLong(lines[i]) ? std::nullopt : SrtTimes(lines[i]);
        if (!times) continue;
        Cue cue{times->first, times->second, {}};
        bool damaged = false;
        for (++i; i < lines.size() && !Trim(lines[i]).empty(); ++i) {
            // A block without its blank line: the next cue's number and times start here.
            if (AllDigits(lines[i]) && i + 1 < lines.size() && !TooLong(lines[i + 1]) &&
                SrtTimes(lines[i + 1]))
                break;
            if (TooLong(lines[i])) {
                damaged = true;
                continue;
            }
            if (!cue.text.empty()) cue.text += '\n';
            cue.text += StripTags(Trim(lines[i]));
        }
        --i;
        if (!damaged && cue.end > cue.start && !cue.text.empty()) cues_.push_back(std::move(cue));
    }
    return !cues_.empty();
}

bool SubtitleTrack::ParseMicroDvd(const std::vector<std::string_view>& lines) {
    inFrames_ = true;
    for (std::string_view line : lines) {
        line = Trim(line);
        if (TooLong(line) || !Take(line, '{')) continue;
        const auto start = Number(line);
        if (!start || !Take(line, '}') || !Take(line, '{')) continue;
        const auto end = Number(line);
        if (!end || !Take(line, '}')) continue;
        // Style codes such as {y:i} before the text are not drawn.
        while (line.size() > 2 && line.front() == '{' && line.find('}') != std::string_view::npos &&
               line.find(':') < line.find('}'))
            line.remove_prefix(line.find('}') + 1);
        std::string text;
        for (char c : line) text += c == '|' ? '\n' : c;
        if (*end > *start && !text.empty()) cues_.push_back({double(*start), double(*end), text});
    }
    return !cues_.empty();
}

int SubtitleTrack::CueAt(double t, double shift, double multiplier, double frameRate) const {
    if (!std::isfinite(t) || !std::isfinite(shift) || !std::isfinite(multiplier)) return -1;
    double scale = multiplier;
    if (inFrames_) {
        const bool known = std::isfinite(frameRate) && frameRate > 0.5 && frameRate < 1000;
        scale /= known ? frameRate : kFallbackFrameRate;
    }
    for (size_t i = 0; i < cues_.size(); ++i) {
        if (t >= cues_[i].start * scale + shift && t < cues_[i].end * scale + shift)
            return static_cast<int>(i);
    }
    return -1;
}
