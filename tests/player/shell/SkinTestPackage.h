#pragma once

// Skin packages and skin folders made at test time: zip archives written with minizip,
// bitmaps drawn with QImage.

#include <QColor>
#include <QImage>
#include <string>
#include <utility>
#include <vector>

namespace skintest {

using Entries = std::vector<std::pair<std::string, std::string>>;  // name, content

// Writes a zip archive with the entries in order; names are stored as given.
void WritePackage(const std::string& path, const Entries& entries);
// A BMP file's bytes.
std::string Bitmap(const QImage& image);
std::string Bitmap(int width, int height, QColor color);

}  // namespace skintest
