#pragma once

// Fixed-size text fields of records. A path that does not fit is refused rather than cut
// into a different path; a display text is cut on a UTF-8 character boundary; every reader
// stops at the field's end even when the zero is missing.

#include <cstddef>
#include <string>
#include <string_view>

namespace fixedtext {

// Stores path with its terminating zero; false, and the field untouched, when it does not
// fit or holds a zero byte (which would end it early as another path).
bool SetPath(char* field, size_t size, std::string_view path);
// Stores text cut to fit, never inside a UTF-8 sequence; the rest of the field is zeroed.
void SetDisplay(char* field, size_t size, std::string_view text);
// The text up to the first zero or the field's end.
std::string Read(const char* field, size_t size);
// Forces the last byte to zero so that C string readers stay inside the field.
void Terminate(char* field, size_t size);

template <size_t N>
bool SetPath(char (&field)[N], std::string_view path) { return SetPath(field, N, path); }
template <size_t N>
void SetDisplay(char (&field)[N], std::string_view text) { SetDisplay(field, N, text); }
template <size_t N>
std::string Read(const char (&field)[N]) { return Read(field, N); }
template <size_t N>
void Terminate(char (&field)[N]) { Terminate(field, N); }

}  // namespace fixedtext
