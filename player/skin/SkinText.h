#pragma once

// skin.ini is searched rather than parsed: a key is the first occurrence of its text
// anywhere, and its values are scanned with fixed formats from the separators that follow
// it. Comments are blanked in a search copy only; values are scanned from the text as
// stored. Every scan is bounded by the text and by an explicit width.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class SkinText {
public:
    static constexpr size_t npos = std::string::npos;
    // Longest text looked at; skin descriptions are a few kilobytes, and every key is a
    // search over the whole text.
    static constexpr size_t kMaxLength = 1 << 20;
    // Widest name or word a scan takes (the 300-byte buffers of the description).
    static constexpr size_t kNameWidth = 299;

    // The text up to its first zero byte and at most kMaxLength bytes.
    explicit SkinText(std::string_view text);

    // Where "[FullScreen]" starts, or the text's end: keys before it form the key area.
    size_t KeyAreaEnd() const { return keyAreaEnd_; }
    bool HasFullScreen() const { return keyAreaEnd_ < search_.size(); }

    // First occurrence of key at or after from in the search copy; npos when missing.
    size_t Find(std::string_view key, size_t from = 0) const;
    // As Find from the start; a bounded key counts only inside the key area.
    size_t FindKey(std::string_view key, bool bounded) const;
    // First separator character after position after (exclusive); npos when none.
    size_t FindSeparator(char separator, size_t after) const;

    // Scans at pos as " <sep> %ld": blanks, the separator, blanks, a decimal number.
    // Numbers beyond int32 saturate. False when nothing scans.
    bool ScanDecimal(size_t pos, char separator, int32_t& value) const;
    // " <sep> %lx": a hexadecimal number, with optional sign and 0x, kept to 32 bits.
    bool ScanHex(size_t pos, char separator, uint32_t& value) const;
    // " <sep> %s": a word of non-blank characters, at most kNameWidth of them.
    bool ScanWord(size_t pos, char separator, std::string& value) const;
    // " <sep> %[!-z ]": characters from '!' to 'z' and blanks, at most kNameWidth.
    bool ScanName(size_t pos, char separator, std::string& value) const;

private:
    // Position after blanks, the separator and blanks; npos when the separator is absent.
    size_t SkipSeparator(size_t pos, char separator) const;

    std::string text_;    // as stored: what values are scanned from
    std::string search_;  // comments blanked: what keys and separators are found in
    size_t keyAreaEnd_;
};

// The values of one key, read one after the other: the first from the "=" that follows
// the key, each next one from the next separator after the previous one. A value that
// does not scan leaves its field as it was; a missing separator ends the key.
class SkinValues {
public:
    // keyPos is where the key starts (npos: no values); its "=" may be part of the key.
    SkinValues(const SkinText& text, size_t keyPos);

    bool Found() const { return pos_ != SkinText::npos; }
    bool Decimal(char separator, int32_t& field);
    bool Hex(char separator, uint32_t& field);
    bool Word(char separator, std::string& field);
    // A name cut at the first cut character and stripped of trailing blanks.
    bool Name(char separator, char cut, std::string& field);

private:
    // Moves to the separator of the next value; false when there is none.
    bool Advance(char separator);

    const SkinText& text_;
    size_t pos_;
    bool first_ = true;
};
