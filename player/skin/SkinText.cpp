#include "player/skin/SkinText.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view kFullScreenSection = "[FullScreen]";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

SkinText::SkinText(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kMaxLength));
    text_.assign(text);
    search_ = text_;
    keyAreaEnd_ = std::min(text_.find(kFullScreenSection), text_.size());
    // A ";" in the key area starts a comment that runs to the end of its line.
    for (size_t i = 0; i < keyAreaEnd_; ++i) {
        if (search_[i] != ';') continue;
        for (; i < keyAreaEnd_ && search_[i] != '\r' && search_[i] != '\n'; ++i) search_[i] = ' ';
    }
}

size_t SkinText::Find(std::string_view key, size_t from) const {
    if (key.empty() || from > search_.size()) return npos;
    return search_.find(key, from);
}

size_t SkinText::FindKey(std::string_view key, bool bounded) const {
    const size_t pos = Find(key);
    if (bounded && pos != npos && pos >= keyAreaEnd_) return npos;
    return pos;
}

size_t SkinText::FindSeparator(char separator, size_t after) const {
    if (after == npos || after + 1 >= search_.size()) return npos;
    return search_.find(separator, after + 1);
}

size_t SkinText::SkipSeparator(size_t pos, char separator) const {
    const size_t size = text_.size();
    while (pos < size && IsBlank(text_[pos])) ++pos;
    if (pos >= size || text_[pos] != separator) return npos;
    ++pos;
    while (pos < size && IsBlank(text_[pos])) ++pos;
    return pos;
}

bool SkinText::ScanDecimal(size_t pos, char separator, int32_t& value) const {
    pos = SkipSeparator(pos, separator);
    if (pos == npos) return false;
    bool negative = false;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-'))
        negative = text_[pos++] == '-';
    const size_t start = pos;
    // Accumulate past int32 so that saturation is exact, but never overflow the int64.
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; pos < text_.size() && text_[pos] >= '0' && text_[pos] <= '9'; ++pos)
        magnitude = std::min(kCap, magnitude * 10 + (text_[pos] - '0'));
    if (pos == start) return false;
    const int64_t signedValue = negative ? -magnitude : magnitude;
    value = static_cast<int32_t>(std::clamp<int64_t>(
        signedValue, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    return true;
}

bool SkinText::ScanHex(size_t pos, char separator, uint32_t& value) const {
    pos = SkipSeparator(pos, separator);
    if (pos == npos) return false;
    bool negative = false;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-'))
        negative = text_[pos++] == '-';
    bool digits = false;
    if (pos + 1 < text_.size() && text_[pos] == '0' &&
        (text_[pos + 1] == 'x' || text_[pos + 1] == 'X')) {
        ++pos;  // the "0" counts as a digit even when no hex digit follows the "x"
        digits = true;
        if (pos + 1 < text_.size() && HexDigit(text_[pos + 1]) >= 0) ++pos;
    }
    uint64_t magnitude = 0;
    for (; pos < text_.size() && HexDigit(text_[pos]) >= 0; ++pos) {
        magnitude = std::min<uint64_t>(0xFFFFFFFFu, magnitude * 16 + HexDigit(text_[pos]));
        digits = true;
    }
    if (!digits) return false;
    const auto bits = static_cast<uint32_t>(magnitude);
    value = negative ? 0u - bits : bits;
    return true;
}

bool SkinText::ScanWord(size_t pos, char separator, std::string& value) const {
    pos = SkipSeparator(pos, separator);
    if (pos == npos) return false;
    size_t end = pos;
    while (end < text_.size() && end - pos < kNameWidth && !IsBlank(text_[end])) ++end;
    if (end == pos) return false;
    value = text_.substr(pos, end - pos);
    return true;
}

bool SkinText::ScanName(size_t pos, char separator, std::string& value) const {
    pos = SkipSeparator(pos, separator);
    if (pos == npos) return false;
    size_t end = pos;
    while (end < text_.size() && end - pos < kNameWidth &&
           ((text_[end] >= '!' && text_[end] <= 'z') || text_[end] == ' '))
        ++end;
    if (end == pos) return false;
    value = text_.substr(pos, end - pos);
    return true;
}

SkinValues::SkinValues(const SkinText& text, size_t keyPos)
    : text_(text), pos_(keyPos == SkinText::npos ? SkinText::npos : text.Find("=", keyPos)) {}

bool SkinValues::Advance(char separator) {
    if (first_) {
        first_ = false;
        return pos_ != SkinText::npos;
    }
    pos_ = text_.FindSeparator(separator, pos_);
    return pos_ != SkinText::npos;
}

bool SkinValues::Decimal(char separator, int32_t& field) {
    return Advance(separator) && text_.ScanDecimal(pos_, separator, field);
}

bool SkinValues::Hex(char separator, uint32_t& field) {
    return Advance(separator) && text_.ScanHex(pos_, separator, field);
}

bool SkinValues::Word(char separator, std::string& field) {
    return Advance(separator) && text_.ScanWord(pos_, separator, field);
}

bool SkinValues::Name(char separator, char cut, std::string& field) {
    std::string scanned;
    if (!Advance(separator) || !text_.ScanName(pos_, separator, scanned)) return false;
    scanned = scanned.substr(0, scanned.find(cut));
    while (!scanned.empty() && scanned.back() == ' ') scanned.pop_back();
    field = scanned;
    return true;
}
