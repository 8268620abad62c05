#include "platform/system/FixedText.h"

#include <cstring>

namespace fixedtext {

bool SetPath(char* field, size_t size, std::string_view path) {
    if (size == 0 || path.size() >= size || path.find('\0') != std::string_view::npos) return false;
    std::memcpy(field, path.data(), path.size());
    std::memset(field + path.size(), 0, size - path.size());
    return true;
}

void SetDisplay(char* field, size_t size, std::string_view text) {
    if (size == 0) return;
    text = text.substr(0, text.find('\0'));
    size_t length = text.size();
    if (length >= size) {
        length = size - 1;
        // Step back over continuation bytes so the cut falls before a character's lead byte.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
}

std::string Read(const char* field, size_t size) {
    const void* end = std::memchr(field, 0, size);
    return std::string(field, end ? static_cast<const char*>(end) - field : size);
}

void Terminate(char* field, size_t size) {
    if (size > 0) field[size - 1] = '\0';
}

}  // namespace fixedtext
