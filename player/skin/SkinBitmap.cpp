#include "player/skin/SkinBitmap.h"

#include <QByteArray>

#include "platform/system/RegularFile.h"

namespace skinbitmap {

QImage Load(const std::string& path, uint64_t maxBytes) {
    std::string bytes;
    if (RegularFile::ReadWhole(path, maxBytes, bytes) != RegularFile::Status::Ok || bytes.empty())
        return {};
    QImage image;
    const auto data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!image.loadFromData(data, "BMP")) return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace skinbitmap
