#pragma once

// A skin's bitmap: a BMP file whatever its content claims (other decoders are not offered to
// a stranger's files), read only when it is a regular file within the bound.

#include <QImage>

#include <cstdint>
#include <string>

#include "player/skin/SkinUnpacker.h"

namespace skinbitmap {

// In QImage::Format_RGB32; a null image when the file is absent, refused or no BMP.
QImage Load(const std::string& path, uint64_t maxBytes = SkinUnpacker::kMaxExtractedBytes);

}  // namespace skinbitmap
